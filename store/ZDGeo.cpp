#include "store/ZDGeo.h"

#include <algorithm>
#include <cmath>

#include "store/JWError.h"

namespace jw {

namespace {

// Reads one two-character pair the way the classic integer conversion does: leading blanks and a
// sign are accepted, anything else that is not a decimal digit is a conversion error.
int ParsePair(const std::string& APair) {
  size_t i = 0;
  while (i < APair.size() && APair[i] == ' ') ++i;
  bool negative = false;
  if (i < APair.size() && (APair[i] == '+' || APair[i] == '-')) negative = APair[i++] == '-';
  if (i == APair.size()) throw EJWError("'" + APair + "' is not a valid integer value");
  int value = 0;
  for (; i < APair.size(); ++i) {
    if (APair[i] < '0' || APair[i] > '9')
      throw EJWError("'" + APair + "' is not a valid integer value");
    value = value * 10 + (APair[i] - '0');
  }
  return negative ? -value : value;
}

}  // namespace

double GeoStrToMinutes(const std::string& AText) {
  std::string text = AText;
  if (text.size() < 8) text.append(8 - text.size(), '0');
  const int degrees = ParsePair(text.substr(0, 2));
  const int minutes = ParsePair(text.substr(2, 2));
  const int seconds = ParsePair(text.substr(4, 2));
  const int hundredths = ParsePair(text.substr(6, 2));
  return double(degrees * 60 + minutes) + seconds / 60.0 + hundredths / 6000.0;
}

double GeoDistance(double AEast1, double ANorth1, double AEast2, double ANorth2) {
  // Radius of the international (Hayford 1924) ellipsoid at the equator, in km.
  const long double kRadius = 6378.388L;
  long double c = std::sin((long double)ANorth1) * std::sin((long double)ANorth2) +
                  std::cos((long double)ANorth1) * std::cos((long double)ANorth2) *
                      std::cos((long double)AEast2 - (long double)AEast1);
  // Rounding can push c a hair outside [-1, 1] for (nearly) identical positions; unclamped, the
  // square root would fail and such a branch would sort as one without a position.
  c = std::clamp(c, -1.0L, 1.0L);
  return double(kRadius * std::atan2(std::sqrt(1.0L - c * c), c));
}

}  // namespace jw
