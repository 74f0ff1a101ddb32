#include <gtest/gtest.h>

#include "store/JWEButtons.h"

namespace jw {
namespace {

TStringList Lines(int n) {
  TStringList result;
  for (int i = 0; i < n; ++i) result.push_back("line" + std::to_string(i));
  return result;
}

struct Derived {
  TJWButtonSet Set;
  int32_t Count;
};

Derived Derive(const TJW2DataRec& r, bool show = false, bool force = false) {
  Derived d{0xFF, -1};
  d.Count = DeriveButtons(r, show, force, d.Set);
  return d;
}

TJWButtonSet SetOf(std::initializer_list<TJWButtonRec> buttons) {
  TJWButtonSet s = 0;
  for (TJWButtonRec b : buttons) Include(s, b);
  return s;
}

TEST(DeriveButtons, ShortSearchWordListJoinsTheIndustries) {
  TJW2DataRec r;
  r.Industries = Lines(3);  // 6 lines together, the most that share one page
  r.Searchwords = Lines(3);
  Derived d = Derive(r);
  EXPECT_EQ(d.Set, SetOf({brIndustries}));
  EXPECT_EQ(d.Count, 1);

  r.Industries = Lines(4);  // 7 lines together: search words keep their page
  d = Derive(r);
  EXPECT_EQ(d.Set, SetOf({brIndustries, brSearchwords}));
  EXPECT_EQ(d.Count, 2);

  r.Industries.clear();  // alone, even one search word has its page
  r.Searchwords = Lines(1);
  d = Derive(r);
  EXPECT_EQ(d.Set, SetOf({brSearchwords}));
  EXPECT_EQ(d.Count, 1);
}

TEST(DeriveButtons, BranchesNeedMoreThanOneRecord) {
  TJW2DataRec r;
  r.Branches.emplace();
  EXPECT_EQ(Derive(r).Set, 0);
  r.Branches->resize(1);
  EXPECT_EQ(Derive(r).Set, 0);
  r.Branches->resize(2);
  EXPECT_EQ(Derive(r).Set, SetOf({brBranches}));
  EXPECT_EQ(Derive(r).Count, 1);
}

TEST(DeriveButtons, BusinessTypesIgnoreBlanksAndControls) {
  TJW2DataRec r;
  r.BusinessTypes = " \t\r\n\x01 ";
  EXPECT_EQ(Derive(r).Set, 0);
  r.BusinessTypes = "  ,";
  EXPECT_EQ(Derive(r).Set, SetOf({brBusinessTypes}));
  r.BusinessTypes = "\xE4";  // a high byte is a visible character, not a negative control code
  EXPECT_EQ(Derive(r).Set, SetOf({brBusinessTypes}));
}

TEST(DeriveButtons, OfficeHoursByKind) {
  struct Case {
    int32_t Kind;
    TStringList Lines;
    bool Present;
  };
  const Case cases[] = {
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
  for (const Case& c : cases) {
    TJW2DataRec r;
    r.OfficeHoursKind = c.Kind;
    r.OfficeHours = c.Lines;
    Derived d = Derive(r);
    EXPECT_EQ(d.Set, c.Present ? SetOf({brOfficeHours}) : 0)
        << "kind " << c.Kind << ", first line '" << (c.Lines.empty() ? "" : c.Lines[0]) << "'";
    EXPECT_EQ(d.Count, c.Present ? 1 : 0);
  }
}

TEST(DeriveButtons, LocationFlags) {
  TJW2DataRec r;
  r.PosX = "00544530";
  r.PosY = "03056700";
  EXPECT_EQ(Derive(r, false, false).Set, 0);
  EXPECT_EQ(Derive(r, true, false).Set, SetOf({brPointOfPlace}));
  EXPECT_EQ(Derive(r, true, false).Count, 1);

  TJW2DataRec unusable[4] = {r, r, r, r};
  unusable[0].PosX = "00000000";
  unusable[1].PosY = "0305670";  // must be exactly 8 characters
  unusable[2].HideLocation = 1;
  unusable[3].PosX.clear();
  for (const auto& u : unusable) {
    EXPECT_EQ(Derive(u, true, false).Set, 0);
    // Forcing wins over a hidden or missing position.
    EXPECT_EQ(Derive(u, false, true).Set, SetOf({brPointOfPlace}));
    EXPECT_EQ(Derive(u, false, true).Count, 1);
  }
}

TEST(DeriveButtons, FullEntryCountsEveryButton) {
  TJW2DataRec r;
  r.Industries = Lines(5);
  r.Searchwords = Lines(5);
  r.BusinessTypes = "Handel";
  r.OfficeHours = {"Mo-Fr"};
  r.CardEC = 1;
  r.Branches.emplace(3);
  Derived d = Derive(r, false, true);
  EXPECT_EQ(d.Set, 0x7F);  // every content button, never brClose
  EXPECT_EQ(d.Count, 7);
}

TEST(Index2JWButton, WalksTheSetInEnumerationOrder) {
  const TJWButtonSet set = SetOf({brSearchwords, brCardAcceptance, brBranches, brClose});
  EXPECT_EQ(Index2JWButton(0, set), brSearchwords);
  EXPECT_EQ(Index2JWButton(1, set), brCardAcceptance);
  EXPECT_EQ(Index2JWButton(2, set), brBranches);
  // Beyond the content buttons (brClose is never a position) the first page is shown.
  EXPECT_EQ(Index2JWButton(3, set), brIndustries);
  EXPECT_EQ(Index2JWButton(0xFFFFFFFFu, set), brIndustries);
  EXPECT_EQ(Index2JWButton(0, 0), brIndustries);
  EXPECT_EQ(Index2JWButton(0, SetOf({brClose})), brIndustries);
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
  EXPECT_EQ(CaptionOf(brOfficeHours, 0),
            "Gesch\xE4"
            "ftszeiten");
  EXPECT_EQ(CaptionOf(brClose, 0),
            "Schlie\xDF"
            "en");
  EXPECT_EQ(CaptionOf(TJWButtonRec(8), 0), "");
}

}  // namespace
}  // namespace jw
