// Arbitrary bytes as the template file of a data directory whose other two files are sound; every
// export that reads the directory runs on it.
#include "FuzzDataDir.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* AData, size_t ASize) {
  return jwfuzz::Run(jwfuzz::TFile::Templates, AData, ASize);
}
