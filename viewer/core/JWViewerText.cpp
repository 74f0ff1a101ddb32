#include "viewer/core/JWViewerText.h"

#include <cctype>

#include "store/JWPortal.h"
#include "store/ZDStrUtils.h"

namespace jw {

size_t FindBR(const std::string& AText) {
  for (size_t i = 0; i + 4 <= AText.size(); ++i) {
    if (AText[i] == '<' && std::toupper(uint8_t(AText[i + 1])) == 'B' &&
        std::toupper(uint8_t(AText[i + 2])) == 'R' && AText[i + 3] == '>')
      return i;
  }
  return std::string::npos;
}

std::string ReplaceBR(const std::string& AText, const std::string& AReplacement) {
  std::string result, rest = AText;
  for (size_t pos; (pos = FindBR(rest)) != std::string::npos;) {
    result += rest.substr(0, pos) + AReplacement;
    rest.erase(0, pos + 4);
  }
  return result + rest;
}

std::string EntryCaption(const TJW2DataRec& ARec) {
  return ReplaceBR(FormatEntryName(ARec, ARec.NameFormat), " ");
}

std::string EntryWebText(const TJW2DataRec& ARec) {
  if (!Trim(ARec.Url).empty()) return Trim(ARec.Url);
  if (!Trim(ARec.PortalPage).empty()) return std::string(PortalBaseAddress) + ARec.PortalPage;
  return std::string();
}

std::string EntryWebLink(const TJW2DataRec& ARec) {
  if (!Trim(ARec.Url).empty()) return "http://" + ARec.Url;
  return "http://" + std::string(PortalBaseAddress) + ARec.PortalPage;
}

}  // namespace jw
