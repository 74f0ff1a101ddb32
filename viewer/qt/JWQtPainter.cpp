#include "viewer/qt/JWQtPainter.h"

#include <QFontMetrics>
#include <QPainterPath>
#include <vector>

#include "viewer/qt/JWCodePage.h"

namespace jw {

namespace {

bool& TestMode() {
  static bool on = false;
  return on;
}

QColor ToQColor(TJWColor AColor) {
  return QColor(int((AColor >> 16) & 0xFF), int((AColor >> 8) & 0xFF), int(AColor & 0xFF));
}

QRect ToQRect(const TJWRect& ARect) {
  return QRect(ARect.Left, ARect.Top, ARect.Width, ARect.Height);
}

// A core bitmap as an image without copying; with a transparent colour, a copy with those pixels
// cleared.
QImage ToImage(const TJWPicture& APicture) {
  const TJWBitmap& bmp = *APicture.Bitmap;
  const QImage image(reinterpret_cast<const uchar*>(bmp.Pixels.data()), bmp.Width, bmp.Height,
                     bmp.Width * 4, QImage::Format_ARGB32);
  if (!APicture.Transparent) return image;
  QImage copy = image.copy();
  const uint32_t key = 0xFF000000u | *APicture.Transparent;
  for (int y = 0; y < copy.height(); ++y) {
    auto* line = reinterpret_cast<uint32_t*>(copy.scanLine(y));
    for (int x = 0; x < copy.width(); ++x)
      if (line[x] == key) line[x] = 0;
  }
  return copy;
}

// Fonts are looked up once per look: building a QFont for every text costs more than drawing it.
const QFont& CachedFont(const TJWFont& AFont) {
  struct TEntry {
    TJWFont Font;
    bool Test;
    QFont Qt;
  };
  static std::vector<TEntry> cache;
  for (const TEntry& entry : cache)
    if (entry.Font == AFont && entry.Test == TestMode()) return entry.Qt;
  cache.push_back({AFont, TestMode(), ToQFont(AFont)});
  return cache.back().Qt;
}

}  // namespace

void SetTestRendering(bool AOn) {
  TestMode() = AOn;
}

bool TestRendering() {
  return TestMode();
}

QFont ToQFont(const TJWFont& AFont) {
  QFont font{QString::fromLatin1(AFont.Family.c_str())};
  font.setPixelSize(AFont.PixelHeight);
  font.setBold(AFont.Bold);
  font.setItalic(AFont.Italic);
  font.setUnderline(AFont.Underline);
  // Layout metrics were designed for whole pixels; keep glyph positions on them.
  font.setHintingPreference(QFont::PreferFullHinting);
  if (TestMode()) {
    font.setStyleStrategy(QFont::NoAntialias);
    font.setKerning(false);
  }
  return font;
}

struct TJWQtTextMetrics::TEntry {
  TJWFont Font;
  bool Test;
  QFontMetrics Metrics;
};

TJWQtTextMetrics::TJWQtTextMetrics() = default;
TJWQtTextMetrics::~TJWQtTextMetrics() = default;

const TJWQtTextMetrics::TEntry& TJWQtTextMetrics::Get(const TJWFont& AFont) {
  for (const auto& entry : FCache)
    if (entry->Font == AFont && entry->Test == TestMode()) return *entry;
  FCache.push_back(
      std::make_unique<TEntry>(TEntry{AFont, TestMode(), QFontMetrics(ToQFont(AFont))}));
  return *FCache.back();
}

int32_t TJWQtTextMetrics::TextWidth(const TJWFont& AFont, std::string_view AText) {
  return Get(AFont).Metrics.horizontalAdvance(ToQString(std::string(AText)));
}

int32_t TJWQtTextMetrics::Ascent(const TJWFont& AFont) {
  return Get(AFont).Metrics.ascent();
}

int32_t TJWQtTextMetrics::LineHeight(const TJWFont& AFont) {
  return Get(AFont).Metrics.height();
}

void DrawDisplayList(QPainter& APainter, const TJWDisplayList& AList, TJWTextMetrics& AMetrics,
                     const TJWControlDrawer& ADrawControl) {
  APainter.save();
  if (TestMode())
    APainter.setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform,
        false);
  for (const TJWDrawItem& item : AList.Items) {
    if (const auto* fill = std::get_if<TJWFillRect>(&item)) {
      APainter.fillRect(ToQRect(fill->Rect), ToQColor(fill->Color));
    } else if (const auto* line = std::get_if<TJWLine>(&item)) {
      APainter.setPen(ToQColor(line->Color));
      APainter.drawLine(line->X1, line->Y1, line->X2, line->Y2);
    } else if (const auto* text = std::get_if<TJWText>(&item)) {
      APainter.save();
      APainter.setClipRect(ToQRect(text->Clip), Qt::IntersectClip);
      APainter.setFont(CachedFont(text->Font));
      APainter.setPen(ToQColor(text->Color));
      APainter.drawText(QPoint(text->X, text->Y + AMetrics.Ascent(text->Font)),
                        ToQString(text->Text));
      APainter.restore();
    } else if (const auto* picture = std::get_if<TJWPicture>(&item)) {
      if (!picture->Bitmap || picture->Bitmap->Empty()) continue;
      const QImage image = ToImage(*picture);
      const QRect dest = ToQRect(picture->Dest);
      if (dest.size() == image.size())
        APainter.drawImage(dest.topLeft(), image);
      else
        APainter.drawImage(dest, image);
    } else if (const auto* place = std::get_if<TJWControlPlace>(&item)) {
      if (ADrawControl && place->Index >= 0 && size_t(place->Index) < AList.Controls.size())
        ADrawControl(APainter, AList.Controls[size_t(place->Index)]);
    }
  }
  APainter.restore();
}

void DrawControlSlot(QPainter& APainter, const TJWControlSlot& ASlot, TJWWindowModel& AModel,
                     TJWTextMetrics& AMetrics) {
  const QRect rect = ToQRect(ASlot.Rect);
  APainter.save();
  APainter.setClipRect(rect, Qt::IntersectClip);
  const TJWFont& font = ASlot.Font;
  const int32_t textTop = ASlot.Rect.Top + (ASlot.Rect.Height - AMetrics.LineHeight(font)) / 2;
  auto text = [&](int32_t ALeft, const std::string& AText, TJWColor AColor) {
    APainter.setFont(CachedFont(font));
    APainter.setPen(ToQColor(AColor));
    APainter.drawText(QPoint(ALeft, textTop + AMetrics.Ascent(font)), ToQString(AText));
  };
  switch (ASlot.Kind) {
    case TJWControlKind::ckList: {
      APainter.fillRect(rect, ToQColor(ASlot.Color));
      const int32_t rowHeight = std::max(1, ASlot.RowHeight);
      for (int32_t row = ASlot.TopRow, y = ASlot.Rect.Top;
           row < ASlot.ItemCount && y < ASlot.Rect.Bottom(); ++row, y += rowHeight) {
        const TJWDisplayList rows =
            AModel.PaintListRow(AMetrics, ASlot.Id, row, row == ASlot.Selection);
        APainter.save();
        APainter.translate(ASlot.Rect.Left, y);
        DrawDisplayList(APainter, rows, AMetrics);
        APainter.restore();
      }
      break;
    }
    case TJWControlKind::ckEdit:
      APainter.fillRect(rect, ASlot.Enabled ? QColor(Qt::white) : QColor(0xEF, 0xEF, 0xEF));
      APainter.setPen(QColor(0x7A, 0x7A, 0x7A));
      APainter.drawRect(rect.adjusted(0, 0, -1, -1));
      text(ASlot.Rect.Left + 3, ASlot.Text, ASlot.Enabled ? ASlot.TextColor : 0x808080);
      break;
    case TJWControlKind::ckComboBox: {
      APainter.fillRect(rect, QColor(0xEF, 0xEF, 0xEF));
      APainter.setPen(QColor(0x8E, 0x8E, 0x8E));
      APainter.drawRect(rect.adjusted(0, 0, -1, -1));
      if (ASlot.Selection >= 0 && size_t(ASlot.Selection) < ASlot.Items.size())
        text(ASlot.Rect.Left + 4, ASlot.Items[size_t(ASlot.Selection)], ASlot.TextColor);
      const int x = rect.right() - 10, y = rect.center().y() - 1;
      for (int i = 0; i < 4; ++i) {
        APainter.setPen(ToQColor(ASlot.TextColor));
        APainter.drawLine(x - 3 + i, y - 1 + i, x + 3 - i, y - 1 + i);
      }
      break;
    }
    case TJWControlKind::ckRadio: {
      APainter.fillRect(rect, ToQColor(ASlot.Color));
      const QRect circle(rect.left(), rect.center().y() - 6, 12, 12);
      APainter.setPen(QColor(0x7A, 0x7A, 0x7A));
      APainter.setBrush(Qt::white);
      APainter.drawEllipse(circle);
      if (ASlot.Checked) {
        APainter.setBrush(ToQColor(ASlot.TextColor));
        APainter.drawEllipse(circle.adjusted(3, 3, -3, -3));
      }
      text(ASlot.Rect.Left + 17, ASlot.Text, ASlot.TextColor);
      break;
    }
  }
  APainter.restore();
}

QImage RenderWindow(TJWWindowModel& AModel, TJWTextMetrics& AMetrics) {
  QImage image(AModel.ClientWidth(), AModel.ClientHeight(), QImage::Format_ARGB32);
  image.fill(Qt::white);
  const TJWDisplayList list = AModel.Paint(AMetrics);
  QPainter painter(&image);
  DrawDisplayList(painter, list, AMetrics, [&](QPainter& APainter, const TJWControlSlot& ASlot) {
    DrawControlSlot(APainter, ASlot, AModel, AMetrics);
  });
  painter.end();
  return image;
}

std::vector<uint32_t> RenderDisplayListBGRA(const TJWDisplayList& AList, int32_t AWidth,
                                            int32_t AHeight, TJWColor ABackground) {
  const bool before = TestMode();
  SetTestRendering(true);
  TJWQtTextMetrics metrics;
  QImage image(AWidth, AHeight, QImage::Format_ARGB32);
  image.setDotsPerMeterX(3780);  // 96 dpi
  image.setDotsPerMeterY(3780);
  image.fill(ToQColor(ABackground));
  {
    QPainter painter(&image);
    DrawDisplayList(painter, AList, metrics);
  }
  SetTestRendering(before);
  std::vector<uint32_t> pixels(size_t(AWidth) * size_t(AHeight));
  for (int y = 0; y < AHeight; ++y) {
    const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
    std::copy(line, line + AWidth, pixels.begin() + ptrdiff_t(y) * AWidth);
  }
  return pixels;
}

}  // namespace jw
