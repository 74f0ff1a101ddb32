// Text conversion, line breaking of list items and the thumbnail size rules.
#include <gtest/gtest.h>

#include "store/JWError.h"
#include "store/JWLimits.h"
#include "store/JWPortal.h"
#include "store/ZDStrUtils.h"
#include "viewer/JWCodePage.h"
#include "viewer/JWEFrame.h"
#include "viewer/JWViewerApp.h"
#include "viewer/core/JWViewerText.h"

using namespace jw;

TEST(CodePage, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += char(i);
  const QString text = ToQString(all);
  ASSERT_EQ(text.size(), 256);
  EXPECT_EQ(FromQString(text), all);
}

TEST(CodePage, HighControlRangeUsesWindowsCharactersAndOthersBecomeQuestionMarks) {
  EXPECT_EQ(ToQString("\x80"), QString(QChar(0x20AC)));
  EXPECT_EQ(ToQString("\x9F"), QString(QChar(0x0178)));
  EXPECT_EQ(ToQString("\x84\x93"), QString::fromUtf8("\xE2\x80\x9E\xE2\x80\x9C"));
  EXPECT_EQ(ToQString("Gesch\xE4"
                      "ftszeiten"),
            QString::fromUtf8("Gesch\xC3\xA4"
                              "ftszeiten"));
  EXPECT_EQ(FromQString(QString::fromUtf8("\xE2\x82\xAC \xC3\x9F")), "\x80 \xDF");
  // Characters without a byte become one question mark each.
  EXPECT_EQ(FromQString(QString::fromUtf8("a\xE4\xB8\xADz")), "a?z");
  EXPECT_EQ(FromQString(QString::fromUtf8("a\xF0\x9F\x98\x80z")), "a?z");  // surrogate pair
}

TEST(ViewerText, LineMarkIsFoundInAnyCase) {
  EXPECT_EQ(FindBR("M\xFCller<bR>GmbH"), 6u);
  EXPECT_EQ(FindBR("<B R>"), std::string::npos);
  EXPECT_EQ(ReplaceBR("a<br>b<BR>c<Br", "\n\r"), "a\n\rb\n\rc<Br");
}

TEST(ViewerText, WebTextFallsBackToThePortal) {
  TJW2DataRec rec;
  rec.PortalPage = "firma-4711";
  EXPECT_EQ(EntryWebText(rec), std::string(PortalBaseAddress) + "firma-4711");
  EXPECT_EQ(EntryWebLink(rec), "http://" + std::string(PortalBaseAddress) + "firma-4711");
  rec.Url = " www.firma.example ";
  EXPECT_EQ(EntryWebText(rec), "www.firma.example");
  EXPECT_EQ(EntryWebLink(rec), "http:// www.firma.example ");  // as stored
  rec = TJW2DataRec();
  EXPECT_EQ(EntryWebText(rec), "");
}

namespace {
// One pixel per byte keeps the expected breaks readable.
const TMeasureTextFunc kPerChar = [](const std::string& AText) { return int32_t(AText.size()); };

TStringList Wrap(TStringList ALines, int AMax) {
  WrapListItems(ALines, kPerChar, AMax);
  return ALines;
}
}  // namespace

TEST(WrapListItems, BreaksLinesWiderThanTheLimitAndIndentsTheirContinuations) {
  const struct {
    TStringList In, Out;
  } cases[] = {
      {{"aaaa bbbbb"}, {"aaaa bbbbb"}},  // exactly the limit
      {{"aaaa bbbbbb"}, {"aaaa", "     bbbbbb"}},
      {{"x", "aa bb cc dd ee", "y"}, {"x", "aa bb cc", "     dd ee", "y"}},
      // A continuation is broken again: its own first part loses the five blanks, its rest gets
      // them.
      {{"aa bb cc dd ee ff gg"}, {"aa bb cc", "dd ee ff", "     gg"}},
      // A word wider than the limit keeps a line of its own.
      {{"Donaudampfschiff"}, {"Donaudampfschiff"}},
      {{"Donaudampfschiff fahrt"}, {"Donaudampfschiff", "     fahrt"}},
      {{"ab Donaudampfschiff cd"}, {"ab", "Donaudampfschiff", "     cd"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Wrap(c.In, 10), c.Out) << c.In.back();
}

// A list item of a million short words: only what a list can show is broken into lines (breaking
// it all took time quadratic in its length).
TEST(WrapListItems, AHugeItemIsCutBeforeItIsBroken) {
  std::string huge;
  while (huge.size() < (1u << 20)) huge += "ab ";
  const TStringList lines = Wrap({"x", huge, "y"}, 188);
  size_t bytes = 0;
  for (const std::string& line : lines) bytes += Trim(line).size() + 1;
  EXPECT_EQ(lines.front(), "x");
  EXPECT_EQ(lines.back(), "y");
  EXPECT_EQ(lines[1].size(), 62u * 3 - 1);  // 62 words
  EXPECT_LE(bytes, limits::MaxListLineShown + 16);
}

TEST(ThumbnailSize, OneChoosesThatSideFromTheProportionsAndHalvesRoundToEven) {
  const struct {
    int32_t Width, Height, ShotWidth, ShotHeight, OutWidth, OutHeight;
  } cases[] = {
      {120, 1, 600, 400, 120, 80},    // a height of 1: it follows from the width
      {1, 80, 600, 400, 120, 80},     // a width of 1: it follows from the height
      {200, 50, 600, 400, 200, 133},  // neither 1: the height follows from the width
      {1, 1, 600, 400, 1, 1},         // both 1: the width is kept
      {161, 7, 600, 300, 161, 80},    // 80.5 rounds to even
      {163, 7, 600, 300, 163, 82},    // 81.5 rounds to even
  };
  for (const auto& c : cases) {
    int32_t w = 0, h = 0;
    ThumbnailSize(c.Width, c.Height, c.ShotWidth, c.ShotHeight, w, h);
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(c.OutWidth, c.OutHeight))
        << c.Width << "x" << c.Height;
  }
}

TEST(ThumbnailSize, EmptySnapshotsAndAbsurdSizesAreRefused) {
  int32_t w = 5, h = 5;
  for (auto [width, height, shotWidth] :
       {std::tuple{120, 1, 0}, {0, 50, 600}, {-5, 50, 600}, {2000000000, 50, 600}})
    EXPECT_THROW(ThumbnailSize(width, height, shotWidth, 400, w, h), EJWError) << width;
  EXPECT_EQ(std::make_pair(w, h), std::make_pair(5, 5));
}
