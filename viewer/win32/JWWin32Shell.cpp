// The library's viewer exports on Windows: the core's window shown by the Win32 shell.
#include <windows.h>

#include "viewer/core/JW2Form.h"
#include "viewer/core/JWThumbnail.h"
#include "viewer/core/JWViewerShell.h"
#include "viewer/core/ufraJWNavigation.h"
#include "viewer/win32/JWGdiPainter.h"
#include "viewer/win32/JWWin32Window.h"

namespace jw {

namespace {

// Pictures that compare pixel for pixel with the Linux library's (plain text rendering) when the
// environment asks for it; tests set JWLIB_TEST_RENDERING=1.
void ApplyRenderingMode() {
  static const bool once = [] {
    char value[8] = {};
    if (GetEnvironmentVariableA("JWLIB_TEST_RENDERING", value, sizeof value) > 0 && value[0] == '1')
      win32::SetPlainTextRendering(true);
    return true;
  }();
  (void)once;
}

}  // namespace

void ShellShowForm(const TJWShowFormArgs& AArgs, const std::function<void()>& ARelease,
                   const std::function<void()>& AReacquire) {
  ApplyRenderingMode();
  auto metrics = std::make_shared<win32::TJWGdiMetrics>();
  TJWButtonRec start = brIndustries;
  std::unique_ptr<TfrmJW> form = OpenShowFormWindow(AArgs, metrics, start);
  TfrmJW& model = *form;
  const HWND host = reinterpret_cast<HWND>(AArgs.HostWindow);
  win32::TJWWindowOptions options;
  options.Owner = host && IsWindow(host) ? host : nullptr;
  options.Position = {TfrmJW::kDesignLeft, TfrmJW::kDesignTop};
  options.SettingsKey = AArgs.SettingsKey;
  options.PlacementSection = TfrmJW::kPlacementSection;
  options.Metrics = metrics;
  // The start page, the window's loop and the host's routines run without the library's lock.
  ARelease();
  HWND window = nullptr;
  try {
    model.Navigation()->VirtualClick(start);
    window = win32::CreateViewerWindow(std::move(form), options);
    if (AArgs.Modal)
      win32::RunModalViewerWindow(window, options.Owner);
    else
      win32::ShowViewerWindow(window);
  } catch (...) {
    if (window && IsWindow(window)) DestroyWindow(window);
    AReacquire();
    throw;
  }
  AReacquire();
}

void ShellMiniaturBitmap(const std::string& ADataPath, uint32_t AEntryId, JWHostBitmap& ABitmap) {
  ApplyRenderingMode();
  // Made once: under the library's lock, and making fonts costs more than painting with them.
  static const auto metrics = std::make_shared<win32::TJWGdiMetrics>();
  std::unique_ptr<TfrmJW> form = OpenSnapshotWindow(ADataPath, AEntryId, metrics);
  const TJWBitmap snapshot = win32::RenderOffscreen(*form, *metrics);
  form.reset();
  DrawThumbnail(snapshot, ABitmap);
}

void ShellProcessMessages() {
  win32::PumpMessages();
}

void ShellSetFailureHandler(std::function<void(const std::string&)> AHandler) {
  win32::SetWindowFailureHandler(std::move(AHandler));
}

}  // namespace jw
