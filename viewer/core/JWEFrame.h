#pragma once
// The base of the viewer window's frames and the painter they describe themselves with. A frame
// keeps its place in the window, lays out its content from the entry with the window's text
// metrics, paints into a display list and answers the mouse on its painted parts.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "store/JWEStruct.h"
#include "store/ZDStrUtils.h"
#include "viewer/core/JWDisplayList.h"
#include "viewer/core/JWWindowModel.h"

namespace jw {

// Colours and fonts the frames share.
inline constexpr TJWColor kLinkColor = 0x194094;  // link texts, underlines, page edge lines
inline constexpr TJWColor kWindowTextColor = 0x000000;
inline const TJWFont kArial12{"Arial", 12};
inline const TJWFont kArial12Bold{"Arial", 12, true};
inline const TJWFont kSansSerif11{"MS Sans Serif", 11};
inline const TJWFont kSansSerif11Bold{"MS Sans Serif", 11, true};

// Builds a display list in the coordinates of the frame being painted: positions are moved to
// window coordinates and everything is cut to the frame's rectangle.
class TJWPainter {
 public:
  TJWPainter(TJWDisplayList& AList, TJWTextMetrics& AMetrics, const TJWRect& AClip);

  TJWTextMetrics& Metrics;

  // Enters a child area at ARect (current coordinates): the origin moves there and drawing is
  // cut to it as well. AClip false leaves the cut as it is (titles that stand above their frame).
  void Enter(const TJWRect& ARect, bool AClip = true);
  void Leave();

  void Fill(const TJWRect& ARect, TJWColor AColor);
  void Line(int32_t AX1, int32_t AY1, int32_t AX2, int32_t AY2, TJWColor AColor);
  // One line of text with its line box at (AX, AY), cut to ABox (and the current cut).
  void Text(int32_t AX, int32_t AY, const TJWRect& ABox, const TJWFont& AFont, TJWColor AColor,
            const std::string& AText);
  // The text in ABox, horizontally at the left, centre or right, vertically centred.
  enum TAlign { alLeft, alCenter, alRight };
  void TextInBox(const TJWRect& ABox, const TJWFont& AFont, TJWColor AColor,
                 const std::string& AText, TAlign AAlign = alLeft);
  void Picture(int32_t AX, int32_t AY, const std::shared_ptr<const TJWBitmap>& ABitmap,
               std::optional<TJWColor> ATransparent = std::nullopt);
  // A native control: its slot (rectangle in current coordinates) joins the list.
  void Control(TJWControlSlot ASlot);

 private:
  struct TState {
    int32_t DX, DY;
    TJWRect Clip;  // window coordinates
  };
  TJWRect ToWindow(const TJWRect& ARect) const;

  TJWDisplayList& FList;
  std::vector<TState> FStack;
};

TJWRect Intersect(const TJWRect& AA, const TJWRect& AB);

// Texts as a label shows them: CR LF, LF CR and lone CRs are line breaks.
std::vector<std::string> SplitLines(const std::string& AText);
// The lines of a word-wrapping label AWidth pixels wide: breaks at blanks; a word wider than the
// label stays whole on its line.
std::vector<std::string> WrapText(TJWTextMetrics& AMetrics, const TJWFont& AFont,
                                  const std::string& AText, int32_t AWidth);
TMeasureTextFunc MeasureWith(TJWTextMetrics& AMetrics, const TJWFont& AFont);

class TfrmJW;

class TJWFrame {
 public:
  virtual ~TJWFrame() = default;

  // The window the frame belongs to: its metrics, its controls' ids, its repaints.
  explicit TJWFrame(TfrmJW& AForm) : Form(AForm) {}

  TJWRect Bounds;  // in the window's (or the parent frame's) coordinates
  bool Visible = true;
  TJWColor Color = 0xFFF6ED;

  TJW2DataRec* Data() const { return FData; }
  // Hands the frame the window's record; the frame fills itself.
  virtual void SetData(TJW2DataRec* ARec);
  // Fills the frame from the record again (and sizes it).
  virtual void UpdateContent() {}
  // Lines or items the frame shows (-1: not counted).
  virtual int32_t ItemCount() const { return -1; }

  // Everything the frame shows, in its own coordinates (the painter has entered Bounds); the
  // background is filled with Color first.
  virtual void Paint(TJWPainter& APainter);
  // Drawn after all frames: texts that stand above the frame's edge.
  virtual void PaintOverlay(TJWPainter&) {}
  // The row width of list control AControlId when it is the frame's, else -1.
  virtual int32_t ListRowWidth(int32_t /*AControlId*/) const { return -1; }
  // The rows of a list control of this frame.
  virtual void PaintListRow(TJWPainter&, int32_t /*AControlId*/, int32_t /*ARow*/,
                            bool /*ASelected*/, int32_t /*AWidth*/) {}
  // Mouse input in frame coordinates; Click answers whether the frame took it.
  virtual bool Click(int32_t, int32_t) { return false; }
  virtual bool DoubleClick(int32_t AX, int32_t AY) { return Click(AX, AY); }
  virtual void MouseMove(int32_t, int32_t) {}
  virtual void MouseLeave() {}
  virtual TJWCursor CursorAt(int32_t, int32_t) const { return TJWCursor::crArrow; }
  virtual std::string ToolTipAt(int32_t, int32_t) const { return {}; }
  // Answers whether the control event was for one of the frame's controls.
  virtual bool ControlEvent(const TJWControlEvent&) { return false; }

 protected:
  TJWTextMetrics& Metrics() const;
  // A new control id of the window, stable for the frame's life.
  int32_t NewControlId() const;
  void Invalidate() const;

  TfrmJW& Form;
  TJW2DataRec* FData = nullptr;
};

}  // namespace jw
