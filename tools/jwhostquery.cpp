// The host's reading of a browser's query string. Kept free of Qt so that it can be fuzzed in the
// core build.
#include <string>
#include <utility>
#include <vector>

#include "jwhost.h"

namespace jwhost {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(const std::string& AText) {
  std::string out;
  out.reserve(AText.size());
  for (size_t i = 0; i < AText.size(); ++i) {
    const char c = AText[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%' && i + 2 < AText.size() && HexValue(AText[i + 1]) >= 0 &&
               HexValue(AText[i + 2]) >= 0) {
      out += char(HexValue(AText[i + 1]) * 16 + HexValue(AText[i + 2]));
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

// Splits a raw query into decoded (name, value) pairs, in order.
std::vector<std::pair<std::string, std::string>> SplitQuery(const std::string& ARaw) {
  std::vector<std::pair<std::string, std::string>> pairs;
  size_t start = 0;
  while (start <= ARaw.size()) {
    size_t end = ARaw.find('&', start);
    if (end == std::string::npos) end = ARaw.size();
    const std::string part = ARaw.substr(start, end - start);
    const size_t eq = part.find('=');
    if (!part.empty() && eq != 0) {
      if (eq == std::string::npos)
        pairs.emplace_back(PercentDecode(part), "");
      else
        pairs.emplace_back(PercentDecode(part.substr(0, eq)), PercentDecode(part.substr(eq + 1)));
    }
    start = end + 1;
  }
  return pairs;
}

bool SafeByte(unsigned char c, bool AName) {
  if (c < 32 || c == 127) return false;
  if (c == '<' || c == '>' || c == '"' || c == '\'' || c == '&' || c == '`') return false;
  if (AName && (c == '=' || c == ' ')) return false;
  return true;
}

std::string Clean(const std::string& AText, bool AName) {
  std::string out;
  for (unsigned char c : AText)
    if (SafeByte(c, AName)) out += char(c);
  return out;
}

}  // namespace

std::string DecodeQuery(const std::string& ARawQuery) {
  std::string out;
  for (const auto& [name, value] : SplitQuery(ARawQuery)) {
    const std::string n = Clean(name, true);
    if (n.empty()) continue;
    if (!out.empty()) out += '&';
    out += n + "=" + Clean(value, false);
  }
  return out;
}

std::string QueryValue(const std::string& ARawQuery, const std::string& AName,
                       const std::string& ADefault) {
  for (const auto& [name, value] : SplitQuery(ARawQuery))
    if (name == AName) return value;
  return ADefault;
}

}  // namespace jwhost
