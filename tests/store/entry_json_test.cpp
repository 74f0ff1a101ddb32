#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "JWTempDir.h"
#include "store/JWError.h"
#include "tools/writer/JWEntryJson.h"

namespace jw {
namespace {

using test::TJWTempDir;

// Every stored field, in the order a dump writes them; lists already in their loaded order.
const char* const kFullEntry = R"({
  "Id": -12, "TemplateId": 3, "Code5": "AB123", "Code6": "CD4567",
  "NamePart1": "Gärtnerei", "NamePart6": "Jürgen", "NamePart7": "Sieben", "NamePart2": "GmbH",
  "NamePart4": "Vier", "NamePart5": "Fünf", "NameFormat": "\\1 \\6<BR>\\2",
  "ExtraText3": "Extra „drei“", "NamePart3": "& Co.", "Slogan": "Blumen für alle – 10 €",
  "Street": "Große Straße", "StreetNo": "7", "StreetAdd": "b", "Zip": "50667", "City": "Köln",
  "PhonePrefix": "0221", "PhoneNumber": "123456", "FaxPrefix": "0221", "FaxNumber": "123457",
  "MobilePrefix": "0171", "MobileNumber": "7654321", "EMail": "post@gaertnerei.example",
  "Url": "", "PortalPage": "gaertnerei", "CardVisa": true, "CardAmex": false,
  "CardEurocard": 7, "CardDiners": false, "CardEC": true, "HideLocation": true,
  "PosX": "06574200", "PosY": "5056420", "BranchCaption": 3,
  "Industries": ["Baumschulen", "Gärtnereien", "Özil-Zubehör"],
  "Searchwords": ["", "Rosen", "Stauden"],
  "OfficeHoursKind": 2, "OfficeHours": ["MOX\t\t08:00\t18:00\t\t", "Sonntags zu", ""],
  "EnhInfoKind": 0, "EnhInfo": ["Frei\u0081text"],
  "Branches": [-12, 99, 40],
  "BusinessTypes": "Handel,,Gartenbau"
})";

TEST(EntryJson, BuildAndDumpRoundTripEveryField) {
  TJWTempDir dir;
  const TJWJson entry = TJWJson::parse(kFullEntry);
  TJWJson source = {{"Entries", TJWJson::array({entry})}};
  source["Entries"].push_back({{"Id", 40}, {"NamePart1", "Zweig"}, {"Logo", "art/x.bmp"}});
  WriteEntriesFromJson(source, dir.File("JWDAT.SRM"));

  TJWEEntryDatFile file(dir.File("JWDAT.SRM"));
  EXPECT_EQ(DumpEntryJson(file, uint32_t(-12)), entry);  // absent branch 99 stays listed

  TJW2DataRec r;
  file.LoadEntry(uint32_t(-12), r);
  EXPECT_EQ(r.NamePart1, "G\xE4rtnerei");
  EXPECT_EQ(r.ExtraText3, "Extra \204drei\x93");
  EXPECT_EQ(r.EnhInfo, TStringList{"Frei\x81text"});
  ASSERT_TRUE(r.Branches.has_value());
  EXPECT_EQ(r.Branches->size(), 2u);
}

TEST(EntryJson, RefusesWhatTheFileCannotHold) {
  const auto fails = [](const char* AJson, const char* AExpected) {
    try {
      EntryFromJson(TJWJson::parse(AJson));
      ADD_FAILURE() << AJson;
    } catch (const EJWError& e) {
      EXPECT_THAT(e.what(), ::testing::HasSubstr(AExpected)) << AJson;
    }
  };
  fails(R"({"NamePart1": "x"})", "\"Id\": missing");
  fails(R"({"Id": 1, "Namepart1": "x"})", "unknown field");
  fails(R"({"Id": 1, "Zip": "12345678901"})", "Zip");
  fails(R"({"Id": 1, "City": "Łódź"})", "U+0141");
  fails(R"({"Id": 1, "Industries": ["Kaffee", "ÿ"]})", "0xFF");
  fails(R"({"Id": 1, "BusinessTypes": "aÿb"})", "0xFF");
  fails(R"({"Id": 4294967296})", "out of range");
  fails(R"({"Id": 1, "CardVisa": 256})", "out of range");
  fails(R"({"Id": 1, "Industries": "Kaffee"})", "list");
  fails(R"({"Id": 1, "TemplateId": "3"})", "whole number");
  fails(R"([1])", "object");
  EXPECT_EQ(EntryFromJson(TJWJson::parse(R"({"Id": 4294967295})")).Id, 0xFFFFFFFFu);
}

}  // namespace
}  // namespace jw
