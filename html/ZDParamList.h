#pragma once
// A list of "name=value" texts: the parameters of a template tag. Lookup is by name,
// case-insensitively for the letters of Windows-1252, and the first entry with that name wins; a
// missing name reads as the empty text. The entries are plain lines, so the request-parameter
// helpers of JWHTMLText apply to Items() as well.
#include <string>
#include <utility>
#include <vector>

namespace jw {

class TZDParamList {
 public:
  TZDParamList() = default;
  explicit TZDParamList(std::vector<std::string> AItems) : FItems(std::move(AItems)) {}

  int Count() const { return static_cast<int>(FItems.size()); }
  bool Empty() const { return FItems.empty(); }
  const std::string& operator[](int AIndex) const { return FItems.at(static_cast<size_t>(AIndex)); }
  const std::vector<std::string>& Items() const { return FItems; }
  std::vector<std::string>::const_iterator begin() const { return FItems.begin(); }
  std::vector<std::string>::const_iterator end() const { return FItems.end(); }

  void Add(std::string AItem) { FItems.push_back(std::move(AItem)); }
  void Clear() { FItems.clear(); }

  // Index of the first entry whose part before its first "=" equals AName, or -1. Entries without
  // "=" never match.
  int IndexOfName(const std::string& AName) const;
  // Text after the first "=" of the first entry named AName; empty when there is none.
  std::string Values(const std::string& AName) const;
  // Replaces the first entry named AName, appends "AName=AValue" when there is none, and removes
  // the first such entry when AValue is empty.
  void SetValue(const std::string& AName, const std::string& AValue);

  // Name and value of the entry at AIndex; an entry without "=" has an empty name and value.
  std::string Names(int AIndex) const;
  std::string ValueFromIndex(int AIndex) const;

  bool operator==(const TZDParamList&) const = default;

 private:
  std::vector<std::string> FItems;
};

}  // namespace jw
