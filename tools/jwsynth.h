#pragma once
// The "synth" subcommand of jwpack: writes a synthetic data directory of N entries.
#include <string>
#include <vector>

namespace jw {

// AArgs: N and OUTDIR. Returns the process exit code (0 done, 1 failure, 2 usage).
int JWPackSynth(const std::vector<std::string>& AArgs);

}  // namespace jw
