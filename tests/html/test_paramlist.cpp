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
  // Lookups keep working after the list changes.
  l.SetValue("name", "");
  l.SetValue("New", "n");
  EXPECT_EQ(l.Values("NAME"), "second");
  EXPECT_EQ(l.Values("new"), "n");
}
