// The branch offices page: sorting, the search laid over it and the hand-over of results.
#include <gtest/gtest.h>

#include <stdexcept>

#include "CoreFixture.h"
#include "ErrorOf.h"
#include "viewer/core/JWESortBranches.h"
#include "viewer/core/ufraJWBranchesSearch.h"
#include "viewer/core/ufraJWBranchesV2.h"

using namespace jw;
using namespace jwtest;

namespace {

TJWBranchRec Branch(const char* AFirm, const char* AZip, const char* ACity, const char* AStreet,
                    double AEast = 0, double ANorth = 0) {
  TJWBranchRec b;
  b.Firm = AFirm, b.Zip = AZip, b.City = ACity, b.Street = AStreet, b.X = AEast, b.Y = ANorth;
  return b;
}

// Five branches around 7 E / 51 N; "Ohne" has no position.
TJW2DataRec Entry() {
  TJW2DataRec rec;
  rec.Branches = std::vector<TJWBranchRec>{
      Branch("Nah", "50667", "K\xF6ln", "Zeughausstr", 7.0, 51.01),
      Branch("Mitte", "50999", "K\xF6lnberg", "am Markt", 7.0, 51.05),
      Branch("Ohne", "53111", "Bonn", "Adenauerallee"),
      Branch("Fern", "44135", "Koln", "\xC4u\337ere Str", 7.0, 52.0),
      Branch("Anders", "50321", "Br\xFChl", "Bahnhofstr", 7.1, 51.2),
  };
  return rec;
}

using Names = std::vector<std::string>;

Names Firms(const TJWBranchList& AList) {
  Names firms;
  for (const TJWBranchRec* b : AList) firms.push_back(b->Firm);
  return firms;
}

TEST(BranchSorter, OrdersByEachKeyAsBytes) {
  std::vector<TJWBranchRec> branches = *Entry().Branches;
  TJWBranchList list;
  for (TJWBranchRec& b : branches) list.push_back(&b);
  TJWESortBranches sorter(0, 0);
  // Streets: capitals before small letters ("am Markt"), a byte above 127 after both.
  const std::pair<int32_t, Names> orders[] = {
      {boStreet, {"Ohne", "Anders", "Nah", "Mitte", "Fern"}},
      {boZip, {"Fern", "Anders", "Nah", "Mitte", "Ohne"}},
      {boCity, {"Ohne", "Anders", "Fern", "Nah", "Mitte"}},
      {boFirm, {"Anders", "Fern", "Mitte", "Nah", "Ohne"}}};
  for (const auto& [order, expected] : orders) {
    sorter.QuickSort(list, order, 0, 4);
    EXPECT_EQ(Firms(list), expected) << order;
  }
  // Only the given slots move; a range outside the list changes nothing.
  sorter.QuickSort(list, boZip, 1, 3);
  EXPECT_EQ(Firms(list), (Names{"Anders", "Fern", "Nah", "Mitte", "Ohne"}));
  for (auto [lo, hi] : {std::pair{3, 2}, std::pair{-1, 2}, std::pair{0, 5}})
    sorter.QuickSort(list, boStreet, lo, hi);
  EXPECT_EQ(Firms(list), (Names{"Anders", "Fern", "Nah", "Mitte", "Ohne"}));
  EXPECT_EQ(ErrorOf([&] { sorter.QuickSort(list, 5, 0, 4); }), "GetVal-Error, unknown Index!");
}

class BranchPageTest : public ::testing::Test {
 protected:
  BranchPageTest() : Form(std::make_shared<TFixedMetrics>()), Page(Form) {
    Form.NativeWindow = 4711;
    Page.SetData(&Rec);
  }

  void Order(int32_t AIndex) {
    Page.ControlEvent({TJWControlEventKind::ceComboSelect, Page.OrderBoxId(), AIndex, ""});
  }
  TfraJWBranchesSearch& OpenSearch() {
    Page.imgSearchClick();
    return *Page.SearchFrame();
  }
  void Search(const char* AZip, const char* ATown, bool ANearest = false) {
    TfraJWBranchesSearch& search = OpenSearch();
    // Typed into the text boxes and chosen with the radio buttons, as a shell reports them.
    Page.ControlEvent({TJWControlEventKind::ceEditChange, search.edtPLZ.Id, -1, AZip});
    Page.ControlEvent({TJWControlEventKind::ceEditChange, search.edtOrt.Id, -1, ATown});
    Page.ControlEvent(
        {TJWControlEventKind::ceRadioCheck, ANearest ? search.NearestId : search.ExactId, -1, ""});
    search.btnSearchClick();
  }
  bool SearchOpen() const { return Page.SearchFrame() && Page.SearchFrame()->Visible; }
  Names Shown() const { return Firms(Page.Branches()); }

  TJW2DataRec Rec = Entry();
  TfrmJW Form;
  TfraJWBranchesV2 Page;
};

TEST_F(BranchPageTest, SortsByPostcodeFirstAndOnEveryOrderChange) {
  EXPECT_EQ(Page.OrderIndex(), boZip);
  EXPECT_EQ(Shown(), (Names{"Fern", "Anders", "Nah", "Mitte", "Ohne"}));
  EXPECT_EQ((*Rec.Branches)[0].Firm, "Nah");  // the entry's own list keeps its order
  Page.SetSelection(1);
  Order(boFirm);
  EXPECT_EQ(Shown(), (Names{"Anders", "Fern", "Mitte", "Nah", "Ohne"}));
  EXPECT_EQ(Page.Selection(), 1);  // the selection stays on its row number
  // Without a host routine the distance is measured from the position the window handed in.
  Page.StartEast = 7.0;
  Page.StartNorth = 52.0;
  Order(boDistance);
  EXPECT_EQ(Shown(), (Names{"Fern", "Anders", "Mitte", "Nah", "Ohne"}));
  TJW2DataRec none;
  Page.SetData(&none);
  EXPECT_TRUE(Page.Branches().empty());
}

TEST_F(BranchPageTest, DistanceOrderAsksTheHostForTheStartPositionAndSearchesKeepIt) {
  std::vector<uintptr_t> asked;
  Page.OnGetStartPosition = [&](double& AEast, double& ANorth, uintptr_t AParent) {
    asked.push_back(AParent);
    AEast = 7.0;
    ANorth = asked.size() == 1 ? 52.0 : 51.0;
  };
  Order(boCity);
  EXPECT_TRUE(asked.empty());
  Order(boDistance);
  EXPECT_EQ(asked, std::vector<uintptr_t>{4711});
  EXPECT_EQ(Shown(), (Names{"Fern", "Anders", "Mitte", "Nah", "Ohne"}));
  // A search that locates no address measures from that same position, without asking again.
  Search("5", "");
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_EQ(Shown(), (Names{"Anders", "Mitte", "Nah", "Ohne"}));
}

TEST_F(BranchPageTest, ExactSearchNarrowsByBeginningsAndBackKeepsTheResult) {
  Page.SetSelection(2);
  // Letter case is ignored, umlauts included; only the beginning counts ("Koln" is another town).
  const std::tuple<const char*, const char*, Names> searches[] = {
      {"50", "", {"Anders", "Nah", "Mitte"}},
      {"", "  k\xF6ln ", {"Nah", "Mitte"}},
      {"50", "K\xD6LNB", {"Mitte"}},
      {"5", "Wuppertal", {}}};
  for (const auto& [zip, town, shown] : searches) {
    Search(zip, town);
    EXPECT_FALSE(SearchOpen());
    EXPECT_EQ(Shown(), shown) << zip << town;
    EXPECT_EQ(Page.Selection(), -1);
  }
  // Back applies what the last search found; an empty search shows everything.
  Search("", "k\xF6ln");
  TfraJWBranchesSearch& search = OpenSearch();
  EXPECT_EQ(search.edtOrt.Text, "k\xF6ln");
  search.imgBackClick();
  EXPECT_EQ(Shown(), (Names{"Nah", "Mitte"}));
  Search("", "");
  EXPECT_EQ(Shown().size(), 5u);
  // The search re-sorts by the order the page had when it was opened.
  Order(boFirm);
  Search("50", "");
  EXPECT_EQ(Shown(), (Names{"Anders", "Mitte", "Nah"}));
  EXPECT_EQ(Page.OrderIndex(), boFirm);
  // Reloading the entry drops a result that points into the former records.
  Page.SetData(&Rec);
  EXPECT_FALSE(Page.SearchFrame()->ResultList);
  EXPECT_EQ(Shown().size(), 5u);
}

TEST_F(BranchPageTest, NearestSearchSortsEveryBranchByDistanceFromTheLocatedAddress) {
  int asked = 0;
  Page.OnGetStartPosition = [&](double&, double&, uintptr_t) { ++asked; };
  // Without a locating routine (a branch window hands none on) all branches stay in their order.
  Order(boCity);
  Search("50", "", true);
  EXPECT_FALSE(SearchOpen());
  EXPECT_EQ(Page.OrderIndex(), boCity);
  EXPECT_EQ(Shown(), (Names{"Ohne", "Anders", "Fern", "Nah", "Mitte"}));

  Names located;
  bool found = true;
  Page.OnLocateAddress = [&](const std::string& AStreet, const std::string& AZip,
                             const std::string& ATown, double& AEast, double& ANorth) {
    located.push_back(AStreet + "|" + AZip + "|" + ATown);
    if (!found) return false;
    AEast = 7.0;
    ANorth = 52.0;
    return true;
  };
  Search("44135", "k\xF6ln", true);
  EXPECT_EQ(located, Names{"|44135|K\xD6LN"});
  EXPECT_EQ(Page.OrderIndex(), Page.DistanceIndex());
  EXPECT_EQ(Page.StartNorth, 52.0);
  EXPECT_EQ(asked, 0);  // the found position is used as it is
  EXPECT_EQ(Shown(), (Names{"Fern", "Anders", "Mitte", "Nah", "Ohne"}));

  // The host cannot locate the address: the search stays open, and Back applies the empty result.
  found = false;
  Search("99999", "", true);
  EXPECT_TRUE(SearchOpen());
  EXPECT_EQ(Shown().size(), 5u);
  Page.SearchFrame()->imgBackClick();
  EXPECT_FALSE(SearchOpen());
  EXPECT_TRUE(Shown().empty());

  // A host routine that fails outright leaves no result: all branches, and the frame closes.
  Page.OnLocateAddress = [](const std::string&, const std::string&, const std::string&, double&,
                            double&) -> bool { throw std::runtime_error("host down"); };
  Search("", "", true);
  EXPECT_FALSE(SearchOpen());
  EXPECT_EQ(Shown().size(), 5u);
}

TEST_F(BranchPageTest, ButtonsLightUpUnderTheMouseAndTheFinderReturnsToTheFullList) {
  for (const char* name : {"BACKOUT", "BACKOVER", "FINDEROUT", "FINDEROVER", "SEARCHOUT",
                           "SEARCHOVER", "SEARCHSTARTOUT", "SEARCHSTARTOVER"}) {
    ASSERT_TRUE(BranchBitmap(name)) << name;
    EXPECT_EQ(BranchBitmap(name)->Width * 100 + BranchBitmap(name)->Height, 1719) << name;
  }
  Page.MouseMove(245, 10);
  EXPECT_EQ(Page.imgSearch.PictureName(), "SEARCHOVER");
  EXPECT_EQ(Page.CursorAt(245, 10), TJWCursor::crHand);
  Page.MouseMove(100, 100);
  EXPECT_EQ(Page.imgSearch.PictureName(), "SEARCHOUT");
  Page.Click(245, 10);
  ASSERT_TRUE(SearchOpen());
  Page.MouseMove(335, 140);
  Page.MouseMove(305, 8);
  EXPECT_EQ(Page.SearchFrame()->imgBack.PictureName(), "BACKOVER");
  Page.MouseLeave();
  EXPECT_EQ(Page.SearchFrame()->imgBack.PictureName(), "BACKOUT");
  Page.Click(305, 8);  // Back
  EXPECT_FALSE(SearchOpen());

  EXPECT_FALSE(Page.imgFinder.Visible);
  Search("50", "");
  Page.imgFinderClick();
  ASSERT_TRUE(Page.FinderFrame() && Page.FinderFrame()->Visible);
  Page.FinderFrame()->imgBackClick();
  EXPECT_EQ(Shown().size(), 5u);
}

TEST_F(BranchPageTest, DoubleClickOpensTheSelectedBranchAndSurvivesItsFailure) {
  Names opened;
  Page.OnOpenBranch = [&](const TJWBranchRec& ABranch) {
    opened.push_back(ABranch.Firm);
    throw std::runtime_error("cannot open");
  };
  Page.ControlEvent({TJWControlEventKind::ceListActivate, Page.ListId(), 1, ""});
  Page.ControlEvent({TJWControlEventKind::ceListActivate, Page.ListId(), 7, ""});
  EXPECT_EQ(opened, Names{"Anders"});
}

}  // namespace
