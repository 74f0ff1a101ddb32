// The five button queries on a real data file, called as a host calls them.
#include <cstring>
#include <future>

#include "DataDir.h"

namespace jwtest {
namespace {

class ButtonQueries : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Data = new TSampleData(); }
  static void TearDownTestSuite() {
    delete Data;
    Data = nullptr;
  }
  void SetUp() override {
    Data->Select();
    // The failure cases log; keep their lines out of the build tree.
    CurrentDir = std::make_unique<TCurrentDir>(LogDir.Path());
  }

  static TSampleData* Data;
  TTempDir LogDir;
  std::unique_ptr<TCurrentDir> CurrentDir;
};
TSampleData* ButtonQueries::Data = nullptr;

TEST_F(ButtonQueries, CountSetAndCaptionsOfEachKindOfEntry) {
  struct Case {
    uint32_t Id;
    uint8_t Show, Force;
    int32_t Count;
    const char* Set;
    const char* Captions;
  };
  // The rules are the store's; these cases show that both flags and the branch caption reach
  // them and that the names and captions are joined in button order.
  const Case cases[] = {
      {idShortSearchwords, 1, 0, 1, "brIndustries|brClose", "Branchen"},
      {idLongSearchwords, 0, 0, 2, "brIndustries|brSearchwords|brClose", "Branchen|Suchworte"},
      {idBranches, 0, 0, 3, "brOfficeHours|brCardAcceptance|brBranches|brClose",
       "Gesch\344ftszeiten|Kartenakzeptanz|Niederlassungen"},
      {idPosition, 1, 0, 2, "brBusinessTypes|brPointOfPlace|brClose",
       "Gesch\344ftstypen|Standort zeigen"},
      {idHidden, 1, 0, 0, "brClose", ""},
      {idHidden, 0, 7, 1, "brPointOfPlace|brClose", "Standort zeigen"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "entry " << c.Id << " flags " << int(c.Show) << "," << int(c.Force));
    EXPECT_EQ(Lib().ButtonCount(c.Id, c.Show, c.Force), c.Count);
    EXPECT_STREQ(Lib().GetButtonSet(c.Id, c.Show, c.Force), c.Set);
    EXPECT_EQ(Lib().Captions(c.Id, c.Show, c.Force), c.Captions);
    EXPECT_STREQ(Lib().GetLastError(), "");
  }
}

// The buffer is filled with 'x' before each call: the call writes no byte past its count, and the
// caption list zeroes the whole buffer first. Without room nothing is written and 0 returned.
TEST_F(ButtonQueries, CaptionsAreCutToTheBuffer) {
  EXPECT_EQ(Lib().Caption(idBranches, 2), "Niederlassungen");
  // The close button has no position; beyond the content buttons the first page is named.
  EXPECT_EQ(Lib().Caption(idBranches, 3), "Branchen");
  EXPECT_EQ(Lib().Caption(idPosition, 1, 1, 0), "Standort zeigen");
  const struct {
    bool List;
    uint32_t Id;
    int32_t Size, Result;
    std::string Bytes;
  } cases[] = {
      {false, idBranches, 5, 5, std::string("Gesc\0x", 6)},
      {false, idBranches, 100, 16, std::string("Gesch\344ftszeiten\0x", 17)},
      {false, idBranches, 1, 1, std::string("\0x", 2)},
      {true, idLongSearchwords, 30, 19, "Branchen|Suchworte" + std::string(12, '\0') + "x"},
      {true, idLongSearchwords, 9, 9, std::string("Branchen\0x", 10)},
      {false, idBranches, 0, 0, "x"},
      {true, idBranches, 0, 0, "x"},
      {false, idBranches, -1, 0, "x"},
      {true, idBranches, -1, 0, "x"},
      {false, idBranches, INT32_MIN, 0, "x"},
      {true, idBranches, INT32_MIN, 0, "x"},
  };
  for (const auto& c : cases) {
    char buf[32];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(c.List ? Lib().ButtonCaptions(c.Id, 0, 0, buf, c.Size)
                     : Lib().ButtonCaption(c.Id, 0, 0, 0, buf, c.Size),
              c.Result)
        << c.List << " " << c.Size;
    EXPECT_EQ(std::string(buf, c.Bytes.size()), c.Bytes) << c.List << " " << c.Size;
  }
  EXPECT_EQ(Lib().ButtonCaption(idBranches, 0, 0, 0, nullptr, 10), 0);
  EXPECT_EQ(Lib().ButtonCaptions(idBranches, 0, 0, nullptr, 10), 0);
}

TEST_F(ButtonQueries, Button2IndexFindsNamesCaseInsensitively) {
  auto index = [](uint32_t AId, const char* AName, uint8_t AShow = 0) {
    return std::string(Lib().Button2Index(AId, AName, AShow, 0));
  };
  const char* names[] = {"brOfficeHours", "BRCARDACCEPTANCE", "brbranches", "brClose"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(index(idBranches, names[i]), std::to_string(i));
  EXPECT_EQ(index(idShortSearchwords, " brClose"), "0");  // the name is not trimmed
  EXPECT_EQ(index(idShortSearchwords, "brSearchwords"), "0");
  EXPECT_EQ(index(idShortSearchwords, nullptr), "0");
  EXPECT_EQ(index(idPosition, "brPointOfPlace", 1), "1");
  EXPECT_EQ(index(idMissing, "brClose"), "0");
}

TEST_F(ButtonQueries, MissingEntry) {
  EXPECT_EQ(Lib().ButtonCount(idMissing, 0, 0), -1);
  EXPECT_STREQ(Lib().GetLastError(), "#99 JW Eintrag nicht gefunden!");
  // The failure released the library lock: another thread gets through.
  auto other = std::async(std::launch::async, [] { return Lib().ButtonCount(idBranches, 0, 0); });
  ASSERT_EQ(other.wait_for(std::chrono::seconds(30)), std::future_status::ready);
  EXPECT_EQ(other.get(), 3);

  // The logging queries carry on with an empty set.
  EXPECT_STREQ(Lib().GetButtonSet(idMissing, 1, 0), "");
  EXPECT_STREQ(Lib().GetLastError(), "#99 JW Eintrag nicht gefunden!");
  EXPECT_EQ(Lib().Caption(idMissing, 2), "Branchen");
  EXPECT_EQ(Lib().Captions(idMissing), "");
  EXPECT_STREQ(Lib().Button2Index(idMissing, "brClose", 0, 0), "0");

  // Negative identifiers (the upper half of u32) are just other identifiers.
  EXPECT_EQ(Lib().ButtonCount(0xFFFFFFFFu, 0, 0), -1);
  EXPECT_STREQ(Lib().GetLastError(), "#-1 JW Eintrag nicht gefunden!");
  EXPECT_EQ(Lib().ButtonCount(idBranches, 0, 0), 3);
  EXPECT_STREQ(Lib().GetLastError(), "");
}

TEST_F(ButtonQueries, DataPathDecidesWhichFileIsRead) {
  TTempDir empty;
  const std::string file = empty.Dir() + "JWDAT.SRM";
  const std::string notFound = "Datei \"" + file + "\" nicht gefunden!";

  ASSERT_EQ(Lib().SetJWDataPath(empty.Path().string().c_str(), "key", 0), 1);  // separator added
  EXPECT_EQ(Lib().ButtonCount(idBranches, 0, 0), -1);
  EXPECT_EQ(Lib().GetLastError(), notFound);

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

}  // namespace
}  // namespace jwtest
