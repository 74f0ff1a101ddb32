#pragma once
// The "synth" subcommand of jwpack: writes a synthetic data directory of N entries.
#include <cstdint>
#include <string>
#include <vector>

#include "store/JWELogoDatFile.h"

namespace jw {

// AArgs: N and OUTDIR. Returns the process exit code (0 done, 1 failure, 2 usage). About two in
// three entries have a logo, but at most AMaxLogoEntries of them: the logo reader refuses a larger
// index, so the entries beyond stand without a logo and the directory stays readable at any N.
int JWPackSynth(const std::vector<std::string>& AArgs,
                uint32_t AMaxLogoEntries = TJWELogoDatFile::MaxEntries);

}  // namespace jw
