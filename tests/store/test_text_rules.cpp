#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>
#include <string>

#include "store/JWEStruct.h"
#include "store/JWError.h"
#include "store/ZDCodePage.h"
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
      // clang-format off
      {nullptr, 76, street, "Musterst..."}, {&none, 76, street, "Musterst..."},
      {nullptr, 40, std::string(2'000'000, 'x'), "xx..."}, {nullptr, 76, "kurz", "kurz"},  // fits
      {nullptr, 76, std::string(11, 'a'), std::string(11, 'a')}, {nullptr, 2, "Alpha", ""},
      {nullptr, -5, "", ""},
      // clang-format on
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
  // A long pad string overshoots; an empty one would never end.
  // clang-format off
  for (auto [right, pad, width, text, padded] : {
           std::tuple{false, "0", 8, "1234", "00001234"}, {true, "0", 8, "1234", "12340000"},
           {false, "0", 8, "123456789", "123456789"}, {true, "ab", 5, "xy", "xyabab"},
           {false, "", 8, "12", "12"}, {false, "0", -3, "12", "12"}})
    EXPECT_EQ(PadText(right, pad, width, text), padded) << pad << width << text;
  // clang-format on

  std::string line = "Mo\t08:00\t\t17:30";
  for (const char* field : {"Mo", "08:00", "", "17:30", ""})
    EXPECT_EQ(ExtractToken("\t", line), field);
  EXPECT_EQ(line, "");
  // The separator is case-sensitive; an empty one takes all.
  for (auto [sep, text, token, rest] : {std::tuple{"::", "a::b::c", "a", "b::c"},
                                        {"", "abc", "abc", ""},
                                        {"x", "aXbxc", "aXb", "c"}}) {
    std::string s = text;
    EXPECT_EQ(ExtractToken(sep, s) + "|" + s, std::string(token) + "|" + rest);
  }
  EXPECT_EQ(Trim(std::string("\0\t a b\r\n ", 9)), "a b");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // only codes up to 32
  EXPECT_EQ(Trim("  "), "");
}

TEST(FormatTelNum, WholeNumbersAndParts) {
  const std::tuple<std::string, std::string, std::string> cases[] = {
      // clang-format off
      {"0221", "123456", "(02 21) 12 34 56"}, {"030", "1234567-0", "(0 30) 1 23 45 67 - 0"},
      {"089", "12-34", "(0 89) 12 -  34"},    {"", "0171 1234567", "0 17 11 23 45 67"},
      {" 0221 ", "", ""}, {"0221", "abc", "(02 21)"}, {"+49", "221/123", "(49) 2 21 / 1 23"},
      {"", "", ""},
      {"abc", "12", "12"},  // an area code without digits shows nothing
      // clang-format on
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

TJW2DataRec Names(std::initializer_list<std::pair<int, std::string>> AParts) {
  TJW2DataRec r;
  std::string* parts[7] = {&r.NamePart1, &r.NamePart2, &r.NamePart3, &r.NamePart4,
                           &r.NamePart5, &r.NamePart6, &r.NamePart7};
  for (const auto& [n, text] : AParts) *parts[n - 1] = text;
  return r;
}

// "|" separates the items of a list written as one text.
TStringList Items(const std::string& AText) {
  TStringList result(1);
  for (char c : AText) c == '|' ? void(result.emplace_back()) : result.back().push_back(c);
  return result;
}

TEST(FormatEntryName, DefaultPatternAndCodes) {
  const TJW2DataRec all =
      Names({{1, "A"}, {2, "B"}, {3, "C"}, {4, "D"}, {5, "E"}, {6, "F"}, {7, "G"}});
  const TJW2DataRec two = Names({{1, "A"}, {2, "GmbH"}});
  const struct {
    TJW2DataRec Rec;
    const char *Pattern, *Expected;
  } cases[] = {
      {Names({{1, "M\xFCller"}, {6, "Hans"}}), "", "M\xFCller Hans"},  // no stray blanks
      {all, "", "A F G E D B C"},
      {Names({{3, "  \tnur drei "}}), "", "nur drei"},
      {TJW2DataRec(), "", ""},
      {two, "\\1,\\2", "A, GmbH"},
      {two, "\\9", "9"},
      {two, "\\1\\", "A"},  // a trailing backslash is dropped
      {two, "\\2<BR>\\1", "GmbH<BR> A"},
      {two, "\\\\x\\1", "\\x A"},
      {two, " Firma \\8 ", "Firma 8"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatEntryName(c.Rec, c.Pattern), c.Expected) << c.Pattern;
}

TEST(ListBlocks, SplitRules) {
  // "#" stands for the separator byte 0xFF.
  // clang-format off
  for (auto [block, items] : {std::pair{"a#b", "a|b"}, {"a##b", "a||b"}, {"a#", "a"}, {"#", ""},
                              {"a##", "a|"}, {"Handel#Service", "Handel|Service"}}) {
    // clang-format on
    std::string b = block;
    std::replace(b.begin(), b.end(), '#', '\xFF');
    EXPECT_EQ(SplitListBlock(b), Items(items)) << block;
  }
  EXPECT_EQ(SplitListBlock(""), TStringList{});
  EXPECT_EQ(BusinessTypesFromBlock("Handel\xFFService"), "Handel,Service");
  EXPECT_EQ(BusinessTypesFromBlock("\xFF\xFF"), ",,");
}

TEST(GermanSort, UmlautsSharpSAndCase) {
  // Umlauts sort as their base letter and the sharp s as ss; the plain form comes first on a tie,
  // accents in their own order, not the bytes.
  const TStringList expected = Items(
      "|2-Rad|apotheke|\304rzte|Auto|Bank|B\341r|B\340r|Obst|\326fen|Oma|Strand|Strasse|"
      "Stra\337enbau|\374ber|Uhren|Zahnarzt");
  TStringList list(expected.rbegin(), expected.rend());
  std::rotate(list.begin(), list.begin() + 6, list.end());
  SortGermanList(list);
  EXPECT_EQ(list, expected);
  EXPECT_GT(CompareGermanText("M\xFCller", "mueller"), 0);  // u-umlaut is u, not ue
  EXPECT_NE(CompareGermanText("Apfel", "APFEL"), 0);        // still a strict order
  EXPECT_LT(CompareGermanText("Muller", "M\xFCller"), 0);   // plain before accented
  EXPECT_LT(CompareGermanText("M\xFCller", "Mullerei"), 0);
}

TEST(CodePage, RoundTripsEveryByte) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += char(c);
  std::string back;
  ASSERT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(all), back));
  EXPECT_EQ(back, all);
  EXPECT_EQ(Cp1252ToUtf8(all.substr(0x7E, 0x22)),
            "\x7F\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152"
            "\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122"
            "\u0161\u203A\u0153\u009D\u017E\u0178\u00A0");
}

TEST(CodePage, RejectsWhatHasNoForm) {
  std::string out;
  long bad = 0;
  EXPECT_FALSE(Utf8ToCp1252("\u0100", out, &bad));
  EXPECT_EQ(bad, 0x100);
  EXPECT_FALSE(Utf8ToCp1252("\xC3", out, &bad));  // cut sequence
  EXPECT_EQ(bad, -1);
  EXPECT_FALSE(Utf8ToCp1252("\xC0\x80", out));      // overlong
  EXPECT_FALSE(Utf8ToCp1252("\xED\xA0\x80", out));  // surrogate
  EXPECT_TRUE(Utf8ToCp1252("Gr\u00FC\u00DFe \u201E\u201C", out));
  EXPECT_EQ(out, "Gr\xFC\337e \x84\x93");
}

}  // namespace
}  // namespace jw
