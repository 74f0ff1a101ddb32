// HTML pages through the C boundary: the flags and the page position reach the producer, and a
// failure gives an empty stream or none at all, with the call's line in the log. The pages
// themselves are the producer's (tests/html).
#include <gmock/gmock.h>

#include "DataDir.h"

namespace {

using jwtest::Lib;
using ::testing::ElementsAre;
using ::testing::StartsWith;
using TLines = std::vector<std::string>;
namespace fs = std::filesystem;

enum : uint32_t { idSearchOnly = 30, idMissing = 99 };

class HtmlExport : public ::testing::Test {
 protected:
  void SetUp() override {
    jw::TJWEntryFixture e;
    e.Id = idSearchOnly;
    e.Record.Searchwords = {"x"};
    e.BranchIds = {idSearchOnly, idSearchOnly};
    jwtest::WriteDataDir(Data.Dir(), {e}, {}, {jw::TJWTemplateFixture{}});
  }
  void Write(const std::string& AName, const std::string& AText) {
    std::ofstream(Inc.Path() / (AName + ".html"), std::ios::binary) << AText;
  }
  // The call's result: "<null>" without a stream, else the stream's bytes.
  std::string Get(uint32_t AId, uint32_t APage, const char* AParams = "", uint8_t AShow = 0,
                  uint8_t AForce = 0) {
    return jwtest::TakeStream(
        Lib().GetHTMLText(AId, Inc.Dir().c_str(), APage, AParams, AShow, AForce));
  }
  // The log lines written since the last call.
  TLines NewLogLines() {
    TLines lines = jwtest::LogLines(Cwd.Path());
    lines.erase(lines.begin(), lines.begin() + std::ptrdiff_t(LogRead));
    LogRead += lines.size();
    return lines;
  }

  jwtest::TTempDir Data, Inc, Cwd;
  jwtest::TCurrentDir InCwd{Cwd.Path()};
  size_t LogRead = 0;
};

TEST_F(HtmlExport, PagePositionsMapToTheEntrysButtons) {
  for (const char* page : {"main1", "main2"})
    Write(page, std::string(page) + ":<#FIELD NAME=PARAM VALUE=$pageidx$/$pagename$|[?a?]>");
  // The location's page shows its navigation buttons, which follow the same flags.
  Write("route",
        "<#FIELD NAME=BUT1 TYPE=NEXT>,<#FIELD NAME=BUT1 TYPE=NEXT>,<#FIELD NAME=BUT1 TYPE=NEXT>");
  // Search words (2) and branches (6) are the entry's buttons.
  EXPECT_EQ(Get(idSearchOnly, 0), "main1:2/searchwords|\r\n");
  EXPECT_EQ(Get(idSearchOnly, 1, "a=1"), "main2:6/branches|1\r\n");
  EXPECT_EQ(Get(idSearchOnly, 2, nullptr), "main1:0/industries|\r\n");  // beyond: page 0
  // With the location forced, the location button takes position 1, in the page's buttons too.
  EXPECT_EQ(Get(idSearchOnly, 1, "", 0, 1), "Branchen,Suchworte,Standort zeigen\r\n");
  EXPECT_TRUE(NewLogLines().empty());
  // Without an include path the templates come from the current directory.
  std::ofstream(Cwd.Path() / "main1.html", std::ios::binary) << "hier";
  EXPECT_EQ(jwtest::TakeStream(Lib().GetHTMLText(idSearchOnly, nullptr, 0, nullptr, 0, 0)),
            "hier\r\n");
}

TEST_F(HtmlExport, FailuresAreLoggedWithTheirResults) {
  const std::string inc = Inc.Dir(),
                    call = "JW_GetHTMLText( 30, \"" + inc + "\", 0, \"\", 0, 0 ): ";
  // No template file "main1": the stream exists, empty.
  EXPECT_EQ(Get(idSearchOnly, 0, "a=1", 1, 0), "");
  EXPECT_EQ(NewLogLines(),
            TLines{"JW_GetHTMLText( 30, \"" + inc + "\", 0, \"a=1\", 1, 0 ): Datei \"" + inc +
                   "main1.html\" nicht gefunden!"});
  // A failure in the middle of the page: what was written before it is dropped too.
  Write("main1", "ok\r\n<#FIELD NAME=PARAM VALUE=%zz>");
  EXPECT_EQ(Get(idSearchOnly, 0), "");
  EXPECT_THAT(NewLogLines(), ElementsAre(StartsWith(call)));
  // An unknown entry, missing data files and a malformed template file: no stream at all.
  Write("main1", "ok");
  EXPECT_EQ(Get(idMissing, 3, "", 0, 1), "<null>");
  EXPECT_EQ(NewLogLines(), TLines{"JW_GetHTMLText( 99, \"" + inc +
                                  "\", 3, \"\", 0, 1 ): #99 JW Eintrag nicht gefunden!"});
  for (const char* file : {"JWIMG.SRM", "JWTMP.SRM", "JWDAT.SRM"}) {
    fs::rename(Data.Path() / file, Data.Path() / "saved");
    EXPECT_EQ(Get(idSearchOnly, 0), "<null>") << file;
    EXPECT_EQ(NewLogLines(), TLines{call + "Datei \"" + Data.Dir() + file + "\" nicht gefunden!"});
    fs::rename(Data.Path() / "saved", Data.Path() / file);
  }
  EXPECT_EQ(Get(idSearchOnly, 0), "ok\r\n");
  jw::TJWTmpWriter damaged(Data.Dir() + "JWTMP.SRM");
  damaged.SetEntrySize(41);
  damaged.Finish();
  EXPECT_EQ(Get(idSearchOnly, 0), "<null>");
  EXPECT_EQ(NewLogLines(), TLines{call + "JWTMP: Wrong Filesize!"});
}

}  // namespace
