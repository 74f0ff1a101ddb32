#pragma once
// The address most test entries share (header only: benchmarks and fuzz targets use it too).
#include "store/JWEStruct.h"

namespace jwtest {

template <class TRecord>
void FillStreet(TRecord& ARecord) {
  ARecord.Street = "Hauptstra\337e";  // octal: a hex escape would swallow the "e"
  ARecord.StreetNo = "12";
  ARecord.StreetAdd = "a";
  ARecord.Zip = "50667";
  ARecord.City = "K\xF6ln";
}

inline void FillAddress(jw::TJW2DataRec& ARec) {
  FillStreet(ARec);
  ARec.PhonePrefix = "0221";
  ARec.PhoneNumber = "123456";
  ARec.PosX = "06570000";  // 6 deg 57 min east
  ARec.PosY = "50560000";  // 50 deg 56 min north
}

}  // namespace jwtest
