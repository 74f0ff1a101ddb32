#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "store/JWPlatform.h"

namespace jw::platform {

namespace {

HANDLE AsHandle(TFileHandle AFile) {
  return reinterpret_cast<HANDLE>(AFile);
}

// The system's own text for an error code, without the trailing line break.
std::string SystemMessage(DWORD ACode) {
  char* text = nullptr;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, ACode, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = n && text ? std::string(text, n) : "error " + std::to_string(ACode);
  if (text) LocalFree(text);
  while (!result.empty() &&
         (result.back() == '\n' || result.back() == '\r' || result.back() == ' '))
    result.pop_back();
  return result;
}

// FILETIME counts 100 ns steps since 1601; identities only compare, so no epoch shift is needed.
int64_t Nanoseconds(const FILETIME& ATime) {
  const uint64_t ticks = (uint64_t(ATime.dwHighDateTime) << 32) | ATime.dwLowDateTime;
  return int64_t(ticks) * 100;
}

// Opens AName for its attributes only (folders too), following links and junctions.
HANDLE OpenForQuery(const std::string& AName) {
  return CreateFileA(AName.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The path of an open handle with every link and junction resolved, in the usual drive or UNC
// form; "" when the system cannot tell.
std::string FinalPathOf(HANDLE AHandle) {
  std::vector<char> buffer(MAX_PATH + 1);
  DWORD n = GetFinalPathNameByHandleA(AHandle, buffer.data(), DWORD(buffer.size()), 0);
  if (n >= buffer.size()) {
    buffer.resize(n + 1);
    n = GetFinalPathNameByHandleA(AHandle, buffer.data(), DWORD(buffer.size()), 0);
  }
  if (n == 0 || n >= buffer.size()) return "";
  std::string path(buffer.data(), n);
  if (path.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + path.substr(8);
  if (path.rfind("\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

// Whether APath lies below the folder APrefix (ending in a separator); names differing only in
// the case of ASCII letters are the same on Windows.
bool SameTextPrefix(const std::string& APath, const std::string& APrefix) {
  if (APath.size() <= APrefix.size()) return false;
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; };
  for (size_t i = 0; i < APrefix.size(); ++i)
    if (upper(APath[i]) != upper(APrefix[i])) return false;
  return true;
}

}  // namespace

TFolder::~TFolder() = default;

const std::string& TFolder::FinalPath() const {
  return FFinalPath;
}

const TFileIdentity& TFolder::Identity() const {
  return FIdentity;
}

bool TFolder::Open(const std::string& AName) {
  const HANDLE h = OpenForQuery(AName.empty() ? std::string(".") : AName);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool folder = GetFileInformationByHandle(h, &info) &&
                      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  std::string path = folder ? FinalPathOf(h) : std::string();
  TFileIdentity identity;
  const bool known = folder && IdentityOf(reinterpret_cast<TFileHandle>(h), identity);
  // The folder is named by its final path from now on; no handle stays open, so that the host
  // can still rename or remove it.
  CloseHandle(h);
  if (!known || path.empty()) return false;
  if (path.back() != '\\') path += '\\';
  FFinalPath = path;
  FIdentity = identity;
  FOpen = true;
  return true;
}

TFileKind TFolder::KindAt(const std::string& ARelative, bool ABeneath,
                          TFileIdentity& AIdentity) const {
  if (!FOpen || ARelative.empty()) return TFileKind::Missing;
  const HANDLE h = OpenForQuery(FFinalPath + ARelative);
  if (h == INVALID_HANDLE_VALUE) return TFileKind::Missing;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = GetFileInformationByHandle(h, &info) != 0;
  const bool inside = !ABeneath || SameTextPrefix(FinalPathOf(h), FFinalPath);
  if (ok) IdentityOf(reinterpret_cast<TFileHandle>(h), AIdentity);
  const DWORD type = GetFileType(h);
  CloseHandle(h);
  if (!ok) return TFileKind::Missing;
  if (!inside) return TFileKind::Outside;
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return TFileKind::Directory;
  return type == FILE_TYPE_DISK ? TFileKind::Regular : TFileKind::Other;
}

TFileHandle TFolder::OpenReadOnlyAt(const std::string& ARelative, bool ABeneath) const {
  if (!FOpen || ARelative.empty()) return InvalidFile;
  const TFileHandle file = OpenReadOnly(FFinalPath + ARelative);
  if (file != InvalidFile && ABeneath && !SameTextPrefix(FinalPathOf(AsHandle(file)), FFinalPath)) {
    CloseFile(file);
    return InvalidFile;
  }
  return file;
}

bool IsDirectoryEnd(char AChar) {
  return AChar == '/' || AChar == '\\' || AChar == ':';
}

TFileKind KindOf(const std::string& AName) {
  if (AName.empty()) return TFileKind::Missing;
  const DWORD attributes = GetFileAttributesA(AName.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return TFileKind::Missing;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return TFileKind::Directory;
  return (attributes & FILE_ATTRIBUTE_DEVICE) ? TFileKind::Other : TFileKind::Regular;
}

TFileHandle OpenReadOnly(const std::string& AName) {
  if (AName.empty()) return InvalidFile;
  const HANDLE h = CreateFileA(AName.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return InvalidFile;
  // Pipes and devices ("CON", "NUL", "COM1") are refused like anything but a regular file.
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    return InvalidFile;
  }
  return reinterpret_cast<TFileHandle>(h);
}

void CloseFile(TFileHandle AFile) noexcept {
  if (AFile != InvalidFile) CloseHandle(AsHandle(AFile));
}

int64_t ReadAt(TFileHandle AFile, uint64_t AOffset, void* ABuffer, size_t ASize,
               std::string& AError) {
  if (AOffset > uint64_t(LLONG_MAX)) return 0;
  // The offset travels with the request; the handle is the reader's own, so the file position
  // it leaves behind is nobody else's.
  OVERLAPPED at{};
  at.Offset = DWORD(AOffset);
  at.OffsetHigh = DWORD(AOffset >> 32);
  const DWORD want = DWORD(std::min<size_t>(ASize, size_t(1) << 30));
  DWORD got = 0;
  if (ReadFile(AsHandle(AFile), ABuffer, want, &got, &at)) return got;
  const DWORD code = GetLastError();
  if (code == ERROR_HANDLE_EOF) return 0;
  AError = SystemMessage(code);
  return -1;
}

bool IdentityOf(TFileHandle AFile, TFileIdentity& AIdentity) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (AFile == InvalidFile || !GetFileInformationByHandle(AsHandle(AFile), &info)) return false;
  AIdentity.Device = info.dwVolumeSerialNumber;
  AIdentity.Inode = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  AIdentity.Size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  AIdentity.ModifiedNs = Nanoseconds(info.ftLastWriteTime);
  return true;
}

bool IdentityOf(const std::string& AName, TFileIdentity& AIdentity) {
  if (AName.empty()) return false;
  // Directories open only with backup semantics; reading nothing needs no access rights.
  const HANDLE h =
      CreateFileA(AName.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool ok = IdentityOf(reinterpret_cast<TFileHandle>(h), AIdentity);
  CloseHandle(h);
  return ok;
}

std::string CurrentDirectory() {
  const DWORD need = GetCurrentDirectoryA(0, nullptr);
  if (need == 0) return "";
  std::vector<char> buffer(need + 1);
  const DWORD n = GetCurrentDirectoryA(DWORD(buffer.size()), buffer.data());
  if (n == 0 || n >= buffer.size()) return "";
  std::string dir(buffer.data(), n);
  // "C:\" is the only current directory the system reports with a separator; keep it whole.
  if (dir.size() > 3 && (dir.back() == '\\' || dir.back() == '/')) dir.pop_back();
  return dir;
}

std::string ExecutablePath() {
  static const std::string path = [] {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
      const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), DWORD(buffer.size()));
      if (n == 0) return std::string();
      if (n < buffer.size()) return std::string(buffer.data(), n);
      if (buffer.size() >= 32768) return std::string();  // longer than any Windows path
      buffer.resize(buffer.size() * 2);
    }
  }();
  return path;
}

std::tm LocalTime(std::time_t ATime) {
  std::tm local{};
  localtime_s(&local, &ATime);
  return local;
}

}  // namespace jw::platform
#endif
