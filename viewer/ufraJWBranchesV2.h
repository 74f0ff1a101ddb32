#pragma once
// The branch offices page: the entry's branches as two-line rows, sortable by street, postcode,
// town, firm name or distance from a start position, with a search laid over the list and a double
// click that opens a branch in a window of its own.
#include <QAbstractListModel>
#include <functional>
#include <string>
#include <vector>

#include "viewer/JW2FormTypes.h"
#include "viewer/JWEFrame.h"
#include "viewer/JWESortBranches.h"

class QComboBox;
class QListView;
class QPainter;

namespace jw {

class TJWImageButton;
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

// The list's rows exist only as a count; the page paints them from its branch list.
class TJWBranchListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;
  int rowCount(const QModelIndex& AParent = QModelIndex()) const override;
  QVariant data(const QModelIndex& AIndex, int ARole) const override;
  void SetCount(int ACount);

 private:
  int FCount = 0;
};

class TfraJWBranchesV2 : public TJWFrame {
  Q_OBJECT

 public:
  static constexpr int kWidth = 456;
  static constexpr int kHeight = 215;
  static constexpr int kRowHeight = 32;
  static inline const QColor kEvenColor{0xFF, 0xF6, 0xED};
  static inline const QColor kOddColor{0xFA, 0xE3, 0xBA};
  static inline const QColor kSelectedTextColor{0x00, 0x00, 0xFF};

  Q_INVOKABLE explicit TfraJWBranchesV2(QWidget* AOwner = nullptr);
  ~TfraJWBranchesV2() override;

  void SetData(TJW2DataRec* ARec) override;
  void UpdateContent() override;
  // Sorts the shown branches by the order selected in the sort box; for the distance order the
  // host is asked for the start position first.
  void UpdateRecords();
  // Takes over what the search or finder frame found when it closes.
  void ChildFrameClosed(QObject* ASender);

  // The branches shown, in their order: all of the entry's or a search result.
  const TJWBranchList& Branches() const { return FBranches; }
  std::vector<TJWBranchRec>* OrgBranches() const { return FOrgBranches; }
  TfraJWBranchesSearch* SearchFrame() const { return FSearchFrame; }
  TfraJWBranchesFinder* FinderFrame() const { return FFinderFrame; }
  int32_t DistanceIndex() const { return FDistanceIndex; }

  // Start position of the distance order, decimal degrees.
  double StartEast = 0;
  double StartNorth = 0;
  TJWGetStartPositionFunc OnGetStartPosition;
  TJWLocateAddressFunc OnLocateAddress;
  std::function<void(const TJWBranchRec&)> OnOpenBranch;

  // Paints row AIndex into ARect; rows beyond the list paint nothing.
  void vlbUEDrawItem(QPainter& APainter, int AIndex, const QRect& ARect, bool ASelected) const;
  QColor vlbUEGetItemColor(int AIndex) const;
  // Opens the selected branch through OnOpenBranch.
  void vlbUEDblClick();
  void imgSearchClick();
  void imgFinderClick();
  void ResetButtons();

  QComboBox* cmbOrderBy;
  TJWImageButton* imgSearch;
  TJWImageButton* imgFinder;
  QListView* vlbUE;

 private:
  void SetRowCount(int ACount);
  void ShowAll();
  void SelectOrder(int AIndex);
  void SortShown(bool AAskHost);
  uintptr_t ParentWindowId() const;

  TJWBranchListModel* FModel;
  std::vector<TJWBranchRec>* FOrgBranches = nullptr;
  TJWBranchList FBranches;
  TfraJWBranchesSearch* FSearchFrame = nullptr;  // child widgets: the page owns them
  TfraJWBranchesFinder* FFinderFrame = nullptr;
  int32_t FDistanceIndex = 0;
};

}  // namespace jw
