#include "viewer/core/JWBranchButtons.h"

#include <map>
#include <vector>

#include "store/JWBmpDecode.h"

namespace jw {

std::shared_ptr<const TJWBitmap> BranchBitmap(const std::string& AName) {
  static const std::map<std::string, std::shared_ptr<const TJWBitmap>> bitmaps = [] {
    const std::pair<const char*, std::vector<uint8_t>> files[] = {
#include "JWBranchBitmaps.inc"
    };
    std::map<std::string, std::shared_ptr<const TJWBitmap>> decoded;
    for (const auto& [name, bytes] : files)
      decoded[name] = std::make_shared<const TJWBitmap>(DecodeBmp(bytes));
    return decoded;
  }();
  const auto it = bitmaps.find(AName);
  return it == bitmaps.end() ? nullptr : it->second;
}

}  // namespace jw
