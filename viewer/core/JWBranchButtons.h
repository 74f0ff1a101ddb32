#pragma once
// The picture buttons of the branch pages: 17 x 19 bitmaps compiled into the library.
#include <memory>
#include <string>

#include "store/JWBitmap.h"
#include "viewer/core/JWDisplayList.h"

namespace jw {

// One of the branch pages' button bitmaps by name ("SEARCHOUT", "BACKOVER", ...); null for an
// unknown name.
std::shared_ptr<const TJWBitmap> BranchBitmap(const std::string& AName);

// A picture button: where it stands and which of its two pictures it shows.
struct TJWImageButton {
  TJWRect Rect;
  std::string Out;   // picture at rest
  std::string Over;  // picture under the mouse
  bool Visible = true;
  bool Hover = false;

  std::string PictureName() const { return Hover ? Over : Out; }
  bool Contains(int32_t AX, int32_t AY) const { return Visible && Rect.Contains(AX, AY); }
  // Lights the button up when (AX, AY) lies on it, puts it back to rest otherwise; answers
  // whether that changed anything.
  bool Track(int32_t AX, int32_t AY) {
    const bool hover = Contains(AX, AY);
    const bool changed = hover != Hover;
    Hover = hover;
    return changed;
  }
};

}  // namespace jw
