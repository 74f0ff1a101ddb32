#include "viewer/ufraJWOfficeHours.h"

#include <algorithm>
#include <cstring>

#include "store/ZDStrUtils.h"

namespace jw {

namespace {

const QColor kLineColor{0x19, 0x40, 0x94};
const QColor kBarColor{0xB1, 0xBE, 0xDA};
constexpr int kMarginWidth = 10;
constexpr int kRightDesignWidth = 36;

// Left edge and width of each time label, in the order of OfficeHoursColumnNames.
struct TColumn {
  int Left;
  int Width;
};
constexpr TColumn kColumns[TfraJWOfficeHours::kTimeLabels] = {
    {28, 16},  {44, 3},  {47, 16},  {63, 4},  {67, 16},  {83, 3},  {86, 16}, {102, 10},
    {112, 16}, {128, 3}, {131, 16}, {147, 4}, {151, 16}, {167, 3}, {170, 16}};

Qt::Alignment ColumnAlignment(const char* AName) {
  const size_t len = std::strlen(AName);
  if (len == 3 && AName[2] == 'H') return Qt::AlignRight | Qt::AlignVCenter;  // hours
  if (len == 1) return Qt::AlignHCenter | Qt::AlignVCenter;                   // "-" and "u."
  return Qt::AlignLeft | Qt::AlignVCenter;
}

// Sets a label's text and shows it only when there is something to show.
void SetPart(QLabel* ALabel, const std::string& AText) {
  SetLabelText(ALabel, AText);
  ALabel->setVisible(!AText.empty());
}

}  // namespace

TfraJWOfficeHours::TfraJWOfficeHours(QWidget* AOwner) : TJWFrame(AOwner) {
  setObjectName("fraJWOfficeHours");
  setFixedWidth(kWidth);
  resize(kWidth, 190);
  const QFont font = JWFont("Arial", 12);
  setFont(font);

  FOuter = MakePanel(this, "pnlVPGeschaeftszeiten");
  FLine = MakePanel(FOuter, "Panel3");
  PaintBackground(FLine, kLineColor);
  FInner = MakePanel(FOuter, "Panel5");
  FHeader = MakePanel(FInner, "pnlGeschaeftszeiten");
  AddTitle(FHeader,
           "Gesch\xE4"
           "ftszeiten",
           QPoint(10, -3))
      ->setObjectName("Label2");
  FMargin = MakePanel(FInner, "Panel21");
  FRowsPanel = MakePanel(FInner, "Panel22");

  for (int n = 1; n <= kOfficeHoursRows; ++n) {
    TRow& row = FRows[n - 1];
    row.Bar = new TJWPanel(FRowsPanel, QString("pnlOZ%1").arg(n));
    row.Bar->SetColor(kBarColor);
    row.Bar->setFont(font);
    row.Spacer = MakePanel(FRowsPanel, QString("pnlBOZ%1").arg(n));
    row.Right = MakeLabel(row.Bar, QString("lblOZ%1").arg(n), font);
    row.Right->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    row.Right->setGeometry(kBarWidth - kRightDesignWidth, 0, kRightDesignWidth, kBarHeight);
    if (n > kTimeRows) continue;
    for (int c = 0; c < kTimeLabels; ++c) {
      const char* suffix = OfficeHoursColumnNames[c];
      QLabel* label = MakeLabel(row.Bar, QString("lblOZ%1_%2").arg(n).arg(suffix), font);
      label->setAlignment(ColumnAlignment(suffix));
      label->setGeometry(kColumns[c].Left, 0, kColumns[c].Width, kBarHeight);
      row.Times[c] = label;
    }
  }
  LayoutRows();
}

void TfraJWOfficeHours::UpdateContent() {
  TJWFrame::UpdateContent();
  // Rebuilding touches some hundred widgets; paint once when it is done.
  setUpdatesEnabled(false);
  Rebuild();
  setUpdatesEnabled(true);
}

void TfraJWOfficeHours::Rebuild() {
  for (TRow& row : FRows) {
    for (QLabel* label : row.Times) {
      if (!label) continue;
      label->hide();
      label->clear();
    }
    row.Bar->hide();
    row.Bar->SetCaption("");
    row.Spacer->hide();
    row.Right->hide();
  }
  FShownRows = 0;

  bool read = false;
  if (FData && !FData->OfficeHours.empty()) {
    std::string all;
    for (const std::string& line : FData->OfficeHours) all += line;
    if (!Trim(all).empty()) {
      read = true;
      switch (FData->OfficeHoursKind) {
        case 0:
          FillFreeLines();
          break;
        case 1:
          FillDayTable();
          break;
        case 2:
          FillPairs();
          break;
        default:
          read = false;
          break;
      }
    }
  }
  if (read) {
    const int height = kHeaderHeight + kRowHeight * FShownRows;
    FOuter->resize(kWidth, height);
    resize(kWidth, height);
  }
  LayoutRows();
}

void TfraJWOfficeHours::ShowRow(int ARow, const std::string& ACaption) {
  TRow& row = FRows[ARow];
  row.Spacer->show();
  row.Bar->SetCaption(ACaption);
  row.Bar->show();
  ++FShownRows;
}

void TfraJWOfficeHours::FillFreeLines() {
  const auto lines = GetOfficeHoursLines(FData->OfficeHours);
  for (int n = 0; n < kOfficeHoursRows; ++n)
    if (!lines[n].empty()) ShowRow(n, lines[n]);
}

void TfraJWOfficeHours::FillDayTable() {
  for (TRow& row : FRows)
    for (QLabel* label : row.Times)
      if (label) label->show();

  const QFont font = this->font();
  const TJWOfficeHoursDays days =
      ReadOfficeHoursDays(FData->OfficeHours, TJWRemarkRow::rrAfterLastDay);
  for (int n = 0; n < kOfficeHoursRows; ++n) {
    const TJWOfficeHoursDay& day = days[n];
    const std::string times =
        day.VVH + day.VVM + day.VBH + day.VBM + day.NVH + day.NVM + day.NBH + day.NBM;
    if (Trim(day.Label + times + day.Note).empty()) continue;
    TRow& row = FRows[n];
    ShowRow(n, day.Label);

    const bool noTimes = Trim(day.VVH + day.VVM).empty() && Trim(day.VBH + day.VBM).empty() &&
                         Trim(day.NVH + day.NVM).empty() && Trim(day.NBH + day.NBM).empty();
    // Without times the right text is the note (the remark row has none), else "Uhr ".
    const std::string right = noTimes ? day.Note : std::string("Uhr ");
    SetLabelText(row.Right, right);
    const int width = TextWidth(font, right);
    row.Right->setGeometry(kBarWidth - width, 0, width, kBarHeight);
    row.Right->show();

    // Row 8 can only hold the remark, which has no times.
    if (!row.Times[0]) continue;
    const TJWOfficeHoursTextRow text = OfficeHoursTextRow(day);
    for (int c = 0; c < kTimeLabels; ++c) SetPart(row.Times[c], text[c + 1]);
  }
}

void TfraJWOfficeHours::FillPairs() {
  const auto pairs = GetOfficeHoursPairs(FData->OfficeHours);
  // Rows 1 to 7 always come from the colon rule; row 8 only when enough other lines have text
  // to reach it, otherwise it holds line 8 as it is and is not measured.
  int colonLines = 0;
  for (size_t i = 0; i < FData->OfficeHours.size(); ++i) {
    if (i == kOfficeHoursRows - 1) continue;
    std::string rest = FData->OfficeHours[i];
    const std::string left = Trim(ExtractToken("\t", rest));
    const std::string right = Trim(ExtractToken("\t", rest));
    if (!left.empty() || !right.empty()) ++colonLines;
  }
  const int measured = std::min(colonLines, kOfficeHoursRows);
  const QFont font = this->font();
  int widest = 0;
  for (int n = 0; n < measured; ++n) widest = std::max(widest, TextWidth(font, pairs[n].first));

  const int left = widest + 10;
  const int width = std::max(0, kBarWidth - left);
  for (int n = 0; n < kOfficeHoursRows; ++n) {
    const auto& [caption, text] = pairs[n];
    if (caption.empty() && text.empty()) continue;
    TRow& row = FRows[n];
    ShowRow(n, caption);
    SetLabelText(row.Right, text);
    row.Right->setGeometry(kBarWidth - width, 0, width, kBarHeight);
    row.Right->setVisible(n != kOfficeHoursRows - 1);
  }
}

void TfraJWOfficeHours::resizeEvent(QResizeEvent* AEvent) {
  TJWFrame::resizeEvent(AEvent);
  LayoutRows();
}

// The outer panel fills the frame; the shown bars and their spacers stack from the top in row
// order, hidden ones taking no room.
void TfraJWOfficeHours::LayoutRows() {
  FOuter->setGeometry(0, 0, width(), height());
  const int h = FOuter->height();
  FLine->setGeometry(0, 0, 1, h);
  FInner->setGeometry(1, 0, FOuter->width() - 1, h);
  FHeader->setGeometry(0, 0, FInner->width(), kHeaderHeight);
  const int body = std::max(0, h - kHeaderHeight);
  FMargin->setGeometry(0, kHeaderHeight, kMarginWidth, body);
  FRowsPanel->setGeometry(kMarginWidth, kHeaderHeight, FInner->width() - kMarginWidth, body);
  int top = 0;
  for (TRow& row : FRows) {
    row.Bar->setGeometry(0, top, kBarWidth, kBarHeight);
    if (!row.Bar->isHidden()) top += kBarHeight;
    row.Spacer->setGeometry(0, top, kBarWidth, kSpacerHeight);
    if (!row.Spacer->isHidden()) top += kSpacerHeight;
  }
}

}  // namespace jw
