// Every page of three sample entries as display lists, kept as expected files: a chain head office
// with its branch offices, a full entry and a bare one. JW_UPDATE_EXPECTED=1 writes them anew.
#include "../html/Expected.h"
#include "CoreFixture.h"
#include "viewer/core/ufraJWBranchesV2.h"
#include "viewer/core/ufraJWNavigation.h"

using namespace jw;
using namespace jwtest;

namespace {

void ExpectDump(const std::string& AName, const std::string& AActual) {
  jw::test::MatchExpected(std::string(JW_EXPECTED_DIR) + "/" + AName + ".txt", AActual);
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
  static inline TSampleDir* Dir = nullptr;
};

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
