#pragma once
// Text rules the viewer's frames share: the "<BR>" line mark of names and slogans, the caption of
// an entry, and the web address that stands in for an entry without one.
#include <string>

#include "store/JWEStruct.h"
#include "store/ZDStrUtils.h"

namespace jw {

// Position of the first "<BR>" in any letter case, or npos.
size_t FindBR(const std::string& AText);
// Every "<BR>" (any letter case) replaced by AReplacement.
std::string ReplaceBR(const std::string& AText, const std::string& AReplacement);

// The window caption of an entry: its formatted name on one line.
std::string EntryCaption(const TJW2DataRec& ARec);

// The web address the address frame shows (without scheme), and the link a click opens.
std::string EntryWebText(const TJW2DataRec& ARec);
std::string EntryWebLink(const TJW2DataRec& ARec);

}  // namespace jw
