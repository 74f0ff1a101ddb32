#include "tools/writer/DeflateRaw.h"

#include <zlib.h>

#include <new>
#include <stdexcept>

namespace jw {

std::vector<uint8_t> DeflateRaw(const void* AData, size_t ASize, int ALevel) {
  z_stream zs{};
  if (deflateInit2(&zs, ALevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::bad_alloc();
  std::vector<uint8_t> out(deflateBound(&zs, uLong(ASize)));
  zs.next_in = const_cast<Bytef*>(static_cast<const Bytef*>(AData));
  zs.avail_in = uInt(ASize);
  zs.next_out = out.data();
  zs.avail_out = uInt(out.size());
  const int rc = deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  if (rc != Z_STREAM_END) throw std::runtime_error("deflate failed");
  return out;
}

}  // namespace jw
