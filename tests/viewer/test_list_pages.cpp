// The list pages (industries, business types, search words) and the card-acceptance page.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>

#include "ViewerDataDir.h"
#include "ViewerTestEnv.h"
#include "viewer/JW2Form.h"
#include "viewer/ufraJWBusinessTypes.h"
#include "viewer/ufraJWCardAcceptance.h"
#include "viewer/ufraJWIndustries.h"
#include "viewer/ufraJWOfficeHours.h"
#include "viewer/ufraJWSearchWords.h"

using namespace jw;
using jwtest::Child;

namespace {

TStringList Lines(const QListWidget* AList) {
  TStringList lines;
  for (int i = 0; i < AList->count(); ++i) lines.push_back(FromQString(AList->item(i)->text()));
  return lines;
}

TStringList Numbered(int ACount) {
  TStringList lines;
  for (int i = 1; i <= ACount; ++i) lines.push_back("Branche " + std::to_string(i));
  return lines;
}

const char* const kLongIndustry = "Beratung und Vermittlung von Versicherungen aller Art";

}  // namespace

TEST(ListPages, HeightFollowsTheLinesUpToTheMaximum) {
  TJW2DataRec rec;
  rec.Industries = Numbered(9);
  TfraJWIndustries industries;
  EXPECT_FALSE(industries.OuterPanel()->isVisibleTo(&industries));
  industries.SetData(&rec);
  EXPECT_TRUE(industries.OuterPanel()->isVisibleTo(&industries));
  EXPECT_EQ(industries.height(), 9 * 15 + 16);
  EXPECT_EQ(industries.OuterPanel()->size(), QSize(220, 151));
  EXPECT_EQ(industries.ListBox()->geometry(), QRect(7, 16, 212, 135));
  EXPECT_EQ(industries.ItemCount(), 9);
  // Lines are 15 pixels apart, so nine of them fill the list exactly.
  QListWidget* list = industries.ListBox();
  EXPECT_EQ(list->visualItemRect(list->item(1)).top(), 15);
  EXPECT_EQ(list->visualItemRect(list->item(8)).bottom(), 134);

  rec.Industries = Numbered(12);
  industries.UpdateContent();
  EXPECT_EQ(industries.height(), 153);
  EXPECT_EQ(list->visualItemRect(list->item(9)).top(), 135);  // all but two rows under the edge
  EXPECT_EQ(industries.ItemCount(), 12);
  EXPECT_EQ(Lines(industries.ListBox()), rec.Industries);  // the entry's order, unsorted

  rec.Searchwords = Numbered(10);
  TfraJWSearchWords words;
  words.SetData(&rec);
  EXPECT_EQ(words.height(), 153);
  EXPECT_EQ(words.ItemCount(), 10);
}

TEST(ListPages, LongIndustryBreaksIntoAnIndentedSecondLineThatCounts) {
  TJW2DataRec rec;
  rec.Industries = {"Baustoffe", kLongIndustry};
  TfraJWIndustries industries;
  industries.SetData(&rec);
  const TStringList lines = Lines(industries.ListBox());
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Baustoffe");
  EXPECT_EQ(lines[2].substr(0, 5), "     ");
  EXPECT_NE(lines[2][5], ' ');
  EXPECT_EQ(lines[1] + " " + lines[2].substr(5), kLongIndustry);
  const QFontMetrics metrics(industries.ListBox()->font());
  EXPECT_LT(metrics.horizontalAdvance(ToQString(lines[1])), 188);
  EXPECT_EQ(industries.ItemCount(), 3);
  EXPECT_EQ(industries.height(), 3 * 15 + 16);
}

TEST(ListPages, EmptyListsKeepTheirPanelsAsTheyAre) {
  TJW2DataRec rec;
  TfraJWIndustries industries;
  EXPECT_EQ(industries.ItemCount(), 0);
  industries.SetData(&rec);
  EXPECT_FALSE(industries.OuterPanel()->isVisibleTo(&industries));
  EXPECT_EQ(industries.ItemCount(), 0);

  // Taking the industries away empties the list but leaves the panel shown.
  rec.Industries = {"A", "B"};
  industries.UpdateContent();
  rec.Industries.clear();
  industries.UpdateContent();
  EXPECT_TRUE(industries.OuterPanel()->isVisibleTo(&industries));
  EXPECT_EQ(industries.ItemCount(), 0);

  // The search words always show their title, even without words.
  TfraJWSearchWords words;
  words.SetData(&rec);
  EXPECT_TRUE(words.OuterPanel()->isVisibleTo(&words));
  EXPECT_EQ(words.height(), 16);
  EXPECT_EQ(words.ItemCount(), 0);

  TfraJWBusinessTypes types;
  EXPECT_TRUE(types.OuterPanel()->isVisibleTo(&types));
  types.SetData(&rec);
  EXPECT_EQ(types.ListBox()->count(), 0);
  EXPECT_EQ(types.ItemCount(), -1);
}

TEST(ListPages, CommaTextSplitsAtCommasAndBlanksUnlessQuoted) {
  EXPECT_EQ(SplitCommaText("Einzelhandel,Gro\xDFhandel"),
            (TStringList{"Einzelhandel", "Gro\xDFhandel"}));
  EXPECT_EQ(SplitCommaText("  Handel mit Holz , Bau"),
            (TStringList{"Handel", "mit", "Holz", "Bau"}));
  EXPECT_EQ(SplitCommaText("\"Handel mit \"\"Holz\"\"\",Bau"),
            (TStringList{"Handel mit \"Holz\"", "Bau"}));
  // Empty items between commas stay; a trailing comma adds none.
  EXPECT_EQ(SplitCommaText("a,,b,"), (TStringList{"a", "", "b"}));
  EXPECT_EQ(SplitCommaText("\t\r\n"), TStringList{});
  // An unclosed quote runs to the end.
  EXPECT_EQ(SplitCommaText("\"offen, bis zum Ende"), TStringList{"offen, bis zum Ende"});
}

TEST(ListPages, BusinessTypesShowOneTypePerLine) {
  TJW2DataRec rec;
  rec.BusinessTypes = "Einzelhandel, Gro\xDFhandel";
  TfraJWBusinessTypes types;
  types.SetData(&rec);
  EXPECT_EQ(Lines(types.ListBox()), (TStringList{"Einzelhandel", "Gro\xDFhandel"}));
  EXPECT_EQ(types.height(), 2 * 15 + 16);

  // No breaking here: a long quoted type stays one line; refilling does not add up.
  rec.BusinessTypes = std::string("\"") + kLongIndustry + "\"";
  types.UpdateContent();
  EXPECT_EQ(Lines(types.ListBox()), TStringList{kLongIndustry});
  rec.BusinessTypes.clear();
  types.UpdateContent();
  EXPECT_EQ(types.ListBox()->count(), 0);
}

TEST(CardAcceptance, RowsOfTheAcceptedCardsCloseUpUnderTheTitle) {
  TJW2DataRec rec;
  rec.CardVisa = 1;
  rec.CardEC = 1;
  TfraJWCardAcceptance cards;
  cards.SetData(&rec);
  EXPECT_EQ(cards.size(), QSize(220, 81));
  EXPECT_EQ(Child(&cards, "pnlVPKartenakzeptanz")->height(), 81);
  auto* visa = Child(&cards, "pnlKAVisa");
  auto* ec = Child(&cards, "pnlKAEC");
  EXPECT_TRUE(visa->isVisibleTo(&cards));
  EXPECT_TRUE(ec->isVisibleTo(&cards));
  for (const char* name : {"pnlKAAmex", "pnlKAEurocard", "pnlKADiners"})
    EXPECT_FALSE(Child(&cards, name)->isVisibleTo(&cards)) << name;
  EXPECT_EQ(visa->geometry(), QRect(0, 17, 219, 27));
  EXPECT_EQ(ec->y(), 17 + 27);
  EXPECT_EQ(jwtest::Text(visa, "lblCaption"), "Visa");
  EXPECT_EQ(Child(visa, "lblCaption")->pos(), QPoint(9, 5));
  // The picture sits centred in a 36-pixel box, 16 pixels from the right edge.
  auto* picture = Child<QLabel>(ec, "imgCard");
  EXPECT_EQ(picture->geometry(), QRect(219 - 16 - 36, 0, 36, 27));
  EXPECT_EQ(picture->pixmap().size(), QSize(22, 25));

  rec = TJW2DataRec();
  cards.UpdateContent();
  EXPECT_EQ(cards.height(), 27);
  EXPECT_FALSE(visa->isVisibleTo(&cards));

  // A flag byte other than 1 still counts as one card.
  rec.CardDiners = 0xFF;
  rec.CardAmex = 2;
  cards.UpdateContent();
  EXPECT_EQ(cards.height(), 81);
  EXPECT_EQ(Child(&cards, "pnlKADiners")->y(), 17 + 27);
}

TEST(CardAcceptance, PicturesHaveTheirSizesAndAreDrawn) {
  const QSize sizes[] = {{27, 18}, {27, 26}, {29, 23}, {31, 18}, {22, 25}};
  for (int k = 0; k < TfraJWCardAcceptance::kCards; ++k) {
    const QImage image = TfraJWCardAcceptance::CardPicture(k).toImage();
    EXPECT_EQ(image.size(), sizes[k]) << k;
    EXPECT_NE(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 0) << k;
  }
}

// The window places the search words under a short industries list.
class ListPagesInWindow : public ::testing::Test {
 protected:
  std::unique_ptr<TfrmJW> Open(uint32_t AId = jwtest::kFirm) {
    return jwtest::OpenForm(Data.Path(), AId);
  }
  jwtest::TViewerDataDir Data;
};

TEST_F(ListPagesInWindow, SearchWordsStackUnderShortIndustriesCountingBrokenLines) {
  auto form = Open();
  TJWFrame* page = form->Frame(TfrmJW::fraPage);
  TJWFrame* page2 = form->Frame(TfrmJW::fraPage2);
  ASSERT_TRUE(qobject_cast<TfraJWSearchWords*>(page2));
  EXPECT_EQ(page->geometry(), QRect(398, 171, 220, 3 * 15 + 16));
  EXPECT_EQ(page2->geometry(), QRect(398, 171 + 61 + 23, 220, 61));
  EXPECT_TRUE(static_cast<TfraJWSearchWords*>(page2)->OuterPanel()->isVisibleTo(page2));

  // Two industries, one of them broken in two: three lines still share the page.
  form->EntryRec().Industries = {"Baustoffe", kLongIndustry};
  form->DoButtonEvent(brIndustries);
  ASSERT_EQ(form->Frame(TfrmJW::fraPage)->ItemCount(), 3);
  ASSERT_NE(form->Frame(TfrmJW::fraPage2), nullptr);

  // Three industries of which one is broken give four lines: the industries stand alone.
  form->EntryRec().Industries = {"Baustoffe", "Holz", kLongIndustry};
  form->DoButtonEvent(brIndustries);
  EXPECT_EQ(form->Frame(TfrmJW::fraPage)->ItemCount(), 4);
  EXPECT_EQ(form->Frame(TfrmJW::fraPage2), nullptr);

  // 3 + 4 lines are too many for one page.
  form->EntryRec().Industries = {"Baustoffe", "Fliesen", "Holz"};
  form->EntryRec().Searchwords = {"Beton", "Kies", "Sand", kLongIndustry};
  form->DoButtonEvent(brIndustries);
  EXPECT_EQ(form->Frame(TfrmJW::fraPage2), nullptr);

  // Four industries stand alone as soon as the entry is loaded.
  auto many = Open(jwtest::kManyLines);
  EXPECT_TRUE(qobject_cast<TfraJWIndustries*>(many->Frame(TfrmJW::fraPage)));
  EXPECT_EQ(many->Frame(TfrmJW::fraPage2), nullptr);
}

namespace {

QImage Render(QWidget* AWidget) {
  QImage image(AWidget->size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  AWidget->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
  return image;
}

// Pixels the frame's title paints in the rows above the frame's top edge.
int TitlePixelsAboveTheFrame(QWidget* AForm, TJWFrame* AFrame) {
  const QImage with = Render(AForm);
  AFrame->Title()->hide();
  const QImage without = Render(AForm);
  AFrame->Title()->show();
  const QRect title = AFrame->Title()->geometry();
  int painted = 0;
  for (int y = title.top(); y < AFrame->y(); ++y)
    for (int x = title.left(); x <= title.right(); ++x)
      painted += with.pixel(x, y) != without.pixel(x, y);
  return painted;
}

}  // namespace

// The page titles stand at top -3 of their header, above the frame's top edge, and are drawn
// whole there: the tops of capitals and the umlaut dots are not cut off.
TEST_F(ListPagesInWindow, PageTitlesAreDrawnWholeAboveTheFrameEdge) {
  auto form = Open();
  auto check = [&](TJWFrame* AFrame, QPoint AInHeader, const char* AName) {
    SCOPED_TRACE(AName);
    ASSERT_NE(AFrame, nullptr);
    QLabel* title = AFrame->Title();
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->parentWidget(), form.get());
    EXPECT_EQ(title->pos(), AFrame->pos() + QPoint(1, 0) + AInHeader);
    EXPECT_TRUE(title->isVisibleTo(form.get()));
    EXPECT_GT(TitlePixelsAboveTheFrame(form.get(), AFrame), 0);
  };
  // Industries with the search words moved under them: each title follows its own frame.
  check(form->Frame(TfrmJW::fraPage), {10, -3}, "industries");
  check(form->Frame(TfrmJW::fraPage2), {10, -3}, "search words");

  form->DoButtonEvent(brOfficeHours);
  check(form->Frame(TfrmJW::fraPage), {10, -3}, "office hours");
  EXPECT_EQ(LabelText(form->Frame(TfrmJW::fraPage)->Title()),
            "Gesch\xE4"
            "ftszeiten");
  form->DoButtonEvent(brCardAcceptance);
  check(form->Frame(TfrmJW::fraPage), {9, -3}, "cards");
  // The titles go with their frames.
  EXPECT_EQ(form->findChildren<QLabel*>("lblTitle", Qt::FindDirectChildrenOnly).size(), 1);
  EXPECT_EQ(form->findChildren<QLabel*>("Label2", Qt::FindDirectChildrenOnly).size(), 0);

  // A hidden panel hides its title: industries without lines keep theirs hidden.
  form->EntryRec().Industries.clear();
  form->DoButtonEvent(brIndustries);
  EXPECT_FALSE(form->Frame(TfrmJW::fraPage)->Title()->isVisibleTo(form.get()));
}
