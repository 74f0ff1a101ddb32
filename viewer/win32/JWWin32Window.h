#pragma once
// A viewer window on Win32: a top-level window of fixed size whose client area shows the window
// model's display list, with native controls (owner-drawn virtual list boxes, edit boxes, drop-down
// lists, radio buttons) standing on the model's control slots. The window owns its model and
// deletes itself when it is destroyed; windows the model opens (branch offices) are owned by it.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "viewer/core/JWWindowModel.h"
#include "viewer/win32/JWGdiPainter.h"

namespace jw::win32 {

// A native control's child window id is its slot's Id plus this.
inline constexpr int JWControlIdBase = 100;
// The window class of viewer windows.
inline constexpr const char* JWWindowClassName = "JWViewerWindow";

// Failures inside window procedures cannot travel up through a message loop; they go to this
// handler (null: they are dropped).
void SetWindowFailureHandler(std::function<void(const std::string&)> AHandler);

struct TJWWindowOptions {
  HWND Owner = nullptr;  // the window it belongs to (0: none)
  POINT Position{};      // outer top-left corner in screen pixels before a placement applies
  // The placement is read from and written to HKEY_CURRENT_USER\<SettingsKey>\<section>; an
  // empty key: neither.
  std::string SettingsKey;
  std::string PlacementSection;
  // What the model lays its texts out with (null: the window's own); windows it opens share it.
  std::shared_ptr<TJWGdiMetrics> Metrics;
};

// Creates the window of AModel, hidden, with its first page painted and its controls made.
// Returns its handle; the window lives until it is closed or its owner is destroyed.
HWND CreateViewerWindow(std::unique_ptr<TJWWindowModel> AModel, const TJWWindowOptions& AOptions);

// Shows a window made by CreateViewerWindow: its stored placement applied, modeless.
void ShowViewerWindow(HWND AWindow);

// Shows the window and runs its own message loop until it is closed. AHost (if a window) is
// disabled meanwhile and enabled again before the viewer window goes away.
void RunModalViewerWindow(HWND AWindow, HWND AHost);

// Lets the calling thread's pending messages run once; a quit message is left for the host.
void PumpMessages();

}  // namespace jw::win32
