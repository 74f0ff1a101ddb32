// Every page of three sample entries as display lists, kept as expected files: a chain head office
// with its branch offices, a full entry and a bare one. JW_UPDATE_EXPECTED=1 writes them anew.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "CoreFixture.h"
#include "viewer/core/ufraJWBranchesV2.h"
#include "viewer/core/ufraJWNavigation.h"

using namespace jw;
using namespace jwtest;

namespace {

std::vector<std::string> Lines(const std::string& AText) {
  std::vector<std::string> lines;
  std::istringstream in(AText);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A line diff (longest common subsequence), "-" expected, "+" actual, unchanged lines left out.
std::string Diff(const std::string& AExpected, const std::string& AActual) {
  const auto a = Lines(AExpected), b = Lines(AActual);
  std::vector<std::vector<int>> lcs(a.size() + 1, std::vector<int>(b.size() + 1));
  for (size_t i = a.size(); i-- > 0;)
    for (size_t j = b.size(); j-- > 0;)
      lcs[i][j] = a[i] == b[j] ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
  std::string out;
  size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    if (i < a.size() && j < b.size() && a[i] == b[j]) {
      ++i, ++j;
    } else if (j < b.size() && (i == a.size() || lcs[i][j + 1] >= lcs[i + 1][j])) {
      out += "@" + std::to_string(j + 1) + " +" + b[j] + "\n";
      ++j;
    } else {
      out += "@" + std::to_string(i + 1) + " -" + a[i] + "\n";
      ++i;
    }
  }
  return out;
}

void ExpectDump(const std::string& AName, const std::string& AActual) {
  const std::string path = std::string(JW_EXPECTED_DIR) + "/" + AName + ".txt";
  if (const char* update = std::getenv("JW_UPDATE_EXPECTED"); update && *update == '1') {
    std::ofstream(path, std::ios::binary) << AActual;
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << path << " is missing; JW_UPDATE_EXPECTED=1 writes it";
  const std::string expected((std::istreambuf_iterator<char>(in)), {});
  EXPECT_TRUE(expected == AActual) << AName << " differs:\n" << Diff(expected, AActual);
}

// The window's list and the rows of its lists (every row, the first one also selected).
std::string DumpWindow(TfrmJW& AForm, TJWTextMetrics& AMetrics) {
  const TJWDisplayList list = AForm.Paint(AMetrics);
  TJWDisplayList caption;
  caption.Items.emplace_back(TJWText{0, 0, {}, {}, 0, AForm.Caption()});
  std::string dump = "caption " + caption.Dump() + list.Dump();
  for (const TJWControlSlot& slot : list.Controls) {
    if (slot.Kind != TJWControlKind::ckList) continue;
    for (int32_t row = 0; row < slot.ItemCount; ++row)
      dump += "row " + std::to_string(slot.Id) + ":" + std::to_string(row) + "\n" +
              AForm.PaintListRow(AMetrics, slot.Id, row, false).Dump();
    if (slot.ItemCount > 0)
      dump += "selected row\n" + AForm.PaintListRow(AMetrics, slot.Id, 0, true).Dump();
  }
  return dump;
}

class Pages : public ::testing::TestWithParam<uint32_t> {
 protected:
  static void SetUpTestSuite() { Dir = new TSampleDir(); }
  static void TearDownTestSuite() { delete Dir; }
  static TSampleDir* Dir;
};
TSampleDir* Pages::Dir = nullptr;

TEST_P(Pages, EveryPageAsExpected) {
  TFixedMetrics metrics;
  const std::string id = std::to_string(GetParam());
  auto form = Dir->Open(GetParam());
  ExpectDump(id + "-start", DumpWindow(*form, metrics));
  for (const auto& panel : form->Navigation()->Panels()) {
    if (panel.Button == brClose || panel.Button == brPointOfPlace) continue;
    form->DoButtonEvent(panel.Button);
    ExpectDump(id + "-" + ButtonKeyTable[panel.Button], DumpWindow(*form, metrics));
    if (panel.Button != brBranches) continue;
    auto* page = static_cast<TfraJWBranchesV2*>(form->Frame(TfrmJW::fraPage));
    page->imgSearchClick();
    ExpectDump(id + "-branchsearch", DumpWindow(*form, metrics));
  }
}

INSTANTIATE_TEST_SUITE_P(Sample, Pages,
                         ::testing::Values(TSampleDir::kChain, TSampleDir::kFull,
                                           TSampleDir::kBare));

}  // namespace
