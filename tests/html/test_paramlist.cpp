#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "html/ZDParamList.h"

using namespace jw;

TEST(ParamList, LookupByNameFirstMatchIgnoringCase) {
  TZDParamList l({"flag", "Name=first", "NAME=second", "x==y",
                  "Stra\xDF"
                  "e=s",
                  "\xC4rger=1"});
  EXPECT_EQ(l.Values("name"), "first");
  EXPECT_EQ(l.Values("x"), "=y");
  EXPECT_EQ(l.Values("flag"), "");  // an entry without "=" has no name
  EXPECT_EQ(l.Values("missing"), "");
  EXPECT_EQ(l.Values("STRA\xDF"
                     "E"),
            "s");
  EXPECT_EQ(l.Values("\xE4rger"), "1");
  EXPECT_EQ(l.IndexOfName("NAME"), 1);
  EXPECT_EQ(l.Names(0), "");
  EXPECT_EQ(l.ValueFromIndex(3), "=y");
}

TEST(ParamList, SetValueReplacesAppendsAndRemoves) {
  TZDParamList l({"a=1", "B=2", "b=3"});
  l.SetValue("b", "9");
  l.SetValue("c", "4");
  EXPECT_THAT(l.Items(), ::testing::ElementsAre("a=1", "b=9", "b=3", "c=4"));
  l.SetValue("B", "");
  l.SetValue("zz", "");
  EXPECT_THAT(l.Items(), ::testing::ElementsAre("a=1", "b=3", "c=4"));
}

TEST(ParamList, SameTextAnsiFoldsCodePageLetters) {
  EXPECT_TRUE(SameTextAnsi("\xE4\xF6\xFC\x9A\xFF", "\xC4\xD6\xDC\x8A\x9F"));
  EXPECT_FALSE(SameTextAnsi("\xF7", "\xD7"));  // division and multiplication signs are not letters
  EXPECT_FALSE(SameTextAnsi("ab", "abc"));
}
