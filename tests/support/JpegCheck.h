#pragma once
// Reads JPEG files back for tests of the encoder and of the exported picture lists.
#include <cstdint>
#include <string>
#include <vector>

#include "store/JWBitmap.h"

namespace jwtest {

struct TJpegInfo {
  bool Ok = false;
  std::string Error;
  bool Baseline = false;  // a baseline frame marker and nothing progressive or arithmetic
  int Components = 0;
  jw::TJWBitmap Picture;  // decoded to RGB
};

TJpegInfo ReadJpeg(const std::vector<uint8_t>& AFile);
// AFile decoded into APicture as BGRA bytes: "" or the decoder's message (one per platform).
std::string DecodeJpeg(const std::vector<uint8_t>& AFile, jw::TJWBitmap& APicture);

// Largest difference of any colour channel between two pictures; 256 when their sizes differ.
int MaxChannelDifference(const jw::TJWBitmap& A, const jw::TJWBitmap& B);

// A smooth picture: colour gradients that JPEG keeps close to the original.
jw::TJWBitmap Gradient(int AWidth, int AHeight);

}  // namespace jwtest
