#pragma once
// The branch search the branch page lays over its list: narrows the branches by the beginning of
// postcode and town, or asks the host to locate an address so the page can sort by distance from
// it. The finder frame shares its header, Back button and result hand-over.
#include <functional>
#include <memory>
#include <vector>

#include "viewer/core/JW2FormTypes.h"
#include "viewer/core/JWBranchButtons.h"
#include "viewer/core/JWEFrame.h"
#include "viewer/core/JWESortBranches.h"

namespace jw {

// What the search and finder frames have in common: the size and colours, the header with its
// caption and Back button, the start button, the branch list they work on and the result they
// hand to the page when closed.
class TJWBranchChildFrame : public TJWFrame {
 public:
  static constexpr int32_t kWidth = 456;
  static constexpr int32_t kHeight = 215;

  // The entry's full branch list, handed in by the page at each opening; not owned.
  std::vector<TJWBranchRec>* OrgBranches = nullptr;
  // The result: references into OrgBranches. None means "show all branches".
  std::unique_ptr<TJWBranchList> ResultList;
  // Raised by Back and by a finished search; the page answers with its ChildFrameClosed.
  std::function<void(TJWFrame*)> OnClose;

  TJWImageButton imgBack;
  TJWImageButton imgSearch{{331, 133, 17, 19}, "SEARCHSTARTOUT", "SEARCHSTARTOVER"};

  void imgBackClick();
  // Puts both buttons back to rest.
  void ResetButtons();

  void Paint(TJWPainter& APainter) override;
  bool Click(int32_t AX, int32_t AY) override;
  void MouseMove(int32_t AX, int32_t AY) override;
  void MouseLeave() override { ResetButtons(); }
  TJWCursor CursorAt(int32_t AX, int32_t AY) const override;
  bool ControlEvent(const TJWControlEvent& AEvent) override;

  // A text box of the frame.
  struct TEdit {
    int32_t Id = 0;
    TJWRect Rect;
    std::string Text;
    bool Visible = true;
    bool Enabled = true;
  };
  struct TLabel {
    TJWRect Rect;
    std::string Text;
    bool Bold = false;
    bool RightAligned = false;
    bool Visible = true;
  };

 protected:
  TJWBranchChildFrame(TfrmJW& AForm, std::string ACaption, int32_t ABackTop);
  // A label; ARightAligned labels end at ALeft + 88.
  TLabel& AddLabel(const char* AText, int32_t ALeft, int32_t ATop, bool ABold,
                   bool ARightAligned = false);
  TEdit& AddEdit(int32_t ALeft, int32_t ATop, int32_t AWidth);
  virtual void PaintControls(TJWPainter&) {}

  std::string FCaption;
  std::vector<TLabel> FLabels;
  std::vector<std::unique_ptr<TEdit>> FEdits;
};

class TfraJWBranchesSearch : public TJWBranchChildFrame {
 public:
  explicit TfraJWBranchesSearch(TfrmJW& AForm);

  TJWLocateAddressFunc OnLocateAddress;
  // Position the host found for the entered address, decimal degrees; 0/0 until one was found.
  double FoundEast = 0;
  double FoundNorth = 0;
  // The page's sort order after closing; the distance order after a nearest search.
  int32_t OrderIndex = 0;

  // Runs the search and, unless the host could not locate the address, closes the frame.
  void btnSearchClick();

  TEdit& edtStrasse;
  TEdit& edtPLZ;
  TEdit& edtOrt;
  // Which radio button is checked: the exact search or the nearest branch.
  bool Nearest = false;
  int32_t ExactId, NearestId;

  bool ControlEvent(const TJWControlEvent& AEvent) override;

 protected:
  void PaintControls(TJWPainter& APainter) override;

 private:
  bool Search();
};

class TfraJWBranchesFinder : public TJWBranchChildFrame {
 public:
  explicit TfraJWBranchesFinder(TfrmJW& AForm);
};

}  // namespace jw
