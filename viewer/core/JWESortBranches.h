#pragma once
// Sorting of the branch list the viewer shows. The list holds references to the entry's branch
// records, so a search result and the full list can both be sorted without copying records.
#include <cstdint>
#include <string>
#include <vector>

#include "store/JWEStruct.h"

namespace jw {

using TJWBranchList = std::vector<TJWBranchRec*>;

// Orders of the sort box, in its item order.
enum TJWBranchOrder : int32_t {
  boStreet = 0,
  boZip = 1,
  boCity = 2,
  boFirm = 3,
  boDistance = 4,
};

class TJWESortBranches {
 public:
  // Start position of the distance order, decimal degrees.
  TJWESortBranches(double AStartEast, double AStartNorth)
      : StartEast(AStartEast), StartNorth(AStartNorth) {}

  double StartEast;
  double StartNorth;

  // Sorts the slots ALo..AHi of AList in place by the key of ASortIndex (TJWBranchOrder), compared
  // byte by byte. The pivot is random, so branches with equal keys may change places between sorts.
  // Out-of-range slots leave the list alone; an unknown index throws "GetVal-Error, unknown
  // Index!".
  void QuickSort(TJWBranchList& AList, int32_t ASortIndex, int32_t ALo, int32_t AHi);

  // Seeds the pivot generator anew (each branch page does so when it is created).
  static void Randomize();

 private:
  // The branch's key for a sort order; also kept in the branch's SortKey.
  std::string GetVal(TJWBranchRec& ABranch, int32_t AIndex) const;
};

}  // namespace jw
