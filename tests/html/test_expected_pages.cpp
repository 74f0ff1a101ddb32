// Whole pages of the bundled sample, produced as JW_GetHTMLText produces them, against the pages
// kept in tests/html/expected (Expected.h: JW_UPDATE_EXPECTED=1 rewrites them).
#include <filesystem>
#include <memory>
#include <string>

#include "Expected.h"

#include "html/JWHTMLProducer.h"
#include "store/JWDataDirectory.h"
#include "store/JWEButtons.h"

using namespace jw;
namespace fs = std::filesystem;

namespace {

struct TPageCase {
  const char* Name;  // the expected file
  uint32_t Entry;
  const char* Params;
  bool ShowLocation, ForceLocation;
  bool AllPositions = true;  // else position 0 only (for requests that force a page)
};

// Entries with every kind of office hours and extra information, one without a position, chains
// with branch offices; for the chain also branch paging, sorting and filtering.
const TPageCase kCases[] = {
    {"1002", 1002, "", true, false},
    {"1003", 1003, "", true, false},
    {"1005", 1005, "", true, false},
    {"1006", 1006, "", true, false},
    {"1010-forced", 1010, "", false, true},
    {"1016", 1016, "", true, false},
    {"2001", 2001, "", true, false},
    {"2001-page2", 2001, "FORCEPAGE=6&BRANCHESPOS=5", true, false, false},
    {"2001-dist", 2001, "FORCEPAGE=6&BRANCHES_SORT=DIST&STARTX=410,5&STARTY=3056,7", true, false,
     false},
    {"2001-zip-last", 2001, "FORCEPAGE=6&BRANCHES_SORT=zip&BRANCHESPOS=10", true, false, false},
    {"2001-filter", 2001, "FORCEPAGE=6&BRANCHES_FILTER=1&BRANCHES_ZIP=50", true, false, false},
    // Filter values are trimmed (the street's) and compared in capitals (the city's).
    {"2001-filter-city", 2001,
     "FORCEPAGE=6&BRANCHES_SORT=CITY&BRANCHES_FILTER= 1 &BRANCHES_CITY=k\xF6ln&BRANCHES_STREET= h",
     true, false, false},
    {"2001-search", 2001, "FORCEPAGE=6&BRANCHES_PAGE=search", true, false, false},
    {"3001", 3001, "", true, false},
    {"4001-firm", 4001, "FORCEPAGE=6&BRANCHES_SORT=FIRM&BRANCHES_FILTER=0&BRANCHES_ZIP=9", true,
     false, false},
    {"5001", 5001, "", false, false},
};

// Every page position of the entry, one beyond the last included (it falls back to page 0).
std::string Pages(const TPageCase& ACase) {
  auto files = std::make_shared<TJWDataDirectory>(JW_SAMPLE_DATA "/");
  TJWButtonSet set = 0;
  const int32_t count = DeriveButtons(*files->EntryWithoutLogo(ACase.Entry), ACase.ShowLocation,
                                      ACase.ForceLocation, set);
  Include(set, brClose);
  std::string all;
  for (int32_t position = 0; position <= (ACase.AllPositions ? count : 0); ++position) {
    TJWHTMLProducer producer;
    producer.SetShowPoPButton(ACase.ShowLocation);
    producer.SetPendixInstalled(ACase.ForceLocation);
    producer.SetFilepath(JW_SAMPLE_DATA "/");
    producer.OpenDataFiles(files);
    producer.SetQueryParams(ACase.Params);
    producer.SetIncludePath(JW_SAMPLE_TEMPLATES);
    producer.SetJW2ID(static_cast<int32_t>(ACase.Entry));
    all += "==== position " + std::to_string(position) + " ====\r\n";
    producer.WritePage(&all, Index2JWButton(uint32_t(position), set));
  }
  return all;
}

void PrintTo(const TPageCase& ACase, std::ostream* AOut) {
  *AOut << ACase.Name;
}

class ExpectedPages : public ::testing::TestWithParam<TPageCase> {};

TEST_P(ExpectedPages, ProducedPagesMatchTheKeptOnes) {
  if (!fs::exists(JW_SAMPLE_DATA "/JWDAT.SRM")) GTEST_SKIP() << "no sample data";
  const fs::path file = fs::path(JW_EXPECTED_PAGES) / (std::string(GetParam().Name) + ".html");
  jw::test::MatchExpected(file, Pages(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Sample, ExpectedPages, ::testing::ValuesIn(kCases), [](const auto& AInfo) {
  std::string name = AInfo.param.Name;
  for (char& c : name)
    if (c == '-') c = '_';
  return "e" + name;
});

}  // namespace
