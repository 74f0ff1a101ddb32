#include "viewer/JWCodePage.h"

#include <array>
#include <cstdint>

namespace jw {

namespace {

// Bytes 0x80..0x9F; all others are identical to their Latin-1 code point.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

constexpr std::array<char16_t, 256> MakeTable() {
  std::array<char16_t, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = char16_t(i);
  for (int i = 0; i < 32; ++i) table[0x80 + i] = kHighControls[i];
  return table;
}

constexpr std::array<char16_t, 256> kToUnicode = MakeTable();

char ToByte(char16_t AChar) {
  if (AChar < 0x80 || (AChar >= 0xA0 && AChar <= 0xFF)) return char(AChar);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == AChar) return char(0x80 + i);
  return '?';
}

}  // namespace

QString ToQString(const std::string& AText) {
  QString result(qsizetype(AText.size()), Qt::Uninitialized);
  QChar* out = result.data();
  for (size_t i = 0; i < AText.size(); ++i) out[i] = QChar(kToUnicode[uint8_t(AText[i])]);
  return result;
}

std::string FromQString(const QString& AText) {
  std::string result;
  result.reserve(size_t(AText.size()));
  for (qsizetype i = 0; i < AText.size(); ++i) {
    const QChar c = AText.at(i);
    if (c.isHighSurrogate() && i + 1 < AText.size() && AText.at(i + 1).isLowSurrogate()) ++i;
    result += ToByte(c.unicode());
  }
  return result;
}

}  // namespace jw
