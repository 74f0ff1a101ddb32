// Writes the seed corpora of the file fuzz targets with the project's writers:
//   jwfuzzseeds CORPUS_DIR   (fills CORPUS_DIR/fuzz_entryfile, fuzz_logofile, fuzz_templatefile)
#include <cstdio>

#include "FuzzDataDir.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: jwfuzzseeds CORPUS_DIR\n", stderr);
    return 1;
  }
  namespace fs = std::filesystem;
  const fs::path corpus = argv[1];
  const std::pair<const char*, jwfuzz::TFile> targets[] = {
      {"fuzz_entryfile", jwfuzz::TFile::Entries},
      {"fuzz_logofile", jwfuzz::TFile::Logos},
      {"fuzz_templatefile", jwfuzz::TFile::Templates}};
  for (int variant = 0; variant < 2; ++variant) {
    const fs::path dir = fs::temp_directory_path() / ("jwfuzzseeds-" + std::to_string(getpid()));
    fs::create_directories(dir);
    jwfuzz::WriteReference(dir, variant);
    for (const auto& [target, file] : targets) {
      fs::create_directories(corpus / target);
      fs::copy_file(dir / jwfuzz::FileName(file),
                    corpus / target / ("reference" + std::to_string(variant)),
                    fs::copy_options::overwrite_existing);
    }
    fs::remove_all(dir);
  }
  return 0;
}
