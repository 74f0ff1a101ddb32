#include "store/JWEBranchKeys.h"

#include <cmath>
#include <exception>
#include <numbers>
#include <numeric>
#include <tuple>
#include <utility>

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

std::vector<size_t> BranchSortOrder(const std::vector<std::string>& AKeys, std::mt19937& ARandom) {
  std::vector<size_t> order(AKeys.size());
  std::iota(order.begin(), order.end(), size_t(0));
  // Compares by key, then by stored position, so no two items are equal.
  auto less = [&](size_t a, size_t b) {
    const int c = AKeys[a].compare(AKeys[b]);
    return c < 0 || (c == 0 && a < b);
  };
  size_t lo = 0;
  size_t hi = order.size();  // half-open range still to sort
  std::vector<std::pair<size_t, size_t>> pending;
  for (;;) {
    if (hi - lo < 2) {
      if (pending.empty()) break;
      std::tie(lo, hi) = pending.back();
      pending.pop_back();
      continue;
    }
    std::uniform_int_distribution<size_t> pick(lo, hi - 1);
    const size_t pivot = order[pick(ARandom)];
    // Partition: [lo, lt) before the pivot, [gt, hi) after it, the pivot alone in between.
    size_t lt = lo, i = lo, gt = hi;
    while (i < gt) {
      if (less(order[i], pivot))
        std::swap(order[lt++], order[i++]);
      else if (less(pivot, order[i]))
        std::swap(order[i], order[--gt]);
      else
        ++i;
    }
    // The smaller side first: the pending stack stays logarithmic.
    if (lt - lo < hi - gt) {
      pending.emplace_back(gt, hi);
      hi = lt;
    } else {
      pending.emplace_back(lo, lt);
      lo = gt;
    }
  }
  return order;
}

}  // namespace jw
