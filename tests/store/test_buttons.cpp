#include <gtest/gtest.h>

#include <bit>
#include <functional>

#include "store/JWEButtons.h"

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
  const TFill position = [](TJW2DataRec& r) {
    r.PosX = "00544530";
    r.PosY = "03056700";
  };
  const struct {
    const char* Name;
    TFill Fill;
    bool Show, Force;
    TJWButtonSet Set;
  } cases[] = {
      // Up to 6 lines together share one page; alone, even one search word has its page.
      {"6 lines", [](auto& r) { r.Industries = r.Searchwords = Lines(3); }, 0, 0,
       SetOf({brIndustries})},
      {"7 lines", [](auto& r) { r.Industries = Lines(4), r.Searchwords = Lines(3); }, 0, 0,
       SetOf({brIndustries, brSearchwords})},
      {"search words", [](auto& r) { r.Searchwords = Lines(1); }, 0, 0, SetOf({brSearchwords})},
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
      {"position", position, 0, 0, 0},
      {"shown", position, 1, 0, SetOf({brPointOfPlace})},
      {"no position", [](auto&) {}, 1, 0, 0},
      {"zero", [&](auto& r) { position(r), r.PosX = "00000000"; }, 1, 0, 0},
      {"7 characters", [&](auto& r) { position(r), r.PosY = "0305670"; }, 1, 0, 0},
      {"hidden", [&](auto& r) { position(r), r.HideLocation = 1; }, 1, 0, 0},
      {"forced", [&](auto& r) { r.HideLocation = 1; }, 0, 1, SetOf({brPointOfPlace})},
      {"every button",
       [](auto& r) {
         r.Industries = r.Searchwords = Lines(5);
         r.BusinessTypes = "Handel";
         r.OfficeHours = {"Mo-Fr"};
         r.CardEC = 1;
         r.Branches.emplace(3);
       },
       0, 1, 0x7F},  // never brClose
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
      {0, {}, false},
      {0, {"", "  ", "\t"}, false},
      {0, {"", " Mo-Fr 8-18 "}, true},
      {1, {"MoX\t8:00"}, true},
      {1, {"Mo X"}, false},
      {1, {"MoXextra\t"}, true},
      {1, {"Mox\t8:00", "Mo\tX"}, false},  // lower case, or X beyond the first field
      {1, {"Mo", "DiX"}, true},
      {1, {"XX"}, false},  // a field of two characters
      {2, {"  \t  ", "\t"}, false},
      {2, {"\t 8-12 "}, true},
      {2, {"Montag"}, true},
      {2, {"\t\tthird"}, false},  // only the first two fields count
      {3, {"MoX\tanything"}, false},
      {-1, {"anything"}, false},
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
  for (auto [index, s, button] : {std::tuple{0u, set, brSearchwords},
                                  {1u, set, brCardAcceptance},
                                  {2u, set, brBranches},
                                  {3u, set, brIndustries},
                                  {0xFFFFFFFFu, set, brIndustries},
                                  {0u, TJWButtonSet(0), brIndustries},
                                  {0u, SetOf({brClose}), brIndustries}})
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

}  // namespace
}  // namespace jw
