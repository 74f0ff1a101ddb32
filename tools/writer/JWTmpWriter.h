#pragma once
// Writes template data files ("JWTMP.SRM"): header, 40-byte template entries and the data area
// with the compressed pictures.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "store/JWETemplateDatFile.h"

namespace jw {

struct TJWTemplateFixture {
  uint32_t Id = 0;
  // Bitmap files; an empty one is stored with size 0 (no picture).
  std::vector<uint8_t> Image, Button1, Button2;
  int32_t NavigationLeft = 0;
  uint32_t BackgroundColor = 0;  // 0x00BBGGRR
  int32_t CaptionLeft = 0;
};

class TJWTmpWriter {
 public:
  explicit TJWTmpWriter(std::string APath) : FPath(std::move(APath)) {}

  // Compresses the three pictures into the data area and appends the template's entry.
  void Add(const TJWTemplateFixture& ATemplate);
  // Appends bytes to the data area, compressed unless ARaw; returns (offset, stored size).
  std::pair<uint32_t, uint32_t> AddData(const std::vector<uint8_t>& ABytes, bool ARaw = false);
  // Appends an entry as given (offsets relative to the data area, see AddData).
  void AddEntry(const TJWTemplateEntry& AEntry) { FEntries.push_back(AEntry); }

  void SetDefaultId(uint32_t AId) { FDefaultId = AId; }
  // Header overrides, for damaged files.
  void SetCount(uint32_t ACount) { FCount = ACount; }
  void SetEntrySize(uint32_t ASize) { FEntrySize = ASize; }
  // Writes the file (nothing is written before). Fails with EJWError when it cannot.
  void Finish();

 private:
  std::string FPath;
  std::vector<TJWTemplateEntry> FEntries;
  std::vector<uint8_t> FData;
  uint32_t FDefaultId = 1;
  uint32_t FEntrySize = TJWETemplateDatFile::EntrySize;
  std::optional<uint32_t> FCount;
};

}  // namespace jw
