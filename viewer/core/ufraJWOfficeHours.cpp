#include "viewer/core/ufraJWOfficeHours.h"

#include <algorithm>
#include <cstring>

#include "store/ZDStrUtils.h"
#include "viewer/core/JW2Form.h"

namespace jw {

namespace {

constexpr int32_t kRightDesignWidth = 36;

// Left edge and width of each time label, in the order of OfficeHoursColumnNames.
struct TColumn {
  int32_t Left;
  int32_t Width;
};
constexpr TColumn kColumns[TfraJWOfficeHours::kTimeLabels] = {
    {28, 16},  {44, 3},  {47, 16},  {63, 4},  {67, 16},  {83, 3},  {86, 16}, {102, 10},
    {112, 16}, {128, 3}, {131, 16}, {147, 4}, {151, 16}, {167, 3}, {170, 16}};

// Hours are right-aligned, the one-character columns ("-", "u.") centred, minutes at the left.
TJWPainter::TAlign ColumnAlignment(const char* AName) {
  const size_t len = std::strlen(AName);
  if (len == 3 && AName[2] == 'H') return TJWPainter::alRight;
  if (len == 1) return TJWPainter::alCenter;
  return TJWPainter::alLeft;
}

}  // namespace

TfraJWOfficeHours::TfraJWOfficeHours(TfrmJW& AForm) : TJWFrame(AForm) {
  Bounds.Width = kWidth;
  Bounds.Height = 190;
}

void TfraJWOfficeHours::UpdateContent() {
  FRows.clear();
  if (!FData || FData->OfficeHours.empty()) return;
  std::string all;
  for (const std::string& line : FData->OfficeHours) all += line;
  if (Trim(all).empty()) return;
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
      return;  // an unknown kind keeps the page as it is
  }
  Bounds.Height = kHeaderHeight + kRowHeight * int32_t(FRows.size());
}

void TfraJWOfficeHours::FillFreeLines() {
  const auto lines = GetOfficeHoursLines(FData->OfficeHours);
  for (int32_t n = 0; n < kOfficeHoursRows; ++n)
    if (!lines[size_t(n)].empty()) FRows.push_back({n, lines[size_t(n)], "", {}, {}});
}

void TfraJWOfficeHours::FillDayTable() {
  const TJWOfficeHoursDays days =
      ReadOfficeHoursDays(FData->OfficeHours, TJWRemarkRow::rrAfterLastDay);
  for (int32_t n = 0; n < kOfficeHoursRows; ++n) {
    const TJWOfficeHoursDay& day = days[size_t(n)];
    const std::string times =
        day.VVH + day.VVM + day.VBH + day.VBM + day.NVH + day.NVM + day.NBH + day.NBM;
    if (Trim(day.Label + times + day.Note).empty()) continue;
    TRow row{n, day.Label, "", {}, {}};
    const bool noTimes = Trim(day.VVH + day.VVM).empty() && Trim(day.VBH + day.VBM).empty() &&
                         Trim(day.NVH + day.NVM).empty() && Trim(day.NBH + day.NBM).empty();
    // Without times the right text is the note (the remark row has none), else "Uhr ".
    row.Right = noTimes ? day.Note : std::string("Uhr ");
    const int32_t width = Metrics().TextWidth(kArial12, row.Right);
    row.RightBox = {kBarWidth - width, 0, width, kBarHeight};
    // Row 8 can only hold the remark, which has no times.
    if (n < kTimeRows) {
      const TJWOfficeHoursTextRow text = OfficeHoursTextRow(day);
      for (int32_t c = 0; c < kTimeLabels; ++c) row.Times[size_t(c)] = text[size_t(c) + 1];
    }
    FRows.push_back(std::move(row));
  }
}

void TfraJWOfficeHours::FillPairs() {
  const auto pairs = GetOfficeHoursPairs(FData->OfficeHours);
  // Rows 1 to 7 always come from the colon rule; row 8 only when enough other lines have text
  // to reach it, otherwise it holds line 8 as it is and is not measured.
  int32_t colonLines = 0;
  for (size_t i = 0; i < FData->OfficeHours.size(); ++i) {
    if (i == kOfficeHoursRows - 1) continue;
    std::string rest = FData->OfficeHours[i];
    const std::string left = Trim(ExtractToken("\t", rest));
    const std::string right = Trim(ExtractToken("\t", rest));
    if (!left.empty() || !right.empty()) ++colonLines;
  }
  const int32_t measured = std::min(colonLines, kOfficeHoursRows);
  int32_t widest = 0;
  for (int32_t n = 0; n < measured; ++n)
    widest = std::max(widest, Metrics().TextWidth(kArial12, pairs[size_t(n)].first));
  const int32_t width = std::max(0, kBarWidth - (widest + 10));
  for (int32_t n = 0; n < kOfficeHoursRows; ++n) {
    const auto& [caption, text] = pairs[size_t(n)];
    if (caption.empty() && text.empty()) continue;
    // The last bar shows only its caption.
    FRows.push_back({n,
                     caption,
                     n != kOfficeHoursRows - 1 ? text : std::string(),
                     {kBarWidth - width, 0, width, kBarHeight},
                     {}});
  }
}

void TfraJWOfficeHours::Paint(TJWPainter& APainter) {
  TJWFrame::Paint(APainter);
  APainter.Fill({0, 0, 1, Bounds.Height}, kLinkColor);
  int32_t top = kHeaderHeight;
  for (const TRow& row : FRows) {
    APainter.Enter({1 + kMarginWidth, top, kBarWidth, kBarHeight});
    APainter.Fill({0, 0, kBarWidth, kBarHeight}, kBarColor);
    APainter.TextInBox({0, 0, kBarWidth, kBarHeight}, kArial12, kWindowTextColor, row.Caption);
    for (int32_t c = 0; c < kTimeLabels; ++c)
      APainter.TextInBox({kColumns[c].Left, 0, kColumns[c].Width, kBarHeight}, kArial12,
                         kWindowTextColor, row.Times[size_t(c)],
                         ColumnAlignment(OfficeHoursColumnNames[size_t(c)]));
    APainter.TextInBox(row.RightBox, kArial12, kWindowTextColor, row.Right);
    APainter.Leave();
    top += kRowHeight;
  }
}

void TfraJWOfficeHours::PaintOverlay(TJWPainter& APainter) {
  static const std::string title =
      "Gesch\xE4"
      "ftszeiten";
  const int32_t width = APainter.Metrics.TextWidth(kArial12Bold, title);
  APainter.Text(11, -3, {11, -3, width, APainter.Metrics.LineHeight(kArial12Bold)}, kArial12Bold,
                kWindowTextColor, title);
}

}  // namespace jw
