#include "BmpGen.h"

#include <algorithm>
#include <bit>
#include <random>

namespace jwtest {

namespace {

void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(uint8_t(v));
  b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// RLE encoding of one row of palette indices, choosing literal runs for varied stretches and
// encoded runs for repeats. With skips, parts of the row are jumped over by delta moves or an
// early end of line; the model row gets index 0 there.
void EncodeRleRow(std::vector<uint8_t>& out, std::vector<uint8_t>& row, bool four, bool skips,
                  std::mt19937& rng) {
  const size_t w = row.size();
  size_t x = 0;
  while (x < w) {
    if (skips && rng() % 5 == 0 && x + 2 < w) {
      if (rng() % 3 == 0) {  // end the line early
        for (size_t i = x; i < w; ++i) row[i] = 0;
        return;
      }
      const size_t dx = 1 + rng() % std::min<size_t>(w - x - 1, 6);
      out.insert(out.end(), {0, 2, uint8_t(dx), 0});
      for (size_t i = x; i < x + dx; ++i) row[i] = 0;
      x += dx;
      continue;
    }
    // An encoded run: RLE8 repeats one index, RLE4 alternates the two nibbles of its byte.
    size_t run = 1;
    if (four) {
      while (x + run < w && run < 255 && row[x + run] == row[x + (run % 2)]) ++run;
    } else {
      while (x + run < w && run < 255 && row[x + run] == row[x]) ++run;
    }
    if (run >= 3 || w - x < 3) {
      run = std::min(run, w - x);
      const uint8_t v = four ? uint8_t(row[x] << 4 | (run > 1 ? row[x + 1] : 0)) : row[x];
      out.push_back(uint8_t(run));
      out.push_back(v);
      x += run;
      continue;
    }
    // A literal run up to the next repeat (at least three pixels, as shorter ones are escapes).
    size_t n = 3;
    while (x + n < w && n < 255 &&
           !(x + n + 2 < w && row[x + n] == row[x + n + 1] && row[x + n] == row[x + n + 2]))
      ++n;
    out.push_back(0);
    out.push_back(uint8_t(n));
    const size_t start = out.size();
    for (size_t i = 0; i < n; ++i) {
      if (!four) {
        out.push_back(row[x + i]);
      } else if (i % 2 == 0) {
        out.push_back(uint8_t(row[x + i] << 4));
      } else {
        out.back() |= row[x + i];
      }
    }
    if ((out.size() - start) % 2) out.push_back(0);
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
  const bool core = s.HeaderSize == 12;
  const bool indexed = s.Bpp <= 8;
  const bool rle = s.Compression == 1 || s.Compression == 2;
  const uint32_t entries = indexed ? (s.ColorsUsed ? s.ColorsUsed : 1u << s.Bpp) : 0;

  std::vector<uint32_t> palette(entries);
  for (auto& c : palette) c = 0xFF000000u | (rng() & 0xFFFFFF);

  TBmpSample sample;
  std::vector<uint8_t>& b = sample.File;
  b = {'B', 'M'};
  Put32(b, 0);  // file size, patched below
  Put32(b, 0);
  Put32(b, 0);  // pixel offset, patched below
  Put32(b, s.HeaderSize);
  if (core) {
    Put16(b, uint16_t(s.Width));
    Put16(b, uint16_t(s.Height));
    Put16(b, 1);
    Put16(b, s.Bpp);
  } else {
    Put32(b, uint32_t(s.Width));
    Put32(b, uint32_t(s.TopDown ? -s.Height : s.Height));
    Put16(b, 1);
    Put16(b, s.Bpp);
    Put32(b, s.Compression);
    Put32(b, 0);  // image size, patched below
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, s.ColorsUsed);
    Put32(b, 0);
    const bool bitfields = s.Compression == 3;
    if (s.HeaderSize >= 108) {
      // Masks live in the header; the alpha mask is left 0 (opaque).
      for (uint32_t m : s.Masks) Put32(b, bitfields ? m : 0);
      while (b.size() < 14 + s.HeaderSize) b.push_back(0);
      Set32(b, 14 + 56, 0x73524742);  // colour space "sRGB"
    } else {
      while (b.size() < 14 + s.HeaderSize) b.push_back(0);  // the rest of a longer header
      if (bitfields)
        for (uint32_t m : s.Masks) Put32(b, m);
    }
  }
  for (uint32_t c : palette) {
    b.push_back(uint8_t(c));
    b.push_back(uint8_t(c >> 8));
    b.push_back(uint8_t(c >> 16));
    if (!core) b.push_back(0);
  }
  const size_t dataStart = b.size();
  Set32(b, 10, uint32_t(dataStart));

  const size_t w = size_t(s.Width), h = size_t(s.Height);
  sample.Expected.Width = s.Width;
  sample.Expected.Height = s.Height;
  sample.Expected.Pixels.resize(w * h);
  std::array<uint32_t, 3> masks = s.Masks;
  if (s.Compression == 0 && s.Bpp == 16) masks = {0x7C00, 0x03E0, 0x001F};
  if (s.Compression == 0 && s.Bpp >= 24) masks = {0xFF0000, 0x00FF00, 0x0000FF};
  if (rle) {
    bool ended = false;
    for (size_t r = 0; r < h; ++r) {  // stored bottom row first
      std::vector<uint8_t> row(w);
      // Runs of repeated indices so that both encoded and literal runs occur.
      for (size_t x = 0; x < w;) {
        const uint8_t v = uint8_t(rng() % entries), v2 = uint8_t(rng() % entries);
        size_t len = 1 + rng() % 6;
        for (size_t i = 0; i < len && x < w; ++i, ++x)
          row[x] = (s.Compression == 2 && i % 2) ? v2 : v;
      }
      if (ended) {
        std::fill(row.begin(), row.end(), 0);
      } else if (s.RleSkips && r + 1 < h && rng() % 6 == 0) {
        b.insert(b.end(), {0, 1});  // end of bitmap: the remaining rows stay index 0
        std::fill(row.begin(), row.end(), 0);
        ended = true;
      } else {
        EncodeRleRow(b, row, s.Compression == 2, s.RleSkips, rng);
        b.insert(b.end(), {0, uint8_t(r + 1 < h ? 0 : 1)});
      }
      for (size_t x = 0; x < w; ++x) sample.Expected.Pixels[(h - 1 - r) * w + x] = palette[row[x]];
    }
  } else {
    const size_t stride = (w * s.Bpp + 31) / 32 * 4;
    for (size_t r = 0; r < h; ++r) {
      std::vector<uint8_t> row(stride, 0);
      const size_t y = s.TopDown ? r : h - 1 - r;
      for (size_t x = 0; x < w; ++x) {
        if (indexed) {
          const uint32_t i = rng() % entries;
          const size_t bit = x * s.Bpp;
          row[bit / 8] |= uint8_t(i << (8 - s.Bpp - bit % 8));
          sample.Expected.Pixels[y * w + x] = palette[i];
        } else {
          uint32_t v = rng();
          if (s.Bpp < 32) v &= (1u << s.Bpp) - 1;
          for (size_t k = 0; k < size_t(s.Bpp / 8); ++k)
            row[x * s.Bpp / 8 + k] = uint8_t(v >> (8 * k));
          sample.Expected.Pixels[y * w + x] = 0xFF000000u | Channel(v, masks[0]) << 16 |
                                              Channel(v, masks[1]) << 8 | Channel(v, masks[2]);
        }
      }
      b.insert(b.end(), row.begin(), row.end());
    }
  }
  Set32(b, 2, uint32_t(b.size()));
  if (!core) Set32(b, 34, uint32_t(b.size() - dataStart));
  return sample;
}

namespace {

// The file header and a 40-byte info header of an uncompressed bottom-up picture whose pixel
// data starts at ADataOffset and takes ADataSize bytes.
std::vector<uint8_t> PlainHeaders(int32_t AWidth, int32_t AHeight, uint16_t ABpp,
                                  size_t ADataOffset, size_t ADataSize) {
  std::vector<uint8_t> b = {'B', 'M'};
  Put32(b, uint32_t(ADataOffset + ADataSize));
  Put32(b, 0);
  Put32(b, uint32_t(ADataOffset));
  Put32(b, 40);
  Put32(b, uint32_t(AWidth));
  Put32(b, uint32_t(AHeight));
  Put16(b, 1);
  Put16(b, ABpp);
  for (int i = 0; i < 6; ++i) Put32(b, 0);
  return b;
}

}  // namespace

std::vector<uint8_t> MakeBmp24(const jw::TJWBitmap& p) {
  const size_t stride = (size_t(p.Width) * 3 + 3) / 4 * 4;
  std::vector<uint8_t> b = PlainHeaders(p.Width, p.Height, 24, 54, stride * size_t(p.Height));
  for (int32_t y = p.Height - 1; y >= 0; --y) {
    const size_t start = b.size();
    for (int32_t x = 0; x < p.Width; ++x) {
      const uint32_t c = p.Pixel(x, y);
      b.insert(b.end(), {uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)});
    }
    b.resize(start + stride, 0);
  }
  return b;
}

std::vector<uint8_t> MakeBlankBmp1(int32_t AWidth, int32_t AHeight) {
  const size_t stride = (size_t(AWidth) + 31) / 32 * 4;
  const size_t dataOffset = 14 + 40 + 8;
  std::vector<uint8_t> b = PlainHeaders(AWidth, AHeight, 1, dataOffset, stride * size_t(AHeight));
  Put32(b, 0x000000);  // palette: black, white
  Put32(b, 0xFFFFFF);
  b.resize(dataOffset + stride * size_t(AHeight), 0);
  return b;
}

}  // namespace jwtest
