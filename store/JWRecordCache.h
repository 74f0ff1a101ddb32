#pragma once
// The process-wide cache of records that are expensive to make and never change once made:
// decoded template pictures and logos, picture sizes, template text files. Keys name the file a
// record came from by its identity (device, inode, size, modification time), so a replaced or
// rewritten file can never be answered from an old record; old records simply age out.
//
// Records are immutable and shared: a caller keeps what it was given for as long as it likes, even
// after the cache dropped it. The cache is safe to use from any thread.
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "store/JWBitmap.h"
#include "store/JWPlatform.h"

namespace jw {

class TJWRecordCache {
 public:
  // Bytes the process-wide cache holds at most.
  static constexpr size_t DefaultBound = size_t{64} << 20;

  explicit TJWRecordCache(size_t ABound = DefaultBound) : FBound(ABound) {}
  TJWRecordCache(const TJWRecordCache&) = delete;
  TJWRecordCache& operator=(const TJWRecordCache&) = delete;

  // The cache every reader of the process shares.
  static TJWRecordCache& Instance();

  // The record stored under AKey (and marks it as just used), or null.
  template <class T>
  std::shared_ptr<const T> Find(const std::string& AKey) {
    return std::static_pointer_cast<const T>(FindAny(AKey));
  }
  // Stores ARecord, which occupies ABytes, under AKey, dropping the least recently used records
  // until the bound holds. A record larger than the whole bound is not kept.
  template <class T>
  void Put(const std::string& AKey, std::shared_ptr<const T> ARecord, size_t ABytes) {
    PutAny(AKey, std::static_pointer_cast<const void>(std::move(ARecord)), ABytes);
  }
  // Find, or else AMake() stored with AMeasure(record) bytes. AMake runs without the cache's lock
  // (two threads may make the same record at once; both get a good one).
  template <class T, class FMake, class FMeasure>
  std::shared_ptr<const T> Get(const std::string& AKey, FMake&& AMake, FMeasure&& AMeasure) {
    if (auto found = Find<T>(AKey)) return found;
    std::shared_ptr<const T> made = AMake();
    Put<T>(AKey, made, AMeasure(*made));
    return made;
  }

  size_t Bytes() const;  // bytes of the records held now
  size_t Count() const;
  size_t Bound() const;
  void SetBound(size_t ABound);  // drops records at once when the new bound is smaller
  void Clear();

  // A key part naming one version of one file (always of the same length).
  static std::string FileKey(const platform::TFileIdentity& AIdentity);

 private:
  struct TItem {
    std::string Key;
    std::shared_ptr<const void> Record;
    size_t Bytes;
  };
  std::shared_ptr<const void> FindAny(const std::string& AKey);
  void PutAny(const std::string& AKey, std::shared_ptr<const void> ARecord, size_t ABytes);
  void Shrink();  // with FLock held

  mutable std::mutex FLock;
  size_t FBound;
  size_t FBytes = 0;
  std::list<TItem> FItems;  // most recently used first
  std::unordered_map<std::string, std::list<TItem>::iterator> FIndex;
};

// The key of a picture record: AKind ('P' decoded pixels, 'S' size only, 'L' a logo) of the
// ASize compressed bytes at AOffset of one version of a file. Empty (do not cache) when the file's
// identity is unknown.
std::string PictureKey(char AKind, const platform::TFileIdentity& AFile, uint64_t AOffset,
                       uint32_t ASize);
// What a decoded picture occupies.
size_t BitmapBytes(const TJWBitmap& ABitmap);

}  // namespace jw
