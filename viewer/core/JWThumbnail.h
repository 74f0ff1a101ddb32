#pragma once
// The thumbnail of a viewer window: its size from the host bitmap's, the window's picture scaled
// to it, and the hand-over to the host's bitmap routines.
#include <cstdint>

#include "jwlib.h"
#include "store/JWBitmap.h"

namespace jw {

// The target size of a thumbnail: a side of 1 is chosen from the snapshot's proportions,
// otherwise the width stays and the height follows (halves round to even). Raises EJWError for
// an empty snapshot or a result outside 1..16384 pixels a side.
void ThumbnailSize(int32_t AWidth0, int32_t AHeight0, int32_t ASnapWidth, int32_t ASnapHeight,
                   int32_t& AWidth, int32_t& AHeight);

// ASource stretched to AWidth x AHeight: each target pixel is the area-weighted mean of the
// source pixels it covers (alpha 255).
TJWBitmap ScaleBitmap(const TJWBitmap& ASource, int32_t AWidth, int32_t AHeight);

// Sizes the host's bitmap after the rules above and draws the scaled snapshot into it. Everything
// that can fail happens before the host's bitmap changes.
void DrawThumbnail(const TJWBitmap& ASnapshot, JWHostBitmap& ABitmap);

}  // namespace jw
