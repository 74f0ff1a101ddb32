#pragma once
// Drawing of the viewer core's display lists with QPainter, and the text metrics behind them.
#include <QFont>
#include <QImage>
#include <QPainter>
#include <functional>
#include <vector>

#include "viewer/core/JWDisplayList.h"
#include "viewer/core/JWWindowModel.h"

namespace jw {

// Test rendering: no antialiasing, no kerning, full hinting, so that two painters given the same
// fonts draw the same pixels. Set before the first text is measured; it applies process-wide.
void SetTestRendering(bool AOn);
bool TestRendering();

// The Qt font of a display-list font (families of another platform resolve through the
// application's substitutions).
QFont ToQFont(const TJWFont& AFont);

class TJWQtTextMetrics : public TJWTextMetrics {
 public:
  TJWQtTextMetrics();
  ~TJWQtTextMetrics() override;
  int32_t TextWidth(const TJWFont& AFont, std::string_view AText) override;
  int32_t Ascent(const TJWFont& AFont) override;
  int32_t LineHeight(const TJWFont& AFont) override;

 private:
  struct TEntry;
  const TEntry& Get(const TJWFont& AFont);
  std::vector<std::unique_ptr<TEntry>> FCache;
};

// Draws AList's items in order. Control places go to ADrawControl when given (native controls
// draw themselves otherwise).
using TJWControlDrawer = std::function<void(QPainter&, const TJWControlSlot&)>;
void DrawDisplayList(QPainter& APainter, const TJWDisplayList& AList, TJWTextMetrics& AMetrics,
                     const TJWControlDrawer& ADrawControl = nullptr);

// Draws a native control from its slot's state, as the thumbnail shows it; list rows come from
// AModel.
void DrawControlSlot(QPainter& APainter, const TJWControlSlot& ASlot, TJWWindowModel& AModel,
                     TJWTextMetrics& AMetrics);

// The whole window off screen, controls drawn from their slots: 32-bit, B G R A in memory.
QImage RenderWindow(TJWWindowModel& AModel, TJWTextMetrics& AMetrics);

// A display list drawn on AWidth x AHeight pixels filled with ABackground, in test rendering, as
// 0xAARRGGBB words, top row first (control places are left out). Needs a QGuiApplication.
std::vector<uint32_t> RenderDisplayListBGRA(const TJWDisplayList& AList, int32_t AWidth,
                                            int32_t AHeight, TJWColor ABackground);

}  // namespace jw
