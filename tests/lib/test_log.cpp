// The failure log as the host finds it on disk.
#include "DataDir.h"

namespace jwtest {
namespace {

namespace fs = std::filesystem;

// Every call fails on the empty data directory.
class FailureLog : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(Lib().SetJWDataPath(Empty.Dir().c_str(), nullptr, 0), 1); }
  std::vector<std::string> Lines() const { return LogLines(LogDir.Path()); }
  std::string Line(uint32_t AId) const {
    return "JW_GetButtonsSet( " + std::to_string(AId) + ", 0, 0 ): " + NotFound;
  }

  TTempDir LogDir, Empty;
  TCurrentDir Here{LogDir.Path()};
  const std::string NotFound = "Datei \"" + Empty.Dir() + "JWDAT.SRM\" nicht gefunden!";
};

TEST_F(FailureLog, LinesOfTheLoggingQueries) {
  EXPECT_FALSE(fs::exists(LogDir.Path() / LogName()));
  EXPECT_STREQ(Lib().GetButtonSet(5, 1, 0), "");
  EXPECT_EQ(Lines(), std::vector<std::string>{"JW_GetButtonsSet( 5, 1, 0 ): " + NotFound});
  TSampleData data;
  EXPECT_EQ(Lib().Caption(0xFFFFFFFFu, 7, 0, 1), "Branchen");
  EXPECT_EQ(Lib().Captions(idMissing, 1, 255), "");
  // Neither the count (it passes its failure on) nor the index lookup (silent) adds a line of its
  // own; the index lookup's line is the button set's.
  EXPECT_EQ(Lib().ButtonCount(idMissing, 0, 0), -1);
  EXPECT_STREQ(Lib().Button2Index(idMissing, "brClose", 0, 0), "0");
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "JW_GetButtonsSet( 5, 1, 0 ): " + NotFound,
                         "JW_ButtonCaption( -1, 7, 0, 1 ): #-1 JW Eintrag nicht gefunden!",
                         "JW_ButtonCaptions( 99, 1, 255 ): #99 JW Eintrag nicht gefunden!",
                         "JW_GetButtonsSet( 99, 0, 0 ): #99 JW Eintrag nicht gefunden!"}));
}

// A host asking again and again while a data file is missing: the same failure of the same export
// is counted instead of written each time, and the file is moved aside before it passes 10 MB.
TEST_F(FailureLog, RepeatsAreCountedAndTheFileStaysBounded) {
  for (uint32_t id = 1; id <= 5; ++id) Lib().GetButtonSet(id, 0, 0);
  EXPECT_EQ(Lines(), std::vector<std::string>{Line(1)});
  char buf[16];
  Lib().ButtonCaptions(1, 0, 0, buf, sizeof buf);
  EXPECT_EQ(Lines(), (std::vector<std::string>{Line(1), Line(5) + " (4 times)",
                                               "JW_ButtonCaptions( 1, 0, 0 ): " + NotFound}));
  const fs::path log = LogDir.Path() / LogName();
  const uintmax_t full = (uintmax_t{10} << 20) - 10;
  fs::resize_file(log, full);
  Lib().GetButtonSet(6, 0, 0);
  EXPECT_EQ(fs::file_size(log.string() + ".1"), full);
  EXPECT_EQ(Lines(), std::vector<std::string>{Line(6)});
}

TEST_F(FailureLog, LineBreaksInAMessageAreFoldedAndTheLogFollowsTheCurrentDirectory) {
  TTempDir base, other;
  const std::string dir = base.Dir() + "a\r\nb\n\rc\nd\re\r\n\n";
  ASSERT_EQ(Lib().SetJWDataPath(dir.c_str(), nullptr, 0), 1);
  Lib().GetButtonSet(1, 0, 0);
  EXPECT_EQ(Lines(), std::vector<std::string>{"JW_GetButtonsSet( 1, 0, 0 ): Datei \"" + base.Dir() +
                                              "a b c d e  " + kDirSeparator +
                                              "JWDAT.SRM\" nicht gefunden!"});
  ASSERT_EQ(Lib().SetJWDataPath(Empty.Dir().c_str(), nullptr, 0), 1);
  {
    TCurrentDir there(other.Path());
    Lib().GetButtonSet(2, 0, 0);
  }
  EXPECT_EQ(Lines().size(), 1u);
  EXPECT_EQ(LogLines(other.Path()), std::vector<std::string>{Line(2)});
}

TEST_F(FailureLog, ALogThatCannotBeWrittenIsPassedOn) {
  fs::create_directory(LogDir.Path() / LogName());  // in the way of the file
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
