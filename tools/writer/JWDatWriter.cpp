#include "tools/writer/JWDatWriter.h"

#include <algorithm>
#include <cstring>

#include "store/JWError.h"
#include "tools/writer/DeflateRaw.h"

namespace jw {

namespace {

using namespace entryrec;

void PutU32(uint8_t* AAt, uint32_t AValue) {
  for (int i = 0; i < 4; ++i) AAt[i] = uint8_t(AValue >> (8 * i));
}

void PutShortStr(std::vector<uint8_t>& AFixed, TShortStr AField, const std::string& AText,
                 const char* AName) {
  if (AText.size() > AField.Room)
    throw EJWError(std::string(AName) + ": text longer than " + std::to_string(AField.Room) +
                   " characters");
  AFixed[AField.Offset] = uint8_t(AText.size());
  std::memcpy(&AFixed[AField.Offset + 1], AText.data(), AText.size());
}

std::string JoinList(const TStringList& AItems, const char* AName) {
  std::string block;
  for (size_t i = 0; i < AItems.size(); ++i) {
    if (AItems[i].find('\xFF') != std::string::npos)
      throw EJWError(std::string(AName) + ": an item holds the separator byte 0xFF");
    if (i > 0) block += '\xFF';
    block += AItems[i];
  }
  // A last empty item needs its own separator, else it would not be read back.
  if (!AItems.empty() && AItems.back().empty()) block += '\xFF';
  return block;
}

}  // namespace

std::vector<uint8_t> EncodeEntryRecord(const TJWEntryFixture& AEntry) {
  const TJW2DataRec& r = AEntry.Record;
  std::vector<uint8_t> fixed(kFixedSize, 0);
  PutU32(&fixed[Id], AEntry.Id);
#define JW_PUT(field) PutShortStr(fixed, entryrec::field, r.field, #field)
  JW_PUT(Code5);
  JW_PUT(Code6);
  JW_PUT(NamePart1);
  JW_PUT(NamePart6);
  JW_PUT(NamePart7);
  JW_PUT(NamePart2);
  JW_PUT(NamePart4);
  JW_PUT(NamePart5);
  JW_PUT(NameFormat);
  JW_PUT(ExtraText3);
  JW_PUT(NamePart3);
  JW_PUT(Slogan);
  JW_PUT(Street);
  JW_PUT(StreetNo);
  JW_PUT(StreetAdd);
  JW_PUT(Zip);
  JW_PUT(City);
  JW_PUT(PhonePrefix);
  JW_PUT(PhoneNumber);
  JW_PUT(FaxPrefix);
  JW_PUT(FaxNumber);
  JW_PUT(MobilePrefix);
  JW_PUT(MobileNumber);
  JW_PUT(EMail);
  JW_PUT(Url);
  JW_PUT(PortalPage);
  JW_PUT(PosX);
  JW_PUT(PosY);
#undef JW_PUT
  fixed[CardVisa] = r.CardVisa;
  fixed[CardAmex] = r.CardAmex;
  fixed[CardEurocard] = r.CardEurocard;
  fixed[CardDiners] = r.CardDiners;
  fixed[CardEC] = r.CardEC;
  fixed[HideLocation] = r.HideLocation;
  PutU32(&fixed[BranchCaption], uint32_t(r.BranchCaption));
  PutU32(&fixed[EnhInfoKind], uint32_t(r.EnhInfoKind));
  PutU32(&fixed[OfficeHoursKind], uint32_t(r.OfficeHoursKind));
  PutU32(&fixed[TemplateId], uint32_t(r.TemplateId));

  std::array<std::string, 6> blocks;
  blocks[bkIndustries] = JoinList(r.Industries, "Industries");
  blocks[bkSearchwords] = JoinList(r.Searchwords, "Searchwords");
  blocks[bkEnhInfo] = JoinList(r.EnhInfo, "EnhInfo");
  blocks[bkOfficeHours] = JoinList(r.OfficeHours, "OfficeHours");
  if (r.BusinessTypes.find('\xFF') != std::string::npos)
    throw EJWError("BusinessTypes: the text holds the separator byte 0xFF");
  blocks[bkBusinessTypes] = r.BusinessTypes;
  std::replace(blocks[bkBusinessTypes].begin(), blocks[bkBusinessTypes].end(), ',', '\xFF');
  for (uint32_t id : AEntry.BranchIds) {
    uint8_t raw[4];
    PutU32(raw, id);
    blocks[bkBranches].append(reinterpret_cast<const char*>(raw), 4);
  }
  for (int b = 0; b < 6; ++b) {
    const uint32_t stated =
        AEntry.StatedBlockSizes ? (*AEntry.StatedBlockSizes)[b] : uint32_t(blocks[b].size());
    PutU32(&fixed[BlockSizeOffset[b]], stated);
  }
  for (const auto& [offset, bytes] : AEntry.FixedPatches) {
    if (offset + bytes.size() > fixed.size()) throw EJWError("fixed-part patch out of range");
    std::copy(bytes.begin(), bytes.end(), fixed.begin() + offset);
  }

  std::vector<uint8_t> record = std::move(fixed);
  for (const auto& block : blocks) record.insert(record.end(), block.begin(), block.end());
  if (AEntry.InflatedLength) record.resize(std::min(record.size(), *AEntry.InflatedLength));
  return record;
}

std::vector<uint8_t> EncodeEntryPayload(const TJWEntryFixture& AEntry) {
  std::vector<uint8_t> payload =
      AEntry.RawPayload ? *AEntry.RawPayload : DeflateRaw(EncodeEntryRecord(AEntry));
  if (AEntry.CompressedLength) payload.resize(std::min(payload.size(), *AEntry.CompressedLength));
  return payload;
}

TJWDatWriter::TJWDatWriter(std::string APath) : FPath(std::move(APath)), FData(std::tmpfile()) {
  if (FData == nullptr) throw EJWError("cannot create a temporary file");
}

TJWDatWriter::~TJWDatWriter() {
  if (FData != nullptr) std::fclose(FData);
}

void TJWDatWriter::Add(const TJWEntryFixture& AEntry) {
  AddPayload(AEntry.IndexId.value_or(AEntry.Id), EncodeEntryPayload(AEntry), AEntry.IndexOffset,
             AEntry.IndexSize);
}

void TJWDatWriter::AddPayload(uint32_t AId, const std::vector<uint8_t>& APayload,
                              std::optional<uint32_t> AIndexOffset,
                              std::optional<uint32_t> AIndexSize) {
  if (FDataSize + APayload.size() > UINT32_MAX) throw EJWError("the data area would exceed 4 GiB");
  TJWIndexEntry entry{AId, uint32_t(FDataSize), uint32_t(APayload.size())};
  if (AIndexOffset) entry.Offset = *AIndexOffset;
  if (AIndexSize) entry.Size = *AIndexSize;
  FIndex.push_back(entry);
  if (!APayload.empty() &&
      std::fwrite(APayload.data(), 1, APayload.size(), FData) != APayload.size())
    throw EJWError("cannot write the temporary data file");
  FDataSize += APayload.size();
}

void TJWDatWriter::Finish() {
  if (FSortIndex)
    std::stable_sort(FIndex.begin(), FIndex.end(),
                     [](const TJWIndexEntry& a, const TJWIndexEntry& b) {
                       return int32_t(a.Id) < int32_t(b.Id);
                     });
  std::vector<uint8_t> head(kHeaderSize + kIndexEntrySize * FIndex.size());
  PutU32(head.data(), FCount.value_or(uint32_t(FIndex.size())));
  for (size_t i = 0; i < FIndex.size(); ++i) {
    uint8_t* at = &head[kHeaderSize + kIndexEntrySize * i];
    PutU32(at, FIndex[i].Id);
    PutU32(at + 4, FIndex[i].Offset);
    PutU32(at + 8, FIndex[i].Size);
  }
  std::FILE* out = std::fopen(FPath.c_str(), "wb");
  if (out == nullptr) throw EJWError("cannot create \"" + FPath + "\"");
  bool ok = std::fwrite(head.data(), 1, head.size(), out) == head.size();
  std::rewind(FData);
  std::vector<char> chunk(1 << 20);
  for (size_t n; ok && (n = std::fread(chunk.data(), 1, chunk.size(), FData)) > 0;)
    ok = std::fwrite(chunk.data(), 1, n, out) == n;
  ok = std::fclose(out) == 0 && ok;
  if (!ok) throw EJWError("cannot write \"" + FPath + "\"");
}

void WriteEntryDatFile(const std::string& APath, const std::vector<TJWEntryFixture>& AEntries) {
  TJWDatWriter writer(APath);
  for (const auto& entry : AEntries) writer.Add(entry);
  writer.Finish();
}

}  // namespace jw
