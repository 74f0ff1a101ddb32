// The branch offices page: sorting, the search laid over it, painting of the rows and hover
// pictures.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <stdexcept>

#include "ViewerTestEnv.h"
#include "store/JWError.h"
#include "viewer/JWBranchButtons.h"
#include "viewer/JWCodePage.h"
#include "viewer/core/JWESortBranches.h"
#include "viewer/ufraJWBRanchesFinder.h"
#include "viewer/ufraJWBranchesSearch.h"
#include "viewer/ufraJWBranchesV2.h"

using namespace jw;
using namespace jwtest;

namespace {

TJWBranchRec Branch(const char* AFirm, const char* AZip, const char* ACity, const char* AStreet,
                    double AEast = 0, double ANorth = 0) {
  TJWBranchRec b;
  b.Firm = AFirm;
  b.Zip = AZip;
  b.City = ACity;
  b.Street = AStreet;
  b.X = AEast;
  b.Y = ANorth;
  return b;
}

// Five branches around 7 E / 51 N; "Ohne" has no position.
TJW2DataRec Entry() {
  TJW2DataRec rec;
  rec.Branches = std::vector<TJWBranchRec>{
      Branch("Nah", "50667", "K\xF6ln", "Zeughausstr", 7.0, 51.01),
      Branch("Mitte", "50999", "K\xF6lnberg", "am Markt", 7.0, 51.05),
      Branch("Ohne", "53111", "Bonn", "Adenauerallee"),
      Branch("Fern", "44135", "Koln",
             "\xC4u\xDF"
             "ere Str",
             7.0, 52.0),
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

TJWBranchList All(std::vector<TJWBranchRec>& AList) {
  TJWBranchList list;
  for (TJWBranchRec& b : AList) list.push_back(&b);
  return list;
}

class BranchPageTest : public ::testing::Test {
 protected:
  BranchPageTest() : Page(new TfraJWBranchesV2(&Window)) { Page->SetData(&Rec); }

  void Order(int AIndex) { Page->cmbOrderBy->setCurrentIndex(AIndex); }
  TfraJWBranchesSearch* OpenSearch() {
    Page->imgSearchClick();
    return Page->SearchFrame();
  }
  void Search(const char* AZip, const char* ATown, bool ANearest = false) {
    TfraJWBranchesSearch* search = OpenSearch();
    search->edtPLZ->setText(ToQString(AZip));
    search->edtOrt->setText(ToQString(ATown));
    (ANearest ? search->rbtEntfernung : search->rbtExakt)->setChecked(true);
    search->btnSearchClick();
  }
  Names Shown() const { return Firms(Page->Branches()); }

  TJW2DataRec Rec = Entry();
  QWidget Window;
  TfraJWBranchesV2* Page;
};

}  // namespace

TEST(BranchSorter, OrdersByEachKeyAsBytes) {
  std::vector<TJWBranchRec> branches = *Entry().Branches;
  TJWBranchList list = All(branches);
  TJWESortBranches sorter(0, 0);
  sorter.QuickSort(list, boStreet, 0, 4);
  // Streets: capitals before small letters ("am Markt"), and a byte above 127 (the umlaut of
  // "Fern") after both.
  EXPECT_EQ(Firms(list), (Names{"Ohne", "Anders", "Nah", "Mitte", "Fern"}));
  sorter.QuickSort(list, boZip, 0, 4);
  EXPECT_EQ(Firms(list), (Names{"Fern", "Anders", "Nah", "Mitte", "Ohne"}));
  sorter.QuickSort(list, boCity, 0, 4);
  EXPECT_EQ(Firms(list), (Names{"Ohne", "Anders", "Fern", "Nah", "Mitte"}));
  sorter.QuickSort(list, boFirm, 0, 4);
  EXPECT_EQ(Firms(list), (Names{"Anders", "Fern", "Mitte", "Nah", "Ohne"}));

  // Only the given slots move; a range outside the list changes nothing.
  sorter.QuickSort(list, boZip, 1, 3);
  EXPECT_EQ(Firms(list), (Names{"Anders", "Fern", "Nah", "Mitte", "Ohne"}));
  for (auto [lo, hi] : {std::pair{3, 2}, std::pair{-1, 2}, std::pair{0, 5}})
    sorter.QuickSort(list, boStreet, lo, hi);
  EXPECT_EQ(Firms(list), (Names{"Anders", "Fern", "Nah", "Mitte", "Ohne"}));

  EXPECT_EQ(ErrorOf([&] { sorter.QuickSort(list, 5, 0, 4); }), "GetVal-Error, unknown Index!");
}

TEST(BranchSorter, DistanceOrderPutsBranchesWithoutPositionLast) {
  std::vector<TJWBranchRec> branches = *Entry().Branches;
  TJWBranchList list = All(branches);
  TJWESortBranches(7.0, 51.0).QuickSort(list, boDistance, 0, 4);
  EXPECT_EQ(Firms(list), (Names{"Nah", "Mitte", "Anders", "Fern", "Ohne"}));
  EXPECT_EQ(list[0]->SortKey.substr(0, 9), "00001113 ");  // 0.01 degrees of latitude
  EXPECT_EQ(list[4]->SortKey, "99999999 53111Adenauerallee");

  // From the equator every branch with a position is more than 5000 km away: still 8 digits.
  TJWESortBranches(0, 0).QuickSort(list, boDistance, 0, 4);
  EXPECT_EQ(Firms(list), (Names{"Nah", "Mitte", "Anders", "Fern", "Ohne"}));
  EXPECT_EQ(list[0]->SortKey.size(), 9 + 5 + 11u);
  EXPECT_EQ(list[0]->SortKey.substr(0, 2), "05");
  EXPECT_EQ(list[0]->SortKey[8], ' ');

  // Equal keys are all kept, whatever order they come out in.
  std::vector<TJWBranchRec> twins{Branch("A", "50667", "", ""), Branch("B", "50667", "", ""),
                                  Branch("C", "10000", "", "")};
  TJWBranchList pair = All(twins);
  TJWESortBranches(0, 0).QuickSort(pair, boZip, 0, 2);
  EXPECT_EQ(pair[0]->Firm, "C");
  EXPECT_EQ(pair[1]->Firm + pair[2]->Firm == "AB" || pair[1]->Firm + pair[2]->Firm == "BA", true);
}

TEST_F(BranchPageTest, ShowsAllBranchesByPostcodeAndSortsOnEveryOrderChange) {
  EXPECT_EQ(Page->size(), QSize(456, 215));
  EXPECT_EQ(Page->cmbOrderBy->currentText(), "PLZ");
  EXPECT_EQ(Page->cmbOrderBy->count(), 5);
  EXPECT_EQ(Page->DistanceIndex(), 4);
  EXPECT_EQ(Page->vlbUE->model()->rowCount(), 5);
  EXPECT_EQ(Shown(), (Names{"Fern", "Anders", "Nah", "Mitte", "Ohne"}));
  // The entry's own list keeps its records and its order.
  EXPECT_EQ((*Rec.Branches)[0].Firm, "Nah");

  Order(boFirm);
  EXPECT_EQ(Shown(), (Names{"Anders", "Fern", "Mitte", "Nah", "Ohne"}));

  // Without a host routine the distance is measured from the position the window handed in.
  Page->StartEast = 7.0;
  Page->StartNorth = 52.0;
  Order(boDistance);
  EXPECT_EQ(Shown(), (Names{"Fern", "Anders", "Mitte", "Nah", "Ohne"}));

  // An entry without branches shows no rows.
  TJW2DataRec none;
  Page->SetData(&none);
  EXPECT_EQ(Page->vlbUE->model()->rowCount(), 0);
  EXPECT_TRUE(Page->Branches().empty());
}

TEST_F(BranchPageTest, DistanceOrderAsksTheHostForTheStartPositionAndSearchesKeepIt) {
  std::vector<uintptr_t> asked;
  Page->OnGetStartPosition = [&](double& AEast, double& ANorth, uintptr_t AParent) {
    asked.push_back(AParent);
    AEast = 7.0;
    ANorth = asked.size() == 1 ? 52.0 : 51.0;
  };
  Order(boCity);
  EXPECT_TRUE(asked.empty());
  Order(boDistance);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0], uintptr_t(Window.winId()));
  EXPECT_EQ(Shown(), (Names{"Fern", "Anders", "Mitte", "Nah", "Ohne"}));

  // A search that locates no address measures from that same position, without asking again.
  Search("5", "");
  EXPECT_EQ(asked.size(), 1u);
  EXPECT_EQ(Page->StartNorth, 52.0);
  EXPECT_EQ(Shown(), (Names{"Anders", "Mitte", "Nah", "Ohne"}));
}

TEST_F(BranchPageTest, ExactSearchNarrowsByBeginningsAndBackKeepsTheResult) {
  Search("50", "");
  EXPECT_FALSE(Page->SearchFrame()->isVisibleTo(Page));
  EXPECT_EQ(Shown(), (Names{"Anders", "Nah", "Mitte"}));
  EXPECT_EQ(Page->vlbUE->model()->rowCount(), 3);

  // Letter case is ignored, umlauts included; only the beginning counts ("Koln" is another town).
  Search("", "  k\xF6ln ");
  EXPECT_EQ(Shown(), (Names{"Nah", "Mitte"}));
  Search("50", "K\xD6LNB");
  EXPECT_EQ(Shown(), (Names{"Mitte"}));
  Search("5", "Wuppertal");
  EXPECT_TRUE(Shown().empty());

  // Back applies what the last search found; an empty search shows everything.
  Search("", "k\xF6ln");
  Page->imgSearchClick();
  EXPECT_TRUE(Page->SearchFrame()->isVisibleTo(Page));
  EXPECT_EQ(Page->SearchFrame()->edtOrt->text(), ToQString("k\xF6ln"));
  Click(Page->SearchFrame()->imgBack());
  EXPECT_EQ(Shown(), (Names{"Nah", "Mitte"}));
  Search("", "");
  EXPECT_EQ(Shown().size(), 5u);
  // The search re-sorts by the order the page had when it was opened.
  Order(boFirm);
  Search("50", "");
  EXPECT_EQ(Shown(), (Names{"Anders", "Mitte", "Nah"}));
  EXPECT_EQ(Page->cmbOrderBy->currentIndex(), int(boFirm));

  // Reloading the entry drops a result that points into the former records.
  Page->SetData(&Rec);
  EXPECT_FALSE(Page->SearchFrame()->ResultList);
  EXPECT_EQ(Shown().size(), 5u);
}

TEST_F(BranchPageTest, NearestSearchSortsEveryBranchByDistanceFromTheLocatedAddress) {
  int asked = 0;
  Page->OnGetStartPosition = [&](double&, double&, uintptr_t) { ++asked; };
  // Without a locating routine (a branch window hands none on) all branches stay in their order.
  Order(boCity);
  Search("50", "", true);
  EXPECT_FALSE(Page->SearchFrame()->isVisibleTo(Page));
  EXPECT_FALSE(Page->SearchFrame()->ResultList);
  EXPECT_EQ(Page->cmbOrderBy->currentIndex(), int(boCity));
  EXPECT_EQ(Shown(), (Names{"Ohne", "Anders", "Fern", "Nah", "Mitte"}));

  Names located;
  bool found = true;
  Page->OnLocateAddress = [&](const std::string& AStreet, const std::string& AZip,
                              const std::string& ATown, double& AEast, double& ANorth) {
    located.push_back(AStreet + "|" + AZip + "|" + ATown);
    if (!found) return false;
    AEast = 7.0;
    ANorth = 52.0;
    return true;
  };
  Search("44135", "k\xF6ln", true);
  EXPECT_EQ(located, Names{"|44135|K\xD6LN"});
  EXPECT_EQ(Page->cmbOrderBy->currentIndex(), Page->DistanceIndex());
  EXPECT_EQ(Page->StartNorth, 52.0);
  EXPECT_EQ(asked, 0);  // the found position is used as it is
  EXPECT_EQ(Shown(), (Names{"Fern", "Anders", "Mitte", "Nah", "Ohne"}));

  // The host cannot locate the address: the search stays open without a result, and Back then
  // applies that empty result.
  found = false;
  Search("99999", "", true);
  EXPECT_TRUE(Page->SearchFrame()->isVisibleTo(Page));
  EXPECT_EQ(Shown().size(), 5u);
  ASSERT_TRUE(Page->SearchFrame()->ResultList);
  EXPECT_TRUE(Page->SearchFrame()->ResultList->empty());
  Page->SearchFrame()->imgBackClick();
  EXPECT_FALSE(Page->SearchFrame()->isVisibleTo(Page));
  EXPECT_TRUE(Shown().empty());

  // A host routine that fails outright leaves no result: all branches, and the frame closes.
  Page->OnLocateAddress = [](const std::string&, const std::string&, const std::string&, double&,
                             double&) -> bool { throw std::runtime_error("host down"); };
  Search("", "", true);
  EXPECT_FALSE(Page->SearchFrame()->isVisibleTo(Page));
  EXPECT_EQ(Shown().size(), 5u);
}

TEST_F(BranchPageTest, FinderShowsDisabledFieldsAndReturnsToTheFullList) {
  EXPECT_FALSE(Page->imgFinder->isVisibleTo(Page));
  Search("50", "");
  Page->imgFinderClick();
  TfraJWBranchesFinder* finder = Page->FinderFrame();
  ASSERT_TRUE(finder && finder->isVisibleTo(Page));
  EXPECT_EQ(finder->geometry(), QRect(0, 0, 456, 215));
  EXPECT_FALSE(finder->edtPLZ->isEnabled());
  EXPECT_EQ(finder->edtOrt->text(), "N/A");
  finder->imgBackClick();
  EXPECT_FALSE(finder->isVisibleTo(Page));
  EXPECT_EQ(Shown().size(), 5u);
}

TEST_F(BranchPageTest, ButtonsLightUpUnderTheMouseAndRestElsewhere) {
  Window.show();  // mouse moves reach shown widgets only
  EXPECT_FALSE(BranchBitmap("SEARCHOUT").isNull());
  for (const char* name : {"BACKOUT", "BACKOVER", "FINDEROUT", "FINDEROVER", "SEARCHOVER",
                           "SEARCHSTARTOUT", "SEARCHSTARTOVER"})
    EXPECT_EQ(BranchBitmap(name).size(), QSize(17, 19)) << name;

  MoveMouseOver(Page->imgSearch);
  EXPECT_EQ(Page->imgSearch->PictureName(), "SEARCHOVER");
  MoveMouseOver(Page->vlbUE->viewport());
  EXPECT_EQ(Page->imgSearch->PictureName(), "SEARCHOUT");

  TfraJWBranchesSearch* search = OpenSearch();
  MoveMouseOver(search->imgSearch());
  MoveMouseOver(search->imgBack());
  // Each button lights up on its own; only the background puts both back.
  EXPECT_EQ(search->imgSearch()->PictureName(), "SEARCHSTARTOVER");
  EXPECT_EQ(search->imgBack()->PictureName(), "BACKOVER");
  MoveMouseOver(search->edtPLZ);
  EXPECT_EQ(search->imgSearch()->PictureName(), "SEARCHSTARTOUT");
  EXPECT_EQ(search->imgBack()->PictureName(), "BACKOUT");
  EXPECT_FALSE(search->edtStrasse->isVisibleTo(search));
}

TEST_F(BranchPageTest, ModelHoldsTheShownRowsInTheirOrderAndKeepsTheSelectionOnSorting) {
  const QAbstractItemModel* model = Page->vlbUE->model();
  auto text = [&](int ARow, int ARole) {
    return FromQString(model->index(ARow, 0).data(ARole).toString());
  };
  using M = TJWBranchListModel;
  EXPECT_EQ(text(0, M::ZipCityRole), "44135 Koln");
  EXPECT_EQ(text(0, M::StreetRole),
            "\xC4u\xDF"
            "ere Str");
  EXPECT_EQ(text(0, M::FirmRole), "Fern");
  EXPECT_EQ(text(0, M::PhoneRole), "");
  EXPECT_EQ(text(4, Qt::DisplayRole), "53111 Bonn Adenauerallee Ohne ");
  EXPECT_EQ(model->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), M::kEvenColor);
  EXPECT_EQ(model->index(1, 0).data(Qt::BackgroundRole).value<QColor>(), M::kOddColor);
  EXPECT_FALSE(model->index(5, 0).data(Qt::BackgroundRole).isValid());
  EXPECT_EQ(Page->vlbUE->sizeHintForRow(0),
            32);  // the rows are painted by the branch rows' delegate

  // A new order rewrites the rows; the selection stays on its row number, as the list shows it.
  Page->vlbUE->setCurrentIndex(model->index(1, 0));
  Order(boFirm);
  EXPECT_EQ(text(0, M::FirmRole), "Anders");
  EXPECT_EQ(text(1, M::FirmRole), "Fern");
  EXPECT_EQ(Page->vlbUE->selectionModel()->selectedIndexes(), QModelIndexList{model->index(1, 0)});
  // A search result replaces the rows and the selection.
  Search("50", "");
  EXPECT_EQ(text(2, M::FirmRole), "Nah");
  EXPECT_TRUE(Page->vlbUE->selectionModel()->selectedIndexes().isEmpty());
}

TEST(BranchRows, TwoColumnsOnAlternatingColoursTheSelectedRowInBlue) {
  TJWBranchRec b = Branch("M\xFCller<br>Bau & Co", "50667", std::string(120, 'x').c_str(), "Weg");
  b.Phone = "0221 / 12 34";
  const TJWBranchRowTexts texts = BranchRowTexts(b);
  EXPECT_EQ(texts.ZipCity, "50667 " + std::string(100, 'x'));
  EXPECT_EQ(texts.Firm, "M\xFCller Bau & Co");
  EXPECT_EQ(texts.Street, "Weg");
  EXPECT_EQ(texts.Phone, "0221 / 12 34");

  // The rows paint from the model alone, in any list.
  TJWBranchListModel model;
  model.SetRows({texts, {"44135 Koln", "Str", "Fern", ""}});
  QListView view;
  view.setModel(&model);
  view.setItemDelegate(new TJWBranchRowDelegate(&view));
  view.setFrameShape(QFrame::NoFrame);
  view.resize(454, 3 * 32);
  view.setCurrentIndex(model.index(1, 0));
  EXPECT_EQ(view.sizeHintForRow(0), 32);
  const QImage image = view.grab().toImage();
  const QColor colours[] = {TJWBranchListModel::kEvenColor, TJWBranchListModel::kOddColor};
  auto pixels = [&](int ALeft, int ATop, int AWidth, const std::function<bool(QRgb)>& AWhich) {
    int count = 0;
    for (int y = ATop; y < ATop + 32; ++y)
      for (int x = ALeft; x < ALeft + AWidth; ++x) count += AWhich(image.pixel(x, y));
    return count;
  };
  auto dark = [](QRgb APixel) { return qGray(APixel) < 128; };
  auto blue = [](QRgb APixel) {
    return qBlue(APixel) > 200 && qRed(APixel) < 80 && qGreen(APixel) < 80;
  };
  for (int row = 0; row < 2; ++row) {
    SCOPED_TRACE(row);
    EXPECT_EQ(QColor(image.pixel(453, row * 32 + 31)), colours[row]);
    // Each column carries text; the text stays inside its column, the gap between them is bare.
    EXPECT_GT(pixels(0, row * 32, 200, dark), 20);
    EXPECT_GT(pixels(230, row * 32, 200, dark), 10);
    EXPECT_EQ(pixels(226, row * 32, 5, [&](QRgb APixel) { return QColor(APixel) != colours[row]; }),
              0);
    // Only the selected row is written in blue.
    EXPECT_EQ(pixels(0, row * 32, 454, blue) > 0, row == 1);
  }
  EXPECT_EQ(pixels(0, 2 * 32, 454, dark), 0);  // below the rows
}
