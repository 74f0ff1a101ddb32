// The HTML text of one page of an entry.
#include "JWCallFrame.h"
#include "store/JWError.h"

using namespace jw;

extern "C" {

JWLIB_EXPORT JWMemoryStream* JWAPI JW_GetHTMLText(uint32_t AEntryId, const char* AIncludePath,
                                                  uint32_t APageIndex, const char* AParams,
                                                  uint8_t AShowLocation, uint8_t AForceLocation) {
  return RunExport<JWMemoryStream*>(nullptr, [&](TLibLockGuard&) -> JWMemoryStream* {
    JWMemoryStream* stream = nullptr;
    try {
      throw EJWError("HTML pages are not available in this build!");
    } catch (...) {
      LogCurrentFailure(
          Format("JW_GetHTMLText( %d, \"%s\", %d, \"%s\", %d, %d ): ", int32_t(AEntryId),
                 AIncludePath ? AIncludePath : "", int32_t(APageIndex), AParams ? AParams : "",
                 AShowLocation, AForceLocation));
    }
    return stream;
  });
}

}  // extern "C"
