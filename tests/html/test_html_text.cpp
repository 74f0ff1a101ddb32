// Number formats, parameter merging and case rules: cases/text.txt holds a call and its
// "|"-separated arguments a line.
#include <map>

#include "Expected.h"
#include "html/JWHTMLText.h"

using namespace jw::htmltext;

namespace {

std::string Join(const TStringList& AList) {
  std::string s = std::to_string(AList.size()) + ":";
  for (const std::string& item : AList) s += item + (&item == &AList.back() ? "" : "|");
  return s;
}

std::string Real(double AValue) {
  char text[32];
  std::snprintf(text, sizeof text, "%.17g", AValue);
  return text;
}

}  // namespace

TEST(HtmlText, Cases) {
  TStringList params;  // what the parameter functions work on
  using TArgs = const TStringList&;
  // clang-format off
  const std::map<std::string, std::function<std::string(TArgs)>> calls = {
      {"real", [](TArgs a) { return FormatReal(std::strtod(a[0].c_str(), nullptr)); }},
      // A failed conversion leaves the value alone.
      {"comma", [](TArgs a) { double v = 42; return TryStrToFloatComma(a[0], v) ? Real(v) : "no " + Real(v); }},
      {"int", [](TArgs a) { int32_t v = 42; return TryStrToInt(a[0], v) ? std::to_string(v) : "no " + std::to_string(v); }},
      {"params", [&](TArgs a) { return Join(params = a[0].empty() ? TStringList{} : a); }},
      {"merge", [&](TArgs a) { return MergeQuery(params, a[0]), Join(params); }},
      {"set", [&](TArgs a) { return SetParamValue(params, a[0], a[1]), Join(params); }},
      {"value", [&](TArgs a) { return ParamValue(params, a[0]); }},
      {"upper", [](TArgs a) { return AnsiUpperCase(a[0]); }},
      {"same", [](TArgs a) { return std::to_string(AnsiSameText(a[0], a[1])); }},
      {"compare", [](TArgs a) { const int32_t c = CompareTextAscii(a[0], a[1]); return std::to_string((c > 0) - (c < 0)); }},  // the sign only
      {"replace", [](TArgs a) { return ReplaceAll(a[0], a[1], a[2]); }},
      {"replacei", [](TArgs a) { return ReplaceAllIgnoreCase(a[0], a[1], a[2]); }},
      {"escape", [](TArgs a) { return EscapeHtmlValue(a[0]); }},
      {"split", [](TArgs a) { return Join(SplitLines(a[0])); }},
  };
  // clang-format on
  auto run = [&](const std::string& text) {
    const size_t blank = text.find(' ');
    TStringList args{""};
    for (char c : blank == std::string::npos ? "" : text.substr(blank + 1))
      c == '|' ? args.push_back("") : args.back().push_back(c);
    return "=" + calls.at(text.substr(0, blank))(args);
  };
  jw::test::RunCases(
      std::string(JW_HTML_CASES) + "/text.txt", [] {}, run);
}
