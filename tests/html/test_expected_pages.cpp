// Whole pages of the bundled sample, produced as JW_GetHTMLText produces them, against the pages
// kept in tests/html/expected (Expected.h: JW_UPDATE_EXPECTED=1 rewrites them).
#include <memory>
#include <vector>

#include "Expected.h"

#include "html/JWHTMLProducer.h"
#include "store/JWDataDirectory.h"
#include "store/JWEButtons.h"

using namespace jw;
namespace fs = std::filesystem;

namespace {

// A line of cases/pages.txt: the expected file, the entry, flags (L: show the location button,
// F: force it, 0: position 0 only, for requests that force a page) and the request.
struct TPageCase {
  std::string Name, Flags, Params;
  uint32_t Entry = 0;
  bool Has(char AFlag) const { return Flags.find(AFlag) != std::string::npos; }
};

std::vector<TPageCase> ReadCases() {
  std::vector<TPageCase> cases;
  std::istringstream in(jw::test::ReadWhole(JW_HTML_CASES "/pages.txt"));
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    TPageCase c;
    std::istringstream fields(line);
    fields >> c.Name >> c.Entry >> c.Flags;
    std::getline(fields >> std::ws, c.Params);
    c.Params = jw::test::Unescape(c.Params);
    cases.push_back(c);
  }
  return cases;
}

// Every page position of the entry, one beyond the last included (it falls back to page 0).
std::string Pages(const TPageCase& ACase) {
  auto files = std::make_shared<TJWDataDirectory>(JW_SAMPLE_DATA "/");
  TJWButtonSet set = 0;
  const int32_t count =
      DeriveButtons(*files->EntryWithoutLogo(ACase.Entry), ACase.Has('L'), ACase.Has('F'), set);
  Include(set, brClose);
  std::string all;
  for (int32_t position = 0; position <= (ACase.Has('0') ? 0 : count); ++position) {
    TJWHTMLProducer producer;
    producer.SetShowPoPButton(ACase.Has('L'));
    producer.SetPendixInstalled(ACase.Has('F'));
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
  const fs::path file = fs::path(JW_EXPECTED_PAGES) / (GetParam().Name + ".html");
  jw::test::MatchExpected(file, Pages(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Sample, ExpectedPages, ::testing::ValuesIn(ReadCases()),
                         [](const auto& AInfo) {
                           std::string name = AInfo.param.Name;
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return "e" + name;
                         });

}  // namespace
