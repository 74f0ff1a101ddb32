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

void TJWELogoDatFile::SetFolder(std::shared_ptr<TJWFolderView> AFolder,
                                const std::string& ARelative) {
  FStream.SetFolder(std::move(AFolder), ARelative);
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
  FCheckpoints.clear();
  FDataStart = 0;
}

std::vector<uint8_t> TJWELogoDatFile::ReadImage(uint32_t AImageNo) {
  if (!IsOpen()) Open();
  // No offset table: step over the images before it, one length prefix after the other. Every
  // element takes at least its 4-byte length, so a number the file cannot reach is refused
  // without reading, and a length reaching past the end ends the walk.
  const uint64_t end = FStream.Size();
  if (end < FDataStart || (end - FDataStart) / 4 <= AImageNo) throw EJWError("Out of Filesize!");
  // Resume from the nearest position found by an earlier walk.
  if (FCheckpoints.empty()) FCheckpoints.push_back(FDataStart);
  const size_t from = std::min<size_t>(AImageNo / CheckpointStep, FCheckpoints.size() - 1);
  uint64_t pos = FCheckpoints[from];
  uint32_t n = uint32_t(from * CheckpointStep);

  // Length prefixes are read through one buffer, so that many small images cost one read per
  // block rather than one per image; the file is passed over at most once.
  constexpr size_t BlockSize = 64 * 1024;
  std::vector<uint8_t> block(BlockSize);
  uint64_t blockStart = 0;
  size_t blockLength = 0;
  auto sizeAt = [&](uint64_t APos, uint32_t& ASize) {
    if (APos < blockStart || APos + 4 > blockStart + blockLength) {
      blockStart = APos;
      blockLength =
          FStream.ReadAt(APos, block.data(), size_t(std::min<uint64_t>(BlockSize, end - APos)));
      if (blockLength < 4) return false;
    }
    ASize = Le32(&block[size_t(APos - blockStart)]);
    return true;
  };

  for (;;) {
    uint32_t size;
    if (pos + 4 > end || !sizeAt(pos, size)) break;
    if (n == AImageNo) return FStream.ReadBytes(pos + 4, size);
    pos += 4 + uint64_t(size);
    ++n;
    if (n % CheckpointStep == 0 && n / CheckpointStep == FCheckpoints.size() && pos <= end)
      FCheckpoints.push_back(pos);
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
  try {
    if (key.empty()) return decode();
    return TJWRecordCache::Instance().Get<TJWBitmap>(key, decode, BitmapBytes);
  } catch (const EJWPictureTooLarge& e) {
    throw EJWError("Datei \"" + FFileName + "\": Logo #" + std::to_string(int32_t(AId)) +
                   " ist zu gro\xDF (" + std::to_string(e.Width) + " x " +
                   std::to_string(e.Height) + " Pixel)!");
  }
}

}  // namespace jw
