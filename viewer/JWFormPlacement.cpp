#include "viewer/JWFormPlacement.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>
#include <memory>

#include "viewer/JWCodePage.h"

namespace jw {

namespace {

std::unique_ptr<QSettings> OpenSettings(const std::string& AKey) {
#ifdef Q_OS_WIN
  return std::make_unique<QSettings>(PlacementLocation(AKey), QSettings::NativeFormat);
#else
  return std::make_unique<QSettings>(PlacementLocation(AKey), QSettings::IniFormat);
#endif
}

int ReadInt(QSettings& ASettings, const char* AName) {
  bool ok = false;
  const int value = ASettings.value(AName).toString().trimmed().toInt(&ok);
  return ok ? value : -2;
}

}  // namespace

QString PlacementLocation(const std::string& AKey) {
  QString key = ToQString(AKey);
  key.replace(QLatin1Char('\\'), QLatin1Char('/'));
#ifdef Q_OS_WIN
  return "HKEY_CURRENT_USER\\" + key.split('/', Qt::SkipEmptyParts).join('\\');
#else
  // The key becomes a relative path below the configuration directory; parts that would leave
  // it are dropped.
  QStringList parts;
  for (const QString& part : key.split('/', Qt::SkipEmptyParts))
    if (part != "." && part != "..") parts << part;
  if (parts.isEmpty()) parts << "placement";
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' +
         parts.join('/') + ".ini";
#endif
}

void SaveFormPlacement(const std::string& AKey, QWidget* AForm, const std::string& ASection) {
  auto settings = OpenSettings(AKey);
  settings->beginGroup(ToQString(ASection));
  if (AForm->isMaximized()) {
    settings->setValue("m", "1");
  } else {
    // pos() is the outer corner, the same point move() places.
    const QRect frame = AForm->frameGeometry();
    settings->setValue("m", "0");
    settings->setValue("x", QString::number(AForm->pos().x()));
    settings->setValue("y", QString::number(AForm->pos().y()));
    settings->setValue("w", QString::number(frame.width()));
    settings->setValue("h", QString::number(frame.height()));
  }
  settings->endGroup();
  settings->sync();
}

void LoadFormPlacement(const std::string& AKey, QWidget* AForm, const std::string& ASection) {
  auto settings = OpenSettings(AKey);
  settings->beginGroup(ToQString(ASection));
  const int x = ReadInt(*settings, "x"), y = ReadInt(*settings, "y");
  const int w = ReadInt(*settings, "w"), h = ReadInt(*settings, "h");
  // A missing "m" means a window that was never maximised.
  const bool maximised = settings->value("m").toString().trimmed().toInt() != 0;

  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
  const QRect frame = AForm->frameGeometry();
  // Outer size and position; the frame margins turn them into the client rectangle at the end.
  int left = AForm->pos().x(), top = AForm->pos().y();
  int width = frame.width(), height = frame.height();
  if (screenSize.width() < width) width = screenSize.width(), left = 1;
  if (screenSize.height() < height) height = screenSize.height(), top = 1;
  if (x > 0 && x < screenSize.width()) left = x;
  if (y > 0 && y < screenSize.height()) top = y;
  if (w > 0 && x + w < screenSize.width()) width = w;
  if (h > 0 && y + h < screenSize.height()) height = h;

  AForm->move(left, top);
  const QSize margins = frame.size() - AForm->size();
  AForm->resize(width - margins.width(), height - margins.height());  // size limits still apply
  if (maximised) AForm->setWindowState(AForm->windowState() | Qt::WindowMaximized);
}

}  // namespace jw
