// Branch sort keys shared by the HTML pages and the viewer's branch list.
#include <gtest/gtest.h>

#include <numbers>

#include "EntryAddress.h"
#include "store/JWEBranchKeys.h"
#include "store/JWError.h"

using namespace jw;

namespace {

TJWBranchRec Branch(double AEast, double ANorth) {
  TJWBranchRec b;
  jwtest::FillStreet(b);
  b.Firm = "Muster<BR>GmbH";
  b.X = AEast;
  b.Y = ANorth;
  return b;
}

// Degrees of latitude that make AKm on the meridian.
double NorthForKm(double AKm) {
  return AKm / (6378.388 * std::numbers::pi / 180.0);
}

}  // namespace

TEST(BranchKeys, DistanceKeyIsPaddedMetresThenZipAndStreet) {
  TJWBranchRec b = Branch(0.0, NorthForKm(2.5));
  EXPECT_EQ(BranchSortKey(b, bsDist, 0.0, 0.0), "00002500 50667Hauptstra\337e");
  EXPECT_EQ(b.SortKey, "00002500 50667Hauptstra\337e");

  // The start position counts: standing on the branch gives distance 0.
  EXPECT_EQ(BranchDistanceKey(b, 0.0, NorthForKm(2.5)), "00000000 50667Hauptstra\337e");
}

TEST(BranchKeys, BranchWithoutPositionSortsLast) {
  TJWBranchRec none = Branch(0.0, 0.0);
  TJWBranchRec far = Branch(179.0, 0.0);  // nearly half the earth away
  const std::string noneKey = BranchSortKey(none, bsDist, 0.0, 0.0);
  EXPECT_EQ(noneKey, "99999999 50667Hauptstra\337e");
  EXPECT_LT(BranchSortKey(far, bsDist, 0.0, 0.0), noneKey);
  // Only an exact 0/0 counts as no position.
  TJWBranchRec eastOnly = Branch(0.001, 0.0);
  EXPECT_NE(BranchDistanceKey(eastOnly, 0.0, 0.0).substr(0, 8), "99999999");
}

TEST(BranchKeys, FieldKeysAndUnknownIndex) {
  TJWBranchRec b = Branch(1, 1);
  EXPECT_EQ(BranchSortKey(b, bsStreet, 0, 0), "Hauptstra\337e");
  EXPECT_EQ(BranchSortKey(b, bsZip, 0, 0), "50667");
  EXPECT_EQ(BranchSortKey(b, bsCity, 0, 0), "K\xF6ln");
  EXPECT_EQ(BranchSortKey(b, bsFirm, 0, 0), "Muster<BR>GmbH");
  EXPECT_EQ(b.SortKey, "Muster<BR>GmbH");
  for (int32_t bad : {0, 6, -1}) {
    try {
      BranchSortKey(b, bad, 0, 0);
      FAIL() << bad;
    } catch (const EJWError& e) {
      EXPECT_STREQ(e.what(), "GetVal-Error, unknown Index!");
    }
  }
}
