#pragma once
// Data directories written by the fixture writers, and a sample of entries with buttons of every
// kind.
#include <utility>

#include "BmpGen.h"
#include "LibHost.h"
#include "tools/writer/JWDatWriter.h"
#include "tools/writer/JWImgWriter.h"
#include "tools/writer/JWTmpWriter.h"

namespace jwtest {

inline jw::TStringList Lines(int ACount, const char* APrefix) {
  jw::TStringList result;
  for (int i = 0; i < ACount; ++i) result.push_back(APrefix + std::to_string(i));
  return result;
}

// Entry ids of the sample file.
enum : uint32_t {
  idShortSearchwords = 1,  // 2 industries + 3 search words: one button
  idLongSearchwords = 2,   // 4 industries + 3 search words: two buttons
  idBranches = 3,          // office hours, EC card, two branch offices called "Niederlassungen"
  idPosition = 6,          // business types and a usable position
  idHidden = 7,            // a hidden, missing position and nothing else
  idMissing = 99,          // not in the file
};

inline std::vector<jw::TJWEntryFixture> SampleEntries() {
  std::vector<jw::TJWEntryFixture> e(5);
  const uint32_t ids[] = {idShortSearchwords, idLongSearchwords, idBranches, idPosition, idHidden};
  for (size_t i = 0; i < e.size(); ++i) e[i].Id = ids[i];
  e[0].Record.Industries = Lines(2, "Industrie ");
  e[1].Record.Industries = Lines(4, "Industrie ");
  e[0].Record.Searchwords = e[1].Record.Searchwords = Lines(3, "Wort ");
  e[2].Record.OfficeHours = {"Mo-Fr 8-18"};
  e[2].Record.CardEC = 1;
  e[2].Record.BranchCaption = 2;
  e[2].BranchIds = {idBranches, idShortSearchwords};
  e[3].Record.BusinessTypes = "Handel,Dienstleistung";
  e[3].Record.PosX = "00544530";
  e[3].Record.PosY = "03056700";
  e[4].Record.HideLocation = 1;
  return e;
}

// Logo pictures by entry id.
using TLogos = std::vector<std::pair<uint32_t, jw::TJWBitmap>>;

// Writes the three data files into ADir (ending in a separator) and makes it the data path.
inline void WriteDataDir(const std::string& ADir, const std::vector<jw::TJWEntryFixture>& AEntries,
                         const TLogos& ALogos,
                         const std::vector<jw::TJWTemplateFixture>& ATemplates) {
  jw::WriteEntryDatFile(ADir + "JWDAT.SRM", AEntries);
  jw::TJWImgWriter logos(ADir + "JWIMG.SRM");
  for (const auto& [id, picture] : ALogos) logos.AddLogo(id, MakeBmp24(picture));
  logos.Finish();
  jw::TJWTmpWriter templates(ADir + "JWTMP.SRM");
  for (const jw::TJWTemplateFixture& t : ATemplates) templates.Add(t);
  templates.Finish();
  EXPECT_EQ(Lib().SetJWDataPath(ADir.c_str(), nullptr, 0), 1);
}

// The sample entries with a logo file without pictures and one template without pictures.
struct TSampleData {
  TSampleData() { WriteDataDir(Dir.Dir(), SampleEntries(), {}, {jw::TJWTemplateFixture{}}); }
  void Select() const { EXPECT_EQ(Lib().SetJWDataPath(Dir.Dir().c_str(), nullptr, 0), 1); }

  TTempDir Dir;
};

}  // namespace jwtest
