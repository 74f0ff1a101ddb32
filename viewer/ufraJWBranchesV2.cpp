#include "viewer/ufraJWBranchesV2.h"

#include <QComboBox>
#include <QListView>
#include <QPainter>
#include <QSignalBlocker>

#include "viewer/JWBranchButtons.h"
#include "viewer/JWCodePage.h"
#include "viewer/core/JWViewerText.h"
#include "viewer/ufraJWBRanchesFinder.h"
#include "viewer/ufraJWBranchesSearch.h"

namespace jw {

namespace {

const QColor kHeaderColor{0xB6, 0xBF, 0xE0};
constexpr int kHeaderHeight = 28;

}  // namespace

TJWBranchRowTexts BranchRowTexts(const TJWBranchRec& ABranch) {
  // Qt draws "&" as itself, so the texts need no escaping for the painter.
  return {(ABranch.Zip + " " + ABranch.City).substr(0, 106), ABranch.Street,
          ReplaceBR(ABranch.Firm, " "), ABranch.Phone};
}

int TJWBranchListModel::rowCount(const QModelIndex& AParent) const {
  return AParent.isValid() ? 0 : int(FRows.size());
}

QVariant TJWBranchListModel::data(const QModelIndex& AIndex, int ARole) const {
  if (!AIndex.isValid() || AIndex.row() < 0 || size_t(AIndex.row()) >= FRows.size()) return {};
  const TJWBranchRowTexts& row = FRows[size_t(AIndex.row())];
  switch (ARole) {
    case Qt::DisplayRole:
      return ToQString(row.ZipCity + " " + row.Street + " " + row.Firm + " " + row.Phone);
    case Qt::BackgroundRole:
      return AIndex.row() % 2 == 0 ? kEvenColor : kOddColor;
    case ZipCityRole:
      return ToQString(row.ZipCity);
    case StreetRole:
      return ToQString(row.Street);
    case FirmRole:
      return ToQString(row.Firm);
    case PhoneRole:
      return ToQString(row.Phone);
    default:
      return {};
  }
}

void TJWBranchListModel::SetRows(std::vector<TJWBranchRowTexts> ARows) {
  beginResetModel();
  FRows = std::move(ARows);
  endResetModel();
}

void TJWBranchListModel::ReorderRows(std::vector<TJWBranchRowTexts> ARows) {
  if (ARows.size() != FRows.size()) return SetRows(std::move(ARows));
  FRows = std::move(ARows);
  if (!FRows.empty()) emit dataChanged(index(0), index(int(FRows.size()) - 1));
}

void TJWBranchRowDelegate::paint(QPainter* APainter, const QStyleOptionViewItem& AOption,
                                 const QModelIndex& AIndex) const {
  const QVariant background = AIndex.data(Qt::BackgroundRole);
  if (!background.isValid()) return;  // no such row
  const QRect& rect = AOption.rect;
  APainter->save();
  APainter->fillRect(rect, background.value<QColor>());
  APainter->setFont(AOption.font);
  APainter->setPen(AOption.state.testFlag(QStyle::State_Selected)
                       ? kSelectedTextColor
                       : AOption.palette.color(QPalette::Text));

  const QFontMetrics metrics(AOption.font);
  // Two columns of equal width; each text on one line, cut with an ellipsis when too long.
  const int right = rect.left() + rect.width();
  const int a = rect.left() + 2;
  const int t = rect.top() + 2;
  const int h = (right - 4) / 2;
  const int bottom = rect.top() + rect.height();
  auto draw = [&](int ARole, int ALeft, int ARight, int ATop) {
    const QString text =
        metrics.elidedText(AIndex.data(ARole).toString(), Qt::ElideRight, ARight - ALeft);
    const QRect box(ALeft, ATop, ARight - ALeft, std::max(0, bottom - ATop));
    APainter->drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    return metrics.height();
  };
  using M = TJWBranchListModel;
  draw(M::StreetRole, a, h, t + draw(M::ZipCityRole, a, h, t) + 2);
  const int left2 = a + h + 4;
  const int right2 = a + 2 * h + 4;
  draw(M::PhoneRole, left2, right2, t + draw(M::FirmRole, left2, right2, t) + 2);
  APainter->restore();
}

QSize TJWBranchRowDelegate::sizeHint(const QStyleOptionViewItem& AOption,
                                     const QModelIndex&) const {
  return {AOption.rect.width(), kRowHeight};
}

TfraJWBranchesV2::TfraJWBranchesV2(QWidget* AOwner) : TJWFrame(AOwner) {
  setObjectName(QStringLiteral("fraJWBranchesV2"));
  resize(kWidth, kHeight);
  setFixedWidth(kWidth);
  SetColor(kEvenColor);
  TJWESortBranches::Randomize();

  const QFont boldFont = JWFont("MS Sans Serif", 11, true);
  QWidget* background = MakePanel(this, "pnlVPUntereintraege", kEvenColor, rect());
  QWidget* header =
      MakePanel(background, "Panel1", kHeaderColor, QRect(0, 0, kWidth, kHeaderHeight));
  QLabel* caption = MakeLabel(header, "Label1", boldFont);
  caption->setText(QStringLiteral("Sortieren nach:"));
  caption->move(10, 8);
  caption->adjustSize();
  OnMouseOver(header, [this] { ResetButtons(); });
  OnMouseOver(caption, [this] { ResetButtons(); });

  cmbOrderBy = new QComboBox(header);
  cmbOrderBy->setObjectName(QStringLiteral("cmbOrderBy"));
  cmbOrderBy->setGeometry(108, 3, 125, 21);
  cmbOrderBy->setFont(JWFont("MS Sans Serif", 11));
  cmbOrderBy->setCursor(Qt::PointingHandCursor);
  for (const char* item : {"Strasse", "PLZ", "Ort", "Firma"}) cmbOrderBy->addItem(item);
  FDistanceIndex = cmbOrderBy->count();
  cmbOrderBy->addItem(QStringLiteral("Entfernung"));
  cmbOrderBy->setCurrentIndex(boZip);
  connect(cmbOrderBy, &QComboBox::currentIndexChanged, this, [this] {
    try {
      UpdateRecords();
    } catch (...) {
      // A failing host routine must not unwind through the event loop; the list keeps its order.
    }
  });

  imgSearch = new TJWImageButton(header, QStringLiteral("imgSearch"));
  imgSearch->move(240, 5);
  imgSearch->SetPicture("SEARCHOUT");
  imgSearch->OnClick = [this] { imgSearchClick(); };
  imgSearch->OnMouseMove = [this] {
    imgSearch->SetPicture("SEARCHOVER");
    imgFinder->SetPicture("FINDEROUT");
  };
  imgFinder = new TJWImageButton(header, QStringLiteral("imgFinder"));
  imgFinder->move(331, 5);
  imgFinder->SetPicture("FINDEROUT");
  imgFinder->OnClick = [this] { imgFinderClick(); };
  imgFinder->OnMouseMove = [this] {
    imgSearch->SetPicture("SEARCHOUT");
    imgFinder->SetPicture("FINDEROVER");
  };
  imgFinder->hide();  // the finder has no function yet

  MakePanel(background, "Panel2", kHeaderColor, QRect(0, kHeaderHeight, 1, kHeight));
  MakePanel(background, "Panel3", kHeaderColor, QRect(kWidth - 1, kHeaderHeight, 1, kHeight));
  MakePanel(background, "Panel4", kHeaderColor, QRect(0, kHeight - 1, kWidth, 1));

  FModel = new TJWBranchListModel(this);
  vlbUE = new QListView(background);
  vlbUE->setObjectName(QStringLiteral("vlbUE"));
  vlbUE->setGeometry(1, kHeaderHeight, kWidth - 2, kHeight - kHeaderHeight - 1);
  vlbUE->setFrameShape(QFrame::NoFrame);
  vlbUE->setFont(boldFont);
  vlbUE->setUniformItemSizes(true);
  vlbUE->setSelectionMode(QAbstractItemView::SingleSelection);
  vlbUE->setEditTriggers(QAbstractItemView::NoEditTriggers);
  vlbUE->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  vlbUE->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  QPalette pal = vlbUE->palette();
  pal.setColor(QPalette::Base, kEvenColor);
  pal.setColor(QPalette::Text, palette().color(QPalette::WindowText));
  vlbUE->setPalette(pal);
  vlbUE->setModel(FModel);
  vlbUE->setItemDelegate(new TJWBranchRowDelegate(vlbUE));
  OnMouseOver(vlbUE->viewport(), [this] { ResetButtons(); });
  connect(vlbUE, &QListView::doubleClicked, this, [this] { vlbUEDblClick(); });
}

TfraJWBranchesV2::~TfraJWBranchesV2() = default;

void TfraJWBranchesV2::SetData(TJW2DataRec* ARec) {
  TJWFrame::SetData(ARec);
  // A new record means new branch records: nothing found earlier may point into the old ones.
  for (TJWBranchChildFrame* child :
       std::initializer_list<TJWBranchChildFrame*>{FSearchFrame, FFinderFrame})
    if (child) {
      child->ResultList.reset();
      child->OrgBranches = nullptr;
    }
  FOrgBranches = FData && FData->Branches ? &*FData->Branches : nullptr;
  ShowAll();
  ShowRows(false);
  if (FOrgBranches) UpdateRecords();
}

void TfraJWBranchesV2::UpdateContent() {
  TJWFrame::UpdateContent();
  vlbUE->viewport()->update();
}

void TfraJWBranchesV2::ShowAll() {
  FBranches.clear();
  if (!FOrgBranches) return;
  FBranches.reserve(FOrgBranches->size());
  for (TJWBranchRec& branch : *FOrgBranches) FBranches.push_back(&branch);
}

void TfraJWBranchesV2::ShowRows(bool AReorder) {
  std::vector<TJWBranchRowTexts> rows;
  rows.reserve(FBranches.size());
  for (const TJWBranchRec* branch : FBranches)
    rows.push_back(branch ? BranchRowTexts(*branch) : TJWBranchRowTexts{});
  if (AReorder)
    FModel->ReorderRows(std::move(rows));
  else
    FModel->SetRows(std::move(rows));
}

void TfraJWBranchesV2::SelectOrder(int AIndex) {
  const QSignalBlocker blocker(cmbOrderBy);
  cmbOrderBy->setCurrentIndex(AIndex);
}

uintptr_t TfraJWBranchesV2::ParentWindowId() const {
  QWidget* parent = parentWidget();
  return parent ? uintptr_t(parent->window()->winId()) : 0;
}

void TfraJWBranchesV2::UpdateRecords() {
  SortShown(true);
}

void TfraJWBranchesV2::SortShown(bool AAskHost) {
  if (!FData) return;
  const int32_t index = cmbOrderBy->currentIndex();
  if (AAskHost && index == FDistanceIndex && OnGetStartPosition)
    OnGetStartPosition(StartEast, StartNorth, ParentWindowId());
  if (!FBranches.empty()) {
    TJWESortBranches sorter(StartEast, StartNorth);
    sorter.QuickSort(FBranches, index, 0, int32_t(FBranches.size()) - 1);
  }
  ShowRows(true);
}

void TfraJWBranchesV2::ChildFrameClosed(QObject* ASender) {
  TJWBranchChildFrame* child = nullptr;
  if (ASender && ASender == FSearchFrame) {
    child = FSearchFrame;
    // 0/0 means "no position": a search that located nothing keeps the start position the page
    // already has, instead of measuring from the zero meridian at the equator.
    if (FSearchFrame->FoundEast != 0.0 || FSearchFrame->FoundNorth != 0.0) {
      StartEast = FSearchFrame->FoundEast;
      StartNorth = FSearchFrame->FoundNorth;
    }
  } else if (ASender && ASender == FFinderFrame) {
    child = FFinderFrame;
  }
  if (child) {
    child->hide();
    if (child->ResultList)
      FBranches = *child->ResultList;
    else
      ShowAll();
    if (child == FSearchFrame) SelectOrder(FSearchFrame->OrderIndex);
  }
  if (!FData) return;
  vlbUE->clearSelection();
  vlbUE->setCurrentIndex(QModelIndex());
  ShowRows(false);
  // The position has just come from the search (or is the one the host gave before); asking the
  // host again would override it.
  SortShown(false);
}

void TfraJWBranchesV2::vlbUEDblClick() {
  if (!OnOpenBranch) return;
  const QModelIndexList selected = vlbUE->selectionModel()->selectedIndexes();
  if (selected.isEmpty()) return;
  const int row = selected.first().row();
  if (row < 0 || size_t(row) >= FBranches.size() || !FBranches[size_t(row)]) return;
  try {
    OnOpenBranch(*FBranches[size_t(row)]);
  } catch (...) {
    // The window could not open the branch (missing entry, unreadable file); it has cleaned up
    // and this window stays as it is.
  }
}

void TfraJWBranchesV2::imgSearchClick() {
  if (!FSearchFrame) FSearchFrame = new TfraJWBranchesSearch(this);
  FSearchFrame->OrgBranches = FOrgBranches;
  FSearchFrame->OnLocateAddress = OnLocateAddress;
  FSearchFrame->OrderIndex = cmbOrderBy->currentIndex();
  FSearchFrame->setGeometry(0, 0, width(), height());
  FSearchFrame->raise();
  FSearchFrame->OnClose = [this](QObject* ASender) { ChildFrameClosed(ASender); };
  FSearchFrame->show();
}

void TfraJWBranchesV2::imgFinderClick() {
  if (!FFinderFrame) FFinderFrame = new TfraJWBranchesFinder(this);
  FFinderFrame->OrgBranches = FOrgBranches;
  FFinderFrame->setGeometry(0, 0, width(), height());
  FFinderFrame->raise();
  FFinderFrame->OnClose = [this](QObject* ASender) { ChildFrameClosed(ASender); };
  FFinderFrame->show();
}

void TfraJWBranchesV2::ResetButtons() {
  imgSearch->SetPicture("SEARCHOUT");
  imgFinder->SetPicture("FINDEROUT");
}

}  // namespace jw
