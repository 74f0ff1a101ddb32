// The bitmap decoder against Qt's own BMP reader: both must agree on every pixel of generated
// bitmaps of each depth, compression, header kind and row order.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>
#include <string>
#include <vector>

#include "BmpGen.h"
#include "store/JWBmpDecode.h"

namespace {

using jwtest::TBmpSpec;

std::string Describe(const TBmpSpec& s) {
  return "header " + std::to_string(s.HeaderSize) + ", " + std::to_string(s.Bpp) +
         " bpp, compression " + std::to_string(s.Compression) + ", " + std::to_string(s.Width) +
         "x" + std::to_string(s.Height) + (s.TopDown ? " top-down" : "") +
         (s.RleSkips ? " with skips" : "") + ", colours " + std::to_string(s.ColorsUsed) +
         ", seed " + std::to_string(s.Seed);
}

// Decodes with both readers and compares every pixel's colour, and also with the generator's own
// model. Qt leaves the pixels that an RLE stream skips uninitialised,
// so those pictures are only checked against the model (skipped pixels take palette colour 0).
void ExpectSameAsQt(const TBmpSpec& s) {
  const bool qtDefined = !s.RleSkips;
  SCOPED_TRACE(Describe(s));
  const jwtest::TBmpSample sample = jwtest::MakeBmp(s);
  QImage qt = QImage::fromData(
      QByteArray(reinterpret_cast<const char*>(sample.File.data()), qsizetype(sample.File.size())),
      "BMP");
  ASSERT_FALSE(qt.isNull()) << "Qt cannot read the generated file";
  qt = qt.convertToFormat(QImage::Format_RGB32);

  const jw::TJWBitmap ours = jw::DecodeBmp(sample.File);
  ASSERT_EQ(ours.Width, qt.width());
  ASSERT_EQ(ours.Height, qt.height());
  ASSERT_EQ(ours.Pixels.size(), size_t(ours.Width) * size_t(ours.Height));
  int mismatches = 0;
  for (int y = 0; y < ours.Height && mismatches < 5; ++y)
    for (int x = 0; x < ours.Width && mismatches < 5; ++x) {
      const uint32_t mine = ours.Pixel(x, y);
      const uint32_t theirs = qt.pixel(x, y);
      EXPECT_EQ(mine >> 24, 0xFFu) << "at " << x << "," << y;
      if (qtDefined && (mine & 0xFFFFFF) != (theirs & 0xFFFFFF)) {
        ++mismatches;
        ADD_FAILURE() << "pixel " << x << "," << y << ": ours " << std::hex << mine << ", Qt "
                      << theirs;
      }
      if (!sample.Expected.Empty() && mine != sample.Expected.Pixel(x, y)) {
        ++mismatches;
        ADD_FAILURE() << "pixel " << x << "," << y << ": ours " << std::hex << mine
                      << ", generated " << sample.Expected.Pixel(x, y);
      }
    }
}

// Sizes chosen so that rows end at every bit and byte offset within their 4-byte padding.
const std::vector<std::pair<int, int>> Sizes = {{1, 1}, {2, 3}, {3, 2},  {5, 4},  {7, 5},
                                                {8, 1}, {9, 6}, {17, 3}, {31, 2}, {33, 7}};

TEST(BmpAgainstQt, IndexedAndTrueColourOfEveryHeaderAndRowOrder) {
  uint32_t seed = 1;
  for (uint32_t header : {12u, 40u, 64u, 108u, 124u})
    for (uint16_t bpp : {1, 4, 8, 16, 24, 32})
      for (bool topDown : {false, true}) {
        if (header == 12 && (topDown || bpp == 16 || bpp == 32)) continue;
        for (auto [w, h] : Sizes)
          ExpectSameAsQt({.HeaderSize = header,
                          .Bpp = bpp,
                          .Width = w,
                          .Height = h,
                          .TopDown = topDown,
                          .Seed = seed++});
      }
}

TEST(BmpAgainstQt, ShortPalettes) {
  uint32_t seed = 100;
  for (uint32_t header : {12u, 40u})
    for (auto [bpp, colours] : std::vector<std::pair<uint16_t, uint32_t>>{
             {1, 1}, {4, 3}, {4, 16}, {8, 2}, {8, 17}, {8, 200}})
      ExpectSameAsQt({.HeaderSize = header,
                      .Bpp = bpp,
                      .Width = 13,
                      .Height = 4,
                      .ColorsUsed = header == 12 ? 0 : colours,
                      .Seed = seed++});
}

TEST(BmpAgainstQt, BitFields) {
  const std::vector<std::pair<uint16_t, std::array<uint32_t, 3>>> layouts = {
      {16, {0xF800, 0x07E0, 0x001F}},              // 5-6-5
      {16, {0x7C00, 0x03E0, 0x001F}},              // 5-5-5
      {16, {0x0F00, 0x00F0, 0x000F}},              // 4-4-4
      {16, {0x001F, 0x07E0, 0xF800}},              // blue and red swapped
      {32, {0x00FF0000, 0x0000FF00, 0x000000FF}},  // 8-8-8
      {32, {0x000000FF, 0x0000FF00, 0x00FF0000}},
      {32, {0xFF000000, 0x00FF0000, 0x0000FF00}},
      // Wider than 8-bit channels (10-10-10) are left out: Qt reads them as black.
  };
  uint32_t seed = 200;
  for (uint32_t header : {40u, 108u, 124u})
    for (const auto& [bpp, masks] : layouts)
      for (bool topDown : {false, true})
        for (auto [w, h] : {std::pair{3, 2}, std::pair{10, 5}})
          ExpectSameAsQt({.HeaderSize = header,
                          .Bpp = bpp,
                          .Compression = 3,
                          .Width = w,
                          .Height = h,
                          .TopDown = topDown,
                          .Masks = masks,
                          .Seed = seed++});
}

TEST(BmpAgainstQt, RunLengthEncoded) {
  uint32_t seed = 300;
  for (auto [bpp, compression] : {std::pair<uint16_t, uint32_t>{8, 1}, {4, 2}})
    for (bool skips : {false, true})
      for (auto [w, h] : Sizes)
        for (int repeat = 0; repeat < 3; ++repeat)
          ExpectSameAsQt({.Bpp = bpp,
                          .Compression = compression,
                          .Width = w * 3,
                          .Height = h + 1,
                          .ColorsUsed = bpp == 8 ? 20u : 0u,
                          .RleSkips = skips,
                          .Seed = seed++});
}

}  // namespace
