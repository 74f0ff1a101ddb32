// Library-wide state and the exports that manage it: memory routines, data path, version, last
// error, releasing results.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <unordered_map>

#include "JWCallFrame.h"
#include "JWSettings.h"
#include "ZDLogFile.h"
#include "store/JWError.h"

namespace jw {

namespace {

// Guarded by LibLock like all other work of the exports.
TJWLibSettings GSettings;

// The memory routines have a lock of their own: installing them takes no library lock, and results
// are released by the host outside any library call.
struct TMemoryRoutines {
  JWGetMemFunc GetMem = nullptr;
  JWFreeMemFunc FreeMem = nullptr;
  JWReallocMemFunc ReallocMem = nullptr;
};
std::mutex GMemLock;
TMemoryRoutines GMemory;

// Which routines handed out each block, so that JW_FreeMem releases a block with the allocator it
// came from even when the host switched routines in between. Blocks the host released itself
// leave an entry behind until their address is handed out again; that costs a few bytes, never a
// wrong release.
std::unordered_map<void*, TMemoryRoutines> GBlocks;

TMemoryRoutines MemoryRoutines() {
  std::lock_guard<std::mutex> lock(GMemLock);
  return GMemory;
}

void Release(const TMemoryRoutines& AMemory, void* P) noexcept {
  if (AMemory.FreeMem)
    AMemory.FreeMem(P);
  else
    std::free(P);
}

thread_local std::string GLastError;

}  // namespace

TLibLock& LibLock() {
  static TLibLock lock;
  return lock;
}

std::string DataPath() {
  return GSettings.DataPath;
}
TJWDataDirectory::TCall UseDataDirectory() {
  return TJWDataDirectory::Use(GSettings.DataPath);
}
std::string SettingsKey() {
  return GSettings.SettingsKey;
}
uintptr_t HostApp() {
  return GSettings.HostApp;
}

void SetLastError(const std::string& AMessage) noexcept {
  try {
    GLastError = AMessage;
  } catch (...) {
    GLastError.clear();
  }
}

void ClearLastError() noexcept {
  GLastError.clear();
}

std::string CurrentFailureMessage() noexcept {
  try {
    try {
      throw;
    } catch (const std::exception& e) {
      return e.what();
    } catch (...) {
      return "Unknown failure!";
    }
  } catch (...) {
    return std::string();
  }
}

void* HostAlloc(size_t ASize) {
  if (ASize > size_t(std::numeric_limits<int32_t>::max()))
    throw EJWError("Result of " + std::to_string(ASize) + " bytes is too large!");
  if (ASize == 0) ASize = 1;  // so that every handed-out block can be released like any other
  const TMemoryRoutines mem = MemoryRoutines();
  void* p = mem.GetMem ? mem.GetMem(int32_t(ASize)) : std::malloc(ASize);
  if (!p) throw EJWError("Out of memory allocating " + std::to_string(ASize) + " bytes!");
  try {
    std::lock_guard<std::mutex> lock(GMemLock);
    GBlocks.insert_or_assign(p, mem);
  } catch (...) {
    Release(mem, p);
    throw;
  }
  return p;
}

void HostFree(void* P) noexcept {
  if (!P) return;
  TMemoryRoutines mem;
  {
    std::lock_guard<std::mutex> lock(GMemLock);
    auto it = GBlocks.find(P);
    if (it != GBlocks.end()) {
      mem = it->second;
      GBlocks.erase(it);
    } else if (GMemory.FreeMem) {
      mem = GMemory;  // a block of the host's own, which it may hand to us to release
    } else {
      return;  // not a block of ours: releasing it would corrupt the heap
    }
  }
  Release(mem, P);
}

char* CopyToHost(const std::string& AText) {
  char* p = static_cast<char*>(HostAlloc(AText.size() + 1));
  std::memcpy(p, AText.c_str(), AText.size() + 1);
  return p;
}

JWMemoryStream* NewMemoryStream(const void* ABytes, size_t ASize) {
  auto* stream = static_cast<JWMemoryStream*>(HostAlloc(sizeof(JWMemoryStream)));
  try {
    stream->Memory = static_cast<uint8_t*>(HostAlloc(ASize));
  } catch (...) {
    HostFree(stream);
    throw;
  }
  if (ASize) std::memcpy(stream->Memory, ABytes, ASize);
  stream->Size = int32_t(ASize);
  stream->Position = int32_t(ASize);
  return stream;
}

JWMemoryStream* NewMemoryStream(const std::string& ABytes) {
  return NewMemoryStream(ABytes.data(), ABytes.size());
}

void FreeMemoryStream(JWMemoryStream* AStream) noexcept {
  if (!AStream) return;
  HostFree(AStream->Memory);
  HostFree(AStream);
}

std::string Format(const char* AFormat, ...) {
  va_list args;
  va_start(args, AFormat);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, AFormat, copy);
  va_end(copy);
  std::string result(n > 0 ? size_t(n) : 0, '\0');
  if (n > 0) std::vsnprintf(result.data(), result.size() + 1, AFormat, args);
  va_end(args);
  return result;
}

void LogCurrentFailure(const std::string& ACallText) {
  const std::string message = CurrentFailureMessage();
  SetLastError(message);
  WriteLog(ACallText + message);
}

TEntryButtons LoadEntryButtons(uint32_t AEntryId, bool AShowLocation, bool AForceLocation) {
  return LoadEntryButtons(*UseDataDirectory(), AEntryId, AShowLocation, AForceLocation);
}

TEntryButtons LoadEntryButtons(TJWDataDirectory& ADirectory, uint32_t AEntryId, bool AShowLocation,
                               bool AForceLocation) {
  // Buttons need no logo: the image file plays no part.
  const std::shared_ptr<const TJW2DataRec> record = ADirectory.EntryWithoutLogo(AEntryId);
  TEntryButtons result;
  result.Count = DeriveButtons(*record, AShowLocation, AForceLocation, result.Set);
  Include(result.Set, brClose);
  result.BranchCaption = record->BranchCaption;
  return result;
}

}  // namespace jw

using namespace jw;

extern "C" {

JWLIB_EXPORT void JWAPI JW_SetMemoryManager(JWGetMemFunc AGetMem, JWFreeMemFunc AFreeMem,
                                            JWReallocMemFunc AReallocMem) {
  ClearLastError();
  std::lock_guard<std::mutex> lock(GMemLock);
  // Half a set of routines cannot be used safely: without both GetMem and FreeMem the library
  // goes back to its own allocator.
  if (AGetMem && AFreeMem)
    GMemory = TMemoryRoutines{AGetMem, AFreeMem, AReallocMem};
  else
    GMemory = TMemoryRoutines{};
}

JWLIB_EXPORT uint8_t JWAPI JW_SetJWDataPath(const char* ADataPath, const char* ASettingsKey,
                                            uintptr_t AHostApp) {
  return RunExport<uint8_t>(0, [&](TLibLockGuard&) -> uint8_t {
    return GSettings.SetJWDataPath(ADataPath, ASettingsKey, AHostApp) ? 1 : 0;
  });
}

JWLIB_EXPORT char* JWAPI JW_GetDLLVersion(void) {
  return RunExport<char*>(nullptr, [](TLibLockGuard&) { return CopyToHost(DLLVersion); });
}

JWLIB_EXPORT const char* JWAPI JW_GetLastError(void) {
  return GLastError.c_str();
}

JWLIB_EXPORT void JWAPI JW_FreeMemoryStream(JWMemoryStream* AStream) {
  ClearLastError();
  FreeMemoryStream(AStream);
}

JWLIB_EXPORT void JWAPI JW_FreeMem(void* P) {
  ClearLastError();
  HostFree(P);
}

}  // extern "C"
