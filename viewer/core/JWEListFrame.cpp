#include "viewer/core/JWEListFrame.h"

#include <algorithm>

#include "store/JWLimits.h"
#include "store/ZDStrUtils.h"
#include "viewer/core/JW2Form.h"

namespace jw {

namespace {

// The title stands 3 pixels above the header, drawn whole over the frame's edge.
constexpr int32_t kTitleLeft = 11;
constexpr int32_t kTitleTop = -3;
// Texts in a list row start after the row's margin.
constexpr int32_t kRowTextLeft = 3;

bool IsBlank(char AChar) {
  const auto code = static_cast<unsigned char>(AChar);
  return code >= 1 && code <= 32;
}

}  // namespace

TJWListFrame::TJWListFrame(TfrmJW& AForm, std::string ATitle, bool AShownAtStart)
    : TJWFrame(AForm), FTitle(std::move(ATitle)), FShown(AShownAtStart), FListId(NewControlId()) {
  Bounds.Width = kWidth;
  Bounds.Height = 65;
}

void TJWListFrame::SetLines(TStringList ALines) {
  FLines = std::move(ALines);
  FTopRow = 0;
  FSelection = -1;
}

void TJWListFrame::WrapLines() {
  WrapListItems(FLines, MeasureWith(Metrics(), kArial12), kWrapWidth);
}

void TJWListFrame::FitToLines() {
  Bounds.Height = std::min(kMaxHeight, LineCount() * kItemHeight + kHeaderHeight);
  FShown = true;
}

void TJWListFrame::Paint(TJWPainter& APainter) {
  TJWFrame::Paint(APainter);
  if (!FShown) return;
  APainter.Fill({0, 0, 1, Bounds.Height}, kLinkColor);
  TJWControlSlot slot;
  slot.Id = FListId;
  slot.Kind = TJWControlKind::ckList;
  slot.Rect = {1 + kSpacerWidth, kHeaderHeight, kWidth - 1 - kSpacerWidth,
               std::max(0, Bounds.Height - kHeaderHeight)};
  slot.Font = kArial12;
  slot.Color = Color;
  slot.ItemCount = LineCount();
  slot.RowHeight = kItemHeight;
  slot.TopRow = FTopRow;
  slot.Selection = FSelection;
  APainter.Control(std::move(slot));
}

void TJWListFrame::PaintOverlay(TJWPainter& APainter) {
  if (!FShown) return;
  const int32_t height = APainter.Metrics.LineHeight(kArial12Bold);
  const int32_t width = APainter.Metrics.TextWidth(kArial12Bold, FTitle);
  APainter.Text(kTitleLeft, kTitleTop, {kTitleLeft, kTitleTop, width, height}, kArial12Bold,
                kWindowTextColor, FTitle);
}

void TJWListFrame::PaintListRow(TJWPainter& APainter, int32_t, int32_t ARow, bool ASelected,
                                int32_t AWidth) {
  APainter.Fill({0, 0, AWidth, kItemHeight}, ASelected ? kSelectedColor : Color);
  if (ARow < 0 || ARow >= LineCount()) return;
  APainter.TextInBox({kRowTextLeft, 0, AWidth - kRowTextLeft, kItemHeight}, kArial12,
                     ASelected ? 0xFFFFFF : kWindowTextColor, FLines[size_t(ARow)]);
}

bool TJWListFrame::ControlEvent(const TJWControlEvent& AEvent) {
  if (AEvent.ControlId != FListId) return false;
  if (AEvent.Kind == TJWControlEventKind::ceListSelect)
    FSelection = AEvent.Index < LineCount() ? AEvent.Index : -1;
  else if (AEvent.Kind == TJWControlEventKind::ceListScroll)
    FTopRow = std::clamp(AEvent.Index, 0, std::max(0, LineCount() - 1));
  return true;
}

TfraJWIndustries::TfraJWIndustries(TfrmJW& AForm) : TJWListFrame(AForm, "Branchen", false) {}

void TfraJWIndustries::UpdateContent() {
  if (!FData || FData->Industries.empty()) {
    SetLines({});
    return;
  }
  SetLines(FData->Industries);
  WrapLines();
  FitToLines();
}

int32_t TfraJWIndustries::ItemCount() const {
  if (LineCount() > 0) return LineCount();
  return FData ? int32_t(FData->Industries.size()) : 0;
}

TfraJWBusinessTypes::TfraJWBusinessTypes(TfrmJW& AForm)
    : TJWListFrame(AForm,
                   "Gesch\xE4"
                   "ftstypen",
                   true) {}

void TfraJWBusinessTypes::UpdateContent() {
  SetLines({});
  if (!FData || FData->BusinessTypes.empty()) return;
  SetLines(SplitCommaText(FData->BusinessTypes));
  FitToLines();
}

TfraJWSearchWords::TfraJWSearchWords(TfrmJW& AForm) : TJWListFrame(AForm, "Suchworte", false) {}

void TfraJWSearchWords::UpdateContent() {
  if (!FData) {
    SetLines({});
    return;
  }
  // The record always carries the list; an empty one leaves the title with no lines under it.
  SetLines(FData->Searchwords);
  WrapLines();
  FitToLines();
}

TStringList SplitCommaText(const std::string& AText) {
  TStringList items;
  size_t pos = 0;
  const size_t end = AText.size();
  auto skipBlanks = [&] {
    while (pos < end && IsBlank(AText[pos])) ++pos;
  };
  skipBlanks();
  while (pos < end) {
    std::string item;
    if (AText[pos] == '"') {
      ++pos;
      while (pos < end) {
        if (AText[pos] == '"') {
          if (pos + 1 < end && AText[pos + 1] == '"') {
            item += '"';
            pos += 2;
            continue;
          }
          ++pos;
          break;
        }
        item += AText[pos++];
      }
    } else {
      // A NUL byte is no separator; it stays inside the item.
      while (pos < end && AText[pos] != ',' && !IsBlank(AText[pos])) item += AText[pos++];
    }
    items.push_back(item);
    skipBlanks();
    if (pos < end && AText[pos] == ',') {
      ++pos;
      skipBlanks();
    }
  }
  return items;
}

void WrapListItems(TStringList& ALines, const TMeasureTextFunc& AMeasure, int32_t AMaxWidth) {
  // Each line is broken on its own into a new list, word by word without copying what is left of
  // it, so the work stays linear in the lines made. A line longer than any list shows is cut
  // first: every part broken off it is measured again with all that follows.
  TStringList out;
  out.reserve(ALines.size());
  for (std::string& item : ALines) {
    std::string line = std::move(item);
    if (line.size() > limits::MaxListLineShown) line.resize(limits::MaxListLineShown);
    while (AMeasure(line) > AMaxWidth) {
      std::string head, previous, word;
      size_t pos = 0;  // what is left of the line starts here
      do {
        previous = head;
        const size_t blank = line.find(' ', pos);
        word = Trim(line.substr(pos, blank == std::string::npos ? std::string::npos : blank - pos));
        pos = blank == std::string::npos ? line.size() : blank + 1;
        head = Trim(head + " " + word);
      } while (pos < line.size() && AMeasure(head) < AMaxWidth);
      const std::string rest = line.substr(pos);

      if (previous.empty()) {
        // The first word alone reaches the limit: it keeps a line of its own.
        const std::string tail = Trim(rest);
        if (tail.empty()) break;
        out.push_back(word);
        line = "     " + tail;
        continue;
      }
      // What came before the last word fits; the rest goes on in an indented line.
      out.push_back(previous);
      line = "     " + Trim(word + " " + rest);
    }
    out.push_back(std::move(line));
  }
  ALines = std::move(out);
}

}  // namespace jw
