#pragma once
// JPEG files of core pictures, for hosts that want the template pictures and logos as files.
#include <cstdint>
#include <vector>

#include "store/JWBitmap.h"

namespace jw {

// Quality of the JPEG files handed out.
inline constexpr int JpegQuality = 90;

// Encodes APicture as a complete baseline (not progressive) colour JPEG file with three
// components. Throws EJWError for an empty or malformed picture.
std::vector<uint8_t> EncodeJpeg(const TJWBitmap& APicture, int AQuality = JpegQuality);

}  // namespace jw
