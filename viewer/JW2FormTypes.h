#pragma once
// What the viewer window hands to the host's routines. The record's layout is the one the C
// boundary publishes: 31 texts of one length byte and 255 character bytes each.
#include <cstdint>
#include <functional>
#include <string>

namespace jw {

struct TJWShortString255 {
  uint8_t Length = 0;
  char Text[255] = {};

  void Assign(const std::string& AText);
  std::string Str() const { return std::string(Text, Length); }
};

struct TJWPointOfPlaceRec {
  TJWShortString255 Id, ExtraText1, Code5, Code6, ExtraText2, NamePart1, NamePart6, NamePart7,
      NamePart2, NamePart4, NamePart5, NameFormat, ExtraText3, NamePart3, Slogan, Street, StreetNo,
      StreetAdd, Zip, City, PhonePrefix, PhoneNumber, FaxPrefix, FaxNumber, MobilePrefix,
      MobileNumber, EMail, Url, PortalPage, PosX, PosY;
};
static_assert(sizeof(TJWPointOfPlaceRec) == 31 * 256, "point-of-place record must stay packed");

using TJWPointOfPlaceFunc = std::function<void(const TJWPointOfPlaceRec&)>;
// East and north in decimal degrees, updated by the host; the asking page's native window id.
using TJWGetStartPositionFunc =
    std::function<void(double& AEast, double& ANorth, uintptr_t AParent)>;
// True when the host found the address; east and north in decimal degrees.
using TJWLocateAddressFunc =
    std::function<bool(const std::string& AStreet, const std::string& AZip,
                       const std::string& ATown, double& AEast, double& ANorth)>;

}  // namespace jw
