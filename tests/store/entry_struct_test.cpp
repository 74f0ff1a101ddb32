#include <gtest/gtest.h>

#include <algorithm>

#include "store/JWEStruct.h"
#include "store/ZDCodePage.h"

namespace jw {
namespace {

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
  for (auto [block, items] : {std::pair{"a#b", "a|b"},
                              {"a##b", "a||b"},
                              {"a#", "a"},
                              {"#", ""},
                              {"a##", "a|"},
                              {"Handel#Service", "Handel|Service"}}) {
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
  EXPECT_GT(CompareGermanText("M\xFCller", "mueller"), 0);  // ü is u, not ue
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
  EXPECT_EQ(Cp1252ToUtf8("\x80\xE4\xDF"), "\u20AC\u00E4\u00DF");
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
