// Rules that turn an entry into what its pages show and that are not text (the rest is in
// cases/rules.txt): the buttons of whole entries, what the office-hours days keep.
#include <gtest/gtest.h>

#include <bit>
#include <functional>

#include "store/JWEButtons.h"
#include "store/JWEOfficeHours.h"

namespace jw {
namespace {

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

// What the day table keeps beside its text: notes, the remark label, empty rows.
TEST(OfficeHoursDays, NotesAndRemark) {
  const auto days =
      ReadOfficeHoursDays({"MOX\tzu\t8:00\t12:00", "DIX\t geschlossen "}, TJWRemarkRow::rrLastRow);
  EXPECT_EQ(days[0].Note, "");  // a day with times has no note
  EXPECT_EQ(days[1].Note, " geschlossen ");
  const auto frame =
      ReadOfficeHoursDays({"MOX\t\t08:00", "DIX", "MIX", "", "", "", "", " Termine nach Absprache"},
                          TJWRemarkRow::rrAfterLastDay);
  EXPECT_EQ(frame[3].Label, " Termine nach Absprache");
  EXPECT_EQ(frame[7], TJWOfficeHoursDay{});
  // A Sunday in line 8 is a remark, not a day; lines after the eighth are ignored.
  const auto late = ReadOfficeHoursDays({"", "", "", "", "", "", "", "SOX\t\t1\t2", "MOX"},
                                        TJWRemarkRow::rrAfterLastDay);
  EXPECT_EQ(late[0].Label, "SOX\t\t1\t2");
  EXPECT_EQ(late[1], TJWOfficeHoursDay{});
}

}  // namespace
}  // namespace jw
