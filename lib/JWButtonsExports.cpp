// The five navigation-button queries.
#include <cstring>

#include "JWCallFrame.h"
#include "store/ZDStrUtils.h"

namespace jw {

namespace {

// Per-thread result texts: each stays valid until the same thread calls the same export again.
thread_local std::string GButtonSetText;
thread_local std::string GButton2IndexText;

// Copies at most ABufSize - 1 bytes of AText and a terminating zero; returns the bytes written.
int32_t WriteText(const std::string& AText, char* ABuffer, int32_t ABufSize) {
  const size_t n = std::min(AText.size() + 1, size_t(ABufSize));
  std::memcpy(ABuffer, AText.data(), n - 1);
  ABuffer[n - 1] = '\0';
  return int32_t(n);
}

std::string LowerCase(std::string AText) {
  for (char& c : AText)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return AText;
}

// The "|"-joined names of the entry's buttons; "" (logged) when the entry cannot be loaded.
std::string ButtonSetText(uint32_t AEntryId, uint8_t AShowLocation, uint8_t AForceLocation) {
  TLibLockGuard lock(LibLock());
  TJWButtonSet set = 0;
  try {
    set = LoadEntryButtons(AEntryId, AShowLocation, AForceLocation).Set;
  } catch (...) {
    LogCurrentFailure(Format("JW_GetButtonsSet( %d, %d, %d ): ", int32_t(AEntryId), AShowLocation,
                             AForceLocation));
  }
  std::string text;
  for (uint8_t b = brIndustries; b <= brClose; ++b) {
    if (!InSet(set, TJWButtonRec(b))) continue;
    if (!text.empty()) text += '|';
    text += ButtonNameTable[b];
  }
  return text;
}

}  // namespace

}  // namespace jw

using namespace jw;

extern "C" {

JWLIB_EXPORT int32_t JWAPI JW_ButtonCount(uint32_t AEntryId, uint8_t AShowLocation,
                                          uint8_t AForceLocation) {
  return RunExport<int32_t>(-1, [&](TLibLockGuard&) {
    return LoadEntryButtons(AEntryId, AShowLocation, AForceLocation).Count;
  });
}

JWLIB_EXPORT int32_t JWAPI JW_ButtonCaption(uint32_t AEntryId, uint32_t AIndex,
                                            uint8_t AShowLocation, uint8_t AForceLocation,
                                            char* ABuffer, int32_t ABufSize) {
  return RunExport<int32_t>(0, [&](TLibLockGuard&) -> int32_t {
    if (!ABuffer || ABufSize < 1) return 0;
    // An entry that cannot be loaded leaves the empty set, whose every position shows "Branchen".
    TEntryButtons buttons;
    try {
      buttons = LoadEntryButtons(AEntryId, AShowLocation, AForceLocation);
    } catch (...) {
      LogCurrentFailure(Format("JW_ButtonCaption( %d, %d, %d, %d ): ", int32_t(AEntryId),
                               int32_t(AIndex), AShowLocation, AForceLocation));
    }
    return WriteText(CaptionOf(Index2JWButton(AIndex, buttons.Set), buttons.BranchCaption), ABuffer,
                     ABufSize);
  });
}

JWLIB_EXPORT int32_t JWAPI JW_ButtonCaptions(uint32_t AEntryId, uint8_t AShowLocation,
                                             uint8_t AForceLocation, char* ABuffer,
                                             int32_t ABufSize) {
  return RunExport<int32_t>(0, [&](TLibLockGuard&) -> int32_t {
    if (!ABuffer || ABufSize < 1) return 0;
    TEntryButtons buttons;
    try {
      buttons = LoadEntryButtons(AEntryId, AShowLocation, AForceLocation);
    } catch (...) {
      LogCurrentFailure(Format("JW_ButtonCaptions( %d, %d, %d ): ", int32_t(AEntryId),
                               AShowLocation, AForceLocation));
    }
    std::string text;
    for (int32_t i = 0; i < buttons.Count; ++i) {
      if (i > 0) text += '|';
      text += CaptionOf(Index2JWButton(uint32_t(i), buttons.Set), buttons.BranchCaption);
    }
    std::memset(ABuffer, 0, size_t(ABufSize));
    return WriteText(text, ABuffer, ABufSize);
  });
}

JWLIB_EXPORT const char* JWAPI JW_GetButtonSet(uint32_t AEntryId, uint8_t AShowLocation,
                                               uint8_t AForceLocation) {
  return RunExport<const char*>("", [&](TLibLockGuard&) {
    GButtonSetText = ButtonSetText(AEntryId, AShowLocation, AForceLocation);
    return GButtonSetText.c_str();
  });
}

// Takes no lock of its own beyond the one the button set takes.
JWLIB_EXPORT const char* JWAPI JW_Button2Index(uint32_t AEntryId, const char* AButtonName,
                                               uint8_t AShowLocation, uint8_t AForceLocation) {
  ClearLastError();
  int32_t found = 0;
  try {
    std::string names = ButtonSetText(AEntryId, AShowLocation, AForceLocation);
    const std::string wanted = LowerCase(AButtonName ? AButtonName : "");
    int32_t position = 0;
    for (size_t start = 0; !names.empty() && start <= names.size(); ++position) {
      const size_t bar = std::min(names.find('|', start), names.size());
      if (LowerCase(Trim(names.substr(start, bar - start))) == wanted) {
        found = position;
        break;
      }
      start = bar + 1;
    }
  } catch (...) {
    // Any failure reads as position 0; the message stays available as the last error.
    SetLastError(CurrentFailureMessage());
    found = 0;
  }
  try {
    GButton2IndexText = std::to_string(found);
  } catch (...) {
    return "0";
  }
  return GButton2IndexText.c_str();
}

}  // extern "C"
