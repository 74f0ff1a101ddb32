#pragma once
// The core's picture type: decoded logos and template pictures live here until the viewer turns
// them into Qt images or the JPEG encoder writes them out. No toolkit types on purpose.
#include <cstdint>
#include <memory>
#include <vector>

namespace jw {

struct TJWBitmap {
  int32_t Width = 0;
  int32_t Height = 0;
  // Top row first, one 0xAARRGGBB word per pixel (bytes B, G, R, A in memory), alpha 255.
  std::vector<uint32_t> Pixels;

  bool Empty() const { return Width <= 0 || Height <= 0; }
  uint32_t Pixel(int32_t x, int32_t y) const {
    return Pixels[size_t(y) * size_t(Width) + size_t(x)];
  }
};

// A picture's size alone, for answers that need no pixels (0 x 0: no picture).
struct TJWPictureSize {
  int32_t Width = 0;
  int32_t Height = 0;
  bool operator==(const TJWPictureSize&) const = default;
};

// Where the entry reader gets an entry's logo from. The image data file reader implements it; the
// entry reader works without one (entries then load without logos).
class TJWLogoSource {
 public:
  virtual ~TJWLogoSource() = default;
  // The logo of entry AId, or null when the entry has none. Logos are shared and never change.
  virtual std::shared_ptr<const TJWBitmap> GetLogo(uint32_t AId) = 0;
};

}  // namespace jw
