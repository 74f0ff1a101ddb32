#include "JpegCheck.h"

#include <algorithm>
#include <cstdlib>

#ifndef _WIN32  // JpegCheckWin32.cpp reads them with the system's imaging component
#include <csetjmp>

#include <jpeglib.h>
#endif

namespace jwtest {

#ifndef _WIN32
namespace {

struct TErr {
  jpeg_error_mgr Pub;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr c) {
  auto* e = reinterpret_cast<TErr*>(c->err);
  (*c->err->format_message)(c, e->Message);
  std::longjmp(e->Jump, 1);
}

bool Decode(jpeg_decompress_struct& d, TErr& e, const std::vector<uint8_t>& f, TJpegInfo& info,
            std::vector<uint8_t>& rgb) {
  d.err = jpeg_std_error(&e.Pub);
  e.Pub.error_exit = OnError;
  if (setjmp(e.Jump)) return false;
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, f.data(), static_cast<unsigned long>(f.size()));
  jpeg_read_header(&d, TRUE);
  info.Components = d.num_components;
  info.Baseline = !d.progressive_mode && !d.arith_code && d.data_precision == 8;
  d.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d);
  rgb.resize(size_t(d.output_width) * d.output_height * 3);
  while (d.output_scanline < d.output_height) {
    JSAMPROW row = rgb.data() + size_t(d.output_scanline) * d.output_width * 3;
    jpeg_read_scanlines(&d, &row, 1);
  }
  info.Picture.Width = int32_t(d.output_width);
  info.Picture.Height = int32_t(d.output_height);
  jpeg_finish_decompress(&d);
  return true;
}

}  // namespace

TJpegInfo ReadJpeg(const std::vector<uint8_t>& f) {
  TJpegInfo info;
  std::vector<uint8_t> rgb;
  jpeg_decompress_struct d{};
  TErr e{};
  info.Ok = Decode(d, e, f, info, rgb);
  jpeg_destroy_decompress(&d);
  if (!info.Ok) {
    info.Error = e.Message;
    return info;
  }
  // The frame header must be SOF0 (baseline DCT).
  bool sof0 = false;
  for (size_t i = 0; i + 1 < f.size(); ++i)
    if (f[i] == 0xFF && f[i + 1] == 0xC0) sof0 = true;
  info.Baseline = info.Baseline && sof0;
  info.Picture.Pixels.resize(rgb.size() / 3);
  for (size_t i = 0; i < info.Picture.Pixels.size(); ++i)
    info.Picture.Pixels[i] =
        0xFF000000u | uint32_t(rgb[3 * i]) << 16 | uint32_t(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
  return info;
}
#endif

int MaxChannelDifference(const jw::TJWBitmap& a, const jw::TJWBitmap& b) {
  if (a.Width != b.Width || a.Height != b.Height || a.Pixels.size() != b.Pixels.size()) return 256;
  int worst = 0;
  for (size_t i = 0; i < a.Pixels.size(); ++i)
    for (int shift : {0, 8, 16})
      worst = std::max(
          worst, std::abs(int((a.Pixels[i] >> shift) & 0xFF) - int((b.Pixels[i] >> shift) & 0xFF)));
  return worst;
}

jw::TJWBitmap Gradient(int w, int h) {
  jw::TJWBitmap p;
  p.Width = w;
  p.Height = h;
  p.Pixels.resize(size_t(w) * size_t(h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t r = uint32_t(40 + 160 * x / std::max(1, w - 1));
      const uint32_t g = uint32_t(200 - 150 * y / std::max(1, h - 1));
      const uint32_t b = uint32_t(90 + 60 * (x + y) / std::max(1, w + h - 2));
      p.Pixels[size_t(y) * size_t(w) + size_t(x)] = 0xFF000000u | r << 16 | g << 8 | b;
    }
  return p;
}

}  // namespace jwtest
