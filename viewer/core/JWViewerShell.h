#pragma once
// What the library's viewer exports ask of the platform's shell: the Qt shell on Linux, the
// Win32 shell in the Windows DLL. One implementation is linked into a build; a build without a
// viewer links none and its exports fail cleanly.
#include <cstdint>
#include <functional>
#include <string>

#include "jwlib.h"

namespace jw {

struct TJWShowFormArgs {
  std::string DataPath;
  std::string SettingsKey;  // "" : the placement is neither read nor written
  uint32_t EntryId = 0;
  uint32_t StartIndex = 0;
  bool Modal = false;
  bool ForceLocation = false;
  JWPointOfPlaceFunc OnPointOfPlace = nullptr;  // null: no point-of-place button is forced
  JWGetStartPositionFunc OnGetStartPosition = nullptr;
  JWLocateAddressFunc OnLocateAddress = nullptr;
  uintptr_t HostWindow = 0;  // the host's main window (0: none)
};

// Opens the window of an entry. Everything that can fail (missing files, unknown entry) fails
// before ARelease is called; then the library's lock is released through ARelease for the
// window's own loop and the host's routines, and taken again through AReacquire before return.
// A modal window returns when it is closed, a modeless one at once.
void ShellShowForm(const TJWShowFormArgs& AArgs, const std::function<void()>& ARelease,
                   const std::function<void()>& AReacquire);

// Paints the window of entry AEntryId off screen, as it looks right after loading, scales it
// to the host bitmap's size rules and hands it to ABitmap (checked non-null by the caller).
void ShellMiniaturBitmap(const std::string& ADataPath, uint32_t AEntryId, JWHostBitmap& ABitmap);

// Lets pending window events of the calling thread run once.
void ShellProcessMessages();

// Failures inside window events cannot travel up through an event loop; they go here (the
// library writes them to its log).
void ShellSetFailureHandler(std::function<void(const std::string&)> AHandler);

}  // namespace jw
