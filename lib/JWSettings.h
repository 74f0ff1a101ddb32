#pragma once
// The library-wide settings the host gives through JW_SetJWDataPath. Kept apart from the exports so
// that the rules can be exercised without loading the library.
#include <cstdint>
#include <string>

#include "store/JWDatFileIO.h"

namespace jw {

struct TJWLibSettings {
  std::string DataPath;     // ends in a separator once a non-blank path was accepted
  std::string SettingsKey;  // "" = the viewer keeps no placement
  uintptr_t HostApp = 0;    // native id of the host's main window, 0 = none

  // Returns false (refused) when the path is empty or only blanks and control characters; the path
  // is stored anyway but the settings key stays as it was. A null text counts as "". A host window
  // of 0 keeps the current one.
  bool SetJWDataPath(const char* ADataPath, const char* ASettingsKey, uintptr_t AHostApp) {
    if (AHostApp != 0) HostApp = AHostApp;
    DataPath = ADataPath ? ADataPath : "";
    bool blank = true;
    for (char c : DataPath)
      if (static_cast<unsigned char>(c) > 32) blank = false;
    if (blank) return false;
    // The untrimmed text decides: a path ending in a blank gets the separator after the blank.
    // Paths written for either platform's separator are accepted as they are.
    DataPath = WithDirectoryEnd(DataPath);
    SettingsKey = ASettingsKey ? ASettingsKey : "";
    return true;
  }
};

}  // namespace jw
