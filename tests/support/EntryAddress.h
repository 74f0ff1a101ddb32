#pragma once
// The address most test entries share: a street in Cologne with a telephone number and a map
// position. A test that depends on other values sets them after filling. Header only, so that the
// benchmarks and fuzz targets can use it without the test support library.
#include "store/JWEStruct.h"

namespace jwtest {

inline void FillAddress(jw::TJW2DataRec& ARec) {
  ARec.Street =
      "Hauptstra\xDF"
      "e";
  ARec.StreetNo = "12";
  ARec.StreetAdd = "a";
  ARec.Zip = "50667";
  ARec.City = "K\xF6ln";
  ARec.PhonePrefix = "0221";
  ARec.PhoneNumber = "123456";
  ARec.PosX = "06570000";  // 6 deg 57 min east
  ARec.PosY = "50560000";  // 50 deg 56 min north
}

// The same street for a branch, whose position the test chooses.
inline void FillAddress(jw::TJWBranchRec& ABranch) {
  ABranch.Street =
      "Hauptstra\xDF"
      "e";
  ABranch.StreetNo = "12";
  ABranch.StreetAdd = "a";
  ABranch.Zip = "50667";
  ABranch.City = "K\xF6ln";
}

}  // namespace jwtest
