#pragma once
// The window placement's store on Linux: an INI file named after the settings key in the user's
// configuration directory (QSettings). Values are strings: "m", "x", "y", "w", "h".
#include <QSettings>
#include <QString>
#include <memory>
#include <string>

#include "viewer/core/JWWindowModel.h"

namespace jw {

// Where the placement of key AKey lives: the INI file's path. The key's parts become folders
// below the configuration directory; parts that would leave it are dropped.
QString PlacementLocation(const std::string& AKey);

class TJWQtSettingsStore : public TJWSettingsStore {
 public:
  explicit TJWQtSettingsStore(const std::string& AKey);
  std::string Read(const std::string& ASection, const std::string& AName) override;
  void Write(const std::string& ASection, const std::string& AName,
             const std::string& AValue) override;

 private:
  std::unique_ptr<QSettings> FSettings;
};

}  // namespace jw
