// The Qt shell: the real window driven by mouse and keys, its native controls, its placement,
// the thumbnail's agreement with the painted window, and the text conversion at the toolkit edge.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QKeyEvent>
#include <QListView>
#include <QMouseEvent>
#include <QPointer>
#include <QSettings>
#include <algorithm>

#include "../viewer-core/CoreFixture.h"
#include "store/JWError.h"
#include "viewer/core/JW2Form.h"
#include "viewer/core/JWEListFrame.h"
#include "viewer/core/ufraJWBranchesV2.h"
#include "viewer/core/ufraJWCardAcceptance.h"
#include "viewer/core/ufraJWNavigation.h"
#include "viewer/qt/JWCodePage.h"
#include "viewer/qt/JWQtPainter.h"
#include "viewer/qt/JWQtSettings.h"
#include "viewer/qt/JWQtShell.h"
#include "viewer/qt/JWQtWindow.h"

using namespace jw;
using namespace jwtest;

namespace {

// One QApplication for every test, created the way the library creates its own.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { EnsureViewerApplication(); }
  void TearDown() override {
    CloseViewerWindows();
    ReleaseViewerApplication();
  }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

void SendMouse(QWidget* AWidget, QPoint AAt, bool ADouble = false) {
  const QEvent::Type types[] = {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease};
  for (int i = 0; i < (ADouble ? 4 : 2); ++i) {
    const bool press = types[i] != QEvent::MouseButtonRelease;
    QMouseEvent event(types[i], QPointF(AAt), AWidget->mapToGlobal(QPointF(AAt)), Qt::LeftButton,
                      press ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(AWidget, &event);
  }
  QCoreApplication::processEvents();
}

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

class ShellTest : public ::testing::Test {
 protected:
  // A shown window of entry AId; it destroys itself when closed.
  QPointer<TJWQtWindow> Show(uint32_t AId, const std::string& AKey = "") {
    auto form = std::make_unique<TfrmJW>(QtMetrics());
    form->SetDataPath(Data->Path());
    form->OpenEntry(int32_t(AId));
    form->SettingsKey = AKey;
    QPointer<TJWQtWindow> window = new TJWQtWindow(std::move(form), AKey);
    window->show();
    QCoreApplication::processEvents();
    return window;
  }
  static TfrmJW& Form(TJWQtWindow* AWindow) { return static_cast<TfrmJW&>(AWindow->Model()); }
  static void SetUpTestSuite() { Data = new TSampleDir(); }
  static void TearDownTestSuite() { delete Data; }

  static constexpr uint32_t kFirm = TSampleDir::kChain;
  static TSampleDir* Data;
};
TSampleDir* ShellTest::Data = nullptr;

TEST_F(ShellTest, ClickingANavigationButtonChangesThePageAndItsNativeList) {
  QPointer<TJWQtWindow> window = Show(kFirm);
  TfrmJW& form = Form(window);
  auto* industries = dynamic_cast<TJWListFrame*>(form.Frame(TfrmJW::fraPage));
  ASSERT_NE(industries, nullptr);
  QPointer<QListView> list = qobject_cast<QListView*>(window->Control(industries->ListId()));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->model()->rowCount(), 3);  // three industries
  EXPECT_EQ(list->geometry(), QRect(398 + 8, 171 + 16, 220 - 8, 45));

  const auto& panels = form.Navigation()->Panels();
  const auto cards = std::find_if(panels.begin(), panels.end(), [](const auto& APanel) {
    return APanel.Button == brCardAcceptance;
  });
  ASSERT_NE(cards, panels.end());
  const TJWRect bar = form.Navigation()->Bounds;
  SendMouse(window, QPoint(bar.Left + 3, bar.Top + cards->Rect.Top + 3));
  EXPECT_NE(dynamic_cast<TfraJWCardAcceptance*>(form.Frame(TfrmJW::fraPage)), nullptr);
  EXPECT_TRUE(list.isNull());  // the list's slot is gone, and its control with it
  window->close();
}

TEST_F(ShellTest, DoubleClickOnABranchOpensASecondWindowBesideTheFirst) {
  QPointer<TJWQtWindow> window = Show(kFirm);
  Form(window).DoButtonEvent(brBranches);
  window->Sync();
  auto* page = static_cast<TfraJWBranchesV2*>(Form(window).Frame(TfrmJW::fraPage));
  auto* list = qobject_cast<QListView*>(window->Control(page->ListId()));
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->model()->rowCount(), 14);
  const QRect rowRect = list->visualRect(list->model()->index(1, 0));
  SendMouse(list->viewport(), rowRect.center(), true);
  const auto children = window->findChildren<TJWQtWindow*>(QString(), Qt::FindDirectChildrenOnly);
  ASSERT_EQ(children.size(), 1);
  EXPECT_EQ(Form(children[0]).EntryNumber(), int32_t(page->Branches()[1]->BranchId));
  EXPECT_EQ(children[0]->pos(), window->pos() + QPoint(10, 10));
  EXPECT_TRUE(children[0]->isVisible());

  // The sort box is the page's own: choosing in it sorts the page.
  auto* box = qobject_cast<QComboBox*>(window->Control(page->OrderBoxId()));
  ASSERT_NE(box, nullptr);
  box->setCurrentIndex(boFirm);
  EXPECT_EQ(page->OrderIndex(), boFirm);
  window->close();
}

TEST_F(ShellTest, EscapeClosesTheWindowAndDestroysIt) {
  // A host window the platform cannot adopt is ignored.
  TJWQtWindow::SetHostWindow(0x1234);
  QPointer<TJWQtWindow> window = Show(kFirm);
  TJWQtWindow::SetHostWindow(0);
  ASSERT_TRUE(window->isVisible());
  QWidget* target = window->focusWidget() ? window->focusWidget() : window.data();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &press);
  QCoreApplication::processEvents();
  ASSERT_FALSE(!window.isNull() && window->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

TEST_F(ShellTest, PlacementIsWrittenOnCloseAndReadOnShow) {
  ConfigHome home;
  const std::string key = "Software\\Test\\Viewer";
  {
    QPointer<TJWQtWindow> window = Show(kFirm, key);
    window->move(120, 90);
    window->close();
  }
  EXPECT_EQ(PlacementLocation(key), home.Path() + "/Software/Test/Viewer.ini");
  EXPECT_EQ(PlacementLocation("..\\..\\etc\\passwd"), home.Path() + "/etc/passwd.ini");
  QSettings ini(PlacementLocation(key), QSettings::IniFormat);
  EXPECT_EQ(ini.value("FrmJW2.2/m").toString(), "0");
  EXPECT_EQ(ini.value("FrmJW2.2/x").toString(), "120");
  EXPECT_EQ(ini.value("FrmJW2.2/y").toString(), "90");
  QPointer<TJWQtWindow> again = Show(kFirm, key);
  EXPECT_EQ(again->pos(), QPoint(120, 90));
  EXPECT_EQ(again->size(), QSize(705, 460));
  again->close();
  // A window without a key stores nothing.
  QPointer<TJWQtWindow> plain = Show(kFirm);
  plain->close();
  EXPECT_EQ(QDir(home.Path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
            QStringList{"Software"});
}

TEST_F(ShellTest, ThumbnailPaintsWhatTheWindowShowsOutsideItsNativeControls) {
  QPointer<TJWQtWindow> window = Show(kFirm);
  const QImage shown = window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  const QImage shot = RenderEntrySnapshot(Data->Path(), kFirm);
  ASSERT_EQ(shot.size(), QSize(705, 460));
  ASSERT_EQ(shown.size(), shot.size());
  EXPECT_EQ(shot.pixel(2, 2), 0xFF20A041);  // the template's picture, outside all frames
  const TJWDisplayList list = window->Model().Paint(*QtMetrics());
  int differing = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) {
      bool inControl = false;
      for (const TJWControlSlot& slot : list.Controls) inControl |= slot.Rect.Contains(x, y);
      if (!inControl && shown.pixel(x, y) != shot.pixel(x, y)) ++differing;
    }
  EXPECT_EQ(differing, 0);
  window->close();
  EXPECT_THROW(RenderEntrySnapshot(Data->Path(), 4711), EJWError);
}

TEST(QtPainter, LayoutFontsResolveToLiberationAndTestRenderingDrawsWithoutAntialiasing) {
  for (const char* family : {"Arial", "MS Sans Serif", "Tahoma"})
    EXPECT_EQ(QFontInfo(ToQFont({family, 12})).family(), "Liberation Sans") << family;
  TJWDisplayList list;
  list.Items.emplace_back(TJWFillRect{{0, 0, 40, 20}, 0xFFFFFF});
  list.Items.emplace_back(TJWText{2, 2, {0, 0, 40, 20}, {"Arial", 12}, 0x000000, "Wg\xE4"});
  const std::vector<uint32_t> pixels = RenderDisplayListBGRA(list, 40, 20, 0x808080);
  ASSERT_EQ(pixels.size(), 800u);
  size_t black = 0;
  for (const uint32_t pixel : pixels) {
    EXPECT_TRUE(pixel == 0xFFFFFFFF || pixel == 0xFF000000) << std::hex << pixel;
    black += pixel == 0xFF000000;
  }
  EXPECT_GT(black, 20u);
  EXPECT_FALSE(TestRendering());
}

TEST(CodePage, EveryByteSurvivesARoundTripAndOthersBecomeQuestionMarks) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += char(i);
  ASSERT_EQ(ToQString(all).size(), 256);
  EXPECT_EQ(FromQString(ToQString(all)), all);
  EXPECT_EQ(ToQString("\x80"), QString(QChar(0x20AC)));
  EXPECT_EQ(ToQString("\x84\x93"), QString::fromUtf8("\xE2\x80\x9E\xE2\x80\x9C"));
  EXPECT_EQ(FromQString(QString::fromUtf8("a\xE4\xB8\xADz")), "a?z");
  EXPECT_EQ(FromQString(QString::fromUtf8("a\xF0\x9F\x98\x80z")), "a?z");  // surrogate pair
}

}  // namespace
