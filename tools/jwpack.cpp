// jwpack: turns a readable JSON description of entries into a data directory, and shows an entry
// of a data directory as JSON.
//
//   jwpack build SRC.json OUTDIR   writes OUTDIR/JWDAT.SRM, JWIMG.SRM and JWTMP.SRM
//   jwpack dump DATADIR ID         prints entry ID of DATADIR/JWDAT.SRM
//   jwpack synth N OUTDIR          writes a synthetic directory of N entries for scale tests
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "store/JWDatFileIO.h"
#include "store/JWDataFileNames.h"
#include "store/JWError.h"
#include "store/ZDCodePage.h"
#include "tools/jwsynth.h"
#include "tools/writer/JWEntryJson.h"
#include "tools/writer/JWPictureJson.h"

#ifdef JWPACK_WITH_QT
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>
#endif

namespace {

int Usage() {
  std::cerr << "usage: jwpack build SRC.json OUTDIR\n"
               "       jwpack dump DATADIR ID\n"
               "       jwpack synth N OUTDIR\n";
  return 2;
}

// Pictures are stored as bitmap files. With Qt at hand any format it reads is converted (to 24
// bits, which every bitmap reader handles); without, only bitmap files are accepted.
std::vector<uint8_t> LoadPicture(const std::string& APath) {
#ifdef JWPACK_WITH_QT
  QImage image;
  if (!image.load(QString::fromStdString(APath)))
    throw jw::EJWError("cannot read the picture \"" + APath + "\"");
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP"))
    throw jw::EJWError("cannot convert \"" + APath + "\"");
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
#else
  return jw::LoadBmpFile(APath);
#endif
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
  const std::string target = jw::JoinPath(AOutDir, jw::EntryDatFileName);
  jw::WriteEntriesFromJson(source, target);
  std::cout << source["Entries"].size() << " entries written to " << target << "\n";

  const std::string baseDir = std::filesystem::path(ASource).parent_path().string();
  const std::string logos = jw::JoinPath(AOutDir, jw::LogoDatFileName);
  const size_t logoCount = jw::WriteLogosFromJson(source, baseDir, logos, LoadPicture);
  std::cout << logoCount << " logos written to " << logos << "\n";
  const std::string templates = jw::JoinPath(AOutDir, jw::TemplateDatFileName);
  const size_t templateCount = jw::WriteTemplatesFromJson(source, baseDir, templates, LoadPicture);
  std::cout << templateCount << " templates written to " << templates << "\n";
  return 0;
}

int Dump(const std::string& ADataDir, const std::string& AId) {
  errno = 0;
  char* end = nullptr;
  const long long id = std::strtoll(AId.c_str(), &end, 10);
  if (AId.empty() || *end != '\0' || errno != 0 || id < INT32_MIN || id > UINT32_MAX)
    throw jw::EJWError("\"" + AId + "\" is no entry identifier");
  jw::TJWEEntryDatFile file(jw::JoinPath(ADataDir, jw::EntryDatFileName));
  std::cout << jw::DumpEntryJson(file, uint32_t(id)).dump(2) << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "build" && argc == 4) return Build(argv[2], argv[3]);
    if (command == "dump" && argc == 4) return Dump(argv[2], argv[3]);
    if (command == "synth") return jw::JWPackSynth({argv + 2, argv + argc});
    return Usage();
  } catch (const std::exception& e) {
    // Messages of the library are Windows-1252; the terminal wants UTF-8.
    std::cerr << "jwpack: " << jw::Cp1252ToUtf8(e.what()) << "\n";
    return 1;
  }
}
