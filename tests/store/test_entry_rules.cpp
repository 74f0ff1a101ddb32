// Rules that turn an entry into what its pages show: buttons, office hours, branch sort keys.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <functional>
#include <numbers>

#include "EntryAddress.h"
#include "ErrorOf.h"
#include "store/JWEBranchKeys.h"
#include "store/JWEButtons.h"
#include "store/JWEOfficeHours.h"
#include "store/JWError.h"

namespace jw {
namespace {

using jwtest::ErrorOf;
using ::testing::ElementsAre;

TStringList Lines(int n) {
  TStringList result;
  for (int i = 0; i < n; ++i) result.push_back("line" + std::to_string(i));
  return result;
}

TJWButtonSet SetOf(std::initializer_list<TJWButtonRec> buttons) {
  TJWButtonSet s = 0;
  for (TJWButtonRec b : buttons) Include(s, b);
  return s;
}

// The buttons of an entry and their count, for the two location flags.
TEST(DeriveButtons, EntriesAndFlags) {
  using TFill = std::function<void(TJW2DataRec&)>;
  const TFill pos = [](TJW2DataRec& r) { r.PosX = "00544530", r.PosY = "03056700"; };
  const TJWButtonSet ind = SetOf({brIndustries}), sw = SetOf({brSearchwords}), both = ind | sw;
  const struct {
    const char* Name;
    TFill Fill;
    bool Show, Force;
    TJWButtonSet Set;
  } cases[] = {
      // clang-format off
      // Up to 6 lines together share one page; alone, even one search word has its page.
      {"6 lines", [](auto& r) { r.Industries = r.Searchwords = Lines(3); }, 0, 0, ind},
      {"7 lines", [](auto& r) { r.Industries = Lines(4), r.Searchwords = Lines(3); }, 0, 0, both},
      {"search words", [](auto& r) { r.Searchwords = Lines(1); }, 0, 0, sw},
      // Branches need more than one record.
      {"no branches", [](auto& r) { r.Branches.emplace(); }, 0, 0, 0},
      {"one branch", [](auto& r) { r.Branches.emplace(1); }, 0, 0, 0},
      {"two branches", [](auto& r) { r.Branches.emplace(2); }, 0, 0, SetOf({brBranches})},
      // Business types ignore blanks and controls; a high byte is a visible character.
      {"blank types", [](auto& r) { r.BusinessTypes = " \t\r\n\x01 "; }, 0, 0, 0},
      {"comma", [](auto& r) { r.BusinessTypes = "  ,"; }, 0, 0, SetOf({brBusinessTypes})},
      {"high byte", [](auto& r) { r.BusinessTypes = "\xE4"; }, 0, 0, SetOf({brBusinessTypes})},
      {"card", [](auto& r) { r.CardAmex = 1; }, 0, 0, SetOf({brCardAcceptance})},
      // The location shows when asked for and usable; forcing wins over hidden or missing.
      {"position", pos, 0, 0, 0},
      {"shown", pos, 1, 0, SetOf({brPointOfPlace})},
      {"no position", [](auto&) {}, 1, 0, 0},
      {"zero", [&](auto& r) { pos(r), r.PosX = "00000000"; }, 1, 0, 0},
      {"7 characters", [&](auto& r) { pos(r), r.PosY = "0305670"; }, 1, 0, 0},
      {"hidden", [&](auto& r) { pos(r), r.HideLocation = 1; }, 1, 0, 0},
      {"forced", [&](auto& r) { r.HideLocation = 1; }, 0, 1, SetOf({brPointOfPlace})},
      {"every button", [](auto& r) { r.Industries = r.Searchwords = Lines(5), r.BusinessTypes = "a",
          r.OfficeHours = {"Mo-Fr"}, r.CardEC = 1, r.Branches.emplace(3); }, 0, 1, 0x7F},  // no brClose
      // clang-format on
  };
  for (const auto& c : cases) {
    TJW2DataRec r;
    c.Fill(r);
    TJWButtonSet set = 0xFF;
    EXPECT_EQ(DeriveButtons(r, c.Show, c.Force, set), std::popcount(unsigned(c.Set))) << c.Name;
    EXPECT_EQ(set, c.Set) << c.Name;
  }
}

TEST(DeriveButtons, OfficeHoursByKind) {
  const struct {
    int32_t Kind;
    TStringList Lines;
    bool Present;
  } cases[] = {
      // clang-format off
      {0, {}, false}, {0, {"", "  ", "\t"}, false}, {0, {"", " Mo-Fr 8-18 "}, true},
      {1, {"MoX\t8:00"}, true}, {1, {"Mo X"}, false}, {1, {"MoXextra\t"}, true},
      {1, {"Mo", "DiX"}, true},
      {1, {"Mox\t8:00", "Mo\tX"}, false},  // lower case, or X beyond the first field
      {1, {"XX"}, false},                   // a field of two characters
      {2, {"  \t  ", "\t"}, false}, {2, {"\t 8-12 "}, true}, {2, {"Montag"}, true},
      {2, {"\t\tthird"}, false},  // only the first two fields count
      {3, {"MoX\tanything"}, false}, {-1, {"anything"}, false},
      // clang-format on
  };
  for (const auto& c : cases) {
    TJW2DataRec r;
    r.OfficeHoursKind = c.Kind;
    r.OfficeHours = c.Lines;
    TJWButtonSet set = 0;
    EXPECT_EQ(DeriveButtons(r, false, false, set), c.Present ? 1 : 0);
    EXPECT_EQ(set, c.Present ? SetOf({brOfficeHours}) : 0)
        << "kind " << c.Kind << ", first line '" << (c.Lines.empty() ? "" : c.Lines[0]) << "'";
  }
}

TEST(Index2JWButton, WalksTheSetInEnumerationOrder) {
  const TJWButtonSet set = SetOf({brSearchwords, brCardAcceptance, brBranches, brClose});
  // Beyond the content buttons (brClose is never a position) the first page is shown.
  // clang-format off
  for (auto [index, s, button] : {std::tuple{0u, set, brSearchwords}, {1u, set, brCardAcceptance},
                                  {2u, set, brBranches}, {3u, set, brIndustries},
                                  {0xFFFFFFFFu, set, brIndustries}, {0u, TJWButtonSet(0), brIndustries},
                                  {0u, SetOf({brClose}), brIndustries}})
    // clang-format on
    EXPECT_EQ(Index2JWButton(index, s), button) << index;
}

TEST(CaptionOf, BranchCaptionSelectsTheWord) {
  TJW2DataRec r;
  const std::pair<int32_t, const char*> cases[] = {
      {0, "Filialen"}, {1, "Agenturen"}, {2, "Niederlassungen"}, {3, "Partner"},
      {4, "Filialen"}, {9, "Filialen"},  {-1, "Filialen"},
  };
  for (auto [kind, word] : cases) {
    r.BranchCaption = kind;
    EXPECT_EQ(CaptionOf(brBranches, r), word) << kind;
    EXPECT_EQ(CaptionOf(brIndustries, r), "Branchen");
  }
  EXPECT_EQ(CaptionOf(brOfficeHours, 0), "Gesch\344ftszeiten");
  EXPECT_EQ(CaptionOf(brClose, 0), "Schlie\337en");
  EXPECT_EQ(CaptionOf(TJWButtonRec(8), 0), "");
}

const std::string kFullMonday = "MOX\t\t08:00\t12:00\t13:00\t18:00";

// The day table as text: a line per row, its cells joined by "|", an empty row as "-", without the
// empty rows at the end.
std::string Days(const TStringList& ALines) {
  std::string result;
  for (const TJWOfficeHoursTextRow& row : GetOfficeHoursDays(ALines)) {
    std::string cells = row == TJWOfficeHoursTextRow{} ? "-" : row[0];
    for (size_t i = 1; i < row.size() && cells != "-"; ++i) cells += "|" + row[i];
    result += cells + "\n";
  }
  while (result.ends_with("-\n")) result.resize(result.size() - 2);
  return result;
}

// A day key without its "X", or out of its place, is not shown; the next shown day moves up. Times
// are split into cells; open through gets "-" in the joining column. Line 8 is the remark row.
TEST(OfficeHoursDays, DayTable) {
  const std::string full = "Mo.:|08|:|00|-|12|:|00|u.|13|:|00|-|18|:|00\n";
  const std::pair<TStringList, std::string> cases[] = {
      {{kFullMonday}, full},
      {{"MO\t\t1\t2", kFullMonday, "MIX\t\t 9:30 \t11"}, "Mi.:|9|:|30|-|11|:|||||||||\n"},
      {{"MOX\tzu\t8:00\t12:00", "DIX\t\t\t\t14:00\t18:00", "MIX\t\t07:30\t\t\t20:00",
        "DOX\t geschlossen ", "FRX\t\t8\t12"},
       "Mo.:|8|:|00|-|12|:|00||||||||\nDi.:|||||||||14|:|00|-|18|:|00\n"
       "Mi.:|07|:|30|||||-|||||20|:|00\nDo.:|||||||||||||||\nFr.:|8|:||-|12|:|||||||||\n"},
      {{kFullMonday, "DIX", "MIX", "", "", "", "", " Termine nach Absprache"},
       full + "Di.:|||||||||||||||\nMi.:|||||||||||||||\n-\n-\n-\n-\n Termine nach "
              "Absprache|||||||||||||||\n"},
  };
  for (const auto& [lines, table] : cases) EXPECT_EQ(Days(lines), table) << lines[0];
  EXPECT_THAT(GetOfficeHoursLines({" a ", "", "c", "4", "5", "6", "7", "8", "9"}),
              ElementsAre(" a ", "", "c", "4", "5", "6", "7", "8"));  // eight rows, untrimmed

  const auto days =
      ReadOfficeHoursDays({"MOX\tzu\t8:00\t12:00", "DIX\t geschlossen "}, TJWRemarkRow::rrLastRow);
  EXPECT_EQ(days[0].Note, "");  // a day with times has no note
  EXPECT_EQ(days[1].Note, " geschlossen ");
  const auto frame = ReadOfficeHoursDays(cases[3].first, TJWRemarkRow::rrAfterLastDay);
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

// Sort keys of a branch at a position (degrees east and north) seen from a start; the key is kept
// on the branch too.
TEST(BranchKeys, KeysByKindAndPosition) {
  const double km = 1 / (6378.388 * std::numbers::pi / 180.0);  // degrees north per km
  const std::string street = " 50667Hauptstra\337e";
  const struct {
    double East, North, FromNorth;
    int32_t Kind;
    std::string Key;
  } cases[] = {
      {0, 2.5 * km, 0, bsDist, "00002500" + street},
      {0, 2.5 * km, 2.5 * km, bsDist, "00000000" + street},  // standing on the branch
      {0, 0, 0, bsDist, "99999999" + street},                // no position sorts last
      {45, 0, 0, bsDist, "05009574" + street},               // far away still sorts before
      {0.001, 0, 0, bsDist, "00000111" + street},            // only an exact 0/0 is no position
      {1, 1, 0, bsStreet, "Hauptstra\337e"},
      {1, 1, 0, bsZip, "50667"},
      {1, 1, 0, bsCity, "K\xF6ln"},
      {1, 1, 0, bsFirm, "Muster<BR>GmbH"},
  };
  for (const auto& c : cases) {
    TJWBranchRec b;
    jwtest::FillStreet(b);
    b.Firm = "Muster<BR>GmbH";
    b.X = c.East;
    b.Y = c.North;
    EXPECT_EQ(BranchSortKey(b, c.Kind, 0, c.FromNorth), c.Key);
    EXPECT_EQ(b.SortKey, c.Key);
  }
  TJWBranchRec b;
  for (int32_t bad : {0, 6, -1})
    EXPECT_EQ(ErrorOf([&] { BranchSortKey(b, bad, 0, 0); }), "GetVal-Error, unknown Index!") << bad;
}

}  // namespace
}  // namespace jw
