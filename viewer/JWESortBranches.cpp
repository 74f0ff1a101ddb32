#include "viewer/JWESortBranches.h"

#include <random>
#include <tuple>
#include <utility>

#include "store/JWEBranchKeys.h"

namespace jw {

namespace {

std::mt19937& PivotRandom() {
  static std::mt19937 generator{std::random_device{}()};
  return generator;
}

}  // namespace

void TJWESortBranches::Randomize() {
  PivotRandom().seed(std::random_device{}());
}

std::string TJWESortBranches::GetVal(TJWBranchRec& ABranch, int32_t AIndex) const {
  // The page producer numbers its orders from 1; the sort box counts from 0. Anything outside the
  // five orders reaches the key function as an unknown index and throws there.
  const int32_t index = AIndex >= boStreet && AIndex <= boDistance ? AIndex + 1 : -1;
  return BranchSortKey(ABranch, index, StartEast, StartNorth);
}

void TJWESortBranches::QuickSort(TJWBranchList& AList, int32_t ASortIndex, int32_t ALo,
                                 int32_t AHi) {
  if (ALo > AHi || ALo < 0 || size_t(AHi) >= AList.size()) return;
  // A key depends only on its branch, so each is computed once and travels with its branch.
  std::vector<std::pair<std::string, TJWBranchRec*>> items;
  items.reserve(size_t(AHi - ALo) + 1);
  for (int32_t i = ALo; i <= AHi; ++i) {
    TJWBranchRec* branch = AList[size_t(i)];
    items.emplace_back(branch ? GetVal(*branch, ASortIndex) : std::string(), branch);
  }
  size_t lo = 0;
  size_t hi = items.size();  // half-open range still to sort
  std::vector<std::pair<size_t, size_t>> pending;
  for (;;) {
    if (hi - lo < 2) {
      if (pending.empty()) break;
      std::tie(lo, hi) = pending.back();
      pending.pop_back();
      continue;
    }
    std::uniform_int_distribution<size_t> pick(lo, hi - 1);
    const std::string pivot = items[pick(PivotRandom())].first;
    // Three-way partition: [lo, lt) < pivot, [lt, gt) == pivot, [gt, hi) > pivot. Runs of equal
    // keys (many branches in one town) then cost no more than distinct keys.
    size_t lt = lo, i = lo, gt = hi;
    while (i < gt) {
      const int c = items[i].first.compare(pivot);
      if (c < 0)
        std::swap(items[lt++], items[i++]);
      else if (c > 0)
        std::swap(items[i], items[--gt]);
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
  for (size_t k = 0; k < items.size(); ++k) AList[size_t(ALo) + k] = items[k].second;
}

}  // namespace jw
