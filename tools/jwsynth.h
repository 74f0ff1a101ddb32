#pragma once
// The "synth" subcommand of jwpack: writes a synthetic data directory of N entries.
#include <cstdint>
#include <string>

#include "store/JWELogoDatFile.h"

namespace jw {

// Writes ACount entries (1 to kSynthMaxCount) into AOutDir, with a progress line on a terminal.
// Returns the process exit code (0 done, 1 failure). About two in three entries have a logo, but at
// most AMaxLogoEntries of them: the logo reader refuses a larger index, so the entries beyond stand
// without a logo and the directory stays readable at any N.
inline constexpr uint32_t kSynthMaxCount = 5000000;
int JWPackSynth(uint32_t ACount, const std::string& AOutDir,
                uint32_t AMaxLogoEntries = TJWELogoDatFile::MaxEntries);

}  // namespace jw
