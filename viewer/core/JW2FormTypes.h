#pragma once
// What the viewer window hands to the host's routines: the point-of-place record of the C boundary
// (31 texts of one length byte and 255 character bytes each) and the routines' signatures.
#include <cstdint>
#include <functional>
#include <string>

#include "jwlib.h"

namespace jw {

// The record the host receives, exactly as the C boundary publishes it.
using TJWPointOfPlaceRec = JWPointOfPlaceRec;

// AText cut to the 255 bytes of room, the rest of the room zeroed.
void AssignShortString(JWShortString255& AField, const std::string& AText);
std::string ShortStringText(const JWShortString255& AField);

using TJWPointOfPlaceFunc = std::function<void(const TJWPointOfPlaceRec&)>;
// East and north in decimal degrees, updated by the host; the asking page's native window id.
using TJWGetStartPositionFunc =
    std::function<void(double& AEast, double& ANorth, uintptr_t AParent)>;
// True when the host found the address; east and north in decimal degrees.
using TJWLocateAddressFunc =
    std::function<bool(const std::string& AStreet, const std::string& AZip,
                       const std::string& ATown, double& AEast, double& ANorth)>;

}  // namespace jw
