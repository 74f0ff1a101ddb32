#include <gtest/gtest.h>

#include <numbers>
#include <string>

#include "store/JWError.h"
#include "store/ZDGeo.h"
#include "store/ZDStrUtils.h"
#include "store/ZDTelNum.h"

namespace jw {
namespace {

TEST(ShortenText, EstimateRoundsHalfToEven) {
  EXPECT_EQ(EstimateTextWidth(std::string(11, 'x')), 76);
  EXPECT_EQ(EstimateTextWidth(std::string(12, 'x')), 83);
  EXPECT_EQ(EstimateTextWidth(std::string(128, 'x')), 882);   // 881.5
  EXPECT_EQ(EstimateTextWidth(std::string(384, 'x')), 2644);  // 2644.5
  EXPECT_EQ(EstimateTextWidth(""), 0);
}

TEST(ShortenText, WithoutSurface) {
  const std::string street =
      "Musterstra\xDF"
      "e 12";
  EXPECT_EQ(ShortenText(nullptr, 76, street, "..."), "Musterst...");
  TMeasureTextFunc none;  // an empty function counts as no surface
  EXPECT_EQ(ShortenText(&none, 76, street, "..."), "Musterst...");
  EXPECT_EQ(ShortenText(nullptr, 40, std::string(2'000'000, 'x'), "..."), "xx...");
  EXPECT_EQ(ShortenText(nullptr, 76, "kurz", "..."), "kurz");  // fits: no suffix
  EXPECT_EQ(ShortenText(nullptr, 76, std::string(11, 'a'), "..."), std::string(11, 'a'));
  EXPECT_EQ(ShortenText(nullptr, 2, "Alpha", "..."), "");
  EXPECT_EQ(ShortenText(nullptr, -5, "", "..."), "");
}

// The one-step computation without a surface must agree with the byte-by-byte loop that a
// measuring function drives.
TEST(ShortenText, EstimateAgreesWithMeasuredLoop) {
  TMeasureTextFunc byLength = [](const std::string& s) { return EstimateTextWidth(s); };
  const std::string texts[] = {"", "A", "AB", "Abcdefghij",
                               "Stra\xDF"
                               "e mit langem Namen 12a"};
  const std::string suffixes[] = {"...", "", "~", "[mehr]"};
  for (const auto& text : texts)
    for (const auto& suffix : suffixes)
      for (int width = -1; width < 200; width += 3)
        EXPECT_EQ(ShortenText(nullptr, width, text, suffix),
                  ShortenText(&byLength, width, text, suffix))
            << text << "|" << suffix << "|" << width;
}

TEST(ShortenText, ShrinksThroughTheSuffixWithMeasure) {
  std::vector<std::string> seen;
  TMeasureTextFunc record = [&](const std::string& s) {
    seen.push_back(s);
    return int32_t(s.size()) * 10;
  };
  EXPECT_EQ(ShortenText(&record, 5, "A", "..."), "");
  const std::vector<std::string> expected = {"A", "A...", "A..", "A.", "A"};
  EXPECT_EQ(seen, expected);
}

TEST(PadText, Cases) {
  EXPECT_EQ(PadText(false, "0", 8, "1234"), "00001234");
  EXPECT_EQ(PadText(true, "0", 8, "1234"), "12340000");
  EXPECT_EQ(PadText(false, "0", 8, "123456789"), "123456789");
  EXPECT_EQ(PadText(true, "ab", 5, "xy"), "xyabab");  // a long pad string overshoots
  EXPECT_EQ(PadText(false, "", 8, "12"), "12");       // would never end otherwise
  EXPECT_EQ(PadText(false, "0", -3, "12"), "12");
}

TEST(ExtractToken, WalksFields) {
  std::string line = "Mo\t08:00\t\t17:30";
  EXPECT_EQ(ExtractToken("\t", line), "Mo");
  EXPECT_EQ(ExtractToken("\t", line), "08:00");
  EXPECT_EQ(ExtractToken("\t", line), "");
  EXPECT_EQ(ExtractToken("\t", line), "17:30");
  EXPECT_EQ(line, "");
  EXPECT_EQ(ExtractToken("\t", line), "");

  std::string two = "a::b::c";
  EXPECT_EQ(ExtractToken("::", two), "a");
  EXPECT_EQ(two, "b::c");

  std::string empty_delim = "abc";
  EXPECT_EQ(ExtractToken("", empty_delim), "abc");
  EXPECT_EQ(empty_delim, "");

  std::string cased = "aXbxc";
  EXPECT_EQ(ExtractToken("x", cased), "aXb");  // case-sensitive
}

TEST(Trim, ControlCharactersAndBlanks) {
  EXPECT_EQ(Trim(std::string("\0\t a b\r\n ", 9)), "a b");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // only codes up to 32
  EXPECT_EQ(Trim("  "), "");
}

TEST(FormatTelNum, WholeNumbersAndParts) {
  EXPECT_EQ(FormatTelNum("0221", "123456"), "(02 21) 12 34 56");
  EXPECT_EQ(FormatTelNum("030", "1234567-0"), "(0 30) 1 23 45 67 - 0");
  EXPECT_EQ(FormatTelNum("089", "12-34"), "(0 89) 12 -  34");
  EXPECT_EQ(FormatTelNum("", "0171 1234567"), "0 17 11 23 45 67");
  EXPECT_EQ(FormatTelNum(" 0221 ", ""), "");
  EXPECT_EQ(FormatTelNum("0221", "abc"), "(02 21)");
  EXPECT_EQ(FormatTelNum("+49", "221/123"), "(49) 2 21 / 1 23");
  EXPECT_EQ(FormatTelNum("", ""), "");
  EXPECT_EQ(FormatTelNum("abc", "12"), "12");  // an area code without digits shows nothing
  EXPECT_EQ(CleanTelNum(" +49 (0)221-12/3x "), "490221-12/3");
  EXPECT_EQ(GroupTelNum("12345"), "1 23 45");
  EXPECT_EQ(GroupTelNum("--"), "-  -");
  EXPECT_EQ(FormatTelDigits("(0221)"), "02 21");
}

TEST(Geo, StrToMinutes) {
  EXPECT_NEAR(GeoStrToMinutes("5056420"), 3056.7, 1e-9);
  EXPECT_NEAR(GeoStrToMinutes("5056420") / 60, 50.945, 1e-9);
  EXPECT_EQ(GeoStrToMinutes(""), 0);
  EXPECT_EQ(GeoStrToMinutes("12"), 720);
  EXPECT_NEAR(GeoStrToMinutes("0000003099"), 0.005, 1e-12);  // bytes after the eighth ignored
  EXPECT_EQ(GeoStrToMinutes(" 1000000"), 60);
  EXPECT_THROW(GeoStrToMinutes("5x000000"), EJWError);
  EXPECT_THROW(GeoStrToMinutes("  "), EJWError);
}

TEST(Geo, Distance) {
  const double rad = std::numbers::pi / 180;
  EXPECT_NEAR(GeoDistance(7 * rad, 50 * rad, 7 * rad, 51 * rad), 6378.388 * std::numbers::pi / 180,
              1e-6);
  for (double lat : {0.0, 50.945, 89.9, -33.3}) {
    const double d = GeoDistance(6.95 * rad, lat * rad, 6.95 * rad, lat * rad);
    EXPECT_EQ(d, 0.0) << lat;  // not NaN from rounding past 1
  }
  EXPECT_NEAR(GeoDistance(0, 0, std::numbers::pi, 0), 6378.388 * std::numbers::pi,
              1e-6);  // antipodes stay finite
}

}  // namespace
}  // namespace jw
