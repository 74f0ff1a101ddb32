#include "store/ZDCodePage.h"

#include <cstdint>

namespace jw {

namespace {

void AppendUtf8(std::string& AOut, char32_t ACode) {
  if (ACode < 0x80) {
    AOut += char(ACode);
  } else if (ACode < 0x800) {
    AOut += char(0xC0 | (ACode >> 6));
    AOut += char(0x80 | (ACode & 0x3F));
  } else {
    AOut += char(0xE0 | (ACode >> 12));
    AOut += char(0x80 | ((ACode >> 6) & 0x3F));
    AOut += char(0x80 | (ACode & 0x3F));
  }
}

}  // namespace

std::string Cp1252ToUtf8(const std::string& AText) {
  std::string out;
  out.reserve(AText.size() + AText.size() / 4);
  for (unsigned char c : AText) AppendUtf8(out, Cp1252CodePoint(c));
  return out;
}

bool Utf8ToCp1252(const std::string& AUtf8, std::string& AOut, long* ABadChar) {
  AOut.clear();
  const auto fail = [&](long ACode) {
    if (ABadChar != nullptr) *ABadChar = ACode;
    return false;
  };
  for (size_t i = 0; i < AUtf8.size();) {
    const unsigned char lead = AUtf8[i];
    char32_t code;
    size_t len;
    if (lead < 0x80) {
      code = lead, len = 1;
    } else if ((lead & 0xE0) == 0xC0) {
      code = lead & 0x1F, len = 2;
    } else if ((lead & 0xF0) == 0xE0) {
      code = lead & 0x0F, len = 3;
    } else if ((lead & 0xF8) == 0xF0) {
      code = lead & 0x07, len = 4;
    } else {
      return fail(-1);
    }
    if (i + len > AUtf8.size()) return fail(-1);
    for (size_t k = 1; k < len; ++k) {
      const unsigned char c = AUtf8[i + k];
      if ((c & 0xC0) != 0x80) return fail(-1);
      code = (code << 6) | (c & 0x3F);
    }
    static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kMin[len] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return fail(-1);
    i += len;

    const int byte = Cp1252Byte(code);
    if (byte < 0) return fail(long(code));
    AOut += char(byte);
  }
  return true;
}

}  // namespace jw
