#include "store/JWJpegEncode.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>

#include "store/JWError.h"

namespace jw {

namespace {

// libjpeg reports errors by calling error_exit, which must not return; jump back out instead of
// letting it end the process. Exceptions must not unwind through the C library, hence longjmp.
struct TErrorManager {
  jpeg_error_mgr Pub;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr AInfo) {
  auto* err = reinterpret_cast<TErrorManager*>(AInfo->err);
  (*AInfo->err->format_message)(AInfo, err->Message);
  std::longjmp(err->Jump, 1);
}

void OnMessage(j_common_ptr, int) {}  // warnings and traces are not printed

// Only trivially destructible state lives in this frame, so that longjmp leaves nothing behind.
bool Compress(jpeg_compress_struct& c, TErrorManager& err, const TJWBitmap& p, JSAMPLE* row,
              int quality, unsigned char** out, unsigned long* outSize) {
  c.err = jpeg_std_error(&err.Pub);
  err.Pub.error_exit = OnError;
  err.Pub.emit_message = OnMessage;
  err.Message[0] = 0;
  if (setjmp(err.Jump)) return false;

  jpeg_create_compress(&c);
  jpeg_mem_dest(&c, out, outSize);
  c.image_width = JDIMENSION(p.Width);
  c.image_height = JDIMENSION(p.Height);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);  // baseline-compatible quantisation tables
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    const uint32_t* src = p.Pixels.data() + size_t(c.next_scanline) * size_t(p.Width);
    for (int32_t x = 0; x < p.Width; ++x) {
      row[3 * x] = JSAMPLE(src[x] >> 16);
      row[3 * x + 1] = JSAMPLE(src[x] >> 8);
      row[3 * x + 2] = JSAMPLE(src[x]);
    }
    JSAMPROW rows[1] = {row};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeJpeg(const TJWBitmap& APicture, int AQuality) {
  if (APicture.Empty()) throw EJWError("JPEG: empty picture");
  if (APicture.Width > JPEG_MAX_DIMENSION || APicture.Height > JPEG_MAX_DIMENSION ||
      APicture.Pixels.size() != size_t(APicture.Width) * size_t(APicture.Height))
    throw EJWError("JPEG: invalid picture");

  std::vector<JSAMPLE> row(size_t(APicture.Width) * 3);
  jpeg_compress_struct c{};
  TErrorManager err{};
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  const bool ok = Compress(c, err, APicture, row.data(), AQuality, &out, &outSize);
  jpeg_destroy_compress(&c);
  std::vector<uint8_t> result;
  if (ok) result.assign(out, out + outSize);
  std::free(out);
  if (!ok) throw EJWError(std::string("JPEG: ") + err.Message);
  return result;
}

}  // namespace jw
