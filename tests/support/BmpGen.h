#pragma once
// Windows bitmap files of every kind from random pixels, with the picture meant, for decoder tests.
#include <array>
#include <cstdint>
#include <vector>

#include "store/JWBitmap.h"

namespace jwtest {

struct TBmpSpec {
  uint32_t HeaderSize = 40;  // 12 (core), 40, 64, 108 or 124
  uint16_t Bpp = 24;
  uint32_t Compression = 0;  // 0 plain, 1 RLE8, 2 RLE4, 3 bit fields
  int32_t Width = 7;
  int32_t Height = 5;
  bool TopDown = false;
  uint32_t ColorsUsed = 0;          // palette entries written; 0 = all 2^Bpp
  std::array<uint32_t, 3> Masks{};  // red, green, blue for bit fields
  bool RleSkips = false;            // RLE: use delta moves, early line ends and end of bitmap
  uint32_t Seed = 1;
};

struct TBmpSample {
  std::vector<uint8_t> File;
  // Expected colours (0xFFRRGGBB, top row first) from the generator's own model; a packed channel
  // of n bits is widened to 8 by shifting (a 5-bit 31 becomes 248).
  jw::TJWBitmap Expected;
};

TBmpSample MakeBmp(const TBmpSpec& ASpec);

// A plain 24-bit bottom-up bitmap file of APicture.
std::vector<uint8_t> MakeBmp24(const jw::TJWBitmap& APicture);

// A 1-bit picture of one colour: a huge one compresses to a few kilobytes.
std::vector<uint8_t> MakeBlankBmp1(int32_t AWidth, int32_t AHeight);

// Little-endian values written over the bytes at AAt, for patching headers.
inline void Set16(std::vector<uint8_t>& ABytes, size_t AAt, uint16_t AValue) {
  ABytes[AAt] = uint8_t(AValue), ABytes[AAt + 1] = uint8_t(AValue >> 8);
}
inline void Set32(std::vector<uint8_t>& ABytes, size_t AAt, uint32_t AValue) {
  Set16(ABytes, AAt, uint16_t(AValue)), Set16(ABytes, AAt + 2, uint16_t(AValue >> 16));
}

}  // namespace jwtest
