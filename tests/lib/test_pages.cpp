// What the host receives: pages, pictures as JPEG streams, the viewer's thumbnail and window, their
// failures and the log lines of failed pages (the producers themselves: tests/html, tests/store).
#include <gmock/gmock.h>

#include "JpegCheck.h"
#include "LibHost.h"

namespace jwtest {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;
namespace fs = std::filesystem;

enum : uint32_t { idWithLogo = 10, idWithoutLogo = 11, idBroken = 12 };  // templates 2, 3, 3
enum : uint32_t { idFirm = 17, idCardsOnly = 20, idSearchOnly = 30 };    // template 1

jw::TJWBitmap Plain(int AWidth, int AHeight, uint32_t AColor) {
  return {AWidth, AHeight, std::vector<uint32_t>(size_t(AWidth) * size_t(AHeight), AColor)};
}
// Template 1 is the viewer's: a 705 x 460 window. Templates 2 and 3 have pictures distinct per
// template and differently sized, so a mix-up shows; template 3's last button does not decode.
jw::TJWBitmap Picture(int AItem, uint32_t ATemplate) {
  const jw::TJWBitmap viewer[] = {Plain(705, 460, 0xFF40A020), Plain(140, 16, 0xFFC0C0C0),
                                  Plain(140, 20, 0xFF808080)};
  return ATemplate == 1 ? viewer[AItem]
         : AItem        ? Gradient(24 + AItem, 8 + int(ATemplate))
                        : Gradient(60 + 10 * int(ATemplate), 40);
}
const jw::TJWBitmap Logo = Gradient(33, 17);

class Pages : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<jw::TJWEntryFixture> e(6);
    const uint32_t ids[] = {idWithLogo, idWithoutLogo, idBroken, idFirm, idCardsOnly, idSearchOnly};
    for (size_t i = 0; i < e.size(); ++i) e[i].Id = ids[i];
    e[0].Record.TemplateId = 2;
    e[1].Record.TemplateId = e[2].Record.TemplateId = 3;
    e[3].Record.NamePart1 = "M\xFCller";
    e[3].Record.Industries = {"Baustoffe"};
    e[4].Record.CardEC = 1;
    e[5].Record.Searchwords = {"x"};
    e[5].BranchIds = {idSearchOnly, idSearchOnly};
    std::vector<jw::TJWTemplateFixture> t;
    for (uint32_t id : {1u, 2u, 3u})
      t.push_back(
          {id, MakeBmp24(Picture(0, id)), MakeBmp24(Picture(1, id)), MakeBmp24(Picture(2, id))});
    t[0].NavigationLeft = 561;
    t[0].BackgroundColor = 0x00EDF6FF;
    t[2].Button2 = {'B', 'M'};
    WriteDataDir(Data.Dir(), e, {{idWithLogo, Logo}}, t);
  }
  void Write(const std::string& AName, const std::string& AText) {
    std::ofstream(Inc.Path() / (AName + ".html"), std::ios::binary) << AText;
  }
  std::string Get(uint32_t AId, uint32_t APage, const char* AParams = "", uint8_t AShow = 0,
                  uint8_t AForce = 0) {
    return TakeStream(Lib().GetHTMLText(AId, Inc.Dir().c_str(), APage, AParams, AShow, AForce));
  }
  // The log lines written since the last call.
  TLines NewLogLines() {
    TLines lines = LogLines(Cwd.Path());
    lines.erase(lines.begin(), lines.begin() + std::ptrdiff_t(LogRead));
    LogRead += lines.size();
    return lines;
  }

  TTempDir Data, Inc, Cwd;
  TCurrentDir InCwd{Cwd.Path()};
  size_t LogRead = 0;
};

TEST_F(Pages, PagePositionsMapToTheEntrysButtons) {
  for (const char* page : {"main1", "main2"})
    Write(page, std::string(page) + ":<#FIELD NAME=PARAM VALUE=$pageidx$/$pagename$|[?a?]>");
  // The location's page shows its navigation buttons, which follow the same flags.
  Write("route",
        "<#FIELD NAME=BUT1 TYPE=NEXT>,<#FIELD NAME=BUT1 TYPE=NEXT>,<#FIELD NAME=BUT1 TYPE=NEXT>");
  // Search words (2) and branches (6) are the entry's buttons.
  EXPECT_EQ(Get(idSearchOnly, 0), "main1:2/searchwords|\r\n");
  EXPECT_EQ(Get(idSearchOnly, 1, "a=1"), "main2:6/branches|1\r\n");
  EXPECT_EQ(Get(idSearchOnly, 2, nullptr), "main1:0/industries|\r\n");  // beyond: page 0
  // With the location forced, the location button takes position 1, in the page's buttons too.
  EXPECT_EQ(Get(idSearchOnly, 1, "", 0, 1), "Branchen,Suchworte,Standort zeigen\r\n");
  EXPECT_TRUE(NewLogLines().empty());
  // Without an include path the templates come from the current directory.
  std::ofstream(Cwd.Path() / "main1.html", std::ios::binary) << "hier";
  EXPECT_EQ(TakeStream(Lib().GetHTMLText(idSearchOnly, nullptr, 0, nullptr, 0, 0)), "hier\r\n");
}

TEST_F(Pages, PageFailuresAreLoggedWithTheirResults) {
  const std::string inc = Inc.Dir(),
                    call = "JW_GetHTMLText( 30, \"" + inc + "\", 0, \"\", 0, 0 ): ";
  // No template file "main1": the stream exists, empty.
  EXPECT_EQ(Get(idSearchOnly, 0, "a=1", 1, 0), "");
  EXPECT_EQ(NewLogLines(),
            TLines{"JW_GetHTMLText( 30, \"" + inc + "\", 0, \"a=1\", 1, 0 ): Datei \"" + inc +
                   "main1.html\" nicht gefunden!"});
  // A failure in the middle of the page: what was written before it is dropped too.
  Write("main1", "ok\r\n<#FIELD NAME=PARAM VALUE=%zz>");
  EXPECT_EQ(Get(idSearchOnly, 0), "");
  EXPECT_THAT(NewLogLines(), ElementsAre(StartsWith(call)));
  // An unknown entry, missing data files and a malformed template file: no stream at all.
  Write("main1", "ok");
  EXPECT_EQ(Get(99, 3, "", 0, 1), "<null>");
  EXPECT_EQ(NewLogLines(), TLines{"JW_GetHTMLText( 99, \"" + inc +
                                  "\", 3, \"\", 0, 1 ): #99 JW Eintrag nicht gefunden!"});
  for (const char* file : {"JWIMG.SRM", "JWTMP.SRM", "JWDAT.SRM"}) {
    fs::rename(Data.Path() / file, Data.Path() / "saved");
    EXPECT_EQ(Get(idSearchOnly, 0), "<null>") << file;
    EXPECT_EQ(NewLogLines(), TLines{call + "Datei \"" + Data.Dir() + file + "\" nicht gefunden!"});
    fs::rename(Data.Path() / "saved", Data.Path() / file);
  }
  EXPECT_EQ(Get(idSearchOnly, 0), "ok\r\n");
  jw::TJWTmpWriter damaged(Data.Dir() + "JWTMP.SRM");
  damaged.SetEntrySize(41);
  damaged.Finish();
  EXPECT_EQ(Get(idSearchOnly, 0), "<null>");
  EXPECT_EQ(NewLogLines(), TLines{call + "JWTMP: Wrong Filesize!"});
}

TEST_F(Pages, PageStreamsComeFromTheHostsRoutines) {
  Write("main1", "<p>page</p>");
  Lib().SetMemoryManager(HostGetMem, HostFreeMem, HostReallocMem);
  Heap.ProbeLock = true;
  JWMemoryStream* s = Lib().GetHTMLText(idSearchOnly, Inc.Dir().c_str(), 0, "", 0, 0);
  Lib().SetMemoryManager(nullptr, nullptr, nullptr);
  ASSERT_NE(s, nullptr) << Lib().GetLastError();
  Heap.Waiting.get();
  EXPECT_TRUE(Heap.LockHeld);
  EXPECT_EQ(s->Position, s->Size);
  EXPECT_EQ(Heap.LiveNow(), (std::set<void*>{s, s->Memory}));  // nothing else is left with the host
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s->Memory), size_t(s->Size)),
            "<p>page</p>\r\n");
  // The host releases the bytes, then the structure, with its own routine.
  EXPECT_EQ(HostFreeMem(s->Memory) + HostFreeMem(s), 0);
}

// The host's list: every item as it arrived.
struct THostList {
  std::vector<std::pair<std::string, JWMemoryStream*>> Items;
  JWHostList List{this, &THostList::Add};

  static void JWAPI Add(void* AContext, const char* AName, JWMemoryStream* AStream) {
    static_cast<THostList*>(AContext)->Items.emplace_back(AName, AStream);
  }
  ~THostList() {
    for (const auto& item : Items) Lib().FreeMemoryStream(item.second);
  }
  // Each item is a finished stream holding a JPEG close to the template's picture (the logo last).
  void Expect(uint32_t ATemplate, size_t ACount) const {
    const char* names[] = {"template.jpg", "button1.jpg", "button2.jpg", "logo.jpg"};
    ASSERT_EQ(Items.size(), ACount);
    for (size_t i = 0; i < ACount; ++i) {
      const JWMemoryStream* s = Items[i].second;
      EXPECT_EQ(Items[i].first, names[i]);
      EXPECT_EQ(s->Position, s->Size);
      const TJpegInfo jpeg = ReadJpeg({s->Memory, s->Memory + s->Size});
      ASSERT_TRUE(jpeg.Ok) << jpeg.Error;
      EXPECT_LE(MaxChannelDifference(jpeg.Picture, i < 3 ? Picture(int(i), ATemplate) : Logo), 16)
          << i;
    }
  }
};

TEST_F(Pages, TemplateImagesOfTheEntrysTemplateOrTheOneAskedForAndTheirFailures) {
  THostList all, asked, list;
  EXPECT_EQ(Lib().GetTemplateImages(idWithLogo, 0, &all.List), 1);
  EXPECT_STREQ(Lib().GetLastError(), "");
  all.Expect(2, 4);
  EXPECT_EQ(Lib().GetTemplateImages(idWithoutLogo, 1, &asked.List), 1);  // not its broken one
  asked.Expect(1, 3);
  EXPECT_EQ(Lib().GetTemplateImages(idBroken, 0, &list.List), 0);
  EXPECT_STREQ(Lib().GetLastError(), "BMP: not a bitmap file");
  EXPECT_TRUE(list.Items.empty());  // the template is read whole before any item is made
  EXPECT_EQ(Lib().GetTemplateImages(idWithLogo, 0, nullptr), 0);
  EXPECT_STRNE(Lib().GetLastError(), "");
  // Items appended before a failure are the host's: two blocks per item, no memory for the third.
  Heap.BlocksLeft = 5;
  Lib().SetMemoryManager(HostGetMem, HostFreeMem, HostReallocMem);
  EXPECT_EQ(Lib().GetTemplateImages(idWithLogo, 0, &list.List), 0);
  const std::string error = Lib().GetLastError();
  Lib().SetMemoryManager(nullptr, nullptr, nullptr);
  Heap.BlocksLeft = INT_MAX;
  EXPECT_NE(error.find("Out of memory"), std::string::npos) << error;
  EXPECT_EQ(Heap.LiveNow().size(), 4u);
  list.Expect(2, 2);
  // Without the logo file, loading the entry fails as a whole.
  fs::remove(Data.Path() / "JWIMG.SRM");
  EXPECT_EQ(Lib().GetTemplateImages(idWithLogo, 0, &list.List), 0);
  EXPECT_EQ(Lib().GetLastError(), "Datei \"" + Data.Dir() + "JWIMG.SRM\" nicht gefunden!");
  EXPECT_EQ(list.Items.size(), 2u);
}

#if JW_WITH_VIEWER

// The host's bitmap, noting the library's calls (static: they use its calling convention).
struct HostBitmap {
  int32_t Width, Height;
  std::vector<std::string> Calls{};
  std::vector<uint8_t> Pixels{};

  static HostBitmap* Self(void* C) { return static_cast<HostBitmap*>(C); }
  static int32_t JWAPI GetWidth(void* C) { return Self(C)->Width; }
  static int32_t JWAPI GetHeight(void* C) { return Self(C)->Height; }
  void Call(std::string A, int32_t V) { Calls.push_back(A + std::to_string(V)); }
  static void JWAPI SetWidth(void* C, int32_t W) { Self(C)->Call("w", Self(C)->Width = W); }
  static void JWAPI SetHeight(void* C, int32_t H) { Self(C)->Call("h", Self(C)->Height = H); }
  static void JWAPI Draw(void* C, const uint8_t* P, int32_t W, int32_t H, int32_t Stride) {
    Self(C)->Call("draw " + std::to_string(W) + "x", H);
    for (int32_t y = 0; y < H; ++y)
      Self(C)->Pixels.insert(Self(C)->Pixels.end(), P + size_t(y) * size_t(Stride),
                             P + size_t(y) * size_t(Stride) + size_t(W) * 4);
  }
  JWHostBitmap Boundary() { return {this, GetWidth, GetHeight, SetWidth, SetHeight, Draw}; }
};

// Failures leave the host's bitmap as it was and no lock taken.
TEST_F(Pages, ThumbnailIsTheWindowScaledToTheHostsSizeAndTheViewersFailures) {
  HostBitmap host{120, 1}, empty{0, 0};
  JWHostBitmap boundary = host.Boundary(), emptyBoundary = empty.Boundary();
  EXPECT_EQ(Lib().GetMiniaturBitmap(4711, &boundary), 0);
  EXPECT_STREQ(Lib().GetLastError(), "#4711 JW Eintrag nicht gefunden!");
  EXPECT_EQ(Lib().GetMiniaturBitmap(idFirm, &emptyBoundary), 0);
  EXPECT_EQ(Lib().GetMiniaturBitmap(idFirm, nullptr), 0);
  EXPECT_TRUE(host.Calls.empty() && empty.Calls.empty());
  EXPECT_TRUE(LockIsFree());
  // The window is 705 x 460; a height of 1 is chosen from the proportions (the viewer's rule).
  ASSERT_EQ(Lib().GetMiniaturBitmap(idFirm, &boundary), 1) << Lib().GetLastError();
  EXPECT_STREQ(Lib().GetLastError(), "");
  ASSERT_EQ(host.Calls, (TLines{"w120", "h78", "draw 120x78"}));  // and so 120 x 78 x 4 bytes
  for (size_t i = 3; i < host.Pixels.size(); i += 4) ASSERT_EQ(host.Pixels[i], 0xFF) << i;
  EXPECT_EQ(host.Pixels[0] | host.Pixels[1] << 8 | host.Pixels[2] << 16, 0x40A020);  // B, G, R
  // The entry has no industries: start index 5 falls back to them and cannot be pressed.
  Lib().ShowForm(idCardsOnly, 5, 0, 0, 0, nullptr, nullptr, nullptr);
  EXPECT_STREQ(Lib().GetLastError(), "Vitual click on Button mistaked, Button isnt visible!");
  Lib().ShowForm(4711, 0, 0, 0, 0, nullptr, nullptr, nullptr);
  EXPECT_STREQ(Lib().GetLastError(), "#4711 JW Eintrag nicht gefunden!");
  EXPECT_TRUE(LockIsFree());
  Lib().ShowForm(idFirm, 0, 0, 0, 1, nullptr, nullptr, nullptr);
  EXPECT_STREQ(Lib().GetLastError(), "");
  Lib().ProcessMessages();
  EXPECT_TRUE(LockIsFree());  // other calls go on while the modeless window is open
}

#else  // a library built without the viewer

TEST_F(Pages, ViewerExportsFailCleanly) {
  JWHostBitmap bitmap{};
  EXPECT_EQ(Lib().GetMiniaturBitmap(idFirm, &bitmap), 0);
  EXPECT_STRNE(Lib().GetLastError(), "");
}

#endif

}  // namespace
}  // namespace jwtest
