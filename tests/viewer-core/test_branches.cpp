// The branch offices page: sorting, the search laid over it and the hand-over of results.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "../html/Expected.h"
#include "CoreFixture.h"
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

// The page of Entry() in a window with a native handle, and what the host routines were asked.
struct TBranchPage {
  TBranchPage() : Form(std::make_shared<TFixedMetrics>()), Page(Form) {
    Form.NativeWindow = 4711;
    Page.SetData(&Rec);
    for (TJWBranchRec& branch : *Rec.Branches) List.push_back(&branch);
    Page.OnOpenBranch = [this](const TJWBranchRec& ABranch) {
      Opened += " " + ABranch.Firm;
      throw std::runtime_error("cannot open");
    };
  }
  void Order(int32_t AIndex) {
    Page.ControlEvent({TJWControlEventKind::ceComboSelect, Page.OrderBoxId(), AIndex, ""});
  }
  TfraJWBranchesSearch& OpenSearch() {
    Page.imgSearchClick();
    return *Page.SearchFrame();
  }
  // Typed into the text boxes and chosen with the radio buttons, as a shell reports them.
  void Search(const std::string& AZip, const std::string& ATown, bool ANearest = false) {
    TfraJWBranchesSearch& search = OpenSearch();
    Page.ControlEvent({TJWControlEventKind::ceEditChange, search.edtPLZ.Id, -1, AZip});
    Page.ControlEvent({TJWControlEventKind::ceEditChange, search.edtOrt.Id, -1, ATown});
    Page.ControlEvent(
        {TJWControlEventKind::ceRadioCheck, ANearest ? search.NearestId : search.ExactId, -1, ""});
    search.btnSearchClick();
  }
  bool SearchOpen() const { return Page.SearchFrame() && Page.SearchFrame()->Visible; }
  Names Shown() const { return Firms(Page.Branches()); }

  TJW2DataRec Rec = Entry(), None;
  TfrmJW Form;
  TfraJWBranchesV2 Page;
  TJWBranchList List;  // for the sorter alone
  std::string Asked, Located, Opened;
};

// One step of expected/branch-cases.txt, answered with the page's state after it.
std::string Step(TBranchPage& P, const std::string& ALine) {
  std::istringstream in(ALine);
  std::string verb, zip, town;
  double east = 0, north = 0;
  in >> verb;
  std::getline(std::getline(in.ignore(), zip, '|'), town);
  std::istringstream(zip) >> east >> north;
  std::ostringstream state;
  state << "=";
  if (verb == "sort") {  // order, first and last slot
    int32_t order = 0, lo = 0, hi = 0;
    std::istringstream(zip) >> order >> lo >> hi;
    TJWESortBranches(0, 0).QuickSort(P.List, order, lo, hi);
    for (const std::string& firm : Firms(P.List)) state << firm << " ";
    return state.str();
  }
  if (verb == "order") P.Order(std::stoi(zip));
  if (verb == "select") P.Page.SetSelection(std::stoi(zip));
  if (verb == "start") P.Page.StartEast = east, P.Page.StartNorth = north;
  if (verb == "search" || verb == "nearest") P.Search(zip, town, verb == "nearest");
  if (verb == "open") P.OpenSearch();
  if (verb == "activate")  // a double click on a row
    P.Page.ControlEvent({TJWControlEventKind::ceListActivate, P.Page.ListId(), std::stoi(zip), ""});
  if (verb == "back") P.Page.SearchFrame()->imgBackClick();
  if (verb == "reload") P.Page.SetData(zip == "none" ? &P.None : &P.Rec);
  if (verb == "asks")
    P.Page.OnGetStartPosition = [&P, east, north](double& AEast, double& ANorth, uintptr_t AAt) {
      P.Asked += " " + std::to_string(AAt), AEast = east, ANorth = north;
    };
  if (verb == "locates")  // at a position, or not at all ("locates"), or failing ("locates fail")
    P.Page.OnLocateAddress = [&P, zip, east, north](
                                 const std::string& AStreet, const std::string& AZip,
                                 const std::string& ATown, double& AEast, double& ANorth) {
      P.Located += " " + AStreet + "|" + AZip + "|" + ATown;
      if (zip == "fail") throw std::runtime_error("host down");
      AEast = east, ANorth = north;
      return !zip.empty();
    };
  for (const std::string& firm : P.Shown()) state << firm << " ";
  state << "sel " << P.Page.Selection() << " order " << P.Page.OrderIndex();
  if (P.SearchOpen()) state << " open " << P.Page.SearchFrame()->edtOrt.Text;
  if (P.Page.SearchFrame() && P.Page.SearchFrame()->ResultList) state << " kept";
  if (verb == "start" || verb == "nearest")
    state << " from " << P.Page.StartEast << " " << P.Page.StartNorth;
  if (!P.Asked.empty()) state << " asked" << P.Asked;
  if (!P.Located.empty()) state << " located" << P.Located;
  if (!P.Opened.empty()) state << " opened" << P.Opened;
  return state.str();
}

TEST(BranchPage, Steps) {
  std::unique_ptr<TBranchPage> page;
  jw::test::RunCases(
      std::string(JW_EXPECTED_DIR) + "/branch-cases.txt",
      [&] { page = std::make_unique<TBranchPage>(); },
      [&](const std::string& ALine) { return Step(*page, ALine); });
}

class BranchPageTest : public ::testing::Test, public TBranchPage {};

TEST_F(BranchPageTest, ButtonsLightUpUnderTheMouseAndTheFinderReturnsToTheFullList) {
  for (const char* name : {"BACKOUT", "BACKOVER", "FINDEROUT", "FINDEROVER", "SEARCHOUT",
                           "SEARCHOVER", "SEARCHSTARTOUT", "SEARCHSTARTOVER"}) {
    const auto picture = BranchBitmap(name);
    EXPECT_EQ(picture ? picture->Width * 100 + picture->Height : 0, 1719) << name;
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
  EXPECT_EQ((*Rec.Branches)[0].Firm, "Nah");  // the entry's own list keeps its order
}

}  // namespace
