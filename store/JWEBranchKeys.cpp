#include "store/JWEBranchKeys.h"

#include <cmath>
#include <exception>
#include <numbers>

#include "store/JWError.h"
#include "store/ZDGeo.h"
#include "store/ZDStrUtils.h"

namespace jw {

namespace {

const std::string NoPositionPrefix = "99999999 ";

}  // namespace

std::string BranchDistanceKey(const TJWBranchRec& ABranch, double AStartEast, double AStartNorth) {
  const std::string fallback = NoPositionPrefix + ABranch.Zip + ABranch.Street;
  if (ABranch.X == 0.0 && ABranch.Y == 0.0) return fallback;
  try {
    constexpr double rad = std::numbers::pi / 180.0;
    const double km =
        GeoDistance(AStartEast * rad, AStartNorth * rad, ABranch.X * rad, ABranch.Y * rad);
    const double metres = std::nearbyint(km * 1000.0);  // default rounding: ties to even
    // A distance that is not a number, or that would need more than eight digits, cannot be
    // ordered against real ones; such a branch sorts like one without a position.
    if (!std::isfinite(metres) || metres < 0.0 || metres > 99999998.0) return fallback;
    const std::string digits = std::to_string(static_cast<int64_t>(metres));
    return PadText(false, "0", 8, digits) + " " + ABranch.Zip + ABranch.Street;
  } catch (const std::exception&) {
    return fallback;
  }
}

std::string BranchSortKey(TJWBranchRec& ABranch, int32_t AIndex, double AStartEast,
                          double AStartNorth) {
  std::string key;
  switch (AIndex) {
    case bsStreet:
      key = ABranch.Street;
      break;
    case bsZip:
      key = ABranch.Zip;
      break;
    case bsCity:
      key = ABranch.City;
      break;
    case bsFirm:
      key = ABranch.Firm;
      break;
    case bsDist:
      key = BranchDistanceKey(ABranch, AStartEast, AStartNorth);
      break;
    default:
      throw EJWError("GetVal-Error, unknown Index!");
  }
  ABranch.SortKey = key.substr(0, 255);
  return key;
}

}  // namespace jw
