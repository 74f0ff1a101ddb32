#include "html/ZDParamList.h"

namespace jw {

namespace {

// Upper-case partner of a Windows-1252 byte, or the byte itself. Besides A-Z the code page has
// lower-case letters at 0xE0-0xFE (except the division sign 0xF7) and the pairs S/Z/OE caron at
// 0x8A/0x9A, 0x8C/0x9C, 0x8E/0x9E and Y diaeresis at 0x9F/0xFF.
unsigned char UpperAnsi(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  switch (c) {
    case 0x9A:
    case 0x9C:
    case 0x9E:
      return static_cast<unsigned char>(c - 16);
    case 0xFF:
      return 0x9F;
    default:
      return c;
  }
}

}  // namespace

bool SameTextAnsi(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (size_t i = 0; i < A.size(); ++i) {
    if (UpperAnsi(static_cast<unsigned char>(A[i])) != UpperAnsi(static_cast<unsigned char>(B[i])))
      return false;
  }
  return true;
}

void TZDParamList::Delete(int AIndex) {
  if (AIndex < 0 || AIndex >= Count()) return;
  FItems.erase(FItems.begin() + AIndex);
}

int TZDParamList::IndexOfName(std::string_view AName) const {
  for (size_t i = 0; i < FItems.size(); ++i) {
    const std::string& item = FItems[i];
    const size_t eq = item.find('=');
    if (eq != std::string::npos && SameTextAnsi(std::string_view(item).substr(0, eq), AName))
      return static_cast<int>(i);
  }
  return -1;
}

std::string TZDParamList::Values(std::string_view AName) const {
  const int i = IndexOfName(AName);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

void TZDParamList::SetValue(std::string_view AName, std::string_view AValue) {
  const int i = IndexOfName(AName);
  if (AValue.empty()) {
    Delete(i);
    return;
  }
  std::string item = std::string(AName) + "=" + std::string(AValue);
  if (i < 0)
    FItems.push_back(std::move(item));
  else
    FItems[static_cast<size_t>(i)] = std::move(item);
}

std::string TZDParamList::Names(int AIndex) const {
  const std::string& item = (*this)[AIndex];
  const size_t eq = item.find('=');
  return eq == std::string::npos ? std::string() : item.substr(0, eq);
}

std::string TZDParamList::ValueFromIndex(int AIndex) const {
  const std::string& item = (*this)[AIndex];
  const size_t eq = item.find('=');
  return eq == std::string::npos ? std::string() : item.substr(eq + 1);
}

}  // namespace jw
