#include "store/JWEStruct.h"

#include <algorithm>
#include <array>
#include <numeric>

#include "store/ZDStrUtils.h"

namespace jw {

std::string FormatEntryName(const TJW2DataRec& ARecord, const std::string& APattern) {
  const std::string& pattern = APattern.empty() ? std::string("\\1\\6\\7\\5\\4\\2\\3") : APattern;
  const std::string* parts[7] = {&ARecord.NamePart1, &ARecord.NamePart2, &ARecord.NamePart3,
                                 &ARecord.NamePart4, &ARecord.NamePart5, &ARecord.NamePart6,
                                 &ARecord.NamePart7};
  std::string result;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '\\') {
      result += pattern[i];
      continue;
    }
    if (++i == pattern.size()) break;  // a lone backslash at the end is dropped
    const char code = pattern[i];
    if (code >= '1' && code <= '7')
      result = Trim(result + ' ' + *parts[code - '1']);
    else
      result += code;
  }
  return Trim(result);
}

TStringList SplitListBlock(const std::string& ABlock) {
  TStringList items;
  size_t pos = 0;
  while (pos < ABlock.size()) {
    const size_t sep = ABlock.find('\xFF', pos);
    if (sep == std::string::npos) {
      items.push_back(ABlock.substr(pos));
      break;
    }
    items.push_back(ABlock.substr(pos, sep - pos));
    pos = sep + 1;
  }
  return items;
}

size_t CountListItems(const std::string& ABlock) {
  if (ABlock.empty()) return 0;
  const size_t separators = size_t(std::count(ABlock.begin(), ABlock.end(), '\xFF'));
  return separators + (ABlock.back() == '\xFF' ? 0 : 1);
}

std::string BusinessTypesFromBlock(const std::string& ABlock) {
  std::string result = ABlock;
  std::replace(result.begin(), result.end(), '\xFF', ',');
  return result;
}

// ---------------------------------------------------------------------------------------------
// German collation of Windows-1252 text. The C++ locale facets depend on which locales a machine
// has generated (de_DE is often missing) and ICU would be a large dependency for one sort of short
// lists, so the code page's 256 characters are folded by an explicit table instead.

namespace {

struct TFold {
  const char* Base;  // primary letters, lower case ("" when the byte is no letter)
  uint8_t Accent;    // 0 = plain letter, else which variant
};

const std::array<TFold, 256>& FoldTable() {
  static const std::array<TFold, 256> table = [] {
    std::array<TFold, 256> t{};
    for (auto& f : t) f = {"", 0};
    static const char* kLetters[26] = {"a", "b", "c", "d", "e", "f", "g", "h", "i",
                                       "j", "k", "l", "m", "n", "o", "p", "q", "r",
                                       "s", "t", "u", "v", "w", "x", "y", "z"};
    for (int c = 0; c < 26; ++c) t['a' + c] = t['A' + c] = {kLetters[c], 0};
    struct Extra {
      uint8_t Upper, Lower;
      const char* Base;
      uint8_t Accent;
    };
    // Upper and lower case forms of the accented letters of the code page (0 = no such form).
    static const Extra kExtra[] = {
        {0x8A, 0x9A, "s", 3}, {0x8C, 0x9C, "oe", 9}, {0x8E, 0x9E, "z", 3},  {0x9F, 0xFF, "y", 4},
        {0x00, 0x83, "f", 1}, {0xC0, 0xE0, "a", 2},  {0xC1, 0xE1, "a", 1},  {0xC2, 0xE2, "a", 3},
        {0xC3, 0xE3, "a", 5}, {0xC4, 0xE4, "a", 4},  {0xC5, 0xE5, "a", 6},  {0xC6, 0xE6, "ae", 9},
        {0xC7, 0xE7, "c", 1}, {0xC8, 0xE8, "e", 2},  {0xC9, 0xE9, "e", 1},  {0xCA, 0xEA, "e", 3},
        {0xCB, 0xEB, "e", 4}, {0xCC, 0xEC, "i", 2},  {0xCD, 0xED, "i", 1},  {0xCE, 0xEE, "i", 3},
        {0xCF, 0xEF, "i", 4}, {0xD0, 0xF0, "d", 1},  {0xD1, 0xF1, "n", 5},  {0xD2, 0xF2, "o", 2},
        {0xD3, 0xF3, "o", 1}, {0xD4, 0xF4, "o", 3},  {0xD5, 0xF5, "o", 5},  {0xD6, 0xF6, "o", 4},
        {0xD8, 0xF8, "o", 7}, {0xD9, 0xF9, "u", 2},  {0xDA, 0xFA, "u", 1},  {0xDB, 0xFB, "u", 3},
        {0xDC, 0xFC, "u", 4}, {0xDD, 0xFD, "y", 1},  {0xDE, 0xFE, "th", 9}, {0x00, 0xDF, "ss", 9},
    };
    for (const auto& e : kExtra) {
      if (e.Upper != 0) t[e.Upper] = {e.Base, e.Accent};
      t[e.Lower] = {e.Base, e.Accent};
    }
    return t;
  }();
  return table;
}

// Primary weights: other characters (blanks, punctuation, symbols) before digits before letters.
std::u16string PrimaryKey(const std::string& AText) {
  const auto& table = FoldTable();
  std::u16string key;
  key.reserve(AText.size());
  for (unsigned char c : AText) {
    if (table[c].Base[0] != '\0') {
      for (const char* p = table[c].Base; *p != '\0'; ++p) key += char16_t(0x300 + (*p - 'a'));
    } else if (c >= '0' && c <= '9') {
      key += char16_t(0x200 + (c - '0'));
    } else {
      key += char16_t(0x100 + c);
    }
  }
  return key;
}

std::u16string AccentKey(const std::string& AText) {
  const auto& table = FoldTable();
  std::u16string key;
  key.reserve(AText.size());
  for (unsigned char c : AText) key += char16_t(table[c].Accent);
  return key;
}

int Sign(int v) {
  return (v > 0) - (v < 0);
}

}  // namespace

int CompareGermanText(const std::string& A, const std::string& B) {
  if (int c = PrimaryKey(A).compare(PrimaryKey(B)); c != 0) return Sign(c);
  if (int c = AccentKey(A).compare(AccentKey(B)); c != 0) return Sign(c);
  return Sign(A.compare(B));  // case alone: any fixed order keeps the sort deterministic
}

void SortGermanList(TStringList& AList) {
  struct Keyed {
    std::u16string Primary, Accent;
    std::string Text;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(AList.size());
  for (auto& s : AList) keyed.push_back({PrimaryKey(s), AccentKey(s), std::move(s)});
  std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
    if (a.Primary != b.Primary) return a.Primary < b.Primary;
    if (a.Accent != b.Accent) return a.Accent < b.Accent;
    return a.Text < b.Text;
  });
  for (size_t i = 0; i < keyed.size(); ++i) AList[i] = std::move(keyed[i].Text);
}

}  // namespace jw
