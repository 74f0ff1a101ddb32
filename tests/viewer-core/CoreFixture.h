#pragma once
// The viewer core's test bench: a fixed text metric that makes display lists exact, and a data
// directory with the bundled sample's entries and two of its own.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "BmpGen.h"
#include "JWTempDir.h"
#include "tools/writer/JWEntryJson.h"
#include "tools/writer/JWImgWriter.h"
#include "tools/writer/JWTmpWriter.h"
#include "viewer/core/JW2Form.h"

namespace jwtest {

// Every character 6 pixels wide (bold ones 7), ascent 9, lines 13 pixels apart.
class TFixedMetrics : public jw::TJWTextMetrics {
 public:
  int32_t TextWidth(const jw::TJWFont& AFont, std::string_view AText) override {
    return int32_t(AText.size()) * (AFont.Bold ? 7 : 6);
  }
  int32_t Ascent(const jw::TJWFont&) override { return 9; }
  int32_t LineHeight(const jw::TJWFont&) override { return 13; }
};

inline jw::TJWBitmap Solid(int AWidth, int AHeight, uint32_t AColor) {
  return {AWidth, AHeight, std::vector<uint32_t>(size_t(AWidth) * size_t(AHeight), AColor)};
}

// The sample's entries with solid pictures (templates 1 and 4, two logos), and two entries whose
// industries and search words share one page or not.
class TSampleDir {
 public:
  enum : uint32_t { kChain = 2001, kFull = 1006, kBare = 1011, kShared = 9001, kAlone = 9002 };

  TSampleDir() {
    using namespace jw;
    std::vector<TJWEntryFixture> entries(2);
    TJW2DataRec &a = entries[0].Record, &b = entries[1].Record;
    entries[0].Id = kShared, entries[1].Id = kAlone;
    a.NamePart1 = "Drei und drei", a.NamePart2 = "GmbH";
    a.NameFormat = "\\1 \\4 \\2";  // an empty part between two others
    a.Industries = {"A", "B", "C"}, a.Searchwords = b.Searchwords = {"D", "E", "F"};
    a.OfficeHoursKind = 0, a.OfficeHours = {"Mo-Fr 8-18", "", "Sa 9-12"};
    a.EnhInfoKind = 0, a.EnhInfo = {"Zeile eins", "Zeile zwei"};
    b.NamePart1 = "Drei und vier";
    b.Industries = {"A", "B", "a line of many words that is wider than the list"};
    b.EnhInfoKind = 1, b.EnhInfo.assign(9, "Zeile\tWert");
    std::ifstream in(JW_SAMPLE_JSON);
    const TJWJson source = TJWJson::parse(in);
    for (const TJWJson& entry : source["Entries"]) entries.push_back(EntryFromJson(entry));
    WriteEntryDatFile(FDir.File("JWDAT.SRM"), entries);

    TJWImgWriter logos(FDir.File("JWIMG.SRM"));
    logos.AddLogo(kChain, MakeBmp24(Solid(150, 40, 0xFFC08040)));  // wider than the frame
    logos.AddLogo(kFull, MakeBmp24(Solid(100, 50, 0xFF3050F0)));
    logos.Finish();
    TJWTmpWriter templates(FDir.File("JWTMP.SRM"));
    for (const uint32_t id : {1u, 4u}) {
      TJWTemplateFixture t;
      t.Id = id, t.NavigationLeft = 561, t.CaptionLeft = 30;
      t.Image = MakeBmp24(Solid(705, 460, 0xFF20A040 + id));
      t.Button1 = MakeBmp24(Solid(140, 16, 0xFFC0C0C0));
      t.Button2 = MakeBmp24(Solid(140, 20, 0xFF808080));
      t.BackgroundColor = id == 1 ? 0x00F7FCFF : 0x00F6FAFF;
      templates.Add(t);
    }
    templates.SetDefaultId(1);
    templates.Finish();
  }

  std::string Path() const { return FDir.Path().string() + "/"; }

  std::unique_ptr<jw::TfrmJW> Open(uint32_t AId, std::shared_ptr<jw::TJWTextMetrics> AMetrics =
                                                     std::make_shared<TFixedMetrics>()) const {
    auto form = std::make_unique<jw::TfrmJW>(AMetrics);
    form->SetDataPath(Path());
    form->OpenEntry(int32_t(AId));
    return form;
  }

 private:
  jw::test::TJWTempDir FDir;
};

// One sample directory for all tests of a suite.
template <class TBase = ::testing::Test>
class TWithSample : public TBase {
 protected:
  static void SetUpTestSuite() { Dir = new TSampleDir(); }
  static void TearDownTestSuite() { delete Dir; }
  static inline TSampleDir* Dir = nullptr;
};

}  // namespace jwtest
