#pragma once
// The branch search the branch page lays over its list: narrows the branches by the beginning of
// postcode and town, or asks the host to locate an address so the page can sort by distance from
// it. The finder frame shares its header, Back button and result hand-over.
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "viewer/core/JW2FormTypes.h"
#include "viewer/JWEFrame.h"
#include "viewer/core/JWESortBranches.h"

class QLineEdit;
class QRadioButton;

namespace jw {

class TJWImageButton;

// What the search and finder frames have in common: the size and colours, the header with its
// caption and Back button, the start button, the branch list they work on and the result they
// hand to the page when closed.
class TJWBranchChildFrame : public TJWFrame {
  Q_OBJECT

 public:
  static constexpr int kWidth = 456;
  static constexpr int kHeight = 215;

  // The entry's full branch list, handed in by the page at each opening; not owned.
  std::vector<TJWBranchRec>* OrgBranches = nullptr;
  // The result: references into OrgBranches. None means "show all branches".
  std::unique_ptr<TJWBranchList> ResultList;
  // Raised by Back and by a finished search; the page answers with its ChildFrameClosed.
  std::function<void(QObject*)> OnClose;

  TJWImageButton* imgBack() const { return FimgBack; }
  TJWImageButton* imgSearch() const { return FimgSearch; }

  void imgBackClick();
  // Puts both buttons back to rest.
  void ResetButtons();

 protected:
  TJWBranchChildFrame(QWidget* AOwner, const char* AObjectName, const char* ACaption, int ABackTop);

  QWidget* Background() const { return FBackground; }
  // A label on the background; ARightAligned labels end at ALeft + 88.
  QLabel* AddLabel(const char* AName, const char* AText, int ALeft, int ATop, bool ABold,
                   bool ARightAligned = false);
  QLineEdit* AddEdit(const char* AName, int ALeft, int ATop, int AWidth);

 private:
  QWidget* FBackground;
  TJWImageButton* FimgBack;
  TJWImageButton* FimgSearch;
};

class TfraJWBranchesSearch : public TJWBranchChildFrame {
  Q_OBJECT

 public:
  Q_INVOKABLE explicit TfraJWBranchesSearch(QWidget* AOwner = nullptr);

  TJWLocateAddressFunc OnLocateAddress;
  // Position the host found for the entered address, decimal degrees; 0/0 until one was found.
  double FoundEast = 0;
  double FoundNorth = 0;
  // The page's sort order after closing; the distance order after a nearest search.
  int32_t OrderIndex = 0;

  // Runs the search and, unless the host could not locate the address, closes the frame.
  void btnSearchClick();

  QLineEdit* edtStrasse;
  QLineEdit* edtPLZ;
  QLineEdit* edtOrt;
  QRadioButton* rbtExakt;
  QRadioButton* rbtEntfernung;

 private:
  bool Search();
};

}  // namespace jw
