#include "store/JWRecordCache.h"

namespace jw {

TJWRecordCache& TJWRecordCache::Instance() {
  // Never destroyed: viewer windows and host threads may still hold and use records while the
  // process ends.
  static TJWRecordCache* cache = new TJWRecordCache();
  return *cache;
}

std::shared_ptr<const void> TJWRecordCache::FindAny(const std::string& AKey) {
  std::lock_guard<std::mutex> lock(FLock);
  const auto it = FIndex.find(AKey);
  if (it == FIndex.end()) return nullptr;
  FItems.splice(FItems.begin(), FItems, it->second);
  return it->second->Record;
}

void TJWRecordCache::PutAny(const std::string& AKey, std::shared_ptr<const void> ARecord,
                            size_t ABytes) {
  // The key and the bookkeeping count too, so that many small records respect the bound as well.
  ABytes += AKey.size() + sizeof(TItem) + 64;
  std::lock_guard<std::mutex> lock(FLock);
  const auto it = FIndex.find(AKey);
  if (it != FIndex.end()) {
    FBytes -= it->second->Bytes;
    FItems.erase(it->second);
    FIndex.erase(it);
  }
  if (ABytes > FBound) return;
  FItems.push_front(TItem{AKey, std::move(ARecord), ABytes});
  FIndex.emplace(AKey, FItems.begin());
  FBytes += ABytes;
  Shrink();
}

void TJWRecordCache::Shrink() {
  while (FBytes > FBound && !FItems.empty()) {
    FBytes -= FItems.back().Bytes;
    FIndex.erase(FItems.back().Key);
    FItems.pop_back();
  }
}

size_t TJWRecordCache::Bytes() const {
  std::lock_guard<std::mutex> lock(FLock);
  return FBytes;
}

size_t TJWRecordCache::Count() const {
  std::lock_guard<std::mutex> lock(FLock);
  return FItems.size();
}

size_t TJWRecordCache::Bound() const {
  std::lock_guard<std::mutex> lock(FLock);
  return FBound;
}

void TJWRecordCache::SetBound(size_t ABound) {
  std::lock_guard<std::mutex> lock(FLock);
  FBound = ABound;
  Shrink();
}

void TJWRecordCache::Clear() {
  std::lock_guard<std::mutex> lock(FLock);
  FItems.clear();
  FIndex.clear();
  FBytes = 0;
}

std::string TJWRecordCache::FileKey(const platform::TFileIdentity& AIdentity) {
  // Fixed-length bytes, looked up on every use of a file: no number formatting.
  const uint64_t parts[4] = {AIdentity.Device, AIdentity.Inode, AIdentity.Size,
                             uint64_t(AIdentity.ModifiedNs)};
  return std::string(reinterpret_cast<const char*>(parts), sizeof parts);
}

std::string PictureKey(char AKind, const platform::TFileIdentity& AFile, uint64_t AOffset,
                       uint32_t ASize) {
  if (AFile == platform::TFileIdentity{}) return std::string();  // an unknown file is not cached
  return std::string(1, AKind) + TJWRecordCache::FileKey(AFile) + '@' + std::to_string(AOffset) +
         '+' + std::to_string(ASize);
}

size_t BitmapBytes(const TJWBitmap& ABitmap) {
  return sizeof(TJWBitmap) + ABitmap.Pixels.capacity() * sizeof(uint32_t);
}

}  // namespace jw
