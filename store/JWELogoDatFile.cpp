#include "store/JWELogoDatFile.h"

#include <algorithm>

#include "store/JWBmpDecode.h"
#include "store/JWError.h"
#include "store/JWRecordCache.h"

namespace jw {

namespace {

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

TJWELogoDatFile::TJWELogoDatFile(const std::string& AFileName)
    : FFileName(ResolveDataFileName(AFileName)) {}

TJWELogoDatFile::~TJWELogoDatFile() = default;

void TJWELogoDatFile::SetFileName(const std::string& AFileName) {
  Close();
  FFileName = AFileName;
}

void TJWELogoDatFile::Open() {
  FStream.Open(FFileName);
  try {
    uint8_t head[4] = {};
    const uint32_t count = FStream.ReadAt(0, head, 4) == 4 ? Le32(head) : 0;
    if (count > MaxEntries)
      throw EJWError("Too many logo entries (" + std::to_string(count) + ") in \"" + FFileName +
                     "\"!");
    // Only the entries the file really holds: a cut index ends early.
    const std::vector<uint8_t> index = FStream.ReadBytes(4, uint64_t(count) * 8);
    FEntries.resize(index.size() / 8);
    for (size_t i = 0; i < FEntries.size(); ++i)
      FEntries[i] = {Le32(&index[8 * i]), Le32(&index[8 * i + 4])};
    FDataStart = 4 + uint64_t(FEntries.size()) * 8;
  } catch (...) {
    Close();
    throw;
  }
}

void TJWELogoDatFile::Close() {
  FStream.Close();
  FEntries.clear();
  FDataStart = 0;
}

std::vector<uint8_t> TJWELogoDatFile::ReadImage(uint32_t AImageNo) {
  if (!IsOpen()) Open();
  // No offset table: step over the images before it, one length prefix at a time.
  const uint64_t end = FStream.Size();
  uint64_t pos = FDataStart;
  for (uint32_t n = 0; pos + 4 <= end; ++n) {
    uint8_t head[4];
    if (FStream.ReadAt(pos, head, 4) < 4) break;
    const uint32_t size = Le32(head);
    pos += 4;
    if (n == AImageNo) return FStream.ReadBytes(pos, size);
    pos += size;
  }
  throw EJWError("Out of Filesize!");
}

std::shared_ptr<const TJWBitmap> TJWELogoDatFile::GetLogo(uint32_t AId) {
  if (!IsOpen()) Open();
  const auto it = std::find_if(FEntries.begin(), FEntries.end(),
                               [AId](const TJWLogoEntry& e) { return e.Id == AId; });
  if (it == FEntries.end()) return nullptr;
  const uint32_t imageNo = it->ImageNo;
  auto decode = [&] {
    const std::vector<uint8_t> packed = ReadImage(imageNo);
    return std::make_shared<const TJWBitmap>(DecodeDeflatedBmp(packed));
  };
  // Entries sharing a picture share its record too.
  const std::string key = PictureKey('L', FStream.Identity(), imageNo, 0);
  if (key.empty()) return decode();
  return TJWRecordCache::Instance().Get<TJWBitmap>(key, decode, BitmapBytes);
}

}  // namespace jw
