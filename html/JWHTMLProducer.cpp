#include "html/JWHTMLProducer.h"

#include <climits>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <random>
#include <string_view>
#include <typeinfo>
#include <unordered_map>
#include <utility>

#include "html/JWHTMLText.h"
#include "store/JWDataDirectory.h"
#include "store/JWEBranchKeys.h"
#include "store/JWEOfficeHours.h"
#include "store/JWError.h"
#include "store/JWPlatform.h"
#include "store/ZDGeo.h"
#include "store/ZDStrUtils.h"
#include "store/ZDTelNum.h"

namespace jw {

using namespace htmltext;

namespace {

// A tag parameter, as a view into the tag's list.
std::string_view Tag(const TZDParamList& AParams, std::string_view AName) {
  return AParams.Value(AName);
}

// Counters only move forward one step at a time, but their start values come from request
// parameters; they stop at the largest value instead of wrapping.
void Step(int32_t& ACounter) {
  if (ACounter < INT32_MAX) ++ACounter;
}

int32_t AddSaturated(int32_t A, int32_t B) {
  const int64_t sum = int64_t(A) + int64_t(B);
  if (sum > INT32_MAX) return INT32_MAX;
  if (sum < INT32_MIN) return INT32_MIN;
  return int32_t(sum);
}

// The list's lines, each followed by "<BR>" (line breaks inside a line become "<BR>" as well).
std::string WholeListText(const std::vector<std::string>& AList) {
  std::string text;
  for (const std::string& line : AList) {
    text += line;
    text += "\r\n";
  }
  return ReplaceAll(ReplaceAll(text, "\r", "<BR>"), "\n", "");
}

// Sort-order names by sort index 1 to 5.
const char* const SortNames[6] = {"", "STREET", "ZIP", "CITY", "FIRM", "DIST"};
// The order in which request values are matched and names written back.
const int32_t SortNameOrder[5] = {bsZip, bsStreet, bsCity, bsFirm, bsDist};

// The quicksort pivot source. Private to the producer and seeded once per process; results never
// depend on its sequence.
std::mt19937& PivotRandom() {
  static std::mt19937 generator([] {
    try {
      return std::random_device{}();
    } catch (const std::exception&) {
      return 0x4A57u;
    }
  }());
  return generator;
}

std::string IntToStr(int64_t AValue) {
  return std::to_string(AValue);
}

// The directory of the running program: where page templates are looked for until the caller
// names a directory of its own.
std::string ProgramDirectory() {
  return std::filesystem::path(platform::ExecutablePath()).parent_path().string();
}

}  // namespace

TJW2DataRec CopyDataRec(const TJW2DataRec& A) {
  TJW2DataRec r;
  r.Id = A.Id;
  r.TemplateId = A.TemplateId;
  r.ExtraText1 = A.ExtraText1;
  r.Code5 = A.Code5;
  r.Code6 = A.Code6;
  r.ExtraText2 = A.ExtraText2;
  r.NamePart1 = A.NamePart1;
  r.NamePart6 = A.NamePart6;
  r.NamePart7 = A.NamePart7;
  r.NamePart2 = A.NamePart2;
  r.NamePart4 = A.NamePart4;
  r.NamePart5 = A.NamePart5;
  r.NameFormat = A.NameFormat;
  r.ExtraText3 = A.ExtraText3;
  r.NamePart3 = A.NamePart3;
  r.Slogan = A.Slogan;
  r.Street = A.Street;
  r.StreetNo = A.StreetNo;
  r.StreetAdd = A.StreetAdd;
  r.Zip = A.Zip;
  r.City = A.City;
  r.PhonePrefix = A.PhonePrefix;
  r.PhoneNumber = A.PhoneNumber;
  r.FaxPrefix = A.FaxPrefix;
  r.FaxNumber = A.FaxNumber;
  r.MobilePrefix = A.MobilePrefix;
  r.MobileNumber = A.MobileNumber;
  r.EMail = A.EMail;
  r.Url = A.Url;
  r.PortalPage = A.PortalPage;
  r.CardVisa = A.CardVisa;
  r.CardAmex = A.CardAmex;
  r.CardEurocard = A.CardEurocard;
  r.CardDiners = A.CardDiners;
  r.CardEC = A.CardEC;
  r.HideLocation = A.HideLocation;
  r.PosX = A.PosX;
  r.PosY = A.PosY;
  r.BranchCaption = A.BranchCaption;
  r.Industries = A.Industries;
  r.Searchwords = A.Searchwords;
  r.OfficeHoursKind = A.OfficeHoursKind;
  r.OfficeHours = A.OfficeHours;
  r.EnhInfoKind = A.EnhInfoKind;
  r.EnhInfo = A.EnhInfo;
  r.Logo = A.Logo;  // pictures are shared, never changed
  r.Branches = A.Branches;
  r.BusinessTypes = A.BusinessTypes;
  return r;
}

// ---------------------------------------------------------------------------------------------
// Creation, data files and loading

TJWHTMLProducer::TJWHTMLProducer() : FEngine(std::make_unique<TZDEnhPageProducer>()) {
  FEngine->OnGetField = [this](TZDEnhPageProducer& ASender, const std::string& AFieldName,
                               const TZDParamList& ATagParams) {
    return GetFieldText(ASender, AFieldName, ATagParams);
  };
  FEngine->OnCustomEvent = [this](TZDEnhPageProducer& ASender, const std::string& ATagString,
                                  const TZDParamList& ATagParams) {
    return CustomTag(ASender, ATagString, ATagParams);
  };
  FEngine->SetIncludePath(ProgramDirectory());
}

TJWHTMLProducer::~TJWHTMLProducer() = default;

void TJWHTMLProducer::SetFilepath(const std::string& AValue) {
  // An empty path stays empty, so that the data files are found in the current directory.
  FFilepath = WithDirectoryEnd(AValue);
}

void TJWHTMLProducer::OpenDataFiles() {
  OpenDataFiles(std::make_shared<TJWDataDirectory>(FFilepath));
}

void TJWHTMLProducer::OpenDataFiles(std::shared_ptr<TJWDataDirectory> ADirectory) {
  FFiles.reset();
  FTemplateInfo.reset();
  // In this order, so that of several missing files the image file is named.
  if (!ADirectory->Logos().IsOpen()) ADirectory->Logos().Open();
  if (!ADirectory->Templates().IsOpen()) ADirectory->Templates().Open();
  if (!ADirectory->Entries().IsOpen()) ADirectory->Entries().Open();
  FFiles = std::move(ADirectory);
}

std::string TJWHTMLProducer::IncludePath() const {
  return FEngine->IncludePath();
}
void TJWHTMLProducer::SetIncludePath(const std::string& AValue) {
  FEngine->SetIncludePath(AValue);
}
std::string TJWHTMLProducer::IncludeExt() const {
  return FEngine->IncludeExt();
}
void TJWHTMLProducer::SetIncludeExt(const std::string& AValue) {
  FEngine->SetIncludeExt(AValue);
}

void TJWHTMLProducer::RecordReplaced() {
  FOfficeHoursRead = false;
  FTemplateInfo.reset();
}

void TJWHTMLProducer::ClearRecord() {
  RecordReplaced();
  FDataRec = TJW2DataRec();
  FButtonSet = 0;
  FButtonCount = 0;
}

void TJWHTMLProducer::LoadedRecordChanged() {
  if (FDataRec.Branches && !FDataRec.Branches->empty())
    SortBranches(*FDataRec.Branches, FBranchSortIndex, int32_t(FDataRec.Branches->size()) - 1, 0);
  FButtonCount = DeriveButtons(FDataRec, FShowPoPButton, FPendixInstalled, FButtonSet);
}

void TJWHTMLProducer::SetJW2ID(int32_t AValue) {
  ClearRecord();
  FRecordIsCopy = false;
  FJW2ID = AValue;
  if (FFiles) {
    TJW2DataRec loaded;
    FFiles->LoadEntry(static_cast<uint32_t>(AValue), loaded);
    FDataRec = std::move(loaded);
    LoadedRecordChanged();
  }
  FButtonCounter = 0;
}

void TJWHTMLProducer::SetDataRec(const TJW2DataRec& ARecord) {
  FRecordIsCopy = true;
  RecordReplaced();
  FDataRec = CopyDataRec(ARecord);
  LoadedRecordChanged();
  int32_t id = 0;
  if (!TryStrToInt(FDataRec.Id, id))
    throw EJWError("'" + FDataRec.Id + "' is not a valid integer value");
  FJW2ID = id;
}

void TJWHTMLProducer::Assign(const TJWHTMLProducer& ASource) {
  if (typeid(ASource) != typeid(TJWHTMLProducer) || &ASource == this) return;
  FButtonCounter = ASource.FButtonCounter;
  FEngine->Assign(*ASource.FEngine);
  // The engine's events name their producer; this engine keeps answering to this producer.
  FEngine->OnGetField = [this](TZDEnhPageProducer& ASender, const std::string& AFieldName,
                               const TZDParamList& ATagParams) {
    return GetFieldText(ASender, AFieldName, ATagParams);
  };
  FEngine->OnCustomEvent = [this](TZDEnhPageProducer& ASender, const std::string& ATagString,
                                  const TZDParamList& ATagParams) {
    return CustomTag(ASender, ATagString, ATagParams);
  };
  FJW2ID = ASource.FJW2ID;
  RecordReplaced();
  FDataRec = CopyDataRec(ASource.FDataRec);
  FRecordIsCopy = true;
  FFilepath = ASource.FFilepath;
  if (ASource.FFiles)
    OpenDataFiles(ASource.FFiles);
  else
    OpenDataFiles();
}

// ---------------------------------------------------------------------------------------------
// Request parameters

const std::vector<std::string>& TJWHTMLProducer::Params() {
  FParamsReadAll = true;
  WriteRequestParams();
  return FParams;
}

void TJWHTMLProducer::SetParams(const std::vector<std::string>& AValue) {
  FParams = AValue;
  ReadRequestParams();
}

std::string TJWHTMLProducer::RequestParam(const std::string& AName) {
  FParamsRead.insert(AName);
  return ParamValue(FParams, AName);
}

void TJWHTMLProducer::ReadRequestParams() {
  FBranchSortIndex = bsStreet;
  const std::string sortName = RequestParam("BRANCHES_SORT");
  for (int32_t index : SortNameOrder) {
    if (AnsiSameText(sortName, SortNames[index])) {
      FBranchSortIndex = index;
      break;
    }
  }

  // The leading "0" makes signs and blanks fail, so the position is never negative.
  int32_t position = 0;
  if (!TryStrToInt("0" + RequestParam("BRANCHESPOS"), position)) position = 0;
  FBranchPosition = position;

  double minutes = 0;
  FStartGeoEast = TryStrToFloatComma(ReplaceAll(RequestParam("STARTX"), ".", ","), minutes)
                      ? minutes / 60.0
                      : 0.0;
  FStartGeoNorth = TryStrToFloatComma(ReplaceAll(RequestParam("STARTY"), ".", ","), minutes)
                       ? minutes / 60.0
                       : 0.0;
}

void TJWHTMLProducer::WriteRequestParams() {
  std::string sortName;
  for (int32_t index : SortNameOrder) {
    if (index == FBranchSortIndex) {
      sortName = SortNames[index];
      break;
    }
  }
  SetParamValue(FParams, "BRANCHES_SORT", sortName);
  SetParamValue(FParams, "BRANCHESPOS", IntToStr(FBranchPosition));
  SetParamValue(FParams, "PAGE", PageName(FPageIndex));
}

void TJWHTMLProducer::SetQueryParams(const std::string& AQuery) {
  MergeQuery(FParams, AQuery);
  ReadRequestParams();
}

// ---------------------------------------------------------------------------------------------
// Pages

std::string TJWHTMLProducer::PageName(int32_t AIndex) const {
  if (AIndex < 0 || AIndex > 7) return std::string();
  return ButtonKeyTable[AIndex];
}

void TJWHTMLProducer::SelectPage(int32_t APageIndex) {
  const std::string force = RequestParam("FORCEPAGE");
  int32_t forced = 0;
  if (!force.empty() && TryStrToInt(force, forced) && forced >= 0 && forced <= 7)
    APageIndex = forced;
  FPageIndex = APageIndex;

  const char* name = "main1";
  if (APageIndex == brPointOfPlace)
    name = "route";
  else if (APageIndex == brBranches)
    name = "main2";
  const std::string path = FEngine->IncludePath() + name + FEngine->IncludeExt();
  const TZDTemplateFile file = FEngine->TemplateFile(name + FEngine->IncludeExt());
  if (file.State == TZDTemplateFile::tfMissing)
    throw EJWError("Datei \"" + path + "\" nicht gefunden!");
  // Page templates are small; a huge file, or one a link leads out of the folder, is refused like
  // one that cannot be read.
  if (file.State != TZDTemplateFile::tfRead)
    throw EJWError("Konnte Datei \"" + path +
                   "\" nicht \xF6"
                   "ffnen!");
  FEngine->SetTemplate(file.Template);
}

void TJWHTMLProducer::WritePage(std::string* AStream, int32_t APageIndex) {
  // The page reads the template folder as it was resolved first (by the caller, or by SelectPage);
  // the next page resolves it afresh.
  struct TForget {
    TZDEnhPageProducer& Engine;
    ~TForget() { Engine.ForgetFiles(); }
  } forget{*FEngine};
  FTemplateInfo.reset();  // read afresh for each page, like the template files
  ReadRequestParams();
  SelectPage(APageIndex);
  if (!AStream) throw EJWError("Stream Error!");
  AStream->append(FEngine->Content());
}

std::string TJWHTMLProducer::Include(std::string_view AFileName, const TZDParamList& ATagParams) {
  return FEngine->ProduceInclude(std::string(AFileName), ATagParams);
}

// ---------------------------------------------------------------------------------------------
// Links

int32_t TJWHTMLProducer::ButtonSlot() const {
  int32_t count = 0;
  for (int32_t i = 0; i <= 7; ++i) {
    if (InSet(FButtonSet, TJWButtonRec(i))) ++count;
    if (count == FButtonCounter) return i;
  }
  return -1;
}

std::string TJWHTMLProducer::ResolveParamMarkers(const std::string& AText) {
  const std::string& begin = FParamTagBegin;
  const std::string& end = FParamTagEnd;
  if (begin.empty() || end.empty()) return AText;

  // Each begin marker is resolved after everything behind it, so that markers nested in a name
  // are resolved from the inside out. The markers are walked from the last one, and the resolved
  // text behind the current marker (the tail) is kept reversed, so that putting text in front of
  // it costs only that text. The end markers of the tail are kept in a list as well, so that no
  // step scans the tail again: the whole walk is linear in the text and the values put in.
  std::vector<size_t> starts;
  for (size_t p = AText.find(begin); p != std::string::npos;
       p = AText.find(begin, p + begin.size()))
    starts.push_back(p);
  if (starts.empty()) return AText;

  // Many markers look their names up in one index of the request parameters (first one wins).
  std::unordered_map<std::string, size_t> byName;
  if (starts.size() > 16) {
    for (size_t i = FParams.size(); i-- > 0;) {
      const size_t eq = FParams[i].find('=');
      if (eq != std::string::npos) byName[AnsiUpperCase(FParams[i].substr(0, eq))] = i;
    }
  }
  auto paramValue = [&](const std::string& AName) {
    if (byName.empty()) return RequestParam(AName);
    const auto it = byName.find(AnsiUpperCase(AName));
    return it == byName.end() ? std::string()
                              : FParams[it->second].substr(FParams[it->second].find('=') + 1);
  };

  std::string tail;              // reversed
  std::vector<size_t> tailEnds;  // end markers of the tail, as offsets from its back; front last
  auto tailFront = [&](size_t ACount) {  // the first ACount bytes of the tail, in order
    const size_t n = std::min(ACount, tail.size());
    return std::string(tail.rbegin(), tail.rbegin() + std::ptrdiff_t(n));
  };
  // Puts APiece in front of the tail and notes the end markers that now start inside it.
  auto prepend = [&](const std::string& APiece) {
    if (APiece.size() > TZDEnhPageProducer::kMaxPageSize - tail.size())
      throw EJWError("Page too large");
    const std::string window = APiece + tailFront(end.size() - 1);
    std::vector<size_t> found;
    for (size_t p = window.find(end); p != std::string::npos && p < APiece.size();
         p = window.find(end, p + 1))
      found.push_back(p);
    const size_t newSize = tail.size() + APiece.size();
    for (size_t i = found.size(); i-- > 0;) tailEnds.push_back(newSize - found[i]);
    tail.append(APiece.rbegin(), APiece.rend());
  };
  // Removes the first ACount bytes of the tail with the end markers that start in them.
  auto dropFront = [&](size_t ACount) {
    tail.resize(tail.size() - ACount);
    while (!tailEnds.empty() && tailEnds.back() > tail.size()) tailEnds.pop_back();
  };

  for (size_t k = starts.size(); k-- > 0;) {
    const size_t from = k == 0 ? 0 : starts[k];  // the first step sees the text before it too
    const size_t to = k + 1 < starts.size() ? starts[k + 1] : AText.size();
    const std::string segment = AText.substr(from, to - from);
    const size_t markerAt = starts[k] - from;
    const size_t nameAt = markerAt + begin.size();

    // The first end marker after the name's start: in the segment (or across into the tail), else
    // the tail's first one.
    const std::string window = segment + tailFront(end.size() - 1);
    size_t endAt = window.find(end, nameAt);
    if (endAt != std::string::npos && endAt >= segment.size()) endAt = std::string::npos;
    if (endAt == std::string::npos && !tailEnds.empty())
      endAt = segment.size() + (tail.size() - tailEnds.back());
    if (endAt == std::string::npos) {
      prepend(segment);  // no end marker: the text stays as it is
      continue;
    }

    const size_t markerEnd = endAt + end.size();
    const std::string name = endAt <= segment.size()
                                 ? segment.substr(nameAt, endAt - nameAt)
                                 : segment.substr(nameAt) + tailFront(endAt - segment.size());
    if (markerEnd > segment.size()) dropFront(markerEnd - segment.size());
    // Request parameters come from the host's query strings: never let them write markup.
    const std::string value = EscapeHtmlValue(paramValue(name));
    prepend(segment.substr(0, markerAt) + value +
            (markerEnd < segment.size() ? segment.substr(markerEnd) : std::string()));
  }
  return std::string(tail.rbegin(), tail.rend());
}

std::string TJWHTMLProducer::ReplacePlaceholders(const std::string& AText) {
  std::string s = ResolveParamMarkers(AText);
  // In this order, each over the text the ones before left. No value holds a "$", so a text
  // without one is done, and a placeholder that is absent costs one search of the upper-cased
  // text.
  if (s.find('$') == std::string::npos) return s;
  std::string upper = AnsiUpperCase(s);
  auto replace = [&](std::string_view APlaceholder, auto&& AValue) {
    if (upper.find(APlaceholder) == std::string::npos) return;
    ReplaceAllUpper(s, upper, APlaceholder, AValue());
  };
  replace("$PAGENUM$", [&] { return IntToStr(FButtonCounter); });
  replace("$BTNPAGEIDX$", [&] { return IntToStr(int64_t(FButtonCounter) - 1); });
  replace("$BTNPAGENAME$", [&] { return PageName(std::max(ButtonSlot(), 0)); });
  replace("$PAGEIDX$", [&] { return IntToStr(FPageIndex); });
  replace("$PAGENAME$", [&] { return PageName(FPageIndex); });
  replace("$JWID$", [&] { return FDataRec.Id; });
  replace("$TMPID$", [&] { return IntToStr(FDataRec.TemplateId); });
  replace("$BRANCHESPOS$", [&] { return IntToStr(FBranchPosition); });
  replace("$STARTX$", [&] { return FormatReal(FStartGeoEast * 60.0); });
  replace("$STARTY$", [&] { return FormatReal(FStartGeoNorth * 60.0); });
  return s;
}

std::string TJWHTMLProducer::LogoField(const TZDParamList& ATagParams) {
  if (!FLogoLinkParams.empty() && (FLogoLinkParams[0] == '?' || FLogoLinkParams[0] == '&'))
    FLogoLinkParams.erase(0, 1);
  std::string query = Trim(ReplacePlaceholders(std::string(Tag(ATagParams, "QUERY"))));
  if (!query.empty() && query[0] != '?') query.insert(0, "?");
  if (!query.empty()) {
    if (query.back() != '&') query += '&';
    query += ReplacePlaceholders(FLogoLinkParams);
  } else {
    query = ReplacePlaceholders(FLogoLinkParams);
  }
  if (!query.empty() && query[0] != '?') query.insert(0, "?");
  return (FDataRec.Logo ? FLogoLink : std::string(Tag(ATagParams, "DEFAULT"))) + query;
}

// ---------------------------------------------------------------------------------------------
// Fields

std::string TJWHTMLProducer::CustomTag(TZDEnhPageProducer&, const std::string&,
                                       const TZDParamList&) {
  return std::string();
}

std::string TJWHTMLProducer::GetFieldText(TZDEnhPageProducer&, const std::string& AFieldName,
                                          const TZDParamList& ATagParams) {
  using namespace std::literals;
  const std::string name = AnsiUpperCase(AFieldName);
  if (name == "PARAM"sv) return ParamField(ATagParams);
  // Every other tag may set a request parameter instead of naming a field.
  if (AnsiSameText(Tag(ATagParams, "TYPE"), "SETPARAM")) {
    SetParamValue(FParams, std::string(Tag(ATagParams, "NAME")),
                  std::string(Tag(ATagParams, "VALUE")));
    return std::string();
  }

  const TJW2DataRec& r = FDataRec;
  if (name == "PAGE"sv) {
    if (FPageIndex < 0 || FPageIndex > 7)
      return FEngine->ErrStrPrefix() + "Unknown Pageindex" + FEngine->ErrStrSuffix();
    return Include(Tag(ATagParams, "IDX" + IntToStr(FPageIndex)), ATagParams);
  }
  if (name == "TITLE"sv || name == "FIRM"sv) return FormatEntryName(r, r.NameFormat);
  if (name == "STREET"sv) return r.Street;
  if (name == "STREET_NO"sv) return r.StreetNo;
  if (name == "STREET_ADD"sv) return r.StreetAdd;
  if (name == "ZIP"sv) return r.Zip;
  if (name == "CITY"sv) return r.City;
  if (name == "PHONE_NO"sv) return FormatTelNum(r.PhonePrefix, r.PhoneNumber);
  if (name == "FAX_NO"sv) return FormatTelNum(r.FaxPrefix, r.FaxNumber);
  if (name == "MOBIL_NO"sv) return FormatTelNum(r.MobilePrefix, r.MobileNumber);
  if (name == "EMAIL"sv) return r.EMail;
  if (name == "SEARCHWORDS"sv) return ListField(false, ATagParams);
  if (name == "INDUSTRIES"sv) return ListField(true, ATagParams);
  if (name == "URL"sv) return r.Url.empty() ? PortalBaseAddress + r.PortalPage : r.Url;
  if (name == "SLOGAN"sv) return r.Slogan;
  if (name == "BUT1_HEIGHT"sv || name == "BUT1_WIDTH"sv || name == "BUT2_HEIGHT"sv ||
      name == "BUT2_WIDTH"sv || name == "CAPTIONLEFT"sv || name == "BGCOLOR"sv)
    return TemplateField(name);
  if (name == "BUTURL1"sv || name == "BUTURL2"sv) return ButtonUrlField(ATagParams);
  if (name == "BUT1"sv || name == "BUT2"sv) return ButtonField(ATagParams);
  if (name == "ENHINFO"sv || name == "ENH_LEFT"sv || name == "ENH_RIGHT"sv)
    return EnhInfoField(name, ATagParams);
  if (name == "LOGO"sv) return LogoField(ATagParams);
  if (name == "CARDACCEPTANCE"sv) return CardField(ATagParams);
  if (name == "BUISNESSTYPES"sv) return ReplaceAll(r.BusinessTypes, ",", "<BR>");
  if (name == "OFFICEHOURS"sv) return OfficeHoursField(ATagParams);
  if (name == "OFFICEHOURS_INFOLINE"sv) return OfficeHoursInfoLine();
  if (name == "BRANCHES"sv || name == "B_FIRM"sv || name == "B_STREET"sv ||
      name == "B_STREET_NO"sv || name == "B_STREET_ADD"sv || name == "B_ZIP"sv ||
      name == "B_CITY"sv || name == "B_PHONE_NO"sv || name == "B_ID"sv)
    return BranchField(name, ATagParams);
  if (name == "POI_X"sv || name == "POI_Y"sv) {
    try {
      return FormatReal(GeoStrToMinutes(name == "POI_X"sv ? r.PosX : r.PosY));
    } catch (const std::exception&) {
      return "00000000";
    }
  }
  return "N/A";
}

std::string TJWHTMLProducer::ParamField(const TZDParamList& ATagParams) {
  if (CompareTextAscii(Tag(ATagParams, "TYPE"), "SET") > 0) {
    SetParamValue(FParams, std::string(Tag(ATagParams, "NAME")),
                  std::string(Tag(ATagParams, "VALUE")));
    return std::string();
  }
  return ReplacePlaceholders(std::string(Tag(ATagParams, "VALUE")));
}

std::string TJWHTMLProducer::TemplateField(const std::string& AName) {
  if (!FFiles) return "N/A";
  // Sizes and colour only: the pictures themselves are not decoded for a page.
  if (!FTemplateInfo)
    FTemplateInfo = FFiles->Templates().GetInfo(static_cast<uint32_t>(FDataRec.TemplateId));
  const TJWTemplateInfo& rec = *FTemplateInfo;
  if (AName == "BUT1_HEIGHT") return IntToStr(rec.Button1.Height);
  if (AName == "BUT1_WIDTH") return IntToStr(rec.Button1.Width);
  if (AName == "BUT2_HEIGHT") return IntToStr(rec.Button2.Height);
  if (AName == "BUT2_WIDTH") return IntToStr(rec.Button2.Width);
  if (AName == "CAPTIONLEFT") return IntToStr(rec.CaptionLeft);
  const uint32_t color = static_cast<uint32_t>(rec.BackgroundColor);
  char buf[8];
  std::snprintf(buf, sizeof buf, "%.2X%.2X%.2X", color & 0xFFu, (color >> 8) & 0xFFu,
                (color >> 16) & 0xFFu);
  return buf;
}

std::string TJWHTMLProducer::ListField(bool AIndustries, const TZDParamList& ATagParams) {
  const std::string_view type = Tag(ATagParams, "TYPE");
  std::string& text = AIndustries ? FIndustriesText : FSearchwordsText;
  if (AnsiSameText(type, "DATA")) return text;
  text.clear();

  // An empty list counts as no list: there is nothing to show in any form.
  const TStringList& list = AIndustries ? FDataRec.Industries : FDataRec.Searchwords;
  if (list.empty()) return "&nbsp;";
  if (AnsiSameText(type, "FILE")) {
    int32_t maxRows = 10;
    if (!TryStrToInt(std::string(Tag(ATagParams, "MAX_ROWS")), maxRows)) maxRows = 10;
    const TStringList& words = FDataRec.Searchwords;
    if (AIndustries && list.size() < 7 && !words.empty() && list.size() + words.size() < 7) {
      FIndustriesText = WholeListText(list);
      FSearchwordsText = WholeListText(words);
      return Include(Tag(ATagParams, "MIX_PAGE"), ATagParams);
    }
    if (int64_t(list.size()) >= maxRows) return Include(Tag(ATagParams, "MAX_PAGE"), ATagParams);
    text = WholeListText(list);
    return Include(Tag(ATagParams, "MIN_PAGE"), ATagParams);
  }
  if (AnsiSameText(type, "ROWS")) {
    std::string result;
    const std::string_view file = Tag(ATagParams, "FILE");
    for (const std::string& line : list) {
      text = line;
      result += Include(file, ATagParams);
    }
    return result;
  }
  return "&nbsp;";
}

std::string TJWHTMLProducer::EnhInfoField(const std::string& AName,
                                          const TZDParamList& ATagParams) {
  const TStringList& lines = FDataRec.EnhInfo;
  if (AName == "ENHINFO") {
    if (FDataRec.EnhInfoKind == 0) {
      const std::string_view plain = Tag(ATagParams, "PLAIN");
      if (AnsiSameText(plain, "THIS")) return lines.empty() ? "&nbsp;" : WholeListText(lines);
      return Include(plain, ATagParams);
    }
    if (FDataRec.EnhInfoKind == 1) {
      FLinePosition = 0;
      return Include(Tag(ATagParams, "TABLE"), ATagParams);
    }
    return "N/A";
  }
  // The table form reads every line, the last one included.
  const bool onLine = FLinePosition >= 0 && size_t(FLinePosition) < lines.size();
  std::string result;
  if (onLine) {
    // The left text ends at the first tab, the right one at the next.
    const std::string_view line = lines[size_t(FLinePosition)];
    const size_t tab = line.find('\t');
    if (AName == "ENH_LEFT")
      result = line.substr(0, tab);
    else if (tab != std::string_view::npos)
      result = line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1);
  }
  if (AName == "ENH_RIGHT") Step(FLinePosition);
  return result;
}

const std::array<TJWOfficeHoursTextRow, kOfficeHoursRows>& TJWHTMLProducer::OfficeHoursRows()
    const {
  const int32_t kind = FDataRec.OfficeHoursKind;
  if (FOfficeHoursRead) return FOfficeHoursRows;
  FOfficeHoursRows = {};
  const TStringList& lines = FDataRec.OfficeHours;
  switch (kind) {
    case 0: {
      const auto read = GetOfficeHoursLines(lines);
      for (int r = 0; r < kOfficeHoursRows; ++r) FOfficeHoursRows[r][0] = read[r];
      break;
    }
    case 1:
      FOfficeHoursRows = GetOfficeHoursDays(lines);
      break;
    case 2: {
      const auto read = GetOfficeHoursPairs(lines);
      for (int r = 0; r < kOfficeHoursRows; ++r) {
        FOfficeHoursRows[r][0] = read[r].first;
        FOfficeHoursRows[r][1] = read[r].second;
      }
      break;
    }
    default:
      break;
  }
  FOfficeHoursRead = true;
  return FOfficeHoursRows;
}

std::string TJWHTMLProducer::OfficeHoursCell(const TZDParamList& ATagParams) const {
  if (FRowCounter < 1 || FRowCounter > 8) return std::string();
  const size_t row = size_t(FRowCounter - 1);
  switch (FDataRec.OfficeHoursKind) {
    case 0:
      return OfficeHoursRows()[row][0];
    case 1: {
      int32_t col = 0;
      if (!TryStrToInt(std::string(Tag(ATagParams, "COL")), col) || col < 1 || col > 16)
        return std::string();
      return OfficeHoursRows()[row][size_t(col - 1)];
    }
    case 2:
      return OfficeHoursRows()[row][AnsiSameText(Tag(ATagParams, "COL"), "RIGHT") ? 1 : 0];
    default:
      return std::string();
  }
}

std::string TJWHTMLProducer::OfficeHoursField(const TZDParamList& ATagParams) {
  const std::string_view type = Tag(ATagParams, "TYPE");
  if (AnsiSameText(type, "FILE")) {
    // The office-hours includes show their error texts openly for the rest of the page.
    FEngine->SetErrStrPrefix(std::string());
    FEngine->SetErrStrSuffix(std::string());
    switch (FDataRec.OfficeHoursKind) {
      case 0:
        return Include(Tag(ATagParams, "INVIDUELL"), ATagParams);
      case 1:
        return Include(Tag(ATagParams, "STANDARD"), ATagParams);
      case 2:
        return Include(Tag(ATagParams, "TABLE"), ATagParams);
      default:
        return "N/A";
    }
  }
  if (AnsiSameText(type, "RESETROWS")) {
    FRowCounter = 1;
    return std::string();
  }
  const std::string cell = OfficeHoursCell(ATagParams);
  if (AnsiSameText(type, "NEXT")) Step(FRowCounter);
  return cell;
}

std::string TJWHTMLProducer::OfficeHoursInfoLine() const {
  const int32_t kind = FDataRec.OfficeHoursKind;
  return kind >= 0 && kind <= 2 ? OfficeHoursRows()[7][0] : std::string();
}

std::string TJWHTMLProducer::CardField(const TZDParamList& ATagParams) {
  if (!AnsiSameText(Tag(ATagParams, "TYPE"), "FILE")) return std::string();
  const std::string row = AnsiUpperCase(Tag(ATagParams, "ROW"));
  const TJW2DataRec& r = FDataRec;
  bool set = false;
  if (row == "VISA")
    set = r.CardVisa != 0;
  else if (row == "AMEX")
    set = r.CardAmex != 0;
  else if (row == "EUROCARD")
    set = r.CardEurocard != 0;
  else if (row == "DINERS")
    set = r.CardDiners != 0;
  else if (row == "EC")
    set = r.CardEC != 0;
  return set ? Include(Tag(ATagParams, "FILE"), ATagParams) : std::string();
}

std::string TJWHTMLProducer::ButtonField(const TZDParamList& ATagParams) {
  const int32_t slot = ButtonSlot();
  const std::string caption = slot >= 0 ? CaptionOf(TJWButtonRec(slot), FDataRec) : std::string();
  if (AnsiSameText(Tag(ATagParams, "TYPE"), "NEXT")) Step(FButtonCounter);
  return caption;
}

std::string TJWHTMLProducer::ButtonUrlField(const TZDParamList& ATagParams) {
  const std::string link = ReplacePlaceholders(FButtonLinkParams);
  if (AnsiSameText(Tag(ATagParams, "TYPE"), "NEXT")) Step(FButtonCounter);
  return link;
}

// ---------------------------------------------------------------------------------------------
// Branch offices

std::string TJWHTMLProducer::BranchField(const std::string& AName, const TZDParamList& ATagParams) {
  if (AName == "BRANCHES") {
    if (AnsiSameText(Tag(ATagParams, "TYPE"), "FILE")) {
      const bool search = AnsiSameText(RequestParam("BRANCHES_PAGE"), "SEARCH");
      return Include(Tag(ATagParams, search ? "SEARCH" : "MAIN"), ATagParams);
    }
    return BranchStep(ATagParams);
  }

  std::string value;
  const auto& branches = FDataRec.Branches;
  if (branches && FBranchPosition >= 0 && size_t(FBranchPosition) < branches->size()) {
    const TJWBranchRec& b = (*branches)[size_t(FBranchPosition)];
    if (AName == "B_FIRM")
      value = b.Firm;
    else if (AName == "B_STREET")
      value = b.Street;
    else if (AName == "B_STREET_NO")
      value = b.StreetNo;
    else if (AName == "B_STREET_ADD")
      value = b.StreetAdd;
    else if (AName == "B_ZIP")
      value = b.Zip;
    else if (AName == "B_CITY")
      value = b.City;
    else if (AName == "B_PHONE_NO")
      value = b.Phone;
    else
      value = IntToStr(b.BranchId);
  }
  BranchStep(ATagParams);  // only its move of the position counts here
  return value;
}

std::string TJWHTMLProducer::BranchStep(const TZDParamList& ATagParams) {
  const std::string_view type = Tag(ATagParams, "TYPE");
  const auto& branches = FDataRec.Branches;
  if (AnsiSameText(type, "NEXT") || AnsiSameText(type, "INIT")) {
    if (branches) Step(FBranchPosition);
    return std::string();
  }
  if (!AnsiSameText(type, "BUTTON") || !branches) return std::string();
  const std::string_view direction = Tag(ATagParams, "DIRECTION");
  if (AnsiSameText(direction, "NEXT")) {
    // Shown while branches remain at or behind the position, so every branch can be reached.
    if (!branches->empty() && int64_t(branches->size()) > int64_t(FBranchPosition))
      return Include(Tag(ATagParams, "FILE"), ATagParams);
    return std::string();
  }
  if (AnsiSameText(direction, "PREV") && int64_t(FBranchPosition) - 5 > 0) {
    // The button's links carry the start of the previous page of five.
    FBranchPosition = AddSaturated(FBranchPosition, -10);
    struct Restore {
      int32_t& Position;
      ~Restore() { Position = AddSaturated(Position, 10); }
    } restore{FBranchPosition};
    return Include(Tag(ATagParams, "FILE"), ATagParams);
  }
  return std::string();
}

void TJWHTMLProducer::QuickSortBranches(std::vector<TJWBranchRec>& AList, int32_t ASortIndex,
                                        int32_t AHigh, int32_t ALow) {
  if (ALow > AHigh || ALow < 0 || size_t(AHigh) >= AList.size()) return;
  // Keys are computed once per branch (and stay in SortKey); the branches then move in one go.
  std::vector<std::string> keys;
  keys.reserve(size_t(AHigh - ALow) + 1);
  for (int32_t i = ALow; i <= AHigh; ++i)
    keys.push_back(BranchSortKey(AList[size_t(i)], ASortIndex, FStartGeoEast, FStartGeoNorth));
  const std::vector<size_t> order = BranchSortOrder(keys, PivotRandom());
  std::vector<TJWBranchRec> sorted;
  sorted.reserve(order.size());
  for (size_t k : order) sorted.push_back(std::move(AList[size_t(ALow) + k]));
  std::move(sorted.begin(), sorted.end(), AList.begin() + ALow);
}

void TJWHTMLProducer::FilterBranches(std::vector<TJWBranchRec>& AList) {
  const std::string street = AnsiUpperCase(Trim(RequestParam("BRANCHES_STREET")));
  const std::string zip = Trim(RequestParam("BRANCHES_ZIP"));
  const std::string city = AnsiUpperCase(RequestParam("BRANCHES_CITY"));
  std::erase_if(AList, [&](const TJWBranchRec& b) {
    return !(StartsWithUpperCased(b.Street, street) && StartsWithUpperCased(b.City, city) &&
             StartsWithUpperCased(b.Zip, zip));
  });
}

void TJWHTMLProducer::SortBranches(std::vector<TJWBranchRec>& AList, int32_t ASortIndex,
                                   int32_t AHigh, int32_t ALow) {
  QuickSortBranches(AList, ASortIndex, AHigh, ALow);
  if (Trim(RequestParam("BRANCHES_FILTER")) == "1") FilterBranches(AList);
}

}  // namespace jw
