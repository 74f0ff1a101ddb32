#pragma once
// Display lists drawn with GDI into 32-bit DIB sections: the window's back buffer, its list rows
// and the thumbnail all go through here, so that what is on screen and what is painted off screen
// are the same pixels. Texts go through GDI (code page 1252 bytes as they are); fills, lines and
// pictures are written into the DIB's pixels directly.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "viewer/core/JWDisplayList.h"
#include "viewer/core/JWWindowModel.h"

namespace jw::win32 {

// Plain text rendering (no antialiasing) for fonts created from now on, so that pictures compare
// pixel for pixel with another painter's. Off by default: the system's own text quality.
void SetPlainTextRendering(bool AOn);

// GDI fonts made from the rules' fonts, once each: at the negative pixel height, Western
// character set.
class TJWGdiFonts {
 public:
  TJWGdiFonts() = default;
  TJWGdiFonts(const TJWGdiFonts&) = delete;
  TJWGdiFonts& operator=(const TJWGdiFonts&) = delete;
  ~TJWGdiFonts();
  HFONT Get(const TJWFont& AFont);

 private:
  std::vector<std::pair<TJWFont, HFONT>> FFonts;
};

// Texts measured with GDI on a memory device context of its own, with the fonts that draw them.
class TJWGdiMetrics final : public TJWTextMetrics {
 public:
  TJWGdiMetrics();
  TJWGdiMetrics(const TJWGdiMetrics&) = delete;
  TJWGdiMetrics& operator=(const TJWGdiMetrics&) = delete;
  ~TJWGdiMetrics() override;
  int32_t TextWidth(const TJWFont& AFont, std::string_view AText) override;
  int32_t Ascent(const TJWFont& AFont) override;
  int32_t LineHeight(const TJWFont& AFont) override;
  TJWGdiFonts& Fonts() { return FFonts; }

 private:
  const TEXTMETRICA& Metrics(const TJWFont& AFont);
  TJWGdiFonts FFonts;
  HDC FDC;
  std::vector<std::pair<TJWFont, TEXTMETRICA>> FMetrics;
};

// A top-down 32-bit DIB section selected into a memory device context.
class TJWDibCanvas {
 public:
  TJWDibCanvas(int32_t AWidth, int32_t AHeight);
  TJWDibCanvas(const TJWDibCanvas&) = delete;
  TJWDibCanvas& operator=(const TJWDibCanvas&) = delete;
  ~TJWDibCanvas();
  HDC DC() const { return FDC; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  // The pixels, after GDI finished its pending drawing.
  uint32_t* Pixels();
  // The pixels as a picture with alpha 255 (GDI leaves the fourth byte undefined).
  TJWBitmap ToBitmap();

 private:
  int32_t FWidth;
  int32_t FHeight;
  HDC FDC = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
  uint32_t* FBits = nullptr;
};

// Draws display lists into a canvas.
class TJWGdiPainter {
 public:
  // AControl draws the control of a slot; null leaves control places empty (native controls
  // stand there on screen).
  using TControlDrawer = std::function<void(const TJWControlSlot&, const TJWRect& AClip)>;

  TJWGdiPainter(TJWDibCanvas& ACanvas, TJWGdiFonts& AFonts) : FCanvas(ACanvas), FFonts(AFonts) {}

  // AList with its origin at (AX, AY) of the canvas; nothing outside AClip (canvas pixels).
  void Paint(const TJWDisplayList& AList, int32_t AX, int32_t AY, const TJWRect& AClip,
             const TControlDrawer& AControl = nullptr);

  // A native control drawn from its slot's state, list rows from AModel.
  void PaintControl(const TJWControlSlot& ASlot, const TJWRect& AClip, TJWWindowModel& AModel,
                    TJWTextMetrics& AMetrics);

  void Fill(const TJWRect& ARect, TJWColor AColor, const TJWRect& AClip);
  void Line(const TJWLine& ALine, int32_t AX, int32_t AY, const TJWRect& AClip);
  void Text(const TJWText& AText, int32_t AX, int32_t AY, const TJWRect& AClip);
  void Picture(const TJWPicture& APicture, int32_t AX, int32_t AY, const TJWRect& AClip);

 private:
  void Frame(const TJWRect& ARect, TJWColor AColor, const TJWRect& AClip);
  TJWDibCanvas& FCanvas;
  TJWGdiFonts& FFonts;
};

// The whole client area of AModel painted off screen, native controls drawn from their slots.
TJWBitmap RenderOffscreen(TJWWindowModel& AModel, TJWGdiMetrics& AMetrics);

}  // namespace jw::win32
