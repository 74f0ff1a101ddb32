#pragma once
// Windows-1252 <-> UTF-8, for the places where texts leave the byte-string world (JSON, Qt).
#include <string>

namespace jw {

// Code points of the bytes 0x80 to 0x9F; every other byte is its own code point. The five bytes
// the code page leaves undefined map to the C1 controls of the same number, so that every byte
// has a form and a round trip gives the bytes back. Header-only, so that programs outside the
// library (the demo host) use the same table.
inline constexpr char32_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

// The code point of a Windows-1252 byte.
constexpr char32_t Cp1252CodePoint(unsigned char AByte) {
  return AByte >= 0x80 && AByte <= 0x9F ? Cp1252High[AByte - 0x80] : char32_t(AByte);
}

// The Windows-1252 byte of a code point, -1 when it has none.
constexpr int Cp1252Byte(char32_t ACode) {
  if (ACode < 0x80 || (ACode >= 0xA0 && ACode <= 0xFF)) return int(ACode);
  for (int k = 0; k < 32; ++k)
    if (Cp1252High[k] == ACode) return 0x80 + k;
  return -1;
}

// Every byte has a form: the five bytes the code page leaves undefined map to the C1 controls of
// the same number, so that a round trip gives the bytes back.
std::string Cp1252ToUtf8(const std::string& AText);

// False (AOut undefined) when AUtf8 is not valid UTF-8 or holds a character without a Windows-1252
// form; ABadChar then receives the offending code point (or -1 for invalid UTF-8).
bool Utf8ToCp1252(const std::string& AUtf8, std::string& AOut, long* ABadChar = nullptr);

}  // namespace jw
