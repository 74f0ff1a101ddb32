#pragma once
// Writes entry data files ("JWDAT.SRM") from readable entry records, including deliberately
// damaged ones for the reader's tests.
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "store/JWEEntryDatFile.h"
#include "store/JWEStruct.h"

namespace jw {

// One entry to write. Record.Id and Record.Branches are ignored: Id and BranchIds are written.
// Lists are written in the order given; BusinessTypes items are separated by ",".
struct TJWEntryFixture {
  uint32_t Id = 0;
  TJW2DataRec Record;
  std::vector<uint32_t> BranchIds;

  // Damage, for tests of the reader. Unset knobs write a sound entry.
  std::optional<std::array<uint32_t, 6>> StatedBlockSizes;  // size fields, in block order A..F
  std::vector<std::pair<size_t, std::vector<uint8_t>>> FixedPatches;  // bytes over the fixed part
  std::optional<size_t> InflatedLength;            // cut the record before compressing it
  std::optional<size_t> CompressedLength;          // cut the compressed stream
  std::optional<std::vector<uint8_t>> RawPayload;  // stored instead of the compressed record
  std::optional<uint32_t> IndexId, IndexOffset, IndexSize;  // index entry overrides
};

// The inflated record: fixed part and the six blocks. Fails (EJWError) when a text is longer than
// its field's room or a list item holds the separator byte 0xFF.
std::vector<uint8_t> EncodeEntryRecord(const TJWEntryFixture& AEntry);
// The bytes stored in the file for the entry (compressed, damage applied).
std::vector<uint8_t> EncodeEntryPayload(const TJWEntryFixture& AEntry);

class TJWDatWriter {
 public:
  explicit TJWDatWriter(std::string APath);
  ~TJWDatWriter();
  TJWDatWriter(const TJWDatWriter&) = delete;
  TJWDatWriter& operator=(const TJWDatWriter&) = delete;

  void Add(const TJWEntryFixture& AEntry);
  // Appends ready payload bytes for AId (index Size = payload size, unless overridden).
  void AddPayload(uint32_t AId, const std::vector<uint8_t>& APayload,
                  std::optional<uint32_t> AIndexOffset = std::nullopt,
                  std::optional<uint32_t> AIndexSize = std::nullopt);
  // Index entries are sorted by signed id unless this is switched off (they then stay in the order
  // added, for files with a broken index).
  void SetSortIndex(bool ASort) { FSortIndex = ASort; }
  // The header's Count; by default the number of index entries.
  void SetCount(uint32_t ACount) { FCount = ACount; }
  // Writes the file. Nothing is written before.
  void Finish();

 private:
  std::string FPath;
  std::FILE* FData = nullptr;  // the data area, collected in a temporary file
  uint64_t FDataSize = 0;
  std::vector<TJWIndexEntry> FIndex;
  bool FSortIndex = true;
  std::optional<uint32_t> FCount;
};

// Writes a whole file in one go.
void WriteEntryDatFile(const std::string& APath, const std::vector<TJWEntryFixture>& AEntries);

}  // namespace jw
