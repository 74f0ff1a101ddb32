// The headline, address, extra-info and logo frames as a user sees them.
#include <gtest/gtest.h>

#include <QFontMetrics>

#include "EntryAddress.h"
#include "ViewerTestEnv.h"
#include "store/JWPortal.h"
#include "viewer/ufraJWAddress.h"
#include "viewer/ufraJWEnhInfo.h"
#include "viewer/ufraJWHeadline.h"
#include "viewer/ufraJWLogo.h"

using namespace jw;
using jwtest::Child;
using jwtest::Text;

namespace {

QRect Geo(const QWidget* AParent, const char* AName) {
  return Child(AParent, AName)->geometry();
}
bool Shown(const QWidget* AParent, const char* AName) {
  return Child(AParent, AName)->isVisibleTo(AParent);
}

}  // namespace

TEST(Headline, NameAndSloganTakeTheLinesTheirTextsAsk) {
  TJW2DataRec rec;
  rec.NamePart1 = "M\xFCller";
  rec.NamePart2 = " GmbH";
  rec.Slogan = "Alles aus einer Hand";
  TfraJWHeadline frame;
  frame.SetData(&rec);
  const int line = QFontMetrics(Child(&frame, "lblFirma")->font()).height();
  // Without a pattern the main parts join with single blanks on one line; the slogan follows.
  EXPECT_EQ(Text(&frame, "lblFirma"), "M\xFCller GmbH");
  EXPECT_EQ(Text(&frame, "lblFirma2"), "");
  EXPECT_EQ(Geo(&frame, "lblFirma2").height(), 0);
  EXPECT_EQ(Geo(&frame, "lblSlogan").top(), Geo(&frame, "lblFirma").bottom() + 1);
  EXPECT_EQ(Geo(&frame, "lblFirma").height(), line);
  EXPECT_EQ(frame.size(), QSize(472, 61));

  // A long name gets two lines of height.
  rec.NamePart1 = std::string(20, 'W') + " " + std::string(20, 'W') + " " + std::string(20, 'W');
  rec.NamePart2.clear();
  frame.SetData(&rec);
  EXPECT_EQ(Geo(&frame, "lblFirma").height(), 2 * line);

  // The line mark splits the name and moves the slogan down, docked to the frame's bottom edge.
  rec.NamePart1 = "M\xFCller";
  rec.NamePart2 = "Bau GmbH";
  rec.NameFormat = "\\1<br>\\2";
  rec.Slogan = "Bauen";
  frame.SetData(&rec);
  EXPECT_EQ(Text(&frame, "lblFirma"), "M\xFCller");
  EXPECT_EQ(Text(&frame, "lblFirma2"), "Bau GmbH");
  EXPECT_EQ(Geo(&frame, "lblFirma2").top(), Geo(&frame, "lblFirma").bottom() + 1);
  EXPECT_GT(Geo(&frame, "lblFirma2").height(), 0);
  EXPECT_EQ(Geo(&frame, "lblSlogan").bottom(), 60);
  EXPECT_TRUE(Child(&frame, "lblSlogan")->font().bold());
  // Too wide for one bold line beside two name lines: regular weight, for this entry only.
  rec.Slogan = std::string(60, 'W');
  frame.SetData(&rec);
  EXPECT_FALSE(Child(&frame, "lblSlogan")->font().bold());

  // A slogan with a line mark in any case shows two lines; the former second name line is gone.
  rec.NameFormat.clear();
  rec.NamePart2.clear();
  rec.Slogan = "Erste Zeile<BR>Zweite Zeile";
  frame.SetData(&rec);
  EXPECT_EQ(Text(&frame, "lblFirma2"), "");
  EXPECT_TRUE(Child(&frame, "lblSlogan")->font().bold());
  EXPECT_EQ(Text(&frame, "lblSlogan"), "Erste Zeile\nZweite Zeile");
  EXPECT_GE(Geo(&frame, "lblSlogan").height(),
            2 * QFontMetrics(Child(&frame, "lblSlogan")->font()).lineSpacing() - 1);

  frame.SetData(nullptr);
  EXPECT_EQ(Text(&frame, "lblFirma") + Text(&frame, "lblFirma2") + Text(&frame, "lblSlogan"), "");
}

namespace {

TJW2DataRec AddressRec() {
  TJW2DataRec rec;
  jwtest::FillAddress(rec);
  rec.StreetNo = "36";
  rec.MobilePrefix = "0171";
  rec.MobileNumber = "998877";
  rec.EMail = "info@firma.example";
  rec.Url = "www.firma.example";
  return rec;
}

}  // namespace

TEST(Address, RowsShowTheAddressAndHideMissingNumbers) {
  TJW2DataRec rec = AddressRec();
  TfraJWAddress frame;
  frame.SetData(&rec);
  EXPECT_EQ(Text(&frame, "lblStrasse"),
            "Hauptstra\xDF"
            "e 36a");
  EXPECT_EQ(Text(&frame, "lblPLZOrt"), "50667 K\xF6ln");
  EXPECT_TRUE(Shown(&frame, "lblTelefon"));
  EXPECT_FALSE(Shown(&frame, "lblTelefax"));
  EXPECT_FALSE(Shown(&frame, "lblCTelefax"));
  // The fax row collapses in both columns: mobile follows phone, each caption beside its value.
  EXPECT_EQ(Geo(&frame, "lblMobil").top(), Geo(&frame, "lblTelefon").bottom() + 1);
  for (auto [caption, value] : {std::pair{"lblCTelefon", "lblTelefon"},
                                {"lblCMobil", "lblMobil"},
                                {"lblCEMail", "lblEMail"},
                                {"lblCUrl", "lblUrl"}})
    EXPECT_EQ(Geo(&frame, caption).top(), Geo(&frame, value).top()) << caption;
  EXPECT_EQ(Text(&frame, "lblCTelefon"), "Telefon:");
  // Rows of 15 pixels whatever the font: street, town, gap, then phone, mobile, gap, e-mail, web.
  EXPECT_EQ(Geo(&frame, "lblPLZOrt").top(), 15);
  EXPECT_EQ(frame.size(), QSize(270, 2 * 15 + 7 + 1 + 4 * 15 + 7));

  // Adding the fax number makes the block one row taller.
  const int height = frame.height();
  rec.FaxPrefix = "0221";
  rec.FaxNumber = "123457";
  frame.UpdateContent();
  EXPECT_TRUE(Shown(&frame, "lblTelefax"));
  EXPECT_EQ(frame.height(), height + Geo(&frame, "lblTelefax").height());
  // The frame ends one pixel under the last row, the web address.
  EXPECT_EQ(frame.height(), Child(&frame, "pnlPanel")->y() + Geo(&frame, "lblUrl").bottom() + 2);
}

TEST(Address, EmptyEntryOrNoDataHidesEveryRow) {
  TfraJWAddress frame;
  TJW2DataRec empty;
  for (TJW2DataRec* rec : {static_cast<TJW2DataRec*>(nullptr), &empty}) {
    frame.SetData(rec);
    for (const char* name : {"lblStrasse", "lblPLZOrt", "lblTelefon", "lblCTelefon", "lblMobil",
                             "lblEMail", "lblUrl", "lblCUrl", "pnlLineUrl", "pnlLineEMail"})
      EXPECT_FALSE(Shown(&frame, name)) << name << (rec ? " of an empty entry" : " without data");
  }
}

TEST(Address, LinksOpenMailAndBrowserWithTheStoredTexts) {
  std::vector<std::string> opened;
  TfraJWAddress::SetLinkOpener([&](const std::string& ALink) { opened.push_back(ALink); });
  TJW2DataRec rec = AddressRec();
  rec.Url.clear();
  rec.PortalPage = "f47";
  TfraJWAddress frame;
  frame.SetData(&rec);
  EXPECT_EQ(Text(&frame, "lblUrl"), std::string(PortalBaseAddress) + "f47");
  frame.lblUrlClick();
  frame.lblEMailClick();
  rec.Url = "www.firma.example/";
  frame.lblUrlClick();
  TfraJWAddress::SetLinkOpener(nullptr);
  EXPECT_EQ(opened,
            (std::vector<std::string>{"http://" + std::string(PortalBaseAddress) + "f47",
                                      "mailto:info@firma.example", "http://www.firma.example/"}));
}

TEST(Address, LongWebAddressIsCutWithHintAndMatchingUnderline) {
  TJW2DataRec rec = AddressRec();
  rec.Url = "www.ein-sehr-langer-name-fuer-eine-firma-mit-vielen-worten.example/startseite.html";
  TfraJWAddress frame;
  frame.SetData(&rec);
  auto* url = Child<QLabel>(&frame, "lblUrl");
  const std::string shown = Text(&frame, "lblUrl");
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown.substr(shown.size() - 3), "...");
  EXPECT_EQ(FromQString(url->toolTip()), rec.Url);
  const int width = QFontMetrics(url->font()).horizontalAdvance(url->text());
  EXPECT_LE(width, 197);
  EXPECT_EQ(Geo(&frame, "pnlLineUrl").width(), width);
  EXPECT_EQ(Geo(&frame, "pnlLineUrl").top(), Geo(&frame, "lblUrl").bottom() + 1);
  EXPECT_EQ(Geo(&frame, "pnlLineUrl").height(), 1);
  // A short address is shown whole.
  EXPECT_EQ(Text(&frame, "lblEMail"), "info@firma.example");
}

TEST(EnhInfo, CaptionValueLinesAlignTheValuesAfterTheWidestCaption) {
  TJW2DataRec rec;
  rec.EnhInfoKind = 1;
  rec.EnhInfo = {"Parkpl\xE4tze\tja\tignoriert", "Anfahrt"};
  TfraJWEnhInfo frame;
  frame.SetData(&rec);
  auto* pnl1 = Child<TJWPanel>(&frame, "pnlEE1");
  EXPECT_EQ(pnl1->Caption(), "Parkpl\xE4tze");
  EXPECT_EQ(Text(&frame, "lblEE1"), "ja");
  EXPECT_TRUE(Shown(&frame, "pnlEE2"));
  EXPECT_EQ(Child<TJWPanel>(&frame, "pnlEE2")->Caption(), "Anfahrt");
  EXPECT_FALSE(Child(&frame, "lblEE2")->isVisibleTo(&frame));
  const int widest =
      QFontMetrics(Child(&frame, "lblEE1")->font()).horizontalAdvance(ToQString("Parkpl\xE4tze"));
  EXPECT_EQ(Geo(&frame, "lblEE1").left(), widest + 5);
  EXPECT_EQ(Geo(&frame, "lblEE1").right(), 269);
  EXPECT_FALSE(Shown(&frame, "pnlEE3"));
  EXPECT_FALSE(Shown(&frame, "lblPlainText"));
  EXPECT_EQ(Geo(&frame, "pnlEE2").top(), 17);
}

TEST(EnhInfo, AtMostSevenLinesUnknownKindsShowNothingFreeTextShowsAllLines) {
  TJW2DataRec rec;
  rec.EnhInfoKind = 1;
  for (int i = 1; i <= 9; ++i) rec.EnhInfo.push_back("Zeile " + std::to_string(i) + "\tWert");
  TfraJWEnhInfo frame;
  frame.SetData(&rec);
  EXPECT_TRUE(Shown(&frame, "pnlEE7"));
  EXPECT_EQ(Child<TJWPanel>(&frame, "pnlEE7")->Caption(), "Zeile 7");
  EXPECT_EQ(frame.findChildren<TJWPanel*>().size(), 7);
  rec.EnhInfoKind = 2;
  frame.UpdateContent();
  for (QWidget* w : frame.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    EXPECT_FALSE(w->isVisibleTo(&frame)) << w->objectName().toStdString();

  rec.EnhInfoKind = 0;
  rec.EnhInfo = {"Erste Zeile", "Zweite Zeile"};
  frame.UpdateContent();
  EXPECT_FALSE(Shown(&frame, "pnlEE1"));
  EXPECT_TRUE(Shown(&frame, "lblPlainText"));
  EXPECT_EQ(Text(&frame, "lblPlainText"), "Erste Zeile\nZweite Zeile\n");
  rec.EnhInfo.clear();
  frame.UpdateContent();
  EXPECT_FALSE(Shown(&frame, "lblPlainText"));
}

TEST(Logo, PictureIsCopiedAndCutToTheFrame) {
  TJW2DataRec rec;
  rec.Logo = jwtest::Solid(200, 80, 0xFF336699);
  TfraJWLogo frame;
  frame.SetData(&rec);
  rec.Logo.reset();  // the frame keeps its own copy
  auto* img = Child<QLabel>(&frame, "imgLogo");
  EXPECT_EQ(img->size(), QSize(200, 80));
  EXPECT_EQ(img->pixmap().toImage().pixel(5, 5), 0xFF336699u);
  EXPECT_EQ(frame.size(), QSize(133, 57));
  frame.SetData(&rec);
  EXPECT_TRUE(img->pixmap().isNull());
}
