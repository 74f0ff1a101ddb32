#include "viewer/core/JWDisplayList.h"

#include <cstdio>

namespace jw {

namespace {

std::string Hex(TJWColor AColor) {
  char buffer[8];
  std::snprintf(buffer, sizeof(buffer), "#%06X", unsigned(AColor & 0xFFFFFF));
  return buffer;
}

std::string RectText(const TJWRect& ARect) {
  return std::to_string(ARect.Left) + "," + std::to_string(ARect.Top) + " " +
         std::to_string(ARect.Width) + "x" + std::to_string(ARect.Height);
}

// Printable ASCII stays, everything else (umlauts, line breaks) is written as \xNN, so that dumps
// are plain ASCII whatever the texts hold.
std::string Quoted(const std::string& AText) {
  std::string out = "\"";
  for (const char c : AText) {
    const auto byte = uint8_t(c);
    if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
      char buffer[8];
      std::snprintf(buffer, sizeof(buffer), "\\x%02X", unsigned(byte));
      out += buffer;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string FontText(const TJWFont& AFont) {
  std::string text = Quoted(AFont.Family) + " " + std::to_string(AFont.PixelHeight);
  if (AFont.Bold) text += " bold";
  if (AFont.Italic) text += " italic";
  if (AFont.Underline) text += " underline";
  return text;
}

// FNV-1a over the pixels: a dump notices a changed picture without listing it.
std::string PictureHash(const TJWBitmap* ABitmap) {
  if (!ABitmap) return "none";
  uint32_t hash = 2166136261u;
  for (const uint32_t pixel : ABitmap->Pixels)
    for (int shift = 0; shift < 32; shift += 8)
      hash = (hash ^ ((pixel >> shift) & 0xFF)) * 16777619u;
  char buffer[40];
  std::snprintf(buffer, sizeof(buffer), "%dx%d@%08X", int(ABitmap->Width), int(ABitmap->Height),
                unsigned(hash));
  return buffer;
}

const char* KindName(TJWControlKind AKind) {
  switch (AKind) {
    case TJWControlKind::ckList:
      return "list";
    case TJWControlKind::ckEdit:
      return "edit";
    case TJWControlKind::ckComboBox:
      return "combo";
    case TJWControlKind::ckRadio:
      return "radio";
  }
  return "?";
}

struct TItemDumper {
  std::string& Out;
  void operator()(const TJWFillRect& AItem) const {
    Out += "fill " + RectText(AItem.Rect) + " " + Hex(AItem.Color) + "\n";
  }
  void operator()(const TJWLine& AItem) const {
    Out += "line " + std::to_string(AItem.X1) + "," + std::to_string(AItem.Y1) + " " +
           std::to_string(AItem.X2) + "," + std::to_string(AItem.Y2) + " " + Hex(AItem.Color) +
           "\n";
  }
  void operator()(const TJWText& AItem) const {
    Out += "text " + std::to_string(AItem.X) + "," + std::to_string(AItem.Y) + " clip " +
           RectText(AItem.Clip) + " " + FontText(AItem.Font) + " " + Hex(AItem.Color) + " " +
           Quoted(AItem.Text) + "\n";
  }
  void operator()(const TJWPicture& AItem) const {
    Out += "picture " + RectText(AItem.Dest) + " " + PictureHash(AItem.Bitmap.get());
    if (AItem.Transparent) Out += " transparent " + Hex(*AItem.Transparent);
    Out += "\n";
  }
  void operator()(const TJWControlPlace& AItem) const {
    Out += "control " + std::to_string(AItem.Index) + "\n";
  }
};

}  // namespace

std::string TJWDisplayList::Dump() const {
  std::string out;
  for (const TJWDrawItem& item : Items) std::visit(TItemDumper{out}, item);
  for (const TJWControlSlot& slot : Controls) {
    out += "slot " + std::to_string(slot.Id) + " " + KindName(slot.Kind) + " " +
           RectText(slot.Rect) + " " + FontText(slot.Font) + " " + Hex(slot.Color) + " " +
           Hex(slot.TextColor) + (slot.Enabled ? "" : " disabled");
    switch (slot.Kind) {
      case TJWControlKind::ckList:
        out += " rows " + std::to_string(slot.ItemCount) + "x" + std::to_string(slot.RowHeight) +
               " top " + std::to_string(slot.TopRow) + " selected " +
               std::to_string(slot.Selection);
        break;
      case TJWControlKind::ckEdit:
        out += ' ';
        out += Quoted(slot.Text);
        out += " max " + std::to_string(slot.MaxLength);
        break;
      case TJWControlKind::ckComboBox:
        out += " selected " + std::to_string(slot.Selection);
        for (const std::string& item : slot.Items) {
          out += ' ';
          out += Quoted(item);
        }
        break;
      case TJWControlKind::ckRadio:
        out += ' ';
        out += Quoted(slot.Text);
        if (slot.Checked) out += " checked";
        break;
    }
    out += "\n";
  }
  return out;
}

}  // namespace jw
