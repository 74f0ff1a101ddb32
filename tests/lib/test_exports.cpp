// The library as a host sees it: its export table, version text, memory routines and last error.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "DataDir.h"
#include "LibHost.h"
#include "lib/JWSettings.h"

namespace jwtest {
namespace {

std::string CommandOutput(const std::string& ACommand) {
  std::string out;
  FILE* p = popen(ACommand.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  pclose(p);
  return out;
}

TEST(Exports, OnlyTheExportsAreVisible) {
#ifdef _WIN32
  GTEST_SKIP() << "the DLL's export table is checked by scripts/test-windows.sh";
#endif
  std::istringstream table(
      CommandOutput("nm -D --defined-only --format=just-symbols '" JWLIB_PATH "'"));
  const std::set<std::string> names{std::istream_iterator<std::string>(table), {}};
  const std::set<std::string> exports = {
      "JW_SetMemoryManager",  "JW_GetTemplateImages", "JW_GetHTMLText",   "JW_ShowForm",
      "JW_GetMiniaturBitmap", "JW_Button2Index",      "JW_GetButtonSet",  "JW_ButtonCaptions",
      "JW_ButtonCaption",     "JW_ButtonCount",       "JW_SetJWDataPath", "JW_GetDLLVersion",
      "JW_GetLastError",      "JW_FreeMemoryStream",  "JW_FreeMem",       "JW_ProcessMessages"};
  EXPECT_EQ(names, exports);

  EXPECT_NE(CommandOutput("readelf -d '" JWLIB_PATH "'").find("Library soname: [libjwlib.so."),
            std::string::npos);
}

// A host allocator that remembers its live blocks.
struct THeapState {
  std::set<void*> Live;
  std::vector<int32_t> Sizes;
  int Frees = 0;
};
std::mutex HeapLock;
THeapState Heap;

THeapState HeapNow() {
  std::lock_guard<std::mutex> lock(HeapLock);
  return Heap;
}
void* JWAPI HostGetMem(int32_t ASize) {
  void* p = std::malloc(size_t(ASize));
  std::lock_guard<std::mutex> lock(HeapLock);
  Heap.Live.insert(p);
  Heap.Sizes.push_back(ASize);
  return p;
}
int32_t JWAPI HostFreeMem(void* P) {
  std::lock_guard<std::mutex> lock(HeapLock);
  if (Heap.Live.erase(P) == 0) return 1;  // not ours: refuse rather than corrupt the C heap
  ++Heap.Frees;
  std::free(P);
  return 0;
}
void* JWAPI HostReallocMem(void*, int32_t) {
  return nullptr;
}
void* JWAPI FailingGetMem(int32_t) {
  return nullptr;
}

class HostMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    std::lock_guard<std::mutex> lock(HeapLock);
    Heap.Sizes.clear();
    Heap.Frees = 0;
  }
  void TearDown() override { Lib().SetMemoryManager(nullptr, nullptr, nullptr); }
};

// Without routines, or with only half a set, results come from the library's own allocator.
TEST_F(HostMemory, WithoutAFullSetOfRoutinesTheLibraryAllocates) {
  char* v = Lib().GetDLLVersion();
  ASSERT_NE(v, nullptr);
  EXPECT_STREQ(v, "Riridov 2.5");
  EXPECT_STREQ(Lib().GetLastError(), "");
  Lib().FreeMem(v);  // the sanitizer build checks the block was the library's malloc
  Lib().FreeMem(nullptr);
  Lib().FreeMemoryStream(nullptr);

  Lib().SetMemoryManager(HostGetMem, nullptr, HostReallocMem);
  v = Lib().GetDLLVersion();
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(HeapNow().Sizes.empty());
  Lib().FreeMem(v);
}

TEST_F(HostMemory, InstalledRoutinesAllocateEveryResult) {
  Lib().SetMemoryManager(HostGetMem, HostFreeMem, HostReallocMem);
  char* v = Lib().GetDLLVersion();
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(HeapNow().Live.count(v), 1u);
  EXPECT_EQ(HeapNow().Sizes, std::vector<int32_t>{12});  // the text and its zero, nothing else
  EXPECT_EQ(std::memcmp(v, "Riridov 2.5\0", 12), 0);
  EXPECT_EQ(HostFreeMem(v), 0);  // the host may release it itself...

  v = Lib().GetDLLVersion();
  Lib().FreeMem(v);  // ...or through the library, which then uses the host's routine
  EXPECT_TRUE(HeapNow().Live.empty());
  EXPECT_EQ(HeapNow().Frees, 2);

  Lib().SetMemoryManager(FailingGetMem, HostFreeMem, HostReallocMem);
  EXPECT_EQ(Lib().GetDLLVersion(), nullptr);  // reported, not dereferenced
  EXPECT_NE(std::string(Lib().GetLastError()).find("Out of memory"), std::string::npos);
}

TEST_F(HostMemory, PageStreamsComeFromTheHostsRoutines) {
  TSampleData data;
  TTempDir templates, cwd;
  TCurrentDir here(cwd.Path());
  for (const char* name : {"main1.html", "main2.html", "route.html"})
    std::ofstream(templates.Path() / name, std::ios::binary) << "<p>page</p>";

  Lib().SetMemoryManager(HostGetMem, HostFreeMem, HostReallocMem);
  JWMemoryStream* s = Lib().GetHTMLText(idShortSearchwords, templates.Dir().c_str(), 0, "", 0, 0);
  ASSERT_NE(s, nullptr) << Lib().GetLastError();
  EXPECT_EQ(s->Position, s->Size);
  EXPECT_GT(s->Size, 0);
  EXPECT_EQ(HeapNow().Live, (std::set<void*>{s, s->Memory}));  // nothing else is left with the host
  // The host releases the bytes, then the structure, with its own routine.
  EXPECT_EQ(HostFreeMem(s->Memory), 0);
  EXPECT_EQ(HostFreeMem(s), 0);

  Lib().SetMemoryManager(nullptr, nullptr, nullptr);
  // The library's own blocks, checked by the sanitizer build.
  EXPECT_EQ(TakeStream(Lib().GetHTMLText(idShortSearchwords, templates.Dir().c_str(), 0, "", 0, 0)),
            "<p>page</p>\r\n");
}

TEST_F(HostMemory, BlocksGoBackToTheHeapTheyCameFrom) {
  char* fromLibrary = Lib().GetDLLVersion();
  Lib().SetMemoryManager(HostGetMem, HostFreeMem, HostReallocMem);
  char* fromHost = Lib().GetDLLVersion();
  Lib().FreeMem(fromLibrary);  // C heap, although the host's routines are now installed
  EXPECT_EQ(HeapNow().Frees, 0);
  // With routines installed the host may hand its own blocks to the library for release.
  Lib().FreeMem(HostGetMem(8));
  EXPECT_EQ(HeapNow().Frees, 1);

  Lib().SetMemoryManager(nullptr, nullptr, nullptr);
  Lib().FreeMem(fromHost);
  EXPECT_EQ(HeapNow().Frees, 2);
  EXPECT_TRUE(HeapNow().Live.empty());
  int onTheStack = 0;
  Lib().FreeMem(&onTheStack);  // no routines installed: not ours, left alone
}

TEST(LastError, IsPerThreadAndClearedByTheNextCall) {
  TTempDir empty;
  ASSERT_EQ(Lib().SetJWDataPath(empty.Dir().c_str(), nullptr, 0), 1);
  EXPECT_EQ(Lib().ButtonCount(1, 0, 0), -1);
  const std::string error = Lib().GetLastError();
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Lib().GetLastError(), error);  // reading it does not clear it

  std::string other = "unset";
  std::thread([&] { other = Lib().GetLastError(); }).join();
  EXPECT_EQ(other, "");
  EXPECT_EQ(Lib().GetLastError(), error);

  Lib().ProcessMessages();
  EXPECT_STREQ(Lib().GetLastError(), "");
}

TEST(SettingsRules, DataPathAndKey) {
  const std::string sep(1, kDirSeparator);
  // Applied in turn to one settings object.
  const struct {
    const char *Path, *Key;
    bool Taken;
    std::string DataPath, SettingsKey;
  } steps[] = {
      {"/data/jw", "Software\\Host", true, "/data/jw" + sep, "Software\\Host"},
      {"/data/jw/", nullptr, true, "/data/jw/", ""},     // a null key means no key
      {"C:\\jw\\", "k", true, "C:\\jw\\", "k"},          // either separator ends a directory
      {"/data/jw ", "k", true, "/data/jw " + sep, "k"},  // untrimmed: separator after the blank
      {"   ", "other", false, "   ", "k"},               // refused, stored, key kept
      {nullptr, "other", false, "", "k"},
      {"\t\r\n", "other", false, "\t\r\n", "k"},
  };
  jw::TJWLibSettings s;
  for (const auto& step : steps) {
    SCOPED_TRACE(step.Path ? step.Path : "(null)");
    EXPECT_EQ(s.SetJWDataPath(step.Path, step.Key, 0), step.Taken);
    EXPECT_EQ(s.DataPath, step.DataPath);
    EXPECT_EQ(s.SettingsKey, step.SettingsKey);
  }
}

TEST(SettingsRules, HostWindowIsKeptUntilReplaced) {
  jw::TJWLibSettings s;
  s.SetJWDataPath("/d", nullptr, 0x1234);
  s.SetJWDataPath("/d", nullptr, 0);
  EXPECT_EQ(s.HostApp, 0x1234u);
  s.SetJWDataPath("", nullptr, 0x99);  // taken even when the path is refused
  EXPECT_EQ(s.HostApp, 0x99u);
}

}  // namespace
}  // namespace jwtest
