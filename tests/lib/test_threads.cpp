// Several host threads asking for buttons at the same time; pages asked for while the data folder
// is swapped.
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "DataDir.h"

namespace jwtest {
namespace {

struct TAnswers {
  int32_t Count;
  std::string Set, Captions, Caption1, CloseIndex;
  bool operator==(const TAnswers&) const = default;
};

TAnswers Ask(uint32_t AId, uint8_t AShow) {
  TAnswers a;
  a.Count = Lib().ButtonCount(AId, AShow, 0);
  a.Set = Lib().GetButtonSet(AId, AShow, 0);
  a.Captions = Lib().Captions(AId, AShow, 0);
  a.Caption1 = Lib().Caption(AId, 1, AShow, 0);
  a.CloseIndex = Lib().Button2Index(AId, "brClose", AShow, 0);
  return a;
}

TEST(Threads, ConcurrentButtonQueriesGetTheirOwnAnswers) {
  TSampleData data;
  const uint32_t ids[] = {idShortSearchwords, idLongSearchwords, idBranches, idOneBranch,
                          idOddBranchWord,    idPosition,        idHidden};
  std::vector<TAnswers> expected;
  for (uint32_t id : ids) expected.push_back(Ask(id, 1));
  ASSERT_EQ(expected[2].Count, 3);  // the data is really there

  constexpr int kThreads = 4, kRounds = 60;
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRounds; ++round) {
        const size_t i = size_t(t + round) % std::size(ids);
        const size_t j = (i + 1) % std::size(ids);
        if (!(Ask(ids[i], 1) == expected[i])) ++wrong;
        // Result texts belong to their thread: other threads' calls, and this thread's calls of
        // other exports, leave them alone.
        const char* set = Lib().GetButtonSet(ids[i], 1, 0);
        const char* index = Lib().Button2Index(ids[j], "brClose", 1, 0);
        if (Lib().ButtonCount(ids[j], 1, 0) != expected[j].Count) ++wrong;
        std::this_thread::yield();
        if (expected[i].Set != set || expected[j].CloseIndex != index) ++wrong;
        if (*Lib().GetLastError() != '\0') ++wrong;
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(wrong.load(), 0);
}

#ifndef _WIN32
// Operators replace data by swapping a link between two complete folders. Each page must come
// from one folder: the entry (FIRM) and its template (BGCOLOR) from the same one.
TEST(Threads, PagesWhileTheDataFolderIsSwappedComeFromOneFolder) {
  namespace fs = std::filesystem;
  TTempDir root, inc;
  for (const char* side : {"A", "B"}) {
    const std::string dir = (root.Path() / side).string() + "/";
    fs::create_directory(dir);
    jw::TJWEntryFixture e;
    e.Id = 1;
    e.Record.NamePart1 = side;
    e.Record.TemplateId = 1;
    jw::WriteEntryDatFile(dir + "JWDAT.SRM", {e});
    jw::TJWImgWriter(dir + "JWIMG.SRM").Finish();
    jw::TJWTmpWriter templates(dir + "JWTMP.SRM");
    jw::TJWTemplateFixture t;
    t.Id = 1;
    t.BackgroundColor = side[0] == 'A' ? 0xAA : 0xBB;
    templates.Add(t);
    templates.Finish();
  }
  std::ofstream(inc.Path() / "main1.html", std::ios::binary)
      << "<#FIELD NAME=FIRM>|<#FIELD NAME=BGCOLOR>";
  fs::create_directory_symlink("A", root.Path() / "data");
  ASSERT_EQ(Lib().SetJWDataPath((root.Path() / "data").string().c_str(), nullptr, 0), 1);

  std::atomic<bool> done{false};
  std::thread swapper([&] {
    for (int i = 0; !done; ++i) {
      fs::remove(root.Path() / "next");
      fs::create_directory_symlink(i % 2 ? "A" : "B", root.Path() / "next");
      fs::rename(root.Path() / "next", root.Path() / "data");
    }
  });
  int pages = 0, mixed = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  while (pages < 3000 && std::chrono::steady_clock::now() < end) {
    const std::string page = TakeStream(Lib().GetHTMLText(1, inc.Dir().c_str(), 0, "", 0, 0));
    ++pages;
    if (page != "A|AA0000\r\n" && page != "B|BB0000\r\n") ++mixed;
  }
  done = true;
  swapper.join();
  EXPECT_EQ(mixed, 0) << "of " << pages;
}
#endif

}  // namespace
}  // namespace jwtest
