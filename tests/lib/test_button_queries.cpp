// The five button queries on a real data file, and every export's failure value and last error.
#include <cstring>
#include <functional>

#include "DataDir.h"

namespace jwtest {
namespace {

class ButtonQueries : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Data = new TSampleData(); }
  static void TearDownTestSuite() { delete Data; }
  void SetUp() override { Data->Select(); }

  static TSampleData* Data;
  TTempDir LogDir;  // the failure cases log; keep their lines out of the build tree
  TCurrentDir InLogDir{LogDir.Path()};
};
TSampleData* ButtonQueries::Data = nullptr;

TEST_F(ButtonQueries, CountSetAndCaptionsOfEachKindOfEntry) {
  // The rules are the store's; these cases show that both flags and the branch caption reach
  // them and that the names and captions are joined in button order.
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
                 << "entry " << c.Id << " flags " << int(c.Show) << "," << int(c.Force));
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
  EXPECT_EQ(Lib().ButtonCount(idBranches, 0, 0), 3);
  EXPECT_STREQ(Lib().GetLastError(), "");
}

TEST_F(ButtonQueries, DataPathDecidesWhichFileIsRead) {
  TTempDir empty;
  ASSERT_EQ(Lib().SetJWDataPath(empty.Path().string().c_str(), "key", 0), 1);  // separator added
  EXPECT_EQ(Lib().ButtonCount(idBranches, 0, 0), -1);
  EXPECT_EQ(Lib().GetLastError(), "Datei \"" + empty.Dir() + "JWDAT.SRM\" nicht gefunden!");
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
