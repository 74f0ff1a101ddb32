// The picture codecs. Bitmap files of every kind against the generator's model of their pixels,
// and hostile ones: a clear message, no stray read or write, no allocation for pixels the data
// cannot hold. JPEG files read back close to their source.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "BmpGen.h"
#include "JpegCheck.h"
#include "store/JWBmpDecode.h"
#include "store/JWError.h"
#include "store/JWJpegEncode.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Pixels = std::vector<uint32_t>;
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
const std::vector<std::pair<uint16_t, uint32_t>> kFormats = {
    {1, 0}, {4, 0}, {8, 0}, {16, 0}, {24, 0}, {32, 0}, {16, 3}, {8, 1}, {4, 2}};

TEST(BmpDecode, GeneratedPicturesMatchTheirModel) {
  std::vector<jwtest::TBmpSpec> specs;
  // clang-format off
  // Palettes of 3-byte entries after the short header, and of 4-byte entries, cut short too.
  for (uint16_t bpp : {1, 4, 8, 24})
    for (int w : {3, 9}) {
      specs.push_back({.HeaderSize = 12, .Bpp = bpp, .Width = w, .Height = w / 3 + 1});
      specs.push_back({.Bpp = bpp, .Width = w, .Height = w / 3 + 1, .TopDown = true,
                       .ColorsUsed = bpp == 24 ? 0 : 1u << (bpp - 1)});
    }
  // Packed channels of 4, 5, 6 and 8 bits, from the file's masks and the defaults.
  for (const auto& m : std::vector<std::array<uint32_t, 3>>{
           {0xF800, 0x07E0, 0x001F}, {0x0F00, 0x00F0, 0x000F}, {0x001F, 0x07E0, 0xF800}})
    specs.push_back({.Bpp = 16, .Compression = 3, .Width = 6, .Height = 3, .Masks = m});
  specs.push_back({.Bpp = 16, .Width = 5, .Height = 3});
  specs.push_back({.HeaderSize = 124, .Bpp = 32, .Width = 5, .Height = 3});
  // Encoded and literal runs of odd and even lengths, with and without delta moves, early line
  // ends and an early end of the bitmap.
  for (auto [bpp, compression] : {std::pair<uint16_t, uint32_t>{8, 1}, {4, 2}})
    for (bool skips : {false, true})
      for (int w : {5, 12, 31})
        specs.push_back({.Bpp = bpp, .Compression = compression, .Width = w, .Height = 6,
                         .ColorsUsed = bpp == 8 ? 20u : 0u, .RleSkips = skips});
  // clang-format on
  for (size_t i = 0; i < specs.size(); ++i) {
    specs[i].Seed = uint32_t(i + 1);
    const jwtest::TBmpSample sample = jwtest::MakeBmp(specs[i]);
    const jw::TJWBitmap p = jw::DecodeBmp(sample.File);
    EXPECT_EQ(std::tie(p.Width, p.Height, p.Pixels),
              std::tie(specs[i].Width, specs[i].Height, sample.Expected.Pixels))
        << "seed " << i + 1;
  }
  // Narrow channels widen by shifting: 5-6-5 all ones, then 1 in each channel.
  Bytes b = Make(16, 3, 1, 1);
  Set16(b, b[DataOffset], 0xFFFF);
  EXPECT_EQ(jw::DecodeBmp(b).Pixels, Pixels{0xFFF8FCF8});
  Set16(b, b[DataOffset], 0x0821);
  EXPECT_EQ(jw::DecodeBmp(b).Pixels, Pixels{0xFF080408});
}

// A 24-bit picture of 5 x 3 (15 bytes of pixels per row, padded to 16), damaged one way per case.
TEST(BmpDecode, RefusesDamagedFiles) {
  using TDamage = std::function<void(Bytes&)>;
  const auto size = [](int32_t w, int32_t h) -> TDamage {
    return [=](Bytes& b) { Set32(b, Width, uint32_t(w)), Set32(b, Height, uint32_t(h)); };
  };
  const auto format = [](uint16_t bpp, uint32_t c) -> TDamage {
    return [=](Bytes& b) { Set16(b, BitCount, bpp), Set32(b, Compression, c); };
  };
  const std::string bad = "BMP: not a bitmap file", inv = "BMP: invalid size ";
  // clang-format off
  std::vector<std::pair<TDamage, std::string>> cases = {
      {[](Bytes& b) { b.clear(); }, bad},
      {[](Bytes& b) { b = {'B', 'M', 0, 0}; }, bad},
      {[](Bytes& b) { b[0] = 'P'; }, bad},
      {[](Bytes& b) { Set32(b, HeaderSize, 20); }, "BMP: unsupported header size 20"},
      {[](Bytes& b) { b.resize(40); }, "BMP: header truncated"},
      {[](Bytes& b) { Set32(b, DataOffset, uint32_t(b.size())); }, "BMP: pixel data missing"},
      {[](Bytes& b) { Set32(b, DataOffset, 0xFFFFFFF0u); }, "BMP: pixel data missing"},
      {[](Bytes& b) { b.pop_back(); }, ""},  // the last row may lack its padding
      {[](Bytes& b) { b.resize(b.size() - 2); }, "BMP: pixel data truncated"},
      {size(0, 3), inv + "0 x 3"},          {size(5, 0), inv + "5 x 0"},
      {size(-5, 3), inv + "-5 x 3"},        {size(16385, 1), inv + "16385 x 1"},
      {size(1, 16385), inv + "1 x 16385"},  {size(1, -16385), inv + "1 x 16385"},
      {size(1, INT32_MIN), inv + "1 x 2147483648"}, {size(INT32_MIN, 1), inv + "-2147483648 x 1"},
  };
  // clang-format on
  for (auto [bpp, c] : std::vector<std::pair<uint16_t, uint32_t>>{
           {0, 0}, {2, 0}, {7, 0}, {48, 0}, {24, 3}, {8, 2}, {4, 1}, {24, 4}, {24, 5}, {8, 3}})
    cases.push_back({format(bpp, c), "BMP: unsupported format (" + std::to_string(bpp) +
                                         " bits per pixel, compression " + std::to_string(c) +
                                         ")"});
  for (size_t i = 0; i < cases.size(); ++i) {
    Bytes b = Make(24);
    cases[i].first(b);
    EXPECT_EQ(DecodeError(b), cases[i].second) << i;
  }
  Bytes rle = Make(8, 1);
  Set32(rle, Height, uint32_t(-3));
  EXPECT_EQ(DecodeError(rle), "BMP: top-down bitmap with RLE compression");
  // The largest sides with a few bytes of data: refused before a 1 GiB allocation (ASan sees it).
  for (auto [bpp, compression] : kFormats) {
    Bytes b = Make(bpp, compression);
    size(16384, 16384)(b);
    EXPECT_EQ(DecodeError(b), "BMP: pixel data truncated") << bpp << "/" << compression;
  }
}

// Cutting a valid file anywhere must end in a clean failure or a picture, never a stray read.
TEST(BmpDecode, EveryTruncationFailsCleanly) {
  for (auto [bpp, compression] : kFormats) {
    const Bytes full = Make(bpp, compression, 9, 4);
    for (size_t n = 0; n < full.size(); ++n) {
      const Bytes part(full.begin(), full.begin() + std::ptrdiff_t(n));
      const std::string error = DecodeError(part);
      if (error.empty())
        EXPECT_EQ(jw::DecodeBmp(part).Pixels.size(), 36u);
      else
        EXPECT_EQ(error.rfind("BMP: ", 0), 0u) << error;
    }
  }
}

// Hand-made 8-bit pictures with a palette of red (0) and blue (1), rows stored bottom-up.
TEST(BmpDecode, PaletteIndicesAndRleStreams) {
  constexpr uint32_t R = 0xFFFF0000, B = 0xFF0000FF, K = 0xFF000000;
  const struct {
    Bytes Data;
    uint32_t Compression;
    int W, H;
    Pixels Want;
    std::string Error = "";
  } cases[] = {
      // Indices beyond the palette are black.
      {{0, 1, 2, 255, 1, 1, 1, 1}, 0, 4, 2, {B, B, B, B, R, B, K, K}},
      // A run longer than the row is clipped; the next line starts after the end-of-line code.
      {{200, 1, 0, 0, 2, 1, 0, 1}, 1, 4, 2, {B, B, R, R, B, B, B, B}},
      // Clipped at the exact edge: neither the next row's first pixel nor memory behind it.
      {{3, 1, 0, 1}, 1, 2, 2, {R, R, B, B}},
      {{3, 1, 0, 1}, 1, 2, 1, {B, B}},
      {{0, 3, 1, 1, 1, 0, 0, 1}, 1, 2, 2, {R, R, B, B}},
      // A delta past the last row ends the picture; unpainted pixels take colour 0.
      {{1, 1, 0, 2, 0, 9, 4, 1}, 1, 4, 2, {R, R, R, R, B, R, R, R}},
      // Without the end-of-bitmap code the stream simply ends.
      {{4, 1, 0, 0, 3, 0}, 1, 4, 2, {R, R, R, R, B, B, B, B}},
      // A literal run reaching past the buffer, and a cut delta.
      {{0, 5, 1, 1}, 1, 4, 2, {}, "BMP: pixel data truncated"},
      {{0, 2, 1}, 1, 4, 2, {}, "BMP: pixel data truncated"},
  };
  for (const auto& c : cases) {
    Bytes b = jwtest::MakeBmp({.Bpp = 8, .Width = c.W, .Height = c.H, .ColorsUsed = 2}).File;
    b.resize(b[DataOffset]);
    b.insert(b.end(), c.Data.begin(), c.Data.end());
    Set32(b, Compression, c.Compression);
    Set32(b, 54, 0x00FF0000);
    Set32(b, 58, 0x000000FF);
    const size_t row = &c - cases;
    EXPECT_EQ(DecodeError(b), c.Error) << row;
    if (c.Error.empty()) {
      EXPECT_EQ(jw::DecodeBmp(b).Pixels, c.Want) << row;
    }
    if (row == 0) {  // a palette claiming more entries than fit before the pixels is cut there
      Set32(b, ColorsUsed, 200);
      EXPECT_EQ(jw::DecodeBmp(b).Pixels, (Pixels{B, B, B, B, R, B, K, K}));
    }
  }
}

TEST(JpegEncode, BaselineColourFilesCloseToTheSource) {
  for (auto [w, h] : {std::pair{1, 1}, std::pair{17, 9}, std::pair{64, 48}, std::pair{705, 460}}) {
    const jw::TJWBitmap source = jwtest::Gradient(w, h);
    const jwtest::TJpegInfo info = jwtest::ReadJpeg(jw::EncodeJpeg(source));
    EXPECT_TRUE(info.Ok && info.Baseline && info.Components == 3) << w << "x" << h << info.Error;
    EXPECT_LE(jwtest::MaxChannelDifference(info.Picture, source), 12) << w << "x" << h;
  }
}

// Saturated red beside saturated blue: away from the edge, where chroma subsampling blurs, the
// colours come back in the right channels.
TEST(JpegEncode, SaturatedColoursKeepTheirChannels) {
  jw::TJWBitmap p{32, 16, {}};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) p.Pixels.push_back(x < 16 ? 0xFFFF0000u : 0xFF0000FFu);
  const jwtest::TJpegInfo info = jwtest::ReadJpeg(jw::EncodeJpeg(p));
  ASSERT_TRUE(info.Ok) << info.Error;
  for (auto [x, expected] : {std::pair{4, 0xFFFF0000u}, std::pair{28, 0xFF0000FFu}}) {
    jw::TJWBitmap probe{1, 1, {info.Picture.Pixel(x, 8)}}, want{1, 1, {expected}};
    EXPECT_LE(jwtest::MaxChannelDifference(probe, want), 6) << std::hex << probe.Pixels[0];
  }
}

TEST(JpegEncode, RefusesMalformedPictures) {
  EXPECT_THROW(jw::EncodeJpeg(jw::TJWBitmap{}), jw::EJWError);
  EXPECT_THROW(jw::EncodeJpeg({4, 4, std::vector<uint32_t>(15)}), jw::EJWError);  // one short
}

}  // namespace
