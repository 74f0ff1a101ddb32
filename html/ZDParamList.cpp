#include "html/ZDParamList.h"

#include "html/JWHTMLText.h"

namespace jw {

TZDParamList::TZDParamList(std::vector<std::string> AItems) : FItems(std::move(AItems)) {
  IndexNames();
}

TZDParamList::TName TZDParamList::NameOf(const std::string& AItem) {
  const size_t eq = AItem.find('=');
  if (eq == std::string::npos) return {};
  return {AnsiUpperCase(std::string_view(AItem).substr(0, eq)), true};
}

void TZDParamList::IndexNames() {
  FNames.clear();
  FNames.reserve(FItems.size());
  for (const std::string& item : FItems) FNames.push_back(NameOf(item));
}

void TZDParamList::Add(std::string AItem) {
  FNames.push_back(NameOf(AItem));
  FItems.push_back(std::move(AItem));
}

void TZDParamList::Clear() {
  FItems.clear();
  FNames.clear();
}

int TZDParamList::Find(std::string_view AName) const {
  for (size_t i = 0; i < FNames.size(); ++i) {
    const TName& name = FNames[i];
    if (!name.Named || name.Upper.size() != AName.size()) continue;
    if (htmltext::SameAsUpper(AName, name.Upper)) return int(i);
  }
  return -1;
}

int TZDParamList::IndexOfName(const std::string& AName) const {
  return Find(AName);
}

std::string_view TZDParamList::Value(std::string_view AName) const {
  const int i = Find(AName);
  return i < 0 ? std::string_view() : std::string_view(FItems[size_t(i)]).substr(AName.size() + 1);
}

void TZDParamList::SetValue(const std::string& AName, const std::string& AValue) {
  htmltext::SetParamValue(FItems, AName, AValue);
  IndexNames();
}

size_t TZDParamList::Bytes() const {
  size_t bytes = FItems.capacity() * sizeof(std::string) + FNames.capacity() * sizeof(TName);
  for (const std::string& item : FItems) bytes += item.capacity();
  for (const TName& name : FNames) bytes += name.Upper.capacity();
  return bytes;
}

std::string TZDParamList::Names(int AIndex) const {
  const std::string& item = (*this)[AIndex];
  const size_t eq = item.find('=');
  return eq == std::string::npos ? std::string() : item.substr(0, eq);
}

std::string TZDParamList::ValueFromIndex(int AIndex) const {
  return std::string(ValueAt(AIndex));
}

std::string_view TZDParamList::ValueAt(int AIndex) const {
  const TName& name = FNames.at(size_t(AIndex));
  return name.Named ? std::string_view(FItems[size_t(AIndex)]).substr(name.Upper.size() + 1)
                    : std::string_view();
}

}  // namespace jw
