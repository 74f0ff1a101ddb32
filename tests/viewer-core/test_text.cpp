// Text rules, line breaking of list items and labels, and the thumbnail's size and scaling.
#include <gtest/gtest.h>

#include "CoreFixture.h"
#include "store/JWError.h"
#include "store/JWLimits.h"
#include "store/JWPortal.h"
#include "viewer/core/JWEListFrame.h"
#include "viewer/core/JWThumbnail.h"
#include "viewer/core/JWViewerText.h"

using namespace jw;
using namespace jwtest;

TEST(ViewerText, LineMarkIsFoundInAnyCaseAndTheWebTextFallsBackToThePortal) {
  EXPECT_EQ(FindBR("M\xFCller<bR>GmbH"), 6u);
  EXPECT_EQ(FindBR("<B R>"), std::string::npos);
  EXPECT_EQ(ReplaceBR("a<br>b<BR>c<Br", "\n\r"), "a\n\rb\n\rc<Br");
  TJW2DataRec rec;
  rec.PortalPage = "firma-4711";
  EXPECT_EQ(EntryWebText(rec), std::string(PortalBaseAddress) + "firma-4711");
  EXPECT_EQ(EntryWebLink(rec), "http://" + std::string(PortalBaseAddress) + "firma-4711");
  rec.Url = " www.firma.example ";
  EXPECT_EQ(EntryWebText(rec), "www.firma.example");
  EXPECT_EQ(EntryWebLink(rec), "http:// www.firma.example ");  // as stored
  EXPECT_EQ(EntryWebText(TJW2DataRec()), "");
}

TEST(ViewerText, CommaTextSplitsAtCommasAndBlanksUnlessQuoted) {
  const std::pair<std::string, TStringList> cases[] = {
      {"Einzelhandel,Gro\xDFhandel", {"Einzelhandel", "Gro\xDFhandel"}},
      {"  Handel mit Holz , Bau", {"Handel", "mit", "Holz", "Bau"}},
      {"\"Handel mit \"\"Holz\"\"\",Bau", {"Handel mit \"Holz\"", "Bau"}},
      {"a,,b,", {"a", "", "b"}},  // empty items between commas stay; a trailing comma adds none
      {"\t\r\n", {}},
      {"\"offen, bis zum Ende", {"offen, bis zum Ende"}},  // an unclosed quote runs to the end
  };
  for (const auto& [text, items] : cases) EXPECT_EQ(SplitCommaText(text), items) << text;
}

TEST(ViewerText, LabelsBreakAtBlanksAndLineEndsOfEitherPlatform) {
  TFixedMetrics metrics;
  const TJWFont font;
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"aa bb cc", {"aa bb", "cc"}},  // 30 pixels a line
      {"a\r\nb\n\rc\rd\ne", {"a", "b", "c", "d", "e"}},
      {"Donaudampf x", {"Donaudampf", "x"}},  // a wider word keeps its line
      {"x\r\n", {"x", ""}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(WrapText(metrics, font, text, 30), lines);
}

namespace {
// One pixel per byte keeps the expected breaks readable.
const TMeasureTextFunc kPerChar = [](const std::string& AText) { return int32_t(AText.size()); };
}  // namespace

TEST(WrapListItems, BreaksLinesWiderThanTheLimitAndIndentsTheirContinuations) {
  const struct {
    TStringList In, Out;
  } cases[] = {
      {{"aaaa bbbbb"}, {"aaaa bbbbb"}},  // exactly the limit
      {{"aaaa bbbbbb"}, {"aaaa", "     bbbbbb"}},
      {{"x", "aa bb cc dd ee", "y"}, {"x", "aa bb cc", "     dd ee", "y"}},
      // A continuation's own first part loses the five blanks, its rest gets them.
      {{"aa bb cc dd ee ff gg"}, {"aa bb cc", "dd ee ff", "     gg"}},
      // A word wider than the limit keeps a line of its own.
      {{"Donaudampfschiff"}, {"Donaudampfschiff"}},
      {{"Donaudampfschiff fahrt"}, {"Donaudampfschiff", "     fahrt"}},
      {{"ab Donaudampfschiff cd"}, {"ab", "Donaudampfschiff", "     cd"}},
  };
  for (const auto& c : cases) {
    TStringList lines = c.In;
    WrapListItems(lines, kPerChar, 10);
    EXPECT_EQ(lines, c.Out) << c.In.back();
  }
}

// A list item of a million short words: only what a list can show is broken into lines (breaking
// it all took time quadratic in its length).
TEST(WrapListItems, AHugeItemIsCutBeforeItIsBroken) {
  std::string huge;
  while (huge.size() < (1u << 20)) huge += "ab ";
  TStringList lines{"x", huge, "y"};
  WrapListItems(lines, kPerChar, 188);
  size_t bytes = 0;
  for (const std::string& line : lines) bytes += Trim(line).size() + 1;
  EXPECT_EQ(lines.back(), "y");
  EXPECT_EQ(lines[1].size(), 62u * 3 - 1);  // 62 words
  EXPECT_LE(bytes, limits::MaxListLineShown + 16);
}

TEST(Thumbnail, OneChoosesThatSideFromTheProportionsAndHalvesRoundToEven) {
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
  int32_t w = 5, h = 5;
  for (auto [width, height, shotWidth] :
       {std::tuple{120, 1, 0}, {0, 50, 600}, {-5, 50, 600}, {2000000000, 50, 600}})
    EXPECT_THROW(ThumbnailSize(width, height, shotWidth, 400, w, h), EJWError) << width;
  EXPECT_EQ(std::make_pair(w, h), std::make_pair(5, 5));
}

TEST(Thumbnail, ScalingAveragesTheCoveredPixels) {
  // Left half black, right half white, 4 x 2: halved, each side keeps its colour; to one pixel
  // wide they mix; enlarged, the sides stay apart.
  TJWBitmap source = Solid(4, 2, 0xFF000000);
  for (int y = 0; y < 2; ++y)
    for (int x = 2; x < 4; ++x) source.Pixels[size_t(y * 4 + x)] = 0xFFFFFFFF;
  EXPECT_EQ(ScaleBitmap(source, 2, 1).Pixels, (std::vector<uint32_t>{0xFF000000, 0xFFFFFFFF}));
  EXPECT_EQ(ScaleBitmap(source, 1, 1).Pixels, std::vector<uint32_t>{0xFF808080});
  const TJWBitmap large = ScaleBitmap(source, 8, 3);
  EXPECT_EQ(large.Pixels.front(), 0xFF000000u);
  EXPECT_EQ(large.Pixels.back(), 0xFFFFFFFFu);
  EXPECT_EQ(ScaleBitmap(Solid(705, 460, 0xFF123456), 120, 78).Pixels,
            std::vector<uint32_t>(120 * 78, 0xFF123456));
}
