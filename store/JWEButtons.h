#pragma once
// The navigation buttons of an entry: which content pages it has, their captions and keys.
#include <cstdint>
#include <string>

#include "store/JWEStruct.h"

namespace jw {

enum TJWButtonRec : uint8_t {
  brIndustries = 0,
  brBusinessTypes,
  brSearchwords,
  brOfficeHours,
  brCardAcceptance,
  brPointOfPlace,
  brBranches,
  brClose,
};

using TJWButtonSet = uint8_t;  // bit n set = button of ordinal n present

inline bool InSet(TJWButtonSet ASet, TJWButtonRec AButton) { return (ASet >> AButton) & 1u; }
inline void Include(TJWButtonSet& ASet, TJWButtonRec AButton) { ASet |= uint8_t(1u << AButton); }
inline void Exclude(TJWButtonSet& ASet, TJWButtonRec AButton) { ASet &= uint8_t(~(1u << AButton)); }

extern const char* const ButtonCaptionTable[8];  // "Branchen", ... "Schlie\xDF" "en"
extern const char* const ButtonKeyTable[8];      // "industries", ... "close"
extern const char* const ButtonNameTable[8];     // "brIndustries", ... "brClose"
extern const char* const BranchCaptionTable[4];  // "Filialen", "Agenturen", "Niederlassungen", "Partner"

// The entry's button set (without brClose) and the number of buttons in it.
int32_t DeriveButtons(const TJW2DataRec& ARecord, bool AShowLocation, bool AForceLocation,
                      TJWButtonSet& ASet);
// The button at position AIndex of a set (brIndustries when the index is beyond its content buttons).
TJWButtonRec Index2JWButton(uint32_t AIndex, TJWButtonSet ASet);
// The caption of a button; for brBranches the entry's BranchCaption selects the word.
std::string CaptionOf(TJWButtonRec AButton, const TJW2DataRec& ARecord);
std::string CaptionOf(TJWButtonRec AButton, int32_t ABranchCaption);

}  // namespace jw
