#pragma once
// The entry HTML producer: answers the FIELD tags of the page templates with one entry's data,
// walks the row, button and branch counters that list templates rely on, and carries the request
// parameters through the links it writes.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "html/ZDEnhPageProducer.h"
#include "store/JWEButtons.h"
#include "store/JWEOfficeHours.h"
#include "store/JWEStruct.h"
#include "store/JWETemplateDatFile.h"
#include "store/JWPortal.h"

namespace jw {

class TJWDataDirectory;

// A field copy of an entry record (the logo bitmap is copied too).
TJW2DataRec CopyDataRec(const TJW2DataRec& ASource);

class TJWHTMLProducer {
 public:
  TJWHTMLProducer();
  virtual ~TJWHTMLProducer();
  TJWHTMLProducer(const TJWHTMLProducer&) = delete;
  TJWHTMLProducer& operator=(const TJWHTMLProducer&) = delete;

  // Setting the identifier loads that entry (when the entry file is open), sorts and filters its
  // branches by the current request parameters and derives its buttons.
  int32_t JW2ID() const { return FJW2ID; }
  void SetJW2ID(int32_t AValue);
  // Takes a record loaded elsewhere; JW2ID becomes its Id read as a decimal number.
  const TJW2DataRec& DataRec() const { return FDataRec; }
  void SetDataRec(const TJW2DataRec& ARecord);

  const std::string& Filepath() const { return FFilepath; }
  void SetFilepath(const std::string& AValue);
  std::string IncludePath() const;
  void SetIncludePath(const std::string& AValue);
  std::string IncludeExt() const;
  void SetIncludeExt(const std::string& AValue);

  const std::string& ButtonLinkParams() const { return FButtonLinkParams; }
  void SetButtonLinkParams(const std::string& AValue) { FButtonLinkParams = AValue; }
  const std::string& LogoLink() const { return FLogoLink; }
  void SetLogoLink(const std::string& AValue) { FLogoLink = AValue; }
  const std::string& LogoLinkParams() const { return FLogoLinkParams; }
  void SetLogoLinkParams(const std::string& AValue) { FLogoLinkParams = AValue; }
  const std::string& ParamTagBegin() const { return FParamTagBegin; }
  void SetParamTagBegin(const std::string& AValue) { FParamTagBegin = AValue; }
  const std::string& ParamTagEnd() const { return FParamTagEnd; }
  void SetParamTagEnd(const std::string& AValue) { FParamTagEnd = AValue; }
  bool ShowPoPButton() const { return FShowPoPButton; }
  void SetShowPoPButton(bool AValue) { FShowPoPButton = AValue; }
  bool PendixInstalled() const { return FPendixInstalled; }
  void SetPendixInstalled(bool AValue) { FPendixInstalled = AValue; }
  double StartGeoEast() const { return FStartGeoEast; }
  void SetStartGeoEast(double AValue) { FStartGeoEast = AValue; }
  double StartGeoNorth() const { return FStartGeoNorth; }
  void SetStartGeoNorth(double AValue) { FStartGeoNorth = AValue; }

  // Request parameters as "name=value" lines. Reading writes the branch settings and the page
  // name back first; setting reads the branch settings from the new list.
  const std::vector<std::string>& Params();
  void SetParams(const std::vector<std::string>& AValue);

  // The names of the request parameters read so far (each as first asked for), and whether the
  // whole list was handed out: a page made again from a request that gives these names the same
  // values comes out the same.
  const std::unordered_set<std::string>& ParamsRead() const { return FParamsRead; }
  bool ParamsReadAll() const { return FParamsReadAll; }

  // Counters and settings that the fields walk; readable for callers and tests.
  int32_t ButtonCounter() const { return FButtonCounter; }
  TJWButtonSet ButtonSet() const { return FButtonSet; }
  int32_t ButtonCount() const { return FButtonCount; }
  int32_t PageIndex() const { return FPageIndex; }
  int32_t BranchPosition() const { return FBranchPosition; }
  int32_t BranchSortIndex() const { return FBranchSortIndex; }

  TZDEnhPageProducer& Engine() { return *FEngine; }

  // Opens the image, template and entry data files of a directory of its own at Filepath,
  // replacing any files in use.
  void OpenDataFiles();
  // The same with the readers of ADirectory, which the caller keeps alive and to itself while the
  // producer uses it.
  void OpenDataFiles(std::shared_ptr<TJWDataDirectory> ADirectory);
  // Copies settings, identifier, a copy of the record and the data files of another producer of
  // exactly this class; from anything else it copies nothing.
  void Assign(const TJWHTMLProducer& ASource);

  virtual std::string GetFieldText(TZDEnhPageProducer& ASender, const std::string& AFieldName,
                                   const TZDParamList& ATagParams);
  virtual std::string CustomTag(TZDEnhPageProducer& ASender, const std::string& ATagString,
                                const TZDParamList& ATagParams);
  // Fixes the page (FORCEPAGE may override it) and loads "main1", "main2" or "route".
  virtual void SelectPage(int32_t APageIndex);
  virtual void QuickSortBranches(std::vector<TJWBranchRec>& AList, int32_t ASortIndex,
                                 int32_t AHigh, int32_t ALow);
  virtual void SortBranches(std::vector<TJWBranchRec>& AList, int32_t ASortIndex, int32_t AHigh,
                            int32_t ALow);

  std::string ReplacePlaceholders(const std::string& AText);
  std::string ResolveParamMarkers(const std::string& AText);

  void ReadRequestParams();
  void WriteRequestParams();
  // Merges a query string into the request parameters (no URL decoding) and reads them.
  void SetQueryParams(const std::string& AQuery);
  // Produces the page and appends its bytes to AStream; a null stream is "Stream Error!".
  void WritePage(std::string* AStream, int32_t APageIndex);

 private:
  // A request parameter by name, noted in ParamsRead.
  std::string RequestParam(const std::string& AName);
  std::string PageName(int32_t AIndex) const;
  int32_t ButtonSlot() const;
  std::string Include(std::string_view AFileName, const TZDParamList& ATagParams);
  void LoadedRecordChanged();
  void ClearRecord();

  std::string ParamField(const TZDParamList& ATagParams);
  std::string ListField(bool AIndustries, const TZDParamList& ATagParams);
  std::string EnhInfoField(const std::string& AName, const TZDParamList& ATagParams);
  std::string OfficeHoursCell(const TZDParamList& ATagParams) const;
  std::string OfficeHoursField(const TZDParamList& ATagParams);
  std::string OfficeHoursInfoLine() const;
  // The record's office hours in its kind's reading, one text row per table row: kind 0 its line
  // in column 1, kind 1 the sixteen day-table columns, kind 2 the left and right texts in columns 1
  // and 2. Read once per set of lines rather than once per table cell.
  const std::array<TJWOfficeHoursTextRow, kOfficeHoursRows>& OfficeHoursRows() const;
  std::string CardField(const TZDParamList& ATagParams);
  std::string ButtonField(const TZDParamList& ATagParams);
  std::string ButtonUrlField(const TZDParamList& ATagParams);
  std::string BranchField(const std::string& AName, const TZDParamList& ATagParams);
  std::string BranchStep(const TZDParamList& ATagParams);
  std::string TemplateField(const std::string& AName);
  std::string LogoField(const TZDParamList& ATagParams);
  // A new record: what was read from the old one goes.
  void RecordReplaced();
  void FilterBranches(std::vector<TJWBranchRec>& AList);

  int32_t FJW2ID = 0;
  TJW2DataRec FDataRec;
  std::string FFilepath;
  std::string FButtonLinkParams = "?pagenum=$pagenum$&pagename=$pagename$&pageidx=$pageidx$";
  std::string FLogoLink = "logo.jpg";
  std::string FLogoLinkParams = "?jwid=$jwid$&tmpid=$tmpid$";
  std::vector<std::string> FParams;
  std::unordered_set<std::string> FParamsRead;
  bool FParamsReadAll = false;
  std::string FParamTagBegin = "[?";
  std::string FParamTagEnd = "?]";
  bool FShowPoPButton = true;
  bool FPendixInstalled = false;
  double FStartGeoEast = 0.0;
  double FStartGeoNorth = 0.0;

  int32_t FButtonCounter = 0;
  TJWButtonSet FButtonSet = 0;
  int32_t FButtonCount = 0;
  std::unique_ptr<TZDEnhPageProducer> FEngine;
  std::shared_ptr<TJWDataDirectory> FFiles;  // none until the data files are opened
  bool FRecordIsCopy = false;
  int32_t FLinePosition = 0;
  int32_t FRowCounter = 1;
  mutable bool FOfficeHoursRead = false;  // FOfficeHoursRows holds the record's; reset with it
  mutable std::array<TJWOfficeHoursTextRow, kOfficeHoursRows> FOfficeHoursRows;
  int32_t FPageIndex = 0;
  std::string FIndustriesText;
  std::string FSearchwordsText;
  int32_t FBranchPosition = 0;
  int32_t FBranchSortIndex = 1;
  // The sizes and colour of the record's template, read once per page.
  std::optional<TJWTemplateInfo> FTemplateInfo;
};

}  // namespace jw
