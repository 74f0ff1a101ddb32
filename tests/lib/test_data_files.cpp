// The data files stay open from call to call, so a file that changes on disk between two calls
// must be seen at the very next call; and calls from several threads on several data directories
// must never answer from the wrong directory's files or another thread's results.
#include <atomic>
#include <thread>

#include "DataDir.h"
#include "JpegCheck.h"

namespace {

using jwtest::Lib;
namespace fs = std::filesystem;

constexpr uint32_t kId = 5;

// Entry kId with AIndustries industries (and three search words), so that its button count tells
// the versions apart.
jw::TJWEntryFixture Entry(int AIndustries) {
  jw::TJWEntryFixture e;
  e.Id = kId;
  e.Record.Industries = jwtest::Lines(AIndustries, "I");
  e.Record.Searchwords = {"a", "b", "c"};
  e.Record.NamePart1 = "Firma " + std::to_string(AIndustries);
  e.Record.NameFormat = "\\1";
  return e;
}

jw::TJWTemplateFixture Template(uint32_t AColor, int AButtonWidth = 0) {
  jw::TJWTemplateFixture t;
  t.Id = 1;
  if (AButtonWidth) t.Button1 = jwtest::MakeBmp24(jwtest::Gradient(AButtonWidth, 10));
  t.BackgroundColor = AColor;
  return t;
}

// Writes ABytes at APath (in place: through the open inode, not truncated), dated one second after
// its previous version, as a second write would be on any file system.
void Rewrite(const fs::path& APath, const std::string& ABytes, bool AInPlace = false) {
  const auto before = fs::last_write_time(APath);
  std::ofstream(APath,
                AInPlace ? std::ios::in | std::ios::out | std::ios::binary : std::ios::binary)
      << ABytes;
  fs::last_write_time(APath, before + std::chrono::seconds(1));
}

std::string Page(const std::string& AInclude, uint32_t AId) {
  return jwtest::TakeStream(Lib().GetHTMLText(AId, AInclude.c_str(), 0, "", 1, 0));
}

class DataFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    jwtest::WriteDataDir(Data.Dir(), {Entry(2)}, {{kId, jwtest::Gradient(8, 8)}},
                         {Template(0x112233, 24)});
    std::ofstream(Inc.Path() / "main1.html", std::ios::binary)
        << "<#FIELD NAME=TITLE>|<#FIELD NAME=BGCOLOR>|<#FIELD NAME=BUT1_WIDTH>";
  }

  jwtest::TTempDir Data, Inc, Cwd;
  jwtest::TCurrentDir InCwd{Cwd.Path()};
};

// Each call checks the files anew: an entry file rewritten in place or renamed over, a new
// template file and a changed page template are all seen at the very next call. (A removed file
// is the page export's failure test.)
TEST_F(DataFiles, ChangesAreSeenAtTheNextCall) {
  const fs::path dat = Data.Path() / "JWDAT.SRM", next = Cwd.Path() / "next";
  // Two versions of the same size: two industries (one button) and four (two buttons); zeros behind
  // the last record are never read.
  std::string two, four;
  for (auto [industries, bytes] : {std::pair{2, &two}, {4, &four}}) {
    jw::WriteEntryDatFile(next.string(), {Entry(industries)});
    *bytes = jwtest::ReadFile(next);
  }
  two.resize(std::max(two.size(), four.size()));
  four.resize(two.size());
  Rewrite(dat, two);
  EXPECT_EQ(Lib().ButtonCount(kId, 1, 0), 1);
  Rewrite(dat, four, true);
  EXPECT_EQ(Lib().ButtonCount(kId, 1, 0), 2);
  EXPECT_EQ(Page(Inc.Dir(), kId), "Firma 4|332211|24\r\n");

  Rewrite(next, two);
  fs::rename(next, dat);
  jw::TJWTmpWriter templates(next.string());
  templates.Add(Template(0x445566, 30));
  templates.Finish();
  fs::rename(next, Data.Path() / "JWTMP.SRM");
  EXPECT_EQ(Page(Inc.Dir(), kId), "Firma 2|665544|30\r\n");
  EXPECT_EQ(Lib().ButtonCount(kId, 1, 0), 1);
  Rewrite(Inc.Path() / "main1.html", "<#FIELD NAME=TITLE>!");
  EXPECT_EQ(Page(Inc.Dir(), kId), "Firma 2!\r\n");
}

// Four host threads alternate between two data directories. The data path is one setting for the
// whole library, so a thread cannot know which directory its call will see; but every answer must
// be wholly one directory's, never a mixture or another entry's, and the result texts belong to
// their thread: other threads' calls, and its own calls of other exports, leave them alone.
TEST(DataFilesThreads, FourThreadsOnTwoDirectoriesGetWholeAnswers) {
  jwtest::TTempDir dirs[2], inc, cwd;
  jwtest::TCurrentDir inCwd{cwd.Path()};
  std::ofstream(inc.Path() / "main1.html", std::ios::binary)
      << "<#FIELD NAME=TITLE>|<#FIELD NAME=BGCOLOR>|<#FIELD NAME=BUT1_WIDTH>|<#FIELD NAME=LOGO>";
  for (int d = 0; d < 2; ++d) {
    jwtest::WriteDataDir(dirs[d].Dir(), {Entry(2 + 2 * d)},
                         d ? jwtest::TLogos{{kId, jwtest::Gradient(8, 8)}} : jwtest::TLogos{},
                         {Template(d ? 0x0000FF : 0xFF0000, 20 + d)});
  }
  struct TAnswers {
    std::string Page, Set, Index;
    int32_t Count;
  } expected[2];
  for (int d = 0; d < 2; ++d) {
    ASSERT_EQ(Lib().SetJWDataPath(dirs[d].Dir().c_str(), nullptr, 0), 1);
    expected[d] = {Page(inc.Dir(), kId), Lib().GetButtonSet(kId, 1, 0),
                   Lib().Button2Index(kId, "brClose", 1, 0), Lib().ButtonCount(kId, 1, 0)};
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
        Lib().SetJWDataPath(dirs[(t + round) % 2].Dir().c_str(), nullptr, 0);
        const int d = one(&TAnswers::Page, Page(inc.Dir(), kId));
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
// Operators replace data by swapping a link between two complete folders. Each page must come
// from one folder: the entry (FIRM) and its template (BGCOLOR) from the same one.
TEST(DataFilesThreads, PagesWhileTheDataFolderIsSwappedComeFromOneFolder) {
  jwtest::TTempDir root, inc;
  for (const char* side : {"A", "B"}) {
    fs::create_directory(root.Path() / side);
    jw::TJWEntryFixture e = Entry(0);
    e.Record.NamePart1 = side;
    e.Record.TemplateId = 1;
    jwtest::WriteDataDir((root.Path() / side).string() + "/", {e}, {},
                         {Template(side[0] == 'A' ? 0xAA : 0xBB)});
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
    const std::string page =
        jwtest::TakeStream(Lib().GetHTMLText(kId, inc.Dir().c_str(), 0, "", 0, 0));
    ++pages;
    if (page != "A|AA0000\r\n" && page != "B|BB0000\r\n") ++mixed;
  }
  done = true;
  swapper.join();
  EXPECT_EQ(mixed, 0) << "of " << pages;
}
#endif

}  // namespace
