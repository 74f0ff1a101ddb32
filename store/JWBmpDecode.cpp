#include "store/JWBmpDecode.h"

#include <algorithm>
#include <array>
#include <bit>
#include <string>

#include "store/JWError.h"
#include "store/JWRawInflate.h"

namespace jw {

namespace {

constexpr size_t FileHeaderSize = 14;

enum : uint32_t { biRGB = 0, biRLE8 = 1, biRLE4 = 2, biBitfields = 3, biAlphaBitfields = 6 };

[[noreturn]] void Fail(const std::string& AWhy) {
  throw EJWError("BMP: " + AWhy);
}

uint16_t Le16(const uint8_t* p) {
  return uint16_t(p[0] | p[1] << 8);
}
uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
// Callers have checked that the bytes lie inside the buffer.
uint16_t U16(std::span<const uint8_t> d, size_t o) {
  return Le16(d.data() + o);
}
uint32_t U32(std::span<const uint8_t> d, size_t o) {
  return Le32(d.data() + o);
}

// The info-header variants in use. Core headers have 16-bit sizes and 3-byte palette entries;
// the later Windows ones carry their colour masks inside the header itself.
struct THeaderKind {
  uint32_t Size;
  bool Core;
  bool MasksInHeader;
};
constexpr std::array<THeaderKind, 5> HeaderKinds{{
    {12, true, false},
    {40, false, false},
    {64, false, false},
    {108, false, true},
    {124, false, true},
}};

// How the pixel rows are stored, per accepted combination of depth and compression.
enum class TLayout { Indexed, Rle4, Rle8, Bgr24, Masked };
struct TFormat {
  uint16_t Bpp;
  uint32_t Compression;
  TLayout Layout;
  std::array<uint32_t, 3> DefaultMasks;  // red, green, blue when the file gives none
};
constexpr std::array<TFormat, 11> Formats{{
    {1, biRGB, TLayout::Indexed, {}},
    {4, biRGB, TLayout::Indexed, {}},
    {4, biRLE4, TLayout::Rle4, {}},
    {8, biRGB, TLayout::Indexed, {}},
    {8, biRLE8, TLayout::Rle8, {}},
    {16, biRGB, TLayout::Masked, {0x7C00, 0x03E0, 0x001F}},
    {16, biBitfields, TLayout::Masked, {}},
    {16, biAlphaBitfields, TLayout::Masked, {}},
    {24, biRGB, TLayout::Bgr24, {}},
    {32, biRGB, TLayout::Masked, {0xFF0000, 0x00FF00, 0x0000FF}},
    {32, biBitfields, TLayout::Masked, {}},
}};

// Extracts one colour channel from a packed pixel and scales it to 8 bits by shifting, the way
// the common readers do (a 5-bit 31 becomes 248, not 255).
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  int Bits = 0;

  explicit TChannel(uint32_t AMask) : Mask(AMask) {
    if (AMask == 0) return;
    Shift = std::countr_zero(AMask);
    Bits = std::bit_width(AMask >> Shift);
  }
  uint32_t Get(uint32_t APixel) const {
    if (Bits == 0) return 0;
    uint32_t v = (APixel & Mask) >> Shift;
    return Bits >= 8 ? v >> (Bits - 8) : v << (8 - Bits);
  }
};

constexpr uint32_t Opaque = 0xFF000000u;
uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
  return Opaque | r << 16 | g << 8 | b;
}

struct TInfo {
  int32_t Width = 0;
  int32_t Height = 0;  // always positive here
  bool TopDown = false;
  const TFormat* Format = nullptr;
  std::vector<uint32_t> Palette;
  std::array<uint32_t, 3> Masks{};
  size_t DataOffset = 0;
};

TInfo ReadInfo(std::span<const uint8_t> d) {
  if (d.size() < FileHeaderSize + 4 || d[0] != 'B' || d[1] != 'M') Fail("not a bitmap file");
  const uint32_t headerSize = U32(d, FileHeaderSize);
  const auto kind = std::find_if(HeaderKinds.begin(), HeaderKinds.end(),
                                 [&](const THeaderKind& k) { return k.Size == headerSize; });
  if (kind == HeaderKinds.end()) Fail("unsupported header size " + std::to_string(headerSize));
  if (d.size() < FileHeaderSize + headerSize) Fail("header truncated");
  const size_t h = FileHeaderSize;

  TInfo info;
  int64_t width, height;
  uint16_t bpp;
  uint32_t compression = biRGB, colorsUsed = 0;
  if (kind->Core) {
    width = U16(d, h + 4);
    height = U16(d, h + 6);
    bpp = U16(d, h + 10);
  } else {
    width = int32_t(U32(d, h + 4));
    height = int32_t(U32(d, h + 8));
    bpp = U16(d, h + 14);
    compression = U32(d, h + 16);
    colorsUsed = U32(d, h + 32);
  }
  info.TopDown = height < 0;
  if (height < 0) height = -height;
  if (width <= 0 || height <= 0 || width > BmpMaxSide || height > BmpMaxSide)
    Fail("invalid size " + std::to_string(width) + " x " + std::to_string(height));
  info.Width = int32_t(width);
  info.Height = int32_t(height);

  const auto format = std::find_if(Formats.begin(), Formats.end(), [&](const TFormat& f) {
    return f.Bpp == bpp && f.Compression == compression;
  });
  if (format == Formats.end())
    Fail("unsupported format (" + std::to_string(bpp) + " bits per pixel, compression " +
         std::to_string(compression) + ")");
  info.Format = &*format;
  // Compressed rows cannot be stored top-down.
  if (info.TopDown && (format->Layout == TLayout::Rle4 || format->Layout == TLayout::Rle8))
    Fail("top-down bitmap with RLE compression");

  size_t pos = h + headerSize;
  info.Masks = format->DefaultMasks;
  if (compression == biBitfields || compression == biAlphaBitfields) {
    size_t maskPos = kind->MasksInHeader ? h + 40 : pos;
    if (maskPos + 12 > d.size()) Fail("colour masks truncated");
    for (size_t i = 0; i < 3; ++i) info.Masks[i] = U32(d, maskPos + 4 * i);
    // A short header followed by masks: they sit between the header and the palette.
    if (!kind->MasksInHeader) pos += compression == biAlphaBitfields ? 16 : 12;
  }

  const uint32_t fileOffset = U32(d, 10);
  if (bpp <= 8) {
    const size_t entrySize = kind->Core ? 3 : 4;
    size_t count = size_t(1) << bpp;
    if (colorsUsed > 0 && colorsUsed < count) count = colorsUsed;
    // Take only the entries that lie inside the file and before the pixel data; indices past the
    // palette read as black.
    size_t limit = d.size();
    if (fileOffset > pos && fileOffset < limit) limit = fileOffset;
    count = std::min(count, limit > pos ? (limit - pos) / entrySize : 0);
    info.Palette.resize(count);
    for (size_t i = 0; i < count; ++i) {
      const size_t p = pos + i * entrySize;
      info.Palette[i] = Rgb(d[p + 2], d[p + 1], d[p]);
    }
    pos += count * entrySize;
  }
  info.DataOffset = fileOffset != 0 ? fileOffset : pos;
  if (info.DataOffset >= d.size()) Fail("pixel data missing");
  return info;
}

// Uncompressed rows: each stored row starts on a 4-byte boundary; the last row may lack its
// padding.
void DecodeRows(std::span<const uint8_t> d, const TInfo& info, TJWBitmap& out) {
  const uint64_t bpp = info.Format->Bpp;
  const uint64_t stride = (uint64_t(info.Width) * bpp + 31) / 32 * 4;

  const TChannel red(info.Masks[0]), green(info.Masks[1]), blue(info.Masks[2]);
  const size_t paletteSize = info.Palette.size();
  auto indexed = [&](uint32_t i) { return i < paletteSize ? info.Palette[i] : Opaque; };

  for (int32_t row = 0; row < info.Height; ++row) {
    const uint8_t* src = d.data() + info.DataOffset + stride * uint64_t(row);
    const int32_t y = info.TopDown ? row : info.Height - 1 - row;
    uint32_t* dst = out.Pixels.data() + size_t(y) * size_t(info.Width);
    for (int32_t x = 0; x < info.Width; ++x) {
      uint32_t c;
      switch (info.Format->Layout) {
        case TLayout::Indexed: {
          const uint64_t bit = uint64_t(x) * bpp;
          const uint32_t byte = src[bit / 8];
          const uint32_t shift = uint32_t(8 - bpp - bit % 8);
          c = indexed((byte >> shift) & ((1u << bpp) - 1));
          break;
        }
        case TLayout::Bgr24:
          c = Rgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
          break;
        case TLayout::Masked: {
          const uint32_t p = bpp == 16 ? Le16(src + 2 * size_t(x)) : Le32(src + 4 * size_t(x));
          c = Rgb(red.Get(p), green.Get(p), blue.Get(p));
          break;
        }
        default:
          c = Opaque;
      }
      dst[x] = c;
    }
  }
}

// Run-length encoded rows (always bottom-up). Pixels the stream never reaches keep palette
// colour 0; runs past the right edge are clipped.
// Without AOut the stream is only walked, so that a damaged stream fails as it would when painted.
void DecodeRle(std::span<const uint8_t> d, const TInfo& info, TJWBitmap* AOut) {
  const bool four = info.Format->Layout == TLayout::Rle4;
  const size_t end = d.size();

  std::vector<uint8_t> index(AOut ? size_t(info.Width) * size_t(info.Height) : 0, 0);
  int64_t x = 0, row = 0;
  auto put = [&](uint32_t i) {
    if (AOut && x < info.Width && row < info.Height)
      index[size_t(row) * size_t(info.Width) + size_t(x)] = uint8_t(i);
    ++x;
  };
  size_t pos = info.DataOffset;
  while (pos + 2 <= end && row < info.Height) {
    const uint8_t count = d[pos], value = d[pos + 1];
    pos += 2;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(four ? (i % 2 ? value & 0x0F : value >> 4) : value);
    } else if (value == 0) {  // end of line
      x = 0;
      ++row;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // move right and up
      if (pos + 2 > end) Fail("pixel data truncated");
      x += d[pos];
      row += d[pos + 1];
      pos += 2;
    } else {  // a literal run of `value` pixels, padded to a 16-bit boundary
      const size_t bytes = four ? (value + 1) / 2 : value;
      if (pos + bytes > end) Fail("pixel data truncated");
      for (int i = 0; i < value; ++i) {
        const uint8_t b = d[pos + (four ? i / 2 : i)];
        put(four ? (i % 2 ? b & 0x0F : b >> 4) : b);
      }
      pos += bytes + (bytes & 1);
    }
  }

  if (!AOut) return;
  TJWBitmap& out = *AOut;
  const size_t paletteSize = info.Palette.size();
  for (int32_t r = 0; r < info.Height; ++r) {
    const uint8_t* src = index.data() + size_t(r) * size_t(info.Width);
    uint32_t* dst = out.Pixels.data() + size_t(info.Height - 1 - r) * size_t(info.Width);
    for (int32_t c = 0; c < info.Width; ++c)
      dst[c] = src[c] < paletteSize ? info.Palette[src[c]] : Opaque;
  }
}

bool IsRle(const TInfo& AInfo) {
  return AInfo.Format->Layout == TLayout::Rle4 || AInfo.Format->Layout == TLayout::Rle8;
}

// The header, checked against what the data can hold before anything is allocated.
TInfo CheckedInfo(std::span<const uint8_t> AFile, uint64_t AMaxPixels) {
  const TInfo info = ReadInfo(AFile);
  const bool rle = IsRle(info);
  const uint64_t available = AFile.size() - info.DataOffset;
  const uint64_t pixels = uint64_t(info.Width) * uint64_t(info.Height);
  // Refuse a header that promises more than the data can hold before allocating anything, so the
  // allocation stays proportional to the input. Uncompressed rows are padded to 4 bytes, except
  // that the last row may lack its padding. An encoded run covers at most 255 pixels with two
  // bytes, so an RLE picture needs about one byte per 128 pixels; small pictures may end early
  // and leave the rest unpainted, hence the floor.
  if (rle) {
    constexpr uint64_t SmallPicture = 1u << 20;
    if (pixels > std::max(available * 256, SmallPicture)) Fail("pixel data truncated");
  } else {
    const uint64_t bits = uint64_t(info.Width) * info.Format->Bpp;
    const uint64_t stride = (bits + 31) / 32 * 4;
    if (stride * uint64_t(info.Height - 1) + (bits + 7) / 8 > available)
      Fail("pixel data truncated");
  }
  if (pixels > AMaxPixels) throw EJWPictureTooLarge(info.Width, info.Height);
  return info;
}

// The inflated bitmap file of a data file's picture stream. A few kilobytes of deflate can hold a
// huge picture of one colour: the sides in the header are checked before the pixel data is
// inflated.
std::vector<uint8_t> InflateBmpFile(std::span<const uint8_t> ACompressed, uint64_t AMaxPixels) {
  TJWRawInflater inflater(ACompressed.data(), ACompressed.size());
  std::vector<uint8_t> file;
  constexpr size_t HeaderBytes = FileHeaderSize + 12;  // enough for the sides of every header kind
  inflater.Read(file, HeaderBytes);
  if (!inflater.Corrupt() && file.size() == HeaderBytes && file[0] == 'B' && file[1] == 'M') {
    const size_t h = FileHeaderSize;
    int64_t width, height;
    if (Le32(&file[h]) == 12) {
      width = Le16(&file[h + 4]);
      height = Le16(&file[h + 6]);
    } else {
      width = int32_t(Le32(&file[h + 4]));
      height = int32_t(Le32(&file[h + 8]));
    }
    height = height < 0 ? -height : height;
    // Absurd sides are left to the decoder, which names them.
    if (width > 0 && width <= BmpMaxSide && height > 0 && height <= BmpMaxSide &&
        uint64_t(width) * uint64_t(height) > AMaxPixels)
      throw EJWPictureTooLarge(int32_t(width), int32_t(height));
  }
  if (!inflater.Corrupt()) inflater.Read(file, BmpMaxFileBytes - file.size());
  if (inflater.Corrupt()) throw EJWError("Corrupt picture data: " + inflater.Error());
  if (!inflater.Finished() && file.size() >= BmpMaxFileBytes) {
    // Filled up to the cap: the stream may still end right here without further output.
    std::vector<uint8_t> probe;
    const size_t more = inflater.Read(probe, 1);
    if (inflater.Corrupt()) throw EJWError("Corrupt picture data: " + inflater.Error());
    if (more > 0) throw EJWError("Picture data too large!");
  }
  // A stream cut short still decodes when the bitmap happens to be whole.
  return file;
}

}  // namespace

TJWBitmap DecodeBmp(std::span<const uint8_t> AFile, uint64_t AMaxPixels) {
  const TInfo info = CheckedInfo(AFile, AMaxPixels);
  const bool rle = IsRle(info);
  TJWBitmap out;
  out.Width = info.Width;
  out.Height = info.Height;
  out.Pixels.assign(size_t(info.Width) * size_t(info.Height), Opaque);
  if (rle)
    DecodeRle(AFile, info, &out);
  else
    DecodeRows(AFile, info, out);
  return out;
}

TJWBitmap DecodeDeflatedBmp(std::span<const uint8_t> ACompressed, uint64_t AMaxPixels) {
  return DecodeBmp(InflateBmpFile(ACompressed, AMaxPixels), AMaxPixels);
}

TJWPictureSize InspectBmp(std::span<const uint8_t> AFile, uint64_t AMaxPixels) {
  const TInfo info = CheckedInfo(AFile, AMaxPixels);
  if (IsRle(info)) DecodeRle(AFile, info, nullptr);
  return TJWPictureSize{info.Width, info.Height};
}

TJWPictureSize InspectDeflatedBmp(std::span<const uint8_t> ACompressed, uint64_t AMaxPixels) {
  return InspectBmp(InflateBmpFile(ACompressed, AMaxPixels), AMaxPixels);
}

}  // namespace jw
