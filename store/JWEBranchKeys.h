#pragma once
// Sort keys of branch offices. The HTML pages and the viewer's branch list sort by the same keys,
// so both call this one function.
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "store/JWEStruct.h"

namespace jw {

// Sort indexes of the branch list; the values are what the page links carry.
enum TJWBranchSortIndex : int32_t {
  bsStreet = 1,
  bsZip = 2,
  bsCity = 3,
  bsFirm = 4,
  bsDist = 5,
};

// The distance key: metres from the start position (decimal degrees, east before north), padded
// with "0" to 8 digits, a blank, Zip and Street. Branches without a position, or whose distance
// cannot be computed, get "99999999 " + Zip + Street and so sort after all others.
std::string BranchDistanceKey(const TJWBranchRec& ABranch, double AStartEast, double AStartNorth);

// The key of a branch for a sort index (TJWBranchSortIndex). The key is also stored in the
// branch's SortKey (cut to 255 bytes). Any other index throws "GetVal-Error, unknown Index!".
std::string BranchSortKey(TJWBranchRec& ABranch, int32_t AIndex, double AStartEast,
                          double AStartNorth);

// The order that sorts AKeys ascending (byte-wise): positions into AKeys. Branches with equal keys
// keep their stored order: every page request sorts anew, and paging through a list whose equal
// keys changed places between requests would show some branches twice and others never. Pivots
// are drawn from ARandom, so no input order makes the sort quadratic.
std::vector<size_t> BranchSortOrder(const std::vector<std::string>& AKeys, std::mt19937& ARandom);

}  // namespace jw
