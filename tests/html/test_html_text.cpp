// Number formats, request-parameter merging and case rules of the entry producer.
#include <gtest/gtest.h>

#include "html/JWHTMLText.h"

using namespace jw::htmltext;

TEST(HtmlText, RealNumbersUseDecimalCommaWithoutTrailingZeros) {
  EXPECT_EQ(FormatReal(3056.7), "3056,7");
  EXPECT_EQ(FormatReal(0.0), "0");
  EXPECT_EQ(FormatReal(-0.0), "0");
  EXPECT_EQ(FormatReal(410.5), "410,5");
  EXPECT_EQ(FormatReal(-12.25), "-12,25");
  EXPECT_EQ(FormatReal(100.0), "100");
  EXPECT_EQ(FormatReal(0.1 + 0.2), "0,3");  // 15 significant digits hide the binary noise
  EXPECT_EQ(FormatReal(2.0 / 3.0), "0,666666666666667");
  EXPECT_EQ(FormatReal(0.00001), "0,00001");
  EXPECT_EQ(FormatReal(123456789012345.0), "123456789012345");
  EXPECT_EQ(FormatReal(1e15), "1E15");
  EXPECT_EQ(FormatReal(1.5e-6), "1,5E-6");
}

TEST(HtmlText, RealNumbersReadWithDecimalComma) {
  double v = -1;
  for (const auto& [text, value] :
       {std::pair{"410,5", 410.5}, {" -3 ", -3.0}, {"1,5E2", 150.0}, {"7,", 7.0}}) {
    EXPECT_TRUE(TryStrToFloatComma(text, v)) << text;
    EXPECT_DOUBLE_EQ(v, value) << text;
  }
  for (const char* bad : {"", ",", "410.5", "1,2,3", "abc", "1E", "1e999", "- 1", "0x10"}) {
    v = 42;
    EXPECT_FALSE(TryStrToFloatComma(bad, v)) << bad;
    EXPECT_EQ(v, 42) << bad;
  }
}

TEST(HtmlText, IntegersAreStrictDecimal) {
  int32_t v = 0;
  EXPECT_TRUE(TryStrToInt("-17", v));
  EXPECT_EQ(v, -17);
  EXPECT_TRUE(TryStrToInt("+5", v));
  EXPECT_EQ(v, 5);
  EXPECT_TRUE(TryStrToInt("2147483647", v));
  for (const char* bad : {"", "x", "0-3", " 5", "5 ", "2147483648", "+-1", "1.0"})
    EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
}

TEST(HtmlText, QueryMergeKeepsFirstPositionAndLastValue) {
  TStringList params{"X=0", "junk"};
  MergeQuery(params, "a=1&B=5&a=2&=skip&novalue&x=9\r\nc=3");
  EXPECT_EQ(params, (TStringList{"x=9", "junk", "a=2", "B=5", "c=3"}));
  EXPECT_EQ(ParamValue(params, "A"), "2");
  EXPECT_EQ(ParamValue(params, "missing"), "");

  TStringList q;
  MergeQuery(q, "?pagenum=1&x=%41+b");  // no URL decoding; the "?" stays in the name
  EXPECT_EQ(ParamValue(q, "pagenum"), "");
  EXPECT_EQ(ParamValue(q, "?pagenum"), "1");
  EXPECT_EQ(ParamValue(q, "x"), "%41+b");
}

TEST(HtmlText, SettingParametersReplacesAppendsAndRemoves) {
  TStringList p{"Name=1", "name=2"};
  SetParamValue(p, "NAME", "x");
  EXPECT_EQ(p, (TStringList{"NAME=x", "name=2"}));
  SetParamValue(p, "other", "y");
  EXPECT_EQ(p.back(), "other=y");
  SetParamValue(p, "NAME", "");
  EXPECT_EQ(p, (TStringList{"name=2", "other=y"}));
  EXPECT_EQ(ParamValue(p, "NAME"), "2");
}

TEST(HtmlText, CaseRulesFollowTheWindowsCodePage) {
  EXPECT_EQ(AnsiUpperCase("stra\xDF"
                          "e \xE4\xF6\xFC \xFF"),
            "STRA\xDF"
            "E \xC4\xD6\xDC \x9F");
  EXPECT_TRUE(AnsiSameText("K\xF6ln", "K\xD6LN"));
  EXPECT_EQ(ReplaceAllIgnoreCase("$PageNum$/$pagenum$/$x$", "$pagenum$", "7"), "7/7/$x$");
  EXPECT_EQ(ReplaceAll("a&b&&c", "&", "\r\n"), "a\r\nb\r\n\r\nc");
  EXPECT_GT(CompareTextAscii("setparam", "SET"), 0);
  EXPECT_EQ(CompareTextAscii("set", "SET"), 0);
  EXPECT_LT(CompareTextAscii("", "SET"), 0);
}

TEST(HtmlText, EscapingTouchesOnlyMarkupCharacters) {
  EXPECT_EQ(EscapeHtmlValue("a<b>\"c\"'d'&e,1"), "a&lt;b&gt;&quot;c&quot;&#39;d&#39;&e,1");
}

TEST(HtmlText, LinesSplitAtEveryKindOfBreak) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd\r\n"), (TStringList{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("\n\r"), (TStringList{"", ""}));
  EXPECT_TRUE(SplitLines("").empty());
}
