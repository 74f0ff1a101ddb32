#include "JpegCheck.h"

#include <algorithm>
#include <cstdlib>

#ifndef _WIN32  // JpegCheckWin32.cpp decodes with the system's imaging component
#include <csetjmp>

#include <jpeglib.h>

struct TJpegErr {
  jpeg_error_mgr Pub;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

std::string jwtest::DecodeJpeg(const std::vector<uint8_t>& f, jw::TJWBitmap& p) {
  jpeg_decompress_struct d{};
  TJpegErr e{};
  d.err = jpeg_std_error(&e.Pub);
  e.Pub.error_exit = [](j_common_ptr c) {
    (*c->err->format_message)(c, reinterpret_cast<TJpegErr*>(c->err)->Message);
    std::longjmp(reinterpret_cast<TJpegErr*>(c->err)->Jump, 1);
  };
  if (setjmp(e.Jump)) {
    jpeg_destroy_decompress(&d);
    return e.Message;
  }
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, f.data(), static_cast<unsigned long>(f.size()));
  jpeg_read_header(&d, TRUE);
  d.out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(&d);
  const size_t w = d.output_width;
  p = {int32_t(w), int32_t(d.output_height), std::vector<uint32_t>(w * d.output_height)};
  for (JSAMPROW row; d.output_scanline < d.output_height; jpeg_read_scanlines(&d, &row, 1))
    row = reinterpret_cast<JSAMPROW>(&p.Pixels[d.output_scanline * w]);
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  return "";
}
#endif

namespace jwtest {

TJpegInfo ReadJpeg(const std::vector<uint8_t>& f) {
  TJpegInfo info;
  // The marker segments up to the frame header: its kind and the number of components.
  for (size_t i = 2;
       f.size() > 2 && f[0] == 0xFF && f[1] == 0xD8 && i + 10 <= f.size() && f[i] == 0xFF;
       i += 2 + (size_t(f[i + 2]) << 8 | f[i + 3])) {
    const uint8_t m = f[i + 1];
    if (m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) {
      info.Baseline = m == 0xC0 && f[i + 4] == 8;
      info.Components = f[i + 9];
      break;
    }
  }
  info.Error = info.Components ? DecodeJpeg(f, info.Picture) : "no frame header";
  info.Ok = info.Error.empty();
  for (uint32_t& p : info.Picture.Pixels) p |= 0xFF000000u;
  return info;
}

int MaxChannelDifference(const jw::TJWBitmap& a, const jw::TJWBitmap& b) {
  if (a.Width != b.Width || a.Height != b.Height || a.Pixels.size() != b.Pixels.size()) return 256;
  int worst = 0;
  for (size_t i = 0; i < a.Pixels.size(); ++i)
    for (int s : {0, 8, 16})
      worst = std::max(worst, std::abs(int(a.Pixels[i] >> s & 255) - int(b.Pixels[i] >> s & 255)));
  return worst;
}

jw::TJWBitmap Gradient(int w, int h) {
  jw::TJWBitmap p{w, h, std::vector<uint32_t>(size_t(w) * size_t(h))};
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
