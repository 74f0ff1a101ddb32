// The bitmap decoder against Qt's own BMP reader: both must agree on every pixel of generated
// bitmaps of each depth, compression, header kind and row order.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>

#include "BmpGen.h"
#include "store/JWBmpDecode.h"

namespace {

using jwtest::TBmpSpec;

// Every pixel against Qt's and against the generator's model. Qt leaves the pixels that an RLE
// stream skips uninitialised, so those pictures are checked against the model alone.
void ExpectSameAsQt(const TBmpSpec& s) {
  SCOPED_TRACE(testing::Message() << "header " << s.HeaderSize << ", " << s.Bpp << " bpp, compr "
                                  << s.Compression << ", " << s.Width << "x" << s.Height
                                  << (s.TopDown ? " top-down" : "") << (s.RleSkips ? " skips" : "")
                                  << ", colours " << s.ColorsUsed << ", seed " << s.Seed);
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
      const uint32_t mine = ours.Pixel(x, y), theirs = qt.pixel(x, y);
      const uint32_t model = sample.Expected.Empty() ? mine : sample.Expected.Pixel(x, y);
      const bool qtDiffers = !s.RleSkips && (mine & 0xFFFFFF) != (theirs & 0xFFFFFF);
      if (mine >> 24 == 0xFF && !qtDiffers && mine == model) continue;
      ++mismatches;
      ADD_FAILURE() << "pixel " << x << "," << y << std::hex << ": ours " << mine << ", Qt "
                    << theirs << ", generated " << model;
    }
}

// Sizes chosen so that rows end at every bit and byte offset within their 4-byte padding.
const std::pair<int, int> Sizes[] = {{1, 1}, {2, 3}, {3, 2},  {5, 4},  {7, 5},
                                     {8, 1}, {9, 6}, {17, 3}, {31, 2}, {33, 7}};

// Specs below list: header, bpp, compression, width, height, top-down, colours, masks, RLE skips,
// seed.
TEST(BmpAgainstQt, IndexedAndTrueColourOfEveryHeaderAndRowOrder) {
  uint32_t seed = 1;
  for (uint32_t header : {12u, 40u, 64u, 108u, 124u})
    for (uint16_t bpp : {1, 4, 8, 16, 24, 32})
      for (bool down : {false, true})
        for (auto [w, h] : Sizes)
          if (header != 12 || !(down || bpp == 16 || bpp == 32))
            ExpectSameAsQt({header, bpp, 0, w, h, down, 0, {}, false, seed++});
}

TEST(BmpAgainstQt, ShortPalettes) {
  uint32_t seed = 100;
  for (uint32_t header : {12u, 40u})
    for (auto [bpp, colours] :
         {std::pair<uint16_t, uint32_t>{1, 1}, {4, 3}, {4, 16}, {8, 2}, {8, 17}, {8, 200}})
      ExpectSameAsQt({header, bpp, 0, 13, 4, false, header == 12 ? 0 : colours, {}, false, seed++});
}

TEST(BmpAgainstQt, BitFields) {
  // 5-6-5, 5-5-5, 4-4-4, blue and red swapped, 8-8-8 in three places. Channels wider than 8 bits
  // are left out: Qt reads them as black.
  const std::pair<uint16_t, std::array<uint32_t, 3>> layouts[] = {
      {16, {0xF800, 0x07E0, 0x001F}},        {16, {0x7C00, 0x03E0, 0x001F}},
      {16, {0x0F00, 0x00F0, 0x000F}},        {16, {0x001F, 0x07E0, 0xF800}},
      {32, {0x00FF0000, 0x0000FF00, 0xFF}},  {32, {0xFF, 0x0000FF00, 0x00FF0000}},
      {32, {0xFF000000, 0x00FF0000, 0xFF00}}};
  uint32_t seed = 200;
  for (uint32_t header : {40u, 108u, 124u})
    for (const auto& [bpp, masks] : layouts)
      for (bool down : {false, true})
        for (auto [w, h] : {std::pair{3, 2}, std::pair{10, 5}})
          ExpectSameAsQt({header, bpp, 3, w, h, down, 0, masks, false, seed++});
}

TEST(BmpAgainstQt, RunLengthEncoded) {
  uint32_t seed = 300;
  for (auto [bpp, compr] : {std::pair<uint16_t, uint32_t>{8, 1}, {4, 2}})
    for (bool skips : {false, true})
      for (auto [w, h] : Sizes)
        for (int repeat = 0; repeat < 3; ++repeat)
          ExpectSameAsQt(
              {40, bpp, compr, w * 3, h + 1, false, bpp == 8 ? 20u : 0u, {}, skips, seed++});
}

}  // namespace
