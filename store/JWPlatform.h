#pragma once
// The few things the operating system does differently: files (kind, read-only open with sharing,
// positional reads, identity), the current directory, the running program's path and local time.
// Everything else in the library is written once against this interface; JWPlatformPosix.cpp and
// JWPlatformWin32.cpp implement it.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

namespace jw::platform {

// The directory separator used when the library joins paths; both '/' and '\' are accepted on
// input everywhere.
#ifdef _WIN32
inline constexpr char PathSeparator = '\\';
#else
inline constexpr char PathSeparator = '/';
#endif

// Whether AChar ends a directory part of a path: '/' and '\' everywhere, ':' (a drive) only on
// Windows.
bool IsDirectoryEnd(char AChar);

// Whether a file may be renamed over or deleted while a process holds it open. Where it may not
// (Windows), the library closes its data files at the end of every call, so that a host can
// replace them between two calls.
#ifdef _WIN32
inline constexpr bool OpenFilesCanBeReplaced = false;
#else
inline constexpr bool OpenFilesCanBeReplaced = true;
#endif

// An open file; InvalidFile when none.
using TFileHandle = intptr_t;
inline constexpr TFileHandle InvalidFile = -1;

// Outside: a name inside a folder that a link leads out of it (TFolder::KindAt).
enum class TFileKind { Missing, Directory, Regular, Other, Outside };

// What a file is at this moment, following links.
TFileKind KindOf(const std::string& AName);

// Opens a regular file for reading only, letting others read, write, rename and delete it
// meanwhile. Never blocks (a FIFO is refused, not waited on). InvalidFile when it cannot be opened
// or is not a regular file.
TFileHandle OpenReadOnly(const std::string& AName);
void CloseFile(TFileHandle AFile) noexcept;

// Reads up to ASize bytes at AOffset without moving any shared file position. Returns the number
// read (short at the end of the file, 0 beyond it), or -1 on a system read error with the system's
// reason in AError.
int64_t ReadAt(TFileHandle AFile, uint64_t AOffset, void* ABuffer, size_t ASize,
               std::string& AError);

// Who a file is: equal identities mean the same, unchanged file as far as the system can tell.
// The modification time is in nanoseconds (100 ns steps on Windows).
struct TFileIdentity {
  uint64_t Device = 0;
  uint64_t Inode = 0;
  uint64_t Size = 0;
  int64_t ModifiedNs = 0;
  bool operator==(const TFileIdentity&) const = default;
};
// False when the file cannot be queried.
bool IdentityOf(TFileHandle AFile, TFileIdentity& AIdentity);
bool IdentityOf(const std::string& AName, TFileIdentity& AIdentity);

// A folder resolved once. A link naming it is followed when it is opened and never again: files
// named relative to it all come from the folder it was at that moment, whatever is renamed or
// swapped meanwhile, so one call sees one version of a folder's files. POSIX keeps the folder's
// descriptor; Windows keeps its final path (junctions and symbolic links resolved).
class TFolder {
 public:
  TFolder() = default;
  ~TFolder();
  TFolder(const TFolder&) = delete;
  TFolder& operator=(const TFolder&) = delete;

  // Opens the folder AName ("" is the current directory). False when that is no folder.
  bool Open(const std::string& AName);
  bool IsOpen() const { return FOpen; }
  // Who the folder is (the one opened, whatever its name shows now).
  const TFileIdentity& Identity() const;

  // What ARelative ('/' and '\' separate folders) names inside the folder, following links, and
  // its identity when it is a regular file. With ABeneath, a name that a link leads out of the
  // folder is Outside.
  TFileKind KindAt(const std::string& ARelative, bool ABeneath, TFileIdentity& AIdentity) const;
  // OpenReadOnly for a file inside the folder; with ABeneath a file reached through a link that
  // leads out of the folder is refused.
  TFileHandle OpenReadOnlyAt(const std::string& ARelative, bool ABeneath) const;

 private:
  // The folder's path with every link resolved, ending in a separator ("" when unknown).
  const std::string& FinalPath() const;

  bool FOpen = false;
  TFileHandle FHandle = InvalidFile;  // POSIX: the folder's descriptor
  // Told on first need (POSIX), so that a call that follows no link does not ask.
  mutable bool FKnown = false;
  mutable std::string FFinalPath;
  mutable TFileIdentity FIdentity;
};

// The process's current directory without a trailing separator; "" when it cannot be told.
std::string CurrentDirectory();

// The full file name of the running program, found once per process; "" when it cannot be told.
std::string ExecutablePath();

// ATime broken down in the local time zone.
std::tm LocalTime(std::time_t ATime);

}  // namespace jw::platform
