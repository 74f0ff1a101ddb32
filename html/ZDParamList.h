#pragma once
// A list of "name=value" texts: the parameters of a template tag. Lookup is by name,
// case-insensitively for the letters of Windows-1252, and the first entry with that name wins; a
// missing name reads as the empty text. The entries are plain lines, so the request-parameter
// helpers of JWHTMLText apply to Items() as well.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace jw {

class TZDParamList {
 public:
  TZDParamList() = default;
  explicit TZDParamList(std::vector<std::string> AItems);

  int Count() const { return static_cast<int>(FItems.size()); }
  bool Empty() const { return FItems.empty(); }
  const std::string& operator[](int AIndex) const { return FItems.at(static_cast<size_t>(AIndex)); }
  const std::vector<std::string>& Items() const { return FItems; }
  std::vector<std::string>::const_iterator begin() const { return FItems.begin(); }
  std::vector<std::string>::const_iterator end() const { return FItems.end(); }

  void Add(std::string AItem);
  void Clear();

  // Index of the first entry whose part before its first "=" equals AName, or -1. Entries without
  // "=" never match.
  int IndexOfName(const std::string& AName) const;
  // Text after the first "=" of the first entry named AName; empty when there is none.
  std::string Values(const std::string& AName) const { return std::string(Value(AName)); }
  // The same as a view into the list, valid while the list is unchanged.
  std::string_view Value(std::string_view AName) const;
  // Replaces the first entry named AName, appends "AName=AValue" when there is none, and removes
  // the first such entry when AValue is empty.
  void SetValue(const std::string& AName, const std::string& AValue);

  // Name and value of the entry at AIndex; an entry without "=" has an empty name and value.
  std::string Names(int AIndex) const;
  std::string ValueFromIndex(int AIndex) const;
  // The name of the entry at AIndex upper-cased (empty without "="), and its value as a view.
  std::string_view UpperName(int AIndex) const { return FNames.at(size_t(AIndex)).Upper; }
  std::string_view ValueAt(int AIndex) const;

  bool operator==(const TZDParamList& AOther) const { return FItems == AOther.FItems; }

  // Roughly the bytes the list occupies.
  size_t Bytes() const;

 private:
  // Tags are looked up by several names each, many times per page: every entry's name is
  // upper-cased once, when the entry is added, rather than on every lookup.
  struct TName {
    std::string Upper;
    bool Named = false;  // the entry holds a "="
  };
  static TName NameOf(const std::string& AItem);
  int Find(std::string_view AName) const;
  void IndexNames();

  std::vector<std::string> FItems;
  std::vector<TName> FNames;  // one per entry
};

}  // namespace jw
