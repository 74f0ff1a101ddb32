#pragma once
// The "synth" subcommand of jwpack: writes a synthetic data directory of N entries.
#include <cstdint>
#include <string>

namespace jw {

// Writes ACount entries (1 to kSynthMaxCount) into AOutDir, with a progress line on a terminal.
// Returns the process exit code (0 done, 1 failure).
inline constexpr uint32_t kSynthMaxCount = 5000000;
int JWPackSynth(uint32_t ACount, const std::string& AOutDir);

}  // namespace jw
