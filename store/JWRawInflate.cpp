#include "store/JWRawInflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace jw {

struct TJWRawInflater::Impl {
  z_stream Stream{};
  const Bytef* Next = nullptr;
  size_t Left = 0;  // input not yet handed to zlib
};

TJWRawInflater::TJWRawInflater(const void* AData, size_t ASize) : FImpl(new Impl) {
  FImpl->Next = static_cast<const Bytef*>(AData);
  FImpl->Left = ASize;
  if (inflateInit2(&FImpl->Stream, -15) != Z_OK) {
    delete FImpl;
    throw std::bad_alloc();
  }
}

TJWRawInflater::~TJWRawInflater() {
  inflateEnd(&FImpl->Stream);
  delete FImpl;
}

size_t TJWRawInflater::Read(std::vector<uint8_t>& AOut, size_t ACount) {
  constexpr size_t kChunk = 64 * 1024;
  const size_t start = AOut.size();
  size_t produced = 0;
  z_stream& zs = FImpl->Stream;
  while (produced < ACount && FState == State::Running) {
    if (zs.avail_in == 0 && FImpl->Left > 0) {
      const size_t feed = std::min<size_t>(FImpl->Left, UINT_MAX);
      zs.next_in = const_cast<Bytef*>(FImpl->Next);
      zs.avail_in = uInt(feed);
      FImpl->Next += feed;
      FImpl->Left -= feed;
    }
    const size_t want = std::min(ACount - produced, kChunk);
    AOut.resize(start + produced + want);
    zs.next_out = AOut.data() + start + produced;
    zs.avail_out = uInt(want);
    const int rc = inflate(&zs, Z_NO_FLUSH);
    produced += want - zs.avail_out;
    if (rc == Z_STREAM_END) {
      FState = State::Finished;
    } else if (rc == Z_DATA_ERROR || rc == Z_NEED_DICT || rc == Z_STREAM_ERROR) {
      FState = State::Corrupt;
      FError = zs.msg != nullptr ? zs.msg : "invalid deflate data";
    } else if (rc == Z_MEM_ERROR) {
      AOut.resize(start + produced);
      throw std::bad_alloc();
    } else if (zs.avail_out > 0 && zs.avail_in == 0 && FImpl->Left == 0) {
      FState = State::Short;  // all input used, no end marker: the stream was cut short
    }
  }
  AOut.resize(start + produced);
  return produced;
}

size_t TJWRawInflater::ReadFixed(void* ADest, size_t ACount) {
  std::vector<uint8_t> buffer;
  buffer.reserve(std::min<size_t>(ACount, 64 * 1024));
  const size_t got = Read(buffer, ACount);
  std::memcpy(ADest, buffer.data(), got);
  std::memset(static_cast<uint8_t*>(ADest) + got, 0, ACount - got);
  return got;
}

TJWInflateResult InflateRaw(const void* AData, size_t ASize, size_t AMaxOut) {
  TJWInflateResult result;
  TJWRawInflater inflater(AData, ASize);
  inflater.Read(result.Data, AMaxOut);
  if (!inflater.Finished() && !inflater.Corrupt() && result.Data.size() == AMaxOut) {
    // Filled up to the cap: the stream may still end right here without further output.
    std::vector<uint8_t> probe;
    inflater.Read(probe, 1);
  }
  result.Complete = inflater.Finished();
  result.Corrupt = inflater.Corrupt();
  result.Error = inflater.Error();
  return result;
}

}  // namespace jw
