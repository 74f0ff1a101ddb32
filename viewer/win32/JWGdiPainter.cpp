#include "viewer/win32/JWGdiPainter.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "store/JWError.h"

namespace jw::win32 {

namespace {

std::atomic<bool> PlainText{false};

COLORREF ToColorRef(TJWColor AColor) {
  return RGB((AColor >> 16) & 0xFF, (AColor >> 8) & 0xFF, AColor & 0xFF);
}

TJWRect Intersect(const TJWRect& A, const TJWRect& B) {
  const int32_t left = std::max(A.Left, B.Left), top = std::max(A.Top, B.Top);
  const int32_t right = std::min(A.Right(), B.Right()), bottom = std::min(A.Bottom(), B.Bottom());
  return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

TJWRect Moved(const TJWRect& ARect, int32_t AX, int32_t AY) {
  return {ARect.Left + AX, ARect.Top + AY, ARect.Width, ARect.Height};
}

}  // namespace

void SetPlainTextRendering(bool AOn) {
  PlainText = AOn;
}

// ---- fonts and metrics ----

TJWGdiFonts::~TJWGdiFonts() {
  for (auto& [font, handle] : FFonts) DeleteObject(handle);
}

HFONT TJWGdiFonts::Get(const TJWFont& AFont) {
  for (auto& [font, handle] : FFonts)
    if (font == AFont) return handle;
  HFONT handle =
      CreateFontA(-AFont.PixelHeight, 0, 0, 0, AFont.Bold ? FW_BOLD : FW_NORMAL, AFont.Italic,
                  AFont.Underline, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                  PlainText ? NONANTIALIASED_QUALITY : DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                  AFont.Family.c_str());
  if (!handle) throw EJWError("Font \"" + AFont.Family + "\" cannot be created!");
  FFonts.emplace_back(AFont, handle);
  return handle;
}

TJWGdiMetrics::TJWGdiMetrics() : FDC(CreateCompatibleDC(nullptr)) {
  if (!FDC) throw EJWError("No device context for measuring texts!");
}

TJWGdiMetrics::~TJWGdiMetrics() {
  DeleteDC(FDC);
}

const TEXTMETRICA& TJWGdiMetrics::Metrics(const TJWFont& AFont) {
  for (auto& [font, metrics] : FMetrics)
    if (font == AFont) return metrics;
  SelectObject(FDC, FFonts.Get(AFont));
  TEXTMETRICA metrics{};
  GetTextMetricsA(FDC, &metrics);
  return FMetrics.emplace_back(AFont, metrics).second;
}

int32_t TJWGdiMetrics::TextWidth(const TJWFont& AFont, std::string_view AText) {
  if (AText.empty()) return 0;
  SelectObject(FDC, FFonts.Get(AFont));
  SIZE size{};
  GetTextExtentPoint32A(FDC, AText.data(), int(AText.size()), &size);
  return size.cx;
}

int32_t TJWGdiMetrics::Ascent(const TJWFont& AFont) {
  return Metrics(AFont).tmAscent;
}

int32_t TJWGdiMetrics::LineHeight(const TJWFont& AFont) {
  return Metrics(AFont).tmHeight;
}

// ---- canvas ----

TJWDibCanvas::TJWDibCanvas(int32_t AWidth, int32_t AHeight)
    : FWidth(std::max(AWidth, 1)), FHeight(std::max(AHeight, 1)) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = FWidth;
  info.bmiHeader.biHeight = -FHeight;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  FDC = CreateCompatibleDC(nullptr);
  FBitmap = CreateDIBSection(FDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!FDC || !FBitmap) {
    if (FBitmap) DeleteObject(FBitmap);
    if (FDC) DeleteDC(FDC);
    throw EJWError("No bitmap of " + std::to_string(FWidth) + " x " + std::to_string(FHeight) +
                   " pixels for painting!");
  }
  FBits = static_cast<uint32_t*>(bits);
  FOldBitmap = SelectObject(FDC, FBitmap);
  SetBkMode(FDC, TRANSPARENT);
  SetTextAlign(FDC, TA_TOP | TA_LEFT | TA_NOUPDATECP);
}

TJWDibCanvas::~TJWDibCanvas() {
  SelectObject(FDC, FOldBitmap);
  DeleteObject(FBitmap);
  DeleteDC(FDC);
}

uint32_t* TJWDibCanvas::Pixels() {
  GdiFlush();
  return FBits;
}

TJWBitmap TJWDibCanvas::ToBitmap() {
  TJWBitmap result;
  result.Width = FWidth;
  result.Height = FHeight;
  const uint32_t* pixels = Pixels();
  result.Pixels.assign(pixels, pixels + size_t(FWidth) * size_t(FHeight));
  for (uint32_t& pixel : result.Pixels) pixel |= 0xFF000000u;
  return result;
}

// ---- painting ----

void TJWGdiPainter::Paint(const TJWDisplayList& AList, int32_t AX, int32_t AY, const TJWRect& AClip,
                          const TControlDrawer& AControl) {
  const TJWRect clip = Intersect(AClip, {0, 0, FCanvas.Width(), FCanvas.Height()});
  for (const TJWDrawItem& item : AList.Items) {
    if (const auto* fill = std::get_if<TJWFillRect>(&item))
      Fill(Moved(fill->Rect, AX, AY), fill->Color, clip);
    else if (const auto* line = std::get_if<TJWLine>(&item))
      Line(*line, AX, AY, clip);
    else if (const auto* text = std::get_if<TJWText>(&item))
      Text(*text, AX, AY, clip);
    else if (const auto* picture = std::get_if<TJWPicture>(&item))
      Picture(*picture, AX, AY, clip);
    else if (const auto* place = std::get_if<TJWControlPlace>(&item)) {
      if (AControl && place->Index >= 0 && size_t(place->Index) < AList.Controls.size())
        AControl(AList.Controls[size_t(place->Index)], clip);
    }
  }
}

void TJWGdiPainter::Fill(const TJWRect& ARect, TJWColor AColor, const TJWRect& AClip) {
  const TJWRect r = Intersect(ARect, AClip);
  if (r.Empty()) return;
  uint32_t* pixels = FCanvas.Pixels();
  for (int32_t y = r.Top; y < r.Bottom(); ++y) {
    uint32_t* row = pixels + size_t(y) * size_t(FCanvas.Width());
    std::fill(row + r.Left, row + r.Right(), AColor & 0xFFFFFFu);
  }
}

void TJWGdiPainter::Frame(const TJWRect& ARect, TJWColor AColor, const TJWRect& AClip) {
  Fill({ARect.Left, ARect.Top, ARect.Width, 1}, AColor, AClip);
  Fill({ARect.Left, ARect.Bottom() - 1, ARect.Width, 1}, AColor, AClip);
  Fill({ARect.Left, ARect.Top, 1, ARect.Height}, AColor, AClip);
  Fill({ARect.Right() - 1, ARect.Top, 1, ARect.Height}, AColor, AClip);
}

void TJWGdiPainter::Line(const TJWLine& ALine, int32_t AX, int32_t AY, const TJWRect& AClip) {
  int32_t x = ALine.X1 + AX, y = ALine.Y1 + AY;
  const int32_t x2 = ALine.X2 + AX, y2 = ALine.Y2 + AY;
  if (x == x2 || y == y2) {  // the usual case: one fill
    Fill({std::min(x, x2), std::min(y, y2), std::abs(x2 - x) + 1, std::abs(y2 - y) + 1},
         ALine.Color, AClip);
    return;
  }
  // Bresenham, both ends included.
  uint32_t* pixels = FCanvas.Pixels();
  const int32_t dx = std::abs(x2 - x), dy = -std::abs(y2 - y);
  const int32_t sx = x < x2 ? 1 : -1, sy = y < y2 ? 1 : -1;
  int32_t error = dx + dy;
  for (;;) {
    if (AClip.Contains(x, y)) pixels[size_t(y) * size_t(FCanvas.Width()) + size_t(x)] = ALine.Color;
    if (x == x2 && y == y2) break;
    const int32_t e2 = 2 * error;
    if (e2 >= dy) error += dy, x += sx;
    if (e2 <= dx) error += dx, y += sy;
  }
}

void TJWGdiPainter::Text(const TJWText& AText, int32_t AX, int32_t AY, const TJWRect& AClip) {
  const TJWRect r = Intersect(Moved(AText.Clip, AX, AY), AClip);
  if (r.Empty() || AText.Text.empty()) return;
  const HDC dc = FCanvas.DC();
  SelectObject(dc, FFonts.Get(AText.Font));
  SetTextColor(dc, ToColorRef(AText.Color));
  const RECT clip{r.Left, r.Top, r.Right(), r.Bottom()};
  ExtTextOutA(dc, AText.X + AX, AText.Y + AY, ETO_CLIPPED, &clip, AText.Text.data(),
              UINT(AText.Text.size()), nullptr);
}

void TJWGdiPainter::Picture(const TJWPicture& APicture, int32_t AX, int32_t AY,
                            const TJWRect& AClip) {
  if (!APicture.Bitmap || APicture.Bitmap->Empty()) return;
  const TJWBitmap& source = *APicture.Bitmap;
  const TJWRect dest = Moved(APicture.Dest, AX, AY);
  const TJWRect r = Intersect(dest, AClip);
  if (r.Empty()) return;
  uint32_t* pixels = FCanvas.Pixels();
  const bool keyed = APicture.Transparent.has_value();
  const uint32_t key = keyed ? (*APicture.Transparent & 0xFFFFFFu) : 0;
  // Nearest neighbour, sampled at the centre of each target pixel; the source columns are worked
  // out once per picture (64-bit divisions per pixel are slow in 32-bit code).
  std::vector<int32_t> columns(size_t(r.Width));
  for (int32_t x = r.Left; x < r.Right(); ++x)
    columns[size_t(x - r.Left)] =
        int32_t((int64_t(2 * (x - dest.Left) + 1) * source.Width) / (2 * int64_t(dest.Width)));
  for (int32_t y = r.Top; y < r.Bottom(); ++y) {
    const int64_t sy =
        (int64_t(2 * (y - dest.Top) + 1) * source.Height) / (2 * int64_t(dest.Height));
    const uint32_t* from = source.Pixels.data() + size_t(sy) * size_t(source.Width);
    uint32_t* row = pixels + size_t(y) * size_t(FCanvas.Width()) + r.Left;
    for (size_t i = 0; i < columns.size(); ++i) {
      const uint32_t pixel = from[columns[i]] & 0xFFFFFFu;
      if (!keyed || pixel != key) row[i] = pixel;
    }
  }
}

void TJWGdiPainter::PaintControl(const TJWControlSlot& ASlot, const TJWRect& AClip,
                                 TJWWindowModel& AModel, TJWTextMetrics& AMetrics) {
  const TJWRect& rect = ASlot.Rect;
  const TJWRect clip = Intersect(rect, AClip);
  if (clip.Empty()) return;
  constexpr TJWColor border = 0x7A7A7A, face = 0xE1E1E1;
  const TJWColor textColor = ASlot.Enabled ? ASlot.TextColor : 0x6D6D6D;
  auto caption = [&](const std::string& AText, int32_t ALeft, const TJWRect& AInside) {
    const int32_t y = rect.Top + (rect.Height - AMetrics.LineHeight(ASlot.Font)) / 2;
    Text({ALeft, y, AInside, ASlot.Font, textColor, AText}, 0, 0, clip);
  };
  switch (ASlot.Kind) {
    case TJWControlKind::ckList: {
      Fill(rect, ASlot.Color, clip);
      const int32_t rowHeight = std::max(ASlot.RowHeight, 1);
      for (int32_t row = std::max(ASlot.TopRow, 0), y = rect.Top;
           row < ASlot.ItemCount && y < rect.Bottom(); ++row, y += rowHeight) {
        const TJWDisplayList rowList =
            AModel.PaintListRow(AMetrics, ASlot.Id, row, row == ASlot.Selection);
        Paint(rowList, rect.Left, y, Intersect(clip, {rect.Left, y, rect.Width, rowHeight}));
      }
      break;
    }
    case TJWControlKind::ckEdit:
      Fill(rect, ASlot.Color, clip);
      Frame(rect, border, clip);
      caption(ASlot.Text, rect.Left + 3,
              {rect.Left + 1, rect.Top + 1, rect.Width - 2, rect.Height - 2});
      break;
    case TJWControlKind::ckComboBox: {
      Fill(rect, ASlot.Color, clip);
      Frame(rect, border, clip);
      const int32_t button = std::min(17, rect.Width);
      const TJWRect arrowBox{rect.Right() - button, rect.Top + 1, button - 1, rect.Height - 2};
      Fill(arrowBox, face, clip);
      const int32_t cx = arrowBox.Left + arrowBox.Width / 2, cy = rect.Top + rect.Height / 2 - 1;
      for (int32_t i = 0; i < 4; ++i) Fill({cx - 3 + i, cy + i, 7 - 2 * i, 1}, textColor, clip);
      if (ASlot.Selection >= 0 && size_t(ASlot.Selection) < ASlot.Items.size())
        caption(ASlot.Items[size_t(ASlot.Selection)], rect.Left + 3,
                {rect.Left + 1, rect.Top + 1, rect.Width - button - 2, rect.Height - 2});
      break;
    }
    case TJWControlKind::ckRadio: {
      Fill(rect, ASlot.Color, clip);
      const int32_t size = 13, top = rect.Top + (rect.Height - size) / 2;
      // A round mark from horizontal runs: widths of a 13-pixel circle.
      static constexpr int32_t runs[13] = {5, 9, 11, 11, 13, 13, 13, 13, 13, 11, 11, 9, 5};
      for (int32_t i = 0; i < size; ++i) {
        const int32_t w = runs[i], left = rect.Left + (size - w) / 2;
        Fill({left, top + i, w, 1}, border, clip);
        if (i > 0 && i < size - 1) {
          const int32_t inner = runs[i] - 2 - (i == 1 || i == size - 2 ? 4 : 0);
          if (inner > 0) Fill({rect.Left + (size - inner) / 2, top + i, inner, 1}, 0xFFFFFF, clip);
        }
      }
      if (ASlot.Checked) Fill({rect.Left + 4, top + 4, 5, 5}, textColor, clip);
      caption(ASlot.Text, rect.Left + size + 4, rect);
      break;
    }
  }
}

TJWBitmap RenderOffscreen(TJWWindowModel& AModel, TJWGdiMetrics& AMetrics) {
  const TJWDisplayList list = AModel.Paint(AMetrics);
  TJWDibCanvas canvas(AModel.ClientWidth(), AModel.ClientHeight());
  TJWGdiPainter painter(canvas, AMetrics.Fonts());
  const TJWRect all{0, 0, canvas.Width(), canvas.Height()};
  painter.Fill(all, 0xFFFFFF, all);
  painter.Paint(list, 0, 0, all, [&](const TJWControlSlot& ASlot, const TJWRect& AClip) {
    painter.PaintControl(ASlot, AClip, AModel, AMetrics);
  });
  return canvas.ToBitmap();
}

}  // namespace jw::win32
