#include "store/JWDatFileIO.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "store/JWError.h"
#include "store/ZDStrUtils.h"

namespace jw {

std::string JoinPath(const std::string& ADirectory, const std::string& AFileName) {
  if (ADirectory.empty() || IsDirectoryEnd(ADirectory.back())) return ADirectory + AFileName;
  return ADirectory + platform::PathSeparator + AFileName;
}

std::string ResolveDataFileName(const std::string& AFileName) {
  size_t end = AFileName.size();
  while (end > 0 && !IsDirectoryEnd(AFileName[end - 1])) --end;
  // The directory part keeps its separator, so "/x" stays an absolute name.
  if (!Trim(AFileName.substr(0, end)).empty()) return AFileName;
  const std::string cwd = platform::CurrentDirectory();
  if (cwd.empty()) return AFileName;  // no usable directory
  return JoinPath(cwd, AFileName);
}

TJWDatFileIO::~TJWDatFileIO() {
  Close();
}

void TJWDatFileIO::Open(const std::string& AFileName) {
  if (IsOpen()) throw EJWError("File already open!");
  const platform::TFileKind kind = platform::KindOf(AFileName);
  if (kind == platform::TFileKind::Missing || kind == platform::TFileKind::Directory)
    throw EJWError("Datei \"" + AFileName + "\" nicht gefunden!");
  const platform::TFileHandle file = platform::OpenReadOnly(AFileName);
  if (file == platform::InvalidFile)
    throw EJWError("Konnte Datei \"" + AFileName +
                   "\" nicht \xF6"
                   "ffnen!");
  FHandle = file;
  FFileName = AFileName;
}

void TJWDatFileIO::Close() {
  platform::CloseFile(FHandle);
  FHandle = platform::InvalidFile;
}

size_t TJWDatFileIO::ReadAt(uint64_t AOffset, void* ABuffer, size_t ASize) const {
  if (!IsOpen()) throw EJWError("File not open!");
  size_t done = 0;
  auto* out = static_cast<char*>(ABuffer);
  while (done < ASize) {
    const size_t chunk = std::min<size_t>(ASize - done, size_t(1) << 30);
    std::string error;
    const int64_t n = platform::ReadAt(FHandle, AOffset + done, out + done, chunk, error);
    if (n < 0) throw EJWError("Lesefehler in Datei \"" + FFileName + "\": " + error);
    if (n == 0) break;
    done += size_t(n);
  }
  return done;
}

std::vector<uint8_t> TJWDatFileIO::ReadBytes(uint64_t AOffset, uint64_t ASize) const {
  const uint64_t size = Size();
  const uint64_t avail = AOffset >= size ? 0 : std::min(ASize, size - AOffset);
  std::vector<uint8_t> bytes(static_cast<size_t>(avail));
  bytes.resize(ReadAt(AOffset, bytes.data(), bytes.size()));  // the file may have shrunk since
  return bytes;
}

uint64_t TJWDatFileIO::Size() const {
  if (!IsOpen()) throw EJWError("File not open!");
  platform::TFileIdentity id;
  return platform::IdentityOf(FHandle, id) ? id.Size : 0;
}

// ---------------------------------------------------------------------------------------------

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
