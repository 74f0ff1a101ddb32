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

}  // namespace

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
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

std::tm LocalTime(std::time_t ATime) {
  std::tm local{};
  localtime_r(&ATime, &local);
  return local;
}

}  // namespace jw::platform
#endif
