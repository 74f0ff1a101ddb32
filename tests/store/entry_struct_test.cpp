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

TEST(FormatEntryName, DefaultPatternLeavesNoStrayBlanks) {
  EXPECT_EQ(FormatEntryName(Names({{1, "M\xFCller"}, {6, "Hans"}}), ""), "M\xFCller Hans");
  EXPECT_EQ(FormatEntryName(
                Names({{1, "A"}, {2, "B"}, {3, "C"}, {4, "D"}, {5, "E"}, {6, "F"}, {7, "G"}}), ""),
            "A F G E D B C");
  EXPECT_EQ(FormatEntryName(Names({{3, "  \tnur drei "}}), ""), "nur drei");
  EXPECT_EQ(FormatEntryName(TJW2DataRec(), ""), "");
}

TEST(FormatEntryName, PatternCodes) {
  const TJW2DataRec r = Names({{1, "A"}, {2, "GmbH"}});
  EXPECT_EQ(FormatEntryName(r, "\\1,\\2"), "A, GmbH");
  EXPECT_EQ(FormatEntryName(r, "\\9"), "9");
  EXPECT_EQ(FormatEntryName(r, "\\1\\"), "A");  // a trailing backslash is dropped
  EXPECT_EQ(FormatEntryName(r, "\\2<BR>\\1"), "GmbH<BR> A");
  EXPECT_EQ(FormatEntryName(r, "\\\\x\\1"), "\\x A");
  EXPECT_EQ(FormatEntryName(r, " Firma \\8 "), "Firma 8");
}

TEST(ListBlocks, SplitRules) {
  using L = TStringList;
  EXPECT_EQ(SplitListBlock("a\xFF"
                           "b"),
            (L{"a", "b"}));
  EXPECT_EQ(SplitListBlock("a\xFF\xFF"
                           "b"),
            (L{"a", "", "b"}));
  EXPECT_EQ(SplitListBlock("a\xFF"), (L{"a"}));
  EXPECT_EQ(SplitListBlock("\xFF"), (L{""}));
  EXPECT_EQ(SplitListBlock(""), L{});
  EXPECT_EQ(SplitListBlock("a\xFF\xFF"), (L{"a", ""}));
  EXPECT_EQ(BusinessTypesFromBlock("Handel\xFFService"), "Handel,Service");
  EXPECT_EQ(BusinessTypesFromBlock("\xFF\xFF"), ",,");
}

TEST(GermanSort, UmlautsSharpSAndCase) {
  // Umlauts sort as their base letter and the sharp s as ss; the plain form comes first on a tie.
  const TStringList expected = {"",
                                "2-Rad",
                                "apotheke",
                                "\xC4rzte",
                                "Auto",
                                "Bank",
                                "B\xE1r",  // accents in their own order, not the bytes
                                "B\xE0r",
                                "Obst",
                                "\xD6"
                                "fen",
                                "Oma",
                                "Strand",
                                "Strasse",
                                "Stra\xDF"
                                "enbau",
                                "\xFC"
                                "ber",
                                "Uhren",
                                "Zahnarzt"};
  TStringList list(expected.rbegin(), expected.rend());
  std::rotate(list.begin(), list.begin() + 6, list.end());
  SortGermanList(list);
  EXPECT_EQ(list, expected);
  EXPECT_EQ(CompareGermanText("M\xFCller", "mueller") > 0, true);  // ü is u, not ue
  EXPECT_EQ(CompareGermanText("Apfel", "APFEL") != 0, true);       // still a strict order
  EXPECT_LT(CompareGermanText("Muller", "M\xFCller"), 0);          // plain before accented
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
  EXPECT_EQ(out,
            "Gr\xFC\xDF"
            "e \x84\x93");
}

}  // namespace
}  // namespace jw
