#pragma once
// A fresh temporary directory, removed with everything in it at the end of the scope.
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>

namespace jw::test {

class TJWTempDir {
 public:
  TJWTempDir() {
    static std::atomic<unsigned> counter{0};
    const auto base = std::filesystem::temp_directory_path();
    do FPath = base / ("jwtest-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    while (!std::filesystem::create_directory(FPath));
  }
  ~TJWTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  TJWTempDir(const TJWTempDir&) = delete;
  TJWTempDir& operator=(const TJWTempDir&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  std::string File(const std::string& AName) const { return (FPath / AName).string(); }

 private:
  std::filesystem::path FPath;
};

}  // namespace jw::test
