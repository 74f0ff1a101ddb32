#include "viewer/core/JWESortBranches.h"

#include <random>

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
  // A key depends only on its branch, so each is computed once; the pointers then move in one go.
  std::vector<std::string> keys;
  std::vector<TJWBranchRec*> branches(AList.begin() + ALo, AList.begin() + AHi + 1);
  keys.reserve(branches.size());
  for (TJWBranchRec* branch : branches)
    keys.push_back(branch ? GetVal(*branch, ASortIndex) : std::string());
  const std::vector<size_t> order = BranchSortOrder(keys, PivotRandom());
  for (size_t k = 0; k < order.size(); ++k) AList[size_t(ALo) + k] = branches[order[k]];
}

}  // namespace jw
