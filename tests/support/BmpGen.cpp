#include "BmpGen.h"

#include <algorithm>
#include <bit>
#include <random>

namespace jwtest {

namespace {

void Put(std::vector<uint8_t>& b, uint32_t v, int ABytes = 4) {
  for (int i = 0; i < ABytes; ++i) b.push_back(uint8_t(v >> 8 * i));
}

// The file header, the info header (core, with 16-bit sizes, when 12 bytes long) and the palette.
std::vector<uint8_t> Headers(const TBmpSpec& s, const std::vector<uint32_t>& APalette,
                             uint32_t APpm) {
  const bool core = s.HeaderSize == 12, bitfields = s.Compression == 3;
  std::vector<uint8_t> b = {'B', 'M'};
  for (uint32_t v : {0u, 0u, 0u, s.HeaderSize}) Put(b, v);  // sizes and offset patched later
  Put(b, uint32_t(s.Width), core ? 2 : 4);
  Put(b, uint32_t(s.TopDown && !core ? -s.Height : s.Height), core ? 2 : 4);
  Put(b, 1u | uint32_t(s.Bpp) << 16);  // one plane, then the bit depth
  if (!core)
    for (uint32_t v : {s.Compression, 0u, APpm, APpm, s.ColorsUsed, 0u}) Put(b, v);
  // The masks live in a header of 108 bytes or more (its alpha mask 0: opaque), else follow it.
  if (s.HeaderSize >= 108)
    for (uint32_t m : s.Masks) Put(b, bitfields ? m : 0);
  b.resize(std::max<size_t>(b.size(), 14 + s.HeaderSize), 0);  // the rest of a longer header
  if (s.HeaderSize >= 108) Set32(b, 14 + 56, 0x73524742);      // colour space "sRGB"
  if (s.HeaderSize < 108 && bitfields && !core)
    for (uint32_t m : s.Masks) Put(b, m);
  for (uint32_t c : APalette) Put(b, c & 0xFFFFFF, core ? 3 : 4);
  Set32(b, 10, uint32_t(b.size()));
  return b;
}

void Finish(std::vector<uint8_t>& b, bool AImageSize) {
  Set32(b, 2, uint32_t(b.size()));
  if (AImageSize) Set32(b, 34, uint32_t(b.size()) - (b[10] | b[11] << 8));
}

size_t Stride(size_t AWidth, size_t ABpp) {
  return (AWidth * ABpp + 31) / 32 * 4;
}

// Pixel AX into ARow: indices below 8 bits from the high bits down, others little-endian.
void PutPixel(std::vector<uint8_t>& ARow, size_t AX, uint16_t ABpp, uint32_t AValue) {
  if (ABpp < 8) ARow[AX * ABpp / 8] |= uint8_t(AValue << (8 - ABpp - AX * ABpp % 8));
  for (size_t k = 0; k < ABpp / 8u; ++k) ARow[AX * ABpp / 8 + k] = uint8_t(AValue >> (8 * k));
}

// One row of indices RLE-encoded: literal runs for varied stretches, encoded runs for repeats; with
// skips, delta moves and early line ends jump over parts, whose model pixels become index 0.
void EncodeRleRow(std::vector<uint8_t>& out, std::vector<uint8_t>& row, bool four, bool skips,
                  std::mt19937& rng) {
  const size_t w = row.size();
  for (size_t x = 0; x < w;) {
    if (skips && rng() % 5 == 0 && x + 2 < w) {
      // End the line early, or move on by a delta.
      if (rng() % 3 == 0) return std::fill(row.begin() + std::ptrdiff_t(x), row.end(), 0);
      const size_t dx = 1 + rng() % std::min<size_t>(w - x - 1, 6);
      out.insert(out.end(), {0, 2, uint8_t(dx), 0});
      std::fill_n(row.begin() + std::ptrdiff_t(x), dx, 0);
      x += dx;
      continue;
    }
    // An encoded run: RLE8 repeats one index, RLE4 alternates the two nibbles of its byte.
    size_t run = 1;
    while (x + run < w && run < 255 && row[x + run] == row[x + (four ? run % 2 : 0)]) ++run;
    if (run >= 3 || w - x < 3) {
      run = std::min(run, w - x);
      out.push_back(uint8_t(run));
      out.push_back(four ? uint8_t(row[x] << 4 | (run > 1 ? row[x + 1] : 0)) : row[x]);
      x += run;
      continue;
    }
    // A literal run up to the next repeat (at least three pixels, as shorter ones are escapes).
    size_t n = 3;
    while (x + n < w && n < 255 &&
           !(x + n + 2 < w && row[x + n] == row[x + n + 1] && row[x + n] == row[x + n + 2]))
      ++n;
    std::vector<uint8_t> literal(four ? (n + 1) / 2 : n, 0);
    for (size_t i = 0; i < n; ++i) PutPixel(literal, i, four ? 4 : 8, row[x + i]);
    out.insert(out.end(), {0, uint8_t(n)});
    out.insert(out.end(), literal.begin(), literal.end());
    if (literal.size() % 2) out.push_back(0);
    x += n;
  }
}

// The 8-bit value of the channel AMask of a packed pixel.
uint32_t Channel(uint32_t APixel, uint32_t AMask) {
  if (AMask == 0) return 0;
  const uint64_t v = (APixel & AMask) >> std::countr_zero(AMask);
  return uint32_t((v << 8) >> std::popcount(AMask));
}

}  // namespace

TBmpSample MakeBmp(const TBmpSpec& s) {
  std::mt19937 rng(s.Seed);
  const bool indexed = s.Bpp <= 8, rle = s.Compression == 1 || s.Compression == 2;
  const uint32_t entries = indexed ? (s.ColorsUsed ? s.ColorsUsed : 1u << s.Bpp) : 0;
  std::vector<uint32_t> palette(entries);
  for (auto& c : palette) c = 0xFF000000u | (rng() & 0xFFFFFF);

  const size_t w = size_t(s.Width), h = size_t(s.Height);
  TBmpSample sample{Headers(s, palette, 2835), {s.Width, s.Height, std::vector<uint32_t>(w * h)}};
  std::vector<uint8_t>& b = sample.File;
  std::vector<uint32_t>& expected = sample.Expected.Pixels;
  std::array<uint32_t, 3> masks = s.Masks;
  if (s.Compression == 0 && s.Bpp == 16) masks = {0x7C00, 0x03E0, 0x001F};
  if (s.Compression == 0 && s.Bpp >= 24) masks = {0xFF0000, 0x00FF00, 0x0000FF};
  bool ended = false;
  for (size_t r = 0; r < h; ++r) {  // stored bottom row first unless top-down
    const size_t y = s.TopDown && !rle ? r : h - 1 - r;
    if (rle) {
      std::vector<uint8_t> row(w);
      // Runs of repeated indices so that both encoded and literal runs occur.
      for (size_t x = 0; x < w;) {
        const uint8_t v = uint8_t(rng() % entries), v2 = uint8_t(rng() % entries);
        for (size_t i = 0, len = 1 + rng() % 6; i < len && x < w; ++i, ++x)
          row[x] = (s.Compression == 2 && i % 2) ? v2 : v;
      }
      if (!ended && s.RleSkips && r + 1 < h && rng() % 6 == 0) {
        b.insert(b.end(), {0, 1});  // end of bitmap: the remaining rows stay index 0
        ended = true;
      } else if (!ended) {
        EncodeRleRow(b, row, s.Compression == 2, s.RleSkips, rng);
        b.insert(b.end(), {0, uint8_t(r + 1 < h ? 0 : 1)});
      }
      if (ended) std::fill(row.begin(), row.end(), 0);
      for (size_t x = 0; x < w; ++x) expected[y * w + x] = palette[row[x]];
      continue;
    }
    std::vector<uint8_t> row(Stride(w, s.Bpp), 0);
    for (size_t x = 0; x < w; ++x) {
      const uint32_t v = indexed      ? rng() % entries
                         : s.Bpp < 32 ? rng() & ((1u << s.Bpp) - 1)
                                      : rng();
      PutPixel(row, x, s.Bpp, v);
      expected[y * w + x] = indexed ? palette[v]
                                    : 0xFF000000u | Channel(v, masks[0]) << 16 |
                                          Channel(v, masks[1]) << 8 | Channel(v, masks[2]);
    }
    b.insert(b.end(), row.begin(), row.end());
  }
  Finish(b, s.HeaderSize != 12);
  return sample;
}

std::vector<uint8_t> MakeBmp24(const jw::TJWBitmap& p) {
  std::vector<uint8_t> b = Headers({.Bpp = 24, .Width = p.Width, .Height = p.Height}, {}, 0);
  for (int32_t y = p.Height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(Stride(size_t(p.Width), 24), 0);
    for (int32_t x = 0; x < p.Width; ++x) PutPixel(row, size_t(x), 24, p.Pixel(x, y));
    b.insert(b.end(), row.begin(), row.end());
  }
  Finish(b, false);
  return b;
}

std::vector<uint8_t> MakeBlankBmp1(int32_t AWidth, int32_t AHeight) {
  std::vector<uint8_t> b =
      Headers({.Bpp = 1, .Width = AWidth, .Height = AHeight}, {0, 0xFFFFFF}, 0);
  b.resize(b.size() + Stride(size_t(AWidth), 1) * size_t(AHeight), 0);
  Finish(b, false);
  return b;
}

}  // namespace jwtest
