#pragma once
// Reader of the logo data file ("JWIMG.SRM"): an index from entry identifier to the ordinal of a
// compressed bitmap, and the bitmaps one after the other, each behind its length.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "store/JWBitmap.h"
#include "store/JWDatFileIO.h"

namespace jw {

// One 8-byte index entry.
struct TJWLogoEntry {
  uint32_t Id = 0;
  uint32_t ImageNo = 0;  // ordinal (from 0) of the entry's image in the image sequence
};

class TJWELogoDatFile : public TJWLogoSource {
 public:
  // Room of the index: a file with more entries is refused.
  static constexpr uint32_t MaxEntries = 128001;

  // A name without a directory is taken from the current directory. Does not open the file.
  explicit TJWELogoDatFile(const std::string& AFileName);
  ~TJWELogoDatFile() override;
  TJWELogoDatFile(const TJWELogoDatFile&) = delete;
  TJWELogoDatFile& operator=(const TJWELogoDatFile&) = delete;

  const std::string& GetFileName() const { return FFileName; }
  // Closes the reader and stores AFileName unchanged.
  void SetFileName(const std::string& AFileName);
  // Opens the file as ARelative inside AFolder (a call's view of the data folder); the file name
  // only names it in messages. Null goes back to opening by name.
  void SetFolder(std::shared_ptr<TJWFolderView> AFolder, const std::string& ARelative);

  bool IsOpen() const { return FStream.IsOpen(); }
  // Opens the file and reads the index. Fails with the data files' three messages, or when the
  // index has more than MaxEntries entries.
  void Open();
  void Close();

  // The compressed bytes of image AImageNo; "Out of Filesize!" when the file holds fewer images.
  // Reads the length prefixes in large blocks and remembers where every 1024th image starts.
  std::vector<uint8_t> ReadImage(uint32_t AImageNo);
  // The logo of entry AId (the first index entry for it wins), or null when it has none.
  std::shared_ptr<const TJWBitmap> GetLogo(uint32_t AId) override;
  // Who the open file is (all zero when closed).
  platform::TFileIdentity FileIdentity() const { return FStream.Identity(); }

  int32_t GetCount() const { return int32_t(FEntries.size()); }
  uint64_t GetDataStart() const { return FDataStart; }

 private:
  TJWDatFileIO FStream;
  std::string FFileName;
  uint64_t FDataStart = 0;
  std::vector<TJWLogoEntry> FEntries;
  // Where image k * CheckpointStep starts, as far as a walk has got since the file was opened.
  static constexpr uint32_t CheckpointStep = 1024;
  std::vector<uint64_t> FCheckpoints;
};

}  // namespace jw
