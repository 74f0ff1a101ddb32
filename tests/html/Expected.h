#pragma once
// Text compared with a kept file: a difference fails with the diff, JW_UPDATE_EXPECTED=1 rewrites
// the file instead (look at the diff before committing it).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>

namespace jw::test {

inline std::string ReadWhole(const std::filesystem::path& APath) {
  std::ifstream in(APath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void MatchExpected(const std::filesystem::path& AFile, const std::string& AText) {
  const char* update = std::getenv("JW_UPDATE_EXPECTED");
  if (update && std::string(update) == "1") std::ofstream(AFile, std::ios::binary) << AText;
  EXPECT_EQ(ReadWhole(AFile), AText) << "in " << AFile << " (JW_UPDATE_EXPECTED=1 writes it)";
}

// The bytes written as a backslash and a letter in case files; the rest that does not print as
// \xHH.
const std::string kEscaped("\r\n\t\\\0", 5), kEscapeLetters = "rnt\\0";

inline std::string Unescape(const std::string& AText) {
  std::string out;
  for (size_t i = 0; i < AText.size(); ++i) {
    const size_t at = i + 1 < AText.size() ? kEscapeLetters.find(AText[i + 1]) : std::string::npos;
    if (AText[i] == '\\' && AText[i + 1] == 'x')
      out += char(std::stoi(AText.substr(i + 2, 2), nullptr, 16)), i += 3;
    else if (AText[i] == '\\' && at != std::string::npos)
      out += kEscaped[at], ++i;
    else
      out += AText[i];
  }
  return out;
}

inline std::string Escape(const std::string& AText) {
  std::string out;
  for (unsigned char c : AText) {
    char hex[5];
    std::snprintf(hex, sizeof hex, c < 32 || c > 126 ? "\\x%02X" : "%c", c);
    const size_t at = kEscaped.find(char(c));
    out += at != std::string::npos ? "\\" + kEscapeLetters.substr(at, 1) : std::string(hex);
  }
  return out;
}

inline std::string Replace(std::string AText, const std::string& AFrom, const std::string& ATo) {
  for (size_t at = 0; (at = AText.find(AFrom, at)) != std::string::npos; at += ATo.size())
    AText.replace(at, AFrom.size(), ATo);
  return AText;
}

// One case a line, unprintable bytes as C escapes (\r \n \t \0 \\ \xHH). "=" and "!" lines are
// made anew: what ACase returns for the line before (set-up lines: nothing), or "!" and the error.
// AGroup runs at each "#" line; AShown (a temporary directory) is written as APlaceholder.
inline void RunCases(const std::filesystem::path& AFile, const std::function<void()>& AGroup,
                     const std::function<std::string(const std::string&)>& ACase,
                     const std::string& APlaceholder = "", const std::string& AShown = "") {
  std::istringstream in(ReadWhole(AFile));
  std::string out, line, answer;
  while (std::getline(in, line)) {
    if (line.rfind('=', 0) == 0 || line.rfind('!', 0) == 0) continue;
    out += line + "\n";
    if (!line.empty() && line[0] == '#') AGroup();
    if (line.empty() || line[0] == '#') continue;
    try {
      answer = ACase(APlaceholder.empty() ? Unescape(line)
                                          : Replace(Unescape(line), APlaceholder, AShown));
    } catch (const std::runtime_error& err) {
      answer = std::string("!") + err.what();
    }
    if (!APlaceholder.empty()) answer = Replace(answer, AShown, APlaceholder);
    if (!answer.empty()) out += Escape(answer) + "\n";
  }
  MatchExpected(AFile, out);
}

}  // namespace jw::test
