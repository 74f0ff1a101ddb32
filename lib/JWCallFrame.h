#pragma once
// What every export shares: the library lock, the library-wide settings, the per-thread last error,
// allocation of results through the host's routines, the failure log and the guard that keeps C++
// exceptions from crossing the C boundary.
//
// An export that passes its failures on to the host is written as
//
//   uint8_t JWAPI JW_Something(uint32_t AEntryId, ...) {
//     return jw::RunExport<uint8_t>(0, [&](jw::TLibLockGuard& ALock) -> uint8_t { ...; return 1;
//     });
//   }
//
// An export that absorbs a failure catches it itself, inside the RunExport work, and reports it
// with LogCurrentFailure(callText) from the catch block.
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "jwlib.h"
#include "store/JWDataDirectory.h"
#include "store/JWEButtons.h"

namespace jw {

// The library version text.
inline constexpr const char* DLLVersion = "Riridov 2.5";

// ---- Library lock
// --------------------------------------------------------------------------------

// Serialises the work of all exports process-wide. Reentrant, so that an export reached again on a
// thread that already holds it (a window opening another entry) does not deadlock.
using TLibLock = std::recursive_mutex;
using TLibLockGuard = std::unique_lock<TLibLock>;
TLibLock& LibLock();

// ---- Library-wide settings (read and written with LibLock held)
// ------------------------------------

// The data directory, ending in a separator once a non-blank path was set; "" before that.
std::string DataPath();
// The process-wide data directory of DataPath() for the call being made, its files checked anew.
TJWDataDirectory::TCall UseDataDirectory();
// The key under which the viewer window keeps its placement; "" = keep none.
std::string SettingsKey();
// The native window id of the host's main window (0 = none): the transient parent of our windows.
uintptr_t HostApp();

// ---- Last error (per thread)
// ----------------------------------------------------------------------

void SetLastError(const std::string& AMessage) noexcept;
void ClearLastError() noexcept;
// The message of the exception being handled; call only inside a catch block.
std::string CurrentFailureMessage() noexcept;

// ---- Results handed to the host
// -------------------------------------------------------------------

// A block of ASize bytes (at least one) from the host's GetMem, or the C heap when the host
// installed no routines. Throws EJWError when the size does not fit the host's 32-bit sizes or the
// allocator fails.
void* HostAlloc(size_t ASize);
// Releases a block from HostAlloc with the current routines; null is ignored.
void HostFree(void* P) noexcept;
// AText with its terminating zero in a new host block.
char* CopyToHost(const std::string& AText);
// A new host memory stream holding ABytes, positioned at its end.
JWMemoryStream* NewMemoryStream(const std::string& ABytes);
JWMemoryStream* NewMemoryStream(const void* ABytes, size_t ASize);
// Releases a stream from NewMemoryStream (bytes, then structure); null is ignored.
void FreeMemoryStream(JWMemoryStream* AStream) noexcept;

// ---- Failure log
// ----------------------------------------------------------------------------------

// printf-style formatting of a log line's call part, e.g. Format("JW_X( %d, %d ): ", a, b).
std::string Format(const char* AFormat, ...) __attribute__((format(printf, 1, 2)));

// For a failure that an export absorbs: makes its message the thread's last error and writes
// ACallText + message to the log. Call only inside a catch block. When the log cannot be written
// that failure is thrown, so the export passes it on instead of returning normally.
void LogCurrentFailure(const std::string& ACallText);

// ---- Entry buttons
// --------------------------------------------------------------------------------

struct TEntryButtons {
  TJWButtonSet Set = 0;       // the entry's buttons, brClose included
  int32_t Count = 0;          // content buttons (brClose not counted)
  int32_t BranchCaption = 0;  // the entry's choice of word for the branches button
};

// Loads entry AEntryId from the entry data file of ADirectory (without logos), derives its buttons
// with the two location flags, adds brClose and releases the entry again. Throws the reader's
// failures (missing file, missing entry). Call with LibLock held.
TEntryButtons LoadEntryButtons(TJWDataDirectory& ADirectory, uint32_t AEntryId, bool AShowLocation,
                               bool AForceLocation);
// The same on the data directory of DataPath().
TEntryButtons LoadEntryButtons(uint32_t AEntryId, bool AShowLocation, bool AForceLocation);

// ---- Boundary guard
// -------------------------------------------------------------------------------

// Runs AWork(TLibLockGuard&) for an export: clears the thread's last error, takes LibLock, and
// turns any failure into AFailResult with the failure's message as the last error. The lock is
// released on every path; AWork may unlock and relock it through the guard (e.g. around a modal
// window).
template <class R, class F>
R RunExport(R AFailResult, F&& AWork) noexcept {
  ClearLastError();
  try {
    TLibLockGuard lock(LibLock());
    return AWork(lock);
  } catch (...) {
    SetLastError(CurrentFailureMessage());
    return AFailResult;
  }
}

// The same for an export without a result.
template <class F>
void RunExport(F&& AWork) noexcept {
  ClearLastError();
  try {
    TLibLockGuard lock(LibLock());
    AWork(lock);
  } catch (...) {
    SetLastError(CurrentFailureMessage());
  }
}

}  // namespace jw
