#include "tools/writer/JWEntryJson.h"

#include <cstdio>

#include "store/JWError.h"
#include "store/ZDCodePage.h"

namespace jw {

namespace {

using namespace entryrec;

struct TTextField {
  const char* Name;
  std::string TJW2DataRec::*Member;
};
struct TIntField {
  const char* Name;
  int32_t TJW2DataRec::*Member;
};
struct TByteField {
  const char* Name;
  uint8_t TJW2DataRec::*Member;
};
struct TListField {
  const char* Name;
  TStringList TJW2DataRec::*Member;
};

// In the record's declaration order, which is also the order of a dump.
#define JW_T(f)         \
  TTextField {          \
#f, &TJW2DataRec::f \
  }
const TTextField kTextsBeforeCards[] = {
    JW_T(Code5),     JW_T(Code6),        JW_T(NamePart1),    JW_T(NamePart6),   JW_T(NamePart7),
    JW_T(NamePart2), JW_T(NamePart4),    JW_T(NamePart5),    JW_T(NameFormat),  JW_T(ExtraText3),
    JW_T(NamePart3), JW_T(Slogan),       JW_T(Street),       JW_T(StreetNo),    JW_T(StreetAdd),
    JW_T(Zip),       JW_T(City),         JW_T(PhonePrefix),  JW_T(PhoneNumber), JW_T(FaxPrefix),
    JW_T(FaxNumber), JW_T(MobilePrefix), JW_T(MobileNumber), JW_T(EMail),       JW_T(Url),
    JW_T(PortalPage)};
const TTextField kPositions[] = {JW_T(PosX), JW_T(PosY)};
#undef JW_T
const TByteField kBytes[] = {{"CardVisa", &TJW2DataRec::CardVisa},
                             {"CardAmex", &TJW2DataRec::CardAmex},
                             {"CardEurocard", &TJW2DataRec::CardEurocard},
                             {"CardDiners", &TJW2DataRec::CardDiners},
                             {"CardEC", &TJW2DataRec::CardEC},
                             {"HideLocation", &TJW2DataRec::HideLocation}};
const TIntField kInts[] = {{"TemplateId", &TJW2DataRec::TemplateId},
                           {"BranchCaption", &TJW2DataRec::BranchCaption},
                           {"OfficeHoursKind", &TJW2DataRec::OfficeHoursKind},
                           {"EnhInfoKind", &TJW2DataRec::EnhInfoKind}};
const TListField kLists[] = {{"Industries", &TJW2DataRec::Industries},
                             {"Searchwords", &TJW2DataRec::Searchwords},
                             {"OfficeHours", &TJW2DataRec::OfficeHours},
                             {"EnhInfo", &TJW2DataRec::EnhInfo}};
// Keys of an entry object that other data files take care of.
const char* const kForeignKeys[] = {"Logo"};

std::string Utf8Name(const std::string& AText) {
  return Cp1252ToUtf8(AText);
}

class TEntryReader {
 public:
  explicit TEntryReader(const TJWJson& AJson) : FJson(AJson) {}

  [[noreturn]] void Fail(const std::string& AKey, const std::string& AWhat) const {
    std::string where = "entry";
    if (FJson.is_object() && FJson.contains("Id")) where += " " + FJson["Id"].dump();
    if (!AKey.empty()) where += ", field \"" + AKey + "\"";
    throw EJWError(where + ": " + AWhat);
  }

  std::string Text(const std::string& AKey, const TJWJson& AValue) const {
    if (!AValue.is_string()) Fail(AKey, "a text is expected");
    std::string out;
    long bad = 0;
    if (!Utf8ToCp1252(AValue.get<std::string>(), out, &bad)) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04lX", bad);
      Fail(AKey, bad < 0 ? std::string("invalid UTF-8")
                         : std::string("the character ") + code + " has no Windows-1252 form");
    }
    return out;
  }

  int64_t Number(const std::string& AKey, const TJWJson& AValue, int64_t AMin, int64_t AMax) const {
    if (!AValue.is_number_integer()) Fail(AKey, "a whole number is expected");
    const int64_t v = AValue.is_number_unsigned() && AValue.get<uint64_t>() > uint64_t(INT64_MAX)
                          ? INT64_MAX
                          : AValue.get<int64_t>();
    if (v < AMin || v > AMax)
      Fail(AKey, "out of range " + std::to_string(AMin) + " to " + std::to_string(AMax));
    return v;
  }

  // Entry identifiers: unsigned 32-bit, or negative as the signed reading of the same bits.
  uint32_t EntryId(const std::string& AKey, const TJWJson& AValue) const {
    return uint32_t(Number(AKey, AValue, INT32_MIN, UINT32_MAX));
  }

 private:
  const TJWJson& FJson;
};

template <typename T, size_t N>
const T* FindField(const T (&ATable)[N], const std::string& AKey) {
  for (const auto& f : ATable)
    if (AKey == f.Name) return &f;
  return nullptr;
}

TJWJson Flag(uint8_t AValue) {
  return AValue <= 1 ? TJWJson(AValue == 1) : TJWJson(int(AValue));
}

}  // namespace

TJWEntryFixture EntryFromJson(const TJWJson& AEntry) {
  TEntryReader in(AEntry);
  if (!AEntry.is_object()) in.Fail("", "an object is expected");
  if (!AEntry.contains("Id")) in.Fail("Id", "missing");
  TJWEntryFixture e;
  TJW2DataRec& r = e.Record;
  for (const auto& [key, value] : AEntry.items()) {
    if (key == "Id") {
      e.Id = in.EntryId(key, value);
    } else if (auto* t = FindField(kTextsBeforeCards, key)) {
      r.*(t->Member) = in.Text(key, value);
    } else if (auto* p = FindField(kPositions, key)) {
      r.*(p->Member) = in.Text(key, value);
    } else if (auto* b = FindField(kBytes, key)) {
      r.*(b->Member) =
          value.is_boolean() ? uint8_t(value.get<bool>()) : uint8_t(in.Number(key, value, 0, 255));
    } else if (auto* n = FindField(kInts, key)) {
      r.*(n->Member) = int32_t(in.Number(key, value, INT32_MIN, INT32_MAX));
    } else if (auto* l = FindField(kLists, key)) {
      if (!value.is_array()) in.Fail(key, "a list of texts is expected");
      for (const auto& item : value) (r.*(l->Member)).push_back(in.Text(key, item));
    } else if (key == "BusinessTypes") {
      r.BusinessTypes = in.Text(key, value);
    } else if (key == "Branches") {
      if (!value.is_array()) in.Fail(key, "a list of entry identifiers is expected");
      for (const auto& item : value) e.BranchIds.push_back(in.EntryId(key, item));
    } else if (std::find(std::begin(kForeignKeys), std::end(kForeignKeys), key) ==
               std::end(kForeignKeys)) {
      in.Fail(key, "unknown field");
    }
  }
  try {
    EncodeEntryRecord(e);  // reports texts too long for their field while the entry is known
  } catch (const EJWError& err) {
    in.Fail("", err.what());
  }
  return e;
}

void WriteEntriesFromJson(const TJWJson& ASource, const std::string& AFileName,
                          const std::function<void(size_t)>& AOnEntry) {
  if (!ASource.is_object() || !ASource.contains("Entries") || !ASource["Entries"].is_array())
    throw EJWError("the source needs an \"Entries\" list");
  TJWDatWriter writer(AFileName);
  size_t done = 0;
  for (const auto& entry : ASource["Entries"]) {
    writer.Add(EntryFromJson(entry));
    if (AOnEntry) AOnEntry(++done);
  }
  writer.Finish();
}

TJWJson DumpEntryJson(TJWEEntryDatFile& AFile, uint32_t AId) {
  TJW2DataRec r;
  AFile.LoadEntry(AId, r);
  // The record keeps only the branches present in the file; the dump lists every stored id.
  const std::string ids = AFile.LoadFileRec(AFile.Lookup(AId)).Blocks[bkBranches];

  TJWJson j;
  j["Id"] = std::stol(r.Id);
  j["TemplateId"] = r.TemplateId;
  for (const auto& t : kTextsBeforeCards) j[t.Name] = Utf8Name(r.*(t.Member));
  for (const auto& b : kBytes) j[b.Name] = Flag(r.*(b.Member));
  for (const auto& p : kPositions) j[p.Name] = Utf8Name(r.*(p.Member));
  j["BranchCaption"] = r.BranchCaption;
  j["Industries"] = TJWJson::array();
  for (const auto& s : r.Industries) j["Industries"].push_back(Utf8Name(s));
  j["Searchwords"] = TJWJson::array();
  for (const auto& s : r.Searchwords) j["Searchwords"].push_back(Utf8Name(s));
  j["OfficeHoursKind"] = r.OfficeHoursKind;
  j["OfficeHours"] = TJWJson::array();
  for (const auto& s : r.OfficeHours) j["OfficeHours"].push_back(Utf8Name(s));
  j["EnhInfoKind"] = r.EnhInfoKind;
  j["EnhInfo"] = TJWJson::array();
  for (const auto& s : r.EnhInfo) j["EnhInfo"].push_back(Utf8Name(s));
  j["Branches"] = TJWJson::array();
  for (size_t i = 0; i + 4 <= ids.size(); i += 4) {
    const auto* p = reinterpret_cast<const uint8_t*>(ids.data() + i);
    j["Branches"].push_back(int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                    uint32_t(p[3]) << 24));
  }
  j["BusinessTypes"] = Utf8Name(r.BusinessTypes);
  return j;
}

}  // namespace jw
