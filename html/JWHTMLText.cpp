#include "html/JWHTMLText.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <unordered_map>

#include "store/JWError.h"

namespace jw::htmltext {

namespace {

// Pages are small; a text growing past this comes from hostile input (a huge request parameter
// repeated by many markers) and is refused instead of exhausting memory.
constexpr size_t MaxTextSize = size_t(64) << 20;

void CheckSize(size_t ASize) {
  if (ASize > MaxTextSize) throw EJWError("Text zu lang");
}

}  // namespace

bool AnsiSameText(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i)
    if (A[i] != B[i] && AnsiUpperChar(A[i]) != AnsiUpperChar(B[i])) return false;
  return true;
}

int32_t CompareTextAscii(std::string_view A, std::string_view B) {
  const size_t n = std::min(A.size(), B.size());
  for (size_t i = 0; i < n; ++i) {
    auto a = static_cast<unsigned char>(A[i]);
    auto b = static_cast<unsigned char>(B[i]);
    if (a >= 'a' && a <= 'z') a -= 32;
    if (b >= 'a' && b <= 'z') b -= 32;
    if (a != b) return int32_t(a) - int32_t(b);
  }
  if (A.size() == B.size()) return 0;
  return A.size() < B.size() ? -1 : 1;
}

namespace {

std::string ReplaceIn(const std::string& AText, const std::string& AHaystack,
                      std::string_view ANeedle, const std::string& AReplace) {
  if (ANeedle.empty()) return AText;
  std::string result;
  size_t from = 0;
  for (;;) {
    const size_t hit = AHaystack.find(ANeedle, from);
    if (hit == std::string::npos) break;
    CheckSize(result.size() + (hit - from) + AReplace.size());
    result.append(AText, from, hit - from);
    result += AReplace;
    from = hit + ANeedle.size();
  }
  if (from == 0) return AText;
  CheckSize(result.size() + AText.size() - from);
  result.append(AText, from, std::string::npos);
  return result;
}

}  // namespace

std::string ReplaceAllIgnoreCase(const std::string& AText, const std::string& AFind,
                                 const std::string& AReplace) {
  return ReplaceIn(AText, AnsiUpperCase(AText), AnsiUpperCase(AFind), AReplace);
}

std::string ReplaceAll(const std::string& AText, const std::string& AFind,
                       const std::string& AReplace) {
  return ReplaceIn(AText, AText, AFind, AReplace);
}

void ReplaceAllUpper(std::string& AText, std::string& AUpper, std::string_view AFind,
                     const std::string& AReplace) {
  if (AFind.empty()) return;
  std::string text, upper;
  size_t from = 0;
  for (size_t hit = AUpper.find(AFind); hit != std::string::npos; hit = AUpper.find(AFind, from)) {
    CheckSize(text.size() + (hit - from) + AReplace.size());
    text.append(AText, from, hit - from);
    text += AReplace;
    upper.append(AUpper, from, hit - from);
    for (char c : AReplace) upper += AnsiUpperChar(c);
    from = hit + AFind.size();
  }
  if (from == 0) return;
  CheckSize(text.size() + AText.size() - from);
  text.append(AText, from, std::string::npos);
  upper.append(AUpper, from, std::string::npos);
  AText = std::move(text);
  AUpper = std::move(upper);
}

bool TryStrToInt(const std::string& AText, int32_t& AValue) {
  const char* first = AText.data();
  const char* last = first + AText.size();
  if (first != last && *first == '+') {
    ++first;  // from_chars takes "-" but not "+"
    if (first != last && *first == '-') return false;
  }
  int32_t value = 0;
  const auto [end, ec] = std::from_chars(first, last, value, 10);
  if (ec != std::errc() || end != last) return false;
  AValue = value;
  return true;
}

bool TryStrToFloatComma(const std::string& AText, double& AValue) {
  size_t i = 0;
  const size_t n = AText.size();
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (i < n && blank(AText[i])) ++i;
  size_t end = n;
  while (end > i && blank(AText[end - 1])) --end;

  std::string plain;  // the number in the "C" form that from_chars reads
  if (i < end && (AText[i] == '+' || AText[i] == '-')) {
    if (AText[i] == '-') plain += '-';
    ++i;
  }
  size_t digits = 0;
  bool comma = false;
  for (; i < end; ++i) {
    const char c = AText[i];
    if (c >= '0' && c <= '9') {
      plain += c;
      ++digits;
    } else if (c == ',' && !comma) {
      plain += '.';
      comma = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < end && (AText[i] == 'E' || AText[i] == 'e')) {
    plain += 'e';
    ++i;
    if (i < end && (AText[i] == '+' || AText[i] == '-')) plain += AText[i++];
    size_t expDigits = 0;
    for (; i < end && AText[i] >= '0' && AText[i] <= '9'; ++i, ++expDigits) plain += AText[i];
    if (expDigits == 0) return false;
  }
  if (i != end) return false;
  double value = 0;
  const auto [last, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (ec != std::errc() || last != plain.data() + plain.size() || !std::isfinite(value))
    return false;
  AValue = value;
  return true;
}

std::string FormatReal(double AValue) {
  if (std::isnan(AValue)) return "NAN";
  if (std::isinf(AValue)) return AValue < 0 ? "-INF" : "INF";
  if (AValue == 0.0) return "0";

  // 15 significant digits, rounded by the C library: "d.dddddddddddddde[+-]x".
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14e", AValue);
  std::string s = buf;
  std::string sign;
  if (s[0] == '-') {
    sign = "-";
    s.erase(0, 1);
  }
  const size_t ePos = s.find('e');
  int exponent = std::stoi(s.substr(ePos + 1));
  std::string digits = s.substr(0, 1) + s.substr(2, ePos - 2);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string result;
  if (exponent >= -5 && exponent < 15) {
    if (exponent >= 0) {
      const size_t intLen = size_t(exponent) + 1;
      if (digits.size() <= intLen) {
        result = digits + std::string(intLen - digits.size(), '0');
      } else {
        result = digits.substr(0, intLen) + "," + digits.substr(intLen);
      }
    } else {
      result = "0," + std::string(size_t(-exponent - 1), '0') + digits;
    }
  } else {
    result = digits.substr(0, 1);
    if (digits.size() > 1) result += "," + digits.substr(1);
    result += "E" + std::to_string(exponent);
  }
  return sign + result;
}

std::string EscapeHtmlValue(const std::string& AText) {
  std::string result;
  result.reserve(AText.size());
  for (char c : AText) {
    switch (c) {
      case '<':
        result += "&lt;";
        break;
      case '>':
        result += "&gt;";
        break;
      case '"':
        result += "&quot;";
        break;
      case '\'':
        result += "&#39;";
        break;
      default:
        result += c;
    }
  }
  return result;
}

int32_t IndexOfName(const TStringList& AList, const std::string& AName) {
  for (size_t i = 0; i < AList.size(); ++i) {
    const size_t eq = AList[i].find('=');
    if (eq == std::string::npos) continue;
    if (eq == AName.size() && AnsiSameText(std::string_view(AList[i]).substr(0, eq), AName))
      return int32_t(i);
  }
  return -1;
}

std::string ParamValue(const TStringList& AList, const std::string& AName) {
  const int32_t i = IndexOfName(AList, AName);
  if (i < 0) return std::string();
  const std::string& line = AList[size_t(i)];
  return line.substr(line.find('=') + 1);
}

void SetParamValue(TStringList& AList, const std::string& AName, const std::string& AValue) {
  const int32_t i = IndexOfName(AList, AName);
  if (AValue.empty()) {
    if (i >= 0) AList.erase(AList.begin() + i);
    return;
  }
  if (i >= 0)
    AList[size_t(i)] = AName + "=" + AValue;
  else
    AList.push_back(AName + "=" + AValue);
}

TStringList SplitLines(const std::string& AText) {
  TStringList lines;
  size_t start = 0;
  const size_t n = AText.size();
  while (start < n) {
    size_t i = start;
    while (i < n && AText[i] != '\r' && AText[i] != '\n') ++i;
    lines.push_back(AText.substr(start, i - start));
    if (i < n && AText[i] == '\r') {
      ++i;
      if (i < n && AText[i] == '\n') ++i;  // CR LF is one line break
    } else if (i < n) {
      ++i;  // LF
    }
    start = i;
  }
  return lines;
}

void MergeQuery(TStringList& AList, const std::string& AQuery) {
  // Names already seen, upper-cased, with the index of their first entry; a query can hold many
  // parameters, so lookups must not walk the list.
  std::unordered_map<std::string, size_t> firstIndex;
  for (size_t i = 0; i < AList.size(); ++i) {
    const size_t eq = AList[i].find('=');
    if (eq != std::string::npos) firstIndex.emplace(AnsiUpperCase(AList[i].substr(0, eq)), i);
  }
  for (std::string& line : SplitLines(ReplaceAll(AQuery, "&", "\r\n"))) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    const auto [it, added] = firstIndex.emplace(AnsiUpperCase(line.substr(0, eq)), AList.size());
    if (added)
      AList.push_back(std::move(line));
    else
      AList[it->second] = std::move(line);
  }
}

}  // namespace jw::htmltext
