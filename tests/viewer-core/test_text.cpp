// Text rules, line breaking of list items and labels, and the thumbnail's size and scaling.
#include <gtest/gtest.h>

#include "../html/Expected.h"
#include "CoreFixture.h"
#include "store/JWError.h"
#include "store/JWLimits.h"
#include "store/JWPortal.h"
#include "viewer/core/JWEListFrame.h"
#include "viewer/core/JWThumbnail.h"
#include "viewer/core/JWViewerText.h"

using namespace jw;
using namespace jwtest;

// One pixel per byte keeps the expected breaks of list items readable.
const auto Bytes = [](const std::string& AText) { return int32_t(AText.size()); };

// Text rules as cases in expected/text-cases.txt, a function and its arguments (separated by "|")
// a line; labels are broken at 30 pixels of the fixed metric, list items at 10 bytes.
TEST(ViewerText, Cases) {
  TFixedMetrics metrics;
  auto join = [](const TStringList& AList) {
    std::string s = std::to_string(AList.size()) + ":";
    for (const std::string& item : AList) s += item + (&item == &AList.back() ? "" : "|");
    return s;
  };
  auto run = [&](const std::string& text) -> std::string {
    const size_t blank = text.find(' ');
    const std::string verb = text.substr(0, blank);
    TStringList a{""};
    for (char c : blank == std::string::npos ? "" : text.substr(blank + 1))
      c == '|' ? a.push_back("") : a.back().push_back(c);
    if (verb == "findbr") {
      const size_t at = FindBR(a[0]);  // npos is -1 whatever the width of size_t
      return "=" + (at == std::string::npos ? std::string("-1") : std::to_string(at));
    }
    if (verb == "replacebr") return "=" + ReplaceBR(a[0], a[1]);
    if (verb == "comma") return "=" + join(SplitCommaText(a[0]));
    if (verb == "wrap") return "=" + join(WrapText(metrics, TJWFont(), a[0], 30));
    if (verb == "items") return WrapListItems(a, Bytes, 10), "=" + join(a);
    if (verb == "web") {
      TJW2DataRec rec;
      rec.PortalPage = a[0], rec.Url = a.size() > 1 ? a[1] : "";
      return "=" + jw::test::Replace(EntryWebText(rec) + " " + EntryWebLink(rec), PortalBaseAddress,
                                     "<portal>/");
    }
    int32_t w = 5, h = 5;  // a size that cannot be worked out leaves them alone
    std::string error;
    try {
      ThumbnailSize(std::stoi(a[0]), std::stoi(a[1]), std::stoi(a[2]), std::stoi(a[3]), w, h);
    } catch (const EJWError& e) {
      error = std::string("!") + e.what() + " ";
    }
    return (error.empty() ? "=" : error) + std::to_string(w) + "x" + std::to_string(h);
  };
  jw::test::RunCases(
      std::string(JW_EXPECTED_DIR) + "/text-cases.txt", [] {}, run);
}

// A list item of a million short words: only what a list can show is broken into lines (breaking
// it all took time quadratic in its length).
TEST(WrapListItems, AHugeItemIsCutBeforeItIsBroken) {
  std::string huge;
  while (huge.size() < (1u << 20)) huge += "ab ";
  TStringList lines{"x", huge, "y"};
  WrapListItems(lines, Bytes, 188);
  size_t bytes = 0;
  for (const std::string& line : lines) bytes += Trim(line).size() + 1;
  EXPECT_EQ(lines.back(), "y");
  EXPECT_EQ(lines[1].size(), 62u * 3 - 1);  // 62 words
  EXPECT_LE(bytes, limits::MaxListLineShown + 16);
}

TEST(Thumbnail, ScalingAveragesTheCoveredPixels) {
  // Left half black, right half white, 4 x 2: halved, each side keeps its colour; to one pixel
  // wide they mix; enlarged, the sides stay apart.
  const uint32_t b = 0xFF000000, w = 0xFFFFFFFF;
  const TJWBitmap source{4, 2, {b, b, w, w, b, b, w, w}};
  EXPECT_EQ(ScaleBitmap(source, 2, 1).Pixels, (std::vector<uint32_t>{b, w}));
  EXPECT_EQ(ScaleBitmap(source, 1, 1).Pixels, std::vector<uint32_t>{0xFF808080});
  const TJWBitmap large = ScaleBitmap(source, 8, 3);
  EXPECT_EQ(std::pair(large.Pixels.front(), large.Pixels.back()),
            std::pair(0xFF000000u, 0xFFFFFFFFu));
  EXPECT_EQ(ScaleBitmap(Solid(705, 460, 0xFF123456), 120, 78).Pixels,
            std::vector<uint32_t>(120 * 78, 0xFF123456));
}
