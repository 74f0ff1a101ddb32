#include <gtest/gtest.h>

#include <numbers>
#include <string>

#include "store/JWError.h"
#include "store/ZDGeo.h"
#include "store/ZDStrUtils.h"
#include "store/ZDTelNum.h"

namespace jw {
namespace {

TEST(ShortenText, WithoutSurface) {
  const std::string street = "Musterstra\337e 12";
  TMeasureTextFunc none;  // an empty function counts as no surface
  const struct {
    TMeasureTextFunc* Measure;
    int32_t Width;
    std::string Text, Expected;
  } cases[] = {
      {nullptr, 76, street, "Musterst..."},
      {&none, 76, street, "Musterst..."},
      {nullptr, 40, std::string(2'000'000, 'x'), "xx..."},
      {nullptr, 76, "kurz", "kurz"},  // fits: no suffix
      {nullptr, 76, std::string(11, 'a'), std::string(11, 'a')},
      {nullptr, 2, "Alpha", ""},
      {nullptr, -5, "", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShortenText(c.Measure, c.Width, c.Text, "..."), c.Expected) << c.Width;
  // Widths are rounded half to even: 128 x 6.88671875 = 881.5, 384 x = 2644.5.
  for (auto [n, width] : {std::pair{11, 76}, {12, 83}, {128, 882}, {384, 2644}, {0, 0}})
    EXPECT_EQ(EstimateTextWidth(std::string(size_t(n), 'x')), width) << n;
}

// The one-step computation without a surface must agree with the byte-by-byte loop that a
// measuring function drives, and that loop shrinks through the suffix.
TEST(ShortenText, EstimateAgreesWithMeasuredLoop) {
  TMeasureTextFunc byLength = [](const std::string& s) { return EstimateTextWidth(s); };
  for (const std::string text : {"", "A", "AB", "Abcdefghij", "Stra\337e mit langem Namen 12a"})
    for (const std::string suffix : {"...", "", "~", "[mehr]"})
      for (int width = -1; width < 200; width += 3)
        EXPECT_EQ(ShortenText(nullptr, width, text, suffix),
                  ShortenText(&byLength, width, text, suffix))
            << text << "|" << suffix << "|" << width;
  std::vector<std::string> seen;
  TMeasureTextFunc record = [&](const std::string& s) {
    seen.push_back(s);
    return int32_t(s.size()) * 10;
  };
  EXPECT_EQ(ShortenText(&record, 5, "A", "..."), "");
  EXPECT_EQ(seen, (std::vector<std::string>{"A", "A...", "A..", "A.", "A"}));
}

TEST(StrUtils, PadTokensAndTrim) {
  EXPECT_EQ(PadText(false, "0", 8, "1234"), "00001234");
  EXPECT_EQ(PadText(true, "0", 8, "1234"), "12340000");
  EXPECT_EQ(PadText(false, "0", 8, "123456789"), "123456789");
  EXPECT_EQ(PadText(true, "ab", 5, "xy"), "xyabab");  // a long pad string overshoots
  EXPECT_EQ(PadText(false, "", 8, "12"), "12");       // would never end otherwise
  EXPECT_EQ(PadText(false, "0", -3, "12"), "12");

  std::string line = "Mo\t08:00\t\t17:30";
  for (const char* field : {"Mo", "08:00", "", "17:30", ""})
    EXPECT_EQ(ExtractToken("\t", line), field);
  EXPECT_EQ(line, "");
  std::string two = "a::b::c";
  EXPECT_EQ(ExtractToken("::", two), "a");
  EXPECT_EQ(two, "b::c");
  std::string rest = "abc";
  EXPECT_EQ(ExtractToken("", rest), "abc");
  EXPECT_EQ(rest, "");
  std::string cased = "aXbxc";
  EXPECT_EQ(ExtractToken("x", cased), "aXb");  // case-sensitive

  EXPECT_EQ(Trim(std::string("\0\t a b\r\n ", 9)), "a b");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // only codes up to 32
  EXPECT_EQ(Trim("  "), "");
}

TEST(FormatTelNum, WholeNumbersAndParts) {
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"0221", "123456", "(02 21) 12 34 56"},
      {"030", "1234567-0", "(0 30) 1 23 45 67 - 0"},
      {"089", "12-34", "(0 89) 12 -  34"},
      {"", "0171 1234567", "0 17 11 23 45 67"},
      {" 0221 ", "", ""},
      {"0221", "abc", "(02 21)"},
      {"+49", "221/123", "(49) 2 21 / 1 23"},
      {"", "", ""},
      {"abc", "12", "12"},  // an area code without digits shows nothing
  };
  for (const auto& [prefix, number, expected] : cases)
    EXPECT_EQ(FormatTelNum(prefix, number), expected) << prefix << "|" << number;
  EXPECT_EQ(CleanTelNum(" +49 (0)221-12/3x "), "490221-12/3");
  EXPECT_EQ(GroupTelNum("12345"), "1 23 45");
  EXPECT_EQ(GroupTelNum("--"), "-  -");
  EXPECT_EQ(FormatTelDigits("(0221)"), "02 21");
}

TEST(Geo, MinutesAndDistances) {
  for (auto [text, minutes] : {std::pair<const char*, double>{"5056420", 3056.7},
                               {"", 0},
                               {"12", 720},
                               {"0000003099", 0.005},  // bytes after the eighth ignored
                               {" 1000000", 60}})
    EXPECT_NEAR(GeoStrToMinutes(text), minutes, 1e-9) << text;
  EXPECT_THROW(GeoStrToMinutes("5x000000"), EJWError);
  EXPECT_THROW(GeoStrToMinutes("  "), EJWError);

  const double rad = std::numbers::pi / 180, km = 6378.388 * rad;
  EXPECT_NEAR(GeoDistance(7 * rad, 50 * rad, 7 * rad, 51 * rad), km, 1e-6);
  EXPECT_NEAR(GeoDistance(0, 0, std::numbers::pi, 0), 180 * km, 1e-6);  // antipodes stay finite
  for (double lat : {0.0, 50.945, 89.9, -33.3})  // not NaN from rounding past 1
    EXPECT_EQ(GeoDistance(6.95 * rad, lat * rad, 6.95 * rad, lat * rad), 0.0) << lat;
}

}  // namespace
}  // namespace jw
