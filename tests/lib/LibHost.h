#pragma once
// Loads the built library the way a host does and keeps the exports in pointers typed by the
// public header: dlopen + dlsym by name, on Windows LoadLibrary + GetProcAddress by name.
// Everything that differs between the two lives in this header.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "JWTempDir.h"
#include "jwlib.h"

namespace jwtest {

// The exports, each named once: a member per export, loaded by name.
// clang-format off
#define JW_EXPORTS(X)                                                                     \
  X(SetMemoryManager) X(GetTemplateImages) X(GetHTMLText) X(ShowForm) X(GetMiniaturBitmap) \
  X(Button2Index) X(GetButtonSet) X(ButtonCaptions) X(ButtonCaption) X(ButtonCount)        \
  X(SetJWDataPath) X(GetDLLVersion) X(GetLastError) X(FreeMemoryStream) X(FreeMem)         \
  X(ProcessMessages)
// clang-format on

struct TJWLib {
#define JW_MEMBER(N) decltype(&JW_##N) N;
  JW_EXPORTS(JW_MEMBER)
#undef JW_MEMBER

  // Caption helpers: the call's result and the text it wrote.
  std::string Caption(uint32_t AId, uint32_t AIndex, uint8_t AShow = 0, uint8_t AForce = 0) const {
    char buf[256];
    const int32_t n = ButtonCaption(AId, AIndex, AShow, AForce, buf, sizeof buf);
    return n > 0 ? std::string(buf) : std::string("<none>");
  }
  std::string Captions(uint32_t AId, uint8_t AShow = 0, uint8_t AForce = 0) const {
    char buf[256];
    const int32_t n = ButtonCaptions(AId, AShow, AForce, buf, sizeof buf);
    return n > 0 ? std::string(buf) : std::string("<none>");
  }
};

// The process-wide instance. The library is never unloaded: a host keeps it for its lifetime too,
// and leak checkers cannot attribute blocks of an unloaded module.
inline const TJWLib& Lib() {
  static const TJWLib lib = [] {
    TJWLib l{};
#ifdef _WIN32
    HMODULE handle = LoadLibraryA(JWLIB_PATH);
    if (!handle) {
      ADD_FAILURE() << "LoadLibrary: error " << GetLastError();
      std::abort();
    }
    auto symbol = [handle](const char* AName) {
      return reinterpret_cast<void*>(GetProcAddress(handle, AName));
    };
#else
    void* handle = dlopen(JWLIB_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      ADD_FAILURE() << "dlopen: " << dlerror();
      std::abort();
    }
    auto symbol = [handle](const char* AName) { return dlsym(handle, AName); };
#endif
    auto load = [&symbol](auto& AFunc, const char* AName) {
      AFunc = reinterpret_cast<std::remove_reference_t<decltype(AFunc)>>(symbol(AName));
      if (!AFunc) {
        ADD_FAILURE() << "missing export " << AName;
        std::abort();
      }
    };
#define JW_LOAD(N) load(l.N, "JW_" #N);
    JW_EXPORTS(JW_LOAD)
#undef JW_LOAD
    return l;
  }();
  return lib;
}

// The full file name of the running test program.
inline std::filesystem::path ProgramPath() {
#ifdef _WIN32
  char name[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, name, MAX_PATH);
  return std::filesystem::path(std::string(name, n < MAX_PATH ? n : 0));
#else
  return std::filesystem::read_symlink("/proc/self/exe");
#endif
}

#ifdef _WIN32
inline constexpr char kDirSeparator = '\\';
#else
inline constexpr char kDirSeparator = '/';
#endif

// A fresh temporary directory, removed with everything in it at the end of the scope.
struct TTempDir : jw::test::TJWTempDir {
  // The directory with the separator the library itself appends to a data path.
  std::string Dir() const { return Path().string() + kDirSeparator; }
};

// Makes a directory the current one for a scope, so that log files land there.
class TCurrentDir {
 public:
  explicit TCurrentDir(const std::filesystem::path& ADir) : Saved(std::filesystem::current_path()) {
    std::filesystem::current_path(ADir);
  }
  ~TCurrentDir() { std::filesystem::current_path(Saved); }

 private:
  std::filesystem::path Saved;
};

// The bytes of a page stream, which is released; "<null>" for no stream.
inline std::string TakeStream(JWMemoryStream* AStream) {
  if (!AStream) return "<null>";
  EXPECT_EQ(AStream->Position, AStream->Size);  // handed over positioned at its end
  std::string bytes(reinterpret_cast<const char*>(AStream->Memory), size_t(AStream->Size));
  Lib().FreeMemoryStream(AStream);
  return bytes;
}

inline std::string ReadFile(const std::filesystem::path& APath) {
  std::ifstream in(APath, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The failure log is named after the test program.
inline std::string LogName() {
  return ProgramPath().filename().replace_extension(".log").string();
}

// The lines of the failure log in ADir with their date-time prefixes checked and removed.
inline std::vector<std::string> LogLines(const std::filesystem::path& ADir) {
  const std::string text = ReadFile(ADir / LogName());
  static const std::regex prefix(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \| )");
  std::vector<std::string> lines;
  for (size_t pos = 0; pos < text.size();) {
    const size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) {
      ADD_FAILURE() << "unterminated log line: " << text.substr(pos);
      break;
    }
    std::string line = text.substr(pos, end - pos);
    pos = end + 2;
    EXPECT_TRUE(std::regex_search(line, prefix)) << line;
    lines.push_back(line.size() >= 22 ? line.substr(22) : line);
  }
  return lines;
}

}  // namespace jwtest
