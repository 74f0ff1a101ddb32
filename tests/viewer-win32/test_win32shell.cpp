// The Win32 shell driven by real input into a window whose model is a small fake. The modal loop
// is checked through the library by tests/win/jwwinhost.c.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <tuple>
#include <vector>

#include "viewer/win32/JWGdiPainter.h"
#include "viewer/win32/JWWin32Window.h"

using namespace jw;
using namespace jw::win32;

namespace {

constexpr TJWRect NavButton{10, 10, 60, 20};
constexpr TJWRect ListRect{10, 50, 200, 90};
constexpr int32_t ListId = 7;
constexpr TJWColor PageColors[2] = {0xC04040, 0x40C040};

// Two pages: a painted button switches between them; the second holds a virtual list whose
// activated rows open another window, and a text box.
struct TFakeWindow final : TJWWindowModel {
  int Page = 0;

  int32_t ClientWidth() const override { return 300; }
  int32_t ClientHeight() const override { return 200; }
  std::string Caption() const override { return "Fake \xE4"; }
  TJWDisplayList Paint(TJWTextMetrics& AMetrics) override {
    TJWDisplayList list;
    list.Items.push_back(TJWFillRect{{0, 0, 300, 200}, PageColors[Page]});
    list.Items.push_back(TJWFillRect{NavButton, 0x2020A0});
    TJWFont font{"Arial", 12};
    list.Items.push_back(TJWText{12, 12, {10, 10, 30, 20}, font, 0xFFFF00, "WWWWWWWWWWWW"});
    (void)AMetrics.TextWidth(font, "W");
    if (Page == 1) {
      TJWControlSlot rows, edit;
      rows.Id = ListId, rows.Rect = ListRect, rows.ItemCount = 40, rows.TopRow = 2;
      edit.Id = 8, edit.Kind = TJWControlKind::ckEdit, edit.Rect = {220, 50, 70, 20};
      edit.Text = "abc";
      list.Controls = {rows, edit};
      list.Items.push_back(TJWControlPlace{0});
      list.Items.push_back(TJWControlPlace{1});
    }
    return list;
  }
  TJWDisplayList PaintListRow(TJWTextMetrics&, int32_t, int32_t ARow, bool ASelected) override {
    const TJWColor color = ASelected ? 0x000080u : 0x010000u * uint32_t(ARow);
    return {{TJWFillRect{{0, 0, 200, 15}, color}}, {}};
  }
  void MouseMove(int32_t, int32_t) override {}
  void MouseLeave() override {}
  void Click(int32_t AX, int32_t AY) override {
    if (NavButton.Contains(AX, AY)) Page = 1 - Page, OnInvalidate();
  }
  void DoubleClick(int32_t, int32_t) override {}
  TJWCursor CursorAt(int32_t AX, int32_t AY) const override {
    return NavButton.Contains(AX, AY) ? TJWCursor::crHand : TJWCursor::crArrow;
  }
  std::string ToolTipAt(int32_t, int32_t) const override { return ""; }
  void Key(TJWKey AKey) override {
    if (AKey == TJWKey::kEscape) OnClose();
  }
  void ControlEvent(const TJWControlEvent& AEvent) override {
    if (AEvent.Kind == TJWControlEventKind::ceListActivate)
      OnOpenWindow(std::make_unique<TFakeWindow>());
  }
};

// Runs the thread's messages until ADone holds (at most 5 s of waiting).
bool PumpUntil(const std::function<bool()>& ADone) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!ADone()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    PumpMessages();
  }
  return true;
}

void ClickAt(HWND AWindow, int32_t AX, int32_t AY, int ACount = 1) {
  POINT p{AX, AY};
  ClientToScreen(AWindow, &p);
  SetCursorPos(p.x, p.y);
  INPUT input[4] = {};
  for (int i = 0; i < 4; ++i) {
    input[i].type = INPUT_MOUSE;
    input[i].mi.dwFlags = i % 2 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_LEFTDOWN;
  }
  SendInput(2 * ACount, input, sizeof(INPUT));
}

void PressKey(WORD AKey) {
  INPUT input[2] = {};
  input[0].type = input[1].type = INPUT_KEYBOARD;
  input[0].ki.wVk = input[1].ki.wVk = AKey;
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, input, sizeof(INPUT));
}

std::vector<HWND> ViewerWindows() {
  std::vector<HWND> result;
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, JWWindowClassName, nullptr));) {
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    // Other test programs of the same Wine prefix may have viewer windows open at the same time.
    if (process == GetCurrentProcessId()) result.push_back(w);
  }
  return result;
}

struct Win32Shell : testing::Test {
  std::vector<std::string> Failures;

  void SetUp() override {
    SetWindowFailureHandler([this](const std::string& AMessage) { Failures.push_back(AMessage); });
  }
  void TearDown() override {
    for (HWND window : ViewerWindows()) DestroyWindow(window);
    PumpMessages();
    SetWindowFailureHandler(nullptr);
    EXPECT_TRUE(Failures.empty()) << Failures.front();
  }
  HWND Open(const TJWWindowOptions& AOptions = {}) {
    return CreateViewerWindow(std::make_unique<TFakeWindow>(), AOptions);
  }
};

TEST_F(Win32Shell, ClicksSwitchPagesDoubleClicksOpenBranchesEscCloses) {
  const HWND window = Open();
  ShowViewerWindow(window);
  PumpMessages();
  EXPECT_EQ(GetDlgItem(window, ListId + JWControlIdBase), nullptr);

  ClickAt(window, NavButton.Left + 5, NavButton.Top + 5);
  ASSERT_TRUE(PumpUntil([&] { return GetDlgItem(window, ListId + JWControlIdBase) != nullptr; }))
      << "a click on the painted button did not reach the window";
  auto list = [&](UINT AMessage) {
    return SendMessageA(GetDlgItem(window, ListId + JWControlIdBase), AMessage, 0, 0);
  };
  EXPECT_EQ(std::tuple(list(LB_GETCOUNT), list(LB_GETTOPINDEX), list(LB_GETITEMHEIGHT)),
            std::tuple(40, 2, 15));

  // A double click on a row activates it: the fake opens a window owned by this one.
  ClickAt(window, ListRect.Left + 20, ListRect.Top + 20, 2);
  ASSERT_TRUE(PumpUntil([&] { return ViewerWindows().size() == 2; }))
      << "a double click on a list row opened no window";
  HWND branch = ViewerWindows()[0] == window ? ViewerWindows()[1] : ViewerWindows()[0];
  EXPECT_EQ(GetWindow(branch, GW_OWNER), window);
  RECT outer{}, inner{};
  GetWindowRect(window, &outer);
  GetWindowRect(branch, &inner);
  EXPECT_EQ(std::pair(inner.left - outer.left, inner.top - outer.top), std::pair(10L, 10L));

  // Esc, with the focus in a native control of the first window, closes it and its branch window.
  SetForegroundWindow(window);
  SetFocus(GetDlgItem(window, 8 + JWControlIdBase));
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); })) << "Esc did not close the window";
  EXPECT_FALSE(IsWindow(branch));
}

TEST_F(Win32Shell, PlacementIsWrittenToTheRegistryAndUsedByTheNextWindow) {
  const char* key = "Software\\JWLIB shell test";
  RegDeleteTreeA(HKEY_CURRENT_USER, key);
  TJWWindowOptions options;
  options.SettingsKey = key;
  options.PlacementSection = "Window";
  HWND window = Open(options);
  ShowViewerWindow(window);
  SetWindowPos(window, nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  RECT first{};
  GetWindowRect(window, &first);
  PostMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));

  auto value = [&](const char* AName) {
    char buffer[32] = {};
    DWORD size = sizeof buffer;
    RegGetValueA(HKEY_CURRENT_USER, (std::string(key) + "\\Window").c_str(), AName, RRF_RT_REG_SZ,
                 nullptr, buffer, &size);
    return std::string(buffer);
  };
  EXPECT_EQ(value("m") + " " + value("x") + " " + value("y") + " " + value("w") + " " + value("h"),
            "0 123 77 " + std::to_string(first.right - first.left) + " " +
                std::to_string(first.bottom - first.top));

  // A stored size larger than the window's does not enlarge it.
  RegSetKeyValueA(HKEY_CURRENT_USER, (std::string(key) + "\\Window").c_str(), "w", REG_SZ, "900",
                  4);
  window = Open(options);
  ShowViewerWindow(window);
  RECT second{};
  GetWindowRect(window, &second);
  EXPECT_EQ(std::tuple(second.left, second.top, second.right, second.bottom),
            std::tuple(123L, 77L, first.right, first.bottom));
  RegDeleteTreeA(HKEY_CURRENT_USER, key);
}

// Off screen, control places are drawn from their slots: list rows from the model, clipped to the
// list; texts stay inside their clip.
TEST_F(Win32Shell, OffscreenPaintingDrawsControlsFromTheirSlots) {
  TFakeWindow model;
  model.Page = 1;
  TJWGdiMetrics metrics;
  const TJWBitmap picture = RenderOffscreen(model, metrics);
  ASSERT_EQ(std::pair(picture.Width, picture.Height), std::pair(300, 200));
  const std::tuple<int32_t, int32_t, uint32_t> probes[] = {
      {5, 5, 0xFF000000 | PageColors[1]},                      // the page
      {ListRect.Left + 1, ListRect.Top + 1, 0xFF020000},       // row 2 (the top row) at the top
      {ListRect.Left + 1, ListRect.Top + 16, 0xFF030000},      // then row 3
      {ListRect.Left + 1, ListRect.Bottom() - 1, 0xFF070000},  // row 7 cut at the list's end
      {ListRect.Left + 1, ListRect.Bottom(), 0xFF000000 | PageColors[1]},
      {NavButton.Left + 40, NavButton.Top + 5, 0xFF2020A0},  // no text beyond its clip
  };
  for (const auto& [x, y, color] : probes) EXPECT_EQ(picture.Pixel(x, y), color) << x << "," << y;
  int textPixels = 0;
  for (int32_t y = NavButton.Top; y < NavButton.Bottom(); ++y)
    for (int32_t x = NavButton.Left; x < NavButton.Left + 30; ++x)
      textPixels += picture.Pixel(x, y) == 0xFFFFFF00;
  EXPECT_GT(textPixels, 20) << "the text was not drawn";
}

}  // namespace
