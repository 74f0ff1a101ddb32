#pragma once
// Stored coordinates ("DDMMSSHH") and great-circle distances.
#include <string>

namespace jw {

// Arc minutes of a coordinate text DDMMSSHH (padded with '0' on the right to 8 characters).
// Throws jw::EJWError when a pair is not a decimal number.
double GeoStrToMinutes(const std::string& AText);

// Kilometres between two positions given in radians, east before north. Identical positions are
// 0 km apart (the cosine is clamped to [-1, 1]).
double GeoDistance(double AEast1, double ANorth1, double AEast2, double ANorth2);

}  // namespace jw
