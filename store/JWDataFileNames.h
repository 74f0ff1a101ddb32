#pragma once
// The fixed names of the three data files inside a data directory. Only TJWDataDirectory joins
// them to a directory; programs outside the library (the packer, the demo host) take them from
// here too. No includes, so that any program can use it.

namespace jw {

inline constexpr const char* EntryDatFileName = "JWDAT.SRM";
inline constexpr const char* LogoDatFileName = "JWIMG.SRM";
inline constexpr const char* TemplateDatFileName = "JWTMP.SRM";

}  // namespace jw
