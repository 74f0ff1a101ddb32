#pragma once
// Writes logo data files ("JWIMG.SRM"): an index of (entry identifier, image ordinal) and the
// compressed bitmap files one after the other, each behind its length.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace jw {

class TJWImgWriter {
 public:
  explicit TJWImgWriter(std::string APath) : FPath(std::move(APath)) {}

  // Appends a bitmap file, compressed, to the image sequence; returns its ordinal.
  uint32_t AddImage(const std::vector<uint8_t>& ABmpFile);
  // Appends APayload as an image's stored bytes without compressing it (for damaged files).
  uint32_t AddRawImage(const std::vector<uint8_t>& APayload);
  // An index entry; entries stay in the order added.
  void AddIndex(uint32_t AId, uint32_t AImageNo) { FIndex.push_back({AId, AImageNo}); }
  // Both at once: entry AId gets the picture ABmpFile.
  void AddLogo(uint32_t AId, const std::vector<uint8_t>& ABmpFile) {
    AddIndex(AId, AddImage(ABmpFile));
  }
  // The header's Count; by default the number of index entries.
  void SetCount(uint32_t ACount) { FCount = ACount; }
  // Writes the file (nothing is written before). Fails with EJWError when it cannot.
  void Finish();

  size_t ImageCount() const { return FImages.size(); }

 private:
  struct TIndexEntry {
    uint32_t Id, ImageNo;
  };
  std::string FPath;
  std::vector<TIndexEntry> FIndex;
  std::vector<std::vector<uint8_t>> FImages;
  std::optional<uint32_t> FCount;
};

}  // namespace jw
