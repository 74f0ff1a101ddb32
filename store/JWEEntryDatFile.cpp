#include "store/JWEEntryDatFile.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "store/JWError.h"
#include "store/ZDGeo.h"
#include "store/ZDTelNum.h"

namespace jw {

namespace {

using namespace entryrec;

uint32_t GetU32(const uint8_t* AData) {
  return uint32_t(AData[0]) | uint32_t(AData[1]) << 8 | uint32_t(AData[2]) << 16 |
         uint32_t(AData[3]) << 24;
}

// A length byte larger than the field's room would reach into the following fields; only the
// room belongs to the field.
std::string GetShortStr(const TJWFileRec& ARec, TShortStr AField) {
  const size_t len = std::min<size_t>(ARec.Fixed[AField.Offset], AField.Room);
  return std::string(reinterpret_cast<const char*>(&ARec.Fixed[AField.Offset + 1]), len);
}

std::string IdText(uint32_t AId) {
  return std::to_string(int32_t(AId));
}

std::string Cut(const std::string& AText, size_t ARoom) {
  return AText.substr(0, ARoom);
}

}  // namespace

TJWEEntryDatFile::TJWEEntryDatFile(const std::string& AFileName, TJWLogoSource* ALogoFile)
    : FFileName(ResolveDataFileName(AFileName)), FLogoFile(ALogoFile) {}

TJWEEntryDatFile::~TJWEEntryDatFile() {
  Close();
}

void TJWEEntryDatFile::SetFileName(const std::string& AFileName) {
  Close();
  FFileName = AFileName;
}

void TJWEEntryDatFile::SetFolder(std::shared_ptr<TJWFolderView> AFolder,
                                 const std::string& ARelative) {
  FFile.SetFolder(std::move(AFolder), ARelative);
}

void TJWEEntryDatFile::Open() {
  FProbed.clear();
  FFile.Open(FFileName);
  // A file shorter than its header reads as an empty index, like any other read past the end.
  uint8_t header[kHeaderSize] = {};
  FFile.ReadAt(0, header, sizeof header);
  FCount = GetU32(header);
  FDataStart = kHeaderSize + uint64_t(kIndexEntrySize) * FCount;
  FFileSize = FFile.Size();
  if (FCount > 0 && FDataStart > FFileSize) {
    Close();
    FailDamaged("der Index ist l\xE4nger als die Datei");
  }
}

void TJWEEntryDatFile::Close() {
  FFile.Close();
  FProbed.clear();
  FCount = 0;
  FDataStart = 0;
  FFileSize = 0;
}

void TJWEEntryDatFile::EnsureOpen() {
  if (!IsOpen()) Open();
}

uint32_t TJWEEntryDatFile::GetCount() {
  EnsureOpen();
  return FCount;
}

void TJWEEntryDatFile::FailDamaged(const std::string& AReason) const {
  throw EJWError("Datei \"" + FFileName +
                 "\" ist besch\xE4"
                 "digt: " +
                 AReason + "!");
}

TJWIndexEntry TJWEEntryDatFile::ReadIndexEntry(uint32_t AIndex) {
  uint8_t raw[kIndexEntrySize];
  if (FFile.ReadAt(kHeaderSize + uint64_t(kIndexEntrySize) * AIndex, raw, sizeof raw) != sizeof raw)
    FailDamaged("der Index ist l\xE4nger als die Datei");  // the file shrank while open
  return {GetU32(raw), GetU32(raw + 4), GetU32(raw + 8)};
}

TJWIndexEntry TJWEEntryDatFile::Lookup(uint32_t AId) {
  EnsureOpen();
  if (FCount == 0) return {};
  // The bounds move to mid rather than past it and both ends are tested on every pass, so the last
  // two candidates are always examined. Ids compare as signed numbers. Index entries are read from
  // the file as they are probed; once the range is small, it is read in one go.
  const int32_t id = int32_t(AId);
  int64_t lo = 0, hi = int64_t(FCount) - 1;
  constexpr int64_t kWindowEntries = 4096 / kIndexEntrySize;
  uint8_t window[kWindowEntries * kIndexEntrySize];
  int64_t windowLo = -1, windowCount = 0;
  auto probe = [&](int64_t AIndex) -> TJWIndexEntry {
    if (AIndex >= windowLo && AIndex < windowLo + windowCount) {
      const uint8_t* raw = window + (AIndex - windowLo) * kIndexEntrySize;
      return {GetU32(raw), GetU32(raw + 4), GetU32(raw + 8)};
    }
    const auto known = FProbed.find(uint32_t(AIndex));
    if (known != FProbed.end()) return known->second;
    const TJWIndexEntry read = ReadIndexEntry(uint32_t(AIndex));
    if (FProbed.size() < kMaxProbed) FProbed.emplace(uint32_t(AIndex), read);
    return read;
  };

  TJWIndexEntry loEntry = probe(0);
  TJWIndexEntry hiEntry = hi == 0 ? loEntry : probe(hi);
  std::optional<TJWIndexEntry> found;
  do {
    if (windowCount == 0 && hi - lo + 1 <= kWindowEntries) {
      const size_t bytes = size_t(hi - lo + 1) * kIndexEntrySize;
      if (FFile.ReadAt(kHeaderSize + uint64_t(lo) * kIndexEntrySize, window, bytes) != bytes)
        FailDamaged("der Index ist l\xE4nger als die Datei");
      windowLo = lo;
      windowCount = hi - lo + 1;
    }
    const int64_t mid = (lo + hi) / 2;
    const TJWIndexEntry midEntry = mid == lo ? loEntry : mid == hi ? hiEntry : probe(mid);
    if (int32_t(midEntry.Id) < id) {
      lo = mid;
      loEntry = midEntry;
    } else if (int32_t(midEntry.Id) > id) {
      hi = mid;
      hiEntry = midEntry;
    } else {
      found = midEntry;
    }
    if (int32_t(loEntry.Id) == id) found = loEntry;
    if (int32_t(hiEntry.Id) == id) found = hiEntry;
  } while (!found && hi - lo > 1);
  return found ? *found : TJWIndexEntry{};
}

TJWFileRec TJWEEntryDatFile::LoadFileRec(const TJWIndexEntry& AEntry, bool AFixedOnly) {
  EnsureOpen();
  TJWFileRec rec;
  // A record must lie wholly inside the file: one cut short (a truncated copy, a file that shrank
  // while open) is damaged, not an entry with empty fields.
  const uint64_t start = FDataStart + AEntry.Offset;
  auto failCut = [&] {
    FailDamaged("#" + IdText(AEntry.Id) + " JW Eintrag (endet hinter dem Dateiende)");
  };
  if (start > FFileSize || AEntry.Size > FFileSize - start) failCut();
  std::vector<uint8_t> packed(AEntry.Size);
  if (FFile.ReadAt(start, packed.data(), packed.size()) != packed.size()) failCut();
  TJWRawInflater inflater(packed.data(), packed.size());
  auto failCorrupt = [&] {
    FailDamaged("#" + IdText(AEntry.Id) + " JW Eintrag (" + inflater.Error() + ")");
  };

  inflater.ReadFixed(rec.Fixed.data(), rec.Fixed.size());
  if (inflater.Corrupt()) failCorrupt();
  // The block pointers only mean something in the memory of the program that wrote the file.
  std::memset(&rec.Fixed[BlockPointers], 0, BlockPointersSize);
  if (AFixedOnly) return rec;

  // Stated sizes are only upper bounds: a block holds what the stream delivers, and the whole
  // record never grows past kMaxInflatedEntry however large the stated sizes are.
  size_t budget = kMaxInflatedEntry - kFixedSize;
  std::vector<uint8_t> buffer;
  for (int block = bkIndustries; block <= bkBranches; ++block) {
    const size_t stated = GetU32(&rec.Fixed[BlockSizeOffset[block]]);
    buffer.clear();
    const size_t got = inflater.Read(buffer, std::min(stated, budget));
    if (inflater.Corrupt()) failCorrupt();
    budget -= got;
    if (stated > got && budget == 0 && inflater.Read(buffer, 1) > 0)
      FailDamaged("#" + IdText(AEntry.Id) + " JW Eintrag ist zu gro\xDF");
    rec.Blocks[block].assign(buffer.begin(), buffer.begin() + got);
  }
  return rec;
}

void TJWEEntryDatFile::LoadEntry(uint32_t AId, TJW2DataRec& ARecord) {
  const TJWIndexEntry entry = Lookup(AId);
  if (entry.Size == 0) throw EJWError("#" + IdText(AId) + " JW Eintrag nicht gefunden!");
  const TJWFileRec rec = LoadFileRec(entry);

  TJW2DataRec r;  // filled completely before it replaces the caller's record
  const uint32_t storedId = GetU32(&rec.Fixed[Id]);
  r.Id = IdText(storedId);
  r.TemplateId = int32_t(GetU32(&rec.Fixed[TemplateId]));
  r.Code5 = GetShortStr(rec, Code5);
  r.Code6 = GetShortStr(rec, Code6);
  r.NamePart1 = GetShortStr(rec, NamePart1);
  r.NamePart6 = GetShortStr(rec, NamePart6);
  r.NamePart7 = GetShortStr(rec, NamePart7);
  r.NamePart2 = GetShortStr(rec, NamePart2);
  r.NamePart4 = GetShortStr(rec, NamePart4);
  r.NamePart5 = GetShortStr(rec, NamePart5);
  r.NameFormat = GetShortStr(rec, NameFormat);
  r.ExtraText3 = GetShortStr(rec, ExtraText3);
  r.NamePart3 = GetShortStr(rec, NamePart3);
  r.Slogan = GetShortStr(rec, Slogan);
  r.Street = GetShortStr(rec, Street);
  r.StreetNo = GetShortStr(rec, StreetNo);
  r.StreetAdd = GetShortStr(rec, StreetAdd);
  r.Zip = GetShortStr(rec, Zip);
  r.City = GetShortStr(rec, City);
  r.PhonePrefix = GetShortStr(rec, PhonePrefix);
  r.PhoneNumber = GetShortStr(rec, PhoneNumber);
  r.FaxPrefix = GetShortStr(rec, FaxPrefix);
  r.FaxNumber = GetShortStr(rec, FaxNumber);
  r.MobilePrefix = GetShortStr(rec, MobilePrefix);
  r.MobileNumber = GetShortStr(rec, MobileNumber);
  r.EMail = GetShortStr(rec, EMail);
  r.Url = GetShortStr(rec, Url);
  r.PortalPage = GetShortStr(rec, PortalPage);
  r.CardVisa = rec.Fixed[CardVisa];
  r.CardAmex = rec.Fixed[CardAmex];
  r.CardEurocard = rec.Fixed[CardEurocard];
  r.CardDiners = rec.Fixed[CardDiners];
  r.CardEC = rec.Fixed[CardEC];
  r.HideLocation = rec.Fixed[HideLocation];
  r.PosX = GetShortStr(rec, PosX);
  r.PosY = GetShortStr(rec, PosY);
  r.BranchCaption = int32_t(GetU32(&rec.Fixed[BranchCaption]));
  r.EnhInfoKind = int32_t(GetU32(&rec.Fixed[EnhInfoKind]));
  r.OfficeHoursKind = int32_t(GetU32(&rec.Fixed[OfficeHoursKind]));

  // A block of separators alone would make one string per byte: lists are counted before they
  // are built, and the branch block before any branch is looked up.
  for (int block : {bkIndustries, bkSearchwords, bkOfficeHours, bkEnhInfo}) {
    const size_t items = CountListItems(rec.Blocks[block]);
    if (items > limits::MaxListItems)
      FailDamaged("#" + IdText(AId) + " JW Eintrag hat zu viele Listeneintr\xE4ge (" +
                  std::to_string(items) + ")");
  }
  const std::string& ids = rec.Blocks[bkBranches];
  if (ids.size() / 4 > limits::MaxBranchIds)
    FailDamaged("#" + IdText(AId) + " JW Eintrag hat zu viele Filialen (" +
                std::to_string(ids.size() / 4) + ")");

  r.Industries = SplitListBlock(rec.Blocks[bkIndustries]);
  SortGermanList(r.Industries);
  r.Searchwords = SplitListBlock(rec.Blocks[bkSearchwords]);
  SortGermanList(r.Searchwords);
  r.OfficeHours = SplitListBlock(rec.Blocks[bkOfficeHours]);
  r.EnhInfo = SplitListBlock(rec.Blocks[bkEnhInfo]);

  if (!ids.empty()) {
    r.Branches.emplace();
    // Each distinct identifier is looked up and inflated once; a repeated one is copied.
    std::unordered_map<uint32_t, std::optional<TJWBranchRec>> loaded;
    for (size_t i = 0; i + 4 <= ids.size(); i += 4) {
      const uint32_t id = GetU32(reinterpret_cast<const uint8_t*>(ids.data() + i));
      auto [it, fresh] = loaded.try_emplace(id);
      if (fresh) it->second = LoadBranch(id);
      if (it->second) r.Branches->push_back(*it->second);
    }
  }
  if (FLogoFile != nullptr) r.Logo = FLogoFile->GetLogo(storedId);
  r.BusinessTypes = BusinessTypesFromBlock(rec.Blocks[bkBusinessTypes]);
  ARecord = std::move(r);
}

std::optional<TJWBranchRec> TJWEEntryDatFile::LoadBranch(uint32_t AId) {
  const TJWIndexEntry entry = Lookup(AId);
  if (entry.Size == 0) return std::nullopt;
  // A branch needs only its entry's fixed part; its own lists, branches and logo play no part.
  const TJWFileRec rec = LoadFileRec(entry, true);

  TJW2DataRec names;
  names.NamePart1 = GetShortStr(rec, NamePart1);
  names.NamePart2 = GetShortStr(rec, NamePart2);
  names.NamePart3 = GetShortStr(rec, NamePart3);
  names.NamePart4 = GetShortStr(rec, NamePart4);
  names.NamePart5 = GetShortStr(rec, NamePart5);
  names.NamePart6 = GetShortStr(rec, NamePart6);
  names.NamePart7 = GetShortStr(rec, NamePart7);
  names.NameFormat = GetShortStr(rec, NameFormat);

  TJWBranchRec b;
  b.Zip = Cut(GetShortStr(rec, Zip), 5);
  b.City = Cut(GetShortStr(rec, City), 100);
  b.Street = Cut(GetShortStr(rec, Street), 100);
  b.StreetNo = Cut(GetShortStr(rec, StreetNo), 10);
  b.StreetAdd = Cut(GetShortStr(rec, StreetAdd), 20);
  b.Phone = Cut(FormatTelNum(GetShortStr(rec, PhonePrefix), GetShortStr(rec, PhoneNumber)), 30);
  b.BranchId = GetU32(&rec.Fixed[Id]);
  b.Firm = Cut(FormatEntryName(names, names.NameFormat), 130);
  b.Code = Cut(GetShortStr(rec, Code6), 20);
  b.X = GeoStrToMinutes(GetShortStr(rec, PosX)) / 60;
  b.Y = GeoStrToMinutes(GetShortStr(rec, PosY)) / 60;
  return b;
}

void TJWEEntryDatFile::ReleaseEntry(TJW2DataRec& ARecord) {
  ARecord = TJW2DataRec();
}

}  // namespace jw
