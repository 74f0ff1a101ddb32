#include "store/ZDStrUtils.h"

#include <cstdint>
#include <limits>

namespace jw {

namespace {

int32_t EstimateWidthOfLength(size_t ALength) {
  // length * (6 + 227/256) in exact integer arithmetic, rounded half to even.
  const uint64_t scaled = uint64_t(ALength) * 1763u;
  uint64_t q = scaled / 256, r = scaled % 256;
  if (r > 128 || (r == 128 && (q & 1u) != 0)) ++q;
  if (q > uint64_t(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return int32_t(q);
}

bool IsTrimmed(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

int32_t Measure(const TMeasureTextFunc* AMeasure, const std::string& AText) {
  if (AMeasure != nullptr && *AMeasure) return (*AMeasure)(AText);
  return EstimateTextWidth(AText);
}

// The estimate depends only on the length, so without a drawing surface the shortening loop can be
// computed in one step instead of deleting one byte at a time (quadratic on long template texts).
// Deleting at position length - 3 keeps the last three bytes while more than four remain; from four
// bytes on the last byte goes.
std::string ShortenByCount(const std::string& AFull, size_t ADeletions) {
  const size_t len = AFull.size();
  if (ADeletions >= len) return std::string();
  if (len <= 4) return AFull.substr(0, len - ADeletions);
  const size_t middle = len - 4;  // bytes that can go while the tail of three stays
  if (ADeletions <= middle) return AFull.substr(0, len - 3 - ADeletions) + AFull.substr(len - 3);
  std::string four = AFull.substr(0, 1) + AFull.substr(len - 3);
  return four.substr(0, 4 - (ADeletions - middle));
}

}  // namespace

std::string_view TrimView(std::string_view AText) {
  size_t b = 0, e = AText.size();
  while (b < e && IsTrimmed(AText[b])) ++b;
  while (e > b && IsTrimmed(AText[e - 1])) --e;
  return AText.substr(b, e - b);
}

std::string Trim(const std::string& AText) {
  return std::string(TrimView(AText));
}

namespace {
constexpr char UpperOf(char AChar) {
  const auto c = static_cast<unsigned char>(AChar);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char>(c - 32);
  switch (c) {
    case 0x9A:  // s caron
    case 0x9C:  // oe ligature
    case 0x9E:  // z caron
      return static_cast<char>(c - 16);
    case 0xFF:  // y diaeresis
      return static_cast<char>(0x9F);
    default:
      return AChar;
  }
}

}  // namespace

// Made at compile time, so that code running before main may upper-case too.
constinit const std::array<char, 256> AnsiUpperTable = [] {
  std::array<char, 256> table{};
  for (size_t c = 0; c < table.size(); ++c) table[c] = UpperOf(static_cast<char>(c));
  return table;
}();

std::string AnsiUpperCase(std::string_view AText) {
  std::string result(AText);
  for (char& c : result) c = AnsiUpperChar(c);
  return result;
}

bool StartsWithUpperCased(const std::string& AText, const std::string& APrefix) {
  return APrefix.empty() || AnsiUpperCase(AText.substr(0, APrefix.size())) == APrefix;
}

int32_t EstimateTextWidth(const std::string& AText) {
  return EstimateWidthOfLength(AText.size());
}

std::string ShortenText(const TMeasureTextFunc* AMeasure, int32_t AMaxWidth,
                        const std::string& AText, const std::string& ASuffix) {
  if (Measure(AMeasure, AText) <= AMaxWidth) return AText;
  std::string result = AText + ASuffix;
  if (AMeasure == nullptr || !*AMeasure) {
    size_t deletions = 0;
    while (deletions < result.size() &&
           EstimateWidthOfLength(result.size() - deletions) > AMaxWidth)
      ++deletions;
    return ShortenByCount(result, deletions);
  }
  while (!result.empty() && Measure(AMeasure, result) > AMaxWidth) {
    if (result.size() > 4)
      result.erase(result.size() - 4, 1);
    else
      result.pop_back();
  }
  return result;
}

std::string PadText(bool APadRight, const std::string& APad, int32_t AMinLength,
                    const std::string& AText) {
  if (APad.empty()) return AText;
  std::string result = AText;
  while (AMinLength > 0 && result.size() < size_t(AMinLength))
    result = APadRight ? result + APad : APad + result;
  return result;
}

std::string ExtractToken(const std::string& ADelimiter, std::string& AText) {
  const size_t p = ADelimiter.empty() ? std::string::npos : AText.find(ADelimiter);
  std::string token;
  if (p == std::string::npos) {
    token.swap(AText);
    AText.clear();
  } else {
    token = AText.substr(0, p);
    AText.erase(0, p + ADelimiter.size());
  }
  return token;
}

}  // namespace jw
