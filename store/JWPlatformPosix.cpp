#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>
#include <vector>

#include "store/JWPlatform.h"

namespace jw::platform {

namespace {

TFileIdentity IdentityFromStat(const struct stat& st) {
  TFileIdentity id;
  id.Device = uint64_t(st.st_dev);
  id.Inode = uint64_t(st.st_ino);
  id.Size = uint64_t(st.st_size);
  id.ModifiedNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}

// The path of an open descriptor with every link resolved; "" when the system cannot tell.
std::string FinalPathOf(int AFd) {
  char buffer[PATH_MAX + 1];
  const std::string proc = "/proc/self/fd/" + std::to_string(AFd);
  const ssize_t n = ::readlink(proc.c_str(), buffer, PATH_MAX);
  if (n <= 0 || buffer[0] != '/') return "";
  return std::string(buffer, size_t(n));
}

std::string Slashed(const std::string& AName) {
  std::string name = AName;
  for (char& c : name)
    if (c == '\\') c = '/';
  return name;
}

TFileKind KindFromStat(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return TFileKind::Directory;
  return S_ISREG(st.st_mode) ? TFileKind::Regular : TFileKind::Other;
}

// Whether the open file AFd lies inside the folder whose final path (with its separator) is
// AFolder.
bool Beneath(int AFd, const std::string& AFolder) {
  const std::string path = FinalPathOf(AFd);
  return !AFolder.empty() && path.size() > AFolder.size() &&
         path.compare(0, AFolder.size(), AFolder) == 0;
}

}  // namespace

TFolder::~TFolder() {
  if (FHandle != InvalidFile) ::close(int(FHandle));
}

bool TFolder::Open(const std::string& AName) {
  const std::string name = AName.empty() ? std::string(".") : Slashed(AName);
  const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  if (FHandle != InvalidFile) ::close(int(FHandle));
  FHandle = fd;
  FKnown = false;
  FOpen = true;
  return true;
}

const std::string& TFolder::FinalPath() const {
  Identity();
  return FFinalPath;
}

const TFileIdentity& TFolder::Identity() const {
  if (!FKnown && FOpen) {
    FKnown = true;
    struct stat st {};
    FIdentity = fstat(int(FHandle), &st) == 0 ? IdentityFromStat(st) : TFileIdentity{};
    FFinalPath = FinalPathOf(int(FHandle));
    if (!FFinalPath.empty() && FFinalPath.back() != '/') FFinalPath += '/';
  }
  return FIdentity;
}

TFileKind TFolder::KindAt(const std::string& ARelative, bool ABeneath,
                          TFileIdentity& AIdentity) const {
  if (!FOpen || ARelative.empty()) return TFileKind::Missing;
  const std::string name = Slashed(ARelative);
  struct stat st {};
  if (ABeneath) {
    // A plain name that is no link stays inside; anything else is judged by where it leads.
    if (fstatat(int(FHandle), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
      return TFileKind::Missing;
    if (S_ISLNK(st.st_mode) || name.find('/') != std::string::npos) {
      const int fd = ::openat(int(FHandle), name.c_str(), O_PATH | O_CLOEXEC);
      if (fd < 0) return TFileKind::Missing;
      const bool inside = Beneath(fd, FinalPath());
      const bool ok = fstat(fd, &st) == 0;
      ::close(fd);
      if (!ok) return TFileKind::Missing;
      if (!inside) return TFileKind::Outside;
    }
  } else if (fstatat(int(FHandle), name.c_str(), &st, 0) != 0) {
    return TFileKind::Missing;
  }
  AIdentity = IdentityFromStat(st);
  return KindFromStat(st);
}

TFileHandle TFolder::OpenReadOnlyAt(const std::string& ARelative, bool ABeneath) const {
  if (!FOpen || ARelative.empty()) return InvalidFile;
  const int fd =
      ::openat(int(FHandle), Slashed(ARelative).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      (ABeneath && !Beneath(fd, FinalPath()))) {
    if (fd >= 0) ::close(fd);
    return InvalidFile;
  }
  return fd;
}

bool IsDirectoryEnd(char AChar) {
  return AChar == '/' || AChar == '\\';
}

TFileKind KindOf(const std::string& AName) {
  struct stat st {};
  if (AName.empty() || stat(AName.c_str(), &st) != 0) return TFileKind::Missing;
  if (S_ISDIR(st.st_mode)) return TFileKind::Directory;
  return S_ISREG(st.st_mode) ? TFileKind::Regular : TFileKind::Other;
}

TFileHandle OpenReadOnly(const std::string& AName) {
  // O_NONBLOCK keeps a FIFO from blocking the open; anything but a regular file is refused.
  const int fd = ::open(AName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  struct stat st {};
  if (fd < 0 || fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (fd >= 0) ::close(fd);
    return InvalidFile;
  }
  return fd;
}

void CloseFile(TFileHandle AFile) noexcept {
  if (AFile != InvalidFile) ::close(int(AFile));
}

int64_t ReadAt(TFileHandle AFile, uint64_t AOffset, void* ABuffer, size_t ASize,
               std::string& AError) {
  for (;;) {
    if (AOffset > uint64_t(LLONG_MAX)) return 0;
    const ssize_t n = ::pread(int(AFile), ABuffer, ASize, off_t(AOffset));
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    AError = std::strerror(errno);
    return -1;
  }
}

bool IdentityOf(TFileHandle AFile, TFileIdentity& AIdentity) {
  struct stat st {};
  if (fstat(int(AFile), &st) != 0) return false;
  AIdentity = IdentityFromStat(st);
  return true;
}

bool IdentityOf(const std::string& AName, TFileIdentity& AIdentity) {
  struct stat st {};
  if (AName.empty() || stat(AName.c_str(), &st) != 0) return false;
  AIdentity = IdentityFromStat(st);
  return true;
}

std::string CurrentDirectory() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return "";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

std::string ExecutablePath() {
  static const std::string path = [] {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
  }();
  return path;
}

std::tm LocalTime(std::time_t ATime) {
  std::tm local{};
  localtime_r(&ATime, &local);
  return local;
}

}  // namespace jw::platform
#endif
