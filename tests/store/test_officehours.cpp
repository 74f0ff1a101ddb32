#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "store/JWEOfficeHours.h"

using namespace jw;
using ::testing::ElementsAre;

namespace {

const std::string kFullMonday = "MOX\t\t08:00\t12:00\t13:00\t18:00";

// The cells of a row joined by "|".
std::string Cells(const TJWOfficeHoursTextRow& ARow) {
  std::string result = ARow[0];
  for (size_t i = 1; i < ARow.size(); ++i) result += "|" + ARow[i];
  return result;
}

}  // namespace

TEST(OfficeHoursDays, FullDayAndDayKeysByPosition) {
  EXPECT_THAT(GetOfficeHoursLines({" a ", "", "c", "4", "5", "6", "7", "8", "9"}),
              ElementsAre(" a ", "", "c", "4", "5", "6", "7", "8"));  // eight rows, untrimmed
  auto rows = GetOfficeHoursDays({kFullMonday});
  EXPECT_EQ(Cells(rows[0]), "Mo.:|08|:|00|-|12|:|00|u.|13|:|00|-|18|:|00");
  for (int k = 1; k < 8; ++k) EXPECT_EQ(rows[k], TJWOfficeHoursTextRow{});

  // Monday's line in Tuesday's place is not shown; a key without its "X" is not shown either,
  // and the next shown day moves up.
  rows = GetOfficeHoursDays({"MO\t\t1\t2", kFullMonday, "MIX\t\t 9:30 \t11"});
  EXPECT_EQ(Cells(rows[0]), "Mi.:|9|:|30|-|11|:|||||||||");
  EXPECT_EQ(rows[1], TJWOfficeHoursTextRow{});
}

TEST(OfficeHoursDays, DayShapes) {
  const auto rows =
      GetOfficeHoursDays({"MOX\tzu\t8:00\t12:00", "DIX\t\t\t\t14:00\t18:00",
                          "MIX\t\t07:30\t\t\t20:00", "DOX\t geschlossen ", "FRX\t\t8\t12"});
  EXPECT_EQ(Cells(rows[0]), "Mo.:|8|:|00|-|12|:|00||||||||");
  EXPECT_EQ(Cells(rows[1]), "Di.:|||||||||14|:|00|-|18|:|00");
  // Open through: from-time, "-" in the joining column, to-time.
  EXPECT_EQ(Cells(rows[2]), "Mi.:|07|:|30|||||-|||||20|:|00");
  EXPECT_EQ(Cells(rows[3]), "Do.:|||||||||||||||");
  EXPECT_EQ(Cells(rows[4]), "Fr.:|8|:||-|12|:|||||||||");

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
  const auto text = [](const TStringList& ALines) {
    std::string result;
    for (const auto& [label, time] : GetOfficeHoursPairs(ALines))
      result += label + "=" + time + "|";
    return result;
  };
  EXPECT_EQ(
      text({" Montag - Freitag\t 9 - 18 Uhr ", "Sa:\t9 - 13", "\t ", "\tnur rechts", "links"}),
      "Montag - Freitag:=9 - 18 Uhr|Sa:=9 - 13|=nur rechts|links:=|=|=|=|=|");
  // Line 8 goes to row 8 without the colon rule; a later line may still overwrite it.
  EXPECT_EQ(text({"a\t1", "", "", "", "", "", "", "Hinweis\tx"}), "a:=1|=|=|=|=|=|=|Hinweis=x|");
  EXPECT_EQ(text({"1", "2", "3", "4", "5", "6", "", "Hinweis", "9", "10"}),
            "1:=|2:=|3:=|4:=|5:=|6:=|9:=|10:=|");
}
