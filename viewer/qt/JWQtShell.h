#pragma once
// What the Qt shell offers beyond the library's seam: the application for tools and tests, the
// window's picture off screen.
#include <QImage>
#include <cstdint>
#include <string>

#include "store/JWBitmap.h"

namespace jw {

// Makes sure a QApplication exists on the calling thread: creates the library's own when the
// host has none, on the offscreen platform when no display is reachable. Raises EJWError when a
// non-widget application exists or it lives on another thread.
void EnsureViewerApplication();
// Destroys every viewer window still open.
void CloseViewerWindows();
// Destroys the application the library created itself (nothing when the host owns it).
void ReleaseViewerApplication();

// The window of entry AEntryId as it looks right after loading, off screen.
QImage RenderEntrySnapshot(const std::string& ADataPath, uint32_t AEntryId);
TJWBitmap ImageToBitmap(const QImage& AImage);

}  // namespace jw
