#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "store/JWEOfficeHours.h"

using namespace jw;
using ::testing::ElementsAre;

namespace {

const std::string kFullMonday = "MOX\t\t08:00\t12:00\t13:00\t18:00";

}  // namespace

TEST(OfficeHoursDays, FullDayAndDayKeysByPosition) {
  EXPECT_THAT(GetOfficeHoursLines({" a ", "", "c", "4", "5", "6", "7", "8", "9"}),
              ElementsAre(" a ", "", "c", "4", "5", "6", "7", "8"));  // eight rows, untrimmed
  auto rows = GetOfficeHoursDays({kFullMonday});
  EXPECT_THAT(rows[0], ElementsAre("Mo.:", "08", ":", "00", "-", "12", ":", "00", "u.", "13", ":",
                                   "00", "-", "18", ":", "00"));
  for (int k = 1; k < 8; ++k) EXPECT_EQ(rows[k], TJWOfficeHoursTextRow{});

  // Monday's line in Tuesday's place is not shown; a key without its "X" is not shown either,
  // and the next shown day moves up.
  rows = GetOfficeHoursDays({"MO\t\t1\t2", kFullMonday, "MIX\t\t 9:30 \t11"});
  EXPECT_THAT(rows[0], ElementsAre("Mi.:", "9", ":", "30", "-", "11", ":", "", "", "", "", "", "",
                                   "", "", ""));
  EXPECT_EQ(rows[1], TJWOfficeHoursTextRow{});
}

TEST(OfficeHoursDays, DayShapes) {
  const auto rows =
      GetOfficeHoursDays({"MOX\tzu\t8:00\t12:00", "DIX\t\t\t\t14:00\t18:00",
                          "MIX\t\t07:30\t\t\t20:00", "DOX\t geschlossen ", "FRX\t\t8\t12"});
  EXPECT_THAT(rows[0], ElementsAre("Mo.:", "8", ":", "00", "-", "12", ":", "00", "", "", "", "", "",
                                   "", "", ""));
  EXPECT_THAT(rows[1], ElementsAre("Di.:", "", "", "", "", "", "", "", "", "14", ":", "00", "-",
                                   "18", ":", "00"));
  // Open through: from-time, "-" in the joining column, to-time.
  EXPECT_THAT(rows[2], ElementsAre("Mi.:", "07", ":", "30", "", "", "", "", "-", "", "", "", "",
                                   "20", ":", "00"));
  EXPECT_THAT(rows[3],
              ElementsAre("Do.:", "", "", "", "", "", "", "", "", "", "", "", "", "", "", ""));
  EXPECT_THAT(rows[4], ElementsAre("Fr.:", "8", ":", "", "-", "12", ":", "", "", "", "", "", "", "",
                                   "", ""));

  const auto days =
      ReadOfficeHoursDays({"MOX\tzu\t8:00\t12:00", "DIX\t geschlossen "}, TJWRemarkRow::rrLastRow);
  EXPECT_EQ(days[0].Note, "");  // a day with times has no note
  EXPECT_EQ(days[1].Note, " geschlossen ");
}

TEST(OfficeHoursDays, RemarkRow) {
  const TStringList lines = {kFullMonday, "DIX", "MIX", "", "", "", "", " Termine nach Absprache"};
  const auto rows = GetOfficeHoursDays(lines);
  EXPECT_EQ(rows[2][0], "Mi.:");
  for (int k = 3; k < 7; ++k) EXPECT_EQ(rows[k], TJWOfficeHoursTextRow{});
  EXPECT_EQ(rows[7][0], " Termine nach Absprache");

  const auto frame = ReadOfficeHoursDays(lines, TJWRemarkRow::rrAfterLastDay);
  EXPECT_EQ(frame[3].Label, " Termine nach Absprache");
  EXPECT_EQ(frame[7], TJWOfficeHoursDay{});

  // A Sunday in line 8 is a remark, not a day; lines after the eighth are ignored.
  const auto late = ReadOfficeHoursDays({"", "", "", "", "", "", "", "SOX\t\t1\t2", "MOX"},
                                        TJWRemarkRow::rrAfterLastDay);
  EXPECT_EQ(late[0].Label, "SOX\t\t1\t2");
  EXPECT_EQ(late[1], TJWOfficeHoursDay{});
}

TEST(OfficeHoursPairs, ColonRuleSkippedLinesAndRowEight) {
  auto rows = GetOfficeHoursPairs(
      {" Montag - Freitag\t 9 - 18 Uhr ", "Sa:\t9 - 13", "\t ", "\tnur rechts", "links"});
  EXPECT_EQ(rows[0], std::make_pair(std::string("Montag - Freitag:"), std::string("9 - 18 Uhr")));
  EXPECT_EQ(rows[1], std::make_pair(std::string("Sa:"), std::string("9 - 13")));
  EXPECT_EQ(rows[2], std::make_pair(std::string(""), std::string("nur rechts")));
  EXPECT_EQ(rows[3], std::make_pair(std::string("links:"), std::string("")));
  EXPECT_EQ(rows[4], std::make_pair(std::string(), std::string()));

  // Line 8 goes to row 8 without the colon rule; a later line may still overwrite it.
  rows = GetOfficeHoursPairs({"a\t1", "", "", "", "", "", "", "Hinweis\tx"});
  EXPECT_EQ(rows[1].first, "");
  EXPECT_EQ(rows[7], std::make_pair(std::string("Hinweis"), std::string("x")));
  rows = GetOfficeHoursPairs({"1", "2", "3", "4", "5", "6", "", "Hinweis", "9", "10"});
  EXPECT_EQ(rows[6].first, "9:");
  EXPECT_EQ(rows[7].first, "10:");
}
