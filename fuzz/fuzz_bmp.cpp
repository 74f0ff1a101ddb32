// Bitmap decoder on arbitrary bytes: any outcome but a clean EJWError or a well-formed picture is
// a fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "store/JWBmpDecode.h"
#include "store/JWError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const jw::TJWBitmap picture = jw::DecodeBmp(std::span<const uint8_t>(data, size));
    if (picture.Empty() || picture.Pixels.size() != size_t(picture.Width) * size_t(picture.Height))
      std::abort();
  } catch (const jw::EJWError&) {
  }
  return 0;
}
