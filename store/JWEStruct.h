#pragma once
// One loaded business-directory entry and its branch offices. Texts are Windows-1252 bytes.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "store/JWBitmap.h"

namespace jw {

using TStringList = std::vector<std::string>;

// One branch office, built from the branch's own entry. Texts are cut to the room noted beside
// them.
struct TJWBranchRec {
  std::string Zip;        // [5]
  std::string City;       // [100]
  std::string Street;     // [100]
  std::string StreetNo;   // [10]
  std::string StreetAdd;  // [20]
  std::string Phone;      // [30] formatted telephone number
  std::string Firm;       // [130] formatted entry name
  double X = 0;           // east, decimal degrees (0/0 = no position)
  double Y = 0;           // north, decimal degrees
  std::string SortKey;    // [255] cached key of the branch sorter
  uint32_t BranchId = 0;
  std::string Code;  // [20] the branch entry's Code6
};

struct TJW2DataRec {
  std::string Id;  // identifier as signed 32-bit decimal text
  int32_t TemplateId = 0;
  std::string ExtraText1;
  std::string Code5;
  std::string Code6;
  std::string ExtraText2;
  std::string NamePart1;
  std::string NamePart6;
  std::string NamePart7;
  std::string NamePart2;
  std::string NamePart4;
  std::string NamePart5;
  std::string NameFormat;
  std::string ExtraText3;
  std::string NamePart3;
  std::string Slogan;
  std::string Street;
  std::string StreetNo;
  std::string StreetAdd;
  std::string Zip;
  std::string City;
  std::string PhonePrefix;
  std::string PhoneNumber;
  std::string FaxPrefix;
  std::string FaxNumber;
  std::string MobilePrefix;
  std::string MobileNumber;
  std::string EMail;
  std::string Url;
  std::string PortalPage;
  uint8_t CardVisa = 0;
  uint8_t CardAmex = 0;
  uint8_t CardEurocard = 0;
  uint8_t CardDiners = 0;
  uint8_t CardEC = 0;
  uint8_t HideLocation = 0;
  std::string PosX;
  std::string PosY;
  int32_t BranchCaption = 0;
  TStringList Industries;
  TStringList Searchwords;
  int32_t OfficeHoursKind = 0;
  TStringList OfficeHours;
  int32_t EnhInfoKind = 0;
  TStringList EnhInfo;
  std::shared_ptr<const TJWBitmap> Logo;              // none when no logo; shared, never changed
  std::optional<std::vector<TJWBranchRec>> Branches;  // none when the entry lists no branch ids
  std::string BusinessTypes;                          // items separated by ","
};

// Joins the seven name parts by a pattern of backslash codes ("\1" to "\7" select NamePart1 to
// NamePart7, each after one blank; other bytes are copied). An empty pattern means
// "\1\6\7\5\4\2\3".
std::string FormatEntryName(const TJW2DataRec& ARecord, const std::string& APattern);

// The items of a list block: separated by the byte 0xFF; a trailing 0xFF adds no empty item.
TStringList SplitListBlock(const std::string& ABlock);
// How many items SplitListBlock would make of ABlock, without making them.
size_t CountListItems(const std::string& ABlock);

// The business types text of a block: every 0xFF becomes ",".
std::string BusinessTypesFromBlock(const std::string& ABlock);

// Compares two Windows-1252 texts the way German readers expect a list sorted: case ignored,
// accented letters with their base letter (ä with a), ß as ss. Returns <0, 0 or >0.
int CompareGermanText(const std::string& A, const std::string& B);

// Sorts a list by CompareGermanText.
void SortGermanList(TStringList& AList);

}  // namespace jw
