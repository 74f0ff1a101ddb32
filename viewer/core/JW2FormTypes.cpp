#include "viewer/core/JW2FormTypes.h"

#include <algorithm>

namespace jw {

void AssignShortString(JWShortString255& AField, const std::string& AText) {
  AField.Length = uint8_t(std::min<size_t>(AText.size(), sizeof(AField.Text)));
  std::fill(std::begin(AField.Text), std::end(AField.Text), '\0');
  std::copy_n(AText.data(), AField.Length, AField.Text);
}

std::string ShortStringText(const JWShortString255& AField) {
  return std::string(AField.Text, AField.Length);
}

}  // namespace jw
