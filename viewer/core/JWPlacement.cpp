// The placement rules over a settings store, the same for every shell.
#include <charconv>

#include "store/ZDStrUtils.h"
#include "viewer/core/JWWindowModel.h"

namespace jw {

namespace {

// A decimal number with an optional sign, blanks around it allowed; anything else reads as -2,
// the value of a missing one.
int32_t ReadInt(TJWSettingsStore& AStore, const std::string& ASection, const char* AName) {
  std::string text = Trim(AStore.Read(ASection, AName));
  if (!text.empty() && text[0] == '+') text.erase(0, 1);
  int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return text.empty() || ec != std::errc() || ptr != end ? -2 : value;
}

}  // namespace

TJWPlacement LoadPlacement(TJWSettingsStore& AStore, const std::string& ASection,
                           const TJWPlacement& ACurrent, int32_t AScreenWidth,
                           int32_t AScreenHeight) {
  const int32_t x = ReadInt(AStore, ASection, "x"), y = ReadInt(AStore, ASection, "y");
  const int32_t w = ReadInt(AStore, ASection, "w"), h = ReadInt(AStore, ASection, "h");
  const int32_t m = ReadInt(AStore, ASection, "m");
  TJWPlacement result = ACurrent;
  if (AScreenWidth < result.Width) result.Width = AScreenWidth, result.Left = 1;
  if (AScreenHeight < result.Height) result.Height = AScreenHeight, result.Top = 1;
  if (x > 0 && x < AScreenWidth) result.Left = x;
  if (y > 0 && y < AScreenHeight) result.Top = y;
  // Sums in 64 bits: a stored value near the integer limit must not wrap into range.
  if (w > 0 && int64_t(x) + w < AScreenWidth) result.Width = w;
  if (h > 0 && int64_t(y) + h < AScreenHeight) result.Height = h;
  // A missing "m" is a window that was never maximised.
  result.Maximized = m != 0 && m != -2;
  return result;
}

void SavePlacement(TJWSettingsStore& AStore, const std::string& ASection,
                   const TJWPlacement& APlacement) {
  if (APlacement.Maximized) {
    // The last normal placement stays for the next window.
    AStore.Write(ASection, "m", "1");
    return;
  }
  AStore.Write(ASection, "m", "0");
  AStore.Write(ASection, "x", std::to_string(APlacement.Left));
  AStore.Write(ASection, "y", std::to_string(APlacement.Top));
  AStore.Write(ASection, "w", std::to_string(APlacement.Width));
  AStore.Write(ASection, "h", std::to_string(APlacement.Height));
}

}  // namespace jw
