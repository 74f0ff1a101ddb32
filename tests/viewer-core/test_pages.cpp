// Every page of a chain head office, a full entry, a bare one and the two whose lists may share a
// page, as display lists kept in expected files (JW_UPDATE_EXPECTED=1 writes them anew).
#include "../html/Expected.h"
#include "CoreFixture.h"
#include "viewer/core/ufraJWBranchesV2.h"
#include "viewer/core/ufraJWNavigation.h"

using namespace jw;
using namespace jwtest;

namespace {

// The window's list and the rows of its lists (every row, the first one also selected).
void ExpectDump(TfrmJW& AForm, const std::string& AName) {
  TFixedMetrics metrics;
  const TJWDisplayList list = AForm.Paint(metrics);
  const TJWDisplayList caption{{TJWText{0, 0, {}, {}, 0, AForm.Caption()}}, {}};
  std::string dump = "caption " + caption.Dump() + list.Dump();
  for (const TJWControlSlot& slot : list.Controls) {
    if (slot.Kind != TJWControlKind::ckList) continue;
    for (int32_t row = 0; row < slot.ItemCount; ++row)
      dump += "row " + std::to_string(slot.Id) + ":" + std::to_string(row) + "\n" +
              AForm.PaintListRow(metrics, slot.Id, row, false).Dump();
    if (slot.ItemCount > 0)
      dump += "selected row\n" + AForm.PaintListRow(metrics, slot.Id, 0, true).Dump();
  }
  jw::test::MatchExpected(std::string(JW_EXPECTED_DIR) + "/" + AName + ".txt", dump);
}

using Pages = TWithSample<::testing::TestWithParam<uint32_t>>;

TEST_P(Pages, EveryPageAsExpected) {
  const std::string id = std::to_string(GetParam());
  auto form = Dir->Open(GetParam());
  ExpectDump(*form, id + "-start");
  for (const auto& panel : form->Navigation()->Panels()) {
    if (panel.Button == brClose || panel.Button == brPointOfPlace) continue;
    form->DoButtonEvent(panel.Button);
    ExpectDump(*form, id + "-" + ButtonKeyTable[panel.Button]);
    if (panel.Button != brBranches) continue;
    static_cast<TfraJWBranchesV2*>(form->Frame(TfrmJW::fraPage))->imgSearchClick();
    ExpectDump(*form, id + "-branchsearch");
  }
}

INSTANTIATE_TEST_SUITE_P(Sample, Pages,
                         ::testing::Values(TSampleDir::kChain, TSampleDir::kFull, TSampleDir::kBare,
                                           TSampleDir::kShared, TSampleDir::kAlone));

}  // namespace
