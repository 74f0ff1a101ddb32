// The five button queries on a real data file, every export's failure value and last error, and the
// failure log as the host finds it on disk.
#include <cstring>
#include <functional>
#include <thread>

#include "LibHost.h"

namespace jwtest {
namespace {

namespace fs = std::filesystem;

class ButtonQueries : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Data = new TSampleData(); }
  static void TearDownTestSuite() { delete Data; }
  void SetUp() override { Data->Select(); }
  // On the empty data directory every call fails: the log's cases.
  void SelectEmpty() { ASSERT_EQ(Lib().SetJWDataPath(Empty.Dir().c_str(), nullptr, 0), 1); }
  TLines Lines() const { return LogLines(LogDir.Path()); }
  std::string Line(uint32_t AId) const {
    return "JW_GetButtonsSet( " + std::to_string(AId) + ", 0, 0 ): " + NotFound;
  }

  static TSampleData* Data;
  TTempDir LogDir, Empty;  // the failure cases log: keep their lines out of the build tree
  TCurrentDir InLogDir{LogDir.Path()};
  const std::string NotFound = "Datei \"" + Empty.Dir() + "JWDAT.SRM\" nicht gefunden!";
};
TSampleData* ButtonQueries::Data = nullptr;

TEST_F(ButtonQueries, CountSetAndCaptionsOfEachKindOfEntry) {
  // The rules are the store's: both flags and the branch caption reach them, joined in button
  // order.
  // clang-format off
  const struct { uint32_t Id; uint8_t Show, Force; int32_t Count; const char *Set, *Captions; } cases[] = {
      {idShortSearchwords, 1, 0, 1, "brIndustries|brClose", "Branchen"},
      {idLongSearchwords, 0, 0, 2, "brIndustries|brSearchwords|brClose", "Branchen|Suchworte"},
      {idBranches, 0, 0, 3, "brOfficeHours|brCardAcceptance|brBranches|brClose", "Gesch\344ftszeiten|Kartenakzeptanz|Niederlassungen"},
      {idPosition, 1, 0, 2, "brBusinessTypes|brPointOfPlace|brClose", "Gesch\344ftstypen|Standort zeigen"},
      {idHidden, 1, 0, 0, "brClose", ""},
      {idHidden, 0, 7, 1, "brPointOfPlace|brClose", "Standort zeigen"},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "entry " << c.Id << " flags " << int(c.Show) << int(c.Force));
    EXPECT_EQ(Lib().ButtonCount(c.Id, c.Show, c.Force), c.Count);
    EXPECT_STREQ(Lib().GetButtonSet(c.Id, c.Show, c.Force), c.Set);
    EXPECT_EQ(Lib().Captions(c.Id, c.Show, c.Force), c.Captions);
    EXPECT_STREQ(Lib().GetLastError(), "");
  }
  EXPECT_EQ(Lib().Caption(idBranches, 2), "Niederlassungen");
  // The close button has no position; beyond the content buttons the first page is named.
  EXPECT_EQ(Lib().Caption(idBranches, 3), "Branchen");
  EXPECT_EQ(Lib().Caption(idPosition, 1, 1, 0), "Standort zeigen");
}

// The buffer is filled with 'x' before each call: the call writes no byte past its count, and the
// caption list zeroes the whole buffer first. Without room nothing is written and 0 returned.
TEST_F(ButtonQueries, CaptionsAreCutToTheBuffer) {
  // clang-format off
  const struct { bool List; uint32_t Id; int32_t Size, Result; std::string Bytes; } cases[] = {
      {false, idBranches, 5, 5, std::string("Gesc\0x", 6)},
      {false, idBranches, 100, 16, std::string("Gesch\344ftszeiten\0x", 17)},
      {false, idBranches, 1, 1, std::string("\0x", 2)},
      {true, idLongSearchwords, 30, 19, "Branchen|Suchworte" + std::string(12, '\0') + "x"},
      {true, idLongSearchwords, 9, 9, std::string("Branchen\0x", 10)},
      {false, idBranches, 0, 0, "x"}, {true, idBranches, 0, 0, "x"},
      {false, idBranches, -1, 0, "x"}, {true, idBranches, -1, 0, "x"},
      {false, idBranches, INT32_MIN, 0, "x"}, {true, idBranches, INT32_MIN, 0, "x"},
  };
  // clang-format on
  for (const auto& c : cases) {
    char buf[32];
    std::memset(buf, 'x', sizeof buf);
    SCOPED_TRACE(testing::Message() << c.List << " " << c.Size);
    EXPECT_EQ(c.List ? Lib().ButtonCaptions(c.Id, 0, 0, buf, c.Size)
                     : Lib().ButtonCaption(c.Id, 0, 0, 0, buf, c.Size),
              c.Result);
    EXPECT_EQ(std::string(buf, c.Bytes.size()), c.Bytes);
  }
  EXPECT_EQ(Lib().ButtonCaption(idBranches, 0, 0, 0, nullptr, 10), 0);
  EXPECT_EQ(Lib().ButtonCaptions(idBranches, 0, 0, nullptr, 10), 0);
}

TEST_F(ButtonQueries, Button2IndexFindsNamesCaseInsensitively) {
  // clang-format off
  const struct { uint32_t Id; const char* Name; uint8_t Show; const char* Index; } cases[] = {
      {idBranches, "brOfficeHours", 0, "0"}, {idBranches, "BRCARDACCEPTANCE", 0, "1"},
      {idBranches, "brbranches", 0, "2"}, {idBranches, "brClose", 0, "3"},
      {idShortSearchwords, " brClose", 0, "0"},  // the name is not trimmed
      {idShortSearchwords, "brSearchwords", 0, "0"}, {idShortSearchwords, nullptr, 0, "0"},
      {idPosition, "brPointOfPlace", 1, "1"}, {idMissing, "brClose", 0, "0"},
  };
  // clang-format on
  for (const auto& c : cases)
    EXPECT_STREQ(Lib().Button2Index(c.Id, c.Name, c.Show, 0), c.Index) << c.Id << " " << c.Name;
}

void JWAPI DropItem(void*, const char*, JWMemoryStream* AStream) {
  Lib().FreeMemoryStream(AStream);
}

// What each export answers for an entry the file lacks (negative ids are just other ids): its
// failure value, the entry's message as last error, and the library lock released.
TEST_F(ButtonQueries, FailureValueAndLastErrorOfEachExport) {
  JWHostList list{nullptr, DropItem};
  // clang-format off
  const struct { const char* Call; std::function<std::string(uint32_t)> Run; std::string Result; } calls[] = {
      {"ButtonCount", [](uint32_t id) { return std::to_string(Lib().ButtonCount(id, 0, 0)); }, "-1"},
      {"GetButtonSet", [](uint32_t id) { return Lib().GetButtonSet(id, 1, 0); }, ""},
      {"ButtonCaption", [](uint32_t id) { return Lib().Caption(id, 2); }, "Branchen"},
      {"ButtonCaptions", [](uint32_t id) { return Lib().Captions(id); }, ""},
      {"Button2Index", [](uint32_t id) { return Lib().Button2Index(id, "brClose", 0, 0); }, "0"},
      {"GetHTMLText", [](uint32_t id) { return TakeStream(Lib().GetHTMLText(id, "", 0, "", 0, 0)); }, "<null>"},
      {"GetTemplateImages", [&](uint32_t id) { return std::to_string(Lib().GetTemplateImages(id, 0, &list)); }, "0"},
  };
  // clang-format on
  for (uint32_t id : {uint32_t(idMissing), 0xFFFFFFFFu})
    for (const auto& c : calls) {
      EXPECT_EQ(c.Run(id), c.Result) << c.Call;
      EXPECT_EQ(Lib().GetLastError(),
                "#" + std::to_string(int32_t(id)) + " JW Eintrag nicht gefunden!")
          << c.Call;
      EXPECT_TRUE(LockIsFree()) << c.Call;
    }
  std::string other = "unset";
  std::thread([&] { other = Lib().GetLastError(); }).join();
  EXPECT_EQ(other, "");  // the error is the thread's own, and reading it does not clear it
  EXPECT_STREQ(Lib().GetLastError(), "#-1 JW Eintrag nicht gefunden!");
  EXPECT_EQ(Lib().ButtonCount(idBranches, 0, 0), 3);
  EXPECT_STREQ(Lib().GetLastError(), "");
  Lib().ButtonCount(idMissing, 0, 0);
  Lib().ProcessMessages();
  EXPECT_STREQ(Lib().GetLastError(), "");
}

TEST_F(ButtonQueries, DataPathDecidesWhichFileIsRead) {
  ASSERT_EQ(Lib().SetJWDataPath(Empty.Path().string().c_str(), "key", 0), 1);  // separator added
  EXPECT_EQ(Lib().ButtonCount(idBranches, 0, 0), -1);
  EXPECT_EQ(Lib().GetLastError(), NotFound);
  // A refused path is still the one used: bare file names resolve in the current directory.
  EXPECT_EQ(Lib().SetJWDataPath("", nullptr, 0), 0);
  {
    TCurrentDir inData(Data->Dir.Path());
    EXPECT_EQ(Lib().ButtonCount(idBranches, 0, 0), 3);
  }
  EXPECT_EQ(Lib().ButtonCount(idBranches, 0, 0), -1);
  Data->Select();
  EXPECT_EQ(Lib().ButtonCount(idBranches, 0, 0), 3);
}

TEST_F(ButtonQueries, LogLinesOfTheLoggingQueries) {
  SelectEmpty();
  EXPECT_FALSE(fs::exists(LogDir.Path() / LogName()));
  EXPECT_STREQ(Lib().GetButtonSet(5, 1, 0), "");
  EXPECT_EQ(Lines(), TLines{"JW_GetButtonsSet( 5, 1, 0 ): " + NotFound});
  Data->Select();
  EXPECT_EQ(Lib().Caption(0xFFFFFFFFu, 7, 0, 1), "Branchen");
  EXPECT_EQ(Lib().Captions(idMissing, 1, 255), "");
  // Neither the count (it passes its failure on) nor the index lookup (silent) adds a line of its
  // own; the index lookup's line is the button set's.
  EXPECT_EQ(Lib().ButtonCount(idMissing, 0, 0), -1);
  EXPECT_STREQ(Lib().Button2Index(idMissing, "brClose", 0, 0), "0");
  EXPECT_EQ(Lines(), (TLines{"JW_GetButtonsSet( 5, 1, 0 ): " + NotFound,
                             "JW_ButtonCaption( -1, 7, 0, 1 ): #-1 JW Eintrag nicht gefunden!",
                             "JW_ButtonCaptions( 99, 1, 255 ): #99 JW Eintrag nicht gefunden!",
                             "JW_GetButtonsSet( 99, 0, 0 ): #99 JW Eintrag nicht gefunden!"}));
}

// A host asking again and again while a data file is missing: the same failure of the same export
// is counted instead of written each time, and the file is moved aside before it passes 10 MB.
TEST_F(ButtonQueries, LogRepeatsAreCountedAndTheFileStaysBounded) {
  SelectEmpty();
  for (uint32_t id = 1; id <= 5; ++id) Lib().GetButtonSet(id, 0, 0);
  EXPECT_EQ(Lines(), TLines{Line(1)});
  char buf[16];
  Lib().ButtonCaptions(1, 0, 0, buf, sizeof buf);
  EXPECT_EQ(Lines(),
            (TLines{Line(1), Line(5) + " (4 times)", "JW_ButtonCaptions( 1, 0, 0 ): " + NotFound}));
  const fs::path log = LogDir.Path() / LogName();
  const uintmax_t full = (uintmax_t{10} << 20) - 10;
  fs::resize_file(log, full);
  Lib().GetButtonSet(6, 0, 0);
  EXPECT_EQ(fs::file_size(log.string() + ".1"), full);
  EXPECT_EQ(Lines(), TLines{Line(6)});
}

TEST_F(ButtonQueries, LogLineBreaksInAMessageAreFoldedAndTheLogFollowsTheCurrentDirectory) {
  TTempDir base, other;
  const std::string dir = base.Dir() + "a\r\nb\n\rc\nd\re\r\n\n";
  ASSERT_EQ(Lib().SetJWDataPath(dir.c_str(), nullptr, 0), 1);
  Lib().GetButtonSet(1, 0, 0);
  EXPECT_EQ(Lines(), TLines{"JW_GetButtonsSet( 1, 0, 0 ): Datei \"" + base.Dir() + "a b c d e  " +
                            kDirSeparator + "JWDAT.SRM\" nicht gefunden!"});
  SelectEmpty();
  {
    TCurrentDir there(other.Path());
    Lib().GetButtonSet(2, 0, 0);
  }
  EXPECT_EQ(Lines().size(), 1u);
  EXPECT_EQ(LogLines(other.Path()), TLines{Line(2)});
}

TEST_F(ButtonQueries, LogALogThatCannotBeWrittenIsPassedOn) {
  SelectEmpty();
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
