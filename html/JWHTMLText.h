#pragma once
// Text helpers of the entry producer: Windows-1252 case rules, number reading and writing, the
// request-parameter list and the escaping of untrusted values written into pages.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/ZDStrUtils.h"

namespace jw::htmltext {

using TStringList = std::vector<std::string>;

// Upper-casing by the Windows-1252 code page lives with the other text helpers of the store.
using jw::AnsiUpperCase;
using jw::AnsiUpperChar;
bool AnsiSameText(std::string_view A, std::string_view B);
// Whether AText upper-cased equals AUpper (which is upper-cased already).
inline bool SameAsUpper(std::string_view AText, std::string_view AUpper) {
  if (AText.size() != AUpper.size()) return false;
  for (size_t i = 0; i < AText.size(); ++i)
    if (AText[i] != AUpper[i] && AnsiUpperChar(AText[i]) != AUpper[i]) return false;
  return true;
}
// ASCII-only case folding, as the comparisons of tag values use it.
int32_t CompareTextAscii(std::string_view A, std::string_view B);

// Every occurrence of AFind (compared by AnsiUpperCase) replaced by AReplace, left to right,
// without rescanning replaced text. An empty AFind returns the text unchanged.
std::string ReplaceAllIgnoreCase(const std::string& AText, const std::string& AFind,
                                 const std::string& AReplace);
std::string ReplaceAll(const std::string& AText, const std::string& AFind,
                       const std::string& AReplace);
// ReplaceAllIgnoreCase on a text whose upper-cased form AUpper the caller keeps beside it: both
// are updated, so that several replacements upper-case the text once. AFind is upper-cased.
void ReplaceAllUpper(std::string& AText, std::string& AUpper, std::string_view AFind,
                     const std::string& AReplace);

// A decimal integer with an optional sign and nothing else (no blanks); false on overflow.
bool TryStrToInt(const std::string& AText, int32_t& AValue);
// A real number with a decimal comma: optional blanks around, optional sign, digits with at most
// one comma, an optional exponent "E[+-]digits".
bool TryStrToFloatComma(const std::string& AText, double& AValue);
// Up to 15 significant digits, no trailing zeros, a decimal comma; plain notation for magnitudes
// from 1E-5 to below 1E15, exponent notation beyond ("1,5E20").
std::string FormatReal(double AValue);

// < > " ' written as character references, everything else unchanged.
std::string EscapeHtmlValue(const std::string& AText);

// Request parameters are "name=value" lines. Names compare case-insensitively; the first match
// counts; a line without "=" never matches.
int32_t IndexOfName(const TStringList& AList, const std::string& AName);
std::string ParamValue(const TStringList& AList, const std::string& AName);
// Replaces the first entry of that name, appends one if there is none, removes it when AValue is
// empty.
void SetParamValue(TStringList& AList, const std::string& AName, const std::string& AValue);
// Merges a query "a=1&b=2": each "&" ends a line (as do CR and LF); a line with "=" after its first
// character replaces the entry of its name or is appended. Nothing is URL-decoded.
void MergeQuery(TStringList& AList, const std::string& AQuery);
// Splits a text into lines at CR, LF or CR LF; a final line break adds no empty line.
TStringList SplitLines(const std::string& AText);

}  // namespace jw::htmltext
