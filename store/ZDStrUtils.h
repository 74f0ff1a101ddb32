#pragma once
// Text helpers shared by the data readers, the tag engine and the viewer. Byte strings
// (Windows-1252); positions are byte positions.
#include <cstdint>
#include <functional>
#include <string>

namespace jw {

// Measures the pixel width of a text as some drawing surface would render it. The viewer passes
// real font metrics; without one, ShortenText estimates 6.88671875 pixels per character.
using TMeasureTextFunc = std::function<int32_t(const std::string&)>;

// Removes leading and trailing bytes with codes 0 to 32.
std::string Trim(const std::string& AText);

// Fits AText into AMaxWidth pixels: returned unchanged when it fits, else shortened and followed by
// ASuffix. AMeasure may be null (no surface: the per-character estimate is used).
std::string ShortenText(const TMeasureTextFunc* AMeasure, int32_t AMaxWidth, const std::string& AText,
                        const std::string& ASuffix);

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
