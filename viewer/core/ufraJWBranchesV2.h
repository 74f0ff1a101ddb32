#pragma once
// The branch offices page: the entry's branches as two-line rows, sortable by street, postcode,
// town, firm name or distance from a start position, with a search laid over the list and a double
// click that opens a branch in a window of its own.
#include <functional>
#include <string>
#include <vector>

#include "viewer/core/JW2FormTypes.h"
#include "viewer/core/JWBranchButtons.h"
#include "viewer/core/JWEFrame.h"
#include "viewer/core/JWESortBranches.h"

namespace jw {

class TfraJWBranchesFinder;
class TfraJWBranchesSearch;

// The four texts of a branch row: postcode and town, street (left column); firm on one line and
// telephone (right column).
struct TJWBranchRowTexts {
  std::string ZipCity;
  std::string Street;
  std::string Firm;
  std::string Phone;
};
TJWBranchRowTexts BranchRowTexts(const TJWBranchRec& ABranch);

// What every branch page shows: the background, the header band with its caption and the three
// edge lines.
void PaintBranchPageFrame(TJWPainter& APainter, const std::string& ACaption);

class TfraJWBranchesV2 : public TJWFrame {
 public:
  static constexpr int32_t kWidth = 456;
  static constexpr int32_t kHeight = 215;
  static constexpr int32_t kHeaderHeight = 28;
  static constexpr int32_t kRowHeight = 32;
  static constexpr TJWColor kEvenColor = 0xFFF6ED;
  static constexpr TJWColor kOddColor = 0xFAE3BA;
  static constexpr TJWColor kHeaderColor = 0xB6BFE0;
  static constexpr TJWColor kSelectedTextColor = 0x0000FF;
  static inline const char* const kOrders[5] = {"Strasse", "PLZ", "Ort", "Firma", "Entfernung"};

  explicit TfraJWBranchesV2(TfrmJW& AForm);
  ~TfraJWBranchesV2() override;

  void SetData(TJW2DataRec* ARec) override;
  // Sorts the shown branches by the order selected in the sort box; for the distance order the
  // host is asked for the start position first.
  void UpdateRecords();
  // Takes over what the search or finder frame found when it closes.
  void ChildFrameClosed(TJWFrame* ASender);

  // The branches shown, in their order: all of the entry's or a search result.
  const TJWBranchList& Branches() const { return FBranches; }
  std::vector<TJWBranchRec>* OrgBranches() const { return FOrgBranches; }
  TfraJWBranchesSearch* SearchFrame() const { return FSearchFrame.get(); }
  TfraJWBranchesFinder* FinderFrame() const { return FFinderFrame.get(); }
  int32_t DistanceIndex() const { return boDistance; }
  int32_t OrderIndex() const { return FOrder; }
  // Chooses an order as the sort box does (and sorts).
  void SelectOrder(int32_t AIndex);
  int32_t Selection() const { return FSelection; }
  void SetSelection(int32_t ARow) { FSelection = ARow; }
  int32_t ListId() const { return FListId; }
  int32_t OrderBoxId() const { return FOrderBoxId; }

  // Start position of the distance order, decimal degrees.
  double StartEast = 0;
  double StartNorth = 0;
  TJWGetStartPositionFunc OnGetStartPosition;
  TJWLocateAddressFunc OnLocateAddress;
  std::function<void(const TJWBranchRec&)> OnOpenBranch;

  // Opens the selected branch through OnOpenBranch.
  void vlbUEDblClick();
  void imgSearchClick();
  void imgFinderClick();
  void ResetButtons();

  TJWImageButton imgSearch{{240, 5, 17, 19}, "SEARCHOUT", "SEARCHOVER"};
  TJWImageButton imgFinder{{331, 5, 17, 19}, "FINDEROUT", "FINDEROVER", false};

  void Paint(TJWPainter& APainter) override;
  void PaintListRow(TJWPainter& APainter, int32_t AControlId, int32_t ARow, bool ASelected,
                    int32_t AWidth) override;
  bool Click(int32_t AX, int32_t AY) override;
  void MouseMove(int32_t AX, int32_t AY) override;
  void MouseLeave() override;
  TJWCursor CursorAt(int32_t AX, int32_t AY) const override;
  bool ControlEvent(const TJWControlEvent& AEvent) override;
  int32_t ListRowWidth(int32_t AControlId) const override {
    return AControlId == FListId ? kWidth - 2 : -1;
  }

 private:
  // The search or finder frame when one lies over the page.
  TJWFrame* OpenChild() const;
  void ShowAll();
  void SortShown(bool AAskHost);

  std::vector<TJWBranchRec>* FOrgBranches = nullptr;
  TJWBranchList FBranches;
  std::unique_ptr<TfraJWBranchesSearch> FSearchFrame;
  std::unique_ptr<TfraJWBranchesFinder> FFinderFrame;
  int32_t FOrder = boZip;
  int32_t FSelection = -1;
  int32_t FTopRow = 0;
  int32_t FListId;
  int32_t FOrderBoxId;
};

}  // namespace jw
