// jwpack: turns a readable JSON description of entries into a data directory, and shows an entry
// of a data directory as JSON.
//
//   jwpack build SRC.json OUTDIR   writes OUTDIR/JWDAT.SRM
//   jwpack dump DATADIR ID         prints entry ID of DATADIR/JWDAT.SRM
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "store/JWDatFileIO.h"
#include "store/JWError.h"
#include "store/ZDCodePage.h"
#include "tools/writer/JWEntryJson.h"

namespace {

int Usage() {
  std::cerr << "usage: jwpack build SRC.json OUTDIR\n"
               "       jwpack dump DATADIR ID\n";
  return 2;
}

int Build(const std::string& ASource, const std::string& AOutDir) {
  std::ifstream in(ASource, std::ios::binary);
  if (!in) throw jw::EJWError("cannot read \"" + ASource + "\"");
  jw::TJWJson source;
  try {
    source = jw::TJWJson::parse(in);
  } catch (const jw::TJWJson::exception& e) {
    throw jw::EJWError("\"" + ASource + "\" is no valid JSON: " + e.what());
  }
  std::filesystem::create_directories(AOutDir);
  const std::string target = jw::JoinPath(AOutDir, jw::kEntryDatFileName);
  jw::WriteEntriesFromJson(source, target);
  std::cout << source["Entries"].size() << " entries written to " << target << "\n";
  return 0;
}

int Dump(const std::string& ADataDir, const std::string& AId) {
  errno = 0;
  char* end = nullptr;
  const long long id = std::strtoll(AId.c_str(), &end, 10);
  if (AId.empty() || *end != '\0' || errno != 0 || id < INT32_MIN || id > UINT32_MAX)
    throw jw::EJWError("\"" + AId + "\" is no entry identifier");
  jw::TJWEEntryDatFile file(jw::JoinPath(ADataDir, jw::kEntryDatFileName));
  std::cout << jw::DumpEntryJson(file, uint32_t(id)).dump(2) << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "build" && argc == 4) return Build(argv[2], argv[3]);
    if (command == "dump" && argc == 4) return Dump(argv[2], argv[3]);
    return Usage();
  } catch (const std::exception& e) {
    // Messages of the library are Windows-1252; the terminal wants UTF-8.
    std::cerr << "jwpack: " << jw::Cp1252ToUtf8(e.what()) << "\n";
    return 1;
  }
}
