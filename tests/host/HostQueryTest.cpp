// The demo host's own request handling: what it hands the library from a browser's query string,
// and how it reads the entry index of a data directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "JWTempDir.h"

#include "jwhost.h"

namespace {

using jwhost::DecodeQuery;
using jwhost::QueryValue;

// A form on a Windows-1252 page sends "Köln" as K%F6ln and blanks as "+"; a broken escape stays
// as written. The library writes parameter values into pages unescaped: no tag, attribute end or
// entity may come through, an encoded separator must not split a value into a second parameter,
// line breaks would split the list the library builds from the query, and nameless parts and
// empty pairs are left out.
TEST(HostQuery, DecodesBrowserEscapesAndDropsWhatCouldBreakOutOfThePage) {
  const std::pair<const char*, const char*> cases[] = {
      {"FORCEPAGE=6&BRANCHES_CITY=K%F6ln&BRANCHES_STREET=Hohe+Stra%DFe",
       "FORCEPAGE=6&BRANCHES_CITY=K\xF6ln&BRANCHES_STREET=Hohe Stra\337e"},
      {"STARTX=410%2C5", "STARTX=410,5"},
      {"a=%ZZ&b=%4", "a=%ZZ&b=%4"},
      {"BRANCHES_CITY=%22%3E%3Cscript%3Ealert(1)%3C/script%3E",
       "BRANCHES_CITY=scriptalert(1)/script"},
      {"q=%27x%60", "q=x"},
      {"BRANCHES_ZIP=50%26FORCEPAGE%3D5", "BRANCHES_ZIP=50FORCEPAGE=5"},
      {"a=1%0D%0Ab=2", "a=1b=2"},
      {"=5&&x&%3C%3E=1&y=2", "x=&y=2"},
  };
  for (const auto& [query, decoded] : cases) EXPECT_EQ(DecodeQuery(query), decoded) << query;
  EXPECT_EQ(QueryValue("x=1&page=3&page=4", "page"), "3");
  EXPECT_EQ(QueryValue("x=1", "page", "0"), "0");
}

TEST(HostIndex, ReadsPresentEntriesAndNeverTrustsTheCount) {
  const jw::test::TJWTempDir temp;
  const std::filesystem::path& dir = temp.Path();
  auto put = [](std::ofstream& o, uint32_t v) {
    const char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    o.write(b, 4);
  };
  {
    std::ofstream o(dir / "JWDAT.SRM", std::ios::binary);
    put(o, 1000000);  // claims far more entries than the file holds
    put(o, 7), put(o, 0), put(o, 10);
    put(o, 8), put(o, 10), put(o, 0);  // size 0: not present
    put(o, 9), put(o, 10), put(o, 5);
  }
  std::vector<uint32_t> ids;
  std::string error;
  ASSERT_TRUE(jwhost::ReadEntryIds(dir.string(), ids, error)) << error;
  EXPECT_EQ(ids, (std::vector<uint32_t>{7, 9}));
  EXPECT_FALSE(jwhost::ReadEntryIds((dir / "missing").string(), ids, error));
}

}  // namespace
