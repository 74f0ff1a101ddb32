#include "store/ZDTelNum.h"

#include "store/ZDStrUtils.h"

namespace jw {

std::string FormatTelNum(const std::string& AAreaCode, const std::string& ANumber) {
  const std::string area = Trim(AAreaCode);
  const std::string number = Trim(ANumber);
  std::string result;
  // An area code alone is no telephone number: it is shown only in front of a number.
  if (!area.empty() && !number.empty()) {
    const std::string a = FormatTelDigits(area);
    if (!a.empty()) result = "(" + a + ") ";
  }
  if (!number.empty()) result += FormatTelDigits(number);
  return Trim(result);
}

std::string FormatTelDigits(const std::string& AText) {
  return GroupTelNum(CleanTelNum(AText));
}

std::string CleanTelNum(const std::string& AText) {
  std::string result;
  for (char c : AText)
    if ((c >= '0' && c <= '9') || c == '-' || c == '/') result += c;
  return Trim(result);
}

std::string GroupTelNum(const std::string& AText) {
  // Built right to left, then reversed: each piece is pushed reversed so the final reversal
  // restores it. Digits pair from the right of every run; a separator stands between blanks.
  std::string reversed;
  int pairs = 0;
  for (auto it = AText.rbegin(); it != AText.rend(); ++it) {
    const char c = *it;
    if (c >= '0' && c <= '9') {
      reversed += c;
      if (++pairs == 2) {
        reversed += ' ';
        pairs = 0;
      }
    } else {
      reversed += ' ';
      reversed += c;
      reversed += ' ';
      pairs = 0;
    }
  }
  return Trim(std::string(reversed.rbegin(), reversed.rend()));
}

}  // namespace jw
