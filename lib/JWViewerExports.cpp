// The viewer window, its thumbnail and the event pump for hosts without an event loop.
#include "JWCallFrame.h"
#include "store/JWError.h"

using namespace jw;

extern "C" {

JWLIB_EXPORT void JWAPI JW_ShowForm(uint32_t AEntryId, uint32_t AStartIndex, uint8_t AModal,
                                    uint32_t AReserved, uint8_t AForceLocation,
                                    JWPointOfPlaceFunc AOnPointOfPlace,
                                    JWGetStartPositionFunc AOnGetStartPosition,
                                    JWLocateAddressFunc AOnLocateAddress) {
  (void)AEntryId, (void)AStartIndex, (void)AModal, (void)AReserved, (void)AForceLocation;
  (void)AOnPointOfPlace, (void)AOnGetStartPosition, (void)AOnLocateAddress;
  RunExport(
      [&](TLibLockGuard&) { throw EJWError("The viewer window is not available in this build!"); });
}

JWLIB_EXPORT uint8_t JWAPI JW_GetMiniaturBitmap(uint32_t AEntryId, JWHostBitmap* ABitmap) {
  (void)AEntryId, (void)ABitmap;
  return RunExport<uint8_t>(0, [&](TLibLockGuard&) -> uint8_t {
    throw EJWError("Thumbnails are not available in this build!");
  });
}

JWLIB_EXPORT void JWAPI JW_ProcessMessages(void) {
  ClearLastError();
}

}  // extern "C"
