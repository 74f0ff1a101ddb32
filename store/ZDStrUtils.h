#pragma once
// Text helpers shared by the data readers, the tag engine and the viewer. Byte strings
// (Windows-1252); positions are byte positions.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace jw {

// Measures the pixel width of a text as some drawing surface would render it. The viewer passes
// real font metrics; without one, ShortenText estimates 6.88671875 pixels per character.
using TMeasureTextFunc = std::function<int32_t(const std::string&)>;

// Removes leading and trailing bytes with codes 0 to 32.
std::string Trim(const std::string& AText);
std::string_view TrimView(std::string_view AText);

// Upper-casing by the Windows-1252 code page: ASCII letters and the accented letters (umlauts
// included); "\xDF" (sharp s) has no single-byte capital and stays.
// A table, because the page producer upper-cases many short texts.
extern const std::array<char, 256> AnsiUpperTable;
inline char AnsiUpperChar(char AChar) {
  return AnsiUpperTable[static_cast<unsigned char>(AChar)];
}
std::string AnsiUpperCase(std::string_view AText);

// Whether AText begins with APrefix, letter case ignored. APrefix comes upper-cased already (it is
// a search criterion used on many texts); an empty prefix matches everything.
bool StartsWithUpperCased(const std::string& AText, const std::string& APrefix);

// Fits AText into AMaxWidth pixels: returned unchanged when it fits, else shortened and followed by
// ASuffix. AMeasure may be null (no surface: the per-character estimate is used).
std::string ShortenText(const TMeasureTextFunc* AMeasure, int32_t AMaxWidth,
                        const std::string& AText, const std::string& ASuffix);

// The width estimate without a drawing surface: length * 6.88671875, rounded half to even.
int32_t EstimateTextWidth(const std::string& AText);

// Pads AText with APad at the right (APadRight) or left until it has at least AMinLength bytes.
// An empty pad string returns the text unchanged.
std::string PadText(bool APadRight, const std::string& APad, int32_t AMinLength,
                    const std::string& AText);

// Cuts the text before the first ADelimiter off AText and returns it; the delimiter goes too. When
// the delimiter is absent (or empty) the whole text is the token and AText becomes empty.
std::string ExtractToken(const std::string& ADelimiter, std::string& AText);

}  // namespace jw
