#pragma once
// Text compared with a kept file: a difference fails with the diff, JW_UPDATE_EXPECTED=1 rewrites
// the file instead (look at the diff before committing it). Case files write bytes that do not
// print as C escapes (\r \n \t \0 \\ \xHH), one case a line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace jw::test {

inline std::string ReadWhole(const std::filesystem::path& APath) {
  std::ifstream in(APath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void MatchExpected(const std::filesystem::path& AFile, const std::string& AText) {
  const char* update = std::getenv("JW_UPDATE_EXPECTED");
  if (update && std::string(update) == "1") {
    std::ofstream(AFile, std::ios::binary) << AText;
    return;
  }
  ASSERT_TRUE(std::filesystem::exists(AFile)) << AFile << " missing: run with JW_UPDATE_EXPECTED=1";
  EXPECT_EQ(ReadWhole(AFile), AText) << "in " << AFile;
}

inline std::string Unescape(const std::string& AText) {
  std::string out;
  for (size_t i = 0; i < AText.size(); ++i) {
    if (AText[i] != '\\' || i + 1 == AText.size()) {
      out += AText[i];
      continue;
    }
    const char c = AText[++i];
    if (c == 'x') {
      out += char(std::stoi(AText.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c == '0' ? '\0' : c;
    }
  }
  return out;
}

inline std::string Escape(const std::string& AText) {
  std::string out;
  for (unsigned char c : AText) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    out += c == '\r'           ? "\\r"
           : c == '\n'         ? "\\n"
           : c == '\t'         ? "\\t"
           : c == '\\'         ? "\\\\"
           : c < 32 || c > 126 ? std::string(hex)
                               : std::string(1, char(c));
  }
  return out;
}

}  // namespace jw::test
