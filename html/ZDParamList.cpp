#include "html/ZDParamList.h"

#include "html/JWHTMLText.h"

namespace jw {

int TZDParamList::IndexOfName(const std::string& AName) const {
  return htmltext::IndexOfName(FItems, AName);
}

std::string TZDParamList::Values(const std::string& AName) const {
  return htmltext::ParamValue(FItems, AName);
}

void TZDParamList::SetValue(const std::string& AName, const std::string& AValue) {
  htmltext::SetParamValue(FItems, AName, AValue);
}

std::string TZDParamList::Names(int AIndex) const {
  const std::string& item = (*this)[AIndex];
  const size_t eq = item.find('=');
  return eq == std::string::npos ? std::string() : item.substr(0, eq);
}

std::string TZDParamList::ValueFromIndex(int AIndex) const {
  const std::string& item = (*this)[AIndex];
  const size_t eq = item.find('=');
  return eq == std::string::npos ? std::string() : item.substr(eq + 1);
}

}  // namespace jw
