#include "viewer/core/JWThumbnail.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "store/JWError.h"

namespace jw {

void ThumbnailSize(int32_t AWidth0, int32_t AHeight0, int32_t ASnapWidth, int32_t ASnapHeight,
                   int32_t& AWidth, int32_t& AHeight) {
  if (ASnapWidth <= 0 || ASnapHeight <= 0) throw EJWError("Thumbnail: empty window picture!");
  // std::nearbyint rounds halves to the even neighbour in the default rounding mode.
  const double w0 = AWidth0, h0 = AHeight0, sw = ASnapWidth, sh = ASnapHeight;
  double w = w0, h = std::nearbyint(sh / sw * w0);
  if (AWidth0 == 1) {
    h = h0;
    w = std::nearbyint(sw / sh * h0);
  }
  if (AHeight0 == 1) {
    w = w0;
    h = std::nearbyint(sh / sw * w0);
  }
  constexpr double kMaxSide = 16384;
  if (!(w >= 1 && h >= 1 && w <= kMaxSide && h <= kMaxSide))
    throw EJWError("Thumbnail: size " + std::to_string(AWidth0) + " x " + std::to_string(AHeight0) +
                   " out of range!");
  AWidth = int32_t(w);
  AHeight = int32_t(h);
}

namespace {

// For each target column (or row): the source cells it covers and their weights, in 1/65536.
struct TSpan {
  int32_t First = 0;
  std::vector<uint32_t> Weights;
};

std::vector<TSpan> Spans(int32_t ASource, int32_t ATarget) {
  std::vector<TSpan> spans(static_cast<size_t>(ATarget));
  const double scale = double(ASource) / ATarget;
  for (int32_t t = 0; t < ATarget; ++t) {
    double from = t * scale, to = (t + 1) * scale;
    if (to - from < 1) {  // enlarging: one source cell's width around the centre
      const double centre = (from + to) / 2;
      from = std::clamp(centre - 0.5, 0.0, ASource - 1.0);
      to = from + 1;
    }
    TSpan& span = spans[size_t(t)];
    span.First = int32_t(from);
    const int32_t last = std::min(ASource - 1, int32_t(std::ceil(to)) - 1);
    double total = 0;
    std::vector<double> weights;
    for (int32_t s = span.First; s <= last; ++s) {
      const double w = std::min<double>(to, s + 1) - std::max<double>(from, s);
      weights.push_back(std::max(0.0, w));
      total += std::max(0.0, w);
    }
    for (const double w : weights) span.Weights.push_back(uint32_t(std::lround(w / total * 65536)));
  }
  return spans;
}

}  // namespace

TJWBitmap ScaleBitmap(const TJWBitmap& ASource, int32_t AWidth, int32_t AHeight) {
  TJWBitmap result;
  result.Width = AWidth;
  result.Height = AHeight;
  result.Pixels.assign(size_t(AWidth) * size_t(AHeight), 0xFF000000u);
  if (ASource.Empty() || AWidth <= 0 || AHeight <= 0) return result;
  if (AWidth == ASource.Width && AHeight == ASource.Height) {
    // Nothing to average: each pixel is its source's, opaque.
    for (size_t i = 0; i < result.Pixels.size(); ++i)
      result.Pixels[i] = ASource.Pixels[i] | 0xFF000000u;
    return result;
  }
  const std::vector<TSpan> columns = Spans(ASource.Width, AWidth);
  const std::vector<TSpan> rows = Spans(ASource.Height, AHeight);
  // Columns first into a row buffer of three 16.16 channels per target column, then rows.
  std::vector<uint64_t> line(size_t(AWidth) * 3);
  for (int32_t ty = 0; ty < AHeight; ++ty) {
    std::fill(line.begin(), line.end(), 0);
    const TSpan& row = rows[size_t(ty)];
    for (size_t r = 0; r < row.Weights.size(); ++r) {
      const uint32_t* source =
          ASource.Pixels.data() + size_t(row.First + int32_t(r)) * size_t(ASource.Width);
      const uint64_t wy = row.Weights[r];
      for (int32_t tx = 0; tx < AWidth; ++tx) {
        const TSpan& column = columns[size_t(tx)];
        uint64_t red = 0, green = 0, blue = 0;
        for (size_t c = 0; c < column.Weights.size(); ++c) {
          const uint32_t pixel = source[size_t(column.First) + c];
          const uint64_t wx = column.Weights[c];
          red += ((pixel >> 16) & 0xFF) * wx;
          green += ((pixel >> 8) & 0xFF) * wx;
          blue += (pixel & 0xFF) * wx;
        }
        line[size_t(tx) * 3] += red * wy;
        line[size_t(tx) * 3 + 1] += green * wy;
        line[size_t(tx) * 3 + 2] += blue * wy;
      }
    }
    uint32_t* out = result.Pixels.data() + size_t(ty) * size_t(AWidth);
    for (int32_t tx = 0; tx < AWidth; ++tx) {
      auto channel = [&](int AIndex) {
        return uint32_t(
            std::min<uint64_t>(255, (line[size_t(tx) * 3 + AIndex] + (1ull << 31)) >> 32));
      };
      out[tx] = 0xFF000000u | (channel(0) << 16) | (channel(1) << 8) | channel(2);
    }
  }
  return result;
}

void DrawThumbnail(const TJWBitmap& ASnapshot, JWHostBitmap& ABitmap) {
  int32_t width = 0, height = 0;
  ThumbnailSize(ABitmap.GetWidth(ABitmap.Context), ABitmap.GetHeight(ABitmap.Context),
                ASnapshot.Width, ASnapshot.Height, width, height);
  const TJWBitmap picture = ScaleBitmap(ASnapshot, width, height);
  ABitmap.SetWidth(ABitmap.Context, width);
  ABitmap.SetHeight(ABitmap.Context, height);
  ABitmap.Draw(ABitmap.Context, reinterpret_cast<const uint8_t*>(picture.Pixels.data()), width,
               height, width * 4);
}

}  // namespace jw
