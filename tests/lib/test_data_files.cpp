// Data files stay open from call to call, yet a change on disk is seen at the next call; threads on
// several data directories never get another directory's files or another thread's results.
#include <atomic>
#include <thread>

#include "JpegCheck.h"
#include "LibHost.h"

namespace jwtest {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kId = 5;

// Entry kId with AIndustries industries: its button count tells the versions apart.
jw::TJWEntryFixture Entry(int AIndustries) {
  jw::TJWEntryFixture e;
  e.Id = kId;
  e.Record.Industries = Lines(AIndustries, "I");
  e.Record.Searchwords = {"a", "b", "c"};
  e.Record.NamePart1 = "Firma " + std::to_string(AIndustries);
  e.Record.NameFormat = "\\1";
  return e;
}

jw::TJWTemplateFixture Template(uint32_t AColor, int AButtonWidth) {
  return {1, {}, MakeBmp24(Gradient(AButtonWidth, 10)), {}, 0, AColor};
}

// Writes ABytes at APath (in place: through the open inode), dated a second after the last version.
void Rewrite(const fs::path& APath, const std::string& ABytes, bool AInPlace = false) {
  const auto before = fs::last_write_time(APath);
  std::ofstream(APath,
                AInPlace ? std::ios::in | std::ios::out | std::ios::binary : std::ios::binary)
      << ABytes;
  fs::last_write_time(APath, before + std::chrono::seconds(1));
}

// Two data directories, A and B, that every answer tells apart; B is the data path.
class DataFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(Inc.Path() / "main1.html", std::ios::binary)
        << "<#FIELD NAME=TITLE>|<#FIELD NAME=BGCOLOR>|<#FIELD NAME=BUT1_WIDTH>|<#FIELD NAME=LOGO>";
    for (int d = 0; d < 2; ++d) {
      fs::create_directory(Root.Path() / (d ? "B" : "A"));
      WriteDataDir(Dir(d), {Entry(2 + 2 * d)}, d ? TLogos{{kId, Gradient(8, 8)}} : TLogos{},
                   {Template(d ? 0x0000FF : 0xFF0000, 20 + d)});
    }
  }
  std::string Dir(int D) const { return (Root.Path() / (D ? "B" : "A")).string() + kDirSeparator; }
  void Select(const std::string& D) { ASSERT_EQ(Lib().SetJWDataPath(D.c_str(), nullptr, 0), 1); }
  std::string Page() const {
    return TakeStream(Lib().GetHTMLText(kId, Inc.Dir().c_str(), 0, "", 1, 0));
  }

  TTempDir Root, Inc, Cwd;
  TCurrentDir InCwd{Cwd.Path()};
};

// An entry file rewritten in place or renamed over, a new template file and a changed page
// template are all seen at the very next call.
TEST_F(DataFiles, ChangesAreSeenAtTheNextCall) {
  Select(Dir(0));
  const fs::path dat = Dir(0) + "JWDAT.SRM", next = Cwd.Path() / "next";
  // Two versions of one size: 2 industries (one button) and 4 (two); zeros past the end are unread.
  auto version = [&](int n) {
    jw::WriteEntryDatFile(next.string(), {Entry(n)});
    return ReadFile(next);
  };
  std::string two = version(2), four = version(4);
  two.resize(std::max(two.size(), four.size()));
  four.resize(two.size());
  Rewrite(dat, two);
  EXPECT_EQ(Lib().ButtonCount(kId, 1, 0), 1);
  Rewrite(dat, four, true);
  EXPECT_EQ(Lib().ButtonCount(kId, 1, 0), 2);
  EXPECT_EQ(Page(), "Firma 4|0000FF|20|?jwid=5&tmpid=0\r\n");

  Rewrite(next, two);
  fs::rename(next, dat);
  jw::TJWTmpWriter templates(next.string());
  templates.Add(Template(0x445566, 30));
  templates.Finish();
  fs::rename(next, Dir(0) + "JWTMP.SRM");
  EXPECT_EQ(Page(), "Firma 2|665544|30|?jwid=5&tmpid=0\r\n");
  EXPECT_EQ(Lib().ButtonCount(kId, 1, 0), 1);
  Rewrite(Inc.Path() / "main1.html", "<#FIELD NAME=TITLE>!");
  EXPECT_EQ(Page(), "Firma 2!\r\n");
}

// Four threads alternate between the directories (one data path for the whole library): every
// answer is wholly one directory's, and result texts belong to their thread and call.
TEST_F(DataFiles, FourThreadsOnTwoDirectoriesGetWholeAnswers) {
  struct TAnswers {
    std::string Page, Set, Index;
    int32_t Count;
  } expected[2];
  for (int d = 0; d < 2; ++d) {
    Select(Dir(d));
    expected[d] = {Page(), Lib().GetButtonSet(kId, 1, 0), Lib().Button2Index(kId, "brClose", 1, 0),
                   Lib().ButtonCount(kId, 1, 0)};
  }
  ASSERT_TRUE(expected[0].Page != expected[1].Page && expected[0].Set != expected[1].Set &&
              expected[0].Index != expected[1].Index);

  constexpr int kThreads = 4, kRounds = 40;
  std::atomic<int> wrong{0}, seen[2] = {0, 0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      auto one = [&](auto AField, const auto& AValue) {
        if (AValue == expected[0].*AField) return 0;
        if (AValue == expected[1].*AField) return 1;
        ++wrong;
        return -1;
      };
      for (int round = 0; round < kRounds; ++round) {
        Lib().SetJWDataPath(Dir((t + round) % 2).c_str(), nullptr, 0);
        const int d = one(&TAnswers::Page, Page());
        if (d >= 0) ++seen[d];
        const char* set = Lib().GetButtonSet(kId, 1, 0);
        const std::string setNow = set;
        const char* index = Lib().Button2Index(kId, "brClose", 1, 0);
        const std::string indexNow = index;
        one(&TAnswers::Count, Lib().ButtonCount(kId, 1, 0));
        std::this_thread::yield();
        if (one(&TAnswers::Set, setNow) < 0 || setNow != set) ++wrong;
        if (one(&TAnswers::Index, indexNow) < 0 || indexNow != index) ++wrong;
        if (*Lib().GetLastError() != '\0') ++wrong;
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_GT(seen[0].load() + seen[1].load(), 0);
}

#ifndef _WIN32
// Operators swap a link between two complete folders: entry (TITLE) and template from one folder.
TEST_F(DataFiles, PagesWhileTheDataFolderIsSwappedComeFromOneFolder) {
  std::string pages[2];
  for (int d = 0; d < 2; ++d) Select(Dir(d)), pages[d] = Page();
  fs::create_directory_symlink("A", Root.Path() / "data");
  Select((Root.Path() / "data").string());
  std::atomic<bool> done{false};
  std::thread swapper([&] {
    for (int i = 0; !done; ++i) {
      fs::remove(Root.Path() / "next");
      fs::create_directory_symlink(i % 2 ? "A" : "B", Root.Path() / "next");
      fs::rename(Root.Path() / "next", Root.Path() / "data");
    }
  });
  int count = 0, mixed = 0;
  for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(1);
       count < 3000 && std::chrono::steady_clock::now() < end; ++count) {
    const std::string page = Page();
    if (page != pages[0] && page != pages[1]) ++mixed;
  }
  done = true;
  swapper.join();
  EXPECT_EQ(mixed, 0) << "of " << count;
}
#endif

}  // namespace
}  // namespace jwtest
