// The viewer window, its thumbnail and the event pump for hosts without an event loop.
#include <cstddef>

#include "JWCallFrame.h"
#include "ZDLogFile.h"
#include "store/JWError.h"

#if JW_WITH_VIEWER
#include <QPointer>

#include "viewer/JW2Form.h"
#include "viewer/JWViewerApp.h"
#include "viewer/ufraJWNavigation.h"
#endif

using namespace jw;

#if JW_WITH_VIEWER

namespace {

// The viewer and its Qt application, ready on the calling thread; window failures are logged.
void PrepareViewer() {
  EnsureViewerApplication();
  SetViewerFailureHandler([](const std::string& AMessage) {
    try {
      WriteLog("TfrmJW: " + AMessage);
    } catch (...) {
      // A log that cannot be written must not end the window's event loop.
    }
  });
  TfrmJW::SetHostWindow(HostApp());
}

void HandCallbacks(TfrmJW& AForm, JWPointOfPlaceFunc AOnPointOfPlace,
                   JWGetStartPositionFunc AOnGetStartPosition,
                   JWLocateAddressFunc AOnLocateAddress) {
  AForm.OnPointOfPlace = [AOnPointOfPlace](const TJWPointOfPlaceRec& ARec) {
    AOnPointOfPlace(&ARec);  // the window fills the host's own record type
  };
  if (AOnGetStartPosition)
    AForm.OnGetStartPosition = [AOnGetStartPosition](double& AEast, double& ANorth,
                                                     uintptr_t AParent) {
      AOnGetStartPosition(&AEast, &ANorth, AParent);
    };
  if (AOnLocateAddress)
    AForm.OnLocateAddress = [AOnLocateAddress](const std::string& AStreet, const std::string& AZip,
                                               const std::string& ATown, double& AEast,
                                               double& ANorth) {
      return AOnLocateAddress(AStreet.c_str(), AZip.c_str(), ATown.c_str(), &AEast, &ANorth) != 0;
    };
}

}  // namespace

// The library's own application, if it made one, is deliberately left alone at unload: by the
// time a destructor of this module runs at process exit, Qt's own statics are already gone, and
// tearing the application down then crashes. Hosts close the viewer windows before unloading.

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
    QPointer<TfrmJW> form = new TfrmJW();
    try {
      form->SetDataPath(DataPath());
      form->OpenEntry(int32_t(AEntryId));
      form->SettingsKey = SettingsKey();
      TfraJWNavigation* bar = form->Navigation();
      bar->SetShowLocation(bar->ShowLocation());
      if (AOnPointOfPlace) {
        bar->SetForceLocation(AForceLocation != 0);
        HandCallbacks(*form, AOnPointOfPlace, AOnGetStartPosition, AOnLocateAddress);
      } else {
        bar->SetForceLocation(false);
        form->OnPointOfPlace = nullptr;
      }
      const TJWButtonRec button = Index2JWButton(AStartIndex, bar->ShownButtons());
      // The window's own loop, its buttons and the host's routines run without the lock.
      ALock.unlock();
      bar->VirtualClick(button);
      if (AModal)
        form->exec();  // the closed window destroys itself
      else
        form->show();
      ALock.lock();
    } catch (...) {
      delete form.data();
      throw;
    }
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
    const QImage snapshot = RenderEntrySnapshot(DataPath(), AEntryId);
    int32_t width = 0, height = 0;
    ThumbnailSize(ABitmap->GetWidth(ABitmap->Context), ABitmap->GetHeight(ABitmap->Context),
                  snapshot.width(), snapshot.height(), width, height);
    // Everything that can fail is done before the host's bitmap changes.
    const QImage picture = ScaleSnapshot(snapshot, width, height);
    ABitmap->SetWidth(ABitmap->Context, width);
    ABitmap->SetHeight(ABitmap->Context, height);
    ABitmap->Draw(ABitmap->Context, picture.constBits(), width, height,
                  int32_t(picture.bytesPerLine()));
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
  ProcessViewerMessages();
#endif
}

}  // extern "C"
