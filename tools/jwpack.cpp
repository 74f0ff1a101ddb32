// jwpack: turns a readable JSON description of entries into a data directory, and shows an entry
// of a data directory as JSON.
//
//   jwpack build SRC.json OUTDIR   writes OUTDIR/JWDAT.SRM, JWIMG.SRM and JWTMP.SRM
//   jwpack dump DATADIR ID         prints entry ID of DATADIR/JWDAT.SRM
//   jwpack synth N OUTDIR          writes a synthetic directory of N entries for scale tests
//
// build and synth show a progress line on a terminal. Exit codes: 0 done, 1 the work failed (the
// reason on stderr), 2 usage.
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "store/JWDatFileIO.h"
#include "store/JWDataFileNames.h"
#include "store/JWError.h"
#include "store/ZDCodePage.h"
#include "tools/jwcli.h"
#include "tools/jwprogress.h"
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
  {
    jw::TProgressLine progress(source["Entries"].size(), "entries");
    jw::WriteEntriesFromJson(source, target, [&](size_t ADone) { progress.Step(ADone); });
  }
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
  CLI::App app{"Packs readable JSON descriptions of entries into data directories and back.",
               "jwpack"};
  app.set_version_flag("--version", jw::ToolVersion("jwpack"));
  app.require_subcommand(1);
  std::string source, dir, id;
  uint32_t count = 0;
  CLI::App* build = app.add_subcommand("build", "write OUTDIR/JWDAT.SRM, JWIMG.SRM and JWTMP.SRM");
  build->add_option("SRC.json", source, "the description (pictures relative to it)")->required();
  build->add_option("OUTDIR", dir, "the data directory to write")->required();
  CLI::App* dump = app.add_subcommand("dump", "print an entry of DATADIR/JWDAT.SRM as JSON");
  dump->add_option("DATADIR", dir, "the data directory")->required();
  dump->add_option("ID", id, "the entry identifier")->required();
  CLI::App* synth =
      app.add_subcommand("synth", "write a synthetic directory of N entries for scale tests");
  synth->add_option("N", count, "number of entries")
      ->required()
      ->transform(jw::Decimal(1, jw::kSynthMaxCount));
  synth->add_option("OUTDIR", dir, "the data directory to write")->required();
  if (const int code = jw::ParseCommandLine(app, argc, argv); code >= 0) return code;

  try {
    if (build->parsed()) return Build(source, dir);
    if (dump->parsed()) return Dump(dir, id);
    return jw::JWPackSynth(count, dir);
  } catch (const std::exception& e) {
    // Messages of the library are Windows-1252; the terminal wants UTF-8.
    std::cerr << "jwpack: " << jw::Cp1252ToUtf8(e.what()) << "\n";
    return jw::kExitFailure;
  }
}
