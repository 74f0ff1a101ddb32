#pragma once
// The branch offices page: the entry's branches as two-line rows, sortable by street, postcode,
// town, firm name or distance from a start position, with a search laid over the list and a double
// click that opens a branch in a window of its own.
#include <QAbstractListModel>
#include <QColor>
#include <QStyledItemDelegate>
#include <functional>
#include <string>
#include <vector>

#include "viewer/core/JW2FormTypes.h"
#include "viewer/JWEFrame.h"
#include "viewer/core/JWESortBranches.h"

class QComboBox;
class QListView;

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

// The shown branches as rows, in the page's order: the four texts of each row and its colour.
// Selection stays with the view.
class TJWBranchListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  enum TRole {
    ZipCityRole = Qt::UserRole + 1,
    StreetRole,
    FirmRole,
    PhoneRole,
  };
  static inline const QColor kEvenColor{0xFF, 0xF6, 0xED};
  static inline const QColor kOddColor{0xFA, 0xE3, 0xBA};

  using QAbstractListModel::QAbstractListModel;
  int rowCount(const QModelIndex& AParent = QModelIndex()) const override;
  // DisplayRole: the four texts in reading order; BackgroundRole: the row colour (QColor);
  // the four roles above: each text on its own. Rows beyond the list answer nothing.
  QVariant data(const QModelIndex& AIndex, int ARole) const override;
  // New rows: views drop their selection.
  void SetRows(std::vector<TJWBranchRowTexts> ARows);
  // The same number of rows in a new order: a selection stays on its row number.
  void ReorderRows(std::vector<TJWBranchRowTexts> ARows);

 private:
  std::vector<TJWBranchRowTexts> FRows;
};

// Paints a branch row from its model index alone: the row colour, the two columns of texts, blue
// when selected.
class TJWBranchRowDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  static constexpr int kRowHeight = 32;
  static inline const QColor kSelectedTextColor{0x00, 0x00, 0xFF};

  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* APainter, const QStyleOptionViewItem& AOption,
             const QModelIndex& AIndex) const override;
  QSize sizeHint(const QStyleOptionViewItem& AOption, const QModelIndex& AIndex) const override;
};

class TfraJWBranchesV2 : public TJWFrame {
  Q_OBJECT

 public:
  static constexpr int kWidth = 456;
  static constexpr int kHeight = 215;
  static constexpr int kRowHeight = TJWBranchRowDelegate::kRowHeight;
  static inline const QColor kEvenColor = TJWBranchListModel::kEvenColor;
  static inline const QColor kOddColor = TJWBranchListModel::kOddColor;
  static inline const QColor kSelectedTextColor = TJWBranchRowDelegate::kSelectedTextColor;

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
  // Hands the shown branches to the model; AReorder keeps the selection on its row number.
  void ShowRows(bool AReorder);
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
