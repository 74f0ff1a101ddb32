// The viewer window, its thumbnail and the event pump for hosts without an event loop. The
// platform's shell (viewer/qt on Linux, viewer/win32 on Windows) does the work.
#include <cstddef>

#include "JWCallFrame.h"
#include "ZDLogFile.h"
#include "store/JWError.h"

#if JW_WITH_VIEWER
#include "viewer/core/JWViewerShell.h"
#endif

using namespace jw;

#if JW_WITH_VIEWER

namespace {

// Window failures are logged; a log that cannot be written must not end the window's loop.
void PrepareViewer() {
  ShellSetFailureHandler([](const std::string& AMessage) {
    try {
      WriteLog("TfrmJW: " + AMessage);
    } catch (...) {
    }
  });
}

}  // namespace

#endif

extern "C" {

JWLIB_EXPORT void JWAPI JW_ShowForm(uint32_t AEntryId, uint32_t AStartIndex, uint8_t AModal,
                                    uint32_t AReserved, uint8_t AForceLocation,
                                    JWPointOfPlaceFunc AOnPointOfPlace,
                                    JWGetStartPositionFunc AOnGetStartPosition,
                                    JWLocateAddressFunc AOnLocateAddress) {
  (void)AReserved;
#if JW_WITH_VIEWER
  RunExport([&](TLibLockGuard& ALock) {
    PrepareViewer();
    TJWShowFormArgs args;
    args.DataPath = DataPath();
    args.SettingsKey = SettingsKey();
    args.EntryId = AEntryId;
    args.StartIndex = AStartIndex;
    args.Modal = AModal != 0;
    args.ForceLocation = AForceLocation != 0;
    args.OnPointOfPlace = AOnPointOfPlace;
    args.OnGetStartPosition = AOnGetStartPosition;
    args.OnLocateAddress = AOnLocateAddress;
    args.HostWindow = HostApp();
    // The window's own loop, its buttons and the host's routines run without the lock.
    ShellShowForm(
        args, [&] { ALock.unlock(); }, [&] { ALock.lock(); });
  });
#else
  (void)AEntryId, (void)AStartIndex, (void)AModal, (void)AForceLocation;
  (void)AOnPointOfPlace, (void)AOnGetStartPosition, (void)AOnLocateAddress;
  RunExport(
      [&](TLibLockGuard&) { throw EJWError("The viewer window is not available in this build!"); });
#endif
}

JWLIB_EXPORT uint8_t JWAPI JW_GetMiniaturBitmap(uint32_t AEntryId, JWHostBitmap* ABitmap) {
#if JW_WITH_VIEWER
  return RunExport<uint8_t>(0, [&](TLibLockGuard&) -> uint8_t {
    if (!ABitmap || !ABitmap->GetWidth || !ABitmap->GetHeight || !ABitmap->SetWidth ||
        !ABitmap->SetHeight || !ABitmap->Draw)
      throw EJWError("JW_GetMiniaturBitmap: no bitmap!");
    PrepareViewer();
    ShellMiniaturBitmap(DataPath(), AEntryId, *ABitmap);
    return 1;
  });
#else
  (void)AEntryId, (void)ABitmap;
  return RunExport<uint8_t>(0, [&](TLibLockGuard&) -> uint8_t {
    throw EJWError("Thumbnails are not available in this build!");
  });
#endif
}

JWLIB_EXPORT void JWAPI JW_ProcessMessages(void) {
  ClearLastError();
#if JW_WITH_VIEWER
  ShellProcessMessages();
#endif
}

}  // extern "C"
