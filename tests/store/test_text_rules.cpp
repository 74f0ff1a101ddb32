// Text rules of the store. Text-in/text-out cases live in cases/rules.txt: the first word of a line
// names the rule, "|" separates its arguments, the "=" line below is its answer.
#include <gtest/gtest.h>

#include <numbers>
#include <string>

#include "../html/Expected.h"
#include "EntryAddress.h"
#include "store/JWEBranchKeys.h"
#include "store/JWEButtons.h"
#include "store/JWEOfficeHours.h"
#include "store/JWEStruct.h"
#include "store/JWError.h"
#include "store/ZDCodePage.h"
#include "store/ZDGeo.h"
#include "store/ZDStrUtils.h"
#include "store/ZDTelNum.h"

namespace jw {
namespace {

TStringList Split(const std::string& AText) {
  TStringList result(1);
  for (char c : AText) c == '|' ? void(result.emplace_back()) : result.back().push_back(c);
  return result;
}

std::string Join(const auto& AItems, const std::string& ASep = "|") {
  std::string result;
  for (const auto& item : AItems) result += ASep + item;
  return result.substr(std::min(ASep.size(), result.size()));
}

std::string Number(double AValue) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", AValue);
  return text;
}

// The day table: rows separated by " / ", cells by "|", an empty row as "-", without the empty
// rows at the end.
std::string Days(const TStringList& ALines) {
  std::string result;
  for (const TJWOfficeHoursTextRow& row : GetOfficeHoursDays(ALines))
    result += " / " + (row == TJWOfficeHoursTextRow{} ? "-" : Join(row));
  while (result.ends_with(" / -")) result.resize(result.size() - 4);
  return result.substr(std::min<size_t>(3, result.size()));
}

TJWButtonRec Button(const std::string& AName) {
  for (int b = 0; b < 8; ++b)
    if (AName == ButtonNameTable[b]) return TJWButtonRec(b);
  return TJWButtonRec(std::stoi(AName));
}

std::string Rule(const std::string& AVerb, TStringList A) {
  const auto num = [&](size_t i) { return std::stod(A.at(i)); };
  const auto rest = [&] { return TStringList(A.begin() + 1, A.end()); };
  const double rad = std::numbers::pi / 180;
  if (AVerb == "tel") return FormatTelNum(A.at(0), A.at(1));
  if (AVerb == "cleantel") return CleanTelNum(A[0]);
  if (AVerb == "grouptel") return GroupTelNum(A[0]);
  if (AVerb == "teldigits") return FormatTelDigits(A[0]);
  if (AVerb == "minutes") return Number(GeoStrToMinutes(A[0]));
  if (AVerb == "km")  // degrees east and north of two points
    return Number(GeoDistance(num(0) * rad, num(1) * rad, num(2) * rad, num(3) * rad));
  if (AVerb == "name") {  // the pattern, then name parts 1 to 7
    TJW2DataRec r;
    std::string* parts[7] = {&r.NamePart1, &r.NamePart2, &r.NamePart3, &r.NamePart4,
                             &r.NamePart5, &r.NamePart6, &r.NamePart7};
    for (size_t i = 1; i < A.size(); ++i) *parts[i - 1] = A[i];
    return FormatEntryName(r, A[0]);
  }
  if (AVerb == "list") {
    std::string items;
    for (const std::string& item : SplitListBlock(A[0])) items += "[" + item + "]";
    return items;
  }
  if (AVerb == "types") return BusinessTypesFromBlock(A[0]);
  if (AVerb == "sort") return SortGermanList(A), Join(A);
  if (AVerb == "compare") {
    const int c = CompareGermanText(A.at(0), A.at(1));
    return c < 0 ? "<" : c > 0 ? ">" : "=";
  }
  if (AVerb == "utf8") return Cp1252ToUtf8(A[0]);
  if (AVerb == "cp1252") {
    std::string out;
    long bad = 0;
    return Utf8ToCp1252(A[0], out, &bad) ? out : "bad " + std::to_string(bad);
  }
  if (AVerb == "shorten") {  // an empty measuring function counts as no surface
    const TMeasureTextFunc none;
    const std::string shown = ShortenText(nullptr, std::stoi(A[0]), A.at(1), "...");
    return shown == ShortenText(&none, std::stoi(A[0]), A[1], "...") ? shown : "differs";
  }
  if (AVerb == "width")
    return std::to_string(EstimateTextWidth(std::string(std::stoul(A[0]), 'x')));
  if (AVerb == "pad") return PadText(A[0] == "R", A.at(1), std::stoi(A.at(2)), A.at(3));
  if (AVerb == "tokens") {
    std::string items, text = A.at(1);
    for (int i = 0; i < 20 && !text.empty(); ++i) items += "[" + ExtractToken(A[0], text) + "]";
    return items;
  }
  if (AVerb == "trim") return "[" + Trim(A[0]) + "]";
  if (AVerb == "ohbutton") {  // the kind, then the lines
    TJW2DataRec r;
    r.OfficeHoursKind = std::stoi(A[0]);
    r.OfficeHours = rest();
    TJWButtonSet set = 0;
    const int32_t n = DeriveButtons(r, false, false, set);
    return n == 0 && set == 0 ? "none" : n == 1 && set == 1 << brOfficeHours ? "shown" : "odd";
  }
  if (AVerb == "walk") {  // the index, then the buttons of the set
    TJWButtonSet set = 0;
    for (const std::string& name : rest()) Include(set, Button(name));
    return ButtonNameTable[Index2JWButton(std::stoul(A[0]), set)];
  }
  if (AVerb == "caption") {  // the button, the entry's branch caption
    TJW2DataRec r;
    r.BranchCaption = std::stoi(A.at(1));
    return CaptionOf(Button(A[0]), r);
  }
  if (AVerb == "days") return Days(A);
  if (AVerb == "ohlines") return Join(GetOfficeHoursLines(A));
  if (AVerb == "pairs") {
    std::string result;
    for (const auto& [label, time] : GetOfficeHoursPairs(A)) result += label + "=" + time + "|";
    return result;
  }
  if (AVerb == "key") {  // the kind, then east, north and the start's north in km north of 0/0
    const double km = 1 / (6378.388 * rad);
    TJWBranchRec b;
    jwtest::FillStreet(b);
    b.Firm = "Muster<BR>GmbH";
    b.X = num(1), b.Y = num(2) * km;
    const std::string key = BranchSortKey(b, std::stoi(A[0]), 0, num(3) * km);
    return key == b.SortKey ? key : "not kept";
  }
  return "unknown rule";
}

// The one-step computation without a surface must agree with the byte-by-byte loop that a
// measuring function drives, and that loop shrinks through the suffix.
TEST(ShortenText, EstimateAgreesWithMeasuredLoop) {
  TMeasureTextFunc byLength = [](const std::string& s) { return EstimateTextWidth(s); };
  for (const std::string text : {"", "A", "AB", "Abcdefghij", "Stra\337e mit langem Namen 12a"})
    for (const std::string suffix : {"...", "", "~", "[mehr]"})
      for (int width = -1; width < 200; width += 3)
        EXPECT_EQ(ShortenText(nullptr, width, text, suffix),
                  ShortenText(&byLength, width, text, suffix))
            << text << "|" << suffix << "|" << width;
  std::vector<std::string> seen;
  TMeasureTextFunc record = [&](const std::string& s) {
    seen.push_back(s);
    return int32_t(s.size()) * 10;
  };
  EXPECT_EQ(ShortenText(&record, 5, "A", "..."), "");
  EXPECT_EQ(seen, (std::vector<std::string>{"A", "A...", "A..", "A.", "A"}));
  EXPECT_EQ(ShortenText(nullptr, 40, std::string(2'000'000, 'x'), "..."), "xx...");
}

TEST(CodePage, RoundTripsEveryByte) {
  std::string all, back;
  for (int c = 1; c < 256; ++c) all += char(c);
  ASSERT_TRUE(Utf8ToCp1252(Cp1252ToUtf8(all), back));
  EXPECT_EQ(back, all);
}

TEST(Rules, Cases) {
  jw::test::RunCases(
      JW_STORE_CASES "/rules.txt", [] {},
      [](const std::string& line) {
        const size_t blank = line.find(' ');
        return "=" + Rule(line.substr(0, blank),
                          Split(blank == std::string::npos ? "" : line.substr(blank + 1)));
      });
}

}  // namespace
}  // namespace jw
