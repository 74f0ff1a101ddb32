#pragma once
// Loads the built library the way a host does (by name) into pointers typed by the public header,
// and holds what the library tests share. Platform differences live only here.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <atomic>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <mutex>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "BmpGen.h"
#include "JWTempDir.h"
#include "jwlib.h"
#include "tools/writer/JWDatWriter.h"
#include "tools/writer/JWImgWriter.h"
#include "tools/writer/JWTmpWriter.h"

namespace jwtest {

using TLines = std::vector<std::string>;

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

  // The text a caption call wrote, "<none>" when it wrote nothing.
  std::string Caption(uint32_t AId, uint32_t AIndex, uint8_t AShow = 0, uint8_t AForce = 0) const {
    char buf[256];
    return ButtonCaption(AId, AIndex, AShow, AForce, buf, sizeof buf) > 0 ? buf : "<none>";
  }
  std::string Captions(uint32_t AId, uint8_t AShow = 0, uint8_t AForce = 0) const {
    char buf[256];
    return ButtonCaptions(AId, AShow, AForce, buf, sizeof buf) > 0 ? buf : "<none>";
  }
};

// Never unloaded: a host keeps it for its lifetime, and leak checkers cannot attribute blocks of an
// unloaded module.
inline const TJWLib& Lib() {
  static const TJWLib lib = [] {
    TJWLib l{};
#ifdef _WIN32
    HMODULE h = LoadLibraryA(JWLIB_PATH);
    auto symbol = [h](const char* N) { return reinterpret_cast<void*>(GetProcAddress(h, N)); };
#else
    void* h = dlopen(JWLIB_PATH, RTLD_NOW | RTLD_LOCAL);
    auto symbol = [h](const char* AName) { return dlsym(h, AName); };
#endif
    if (!h) ADD_FAILURE() << "cannot load " JWLIB_PATH;
#define JW_LOAD(N)                                                       \
  l.N = h ? reinterpret_cast<decltype(l.N)>(symbol("JW_" #N)) : nullptr; \
  if (!l.N) ADD_FAILURE() << "missing export JW_" #N;
    JW_EXPORTS(JW_LOAD)
#undef JW_LOAD
    if (!h || ::testing::Test::HasFailure()) std::abort();
    return l;
  }();
  return lib;
}

// A host allocator that remembers its live blocks and runs dry when BlocksLeft reaches 0. With
// ProbeLock set, the next allocation checks that another thread's call waits for it (LockHeld).
inline struct THostHeap {
  std::mutex Lock;
  std::set<void*> Live;
  std::vector<int32_t> Sizes;
  int Frees = 0;
  std::atomic<int> BlocksLeft{INT_MAX};
  std::atomic<bool> ProbeLock{false};
  bool LockHeld = false;
  std::future<void> Waiting;

  std::set<void*> LiveNow() {
    std::lock_guard<std::mutex> lock(Lock);
    return Live;
  }
} Heap;

inline void* JWAPI HostGetMem(int32_t ASize) {
  if (Heap.ProbeLock.exchange(false)) {
    Heap.Waiting = std::async(std::launch::async, [] { Lib().ButtonCount(1, 0, 0); });
    Heap.LockHeld =
        Heap.Waiting.wait_for(std::chrono::milliseconds(100)) == std::future_status::timeout;
  }
  if (Heap.BlocksLeft.fetch_sub(1) <= 0) return nullptr;
  void* p = std::malloc(size_t(ASize));
  std::lock_guard<std::mutex> lock(Heap.Lock);
  Heap.Live.insert(p);
  Heap.Sizes.push_back(ASize);
  return p;
}
inline int32_t JWAPI HostFreeMem(void* P) {
  std::lock_guard<std::mutex> lock(Heap.Lock);
  if (Heap.Live.erase(P) == 0) return 1;  // not ours: refuse rather than corrupt the C heap
  ++Heap.Frees;
  std::free(P);
  return 0;
}
inline void* JWAPI HostReallocMem(void*, int32_t) {
  return nullptr;
}

// The library lock is reentrant, so only another thread can tell whether a call left it taken.
inline bool LockIsFree() {
  auto other = std::async(std::launch::async, [] { Lib().FreeMem(Lib().GetDLLVersion()); });
  return other.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
}

inline constexpr char kDirSeparator = char(std::filesystem::path::preferred_separator);

struct TTempDir : jw::test::TJWTempDir {
  // The directory with the separator the library itself appends to a data path.
  std::string Dir() const { return Path().string() + kDirSeparator; }
};

// Makes a directory the current one for a scope, so that log files land there.
struct TCurrentDir {
  explicit TCurrentDir(const std::filesystem::path& ADir) { std::filesystem::current_path(ADir); }
  ~TCurrentDir() { std::filesystem::current_path(Saved); }
  const std::filesystem::path Saved = std::filesystem::current_path();
};

// The bytes of a page stream, which is released; "<null>" for no stream.
inline std::string TakeStream(JWMemoryStream* AStream) {
  if (!AStream) return "<null>";
  EXPECT_EQ(AStream->Position, AStream->Size);  // handed over positioned at its end
  std::string bytes(reinterpret_cast<const char*>(AStream->Memory), size_t(AStream->Size));
  Lib().FreeMemoryStream(AStream);
  return bytes;
}

// The failure log is named after the test program.
inline std::string LogName() {
  const std::filesystem::path program = ::testing::internal::GetArgvs()[0];
  return program.filename().replace_extension(".log").string();
}

inline std::string ReadFile(const std::filesystem::path& APath) {
  std::ifstream in(APath, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The lines of the failure log in ADir, their CR LF ends and date-time prefixes checked and
// removed.
inline std::vector<std::string> LogLines(const std::filesystem::path& ADir) {
  static const std::regex prefix(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \| )");
  std::vector<std::string> lines;
  std::istringstream text(ReadFile(ADir / LogName()));
  for (std::string line; std::getline(text, line);) {
    EXPECT_TRUE(line.ends_with('\r') && std::regex_search(line, prefix)) << "malformed: " << line;
    lines.push_back(line.size() > 22 ? line.substr(22, line.size() - 23) : line);
  }
  return lines;
}

inline jw::TStringList Lines(int ACount, const char* APrefix) {
  jw::TStringList result;
  for (int i = 0; i < ACount; ++i) result.push_back(APrefix + std::to_string(i));
  return result;
}

// Entry ids of the sample file.
enum : uint32_t {
  idShortSearchwords = 1,  // 2 industries + 3 search words: one button
  idLongSearchwords = 2,   // 4 industries + 3 search words: two buttons
  idBranches = 3,          // office hours, EC card, two branch offices called "Niederlassungen"
  idPosition = 6,          // business types and a usable position
  idHidden = 7,            // a hidden, missing position and nothing else
  idMissing = 99,          // not in the file
};

inline std::vector<jw::TJWEntryFixture> SampleEntries() {
  std::vector<jw::TJWEntryFixture> e(5);
  const uint32_t ids[] = {idShortSearchwords, idLongSearchwords, idBranches, idPosition, idHidden};
  for (size_t i = 0; i < e.size(); ++i) e[i].Id = ids[i];
  e[0].Record.Industries = Lines(2, "Industrie ");
  e[1].Record.Industries = Lines(4, "Industrie ");
  e[0].Record.Searchwords = e[1].Record.Searchwords = Lines(3, "Wort ");
  e[2].Record.OfficeHours = {"Mo-Fr 8-18"};
  e[2].Record.CardEC = 1;
  e[2].Record.BranchCaption = 2;
  e[2].BranchIds = {idBranches, idShortSearchwords};
  e[3].Record.BusinessTypes = "Handel,Dienstleistung";
  e[3].Record.PosX = "00544530";
  e[3].Record.PosY = "03056700";
  e[4].Record.HideLocation = 1;
  return e;
}

using TLogos = std::vector<std::pair<uint32_t, jw::TJWBitmap>>;

// Writes the three data files into ADir (ending in a separator) and makes it the data path.
inline void WriteDataDir(const std::string& ADir, const std::vector<jw::TJWEntryFixture>& AEntries,
                         const TLogos& ALogos,
                         const std::vector<jw::TJWTemplateFixture>& ATemplates) {
  jw::WriteEntryDatFile(ADir + "JWDAT.SRM", AEntries);
  jw::TJWImgWriter logos(ADir + "JWIMG.SRM");
  for (const auto& [id, picture] : ALogos) logos.AddLogo(id, MakeBmp24(picture));
  logos.Finish();
  jw::TJWTmpWriter templates(ADir + "JWTMP.SRM");
  for (const jw::TJWTemplateFixture& t : ATemplates) templates.Add(t);
  templates.Finish();
  EXPECT_EQ(Lib().SetJWDataPath(ADir.c_str(), nullptr, 0), 1);
}

// The sample entries with a logo file without pictures and one template without pictures.
struct TSampleData {
  TSampleData() { WriteDataDir(Dir.Dir(), SampleEntries(), {}, {jw::TJWTemplateFixture{}}); }
  void Select() const { EXPECT_EQ(Lib().SetJWDataPath(Dir.Dir().c_str(), nullptr, 0), 1); }

  TTempDir Dir;
};

}  // namespace jwtest
