// The viewer window: loading an entry, frame placement, page switching, host routines, branch
// offices in windows of their own, closing and remembering its placement.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QSettings>

#include "ViewerDataDir.h"
#include "ViewerTestEnv.h"
#include "store/JWError.h"
#include "viewer/JW2Form.h"
#include "viewer/JWEPageFrames.h"
#include "viewer/JWFormPlacement.h"
#include "viewer/JWViewerApp.h"
#include "viewer/ufraJWBranchesV2.h"
#include "viewer/ufraJWNavigation.h"

using namespace jw;
using namespace jwtest;

namespace {

class FormTest : public ::testing::Test {
 protected:
  std::unique_ptr<TfrmJW> Open(uint32_t AId) { return OpenForm(Data.Path(), AId); }
  static QPoint At(const TfrmJW& AForm, TfrmJW::TFrameSlot ASlot) {
    return AForm.Frame(ASlot)->pos();
  }

  TViewerDataDir Data;
};

}  // namespace

TEST_F(FormTest, LoadingPlacesEveryFrameOverTheTemplate) {
  auto form = Open(kFirm);
  // The line mark of the name becomes a blank; the blank before each name part stays.
  EXPECT_EQ(FromQString(form->windowTitle()), "M\xFCller  GmbH");
  EXPECT_EQ(form->size(), QSize(705, 460));
  EXPECT_EQ(At(*form, TfrmJW::fraHeadline), QPoint(97, 100));
  EXPECT_EQ(At(*form, TfrmJW::fraAddress), QPoint(100, 163));
  EXPECT_EQ(At(*form, TfrmJW::fraEnhInfo), QPoint(100, 289));
  EXPECT_EQ(At(*form, TfrmJW::fraPage), QPoint(398, 171));
  EXPECT_EQ(At(*form, TfrmJW::fraLogo), QPoint(398, 344));
  EXPECT_TRUE(form->Frame(TfrmJW::fraLogo)->isVisibleTo(form.get()));
  // The entry asks for template 0, which means 1 (the default template has another colour).
  EXPECT_EQ(form->EntryRec().TemplateId, 1);
  EXPECT_EQ(form->Color(), QColor(0xFF, 0xF0, 0xE0));
  EXPECT_EQ(form->Frame(TfrmJW::fraAddress)->Color(), form->Color());
  // Industries (with the search words), cards, office hours, location, branches and End: six
  // buttons still fit the bar's upper place.
  EXPECT_EQ(form->Navigation()->ItemCount(), 6);
  EXPECT_EQ(At(*form, TfrmJW::fraNavigation), QPoint(kNavigationLeft, 71));
  EXPECT_EQ(form->NavLeft, kNavigationLeft);
  EXPECT_EQ(form->Navigation()->LabelLeft(), 30);

  // A seventh button moves the bar up.
  form->EntryRec().BusinessTypes = "Handel";
  form->RefreshFrames();
  EXPECT_EQ(form->Navigation()->ItemCount(), 7);
  EXPECT_EQ(At(*form, TfrmJW::fraNavigation).y(), 51);
  EXPECT_EQ(form->Navigation()->height(), 6 * 16 + 20);
}

TEST_F(FormTest, ButtonsReplaceThePageAndTheLogoGivesWayToTallPages) {
  auto form = Open(kFirm);
  form->DoButtonEvent(brCardAcceptance);
  EXPECT_TRUE(qobject_cast<TfraJWCardAcceptance*>(form->Frame(TfrmJW::fraPage)));
  EXPECT_EQ(form->Frame(TfrmJW::fraPage2), nullptr);
  EXPECT_TRUE(form->Frame(TfrmJW::fraLogo)->isVisibleTo(form.get()));

  form->DoButtonEvent(brBranches);
  auto* branches = qobject_cast<TfraJWBranchesV2*>(form->Frame(TfrmJW::fraPage));
  ASSERT_NE(branches, nullptr);
  EXPECT_EQ(branches->pos(), QPoint(100, 163));
  EXPECT_FALSE(form->Frame(TfrmJW::fraLogo)->isVisibleTo(form.get()));
  // The branch page covers the address block.
  const QPoint inAddress = form->Frame(TfrmJW::fraAddress)->geometry().center();
  EXPECT_EQ(form->childAt(inAddress)->window(), form.get());
  EXPECT_TRUE(branches->isAncestorOf(form->childAt(inAddress)) ||
              form->childAt(inAddress) == branches);

  form->DoButtonEvent(brIndustries);
  EXPECT_TRUE(form->Frame(TfrmJW::fraLogo)->isVisibleTo(form.get()));
  // Frames created later lie under the earlier ones; the bar stays on top.
  const QPoint inBar = form->Frame(TfrmJW::fraNavigation)->geometry().topLeft() + QPoint(5, 5);
  EXPECT_TRUE(form->Frame(TfrmJW::fraNavigation)->isAncestorOf(form->childAt(inBar)));
}

TEST_F(FormTest, FailuresCarryTheirMessages) {
  auto form = Open(kFirm);
  EXPECT_EQ(ErrorOf([&] { form->DoButtonEvent(TJWButtonRec(8)); }), "Event \"8\" is unknown!");
  EXPECT_EQ(ErrorOf([&] { form->CreateFrame(&QWidget::staticMetaObject, 0, 0); }),
            "CreateFrame can create only TJWFrame!");
  EXPECT_EQ(ErrorOf([&] { form->OpenEntry(4711); }), "#4711 JW Eintrag nicht gefunden!");
}

TEST_F(FormTest, LocationButtonHandsTheHostAllTextFields) {
  auto form = Open(kFirm);
  std::vector<TJWPointOfPlaceRec> received;
  form->OnPointOfPlace = [&](const TJWPointOfPlaceRec& ARec) { received.push_back(ARec); };
  TJWFrame* page = form->Frame(TfrmJW::fraPage);
  form->EntryRec().ExtraText1 = std::string(300, 'x');
  form->DoButtonEvent(brPointOfPlace);
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(form->Frame(TfrmJW::fraPage), page);  // the page stays
  const TJWPointOfPlaceRec& rec = received[0];
  EXPECT_EQ(ShortStringText(rec.Id), "17");
  EXPECT_EQ(ShortStringText(rec.ExtraText1), std::string(255, 'x'));
  EXPECT_EQ(ShortStringText(rec.NamePart1), "M\xFCller");
  EXPECT_EQ(ShortStringText(rec.NamePart2), "GmbH");
  EXPECT_EQ(ShortStringText(rec.NameFormat), "\\1<br>\\2");
  EXPECT_EQ(ShortStringText(rec.StreetNo), "36");
  EXPECT_EQ(ShortStringText(rec.Url), "www.mueller.example");
  EXPECT_EQ(ShortStringText(rec.PosX), "06570000");
  EXPECT_EQ(ShortStringText(rec.PosY), "50560000");
  EXPECT_EQ(rec.Code5.Length, 0);
  // Every field is a length byte and 255 bytes, in the record's declared order.
  EXPECT_EQ(reinterpret_cast<const char*>(&rec.PosY) - reinterpret_cast<const char*>(&rec),
            30 * 256);
  // Without a host routine the button does nothing.
  form->OnPointOfPlace = nullptr;
  form->DoButtonEvent(brPointOfPlace);
  EXPECT_EQ(received.size(), 1u);
}

TEST_F(FormTest, DoubleClickedBranchOfficeOpensInAWindowOfItsOwn) {
  auto form = Open(kFirm);
  form->SettingsKey = "";
  form->StartEast = 6.9;
  form->DoButtonEvent(brBranches);
  auto* page = qobject_cast<TfraJWBranchesV2*>(form->Frame(TfrmJW::fraPage));
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(page->Branches().size(), 2u);
  EXPECT_EQ(page->StartEast, 6.9);
  auto windows = [&] { return form->findChildren<TfrmJW*>(QString(), Qt::FindDirectChildrenOnly); };

  // Without a selection a double click does nothing.
  page->vlbUEDblClick();
  EXPECT_TRUE(windows().empty());

  const size_t row = page->Branches()[0]->BranchId == kBranch ? 0 : 1;
  const QModelIndex index = page->vlbUE->model()->index(int(row), 0);
  page->vlbUE->setCurrentIndex(index);
  emit page->vlbUE->doubleClicked(index);
  ASSERT_EQ(windows().size(), 1);
  TfrmJW* child = windows()[0];
  EXPECT_EQ(FromQString(child->windowTitle()), "M\xFCller Filiale");
  EXPECT_EQ(child->pos(), form->pos() + QPoint(10, 10));
  EXPECT_TRUE(child->isVisible());
  EXPECT_EQ(child->StartEast, 6.9);
  EXPECT_FALSE(child->Navigation()->ForceLocation());

  // A branch whose entry is missing opens nothing: the window says why, and the double click leaves
  // this window as it is.
  TJWBranchRec missing;
  missing.BranchId = 4711;
  EXPECT_EQ(ErrorOf([&] { form->OpenBranchEntry(missing); }),
            "Error on opening!\n\r#4711 JW Eintrag nicht gefunden!");
  const_cast<TJWBranchRec*>(page->Branches()[row])->BranchId = 4711;
  emit page->vlbUE->doubleClicked(index);
  EXPECT_EQ(windows().size(), 1);
  EXPECT_EQ(form->Frame(TfrmJW::fraPage), page);
}

TEST_F(FormTest, EscapeClosesTheWindowAndDestroysIt) {
  QPointer<TfrmJW> form = Open(kFirm).release();
  form->SetFreeOnClose(true);
  form->show();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(form->focusWidget() ? form->focusWidget() : form.data(), &press);
  QCoreApplication::sendEvent(form->focusWidget() ? form->focusWidget() : form.data(), &release);
  QCoreApplication::processEvents();
  ASSERT_FALSE(form.isNull() ? false : form->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(form.isNull());
}

namespace {

// Points the user's configuration directory at a temporary one for one test.
class ConfigHome {
 public:
  ConfigHome() : FOld(qgetenv(kName)), FHad(qEnvironmentVariableIsSet(kName)) {
    qputenv(kName, QFile::encodeName(Path()));
  }
  ~ConfigHome() { FHad ? qputenv(kName, FOld) : qunsetenv(kName); }
  QString Path() const { return QFile::decodeName(FDir.Path().c_str()); }

 private:
  static constexpr const char* kName = "XDG_CONFIG_HOME";
  jw::test::TJWTempDir FDir;
  QByteArray FOld;
  bool FHad;
};

}  // namespace

TEST_F(FormTest, PlacementIsWrittenOnCloseAndReadOnShow) {
  ConfigHome home;
  const std::string key = "Software\\Test\\Viewer";
  QRect frame;
  {
    auto form = Open(kFirm);
    form->SettingsKey = key;
    form->show();
    form->move(120, 90);
    frame = form->frameGeometry();
    form->close();
  }
  QSettings ini(PlacementLocation(key), QSettings::IniFormat);
  EXPECT_TRUE(PlacementLocation(key).endsWith("/Software/Test/Viewer.ini"));
  ini.beginGroup("FrmJW2.2");
  EXPECT_EQ(ini.value("m").toString(), "0");
  EXPECT_EQ(ini.value("x").toString(), "120");
  EXPECT_EQ(ini.value("y").toString(), "90");
  EXPECT_EQ(ini.value("w").toString(), QString::number(frame.width()));
  EXPECT_EQ(ini.value("h").toString(), QString::number(frame.height()));

  auto again = Open(kFirm);
  again->SettingsKey = key;
  again->show();
  EXPECT_EQ(again->pos(), QPoint(120, 90));
  EXPECT_EQ(again->size(), QSize(705, 460));
  again->close();

  // A window without a key stores nothing.
  auto plain = Open(kFirm);
  plain->show();
  const int designLeft = plain->pos().x();
  plain->close();
  EXPECT_EQ(QDir(home.Path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
            QStringList{"Software"});

  // A left edge of 0 is ignored, and a stored maximised state is restored.
  ini.setValue("x", "0");
  ini.setValue("m", "1");
  ini.sync();
  auto third = Open(kFirm);
  third->SettingsKey = key;
  third->show();
  EXPECT_EQ(third->pos().x(), designLeft);
  EXPECT_EQ(third->pos().y(), 90);
  EXPECT_TRUE(third->windowState() & Qt::WindowMaximized);
  third->hide();
}

TEST_F(FormTest, SnapshotShowsTheWindowAsLoaded) {
  const QImage shot = RenderEntrySnapshot(Data.Path(), kFirm);
  EXPECT_EQ(shot.size(), QSize(705, 460));
  EXPECT_EQ(shot.pixel(2, 2), kBackgroundPixel);  // the template's picture, outside all frames
  // The address block paints the window colour over the picture.
  EXPECT_EQ(shot.pixel(100 + 265, 163 + 2), QColor(0xFF, 0xF0, 0xE0).rgb());
  EXPECT_THROW(RenderEntrySnapshot(Data.Path(), 4711), EJWError);
}

TEST(Placement, KeyStaysInsideTheConfigurationDirectory) {
  ConfigHome home;
  const QString base = home.Path();
  EXPECT_EQ(PlacementLocation("..\\..\\etc\\passwd"), base + "/etc/passwd.ini");
  EXPECT_EQ(PlacementLocation("Firma/Programm"), base + "/Firma/Programm.ini");
  EXPECT_TRUE(PlacementLocation("\\..\\").startsWith(base + "/"));
}

TEST_F(FormTest, HostWindowThePlatformCannotAdoptIsIgnored) {
  TfrmJW::SetHostWindow(0x1234);
  auto form = Open(kFirm);
  form->show();
  EXPECT_TRUE(form->isVisible());
  form->hide();
  TfrmJW::SetHostWindow(0);
}
