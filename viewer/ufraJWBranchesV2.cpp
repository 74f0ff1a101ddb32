#include "viewer/ufraJWBranchesV2.h"

#include <QComboBox>
#include <QListView>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include "viewer/JWBranchButtons.h"
#include "viewer/JWCodePage.h"
#include "viewer/JWViewerText.h"
#include "viewer/ufraJWBRanchesFinder.h"
#include "viewer/ufraJWBranchesSearch.h"

namespace jw {

namespace {

const QColor kHeaderColor{0xB6, 0xBF, 0xE0};
constexpr int kHeaderHeight = 28;

class TJWBranchRowDelegate : public QStyledItemDelegate {
 public:
  TJWBranchRowDelegate(TfraJWBranchesV2* APage) : QStyledItemDelegate(APage), FPage(APage) {}

  void paint(QPainter* APainter, const QStyleOptionViewItem& AOption,
             const QModelIndex& AIndex) const override {
    FPage->vlbUEDrawItem(*APainter, AIndex.row(), AOption.rect,
                         AOption.state.testFlag(QStyle::State_Selected));
  }

  QSize sizeHint(const QStyleOptionViewItem& AOption, const QModelIndex&) const override {
    return {AOption.rect.width(), TfraJWBranchesV2::kRowHeight};
  }

 private:
  TfraJWBranchesV2* FPage;
};

}  // namespace

TJWBranchRowTexts BranchRowTexts(const TJWBranchRec& ABranch) {
  // Qt draws "&" as itself, so the texts need no escaping for the painter.
  return {(ABranch.Zip + " " + ABranch.City).substr(0, 106), ABranch.Street,
          ReplaceBR(ABranch.Firm, " "), ABranch.Phone};
}

int TJWBranchListModel::rowCount(const QModelIndex& AParent) const {
  return AParent.isValid() ? 0 : FCount;
}

QVariant TJWBranchListModel::data(const QModelIndex& AIndex, int ARole) const {
  if (ARole != Qt::DisplayRole || !AIndex.isValid() || AIndex.row() >= FCount) return {};
  return QStringLiteral(" ");  // the rows are painted; the text only marks an existing row
}

void TJWBranchListModel::SetCount(int ACount) {
  beginResetModel();
  FCount = std::max(0, ACount);
  endResetModel();
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
  vlbUE->setItemDelegate(new TJWBranchRowDelegate(this));
  OnMouseOver(vlbUE->viewport(), [this] { ResetButtons(); });
  connect(vlbUE, &QListView::doubleClicked, this, [this] { vlbUEDblClick(); });
  // Rows are painted from the current list, so a scrolled view is painted anew as a whole.
  connect(vlbUE->verticalScrollBar(), &QScrollBar::valueChanged, this,
          [this] { vlbUE->viewport()->update(); });
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
  SetRowCount(int(FBranches.size()));
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

void TfraJWBranchesV2::SetRowCount(int ACount) {
  FModel->SetCount(ACount);
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
  vlbUE->viewport()->update();
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
  SetRowCount(int(FBranches.size()));
  // The position has just come from the search (or is the one the host gave before); asking the
  // host again would override it.
  SortShown(false);
}

void TfraJWBranchesV2::vlbUEDrawItem(QPainter& APainter, int AIndex, const QRect& ARect,
                                     bool ASelected) const {
  if (AIndex < 0 || size_t(AIndex) >= FBranches.size() || !FBranches[size_t(AIndex)]) return;
  APainter.save();
  APainter.fillRect(ARect, vlbUEGetItemColor(AIndex));
  APainter.setFont(vlbUE->font());
  APainter.setPen(ASelected ? kSelectedTextColor : vlbUE->palette().color(QPalette::Text));

  const TJWBranchRowTexts texts = BranchRowTexts(*FBranches[size_t(AIndex)]);
  const QFontMetrics metrics(vlbUE->font());
  // Two columns of equal width; each text on one line, cut with an ellipsis when too long.
  const int right = ARect.left() + ARect.width();
  const int a = ARect.left() + 2;
  const int t = ARect.top() + 2;
  const int h = (right - 4) / 2;
  const int bottom = ARect.top() + ARect.height();
  auto draw = [&](const std::string& AText, int ALeft, int ARight, int ATop) {
    const QString text = metrics.elidedText(ToQString(AText), Qt::ElideRight, ARight - ALeft);
    const QRect box(ALeft, ATop, ARight - ALeft, std::max(0, bottom - ATop));
    APainter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    return metrics.height();
  };
  draw(texts.Street, a, h, t + draw(texts.ZipCity, a, h, t) + 2);
  const int left2 = a + h + 4;
  const int right2 = a + 2 * h + 4;
  draw(texts.Phone, left2, right2, t + draw(texts.Firm, left2, right2, t) + 2);
  APainter.restore();
}

QColor TfraJWBranchesV2::vlbUEGetItemColor(int AIndex) const {
  return AIndex % 2 == 0 ? kEvenColor : kOddColor;
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
