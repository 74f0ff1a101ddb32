// The entry producer with the tag engine: records handed in directly, templates written to a
// temporary directory, whole pages compared byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "EntryAddress.h"
#include "JWTempDir.h"
#include "html/JWHTMLProducer.h"
#include "store/JWError.h"

using namespace jw;
namespace fs = std::filesystem;

namespace {

class Producer : public ::testing::Test {
 protected:
  jw::test::TJWTempDir FTemp;
  void SetUp() override {
    FDir = FTemp.Path();
    P.SetIncludePath(FDir.string() + "/");
  }

  void Write(const std::string& AName, const std::string& AText) {
    std::ofstream(FDir / (AName + ".html"), std::ios::binary) << AText;
  }
  std::string Page(int32_t APageIndex = 0) {
    std::string out;
    P.WritePage(&out, APageIndex);
    return out;
  }
  // main1 with one template line; the page comes back with CR LF after it.
  std::string Main1(const std::string& ALine) {
    Write("main1", ALine);
    return Page(0);
  }
  void Load(const TJW2DataRec& ARecord, const std::string& AQuery = "") {
    P.SetQueryParams(AQuery);
    P.SetDataRec(ARecord);
  }

  fs::path FDir;
  TJWHTMLProducer P;
};

TJW2DataRec Entry() {
  TJW2DataRec r;
  jwtest::FillAddress(r);
  r.Id = "4711";
  r.TemplateId = 3;
  r.NamePart1 = "M\xFCller";
  r.NamePart6 = "Hans";
  r.Street =
      "Hohe Stra\xDF"
      "e";
  r.MobilePrefix = "0171";
  r.MobileNumber = "1234567";
  r.EMail = "info@firma.example";
  r.PortalPage = "firma-4711";
  r.Slogan = "Gut<BR>billig";
  r.BusinessTypes =
      "B\xE4"
      "ckerei,Caf\xE9";
  r.PosX = "0650300";
  r.PosY = "5056420";
  return r;
}

TJWBranchRec Branch(uint32_t AId, const std::string& AZip, const std::string& AStreet,
                    const std::string& ACity, const std::string& AFirm, double AEast = 0,
                    double ANorth = 0) {
  TJWBranchRec b;
  b.BranchId = AId;
  b.Zip = AZip;
  b.Street = AStreet;
  b.City = ACity;
  b.Firm = AFirm;
  b.X = AEast;
  b.Y = ANorth;
  return b;
}

std::vector<uint32_t> BranchIds(const TJWHTMLProducer& AProducer) {
  std::vector<uint32_t> ids;
  for (const TJWBranchRec& b : *AProducer.DataRec().Branches) ids.push_back(b.BranchId);
  return ids;
}

}  // namespace

// The everyday fields are on the expected pages of the sample; here what the sample lacks.
TEST_F(Producer, SingleValueFields) {
  Load(Entry());
  EXPECT_EQ(Main1("<#FIELD NAME=FAX_NO>|<#FIELD NAME=URL>|<#FIELD NAME=NOSUCH>|"
                  "<#FIELD NAME=BGCOLOR>|<#field name=firm>"),
            "|" JW_PORTAL_ADDRESS "firma-4711|N/A|N/A|M\xFCller Hans\r\n");

  TJW2DataRec r = Entry();
  r.Url = "www.firma.example";
  r.PosX = "12ab";
  Load(r);
  EXPECT_EQ(Main1("<#FIELD NAME=URL>|<#FIELD NAME=POI_X>"), "www.firma.example|00000000\r\n");
}

TEST_F(Producer, SetParamOnAnyFieldAndParamMarkers) {
  Load(Entry(), "B=2&IDX3=drei");
  EXPECT_EQ(Main1("<#FIELD NAME=X TYPE=SETPARAM VALUE=eins>[<#FIELD NAME=X>]"
                  "<#FIELD NAME=TITLE TYPE=setparam VALUE=t>"
                  "<#FIELD NAME=PARAM VALUE=[?x?]/[?TITLE?]/[?missing?]/[?IDX[?b?]?]>"
                  "<#FIELD NAME=B TYPE=SETPARAM VALUE=>|<#FIELD NAME=PARAM VALUE=[?B?]>|"
                  "<#FIELD NAME=PARAM TYPE=SETPARAM VALUE=p><#FIELD NAME=PARAM VALUE=[?PARAM?]>|"
                  "<#FIELD NAME=PARAM TYPE=SET VALUE=s>|<#FIELD NAME=PARAM VALUE=a[?x>"),
            "[N/A]eins/t//||p|s|a[?x\r\n");
}

// Markers resolve inside out. Request values are data: a marker inside a value is not resolved
// again, by a later marker of the same name either. The walk is linear: 200,000 markers (minutes
// when each step rescanned the text behind it).
TEST_F(Producer, MarkersInValuesStayAndManyMarkersResolveInOnePass) {
  Load(Entry(), "a=1&v=[?a?]&IDX1=eins&p=?]&PAGE=3&IDX3=drei");
  EXPECT_EQ(P.ResolveParamMarkers("x[?IDX[?PAGE?]?]y[?A?][?a?]z"), "xdreiy11z");  // inside out
  EXPECT_EQ(P.ResolveParamMarkers("[?a?] and [?open"), "1 and [?open");
  EXPECT_EQ(P.ResolveParamMarkers("[?a?] [?v?] [?a?]"), "1 [?a?] 1");
  EXPECT_EQ(P.ResolveParamMarkers("[?IDX[?a?]?]|[?IDX1[?p?]"), "eins|eins");
  std::string many, expected;
  for (int i = 0; i < 200000; ++i) many += "[?A?]", expected += "1";
  EXPECT_EQ(P.ResolveParamMarkers(many), expected);
  std::string open(200000 * 2, '[');  // begin markers without any end
  for (size_t i = 1; i < open.size(); i += 2) open[i] = '?';
  EXPECT_EQ(P.ResolveParamMarkers(open + "x"), open + "x");
}

TEST_F(Producer, RequestValuesAreEscapedWhereverAPageWritesThem) {
  TJW2DataRec r = Entry();
  r.Logo = std::make_unique<TJWBitmap>();
  Load(r, "q=\"><script>'&n=12,5");
  P.SetButtonLinkParams("?x=[?q?]&n=[?n?]");
  EXPECT_EQ(Main1("<#FIELD NAME=PARAM VALUE=[?q?]>|<#FIELD NAME=BUTURL1>|"
                  "<#FIELD NAME=LOGO QUERY=v=[?q?]>"),
            "&quot;&gt;&lt;script&gt;&#39;|?x=&quot;&gt;&lt;script&gt;&#39;&n=12,5|"
            "logo.jpg?v=&quot;&gt;&lt;script&gt;&#39;&jwid=4711&tmpid=3\r\n");
}

TEST_F(Producer, Placeholders) {
  Load(Entry(), "STARTX=410.5&STARTY=3056,7");
  EXPECT_EQ(Main1("<#FIELD NAME=PARAM VALUE=$PAGENUM$;$btnpageidx$;$btnpagename$;$pageidx$;"
                  "$pagename$;$jwid$;$tmpid$;$branchespos$;$startx$;$starty$>"),
            "0;-1;industries;0;industries;4711;3;0;410,5;3056,7\r\n");
  EXPECT_NEAR(P.StartGeoEast(), 410.5 / 60, 1e-12);
  EXPECT_NEAR(P.StartGeoNorth(), 50.945, 1e-12);
}

TEST_F(Producer, LogoLink) {
  TJW2DataRec r = Entry();
  Load(r);
  EXPECT_EQ(Main1("<#FIELD NAME=LOGO DEFAULT=nologo.gif>|<#FIELD NAME=LOGO QUERY=a=1&>"),
            "nologo.gif?jwid=4711&tmpid=3|?a=1&jwid=4711&tmpid=3\r\n");
  r.Logo = std::make_unique<TJWBitmap>();
  Load(r);
  P.SetLogoLinkParams("??a=1");
  EXPECT_EQ(Main1("<#FIELD NAME=LOGO>|<#FIELD NAME=LOGO>|<#FIELD NAME=LOGO QUERY=%3Fb=2>"),
            "logo.jpg?a=1|logo.jpg?a=1|logo.jpg?b=2&a=1\r\n");
  EXPECT_EQ(P.LogoLinkParams(), "a=1");
}

TEST_F(Producer, IndustriesAndSearchwordLists) {
  Write("mix", "M:<#FIELD NAME=INDUSTRIES TYPE=DATA>/<#FIELD NAME=SEARCHWORDS TYPE=DATA>");
  Write("min", "m:<#FIELD NAME=INDUSTRIES TYPE=DATA>");
  Write("max", "X");
  Write("row", "r:<#FIELD NAME=INDUSTRIES TYPE=DATA>");
  TJW2DataRec r = Entry();
  r.Industries = {
      "B\xE4"
      "cker",
      "Konditor", "Caf\xE9"};
  r.Searchwords = {"Brot", "Kuchen"};
  Load(r);
  EXPECT_EQ(Main1("<#FIELD NAME=INDUSTRIES TYPE=FILE MIX_PAGE=mix MIN_PAGE=min MAX_PAGE=max>"),
            "M:B\xE4"
            "cker<BR>Konditor<BR>Caf\xE9<BR>/Brot<BR>Kuchen<BR>\r\n\r\n");

  r.Searchwords = {"a", "b", "c", "d"};
  Load(r);
  EXPECT_EQ(Main1("<#FIELD NAME=INDUSTRIES TYPE=FILE MIX_PAGE=mix MIN_PAGE=min MAX_PAGE=max "
                  "MAX_ROWS=abc>|<#FIELD NAME=INDUSTRIES TYPE=FILE MIN_PAGE=min MAX_PAGE=max "
                  "MAX_ROWS=3>|<#FIELD NAME=INDUSTRIES TYPE=ROWS FILE=row>|"
                  "<#FIELD NAME=INDUSTRIES TYPE=DATA>|<#FIELD NAME=INDUSTRIES>"),
            "m:B\xE4"
            "cker<BR>Konditor<BR>Caf\xE9<BR>\r\n|X\r\n|r:B\xE4"
            "cker\r\nr:Konditor\r\n"
            "r:Caf\xE9\r\n|Caf\xE9|&nbsp;\r\n");

  r.Searchwords.clear();
  Load(r);
  EXPECT_EQ(Main1("<#FIELD NAME=SEARCHWORDS TYPE=FILE MIN_PAGE=min MAX_PAGE=max>|"
                  "<#FIELD NAME=SEARCHWORDS TYPE=ROWS FILE=row>|<#FIELD NAME=SEARCHWORDS>"),
            "&nbsp;|&nbsp;|&nbsp;\r\n");
}

// The table form is on the expected pages; here the plain form's other cases.
TEST_F(Producer, ExtraInformationPlainIncludedEmptyOrOfUnknownKind) {
  Write("plain", "p");
  TJW2DataRec r = Entry();
  r.EnhInfoKind = 0;
  Load(r);
  EXPECT_EQ(Main1("<#FIELD NAME=ENHINFO PLAIN=THIS>|<#FIELD NAME=ENHINFO PLAIN=plain>"),
            "&nbsp;|p\r\n\r\n");
  r.EnhInfoKind = 7;
  Load(r);
  EXPECT_EQ(Main1("<#FIELD NAME=ENHINFO PLAIN=THIS>"), "N/A\r\n");
}

TEST_F(Producer, OfficeHoursOfEveryKind) {
  TJW2DataRec r = Entry();
  r.OfficeHoursKind = 0;
  r.OfficeHours = {"Mo-Fr 8-18", "", "Sa 9-13", "", "", "", "", "Feiertags zu"};
  Load(r);
  std::string nine;
  for (int i = 0; i < 9; ++i) nine += "<#FIELD NAME=OFFICEHOURS TYPE=NEXT>;";
  EXPECT_EQ(Main1(nine + "|<#FIELD NAME=OFFICEHOURS TYPE=RESETROWS><#FIELD NAME=OFFICEHOURS>|"
                         "<#FIELD NAME=OFFICEHOURS_INFOLINE>"),
            "Mo-Fr 8-18;;Sa 9-13;;;;;Feiertags zu;;|Mo-Fr 8-18|Feiertags zu\r\n");

  r.OfficeHoursKind = 1;
  r.OfficeHours = {"MOX\t\t08:00\t12:00\t13:00\t18:00",
                   "DIX\tzu\t\t\t\t",
                   "",
                   "",
                   "",
                   "",
                   "",
                   "nach Vereinbarung"};
  Load(r);
  std::string cols;
  for (int c = 1; c <= 16; ++c) cols += "<#FIELD NAME=OFFICEHOURS COL=" + std::to_string(c) + ">";
  EXPECT_EQ(Main1(cols + "|<#FIELD NAME=OFFICEHOURS COL=17>|<#FIELD NAME=OFFICEHOURS COL=x>|"
                         "<#FIELD NAME=OFFICEHOURS TYPE=NEXT COL=1><#FIELD NAME=OFFICEHOURS "
                         "COL=1>|<#FIELD NAME=OFFICEHOURS_INFOLINE>"),
            "Mo.:08:00-12:00u.13:00-18:00|||Mo.:Di.:|nach Vereinbarung\r\n");

  r.OfficeHoursKind = 2;
  r.OfficeHours = {"Montag - Freitag\t9 - 18 Uhr", "", "Samstag:\t9 - 13 Uhr"};
  Load(r);
  // Loading keeps the row counter where the last page left it.
  EXPECT_EQ(Main1("<#FIELD NAME=OFFICEHOURS>|<#FIELD NAME=OFFICEHOURS TYPE=RESETROWS>"
                  "<#FIELD NAME=OFFICEHOURS>=<#FIELD NAME=OFFICEHOURS COL=right TYPE=NEXT>;"
                  "<#FIELD NAME=OFFICEHOURS>=<#FIELD NAME=OFFICEHOURS COL=RIGHT>"),
            "Samstag:|Montag - Freitag:=9 - 18 Uhr;Samstag:=9 - 13 Uhr\r\n");

  r.OfficeHoursKind = 5;
  Load(r);
  EXPECT_EQ(Main1("[<#FIELD NAME=OFFICEHOURS>]<#FIELD NAME=OFFICEHOURS TYPE=FILE>"
                  "[<#FIELD NAME=OFFICEHOURS_INFOLINE>]"),
            "[]N/A[]\r\n");
}

TEST_F(Producer, OfficeHoursFileShowsLaterErrorsOpenly) {
  Write("std", "S");
  TJW2DataRec r = Entry();
  r.OfficeHoursKind = 1;
  Load(r);
  EXPECT_EQ(Main1("<#INC FILE=none1><#FIELD NAME=OFFICEHOURS TYPE=FILE STANDARD=std>"
                  "<#INC FILE=none2>"),
            "<!-- File not found: " + FDir.string() +
                "/none1.html -->S\r\n File not found: " + FDir.string() + "/none2.html \r\n");
}

TEST_F(Producer, CardAcceptance) {
  Write("visa", "V");
  Write("ec", "E");
  TJW2DataRec r = Entry();
  r.CardVisa = 1;
  Load(r);
  EXPECT_EQ(Main1("<#FIELD NAME=CARDACCEPTANCE TYPE=file ROW=visa FILE=visa>|"
                  "<#FIELD NAME=CARDACCEPTANCE TYPE=FILE ROW=EC FILE=ec>|"
                  "<#FIELD NAME=CARDACCEPTANCE ROW=VISA FILE=visa>|"
                  "<#FIELD NAME=CARDACCEPTANCE TYPE=FILE ROW=other FILE=visa>"),
            "V\r\n|||\r\n");
}

TEST_F(Producer, ButtonWalk) {
  const std::string walk =
      "<#FIELD NAME=BUT1 TYPE=NEXT>;<#FIELD NAME=BUT2 TYPE=NEXT>;<#FIELD NAME=BUT1 TYPE=NEXT>";
  TJW2DataRec r = Entry();
  r.Industries = {"a"};
  r.OfficeHoursKind = 0;
  r.OfficeHours = {"Mo-Fr"};
  r.BusinessTypes.clear();
  Load(r);  // buttons {0, 3}
  EXPECT_EQ(Main1(walk),
            ";Branchen;Gesch\xE4"
            "ftszeiten\r\n");

  // Taking another record keeps the counter; loading by identifier resets it.
  r.Industries.clear();
  r.CardEC = 1;
  Load(r);  // buttons {3, 4}
  EXPECT_EQ(P.ButtonCounter(), 3);
  P.SetJW2ID(0);
  Load(r);
  EXPECT_EQ(Main1(walk),
            "Branchen;Gesch\xE4"
            "ftszeiten;Kartenakzeptanz\r\n");

  P.SetJW2ID(0);
  Load(r);
  EXPECT_EQ(Main1("<#FIELD NAME=BUTURL1 TYPE=NEXT>|<#FIELD NAME=PARAM "
                  "VALUE=$btnpagename$/$btnpageidx$>|<#FIELD NAME=BUTURL2 TYPE=NEXT>|"
                  "<#FIELD NAME=PARAM VALUE=$btnpagename$/$btnpageidx$>"),
            "?pagenum=0&pagename=industries&pageidx=0|officehours/0|"
            "?pagenum=1&pagename=industries&pageidx=0|cardacceptance/1\r\n");
}

TEST_F(Producer, PageSelection) {
  Write("main1", "one <#FIELD NAME=PAGE IDX0=branchen IDX3=zeiten IDX7=zu>");
  Write("main2", "two");
  Write("route", "route");
  Write("zeiten", "Z");
  Write("zu", "C");
  Load(Entry());
  EXPECT_EQ(Page(3), "one Z\r\n\r\n");
  EXPECT_EQ(Page(2), "one <!-- File not found: " + FDir.string() + "/.html -->\r\n");
  EXPECT_EQ(Page(5), "route\r\n");
  EXPECT_EQ(Page(6), "two\r\n");
  Load(Entry(), "FORCEPAGE=6");
  EXPECT_EQ(Page(0), "two\r\n");
  EXPECT_EQ(P.PageIndex(), 6);
  Load(Entry(), "FORCEPAGE=7");  // the highest page there is
  EXPECT_EQ(Page(0), "one C\r\n\r\n");
  for (const char* ignored : {"FORCEPAGE=8", "FORCEPAGE=x", "FORCEPAGE=-1"}) {
    Load(Entry(), ignored);
    EXPECT_EQ(Page(3), "one Z\r\n\r\n") << ignored;
  }
  // A page index outside the buttons shows as an error text in the page.
  Load(Entry(), "FORCEPAGE=");
  P.SelectPage(9);
  EXPECT_EQ(P.Engine().Content(), "one <!--Unknown Pageindex-->\r\n");

  fs::remove(FDir / "main2.html");
  try {
    Page(6);
    FAIL();
  } catch (const EJWError& e) {
    EXPECT_EQ(std::string(e.what()), "Datei \"" + FDir.string() + "/main2.html\" nicht gefunden!");
  }
  std::string untouched = "keep";
  EXPECT_THROW(P.WritePage(nullptr, 0), EJWError);
  P.WritePage(&untouched, 0);
  EXPECT_EQ(untouched, "keepone <!-- File not found: " + FDir.string() + "/branchen.html -->\r\n");
}

TEST_F(Producer, ParamsReadAndWriteBack) {
  P.SetParams({"branches_sort=dist", "BRANCHESPOS=7", "x=1"});
  EXPECT_EQ(P.BranchSortIndex(), 5);
  EXPECT_EQ(P.BranchPosition(), 7);
  P.SetParams({"BRANCHES_SORT=nonsense", "BRANCHESPOS=-3", "STARTX=abc"});
  EXPECT_EQ(P.BranchSortIndex(), 1);
  EXPECT_EQ(P.BranchPosition(), 0);
  EXPECT_EQ(P.StartGeoEast(), 0.0);
  P.SetQueryParams("BRANCHES_SORT=zip&BRANCHESPOS=12");
  EXPECT_EQ(P.Params(), (std::vector<std::string>{"BRANCHES_SORT=ZIP", "BRANCHESPOS=12",
                                                  "STARTX=abc", "PAGE=industries"}));
}

class Branches : public Producer {
 protected:
  // Twelve branches with ids 1..12 whose firm names sort the other way round.
  TJW2DataRec Twelve() {
    TJW2DataRec r = Entry();
    r.Branches.emplace();
    for (uint32_t i = 1; i <= 12; ++i) {
      const std::string n = (i < 10 ? "0" : "") + std::to_string(i);
      r.Branches->push_back(
          Branch(i, "500" + n, "Weg " + n, "Ort", "Firma " + std::to_string(99 - i)));
    }
    return r;
  }
  void WritePagingTemplates() {
    std::string rows;
    for (int i = 0; i < 5; ++i) rows += "<#INC FILE=row ACCEPT=DATA>";
    Write("main2", rows +
                       "<#FIELD NAME=BRANCHES TYPE=BUTTON DIRECTION=PREV FILE=prev>|"
                       "<#FIELD NAME=BRANCHES TYPE=BUTTON DIRECTION=NEXT FILE=next>");
    Write("row", "<#FIELD NAME=B_ID>:<#FIELD NAME=B_ZIP TYPE=NEXT>;");
    Write("prev", "<#FIELD NAME=PARAM VALUE=prev=$branchespos$>");
    Write("next", "<#FIELD NAME=PARAM VALUE=next=$branchespos$>");
  }
};

// The first, a middle and the last page of fourteen branches are among the expected pages of the
// sample (entry 2001); here the pages that end at the edge of the list.
TEST_F(Branches, PagingOverTwelveBranches) {
  WritePagingTemplates();
  // Pages that end exactly with the last branch: no NEXT button after it.
  TJW2DataRec ten = Twelve();
  ten.Branches->resize(10);
  Load(ten, "BRANCHESPOS=5");
  EXPECT_EQ(Page(6),
            "6:50006;\r\n7:50007;\r\n8:50008;\r\n9:50009;\r\n10:50010;\r\nprev=0\r\n|\r\n");
  // One more branch than fits: the NEXT button still leads to it.
  Load(Twelve(), "BRANCHESPOS=11");
  Write("main2", "<#FIELD NAME=BRANCHES TYPE=BUTTON DIRECTION=NEXT FILE=next>");
  EXPECT_EQ(Page(6), "next=11\r\n\r\n");
}

TEST_F(Branches, WithoutBranchesNothingMoves) {
  Load(Entry(), "BRANCHESPOS=-3");
  EXPECT_EQ(P.BranchPosition(), 0);
  EXPECT_EQ(Main1("[<#FIELD NAME=B_FIRM TYPE=NEXT>]<#FIELD NAME=BRANCHES TYPE=NEXT>"
                  "[<#FIELD NAME=BRANCHES TYPE=BUTTON DIRECTION=NEXT FILE=main>]"
                  "[<#FIELD NAME=BRANCHES TYPE=other>]"),
            "[][][]\r\n");
  EXPECT_EQ(P.BranchPosition(), 0);
}

TEST_F(Branches, EverySortOrder) {
  TJW2DataRec r = Entry();
  r.Branches.emplace();
  r.Branches->push_back(Branch(1, "50667", "Zeppelinstr.", "K\xF6ln", "Beta", 6.95, 50.94));
  r.Branches->push_back(Branch(2, "10115", "Alexanderplatz", "Berlin", "alpha", 13.41, 52.52));
  r.Branches->push_back(Branch(3, "80331", "Marienplatz", "M\xFCnchen", "Gamma"));  // no position
  r.Branches->push_back(Branch(4, "20095",
                               "\xC4"
                               "u\xDF"
                               "ere Str.",
                               "Hamburg", "Delta", 9.99, 53.55));
  const std::pair<const char*, std::vector<uint32_t>> orders[] = {
      {"", {2, 3, 1, 4}},        // street, by byte: "\xC4" after every ASCII letter
      {"STREET", {2, 3, 1, 4}},  //
      {"zip", {2, 4, 1, 3}},     //
      {"City", {2, 4, 1, 3}},    // K\xF6ln before M\xFCnchen
      {"FIRM", {1, 4, 3, 2}},    // capitals before small letters
      {"DIST", {1, 2, 4, 3}},    // from 0/0: K\xF6ln is nearest, no position last
  };
  for (const auto& [sort, ids] : orders) {
    Load(r, std::string("BRANCHES_SORT=") + sort);
    EXPECT_EQ(BranchIds(P), ids) << sort;
  }
  // Distance from Berlin, start given in arc minutes with a comma or a point.
  for (const char* start : {"STARTX=804,6&STARTY=3151,2", "STARTX=804.6&STARTY=3151.2"}) {
    Load(r, std::string("BRANCHES_SORT=DIST&") + start);
    EXPECT_EQ(BranchIds(P), (std::vector<uint32_t>{2, 4, 1, 3})) << start;
    EXPECT_EQ(P.DataRec().Branches->back().SortKey, "99999999 80331Marienplatz");
  }
}

TEST_F(Branches, EqualKeysAndLargeListsSortCompletely) {
  TJW2DataRec r = Entry();
  r.Branches.emplace();
  for (uint32_t i = 0; i < 5000; ++i)
    r.Branches->push_back(Branch(i, std::to_string(i % 3), "", "", ""));
  Load(r, "BRANCHES_SORT=ZIP");
  const auto& list = *P.DataRec().Branches;
  ASSERT_EQ(list.size(), 5000u);
  for (size_t i = 1; i < list.size(); ++i) ASSERT_LE(list[i - 1].Zip, list[i].Zip);
  EXPECT_EQ(list.front().Zip, "0");
  EXPECT_EQ(list.back().Zip, "2");
  // Equal keys keep the stored order, so every request pages through the same sequence.
  for (size_t i = 1; i < list.size(); ++i) {
    if (list[i - 1].Zip == list[i].Zip) {
      ASSERT_LT(list[i - 1].BranchId, list[i].BranchId) << i;
    }
  }

  std::vector<TJWBranchRec> part = *r.Branches;
  P.QuickSortBranches(part, 2, 1, 2);  // low above high: left alone
  P.QuickSortBranches(part, 2, 3, -1);
  P.QuickSortBranches(part, 2, 5000, 0);
  EXPECT_EQ(part[0].BranchId, 0u);
  EXPECT_EQ(part[1].BranchId, 1u);
}

TEST_F(Producer, RecordIdMustBeDecimal) {
  TJW2DataRec r = Entry();
  r.Id = "12x";
  EXPECT_THROW(P.SetDataRec(r), EJWError);
  r.Id = "-5";
  P.SetDataRec(r);
  EXPECT_EQ(P.JW2ID(), -5);
}

// A long template walking every counter far past its data (random templates and queries are left
// to the producer's fuzz target).
TEST_F(Branches, CountersWalkingPastTheirDataStop) {
  const char* const fields[4] = {"<#FIELD NAME=B_FIRM TYPE=NEXT>",
                                 "<#FIELD NAME=OFFICEHOURS TYPE=NEXT COL=1>",
                                 "<#FIELD NAME=ENH_RIGHT>", "<#FIELD NAME=BUT1 TYPE=NEXT>"};
  std::string lines;
  for (int i = 0; i < 100000; ++i) lines += std::string(fields[i % 4]) + ".\n";
  Write("main1", lines);
  Load(Twelve(), "BRANCHESPOS=2147483640");
  const std::string page = Page(0);
  // Three characters a line, plus the captions of the entry's buttons at counters 0 to 2.
  EXPECT_EQ(page.size(), 100000u * 3 + std::string("BranchenGesch\xE4"
                                                   "ftstypenFilialen")
                                           .size());
  EXPECT_EQ(P.BranchPosition(), INT32_MAX);  // stops instead of wrapping
  EXPECT_EQ(P.ButtonCounter(), 25000);
}
