#pragma once
// Raw deflate (no zlib or gzip header), the compression of every record in the data files.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace jw {

std::vector<uint8_t> DeflateRaw(const void* AData, size_t ASize, int ALevel = 6);
inline std::vector<uint8_t> DeflateRaw(const std::vector<uint8_t>& AData, int ALevel = 6) {
  return DeflateRaw(AData.data(), AData.size(), ALevel);
}

}  // namespace jw
