#pragma once
// Telephone numbers as the pages and the viewer show them: "(02 21) 12 34 56".
#include <string>

namespace jw {

std::string FormatTelNum(const std::string& AAreaCode, const std::string& ANumber);
std::string FormatTelDigits(const std::string& AText);  // GroupTelNum(CleanTelNum(AText))
std::string CleanTelNum(const std::string& AText);      // digits, '-' and '/' only, trimmed
std::string GroupTelNum(const std::string& AText);      // digits paired from the right

}  // namespace jw
