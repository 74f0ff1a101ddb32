// The entry producer. cases/producer.txt: a template line becomes page main1, then its page ("=")
// or error ("!"); "@" lines set the record, load it, write templates or show other pages.
#include <map>

#include "EntryAddress.h"
#include "Expected.h"
#include "JWTempDir.h"
#include "html/JWHTMLProducer.h"
#include "store/JWError.h"

using namespace jw;
namespace fs = std::filesystem;

namespace {

TJW2DataRec Entry() {
  TJW2DataRec r;
  jwtest::FillAddress(r);
  r.Id = "4711", r.TemplateId = 3, r.NamePart1 = "M\xFCller", r.NamePart6 = "Hans";
  r.Street = "Hohe Stra\337e", r.MobilePrefix = "0171", r.MobileNumber = "1234567";
  r.EMail = "info@firma.example", r.PortalPage = "firma-4711", r.Slogan = "Gut<BR>billig";
  r.BusinessTypes = "B\344ckerei,Caf\xE9", r.PosX = "0650300", r.PosY = "5056420";
  return r;
}

TJWBranchRec Branch(uint32_t AId, const std::string& AZip, const std::string& AStreet,
                    const std::string& ACity, const std::string& AFirm, double AX = 0,
                    double AY = 0) {
  TJWBranchRec b;
  b.BranchId = AId, b.Zip = AZip, b.Street = AStreet, b.City = ACity, b.Firm = AFirm;
  b.X = AX, b.Y = AY;
  return b;
}

// Branches with ids 1..ACount whose firm names sort the other way round.
std::vector<TJWBranchRec> Numbered(uint32_t ACount) {
  std::vector<TJWBranchRec> list;
  for (uint32_t i = 1; i <= ACount; ++i) {
    const std::string n = (i < 10 ? "0" : "") + std::to_string(i);
    list.push_back(Branch(i, "500" + n, "Weg " + n, "Ort", "Firma " + std::to_string(99 - i)));
  }
  return list;
}

// Four cities, one without a position, a street starting with a letter beyond ASCII.
std::vector<TJWBranchRec> Cities() {
  return {Branch(1, "50667", "Zeppelinstr.", "K\xF6ln", "Beta", 6.95, 50.94),
          Branch(2, "10115", "Alexanderplatz", "Berlin", "alpha", 13.41, 52.52),
          Branch(3, "80331", "Marienplatz", "M\xFCnchen", "Gamma"),
          Branch(4, "20095", "\xC4u\337ere Str.", "Hamburg", "Delta", 9.99, 53.55)};
}

TStringList List(const std::string& AText) {  // items separated by "|"
  TStringList list;
  std::istringstream in(AText);
  for (std::string item; std::getline(in, item, '|');) list.push_back(item);
  return list;
}

class Producer : public ::testing::Test {
 protected:
  void SetUp() override {
    FP = std::make_unique<TJWHTMLProducer>(), P().SetIncludePath(FDir.string() + "/");
  }
  TJWHTMLProducer& P() { return *FP; }
  void Write(const std::string& AName, const std::string& AText) {
    std::ofstream(FDir / (AName + ".html"), std::ios::binary) << AText;
  }
  std::string Page(int32_t APageIndex) {
    std::string out;
    P().WritePage(&out, APageIndex);
    return out;
  }
  void Load(const TJW2DataRec& ARecord, const std::string& AQuery = "") {
    P().SetQueryParams(AQuery), P().SetDataRec(ARecord);
  }
  jw::test::TJWTempDir FTemp;
  const fs::path& FDir = FTemp.Path();
  std::unique_ptr<TJWHTMLProducer> FP;
};

using TSetter = std::function<void(TJW2DataRec&, const std::string&)>;
// clang-format off
#define JW_FIELD(name, ...) {#name, [](TJW2DataRec& r, const std::string& v) { r.name = __VA_ARGS__; }}
const std::map<std::string, TSetter> kFields = {
    JW_FIELD(Url, v), JW_FIELD(PosX, v), JW_FIELD(Id, v), JW_FIELD(BusinessTypes, v),
    JW_FIELD(Industries, List(v)), JW_FIELD(Searchwords, List(v)), JW_FIELD(OfficeHours, List(v)),
    JW_FIELD(OfficeHoursKind, std::stoi(v)), JW_FIELD(EnhInfoKind, std::stoi(v)),
    JW_FIELD(CardVisa, uint8_t(std::stoi(v))), JW_FIELD(CardEC, uint8_t(std::stoi(v))),
    JW_FIELD(Logo, v.empty() ? nullptr : std::make_shared<TJWBitmap>()),
    JW_FIELD(Branches, v == "cities" ? Cities() : Numbered(uint32_t(std::stoi(v))))};
// clang-format on
#undef JW_FIELD

}  // namespace

TEST_F(Producer, Cases) {
  TJW2DataRec r = Entry();
  auto group = [&] { SetUp(), r = Entry(); };  // each group: a fresh producer and record
  auto run = [&](const std::string& text) -> std::string {
    const size_t blank = text.find(' '), eq = text.find('=');
    const std::string verb = text.substr(0, blank);
    const std::string arg = blank == std::string::npos ? "" : text.substr(blank + 1);
    const std::string name = arg.substr(0, eq - blank - 1);
    const std::string value = eq == std::string::npos ? "" : text.substr(eq + 1);
    if (verb == "@entry") r = Entry();
    if (verb == "@rec") kFields.at(name)(r, value);
    if (verb == "@load") Load(r, arg);
    if (verb == "@file") Write(name, value);
    if (verb == "@remove") fs::remove(FDir / (arg + ".html"));
    if (verb == "@id") P().SetJW2ID(std::stoi(arg));
    if (verb == "@logolink") P().SetLogoLinkParams(arg);
    if (verb == "@buttonlink") P().SetButtonLinkParams(arg);
    if (verb == "@select") P().SelectPage(std::stoi(arg));
    std::string page;
    if (verb == "@page") page = "=" + Page(std::stoi(arg));
    if (verb == "@select") page = "=" + P().Engine().Content();
    if (verb == "@resolve") page = "=" + P().ResolveParamMarkers(arg);
    if (verb == "@params") P().SetParams(List(arg));
    if (verb == "@counters")
      page = "=button " + std::to_string(P().ButtonCounter()) + ", branch " +
             std::to_string(P().BranchPosition()) + ", page " + std::to_string(P().PageIndex()) +
             ", sort " + std::to_string(P().BranchSortIndex()) + ", start " +
             std::to_string(P().StartGeoEast()) + "/" + std::to_string(P().StartGeoNorth());
    for (const std::string& param : verb == "@paramlist" ? P().Params() : TStringList{})
      page += (page.empty() ? "=" : "|") + param;
    if (verb == "@branches")  // ids in their order, the sort key of the last
      for (const TJWBranchRec& b : *P().DataRec().Branches)
        page += (page.empty() ? "=" : " ") + std::to_string(b.BranchId) +
                (&b == &P().DataRec().Branches->back() ? " " + b.SortKey : "");
    if (verb[0] != '@') Write("main1", text), page = "=" + Page(0);
    return jw::test::Replace(page, JW_PORTAL_ADDRESS, "<portal>");
  };
  jw::test::RunCases(fs::path(JW_HTML_CASES) / "producer.txt", group, run, "<dir>", FDir.string());
}

// Markers resolve inside out in one linear walk: 200,000 markers took minutes when each step
// rescanned the text behind it.
TEST_F(Producer, ManyMarkersResolveInOnePass) {
  Load(Entry(), "a=1");
  std::string many, expected;
  for (int i = 0; i < 200000; ++i) many += "[?A?]", expected += "1";
  EXPECT_EQ(P().ResolveParamMarkers(many), expected);
  std::string open(200000 * 2, '[');  // begin markers without any end
  for (size_t i = 1; i < open.size(); i += 2) open[i] = '?';
  EXPECT_EQ(P().ResolveParamMarkers(open + "x"), open + "x");
}

// A page is appended to the text handed in, and there must be one.
TEST_F(Producer, PagesAreAppended) {
  Write("main1", "one");
  std::string untouched = "keep";
  EXPECT_THROW(P().WritePage(nullptr, 0), EJWError);
  P().WritePage(&untouched, 0);
  EXPECT_EQ(untouched, "keepone\r\n");
}

TEST_F(Producer, EqualKeysAndLargeListsSortCompletely) {
  TJW2DataRec r = Entry();
  r.Branches.emplace();
  for (uint32_t i = 0; i < 5000; ++i)
    r.Branches->push_back(Branch(i, std::to_string(i % 3), "", "", ""));
  Load(r, "BRANCHES_SORT=ZIP");
  const auto& list = *P().DataRec().Branches;
  ASSERT_EQ(list.size(), 5000u);
  // Equal keys keep the stored order, so every request pages through the same sequence.
  EXPECT_TRUE(std::adjacent_find(list.begin(), list.end(), [](const auto& A, const auto& B) {
                return std::tie(B.Zip, B.BranchId) <= std::tie(A.Zip, A.BranchId);
              }) == list.end());
  std::vector<TJWBranchRec> part = *r.Branches;
  P().QuickSortBranches(part, 2, 1, 2);  // low above high: left alone
  P().QuickSortBranches(part, 2, 3, -1);
  P().QuickSortBranches(part, 2, 5000, 0);
  EXPECT_EQ(std::pair(part[0].BranchId, part[1].BranchId), std::pair(0u, 1u));
}

// A long template walking every counter far past its data (random templates and queries are left
// to the producer's fuzz target).
TEST_F(Producer, CountersWalkingPastTheirDataStop) {
  std::string lines;
  for (int i = 0; i < 25000; ++i)
    lines +=
        "<#FIELD NAME=B_FIRM TYPE=NEXT>.\n<#FIELD NAME=OFFICEHOURS TYPE=NEXT COL=1>.\n"
        "<#FIELD NAME=ENH_RIGHT>.\n<#FIELD NAME=BUT1 TYPE=NEXT>.\n";
  Write("main1", lines);
  TJW2DataRec r = Entry();
  r.Branches = Numbered(12);
  Load(r, "BRANCHESPOS=2147483640");
  // Three characters a line, plus the captions of the entry's buttons at counters 0 to 2.
  EXPECT_EQ(Page(0).size(), 100000u * 3 + std::string("BranchenGesch\344ftstypenFilialen").size());
  EXPECT_EQ(P().BranchPosition(), INT32_MAX);  // stops instead of wrapping
  EXPECT_EQ(P().ButtonCounter(), 25000);
}
