#pragma once
// Windows-1252 <-> UTF-8, for the places where texts leave the byte-string world (JSON, Qt).
#include <string>

namespace jw {

// Every byte has a form: the five bytes the code page leaves undefined map to the C1 controls of
// the same number, so that a round trip gives the bytes back.
std::string Cp1252ToUtf8(const std::string& AText);

// False (AOut undefined) when AUtf8 is not valid UTF-8 or holds a character without a Windows-1252
// form; ABadChar then receives the offending code point (or -1 for invalid UTF-8).
bool Utf8ToCp1252(const std::string& AUtf8, std::string& AOut, long* ABadChar = nullptr);

}  // namespace jw
