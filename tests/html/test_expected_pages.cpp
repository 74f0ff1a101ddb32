// The sample's pages, made as JW_GetHTMLText makes them, against those in tests/html/expected.
#include "Expected.h"
#include "html/JWHTMLProducer.h"
#include "store/JWDataDirectory.h"
#include "store/JWEButtons.h"

using namespace jw;
namespace fs = std::filesystem;

namespace {

// Every page position of the entry, one beyond the last included (it falls back to page 0). Flags:
// L shows the location button, F forces it, 0 asks for position 0 only (requests forcing a page).
std::string Pages(uint32_t AEntry, const std::string& AFlags, const std::string& AParams) {
  auto has = [&](char AFlag) { return AFlags.find(AFlag) != std::string::npos; };
  auto files = std::make_shared<TJWDataDirectory>(JW_SAMPLE_DATA "/");
  TJWButtonSet set = 0;
  const int32_t count = DeriveButtons(*files->EntryWithoutLogo(AEntry), has('L'), has('F'), set);
  Include(set, brClose);
  std::string all;
  for (int32_t position = 0; position <= (has('0') ? 0 : count); ++position) {
    TJWHTMLProducer producer;
    producer.SetShowPoPButton(has('L'));
    producer.SetPendixInstalled(has('F'));
    producer.SetFilepath(JW_SAMPLE_DATA "/");
    producer.OpenDataFiles(files);
    producer.SetQueryParams(AParams);
    producer.SetIncludePath(JW_SAMPLE_TEMPLATES);
    producer.SetJW2ID(static_cast<int32_t>(AEntry));
    all += "==== position " + std::to_string(position) + " ====\r\n";
    producer.WritePage(&all, Index2JWButton(uint32_t(position), set));
  }
  return all;
}

}  // namespace

// A line of cases/pages.txt: the expected file, the entry, the flags and the request.
TEST(ExpectedPages, ProducedPagesMatchTheKeptOnes) {
  if (!fs::exists(JW_SAMPLE_DATA "/JWDAT.SRM")) GTEST_SKIP() << "no sample data";
  std::istringstream in(jw::test::ReadWhole(JW_HTML_CASES "/pages.txt"));
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::string name, flags, params;
    uint32_t entry = 0;
    std::istringstream fields(line);
    std::getline(fields >> name >> entry >> flags >> std::ws, params);
    jw::test::MatchExpected(fs::path(JW_EXPECTED_PAGES) / (name + ".html"),
                            Pages(entry, flags, jw::test::Unescape(params)));
  }
}
