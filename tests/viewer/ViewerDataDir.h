#pragma once
// A data directory with a few entries, two templates and a logo, written by the project's writers.
#include <string>

#include "BmpGen.h"
#include "EntryAddress.h"
#include "JWTempDir.h"
#include "tools/writer/JWDatWriter.h"
#include "tools/writer/JWImgWriter.h"
#include "tools/writer/JWTmpWriter.h"

namespace jwtest {

// Entry ids of the sample directory.
enum : uint32_t {
  kFirm = 17,         // 3 industries, 3 search words, cards, office hours, 2 branches (18, 19)
  kBranch = 18,       // a branch office of kFirm
  kManyLines = 19,    // 4 industries and 3 search words
  kNoIndustries = 20  // cards only
};

// Template 1 is the entries' own (they ask for 0); template 2 is the file's default.
inline constexpr uint32_t kTemplateColor = 0x00E0F0FF;  // 0x00BBGGRR
inline constexpr uint32_t kDefaultTemplateColor = 0x00FF0000;
inline constexpr uint32_t kBackgroundPixel = 0xFF20A040;
inline constexpr int kNavigationLeft = 560;

inline jw::TJWBitmap Picture(int AWidth, int AHeight, uint32_t AColor) {
  jw::TJWBitmap bmp;
  bmp.Width = AWidth;
  bmp.Height = AHeight;
  bmp.Pixels.assign(size_t(AWidth) * size_t(AHeight), AColor);
  return bmp;
}

class TViewerDataDir {
 public:
  TViewerDataDir() {
    using namespace jw;
    std::vector<TJWEntryFixture> entries(4);
    TJW2DataRec& firm = entries[0].Record;
    entries[0].Id = kFirm;
    firm.NamePart1 = "M\xFCller";
    firm.NamePart2 = "GmbH";
    firm.NameFormat = "\\1<br>\\2";
    firm.Slogan = "Alles aus einer Hand";
    jwtest::FillAddress(firm);
    firm.StreetNo = "36";
    firm.EMail = "info@mueller.example";
    firm.Url = "www.mueller.example";
    firm.Industries = {"Baustoffe", "Fliesen", "Holz"};
    firm.Searchwords = {"Beton", "Kies", "Sand"};
    firm.CardVisa = 1;
    firm.OfficeHours = {"Mo-Fr 8-18 Uhr"};
    firm.BranchCaption = 2;
    firm.EnhInfoKind = 1;
    firm.EnhInfo = {"Parkpl\xE4tze\tvorhanden"};
    entries[0].BranchIds = {kFirm, kBranch};

    entries[1].Id = kBranch;
    entries[1].Record.NamePart1 = "M\xFCller Filiale";
    entries[1].Record.Industries = {"Baustoffe"};
    entries[1].Record.City = "Bonn";

    entries[2].Id = kManyLines;
    entries[2].Record.NamePart1 = "Vielzeiler";
    entries[2].Record.Industries = {"A", "B", "C", "D"};
    entries[2].Record.Searchwords = {"E", "F", "G"};

    entries[3].Id = kNoIndustries;
    entries[3].Record.NamePart1 = "Kartenhaus";
    entries[3].Record.CardEC = 1;
    WriteEntryDatFile(FDir.File("JWDAT.SRM"), entries);

    TJWImgWriter logos(FDir.File("JWIMG.SRM"));
    logos.AddLogo(kFirm, MakeBmp24(Picture(100, 40, 0xFF3050F0)));
    logos.Finish();

    TJWTmpWriter templates(FDir.File("JWTMP.SRM"));
    TJWTemplateFixture own;
    own.Id = 1;
    own.Image = MakeBmp24(Picture(705, 460, kBackgroundPixel));
    own.Button1 = MakeBmp24(Picture(140, 16, 0xFFC0C0C0));
    own.Button2 = MakeBmp24(Picture(140, 20, 0xFF808080));
    own.NavigationLeft = kNavigationLeft;
    own.BackgroundColor = kTemplateColor;
    own.CaptionLeft = 30;
    templates.Add(own);
    TJWTemplateFixture fallback = own;
    fallback.Id = 2;
    fallback.BackgroundColor = kDefaultTemplateColor;
    templates.Add(fallback);
    templates.SetDefaultId(2);
    templates.Finish();
  }

  std::string Path() const { return FDir.Path().string() + "/"; }

 private:
  jw::test::TJWTempDir FDir;
};

}  // namespace jwtest
