#pragma once
// Finished pages kept for the next request that asks for the same. A page depends on nothing but
// its request (entry, page, location flags, data path, include folder), the values of the request
// parameters it read, and the files it read. So a page is kept in a cache with what the
// call found in its two folders and handed out again only after each of those files was checked
// once more and found unchanged: a host asking again and again pays little more than that check,
// and a file changed, removed or put back between two calls is seen at the next one, as before.
// Parameters a page never read (a host's cache breaker, tracking tags) do not make it new.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace jw {

class TJWFolderView;
class TJWHTMLProducer;

struct TJWPageRequest {
  std::string DataPath;
  std::string IncludePath;
  std::string Query;
  uint32_t EntryId = 0;
  uint32_t PageIndex = 0;
  bool ShowLocation = false;
  bool ForceLocation = false;
};

class TJWPageCache {
 public:
  // Bytes of pages kept at most (the least recently used go first).
  static constexpr size_t Bound = size_t{16} << 20;
  // A larger page is made anew each time rather than push everything else out of the cache.
  static constexpr size_t MaxPageBytes = size_t{1} << 20;
  // Pages of a request whose pages read more parameters than this by name are not kept.
  static constexpr size_t MaxParamsRead = 256;

  // The page kept for ARequest, when every file it was made from is unchanged; else null.
  static std::shared_ptr<const std::string> Find(const TJWPageRequest& ARequest);
  // Keeps APage, made by AProducer (whose include folder the call read) for ARequest, with the
  // data files the call checked in AData.
  static void Put(const TJWPageRequest& ARequest, TJWHTMLProducer& AProducer,
                  const TJWFolderView& AData, const std::string& APage);
};

}  // namespace jw
