#include "viewer/qt/JWCodePage.h"

#include <array>
#include <cstdint>

#include "store/ZDCodePage.h"

namespace jw {

namespace {

constexpr std::array<char16_t, 256> MakeTable() {
  std::array<char16_t, 256> table{};
  for (int i = 0; i < 256; ++i) table[size_t(i)] = char16_t(Cp1252CodePoint(uint8_t(i)));
  return table;
}

constexpr std::array<char16_t, 256> kToUnicode = MakeTable();

char ToByte(char16_t AChar) {
  const int byte = Cp1252Byte(AChar);
  return byte < 0 ? '?' : char(byte);
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
