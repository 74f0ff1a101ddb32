// The failure log as the host finds it on disk.
#include "DataDir.h"

namespace jwtest {
namespace {

class FailureLog : public ::testing::Test {
 protected:
  // Every call fails on the empty data directory.
  void SetUp() override {
    Here = std::make_unique<TCurrentDir>(LogDir.Path());
    ASSERT_EQ(Lib().SetJWDataPath(Empty.Dir().c_str(), nullptr, 0), 1);
  }
  std::vector<std::string> Lines() const { return LogLines(LogDir.Path()); }

  TTempDir LogDir, Empty;
  std::unique_ptr<TCurrentDir> Here;
  const std::string NotFound = "Datei \"" + Empty.Dir() + "JWDAT.SRM\" nicht gefunden!";
};

TEST_F(FailureLog, LinesOfTheLoggingQueries) {
  EXPECT_FALSE(std::filesystem::exists(LogDir.Path() / LogName()));

  EXPECT_STREQ(Lib().GetButtonSet(5, 1, 0), "");
  EXPECT_EQ(Lines(), std::vector<std::string>{"JW_GetButtonsSet( 5, 1, 0 ): " + NotFound});

  TSampleData data;
  EXPECT_EQ(Lib().Caption(0xFFFFFFFFu, 7, 0, 1), "Branchen");
  EXPECT_EQ(Lib().Captions(idMissing, 1, 255), "");
  const std::vector<std::string> expected = {
      "JW_GetButtonsSet( 5, 1, 0 ): " + NotFound,
      "JW_ButtonCaption( -1, 7, 0, 1 ): #-1 JW Eintrag nicht gefunden!",
      "JW_ButtonCaptions( 99, 1, 255 ): #99 JW Eintrag nicht gefunden!",
  };
  EXPECT_EQ(Lines(), expected);

  // Neither the count (it passes its failure on) nor the index lookup (silent) adds a line of its
  // own; the index lookup's line is the button set's.
  EXPECT_EQ(Lib().ButtonCount(idMissing, 0, 0), -1);
  EXPECT_STREQ(Lib().Button2Index(idMissing, "brClose", 0, 0), "0");
  const std::vector<std::string> lines = Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "JW_GetButtonsSet( 99, 0, 0 ): #99 JW Eintrag nicht gefunden!");
}

// A host asking again and again while a data file is missing: the same failure of the same export
// is counted instead of written each time, and the file is moved aside before it passes 10 MB.
TEST_F(FailureLog, RepeatsAreCountedAndTheFileStaysBounded) {
  for (uint32_t id = 1; id <= 5; ++id) Lib().GetButtonSet(id, 0, 0);
  const std::string first = "JW_GetButtonsSet( 1, 0, 0 ): " + NotFound;
  EXPECT_EQ(Lines(), std::vector<std::string>{first});
  char buf[16];
  Lib().ButtonCaptions(1, 0, 0, buf, sizeof buf);
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         first, "JW_GetButtonsSet( 5, 0, 0 ): " + NotFound + " (4 times)",
                         "JW_ButtonCaptions( 1, 0, 0 ): " + NotFound}));

  const std::filesystem::path log = LogDir.Path() / LogName();
  const uintmax_t full = (uintmax_t{10} << 20) - 10;
  std::filesystem::resize_file(log, full);
  Lib().GetButtonSet(6, 0, 0);
  EXPECT_EQ(std::filesystem::file_size(log.string() + ".1"), full);
  EXPECT_EQ(Lines(), std::vector<std::string>{"JW_GetButtonsSet( 6, 0, 0 ): " + NotFound});
}

TEST_F(FailureLog, LineBreaksInAMessageAreFolded) {
  TTempDir base;
  const std::string dir = base.Dir() + "a\r\nb\n\rc\nd\re\r\n\n";
  ASSERT_EQ(Lib().SetJWDataPath(dir.c_str(), nullptr, 0), 1);
  Lib().GetButtonSet(1, 0, 0);
  EXPECT_EQ(Lines(), std::vector<std::string>{"JW_GetButtonsSet( 1, 0, 0 ): Datei \"" + base.Dir() +
                                              "a b c d e  " + kDirSeparator +
                                              "JWDAT.SRM\" nicht gefunden!"});
}

TEST_F(FailureLog, FollowsTheCurrentDirectory) {
  TTempDir other;
  Lib().GetButtonSet(1, 0, 0);
  {
    TCurrentDir there(other.Path());
    Lib().GetButtonSet(2, 0, 0);
  }
  EXPECT_EQ(Lines().size(), 1u);
  ASSERT_EQ(LogLines(other.Path()).size(), 1u);
  EXPECT_EQ(LogLines(other.Path())[0].substr(0, 29), "JW_GetButtonsSet( 2, 0, 0 ): ");
}

TEST_F(FailureLog, ALogThatCannotBeWrittenIsPassedOn) {
  std::filesystem::create_directory(LogDir.Path() / LogName());  // in the way of the file

  EXPECT_STREQ(Lib().GetButtonSet(1, 0, 0), "");
  const std::string error = Lib().GetLastError();
  EXPECT_NE(error.find("log file \"" + LogName() + "\""), std::string::npos) << error;

  char buf[16] = "untouched";
  EXPECT_EQ(Lib().ButtonCaption(1, 0, 0, 0, buf, sizeof buf), 0);
  EXPECT_EQ(Lib().ButtonCaptions(1, 0, 0, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "untouched");
  EXPECT_NE(std::string(Lib().GetLastError()).find("log file"), std::string::npos);
}

}  // namespace
}  // namespace jwtest
