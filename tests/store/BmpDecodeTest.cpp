// Ordinary bitmap files of every kind against the generator's model of their pixels, and hostile
// and unusual ones: the decoder must fail with a clear message, never read or write past a buffer
// and never allocate for pixels the data cannot hold. The bmpqt tests compare with Qt's reader too.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "BmpGen.h"
#include "store/JWBmpDecode.h"
#include "store/JWError.h"

namespace {

using Bytes = std::vector<uint8_t>;
using jwtest::Set16;
using jwtest::Set32;

Bytes Make(uint16_t bpp, uint32_t compression = 0, int w = 5, int h = 3) {
  jwtest::TBmpSpec s{.Bpp = bpp, .Compression = compression, .Width = w, .Height = h};
  if (compression == 3) s.Masks = {0xF800, 0x07E0, 0x001F};
  return jwtest::MakeBmp(s).File;
}

// The failure of decoding b, "" when it decodes. Looking at the size alone must fail the same way
// and, when it succeeds, tell the decoded size.
std::string DecodeError(const Bytes& b) {
  std::string decodeError, inspectError;
  jw::TJWPictureSize decoded, inspected;
  try {
    const jw::TJWBitmap p = jw::DecodeBmp(b);
    decoded = {p.Width, p.Height};
  } catch (const jw::EJWError& e) {
    decodeError = e.what();
  }
  try {
    inspected = jw::InspectBmp(b);
  } catch (const jw::EJWError& e) {
    inspectError = e.what();
  }
  EXPECT_EQ(inspectError, decodeError);
  EXPECT_EQ(inspected, decoded);
  return decodeError;
}

// Offsets into the file header and the 40-byte info header.
constexpr size_t DataOffset = 10, HeaderSize = 14, Width = 18, Height = 22, BitCount = 28,
                 Compression = 30, ColorsUsed = 46;

void ExpectModel(const jwtest::TBmpSpec& s) {
  SCOPED_TRACE("seed " + std::to_string(s.Seed));  // each case has its own
  const jwtest::TBmpSample sample = jwtest::MakeBmp(s);
  const jw::TJWBitmap p = jw::DecodeBmp(sample.File);
  ASSERT_EQ(p.Width, s.Width);
  ASSERT_EQ(p.Height, s.Height);
  for (int32_t y = 0; y < p.Height; ++y)
    for (int32_t x = 0; x < p.Width; ++x)
      ASSERT_EQ(p.Pixel(x, y), sample.Expected.Pixel(x, y)) << "at " << x << "," << y;
}

TEST(BmpDecode, GeneratedPicturesMatchTheirModel) {
  uint32_t seed = 1;
  // Palettes of 3-byte entries after the short header, and of 4-byte entries, cut short too.
  for (uint16_t bpp : {1, 4, 8, 24})
    for (auto [w, h] : {std::pair{3, 2}, std::pair{9, 4}}) {
      ExpectModel({.HeaderSize = 12, .Bpp = bpp, .Width = w, .Height = h, .Seed = seed++});
      ExpectModel({.Bpp = bpp,
                   .Width = w,
                   .Height = h,
                   .TopDown = true,
                   .ColorsUsed = bpp == 24 ? 0 : 1u << (bpp - 1),
                   .Seed = seed++});
    }
  // Packed channels of 4, 5, 6 and 8 bits, from the file's masks and the defaults.
  for (const auto& masks : std::vector<std::array<uint32_t, 3>>{
           {0xF800, 0x07E0, 0x001F}, {0x0F00, 0x00F0, 0x000F}, {0x001F, 0x07E0, 0xF800}})
    ExpectModel(
        {.Bpp = 16, .Compression = 3, .Width = 6, .Height = 3, .Masks = masks, .Seed = seed++});
  ExpectModel({.Bpp = 16, .Width = 5, .Height = 3, .Seed = seed++});
  ExpectModel({.HeaderSize = 124, .Bpp = 32, .Width = 5, .Height = 3, .Seed = seed++});
  // Encoded and literal runs of odd and even lengths (literals padded to 16 bits), with and
  // without delta moves, early line ends and an early end of the bitmap.
  for (auto [bpp, compression] : {std::pair<uint16_t, uint32_t>{8, 1}, {4, 2}})
    for (bool skips : {false, true})
      for (int w : {5, 12, 31})
        ExpectModel({.Bpp = bpp,
                     .Compression = compression,
                     .Width = w,
                     .Height = 6,
                     .ColorsUsed = bpp == 8 ? 20u : 0u,
                     .RleSkips = skips,
                     .Seed = seed++});
}

TEST(BmpDecode, NarrowChannelsWidenByShifting) {
  Bytes b = Make(16, 3, 1, 1);  // 5-6-5
  const size_t data = b[DataOffset];
  Set16(b, data, 0xFFFF);
  EXPECT_EQ(jw::DecodeBmp(b).Pixels, std::vector<uint32_t>{0xFFF8FCF8});
  Set16(b, data, 0x0821);  // 1 in each channel
  EXPECT_EQ(jw::DecodeBmp(b).Pixels, std::vector<uint32_t>{0xFF080408});
}

// A 24-bit picture of 5 x 3 (15 bytes of pixels per row, padded to 16), damaged one way per case.
TEST(BmpDecode, RefusesDamagedFiles) {
  const struct {
    std::function<void(Bytes&)> Damage;
    std::string Expected;
  } cases[] = {
      {[](Bytes& b) { b.clear(); }, "BMP: not a bitmap file"},
      {[](Bytes& b) {
         b = {'B', 'M', 0, 0};
       },
       "BMP: not a bitmap file"},
      {[](Bytes& b) { b[0] = 'P'; }, "BMP: not a bitmap file"},
      {[](Bytes& b) { Set32(b, HeaderSize, 20); }, "BMP: unsupported header size 20"},
      {[](Bytes& b) { b.resize(40); }, "BMP: header truncated"},
      {[](Bytes& b) { Set32(b, DataOffset, uint32_t(b.size())); }, "BMP: pixel data missing"},
      {[](Bytes& b) { Set32(b, DataOffset, 0xFFFFFFF0u); }, "BMP: pixel data missing"},
      {[](Bytes& b) { b.pop_back(); }, ""},  // the last row may lack its padding
      {[](Bytes& b) { b.resize(b.size() - 2); }, "BMP: pixel data truncated"},
  };
  for (const auto& c : cases) {
    Bytes b = Make(24);
    c.Damage(b);
    EXPECT_EQ(DecodeError(b), c.Expected) << (&c - cases);
  }
}

TEST(BmpDecode, RefusesAbsurdDimensions) {
  const std::vector<std::pair<int32_t, int32_t>> sizes = {
      {0, 3}, {5, 0}, {-5, 3}, {16385, 1}, {1, 16385}, {1, -16385}, {1, INT32_MIN}, {INT32_MIN, 1}};
  for (auto [w, h] : sizes) {
    Bytes b = Make(24);
    Set32(b, Width, uint32_t(w));
    Set32(b, Height, uint32_t(h));
    EXPECT_EQ(DecodeError(b), "BMP: invalid size " + std::to_string(int64_t(w)) + " x " +
                                  std::to_string(h < 0 ? -int64_t(h) : int64_t(h)));
  }
}

// The largest accepted sides with a few bytes of data: refused before any pixel is allocated
// (ASan would report a 1 GiB allocation attempt).
TEST(BmpDecode, RefusesHeadersPromisingMorePixelsThanTheDataHolds) {
  for (auto [bpp, compression] : std::vector<std::pair<uint16_t, uint32_t>>{
           {1, 0}, {4, 0}, {8, 0}, {16, 0}, {24, 0}, {32, 0}, {16, 3}, {8, 1}, {4, 2}}) {
    SCOPED_TRACE(std::to_string(bpp) + " bpp, compression " + std::to_string(compression));
    Bytes b = Make(bpp, compression);
    Set32(b, Width, 16384);
    Set32(b, Height, 16384);
    EXPECT_EQ(DecodeError(b), "BMP: pixel data truncated");
  }
}

TEST(BmpDecode, RefusesUnsupportedFormats) {
  const std::vector<std::pair<uint16_t, uint32_t>> formats = {
      {0, 0}, {2, 0}, {7, 0}, {48, 0}, {24, 3}, {8, 2}, {4, 1}, {24, 4}, {24, 5}, {8, 3}};
  for (auto [bpp, compression] : formats) {
    Bytes b = Make(24);
    Set16(b, BitCount, bpp);
    Set32(b, Compression, compression);
    EXPECT_EQ(DecodeError(b), "BMP: unsupported format (" + std::to_string(bpp) +
                                  " bits per pixel, compression " + std::to_string(compression) +
                                  ")");
  }
  Bytes rle = Make(8, 1);
  Set32(rle, Height, uint32_t(-3));
  EXPECT_EQ(DecodeError(rle), "BMP: top-down bitmap with RLE compression");
}

// Cutting a valid file anywhere must end in a clean failure or a picture, never a stray read.
TEST(BmpDecode, EveryTruncationFailsCleanly) {
  for (auto [bpp, compression] : std::vector<std::pair<uint16_t, uint32_t>>{
           {1, 0}, {4, 0}, {8, 0}, {16, 0}, {16, 3}, {24, 0}, {32, 0}, {8, 1}, {4, 2}}) {
    const Bytes full = Make(bpp, compression, 9, 4);
    for (size_t n = 0; n < full.size(); ++n) {
      const Bytes part(full.begin(), full.begin() + std::ptrdiff_t(n));
      DecodeError(part);  // the size alone fails exactly where the pixels fail
      try {
        const jw::TJWBitmap p = jw::DecodeBmp(part);
        EXPECT_EQ(p.Pixels.size(), 36u);
      } catch (const jw::EJWError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("BMP: ", 0), 0u) << e.what();
      }
    }
  }
}

// A small hand-made 8-bit picture (4 x 2 unless given), two palette colours, data given as raw
// bytes.
Bytes Indexed8(const Bytes& data, uint32_t compression, uint32_t colours = 2, int w = 4,
               int h = 2) {
  Bytes b = jwtest::MakeBmp({.Bpp = 8, .Width = w, .Height = h, .ColorsUsed = colours}).File;
  const size_t start = b[DataOffset];
  b.resize(start);
  b.insert(b.end(), data.begin(), data.end());
  Set32(b, Compression, compression);
  // palette: 0 red, 1 blue
  Set32(b, 54, 0x00FF0000);
  if (colours > 1) Set32(b, 58, 0x000000FF);
  return b;
}

constexpr uint32_t Red = 0xFFFF0000, Blue = 0xFF0000FF, Black = 0xFF000000;

std::vector<uint32_t> Pixels(const Bytes& b) {
  return jw::DecodeBmp(b).Pixels;
}

TEST(BmpDecode, IndicesBeyondThePaletteAreBlack) {
  // Rows are stored bottom-up: the bottom row uses the indices 0, 1, 2 and 255.
  EXPECT_EQ(Pixels(Indexed8({0, 1, 2, 255, 1, 1, 1, 1}, 0)),
            (std::vector<uint32_t>{Blue, Blue, Blue, Blue, Red, Blue, Black, Black}));
  // A palette that claims more entries than fit before the pixel data is cut there.
  Bytes b = Indexed8({0, 1, 0, 1, 1, 0, 1, 0}, 0);
  Set32(b, ColorsUsed, 200);
  EXPECT_EQ(Pixels(b), (std::vector<uint32_t>{Blue, Red, Blue, Red, Red, Blue, Red, Blue}));
}

TEST(BmpDecode, RleStreamsThatOverrunThePicture) {
  // A run longer than the row is clipped; the next line starts after the end-of-line code.
  EXPECT_EQ(Pixels(Indexed8({200, 1, 0, 0, 2, 1, 0, 1}, 1)),
            (std::vector<uint32_t>{Blue, Blue, Red, Red, Blue, Blue, Blue, Blue}));
  // Clipped at the exact edge: the pixel after the row is neither the next row's first pixel
  // nor, in a one-row picture, memory behind the picture.
  EXPECT_EQ(Pixels(Indexed8({3, 1, 0, 1}, 1, 2, 2, 2)),
            (std::vector<uint32_t>{Red, Red, Blue, Blue}));
  EXPECT_EQ(Pixels(Indexed8({3, 1, 0, 1}, 1, 2, 2, 1)), (std::vector<uint32_t>{Blue, Blue}));
  EXPECT_EQ(Pixels(Indexed8({0, 3, 1, 1, 1, 0, 0, 1}, 1, 2, 2, 2)),
            (std::vector<uint32_t>{Red, Red, Blue, Blue}));
  // A delta past the last row ends the picture; unpainted pixels take colour 0.
  EXPECT_EQ(Pixels(Indexed8({1, 1, 0, 2, 0, 9, 4, 1}, 1)),
            (std::vector<uint32_t>{Red, Red, Red, Red, Blue, Red, Red, Red}));
  // A literal run reaching past the buffer, and a cut delta.
  EXPECT_EQ(DecodeError(Indexed8({0, 5, 1, 1}, 1)), "BMP: pixel data truncated");
  EXPECT_EQ(DecodeError(Indexed8({0, 2, 1}, 1)), "BMP: pixel data truncated");
  // Without the end-of-bitmap code the stream simply ends.
  EXPECT_EQ(Pixels(Indexed8({4, 1, 0, 0, 3, 0}, 1)),
            (std::vector<uint32_t>{Red, Red, Red, Red, Blue, Blue, Blue, Blue}));
}

}  // namespace
