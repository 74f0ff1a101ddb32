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

// One QApplication for every test, created the way the library creates its own, and a
// configuration directory of the tests' own.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(Home()));
    EnsureViewerApplication();
  }
  void TearDown() override {
    CloseViewerWindows();
    ReleaseViewerApplication();
  }
  static QString Home() {
    static jw::test::TJWTempDir dir;
    return QFile::decodeName(dir.Path().c_str());
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

class ShellTest : public TWithSample<> {
 protected:
  // A shown window of the chain's head office; it destroys itself when closed.
  static QPointer<TJWQtWindow> Show(const std::string& AKey = "") {
    auto form = Dir->Open(kFirm, QtMetrics());
    form->SettingsKey = AKey;
    QPointer<TJWQtWindow> window = new TJWQtWindow(std::move(form), AKey);
    window->show();
    QCoreApplication::processEvents();
    return window;
  }
  static TfrmJW& Form(TJWQtWindow* AWindow) { return static_cast<TfrmJW&>(AWindow->Model()); }

  static constexpr uint32_t kFirm = TSampleDir::kChain;
};

TEST_F(ShellTest, ClicksChangePagesAndOpenBranchesAndEscapeClosesTheWindow) {
  TJWQtWindow::SetHostWindow(0x1234);  // a host window the platform cannot adopt is ignored
  QPointer<TJWQtWindow> window = Show();
  TJWQtWindow::SetHostWindow(0);
  TfrmJW& form = Form(window);
  auto* industries = dynamic_cast<TJWListFrame*>(form.Frame(TfrmJW::fraPage));
  ASSERT_NE(industries, nullptr);
  QPointer<QListView> list = qobject_cast<QListView*>(window->Control(industries->ListId()));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->model()->rowCount(), 3);  // three industries
  EXPECT_EQ(list->geometry(), QRect(398 + 8, 171 + 16, 220 - 8, 45));
  const TJWRect bar = form.Navigation()->Bounds;
  const auto& cards = form.Navigation()->Panels()[3];
  SendMouse(window, QPoint(bar.Left + 3, bar.Top + cards.Rect.Top + 3));
  EXPECT_NE(dynamic_cast<TfraJWCardAcceptance*>(form.Frame(TfrmJW::fraPage)), nullptr);
  EXPECT_TRUE(list.isNull());  // the list's slot is gone, and its control with it

  // A double click on a branch opens a second window beside the first.
  form.DoButtonEvent(brBranches);
  window->Sync();
  auto* page = static_cast<TfraJWBranchesV2*>(form.Frame(TfrmJW::fraPage));
  auto* branches = qobject_cast<QListView*>(window->Control(page->ListId()));
  ASSERT_NE(branches, nullptr);
  ASSERT_EQ(branches->model()->rowCount(), 14);
  const QRect row = branches->visualRect(branches->model()->index(1, 0));
  SendMouse(branches->viewport(), row.center(), true);
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

  QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QCoreApplication::sendEvent(window->focusWidget() ? window->focusWidget() : window.data(),
                              &press);
  QCoreApplication::processEvents();
  ASSERT_FALSE(!window.isNull() && window->isVisible());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
}

TEST_F(ShellTest, PlacementIsWrittenOnCloseAndReadOnShow) {
  const std::string key = "Software\\Test\\Viewer";
  const QString home = QtEnvironment::Home();
  QPointer<TJWQtWindow> first = Show(key);
  first->move(120, 90);
  first->close();
  Show()->close();  // a window without a key stores nothing
  EXPECT_EQ(PlacementLocation(key), home + "/Software/Test/Viewer.ini");
  EXPECT_EQ(PlacementLocation("..\\..\\etc\\passwd"), home + "/etc/passwd.ini");
  QSettings ini(PlacementLocation(key), QSettings::IniFormat);
  EXPECT_EQ(ini.value("FrmJW2.2/m").toString() + ini.value("FrmJW2.2/x").toString() + " " +
                ini.value("FrmJW2.2/y").toString(),
            "0120 90");
  QPointer<TJWQtWindow> again = Show(key);
  EXPECT_EQ(again->pos(), QPoint(120, 90));
  EXPECT_EQ(again->size(), QSize(705, 460));
  again->close();
  EXPECT_EQ(QDir(home).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
            QStringList{"Software"});
}

TEST_F(ShellTest, ThumbnailPaintsWhatTheWindowShowsOutsideItsNativeControls) {
  QPointer<TJWQtWindow> window = Show();
  const QImage shown = window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  const QImage shot = RenderEntrySnapshot(Dir->Path(), kFirm);
  ASSERT_EQ(shot.size(), QSize(705, 460));
  ASSERT_EQ(shown.size(), shot.size());
  EXPECT_EQ(shot.pixel(2, 2), 0xFF20A041);  // the template's picture, outside all frames
  const TJWDisplayList list = window->Model().Paint(*QtMetrics());
  int differing = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) {
      bool inControl = false;
      for (const TJWControlSlot& slot : list.Controls) inControl |= slot.Rect.Contains(x, y);
      differing += !inControl && shown.pixel(x, y) != shot.pixel(x, y);
    }
  EXPECT_EQ(differing, 0);
  window->close();
  EXPECT_THROW(RenderEntrySnapshot(Dir->Path(), 4711), EJWError);
}

TEST(QtPainter, LayoutFontsResolveToLiberationAndTestRenderingDrawsWithoutAntialiasing) {
  for (const char* family : {"Arial", "MS Sans Serif", "Tahoma"})
    EXPECT_EQ(QFontInfo(ToQFont({family, 12})).family(), "Liberation Sans") << family;
  TJWDisplayList list;
  list.Items.emplace_back(TJWFillRect{{0, 0, 40, 20}, 0xFFFFFF});
  list.Items.emplace_back(TJWText{2, 2, {0, 0, 40, 20}, {"Arial", 12}, 0x000000, "Wg\xE4"});
  const std::vector<uint32_t> pixels = RenderDisplayListBGRA(list, 40, 20, 0x808080);
  ASSERT_EQ(pixels.size(), 800u);
  EXPECT_GT(std::count(pixels.begin(), pixels.end(), 0xFF000000), 20);
  EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0xFFFFFFFF) +
                std::count(pixels.begin(), pixels.end(), 0xFF000000),
            800);
  EXPECT_FALSE(TestRendering());
}

TEST(CodePage, EveryByteSurvivesARoundTripAndOthersBecomeQuestionMarks) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += char(i);
  ASSERT_EQ(ToQString(all).size(), 256);
  EXPECT_EQ(FromQString(ToQString(all)), all);
  EXPECT_EQ(ToQString("\x80\x84\x93"), QString::fromUtf8("\xE2\x82\xAC\xE2\x80\x9E\xE2\x80\x9C"));
  EXPECT_EQ(FromQString(QString::fromUtf8("a\xE4\xB8\xADz\xF0\x9F\x98\x80z")), "a?z?z");
}

}  // namespace
