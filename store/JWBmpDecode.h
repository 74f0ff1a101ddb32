#pragma once
// Windows bitmap file decoding for the core (logos and template pictures are stored as BMP files).
// The core must not depend on a GUI toolkit, so this is a small decoder of its own that trusts
// nothing in the file: every size and offset is checked against the buffer before it is used.
#include <cstddef>
#include <cstdint>
#include <span>

#include "store/JWBitmap.h"

namespace jw {

// Largest width or height accepted; anything above is taken for a corrupt header.
inline constexpr int32_t BmpMaxSide = 16384;

// Decodes a complete bitmap file (starting with its 14-byte "BM" file header) into an opaque,
// top-down bitmap. Reads 1, 4, 8, 16, 24 and 32 bits per pixel, RLE4, RLE8 and bit-field images,
// bottom-up and top-down rows and the old 12-byte core header. Throws EJWError with a message
// beginning "BMP: " when the bytes are not such a bitmap or claim more than they hold.
TJWBitmap DecodeBmp(std::span<const uint8_t> AFile);

// The size of a bitmap file, after every check DecodeBmp makes (so it fails exactly where DecodeBmp
// fails), without painting a pixel.
TJWPictureSize InspectBmp(std::span<const uint8_t> AFile);

// Largest inflated bitmap file taken from a data file (a 4096 x 4096 true-colour picture).
inline constexpr size_t BmpMaxFileBytes = 64u << 20;

// Inflates a raw deflate stream (no header) holding a bitmap file, as the data files store their
// pictures, and decodes it. A damaged or oversized stream fails with EJWError.
TJWBitmap DecodeDeflatedBmp(std::span<const uint8_t> ACompressed);
// InspectBmp of the bitmap file a raw deflate stream holds, failing as DecodeDeflatedBmp would.
TJWPictureSize InspectDeflatedBmp(std::span<const uint8_t> ACompressed);

}  // namespace jw
