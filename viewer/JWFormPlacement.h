#pragma once
// Remembers a window's position per user. Windows keeps it in the registry under
// HKEY_CURRENT_USER\<key>; elsewhere it goes to an INI file named after the key in the user's
// configuration directory. Values are strings: "m" (maximised), "x", "y", "w", "h".
#include <QString>
#include <string>

class QWidget;

namespace jw {

// Where the placement of key AKey lives (a registry path, or the INI file's path).
QString PlacementLocation(const std::string& AKey);

void SaveFormPlacement(const std::string& AKey, QWidget* AForm, const std::string& ASection);
// Restores what was saved, keeping the window on the primary screen.
void LoadFormPlacement(const std::string& AKey, QWidget* AForm, const std::string& ASection);

}  // namespace jw
