// The Qt shell behind the library's viewer exports: the application the viewer needs, windows
// shown modally or modelessly, the thumbnail painted off screen.
#include <QApplication>
#include <QFont>
#include <QPointer>
#include <QThread>
#include <algorithm>
#include <cstdlib>

#include "store/JWError.h"
#include "viewer/core/JW2Form.h"
#include "viewer/core/JWThumbnail.h"
#include "viewer/core/JWViewerShell.h"
#include "viewer/core/ufraJWNavigation.h"
#include "viewer/qt/JWQtShell.h"
#include "viewer/qt/JWQtWindow.h"

namespace jw {

namespace {

// Not a smart pointer: the application must not be torn down by static destruction at process
// exit, when parts of Qt may already be gone; ReleaseViewerApplication ends it deliberately.
QApplication*& OwnApplication() {
  static QApplication* app = nullptr;
  return app;
}

bool HasDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform) return true;  // the user chose a platform; let Qt decide
  auto set = [](const char* AName) {
    const char* v = std::getenv(AName);
    return v && *v;
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

// Layout fonts name families of another platform; map them to metric-compatible or close ones.
void InstallFontSubstitutions() {
  QFont::insertSubstitutions("Arial", {"Liberation Sans", "Arimo", "Helvetica"});
  QFont::insertSubstitutions("Tahoma", {"Liberation Sans", "DejaVu Sans", "Helvetica"});
  QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "DejaVu Sans", "Helvetica"});
}

}  // namespace

void EnsureViewerApplication() {
  QCoreApplication* existing = QCoreApplication::instance();
  if (!existing) {
    if (!HasDisplay()) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "jwlib";
    static char* argv[] = {name, nullptr};
    OwnApplication() = new QApplication(argc, argv);
    existing = OwnApplication();
  }
  if (!qobject_cast<QApplication*>(existing))
    throw EJWError("The viewer needs a QApplication, the host runs a non-widget application!");
  if (existing->thread() != QThread::currentThread())
    throw EJWError("The viewer must be called on the thread of the host's QApplication!");
  static bool fontsReady = false;
  if (!fontsReady) {
    InstallFontSubstitutions();
    fontsReady = true;
  }
}

void CloseViewerWindows() {
  if (!QCoreApplication::instance() ||
      QCoreApplication::instance()->thread() != QThread::currentThread())
    return;
  QList<QPointer<QWidget>> windows;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (qobject_cast<TJWQtWindow*>(w)) windows << w;
  // Deleting a window also deletes the windows it owns; the guarded pointers notice.
  for (QPointer<QWidget>& w : windows) delete w.data();
}

void ReleaseViewerApplication() {
  delete OwnApplication();
  OwnApplication() = nullptr;
}

QImage RenderEntrySnapshot(const std::string& ADataPath, uint32_t AEntryId) {
  EnsureViewerApplication();
  auto form = OpenSnapshotWindow(ADataPath, AEntryId, QtMetrics());
  return RenderWindow(*form, *QtMetrics());
}

TJWBitmap ImageToBitmap(const QImage& AImage) {
  const QImage image = AImage.convertToFormat(QImage::Format_ARGB32);
  TJWBitmap bitmap;
  bitmap.Width = image.width();
  bitmap.Height = image.height();
  bitmap.Pixels.resize(size_t(bitmap.Width) * size_t(bitmap.Height));
  for (int y = 0; y < bitmap.Height; ++y) {
    const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    std::copy(line, line + bitmap.Width, bitmap.Pixels.begin() + ptrdiff_t(y) * bitmap.Width);
  }
  return bitmap;
}

void ShellShowForm(const TJWShowFormArgs& AArgs, const std::function<void()>& ARelease,
                   const std::function<void()>& AReacquire) {
  EnsureViewerApplication();
  TJWQtWindow::SetHostWindow(AArgs.HostWindow);
  TJWButtonRec start = brIndustries;
  std::unique_ptr<TfrmJW> form = OpenShowFormWindow(AArgs, QtMetrics(), start);
  TfrmJW& model = *form;
  QPointer<TJWQtWindow> window = new TJWQtWindow(std::move(form), AArgs.SettingsKey);
  ARelease();
  try {
    model.Navigation()->VirtualClick(start);
    window->Sync();
    if (AArgs.Modal)
      window->exec();  // the closed window destroys itself
    else
      window->show();
  } catch (...) {
    delete window.data();
    AReacquire();
    throw;
  }
  AReacquire();
}

void ShellMiniaturBitmap(const std::string& ADataPath, uint32_t AEntryId, JWHostBitmap& ABitmap) {
  DrawThumbnail(ImageToBitmap(RenderEntrySnapshot(ADataPath, AEntryId)), ABitmap);
}

void ShellProcessMessages() {
  if (QCoreApplication::instance() &&
      QCoreApplication::instance()->thread() == QThread::currentThread())
    QCoreApplication::processEvents();
}

void ShellSetFailureHandler(std::function<void(const std::string&)> AHandler) {
  SetViewerFailureHandler(std::move(AHandler));
}

}  // namespace jw
