// HTML pages through the C boundary: data files from the writers, page templates written by the
// test, whole pages and log lines compared byte for byte.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "DataDir.h"
#include "JpegCheck.h"

namespace {

using jwtest::Lib;
using ::testing::ElementsAre;
using ::testing::StartsWith;
namespace fs = std::filesystem;

enum : uint32_t {
  idFirm = 17,        // industries, own search words, branches, logo, template 2
  idSearchOnly = 30,  // search words and branches only
  idMissing = 99,
};

jw::TJWEntryFixture Firm(uint32_t AId, const std::string& AName) {
  jw::TJWEntryFixture e;
  e.Id = AId;
  e.Record.NamePart1 = AName;
  return e;
}

class HtmlExport : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<jw::TJWEntryFixture> entries;
    jw::TJWEntryFixture firm = Firm(idFirm, "Muster");
    firm.Record.TemplateId = 2;
    firm.Record.Industries = {"Konditor"};
    entries.push_back(std::move(firm));
    jw::TJWEntryFixture search = Firm(idSearchOnly, "Suche");
    search.Record.Searchwords = {"x"};
    search.BranchIds = {idSearchOnly, idFirm};
    entries.push_back(std::move(search));
    jw::TJWTemplateFixture t;
    t.Id = 2;
    t.Button1 = jwtest::MakeBmp24(jwtest::Gradient(24, 10));
    t.Button2 = jwtest::MakeBmp24(jwtest::Gradient(26, 11));
    t.BackgroundColor = 0x336699;  // red 0x99, green 0x66, blue 0x33
    t.CaptionLeft = 12;
    jwtest::WriteDataDir(Data, entries, {{idFirm, jwtest::Gradient(33, 17)}}, {t});
  }

  void Write(const std::string& AName, const std::string& AText) {
    std::ofstream(Inc.Path() / (AName + ".html"), std::ios::binary) << AText;
  }

  // The call's result: "<null>" without a stream, else the stream's bytes.
  std::string Get(uint32_t AId, uint32_t APage, const char* AParams = "", uint8_t AShow = 0,
                  uint8_t AForce = 0, const char* AInclude = nullptr) {
    const std::string include = Inc.Dir();
    return jwtest::TakeStream(Lib().GetHTMLText(AId, AInclude ? AInclude : include.c_str(), APage,
                                                AParams, AShow, AForce));
  }

  // The log lines written since the last call.
  std::vector<std::string> NewLogLines() {
    std::vector<std::string> lines = jwtest::LogLines(Cwd.Path());
    lines.erase(lines.begin(), lines.begin() + std::ptrdiff_t(LogRead));
    LogRead += lines.size();
    return lines;
  }

  jwtest::TTempDir Data, Inc, Cwd;
  jwtest::TCurrentDir InCwd{Cwd.Path()};
  size_t LogRead = 0;
};

TEST_F(HtmlExport, PagePositionsMapToTheEntrysButtons) {
  Write("main1", "main1:<#FIELD NAME=PARAM VALUE=$pageidx$/$pagename$>");
  Write("main2", "main2:<#FIELD NAME=PARAM VALUE=$pageidx$/$pagename$>");
  Write("route", "route:<#FIELD NAME=PARAM VALUE=$pageidx$/$pagename$>");
  // Search words (2) and branches (6) are the entry's buttons.
  EXPECT_EQ(Get(idSearchOnly, 0), "main1:2/searchwords\r\n");
  EXPECT_EQ(Get(idSearchOnly, 1), "main2:6/branches\r\n");
  EXPECT_EQ(Get(idSearchOnly, 2), "main1:0/industries\r\n");  // beyond the buttons: page 0
  EXPECT_EQ(Get(idSearchOnly, 1, "FORCEPAGE=5"), "route:5/pointofplace\r\n");
  // With the location forced, the location button takes position 1.
  EXPECT_EQ(Get(idSearchOnly, 1, "", 0, 1), "route:5/pointofplace\r\n");
  EXPECT_TRUE(NewLogLines().empty());
}

TEST_F(HtmlExport, FieldsFromAllThreeDataFiles) {
  Write("main1",
        "<#FIELD NAME=FIRM>|<#FIELD NAME=BGCOLOR>|<#FIELD NAME=BUT1_WIDTH>x<#FIELD "
        "NAME=BUT1_HEIGHT>|<#FIELD NAME=BUT2_WIDTH>x<#FIELD NAME=BUT2_HEIGHT>|"
        "<#FIELD NAME=CAPTIONLEFT>|<#FIELD NAME=LOGO DEFAULT=ohne.svg>|"
        "<#FIELD NAME=BUT1 TYPE=NEXT><#FIELD NAME=BUT1 TYPE=NEXT>,<#FIELD NAME=BUTURL1>");
  EXPECT_EQ(Get(idFirm, 0),
            "Muster|996633|24x10|26x11|12|logo.jpg?jwid=17&tmpid=2|Branchen,"
            "?pagenum=2&pagename=industries&pageidx=0\r\n");
  // No logo, and a template the file does not hold (nor its default): empty values.
  EXPECT_EQ(Get(idSearchOnly, 7),
            "Suche|000000|0x0|0x0|0|ohne.svg?jwid=30&tmpid=0|"
            "BranchenSuchworte,?pagenum=2&pagename=industries&pageidx=0\r\n");
}

// The query string reaches the page as given: merged, a leading "?" part of the first name.
TEST_F(HtmlExport, QueryStringsAreMergedAndTheirValuesEscaped) {
  Write("main1", "<#FIELD NAME=PARAM VALUE=[?a?]|[?x?]|[??x?]|[?q?]>");
  EXPECT_EQ(Get(idFirm, 0, "?x=1&a=1&a=2&q=\"><script>"), "2||1|&quot;&gt;&lt;script&gt;\r\n");
  EXPECT_EQ(Get(idFirm, 0, nullptr), "|||\r\n");
}

TEST_F(HtmlExport, WithoutIncludePathTheTemplatesComeFromTheCurrentDirectory) {
  std::ofstream(Cwd.Path() / "main1.html", std::ios::binary) << "hier";
  EXPECT_EQ(Get(idFirm, 0, "", 0, 0, ""), "hier\r\n");
  EXPECT_EQ(jwtest::TakeStream(Lib().GetHTMLText(idFirm, nullptr, 0, nullptr, 0, 0)), "hier\r\n");
}

TEST_F(HtmlExport, FailuresAreLoggedWithTheirResults) {
  const std::string inc = Inc.Dir();
  auto call = [&](uint32_t AId, uint32_t APage, const std::string& AParams, int AShow, int AForce) {
    return "JW_GetHTMLText( " + std::to_string(AId) + ", \"" + inc + "\", " +
           std::to_string(APage) + ", \"" + AParams + "\", " + std::to_string(AShow) + ", " +
           std::to_string(AForce) + " ): ";
  };

  // No template file "main1": the stream exists, empty.
  EXPECT_EQ(Get(idFirm, 0, "a=1", 1, 0), "");
  EXPECT_EQ(NewLogLines(), std::vector<std::string>{call(idFirm, 0, "a=1", 1, 0) + "Datei \"" +
                                                    inc + "main1.html\" nicht gefunden!"});

  // A template line that is too long, and a bad escape in a tag parameter.
  Write("main1", std::string(5000, 'x'));
  EXPECT_EQ(Get(idFirm, 0), "");
  Write("main1", "ok\r\n<#FIELD NAME=PARAM VALUE=%zz>");
  EXPECT_EQ(Get(idFirm, 0), "");
  const std::string plain = call(idFirm, 0, "", 0, 0);
  EXPECT_THAT(NewLogLines(),
              ElementsAre(StartsWith(plain + "Zeile zu lang in Zeile 1"), StartsWith(plain)));

  // An unknown entry, and missing data files: no stream at all.
  Write("main1", "ok");
  EXPECT_EQ(Get(idMissing, 3, "", 0, 1), "<null>");
  EXPECT_EQ(NewLogLines(), std::vector<std::string>{call(idMissing, 3, "", 0, 1) +
                                                    "#99 JW Eintrag nicht gefunden!"});
  for (const char* file : {"JWIMG.SRM", "JWTMP.SRM", "JWDAT.SRM"}) {
    fs::rename(Data.Path() / file, Data.Path() / "saved");
    EXPECT_EQ(Get(idFirm, 0), "<null>") << file;
    EXPECT_EQ(NewLogLines(), std::vector<std::string>{plain + "Datei \"" + Data.Dir() + file +
                                                      "\" nicht gefunden!"});
    fs::rename(Data.Path() / "saved", Data.Path() / file);
  }
  EXPECT_EQ(Get(idFirm, 0), "ok\r\n");
  EXPECT_TRUE(NewLogLines().empty());

  // A template field whose picture does not decode: the failure comes while the page is made.
  {
    jw::TJWTmpWriter broken(Data.Dir() + "JWTMP.SRM");
    jw::TJWTemplateEntry entry;
    entry.Id = 2;
    std::tie(entry.Button1Offset, entry.Button1Size) = broken.AddData({1, 2, 3, 4});
    broken.AddEntry(entry);
    broken.Finish();
  }
  Write("main1", "<#FIELD NAME=BUT1_WIDTH>");
  EXPECT_EQ(Get(idFirm, 0), "");
  EXPECT_THAT(NewLogLines(), ElementsAre(StartsWith(plain)));

  // A malformed template file fails before the stream exists.
  jw::TJWTmpWriter damaged(Data.Dir() + "JWTMP.SRM");
  damaged.SetEntrySize(41);
  damaged.Finish();
  EXPECT_EQ(Get(idFirm, 0), "<null>");
  EXPECT_EQ(NewLogLines(), std::vector<std::string>{plain + "JWTMP: Wrong Filesize!"});
}

}  // namespace
