#pragma once
// Reader of the entry data file "JWDAT.SRM": an index sorted by entry identifier, then every entry
// as its own raw deflate stream (a fixed part of 2384 bytes and six variable blocks).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/JWBitmap.h"
#include "store/JWDatFileIO.h"
#include "store/JWEStruct.h"
#include "store/JWLimits.h"

namespace jw {

// Layout of the inflated fixed part, shared with the writer.
namespace entryrec {
inline constexpr size_t kFixedSize = 2384;
inline constexpr size_t kIndexEntrySize = 12;
inline constexpr size_t kHeaderSize = 4;

struct TShortStr {
  size_t Offset;
  size_t Room;
};
inline constexpr TShortStr Code5{4, 5}, Code6{10, 6}, NamePart1{17, 100}, NamePart6{118, 50},
    NamePart7{169, 50}, NamePart2{220, 20}, NamePart4{241, 100}, NamePart5{342, 100},
    NameFormat{443, 255}, ExtraText3{699, 255}, NamePart3{955, 100}, Slogan{1056, 255},
    Street{1312, 100}, StreetNo{1413, 10}, StreetAdd{1424, 20}, Zip{1445, 10}, City{1456, 100},
    PhonePrefix{1557, 12}, PhoneNumber{1570, 20}, FaxPrefix{1591, 12}, FaxNumber{1604, 20},
    MobilePrefix{1625, 12}, MobileNumber{1638, 20}, EMail{1659, 255}, Url{1915, 255},
    PortalPage{2171, 100}, PosX{2278, 8}, PosY{2287, 8};

inline constexpr size_t Id = 0, CardVisa = 2272, CardAmex = 2273, CardEurocard = 2274,
                        CardDiners = 2275, CardEC = 2276, HideLocation = 2277, BranchCaption = 2296,
                        EnhInfoKind = 2300, OfficeHoursKind = 2304, TemplateId = 2308,
                        BlockPointers = 2360, BlockPointersSize = 24;

// The variable blocks in the order they follow the fixed part.
enum TBlock {
  bkIndustries = 0,
  bkSearchwords,
  bkEnhInfo,
  bkOfficeHours,
  bkBusinessTypes,
  bkBranches
};
// Where each block's size is stated in the fixed part (the size fields are in another order).
inline constexpr std::array<size_t, 6> BlockSizeOffset = {2312, 2320, 2336, 2328, 2352, 2344};
}  // namespace entryrec

// One index entry: where an entry's compressed bytes are, relative to the data area.
struct TJWIndexEntry {
  uint32_t Id = 0;
  uint32_t Offset = 0;
  uint32_t Size = 0;  // 0 = not present
};

// One inflated entry: the fixed part (zero-filled where the stream was short) and the six blocks
// in file order, each holding at most what the stream delivered.
struct TJWFileRec {
  std::array<uint8_t, entryrec::kFixedSize> Fixed{};
  std::array<std::string, 6> Blocks;
};

class TJWEEntryDatFile {
 public:
  // A file name without a directory is taken from the current directory. The logo source is not
  // owned and may be null (entries then load without a logo). Does not open the file.
  explicit TJWEEntryDatFile(const std::string& AFileName, TJWLogoSource* ALogoFile = nullptr);
  ~TJWEEntryDatFile();
  TJWEEntryDatFile(const TJWEEntryDatFile&) = delete;
  TJWEEntryDatFile& operator=(const TJWEEntryDatFile&) = delete;

  const std::string& GetFileName() const { return FFileName; }
  void SetFileName(const std::string& AFileName);  // closes; stores the name unchanged
  // Opens the file as ARelative inside AFolder (a call's view of the data folder); the file name
  // only names it in messages. Null goes back to opening by name.
  void SetFolder(std::shared_ptr<TJWFolderView> AFolder, const std::string& ARelative);
  TJWLogoSource* GetLogoFile() const { return FLogoFile; }
  void SetLogoFile(TJWLogoSource* ALogoFile) { FLogoFile = ALogoFile; }

  bool IsOpen() const { return FFile.IsOpen(); }
  // Who the open file is (all zero when closed).
  platform::TFileIdentity FileIdentity() const { return FFile.Identity(); }
  void Open();
  void Close();
  uint32_t GetCount();  // index entries of the file (opens it)

  // Binary search of the index; all zero when absent. Index entries are read as they are probed.
  TJWIndexEntry Lookup(uint32_t AId);
  // Reads and inflates one entry. With AFixedOnly the blocks are left empty and only the fixed
  // part is inflated.
  TJWFileRec LoadFileRec(const TJWIndexEntry& AEntry, bool AFixedOnly = false);
  // Fills a fresh record; fails with "#<id> JW Eintrag nicht gefunden!" when the entry is absent,
  // and names the file and entry when a list or the branch block is over its limit.
  void LoadEntry(uint32_t AId, TJW2DataRec& ARecord);
  // The branch record of entry AId, none when absent.
  std::optional<TJWBranchRec> LoadBranch(uint32_t AId);
  // Frees what the record owns and empties it.
  void ReleaseEntry(TJW2DataRec& ARecord);

  // Entry records beyond this inflated size are refused rather than read into memory.
  static constexpr size_t kMaxInflatedEntry = limits::MaxInflatedEntry;

 private:
  void EnsureOpen();
  TJWIndexEntry ReadIndexEntry(uint32_t AIndex);
  [[noreturn]] void FailDamaged(const std::string& AReason) const;

  std::string FFileName;
  TJWLogoSource* FLogoFile = nullptr;
  TJWDatFileIO FFile;
  // Index entries read by earlier lookups of this opening. Every search starts at the same ends and
  // halves the same ranges, so its first steps are shared by all lookups; kept, they spare a large
  // file most of its reads. Bounded, so the first steps are what it holds.
  static constexpr size_t kMaxProbed = 4096;
  std::unordered_map<uint32_t, TJWIndexEntry> FProbed;
  uint32_t FCount = 0;
  uint64_t FDataStart = 0;
  uint64_t FFileSize = 0;  // at opening
};

}  // namespace jw
