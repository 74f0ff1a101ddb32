// The viewer's exports as a host calls them: the thumbnail sizes and pixels, and the failure
// paths of the viewer window.
#include "DataDir.h"

using namespace jwtest;

#if JW_WITH_VIEWER

namespace {

constexpr uint32_t kFirm = 17, kCardsOnly = 20;

jw::TJWBitmap Picture(int AWidth, int AHeight, uint32_t AColor) {
  return {AWidth, AHeight, std::vector<uint32_t>(size_t(AWidth) * size_t(AHeight), AColor)};
}

// The host's bitmap: remembers the calls the library makes on it. Static functions, not lambdas:
// the host's routines use the library's calling convention.
struct HostBitmap {
  int32_t Width, Height;
  std::vector<std::string> Calls{};
  std::vector<uint8_t> Pixels{};

  static HostBitmap* Self(void* C) { return static_cast<HostBitmap*>(C); }
  static int32_t JWAPI GetWidth(void* C) { return Self(C)->Width; }
  static int32_t JWAPI GetHeight(void* C) { return Self(C)->Height; }
  static void JWAPI SetWidth(void* C, int32_t W) {
    Self(C)->Calls.push_back("w" + std::to_string(Self(C)->Width = W));
  }
  static void JWAPI SetHeight(void* C, int32_t H) {
    Self(C)->Calls.push_back("h" + std::to_string(Self(C)->Height = H));
  }
  static void JWAPI Draw(void* C, const uint8_t* P, int32_t W, int32_t H, int32_t Stride) {
    Self(C)->Calls.push_back("draw " + std::to_string(W) + "x" + std::to_string(H));
    for (int32_t y = 0; y < H; ++y)
      Self(C)->Pixels.insert(Self(C)->Pixels.end(), P + size_t(y) * size_t(Stride),
                             P + size_t(y) * size_t(Stride) + size_t(W) * 4);
  }
  JWHostBitmap Boundary() { return {this, GetWidth, GetHeight, SetWidth, SetHeight, Draw}; }
};

class ViewerExports : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<jw::TJWEntryFixture> entries(2);
    entries[0].Id = kFirm;
    entries[0].Record.NamePart1 = "M\xFCller";
    entries[0].Record.Industries = {"Baustoffe"};
    entries[1].Id = kCardsOnly;
    entries[1].Record.NamePart1 = "Kartenhaus";
    entries[1].Record.CardEC = 1;
    jw::TJWTemplateFixture tmpl;
    tmpl.Id = 1;
    tmpl.Image = MakeBmp24(Picture(705, 460, 0xFF40A020));
    tmpl.Button1 = MakeBmp24(Picture(140, 16, 0xFFC0C0C0));
    tmpl.Button2 = MakeBmp24(Picture(140, 20, 0xFF808080));
    tmpl.NavigationLeft = 561;
    tmpl.BackgroundColor = 0x00EDF6FF;
    WriteDataDir(Dir.Dir(), entries, {}, {tmpl});
  }

  TTempDir Dir;
};

}  // namespace

TEST_F(ViewerExports, ThumbnailIsTheWindowScaledToTheHostsSize) {
  // The window is 705 x 460; a height of 1 is chosen from the proportions (the rule itself is the
  // viewer's: here the size reaches the host's bitmap, in the order of its calls).
  HostBitmap host{120, 1};
  JWHostBitmap boundary = host.Boundary();
  ASSERT_EQ(Lib().GetMiniaturBitmap(kFirm, &boundary), 1) << Lib().GetLastError();
  EXPECT_STREQ(Lib().GetLastError(), "");
  EXPECT_EQ(host.Calls, (std::vector<std::string>{"w120", "h78", "draw 120x78"}));
  ASSERT_EQ(host.Pixels.size(), size_t(120 * 78 * 4));
  for (size_t i = 3; i < host.Pixels.size(); i += 4) ASSERT_EQ(host.Pixels[i], 0xFF) << i;
  // Top-left corner: the template's picture, bytes B, G, R.
  EXPECT_EQ(std::vector<uint8_t>(host.Pixels.begin(), host.Pixels.begin() + 3),
            (std::vector<uint8_t>{0x20, 0xA0, 0x40}));
}

TEST_F(ViewerExports, FailuresLeaveTheHostsBitmapAsItWas) {
  HostBitmap host{120, 1}, empty{0, 0};
  JWHostBitmap boundary = host.Boundary(), emptyBoundary = empty.Boundary();
  EXPECT_EQ(Lib().GetMiniaturBitmap(4711, &boundary), 0);
  EXPECT_STREQ(Lib().GetLastError(), "#4711 JW Eintrag nicht gefunden!");
  EXPECT_EQ(Lib().GetMiniaturBitmap(kFirm, &emptyBoundary), 0);
  EXPECT_EQ(Lib().GetMiniaturBitmap(kFirm, nullptr), 0);
  EXPECT_TRUE(host.Calls.empty() && empty.Calls.empty());
  EXPECT_TRUE(LockIsFree());  // released on every path
}

TEST_F(ViewerExports, ShowFormReportsFailuresAndModelessWindowsKeepNoLock) {
  // The entry has no industries: start index 5 falls back to them and cannot be pressed.
  Lib().ShowForm(kCardsOnly, 5, 0, 0, 0, nullptr, nullptr, nullptr);
  EXPECT_STREQ(Lib().GetLastError(), "Vitual click on Button mistaked, Button isnt visible!");
  Lib().ShowForm(4711, 0, 0, 0, 0, nullptr, nullptr, nullptr);
  EXPECT_STREQ(Lib().GetLastError(), "#4711 JW Eintrag nicht gefunden!");
  EXPECT_TRUE(LockIsFree());
  Lib().ShowForm(kFirm, 0, 0, 0, 1, nullptr, nullptr, nullptr);
  EXPECT_STREQ(Lib().GetLastError(), "");
  Lib().ProcessMessages();
  EXPECT_TRUE(LockIsFree());  // other calls go on while the window is open
}

#else  // a library built without the viewer

TEST(ViewerExports, FailCleanlyWithoutTheViewer) {
  TTempDir dir;
  ASSERT_EQ(Lib().SetJWDataPath(dir.Path().string().c_str(), nullptr, 0), 1);
  JWHostBitmap bitmap{};
  EXPECT_EQ(Lib().GetMiniaturBitmap(1, &bitmap), 0);
  EXPECT_STRNE(Lib().GetLastError(), "");
}

#endif
