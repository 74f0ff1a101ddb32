#include "viewer/qt/JWQtSettings.h"

#include <QStandardPaths>
#include <QStringList>

#include "viewer/qt/JWCodePage.h"

namespace jw {

QString PlacementLocation(const std::string& AKey) {
  QString key = ToQString(AKey);
  key.replace(QLatin1Char('\\'), QLatin1Char('/'));
  QStringList parts;
  for (const QString& part : key.split('/', Qt::SkipEmptyParts))
    if (part != "." && part != "..") parts << part;
  if (parts.isEmpty()) parts << "placement";
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + '/' +
         parts.join('/') + ".ini";
}

TJWQtSettingsStore::TJWQtSettingsStore(const std::string& AKey)
    : FSettings(std::make_unique<QSettings>(PlacementLocation(AKey), QSettings::IniFormat)) {}

std::string TJWQtSettingsStore::Read(const std::string& ASection, const std::string& AName) {
  return FromQString(FSettings->value(ToQString(ASection + "/" + AName)).toString());
}

void TJWQtSettingsStore::Write(const std::string& ASection, const std::string& AName,
                               const std::string& AValue) {
  FSettings->setValue(ToQString(ASection + "/" + AName), ToQString(AValue));
  FSettings->sync();
}

}  // namespace jw
