// The template's pictures and the entry's logo as JPEG files for the host.
#include "JWCallFrame.h"
#include "store/JWError.h"

using namespace jw;

extern "C" {

JWLIB_EXPORT uint8_t JWAPI JW_GetTemplateImages(uint32_t AEntryId, uint32_t ATemplateId,
                                                JWHostList* AList) {
  (void)AEntryId, (void)ATemplateId, (void)AList;
  return RunExport<uint8_t>(0, [&](TLibLockGuard&) -> uint8_t {
    throw EJWError("Template images are not available in this build!");
  });
}

}  // extern "C"
