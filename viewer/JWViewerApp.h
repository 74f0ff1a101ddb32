#pragma once
// The viewer's side of the library calls: a Qt application when the host has none, and the
// thumbnail of an entry's window.
#include <QImage>
#include <cstdint>
#include <functional>
#include <string>

#include "viewer/core/JWThumbnail.h"

namespace jw {

// Makes sure a QApplication exists on the calling thread: creates the library's own when the
// host has none, on the offscreen platform when no display is reachable. Raises EJWError when a
// non-widget application exists or it lives on another thread.
void EnsureViewerApplication();
// Destroys every viewer window still open.
void CloseViewerWindows();
// Destroys the application the library created itself (nothing when the host owns it).
void ReleaseViewerApplication();
// Lets pending window events run once (for hosts without a Qt event loop).
void ProcessViewerMessages();

// Failures inside window events (a button the user pressed) cannot travel up through the event
// loop; they go to this handler instead (the library writes them to its log). Null restores the
// default, a warning on the Qt message channel.
using TViewerFailureHandler = std::function<void(const std::string&)>;
void SetViewerFailureHandler(TViewerFailureHandler AHandler);
void ReportViewerFailure(const std::string& AMessage);

// The window of entry AEntryId as it looks right after loading, off screen.
QImage RenderEntrySnapshot(const std::string& ADataPath, uint32_t AEntryId);

// The snapshot stretched to the given size, as 32-bit pixels B, G, R, A (A = 255), top row first.
QImage ScaleSnapshot(const QImage& ASnapshot, int32_t AWidth, int32_t AHeight);

}  // namespace jw
