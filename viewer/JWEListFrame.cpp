#include "viewer/JWEListFrame.h"

#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

#include "viewer/JWCodePage.h"

namespace jw {

namespace {

const QColor kBarColor{0x19, 0x40, 0x94};
constexpr int kSpacerWidth = 7;

// Rows of the designed line height, whatever the height of the font in use.
class TFixedRowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& AOption, const QModelIndex& AIndex) const override {
    return {QStyledItemDelegate::sizeHint(AOption, AIndex).width(), TJWListFrame::kItemHeight};
  }
};

}  // namespace

TJWListFrame::TJWListFrame(QWidget* AOwner, const char* AFrameName, const char* AOuterName,
                           const char* AHeaderName, const char* AListName,
                           const std::string& ATitle, bool AShownAtStart)
    : TJWFrame(AOwner) {
  setObjectName(AFrameName);
  setFixedWidth(kWidth);
  resize(kWidth, 65);
  setFont(JWFont("Arial", 12));

  FOuter = MakePanel(this, AOuterName);
  FOuter->setGeometry(0, 0, kWidth, 65);
  FBar = MakePanel(FOuter, "pnlBar");
  PaintBackground(FBar, kBarColor);
  FInner = MakePanel(FOuter, "pnlInner");
  FHeader = MakePanel(FInner, AHeaderName);
  AddTitle(FHeader, ATitle, QPoint(10, -3));
  FSpacer = MakePanel(FInner, "pnlSpacer");

  FList = new QListWidget(FInner);
  FList->setObjectName(AListName);
  FList->setFrameShape(QFrame::NoFrame);
  FList->setSortingEnabled(false);
  FList->setUniformItemSizes(true);
  FList->setSelectionMode(QAbstractItemView::SingleSelection);
  FList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  FList->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  FList->setTextElideMode(Qt::ElideNone);
  FList->setItemDelegate(new TFixedRowDelegate(FList));
  // The list shows the frame's colour through it instead of a white field.
  FList->setAutoFillBackground(false);
  FList->viewport()->setAutoFillBackground(false);

  FOuter->setVisible(AShownAtStart);
  LayoutPanel();
}

void TJWListFrame::SetLines(const TStringList& ALines) {
  FList->clear();
  for (const std::string& line : ALines) FList->addItem(ToQString(line));
}

void TJWListFrame::WrapLines() {
  WrapListItems(this, FList);
}

void TJWListFrame::FitToLines() {
  FOuter->resize(kWidth, std::min(kMaxHeight, LineCount() * kItemHeight + kHeaderHeight));
  resize(kWidth, FOuter->height());
  FOuter->show();
  LayoutPanel();
}

void TJWListFrame::resizeEvent(QResizeEvent* AEvent) {
  TJWFrame::resizeEvent(AEvent);
  LayoutPanel();
}

// Docks the children the way the panel is designed: the line at the left edge, the title on top,
// a narrow margin at the left, and the list filling the rest.
void TJWListFrame::LayoutPanel() {
  const int h = FOuter->height();
  FBar->setGeometry(0, 0, 1, h);
  FInner->setGeometry(1, 0, FOuter->width() - 1, h);
  FHeader->setGeometry(0, 0, FInner->width(), kHeaderHeight);
  FSpacer->setGeometry(0, kHeaderHeight, kSpacerWidth, std::max(0, h - kHeaderHeight));
  FList->setGeometry(kSpacerWidth, kHeaderHeight, FInner->width() - kSpacerWidth,
                     std::max(0, h - kHeaderHeight));
}

}  // namespace jw
