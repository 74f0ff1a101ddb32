#include "viewer/win32/JWWin32Window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "store/JWError.h"
#include "viewer/win32/JWGdiPainter.h"
#include "viewer/win32/JWRegistrySettings.h"

namespace jw::win32 {

namespace {

constexpr UINT WM_JW_REFRESH = WM_APP + 1;  // the model asked for a repaint
constexpr const char* OldProcProperty = "JWControlProc";

std::mutex FailureLock;
std::function<void(const std::string&)> FailureHandler;

void ReportFailure(const std::string& AMessage) noexcept {
  try {
    std::function<void(const std::string&)> handler;
    {
      std::lock_guard guard(FailureLock);
      handler = FailureHandler;
    }
    if (handler) handler(AMessage);
  } catch (...) {
    // A failing handler must not end the message loop either.
  }
}

// Runs AWork; a failure goes to the failure handler instead of up through a window procedure.
template <class F>
void Guarded(F&& AWork) noexcept {
  try {
    AWork();
  } catch (const std::exception& e) {
    ReportFailure(e.what());
  } catch (...) {
    ReportFailure("Unknown failure in the viewer window!");
  }
}

HINSTANCE ModuleHandle() {
  HMODULE module = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&ModuleHandle), &module);
  return module;
}

constexpr DWORD WindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD WindowExStyle = WS_EX_DLGMODALFRAME;

LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM);

void RegisterWindowClass() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = ModuleHandle();
    wc.lpszClassName = JWWindowClassName;
    if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
      throw EJWError("The viewer's window class cannot be registered!");
    return true;
  }();
  (void)registered;
}

std::optional<TJWKey> KeyOf(WPARAM AKey) {
  switch (AKey) {
    case VK_ESCAPE:
      return TJWKey::kEscape;
    case VK_RETURN:
      return TJWKey::kEnter;
    case VK_UP:
      return TJWKey::kUp;
    case VK_DOWN:
      return TJWKey::kDown;
    case VK_PRIOR:
      return TJWKey::kPageUp;
    case VK_NEXT:
      return TJWKey::kPageDown;
    case VK_HOME:
      return TJWKey::kHome;
    case VK_END:
      return TJWKey::kEnd;
    default:
      return std::nullopt;
  }
}

std::string WindowText(HWND AWindow) {
  std::string text(size_t(GetWindowTextLengthA(AWindow)) + 1, '\0');
  text.resize(size_t(GetWindowTextA(AWindow, text.data(), int(text.size()))));
  return text;
}

class TViewerWindow {
 public:
  TViewerWindow(std::unique_ptr<TJWWindowModel> AModel, const TJWWindowOptions& AOptions)
      : FModel(std::move(AModel)),
        FOptions(AOptions),
        FMetrics(AOptions.Metrics ? AOptions.Metrics : std::make_shared<TJWGdiMetrics>()),
        FFonts(FMetrics->Fonts()) {
    FOptions.Metrics = FMetrics;
  }
  ~TViewerWindow() {
    for (auto& [color, brush] : FBrushes) DeleteObject(brush);
  }

  void Create();
  void Attach(HWND AHandle) { FHandle = AHandle; }
  void Show();
  HWND Handle() const { return FHandle; }
  HWND ModalHost = nullptr;  // enabled again when this window closes
  bool Maximize = false;

  LRESULT Message(UINT AMessage, WPARAM AW, LPARAM AL);
  // A message to one of the native controls; true when it was handled here.
  bool ControlMessage(HWND AControl, UINT AMessage, WPARAM AW, LPARAM AL, LRESULT& AResult);

 private:
  struct TControl {
    TJWControlSlot Slot;
    HWND Handle = nullptr;
    WNDPROC OldProc = nullptr;
  };

  void Refresh();
  void SyncControls(const std::vector<TJWControlSlot>& ASlots);
  void CreateControl(const TJWControlSlot& ASlot);
  void UpdateControl(TControl& AControl, const TJWControlSlot& ASlot);
  TControl* ControlById(int32_t AId);
  TControl* ControlByHandle(HWND AHandle);
  void Event(TJWControlEventKind AKind, int32_t AId, int32_t AIndex = -1, std::string AText = {});
  void Paint();
  void DrawListRow(const DRAWITEMSTRUCT& AItem);
  void UpdateToolTip(int32_t AX, int32_t AY);
  HBRUSH Brush(TJWColor AColor);
  void Close();
  TJWPlacement Placement() const;

  std::unique_ptr<TJWWindowModel> FModel;
  TJWWindowOptions FOptions;
  std::shared_ptr<TJWGdiMetrics> FMetrics;
  TJWGdiFonts& FFonts;
  HWND FHandle = nullptr;
  HWND FToolTip = nullptr;
  std::string FTip;
  TJWDisplayList FList;
  std::vector<TControl> FControls;
  std::map<TJWColor, HBRUSH> FBrushes;
  std::unique_ptr<TJWDibCanvas> FCanvas;
  std::unique_ptr<TJWDibCanvas> FRowCanvas;
  const TJWControlSlot* FCreating = nullptr;  // the slot whose control is being made
  bool FSyncing = false;  // control notifications caused by the shell itself are not events
  bool FRefreshPosted = false;
  bool FTracking = false;  // the mouse leaving is reported
  bool FPressed = false;   // a left button press began on the client area
  bool FSkipUp = false;    // the release after a double click is not another click

 public:
  bool OwnedByWindow = false;  // destroying the window deletes this
};

TViewerWindow* WindowOf(HWND AWindow) {
  return reinterpret_cast<TViewerWindow*>(GetWindowLongPtrA(AWindow, GWLP_USERDATA));
}

void TViewerWindow::Create() {
  RegisterWindowClass();
  RECT outer{0, 0, FModel->ClientWidth(), FModel->ClientHeight()};
  AdjustWindowRectEx(&outer, WindowStyle, FALSE, WindowExStyle);
  const POINT at = FOptions.Position;
  FHandle =
      CreateWindowExA(WindowExStyle, JWWindowClassName, FModel->Caption().c_str(), WindowStyle,
                      at.x, at.y, outer.right - outer.left, outer.bottom - outer.top,
                      FOptions.Owner, nullptr, ModuleHandle(), this);
  if (!FHandle) throw EJWError("The viewer window cannot be created!");
  FModel->NativeWindow = reinterpret_cast<uintptr_t>(FHandle);

  FModel->OnInvalidate = [this] {
    if (!FRefreshPosted) FRefreshPosted = PostMessageA(FHandle, WM_JW_REFRESH, 0, 0);
  };
  FModel->OnClose = [this] { PostMessageA(FHandle, WM_CLOSE, 0, 0); };
  FModel->OnOpenUrl = [this](const std::string& AUrl) {
    ShellExecuteA(FHandle, "open", AUrl.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  };
  FModel->OnOpenWindow = [this](std::unique_ptr<TJWWindowModel> AModel) {
    RECT mine{};
    GetWindowRect(FHandle, &mine);
    TJWWindowOptions options = FOptions;
    options.Owner = FHandle;
    options.Position = {mine.left + 10, mine.top + 10};
    ShowViewerWindow(CreateViewerWindow(std::move(AModel), options));
  };

  FToolTip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, FHandle,
                             nullptr, ModuleHandle(), nullptr);
  if (FToolTip) {
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = FHandle;
    tool.uId = 1;
    GetClientRect(FHandle, &tool.rect);
    tool.lpszText = const_cast<char*>("");
    SendMessageA(FToolTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(FToolTip, TTM_ACTIVATE, FALSE, 0);
  }
  Refresh();
}

TJWPlacement TViewerWindow::Placement() const {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(FHandle, &placement);
  const RECT& r = placement.rcNormalPosition;
  return {r.left, r.top, r.right - r.left, r.bottom - r.top, IsZoomed(FHandle) != FALSE};
}

void TViewerWindow::Show() {
  if (!FOptions.SettingsKey.empty()) {
    TJWRegistrySettings store(FOptions.SettingsKey);
    const TJWPlacement current = Placement();
    const TJWPlacement wanted =
        LoadPlacement(store, FOptions.PlacementSection, current, GetSystemMetrics(SM_CXSCREEN),
                      GetSystemMetrics(SM_CYSCREEN));
    // The window keeps its fixed size; a smaller screen may only shrink it.
    SetWindowPos(FHandle, nullptr, wanted.Left, wanted.Top, std::min(wanted.Width, current.Width),
                 std::min(wanted.Height, current.Height), SWP_NOZORDER | SWP_NOACTIVATE);
    Maximize = wanted.Maximized;
  }
  ShowWindow(FHandle, Maximize ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  UpdateWindow(FHandle);
  SetForegroundWindow(FHandle);
  SetFocus(FHandle);  // no control holds the focus at first
}

void TViewerWindow::Close() {
  if (!FOptions.SettingsKey.empty()) {
    Guarded([&] {
      TJWRegistrySettings store(FOptions.SettingsKey);
      SavePlacement(store, FOptions.PlacementSection, Placement());
    });
  }
  // The host comes back before this window goes, so that it, not another program, gets activated.
  if (ModalHost && IsWindow(ModalHost)) EnableWindow(ModalHost, TRUE);
  DestroyWindow(FHandle);
}

HBRUSH TViewerWindow::Brush(TJWColor AColor) {
  auto [it, added] = FBrushes.try_emplace(AColor, nullptr);
  if (added)
    it->second = CreateSolidBrush(RGB((AColor >> 16) & 0xFF, (AColor >> 8) & 0xFF, AColor & 0xFF));
  return it->second;
}

void TViewerWindow::Refresh() {
  FRefreshPosted = false;
  FList = FModel->Paint(*FMetrics);
  SyncControls(FList.Controls);
  InvalidateRect(FHandle, nullptr, FALSE);
  for (TControl& control : FControls)
    if (control.Slot.Kind == TJWControlKind::ckList) InvalidateRect(control.Handle, nullptr, FALSE);
}

TViewerWindow::TControl* TViewerWindow::ControlById(int32_t AId) {
  for (TControl& control : FControls)
    if (control.Slot.Id == AId) return &control;
  return nullptr;
}

TViewerWindow::TControl* TViewerWindow::ControlByHandle(HWND AHandle) {
  for (TControl& control : FControls)
    if (control.Handle == AHandle) return &control;
  return nullptr;
}

void TViewerWindow::SyncControls(const std::vector<TJWControlSlot>& ASlots) {
  FSyncing = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FSyncing};
  for (size_t i = 0; i < FControls.size();) {
    const TControl& control = FControls[i];
    bool kept = false;
    for (const TJWControlSlot& slot : ASlots)
      kept = kept || (slot.Id == control.Slot.Id && slot.Kind == control.Slot.Kind);
    if (kept) {
      ++i;
      continue;
    }
    DestroyWindow(control.Handle);
    FControls.erase(FControls.begin() + std::ptrdiff_t(i));
  }
  for (const TJWControlSlot& slot : ASlots) {
    if (TControl* control = ControlById(slot.Id))
      UpdateControl(*control, slot);
    else
      CreateControl(slot);
  }
}

void TViewerWindow::CreateControl(const TJWControlSlot& ASlot) {
  const char* className = "LISTBOX";
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
  int32_t height = ASlot.Rect.Height;
  switch (ASlot.Kind) {
    case TJWControlKind::ckList:
      style |= WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_NODATA | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
      break;
    case TJWControlKind::ckEdit:
      className = "EDIT";
      style |= WS_BORDER | ES_AUTOHSCROLL;
      break;
    case TJWControlKind::ckComboBox:
      className = "COMBOBOX";
      style |= WS_VSCROLL | CBS_DROPDOWNLIST;
      height += 200;  // the drop-down part
      break;
    case TJWControlKind::ckRadio:
      className = "BUTTON";
      style |= BS_RADIOBUTTON;
      break;
  }
  FCreating = &ASlot;
  const HWND handle = CreateWindowExA(
      0, className, "", style, ASlot.Rect.Left, ASlot.Rect.Top, ASlot.Rect.Width, height, FHandle,
      reinterpret_cast<HMENU>(intptr_t(ASlot.Id + JWControlIdBase)), ModuleHandle(), nullptr);
  FCreating = nullptr;
  if (!handle) throw EJWError("A control of the viewer window cannot be created!");
  TControl control;
  control.Handle = handle;
  control.Slot.Id = ASlot.Id;
  control.Slot.Kind = ASlot.Kind;
  control.Slot.ItemCount = -1;  // everything below is set once
  control.Slot.Selection = -2;
  control.Slot.RowHeight = -1;
  control.Slot.Enabled = !ASlot.Enabled;
  control.Slot.Checked = !ASlot.Checked;
  control.OldProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc)));
  SetPropA(handle, OldProcProperty, reinterpret_cast<HANDLE>(control.OldProc));
  FControls.push_back(control);
  TControl& added = FControls.back();
  added.Slot.Text = ASlot.Text + "x";  // differs: set below
  UpdateControl(added, ASlot);
}

void TViewerWindow::UpdateControl(TControl& AControl, const TJWControlSlot& ASlot) {
  const HWND h = AControl.Handle;
  TJWControlSlot& old = AControl.Slot;
  if (old.Rect != ASlot.Rect)
    SetWindowPos(h, nullptr, ASlot.Rect.Left, ASlot.Rect.Top, ASlot.Rect.Width,
                 ASlot.Rect.Height + (ASlot.Kind == TJWControlKind::ckComboBox ? 200 : 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  if (old.Font != ASlot.Font || old.Rect.Empty())
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(FFonts.Get(ASlot.Font)), TRUE);
  if (old.Enabled != ASlot.Enabled) EnableWindow(h, ASlot.Enabled);
  if (old.Color != ASlot.Color || old.TextColor != ASlot.TextColor)
    InvalidateRect(h, nullptr, TRUE);
  switch (ASlot.Kind) {
    case TJWControlKind::ckList:
      if (old.RowHeight != ASlot.RowHeight)
        SendMessageA(h, LB_SETITEMHEIGHT, 0, std::max(ASlot.RowHeight, 1));
      if (old.ItemCount != ASlot.ItemCount)
        SendMessageA(h, LB_SETCOUNT, WPARAM(ASlot.ItemCount), 0);
      if (SendMessageA(h, LB_GETCURSEL, 0, 0) != ASlot.Selection)
        SendMessageA(h, LB_SETCURSEL, WPARAM(ASlot.Selection), 0);
      if (SendMessageA(h, LB_GETTOPINDEX, 0, 0) != ASlot.TopRow)
        SendMessageA(h, LB_SETTOPINDEX, WPARAM(std::max(ASlot.TopRow, 0)), 0);
      break;
    case TJWControlKind::ckEdit:
      if (old.MaxLength != ASlot.MaxLength)
        SendMessageA(h, EM_LIMITTEXT, WPARAM(ASlot.MaxLength), 0);
      if (WindowText(h) != ASlot.Text) SetWindowTextA(h, ASlot.Text.c_str());  // keeps the caret
      break;
    case TJWControlKind::ckComboBox:
      if (old.Items != ASlot.Items) {
        SendMessageA(h, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : ASlot.Items)
          SendMessageA(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        old.Selection = -2;
      }
      if (old.Selection != ASlot.Selection)
        SendMessageA(h, CB_SETCURSEL, WPARAM(ASlot.Selection), 0);
      break;
    case TJWControlKind::ckRadio:
      if (old.Text != ASlot.Text) SetWindowTextA(h, ASlot.Text.c_str());
      if (old.Checked != ASlot.Checked)
        SendMessageA(h, BM_SETCHECK, ASlot.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
  }
  old = ASlot;
}

void TViewerWindow::Event(TJWControlEventKind AKind, int32_t AId, int32_t AIndex,
                          std::string AText) {
  if (FSyncing) return;
  TJWControlEvent event;
  event.Kind = AKind;
  event.ControlId = AId;
  event.Index = AIndex;
  event.Text = std::move(AText);
  FModel->ControlEvent(event);
}

void TViewerWindow::Paint() {
  PAINTSTRUCT ps;
  const HDC dc = BeginPaint(FHandle, &ps);
  RECT client{};
  GetClientRect(FHandle, &client);
  if (!FCanvas || FCanvas->Width() != client.right || FCanvas->Height() != client.bottom)
    FCanvas = std::make_unique<TJWDibCanvas>(client.right, client.bottom);
  TJWGdiPainter painter(*FCanvas, FFonts);
  const TJWRect all{0, 0, FCanvas->Width(), FCanvas->Height()};
  painter.Fill(all, 0xFFFFFF, all);
  painter.Paint(FList, 0, 0, all);  // the native controls stand on their places
  GdiFlush();
  BitBlt(dc, 0, 0, FCanvas->Width(), FCanvas->Height(), FCanvas->DC(), 0, 0, SRCCOPY);
  EndPaint(FHandle, &ps);
}

void TViewerWindow::DrawListRow(const DRAWITEMSTRUCT& AItem) {
  const TControl* control = ControlById(int32_t(AItem.CtlID) - JWControlIdBase);
  if (!control) return;
  const RECT& r = AItem.rcItem;
  const int32_t width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return;
  if (!FRowCanvas || FRowCanvas->Width() != width || FRowCanvas->Height() != height)
    FRowCanvas = std::make_unique<TJWDibCanvas>(width, height);
  TJWGdiPainter painter(*FRowCanvas, FFonts);
  const TJWRect all{0, 0, width, height};
  painter.Fill(all, control->Slot.Color, all);
  if (int32_t(AItem.itemID) >= 0)
    painter.Paint(FModel->PaintListRow(*FMetrics, control->Slot.Id, int32_t(AItem.itemID),
                                       (AItem.itemState & ODS_SELECTED) != 0),
                  0, 0, all);
  GdiFlush();
  BitBlt(AItem.hDC, r.left, r.top, width, height, FRowCanvas->DC(), 0, 0, SRCCOPY);
}

void TViewerWindow::UpdateToolTip(int32_t AX, int32_t AY) {
  if (!FToolTip) return;
  std::string tip = FModel->ToolTipAt(AX, AY);
  if (tip == FTip) return;
  FTip = std::move(tip);
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V1_SIZE;
  tool.hwnd = FHandle;
  tool.uId = 1;
  tool.lpszText = FTip.data();
  SendMessageA(FToolTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(FToolTip, TTM_ACTIVATE, !FTip.empty(), 0);
}

LRESULT TViewerWindow::Message(UINT AMessage, WPARAM AW, LPARAM AL) {
  const int32_t x = GET_X_LPARAM(AL), y = GET_Y_LPARAM(AL);
  switch (AMessage) {
    case WM_JW_REFRESH:
      Refresh();
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
      if (!FTracking) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
        FTracking = TrackMouseEvent(&track);
      }
      FModel->MouseMove(x, y);
      UpdateToolTip(x, y);
      return 0;
    case WM_MOUSELEAVE:
      FTracking = false;
      FModel->MouseLeave();
      return 0;
    case WM_LBUTTONDOWN:
      FPressed = true;
      return 0;
    case WM_LBUTTONUP:
      if (FPressed && !FSkipUp) FModel->Click(x, y);
      FPressed = FSkipUp = false;
      return 0;
    case WM_LBUTTONDBLCLK:
      FSkipUp = true;
      FModel->DoubleClick(x, y);
      return 0;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(AW) == FHandle && LOWORD(AL) == HTCLIENT) {
        POINT p{};
        GetCursorPos(&p);
        ScreenToClient(FHandle, &p);
        const bool hand = FModel->CursorAt(p.x, p.y) == TJWCursor::crHand;
        SetCursor(LoadCursor(nullptr, hand ? IDC_HAND : IDC_ARROW));
        return TRUE;
      }
      break;
    case WM_KEYDOWN:
      if (const auto key = KeyOf(AW)) {
        FModel->Key(*key);
        return 0;
      }
      break;
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(AL);
      const TControl* control = ControlById(int32_t(item->CtlID) - JWControlIdBase);
      const TJWControlSlot* slot = control ? &control->Slot : FCreating;
      if (slot) item->itemHeight = UINT(std::max(slot->RowHeight, 1));
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(AL);
      if (item->itemAction != ODA_FOCUS) DrawListRow(*item);
      return TRUE;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (const TControl* control = ControlByHandle(reinterpret_cast<HWND>(AL))) {
        const HDC dc = reinterpret_cast<HDC>(AW);
        const TJWColor c = control->Slot.TextColor, b = control->Slot.Color;
        SetTextColor(dc, RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
        SetBkColor(dc, RGB((b >> 16) & 0xFF, (b >> 8) & 0xFF, b & 0xFF));
        return reinterpret_cast<LRESULT>(Brush(b));
      }
      break;
    case WM_COMMAND: {
      const TControl* control = ControlByHandle(reinterpret_cast<HWND>(AL));
      if (!control || FSyncing) break;
      const HWND h = control->Handle;
      const int32_t id = control->Slot.Id;
      switch (HIWORD(AW)) {
        case LBN_SELCHANGE:  // == CBN_SELCHANGE
          if (control->Slot.Kind == TJWControlKind::ckList)
            Event(TJWControlEventKind::ceListSelect, id,
                  int32_t(SendMessageA(h, LB_GETCURSEL, 0, 0)));
          else if (control->Slot.Kind == TJWControlKind::ckComboBox)
            Event(TJWControlEventKind::ceComboSelect, id,
                  int32_t(SendMessageA(h, CB_GETCURSEL, 0, 0)));
          break;
        case LBN_DBLCLK:  // == BN_DOUBLECLICKED for buttons, which these radio buttons do not send
          if (control->Slot.Kind == TJWControlKind::ckList)
            Event(TJWControlEventKind::ceListActivate, id,
                  int32_t(SendMessageA(h, LB_GETCURSEL, 0, 0)));
          break;
        case EN_CHANGE:
          if (control->Slot.Kind == TJWControlKind::ckEdit)
            Event(TJWControlEventKind::ceEditChange, id, -1, WindowText(h));
          break;
        case BN_CLICKED:
          if (control->Slot.Kind == TJWControlKind::ckRadio)
            Event(TJWControlEventKind::ceRadioCheck, id);
          break;
      }
      return 0;
    }
    case WM_CLOSE:
      Close();
      return 0;
    case WM_NCDESTROY: {
      SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
      const LRESULT result = DefWindowProcA(FHandle, AMessage, AW, AL);
      FHandle = nullptr;
      if (OwnedByWindow) delete this;
      return result;
    }
  }
  return DefWindowProcA(FHandle, AMessage, AW, AL);
}

bool TViewerWindow::ControlMessage(HWND AHandle, UINT AMessage, WPARAM AW, LPARAM AL,
                                   LRESULT& AResult) {
  TControl* control = ControlByHandle(AHandle);
  if (!control) return false;
  const WNDPROC old = control->OldProc;
  const int32_t id = control->Slot.Id;
  const TJWControlKind kind = control->Slot.Kind;
  if (AMessage == WM_KEYDOWN &&
      AW == VK_ESCAPE) {  // the window's cancel key, wherever the focus is
    FModel->Key(TJWKey::kEscape);
    AResult = 0;
    return true;
  }
  if (AMessage == WM_CHAR && (AW == VK_ESCAPE || AW == VK_RETURN)) {  // no beep
    AResult = 0;
    return true;
  }
  if (AMessage == WM_KEYDOWN && AW == VK_RETURN) {
    if (kind == TJWControlKind::ckEdit) Event(TJWControlEventKind::ceEditEnter, id);
    if (kind == TJWControlKind::ckList)
      Event(TJWControlEventKind::ceListActivate, id,
            int32_t(CallWindowProcA(old, AHandle, LB_GETCURSEL, 0, 0)));
    AResult = 0;
    return true;
  }
  if (kind != TJWControlKind::ckList) return false;
  // Scrolling a list is an event of its own: the rows on view come from the top row.
  const LRESULT topBefore = CallWindowProcA(old, AHandle, LB_GETTOPINDEX, 0, 0);
  AResult = CallWindowProcA(old, AHandle, AMessage, AW, AL);
  if (AMessage == WM_VSCROLL || AMessage == WM_MOUSEWHEEL || AMessage == WM_KEYDOWN) {
    const LRESULT top = CallWindowProcA(old, AHandle, LB_GETTOPINDEX, 0, 0);
    if (top != topBefore && ControlByHandle(AHandle))
      Event(TJWControlEventKind::ceListScroll, id, int32_t(top));
  }
  return true;
}

LRESULT CALLBACK WindowProc(HWND AWindow, UINT AMessage, WPARAM AW, LPARAM AL) {
  if (AMessage == WM_NCCREATE) {
    auto* window =
        static_cast<TViewerWindow*>(reinterpret_cast<CREATESTRUCTA*>(AL)->lpCreateParams);
    window->Attach(AWindow);
    SetWindowLongPtrA(AWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  TViewerWindow* window = WindowOf(AWindow);
  if (!window || AMessage == WM_NCCREATE) return DefWindowProcA(AWindow, AMessage, AW, AL);
  LRESULT result = 0;
  bool done = false;
  Guarded([&] {
    result = window->Message(AMessage, AW, AL);
    done = true;
  });
  return done ? result : DefWindowProcA(AWindow, AMessage, AW, AL);
}

LRESULT CALLBACK ControlProc(HWND AControl, UINT AMessage, WPARAM AW, LPARAM AL) {
  TViewerWindow* window = WindowOf(GetParent(AControl));
  LRESULT result = 0;
  bool handled = false;
  if (window)
    Guarded([&] { handled = window->ControlMessage(AControl, AMessage, AW, AL, result); });
  if (handled) return result;
  // Not (or no longer) one of the window's controls: the class's own procedure.
  const auto old = reinterpret_cast<WNDPROC>(GetPropA(AControl, OldProcProperty));
  if (AMessage == WM_NCDESTROY) RemovePropA(AControl, OldProcProperty);
  return old ? CallWindowProcA(old, AControl, AMessage, AW, AL)
             : DefWindowProcA(AControl, AMessage, AW, AL);
}

}  // namespace

void SetWindowFailureHandler(std::function<void(const std::string&)> AHandler) {
  std::lock_guard guard(FailureLock);
  FailureHandler = std::move(AHandler);
}

HWND CreateViewerWindow(std::unique_ptr<TJWWindowModel> AModel, const TJWWindowOptions& AOptions) {
  auto window = std::make_unique<TViewerWindow>(std::move(AModel), AOptions);
  try {
    window->Create();
  } catch (...) {
    if (const HWND handle = window->Handle(); handle && IsWindow(handle)) DestroyWindow(handle);
    throw;
  }
  window->OwnedByWindow = true;
  return window.release()->Handle();
}

void ShowViewerWindow(HWND AWindow) {
  if (TViewerWindow* window = WindowOf(AWindow)) window->Show();
}

void RunModalViewerWindow(HWND AWindow, HWND AHost) {
  TViewerWindow* window = WindowOf(AWindow);
  if (!window) return;
  const bool disable = AHost && IsWindow(AHost) && IsWindowEnabled(AHost);
  if (disable) {
    window->ModalHost = AHost;
    EnableWindow(AHost, FALSE);
  }
  window->Show();
  MSG msg;
  while (IsWindow(AWindow)) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {  // the host's program ends: leave the quit message for its own loop
      PostQuitMessage(int(msg.wParam));
      DestroyWindow(AWindow);
      break;
    }
    if (got < 0) break;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  if (disable && IsWindow(AHost)) EnableWindow(AHost, TRUE);
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace jw::win32
