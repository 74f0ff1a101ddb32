// The library as a host sees it: its export table, version text, memory routines and last error.
#include <cstdio>
#include <cstring>
#include <iterator>

#include "LibHost.h"
#include "lib/JWSettings.h"

namespace jwtest {
namespace {

std::string CommandOutput(const std::string& ACommand) {
  std::string out;
  FILE* p = popen(ACommand.c_str(), "r");
  for (int c; p && (c = fgetc(p)) != EOF;) out += char(c);
  if (p) pclose(p);
  return out;
}

TEST(Exports, OnlyTheExportsAreVisible) {
#ifdef _WIN32
  GTEST_SKIP() << "the DLL's export table is checked by scripts/test-windows.sh";
#endif
  std::istringstream table(
      CommandOutput("nm -D --defined-only --format=just-symbols '" JWLIB_PATH "'"));
#define JW_NAME(N) "JW_" #N,
  EXPECT_EQ(std::set<std::string>(std::istream_iterator<std::string>(table), {}),
            (std::set<std::string>{JW_EXPORTS(JW_NAME)}));
#undef JW_NAME
  EXPECT_NE(CommandOutput("readelf -d '" JWLIB_PATH "'").find("Library soname: [libjwlib.so."),
            std::string::npos);
}

// Without a full set of routines results come from the library's own allocator; with one, every
// result comes from the host's, and each block goes back to the heap it came from.
TEST(HostMemory, ResultsComeFromTheInstalledRoutines) {
  Heap.Sizes.clear(), Heap.Frees = 0;
  char* fromLibrary = Lib().GetDLLVersion();
  ASSERT_STREQ(fromLibrary, "Riridov 2.5");
  EXPECT_STREQ(Lib().GetLastError(), "");
  Lib().FreeMem(nullptr);
  Lib().FreeMemoryStream(nullptr);
  Lib().SetMemoryManager(HostGetMem, nullptr, HostReallocMem);  // half a set: not taken
  Lib().FreeMem(Lib().GetDLLVersion());
  EXPECT_TRUE(Heap.Sizes.empty());

  Lib().SetMemoryManager(HostGetMem, HostFreeMem, HostReallocMem);
  Heap.ProbeLock = true;
  char* v = Lib().GetDLLVersion();
  Heap.Waiting.get();
  EXPECT_TRUE(Heap.LockHeld);
  EXPECT_EQ(Heap.LiveNow(), std::set<void*>{v});
  EXPECT_EQ(Heap.Sizes, std::vector<int32_t>{12});  // the text and its zero, nothing else
  EXPECT_EQ(std::memcmp(v, "Riridov 2.5\0", 12), 0);
  EXPECT_EQ(HostFreeMem(v), 0);          // the host may release it itself...
  Lib().FreeMem(Lib().GetDLLVersion());  // ...or through the library, with the host's routine
  Lib().FreeMem(fromLibrary);            // the C heap's block still goes back to the C heap
  Lib().FreeMem(HostGetMem(8));          // and the host may hand its own blocks for release
  EXPECT_TRUE(Heap.LiveNow().empty());
  EXPECT_EQ(Heap.Frees, 3);

  char* fromHost = Lib().GetDLLVersion();
  Lib().SetMemoryManager(nullptr, nullptr, nullptr);
  Lib().FreeMem(fromHost);  // routines removed: the host's block still goes back to the host
  EXPECT_EQ(Heap.Frees, 4);
  int onTheStack = 0;
  Lib().FreeMem(&onTheStack);  // no routines installed: not ours, left alone

  Lib().SetMemoryManager(HostGetMem, HostFreeMem, HostReallocMem);
  Heap.BlocksLeft = 0;
  EXPECT_EQ(Lib().GetDLLVersion(), nullptr);  // reported, not dereferenced
  EXPECT_NE(std::string(Lib().GetLastError()).find("Out of memory"), std::string::npos);
  Lib().SetMemoryManager(nullptr, nullptr, nullptr);
  Heap.BlocksLeft = INT_MAX;
}

TEST(SettingsRules, DataPathKeyAndWindow) {
  const std::string sep(1, kDirSeparator);
  // Applied in turn to one settings object; Stored is the data path and the key after the step.
  // clang-format off
  const struct { const char *Path, *Key; bool Taken; std::string Stored; } steps[] = {
      {"/data/jw", "Software\\Host", true, "/data/jw" + sep + "|Software\\Host"},
      {"/data/jw/", nullptr, true, "/data/jw/|"},          // a null key means no key
      {"C:\\jw\\", "k", true, "C:\\jw\\|k"},              // either separator ends a directory
      {"/data/jw ", "k", true, "/data/jw " + sep + "|k"},  // untrimmed: separator after the blank
      {"   ", "other", false, "   |k"},                    // refused, stored, key kept
      {nullptr, "other", false, "|k"},
      {"\t\r\n", "other", false, "\t\r\n|k"},
  };
  // clang-format on
  jw::TJWLibSettings s;
  for (const auto& step : steps) {
    EXPECT_EQ(s.SetJWDataPath(step.Path, step.Key, 0), step.Taken) << step.Stored;
    EXPECT_EQ(s.DataPath + "|" + s.SettingsKey, step.Stored);
  }
  // The host window is taken even with a refused path, and kept until replaced.
  for (uintptr_t window : {0x1234u, 0u}) s.SetJWDataPath("/d", nullptr, window);
  EXPECT_EQ(s.HostApp, 0x1234u);
  s.SetJWDataPath("", nullptr, 0x99);
  EXPECT_EQ(s.HostApp, 0x99u);
}

}  // namespace
}  // namespace jwtest
