#include "viewer/core/JWEFrame.h"

#include <algorithm>

#include "viewer/core/JW2Form.h"

namespace jw {

TJWRect Intersect(const TJWRect& AA, const TJWRect& AB) {
  const int32_t left = std::max(AA.Left, AB.Left), top = std::max(AA.Top, AB.Top);
  const int32_t right = std::min(AA.Right(), AB.Right()),
                bottom = std::min(AA.Bottom(), AB.Bottom());
  return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

TJWPainter::TJWPainter(TJWDisplayList& AList, TJWTextMetrics& AMetrics, const TJWRect& AClip)
    : Metrics(AMetrics), FList(AList) {
  FStack.push_back({0, 0, AClip});
}

void TJWPainter::Enter(const TJWRect& ARect, bool AClip) {
  const TState& top = FStack.back();
  const TJWRect rect = ToWindow(ARect);
  FStack.push_back({rect.Left, rect.Top, AClip ? Intersect(top.Clip, rect) : top.Clip});
}

void TJWPainter::Leave() {
  if (FStack.size() > 1) FStack.pop_back();
}

TJWRect TJWPainter::ToWindow(const TJWRect& ARect) const {
  return {ARect.Left + FStack.back().DX, ARect.Top + FStack.back().DY, ARect.Width, ARect.Height};
}

void TJWPainter::Fill(const TJWRect& ARect, TJWColor AColor) {
  const TJWRect rect = Intersect(ToWindow(ARect), FStack.back().Clip);
  if (!rect.Empty()) FList.Items.emplace_back(TJWFillRect{rect, AColor});
}

void TJWPainter::Line(int32_t AX1, int32_t AY1, int32_t AX2, int32_t AY2, TJWColor AColor) {
  const TState& s = FStack.back();
  FList.Items.emplace_back(TJWLine{AX1 + s.DX, AY1 + s.DY, AX2 + s.DX, AY2 + s.DY, AColor});
}

void TJWPainter::Text(int32_t AX, int32_t AY, const TJWRect& ABox, const TJWFont& AFont,
                      TJWColor AColor, const std::string& AText) {
  if (AText.empty()) return;
  const TJWRect clip = Intersect(ToWindow(ABox), FStack.back().Clip);
  if (clip.Empty()) return;
  const TState& s = FStack.back();
  FList.Items.emplace_back(TJWText{AX + s.DX, AY + s.DY, clip, AFont, AColor, AText});
}

void TJWPainter::TextInBox(const TJWRect& ABox, const TJWFont& AFont, TJWColor AColor,
                           const std::string& AText, TAlign AAlign) {
  if (AText.empty()) return;
  int32_t x = ABox.Left;
  if (AAlign != alLeft) {
    const int32_t width = Metrics.TextWidth(AFont, AText);
    x = AAlign == alRight ? ABox.Right() - width : ABox.Left + (ABox.Width - width) / 2;
  }
  const int32_t y = ABox.Top + (ABox.Height - Metrics.LineHeight(AFont)) / 2;
  Text(x, y, ABox, AFont, AColor, AText);
}

void TJWPainter::Picture(int32_t AX, int32_t AY, const std::shared_ptr<const TJWBitmap>& ABitmap,
                         std::optional<TJWColor> ATransparent) {
  if (!ABitmap || ABitmap->Empty()) return;
  const TJWRect dest = ToWindow({AX, AY, ABitmap->Width, ABitmap->Height});
  const TJWRect shown = Intersect(dest, FStack.back().Clip);
  if (shown.Empty()) return;
  if (shown == dest) {
    FList.Items.emplace_back(TJWPicture{dest, ABitmap, ATransparent});
    return;
  }
  // Only the part inside the cut is handed on, so that shells need not clip pictures.
  auto part = std::make_shared<TJWBitmap>();
  part->Width = shown.Width;
  part->Height = shown.Height;
  part->Pixels.reserve(size_t(shown.Width) * size_t(shown.Height));
  for (int32_t y = shown.Top; y < shown.Bottom(); ++y)
    for (int32_t x = shown.Left; x < shown.Right(); ++x)
      part->Pixels.push_back(ABitmap->Pixel(x - dest.Left, y - dest.Top));
  FList.Items.emplace_back(TJWPicture{shown, std::move(part), ATransparent});
}

void TJWPainter::Control(TJWControlSlot ASlot) {
  ASlot.Rect = ToWindow(ASlot.Rect);
  FList.Items.emplace_back(TJWControlPlace{int32_t(FList.Controls.size())});
  FList.Controls.push_back(std::move(ASlot));
}

std::vector<std::string> SplitLines(const std::string& AText) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < AText.size(); ++i) {
    const char c = AText[i];
    if (c == '\r' || c == '\n') {
      const char other = c == '\r' ? '\n' : '\r';
      if (i + 1 < AText.size() && AText[i + 1] == other) ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

std::vector<std::string> WrapText(TJWTextMetrics& AMetrics, const TJWFont& AFont,
                                  const std::string& AText, int32_t AWidth) {
  std::vector<std::string> out;
  for (const std::string& line : SplitLines(AText)) {
    std::string current;
    size_t pos = 0;
    bool any = false;
    while (pos <= line.size()) {
      const size_t blank = std::min(line.find(' ', pos), line.size());
      const std::string word = line.substr(pos, blank - pos);
      const std::string joined = any ? current + " " + word : word;
      if (any && AMetrics.TextWidth(AFont, joined) > AWidth) {
        out.push_back(current);
        current = word;
      } else {
        current = joined;
      }
      any = true;
      pos = blank + 1;
    }
    out.push_back(current);
  }
  return out;
}

TMeasureTextFunc MeasureWith(TJWTextMetrics& AMetrics, const TJWFont& AFont) {
  return [&AMetrics, AFont](const std::string& AText) { return AMetrics.TextWidth(AFont, AText); };
}

void TJWFrame::SetData(TJW2DataRec* ARec) {
  FData = ARec;
  UpdateContent();
}

void TJWFrame::Paint(TJWPainter& APainter) {
  APainter.Fill({0, 0, Bounds.Width, Bounds.Height}, Color);
}

TJWTextMetrics& TJWFrame::Metrics() const {
  return Form.Metrics();
}

int32_t TJWFrame::NewControlId() const {
  return Form.NewControlId();
}

void TJWFrame::Invalidate() const {
  Form.Invalidate();
}

}  // namespace jw
