#pragma once
// A data directory for the file fuzz targets: entry, logo and template files written by the
// project's writers, one of which each input replaces. Every export that reads the files then runs
// on it, with small page templates of its own. Failures the exports report are expected;
// crashes, sanitizer reports, runaway memory and hangs are findings.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BmpGen.h"
#include "EntryAddress.h"
#include "jwlib.h"
#include "store/JWDataFileNames.h"
#include "tools/writer/JWDatWriter.h"
#include "tools/writer/JWImgWriter.h"
#include "tools/writer/JWTmpWriter.h"

namespace jwfuzz {

enum class TFile { Entries, Logos, Templates };

inline const char* FileName(TFile AFile) {
  return AFile == TFile::Entries ? jw::EntryDatFileName
         : AFile == TFile::Logos ? jw::LogoDatFileName
                                 : jw::TemplateDatFileName;
}

inline std::vector<uint8_t> Bmp(uint16_t ABpp, uint32_t ACompression, int32_t AWidth,
                                int32_t AHeight, uint32_t ASeed) {
  jwtest::TBmpSpec picture;
  picture.Bpp = ABpp;
  picture.Compression = ACompression;
  picture.Width = AWidth;
  picture.Height = AHeight;
  picture.Seed = ASeed;
  return jwtest::MakeBmp(picture).File;
}

// Entries 1 to 3: one with a logo, branch offices, lists and office hours on template 1; one on
// template 2 without a logo; one on an absent template. AVariant changes sizes and kinds.
inline void WriteReference(const std::filesystem::path& ADir, int AVariant) {
  std::vector<jw::TJWEntryFixture> entries(3);
  for (uint32_t i = 0; i < 3; ++i) {
    entries[i].Id = i + 1;
    jw::TJW2DataRec& r = entries[i].Record;
    r.TemplateId = int32_t(i + 1);
    r.NamePart1 = "Firma " + std::to_string(i + 1);
    jwtest::FillAddress(r);
  }
  jw::TJW2DataRec& first = entries[0].Record;
  first.Industries = {
      "B\xE4"
      "cker",
      "Konditor"};
  first.Searchwords = {"Brot", "Kuchen", "Torte"};
  first.BusinessTypes = "Handel,Handwerk";
  first.OfficeHours = {"Mo-Fr 8-18", "Sa 8-13"};
  first.OfficeHoursKind = AVariant % 2;
  first.CardEC = 1;
  first.CardVisa = AVariant % 2;
  first.BranchCaption = 2;
  entries[0].BranchIds = {1, 2, 3, 99};
  jw::WriteEntryDatFile((ADir / FileName(TFile::Entries)).string(), entries);

  jw::TJWImgWriter logos((ADir / FileName(TFile::Logos)).string());
  logos.AddLogo(1, Bmp(AVariant ? 8 : 24, AVariant ? 1 : 0, 12, 5, 7));
  logos.AddLogo(3, Bmp(4, 0, 3, 2, 8));
  logos.Finish();

  jw::TJWTmpWriter templates((ADir / FileName(TFile::Templates)).string());
  for (uint32_t id = 1; id <= 2; ++id) {
    jw::TJWTemplateFixture t;
    t.Id = id;
    t.Image = Bmp(id == 1 ? 24 : 8, 0, 16, 10, id);
    t.Button1 = Bmp(AVariant ? 1 : 4, 0, 8, 2, id + 10);
    if (id == 1) t.Button2 = Bmp(32, 3, 8, 3, id + 20);
    t.NavigationLeft = 4;
    t.BackgroundColor = 0x00C0FFEE;
    t.CaptionLeft = 2;
    templates.Add(t);
  }
  templates.Finish();
}

// Small page templates that still ask for every field that reads the files: the template's
// picture sizes and colour, the logo, the lists and the branch offices. (The sample's templates
// would cost ten times as much per input.)
inline void WritePageTemplates(const std::filesystem::path& ADir) {
  std::filesystem::create_directories(ADir);
  const std::pair<const char*, const char*> files[] = {
      {"main1.html",
       "<#FIELD NAME=FIRM>|<#FIELD NAME=LOGO DEFAULT=none.svg>|<#FIELD NAME=BGCOLOR>|"
       "<#FIELD NAME=BUT1_WIDTH>x<#FIELD NAME=BUT1_HEIGHT>/<#FIELD NAME=BUT2_HEIGHT>|"
       "<#FIELD NAME=CAPTIONLEFT>|<#FIELD NAME=BUT1 TYPE=NEXT>|<#FIELD NAME=INDUSTRIES TYPE=DATA>|"
       "<#FIELD NAME=SEARCHWORDS TYPE=ROWS FILE=row>|<#FIELD NAME=BUISNESSTYPES>|"
       "<#FIELD NAME=OFFICEHOURS>|<#FIELD NAME=CARDACCEPTANCE>|<#FIELD NAME=ENHINFO>|"
       "<#FIELD NAME=POI_X>/<#FIELD NAME=POI_Y>|<#FIELD NAME=PAGE IDX0=row IDX6=branches>"},
      {"main2.html", "<#FIELD NAME=BRANCHES TYPE=FILE MAIN=branches SEARCH=branches>"},
      {"route.html", "<#FIELD NAME=POI_X>/<#FIELD NAME=POI_Y>"},
      {"row.html", "<#FIELD NAME=SEARCHWORDS TYPE=DATA>\r\n"},
      {"branches.html",
       "<#FIELD NAME=BRANCHES TYPE=ROWS FILE=branch><#FIELD NAME=BRANCHES TYPE=BUTTON "
       "DIRECTION=NEXT FILE=row>"},
      {"branch.html",
       "<#FIELD NAME=B_ID MARK=FALSE>:<#FIELD NAME=B_FIRM> <#FIELD NAME=B_ZIP> <#FIELD "
       "NAME=B_CITY>\r\n"},
  };
  for (const auto& [name, text] : files) std::ofstream(ADir / name, std::ios::binary) << text;
}

struct TState {
  std::filesystem::path Dir;
  std::string Templates;
};

inline void RemoveDir();

inline TState& State() {
  static TState state = [] {
    TState s;
    std::string dir = (std::filesystem::temp_directory_path() / "jwfuzz-files-XXXXXX").string();
    if (!mkdtemp(dir.data())) abort();
    s.Dir = dir;
    WriteReference(s.Dir, 0);
    WritePageTemplates(s.Dir / "pages");
    s.Templates = (s.Dir / "pages").string() + "/";
    atexit(RemoveDir);
    return s;
  }();
  return state;
}

inline void RemoveDir() {
  std::error_code ec;
  std::filesystem::remove_all(State().Dir, ec);
}

inline void JWAPI FreePicture(void*, const char*, JWMemoryStream* AStream) {
  JW_FreeMemoryStream(AStream);
}

inline void Exercise(uint32_t AId) {
  JW_ButtonCount(AId, 1, 0);
  JW_GetButtonSet(AId, 1, 0);
  char captions[512];
  JW_ButtonCaptions(AId, 1, 0, captions, sizeof captions);
  for (const char* params :
       {"", "FORCEPAGE=5", "FORCEPAGE=6&BRANCHES_SORT=DIST&STARTX=417&STARTY=3056"})
    JW_FreeMemoryStream(JW_GetHTMLText(AId, State().Templates.c_str(), 0, params, 1, 0));
  JWHostList list{nullptr, FreePicture};
  JW_GetTemplateImages(AId, 0, &list);
}

// Replaces AFile by the input and runs the exports on the entries of the directory (and, for an
// entry file, on the first identifier its index names).
inline int Run(TFile AFile, const uint8_t* AData, size_t ASize) {
  TState& s = State();
  {
    std::ofstream out(s.Dir / FileName(AFile), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(AData), std::streamsize(ASize));
  }
  JW_SetJWDataPath(s.Dir.c_str(), nullptr, 0);
  std::vector<uint32_t> ids = {1, 2, 3};
  if (AFile == TFile::Entries && ASize >= 8) {
    uint32_t id;
    std::memcpy(&id, AData + 4, 4);
    if (id > 3) ids.push_back(id);
  }
  for (uint32_t id : ids) Exercise(id);
  return 0;
}

}  // namespace jwfuzz
