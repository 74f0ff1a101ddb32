#pragma once
// What a viewer window shows, as plain drawing steps that a thin shell (Qt on Linux, GDI on
// Windows) carries out. The window's rules decide everything a user can see: texts arrive already
// broken into single lines and shortened, at their final place, with their font, colour and clip.
// A shell only draws, measures texts for the rules (TJWTextMetrics) and hosts the native controls
// named by the control slots. No toolkit types on purpose: this builds for every platform.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "store/JWBitmap.h"

namespace jw {

// Client pixels, origin at the window's (or a list row's) top-left corner.
struct TJWRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;

  int32_t Right() const { return Left + Width; }    // first column outside
  int32_t Bottom() const { return Top + Height; }   // first row outside
  bool Empty() const { return Width <= 0 || Height <= 0; }
  bool Contains(int32_t AX, int32_t AY) const {
    return AX >= Left && AX < Right() && AY >= Top && AY < Bottom();
  }
  bool operator==(const TJWRect&) const = default;
};

// 0x00RRGGBB.
using TJWColor = uint32_t;

// A font as the rules choose it. Family names are the designer's ("Arial", "Tahoma",
// "MS Sans Serif"); PixelHeight is the character height in pixels (a negative font height on
// Windows, QFont::setPixelSize in Qt).
struct TJWFont {
  std::string Family = "MS Sans Serif";
  int32_t PixelHeight = 11;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool operator==(const TJWFont&) const = default;
};

// How a shell measures texts for the rules (line breaking, shortening, centring). Texts are
// Windows-1252 bytes. A fixed metric (every character the same width) makes display lists exact
// in tests.
class TJWTextMetrics {
 public:
  virtual ~TJWTextMetrics() = default;
  // Advance width of the whole text in pixels.
  virtual int32_t TextWidth(const TJWFont& AFont, std::string_view AText) = 0;
  // Distance from a line's top to its baseline, and from one line's top to the next's.
  virtual int32_t Ascent(const TJWFont& AFont) = 0;
  virtual int32_t LineHeight(const TJWFont& AFont) = 0;
};

struct TJWFillRect {
  TJWRect Rect;
  TJWColor Color = 0;
};

// A one-pixel line from (X1, Y1) to (X2, Y2), both ends included.
struct TJWLine {
  int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  TJWColor Color = 0;
};

// One line of text whose line box starts at (X, Y): the baseline is Y + Ascent(Font). Nothing
// is drawn outside Clip. The background stays as it is (transparent text).
struct TJWText {
  int32_t X = 0;
  int32_t Y = 0;
  TJWRect Clip;
  TJWFont Font;
  TJWColor Color = 0;
  std::string Text;  // Windows-1252
};

// A picture stretched into Dest (drawn 1:1 when the sizes agree), clipped to Dest. Pixels of
// the transparent colour, when one is given, leave what lies under them.
struct TJWPicture {
  TJWRect Dest;
  std::shared_ptr<const TJWBitmap> Bitmap;
  std::optional<TJWColor> Transparent;
};

// Where a native control stands, by its index in TJWDisplayList::Controls. A shell that paints
// off screen (the thumbnail) draws the control from its slot's state instead.
struct TJWControlPlace {
  int32_t Index = 0;
};

using TJWDrawItem = std::variant<TJWFillRect, TJWLine, TJWText, TJWPicture, TJWControlPlace>;

enum class TJWControlKind {
  ckList,      // virtual list: rows drawn by the window model (DrawListRow), one row height
  ckEdit,      // single-line text box
  ckComboBox,  // drop-down list, not editable
  ckRadio      // radio button with its caption
};

// A native control and its state. Ids are stable for the lifetime of the window model, so a
// shell keeps its native control across repaints and creates or destroys controls as slots come
// and go.
struct TJWControlSlot {
  int32_t Id = 0;
  TJWControlKind Kind = TJWControlKind::ckList;
  TJWRect Rect;
  TJWFont Font;
  TJWColor Color = 0xFFFFFF;      // background
  TJWColor TextColor = 0x000000;
  bool Enabled = true;
  // ckList
  int32_t ItemCount = 0;
  int32_t RowHeight = 15;
  int32_t TopRow = 0;
  int32_t Selection = -1;  // -1: none
  // ckEdit: the text; ckRadio: the caption
  std::string Text;
  int32_t MaxLength = 0;  // ckEdit, 0: no limit
  // ckComboBox
  std::vector<std::string> Items;  // Selection above is the chosen item
  // ckRadio
  bool Checked = false;
  bool operator==(const TJWControlSlot&) const = default;
};

struct TJWDisplayList {
  std::vector<TJWDrawItem> Items;  // in painting order, later ones on top
  std::vector<TJWControlSlot> Controls;

  // A readable, stable dump (one line per item and slot) for expected files in tests.
  std::string Dump() const;
};

}  // namespace jw
