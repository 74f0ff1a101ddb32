// Several host threads asking for buttons at the same time.
#include <atomic>
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

}  // namespace
}  // namespace jwtest
