#include "viewer/JWViewerApp.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "store/JWError.h"

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
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
  return true;
#else
  auto set = [](const char* AName) {
    const char* v = std::getenv(AName);
    return v && *v;
  };
  return set("DISPLAY") || set("WAYLAND_DISPLAY");
#endif
}

// Layout fonts name families of another platform; map them to metric-compatible or close ones.
void InstallFontSubstitutions() {
  QFont::insertSubstitutions("Arial", {"Liberation Sans", "Arimo", "Helvetica"});
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

TViewerFailureHandler& FailureHandler() {
  static TViewerFailureHandler handler;
  return handler;
}

void SetViewerFailureHandler(TViewerFailureHandler AHandler) {
  FailureHandler() = std::move(AHandler);
}

void ReportViewerFailure(const std::string& AMessage) {
  if (FailureHandler())
    FailureHandler()(AMessage);
  else
    qWarning("%s", AMessage.c_str());
}

void CloseViewerWindows() {
  if (!QCoreApplication::instance() ||
      QCoreApplication::instance()->thread() != QThread::currentThread())
    return;
  QList<QPointer<QWidget>> windows;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->inherits("jw::TfrmJW")) windows << w;
  // Deleting a window also deletes the windows it owns; the guarded pointers notice.
  for (QPointer<QWidget>& w : windows) delete w.data();
}

void ReleaseViewerApplication() {
  delete OwnApplication();
  OwnApplication() = nullptr;
}

void ProcessViewerMessages() {
  if (QCoreApplication::instance() &&
      QCoreApplication::instance()->thread() == QThread::currentThread())
    QCoreApplication::processEvents();
}

QImage ScaleSnapshot(const QImage& ASnapshot, int32_t AWidth, int32_t AHeight) {
  return ASnapshot.scaled(AWidth, AHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
      .convertToFormat(QImage::Format_ARGB32);
}

}  // namespace jw
