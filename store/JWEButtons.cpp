#include "store/JWEButtons.h"

#include <string_view>

namespace jw {

const char* const ButtonCaptionTable[8] = {
    "Branchen",
    "Gesch\xE4"
    "ftstypen",
    "Suchworte",
    "Gesch\xE4"
    "ftszeiten",
    "Kartenakzeptanz",
    "Standort zeigen",
    "Filialen",
    "Schlie\xDF"
    "en",
};

const char* const ButtonKeyTable[8] = {
    "industries",     "buisnesstypes", "searchwords", "officehours",
    "cardacceptance", "pointofplace",  "branches",    "close",
};

const char* const ButtonNameTable[8] = {
    "brIndustries",     "brBusinessTypes", "brSearchwords", "brOfficeHours",
    "brCardAcceptance", "brPointOfPlace",  "brBranches",    "brClose",
};

const char* const BranchCaptionTable[4] = {"Filialen", "Agenturen", "Niederlassungen", "Partner"};

namespace {

// True when the text is not empty after trimming, i.e. holds a byte above the control/blank range.
bool HasVisible(std::string_view AText) {
  for (char c : AText)
    if (static_cast<unsigned char>(c) > 32) return true;
  return false;
}

// The TAB-separated field AIndex of a line ("" when the line has fewer fields).
std::string_view Field(std::string_view ALine, int AIndex) {
  for (int i = 0; i < AIndex; ++i) {
    const size_t tab = ALine.find('\t');
    if (tab == std::string_view::npos) return {};
    ALine.remove_prefix(tab + 1);
  }
  return ALine.substr(0, ALine.find('\t'));
}

bool HasOfficeHours(const TJW2DataRec& ARecord) {
  const TStringList& lines = ARecord.OfficeHours;
  switch (ARecord.OfficeHoursKind) {
    case 0:  // free text
      for (const std::string& line : lines)
        if (HasVisible(line)) return true;
      return false;
    case 1:  // one line per day, "X" in the third column marks a day that is open
      for (const std::string& line : lines) {
        const std::string_view first = Field(line, 0);
        if (first.size() >= 3 && first[2] == 'X') return true;
      }
      return false;
    case 2:  // label and times
      for (const std::string& line : lines)
        if (HasVisible(Field(line, 0)) || HasVisible(Field(line, 1))) return true;
      return false;
    default:
      return false;
  }
}

bool HasUsablePosition(const TJW2DataRec& ARecord) {
  return ARecord.HideLocation == 0 && ARecord.PosX.size() == 8 && ARecord.PosY.size() == 8 &&
         ARecord.PosX != "00000000" && ARecord.PosY != "00000000";
}

}  // namespace

int32_t DeriveButtons(const TJW2DataRec& ARecord, bool AShowLocation, bool AForceLocation,
                      TJWButtonSet& ASet) {
  ASet = 0;
  int32_t count = 0;
  auto add = [&](bool APresent, TJWButtonRec AButton) {
    if (!APresent) return;
    Include(ASet, AButton);
    ++count;
  };

  // The entry itself is normally one of its branch offices, so one record alone is no list.
  add(ARecord.Branches && ARecord.Branches->size() > 1, brBranches);
  add(ARecord.CardVisa || ARecord.CardAmex || ARecord.CardEurocard || ARecord.CardDiners ||
          ARecord.CardEC,
      brCardAcceptance);
  add(!ARecord.Industries.empty(), brIndustries);
  add(HasVisible(ARecord.BusinessTypes), brBusinessTypes);
  add(!ARecord.Searchwords.empty(), brSearchwords);
  add(!ARecord.OfficeHours.empty() && HasOfficeHours(ARecord), brOfficeHours);

  // A short search-word list is shown on the industries page rather than on a page of its own.
  if (InSet(ASet, brIndustries) && InSet(ASet, brSearchwords) &&
      ARecord.Industries.size() + ARecord.Searchwords.size() <= 6) {
    Exclude(ASet, brSearchwords);
    --count;
  }

  add(AForceLocation || (AShowLocation && HasUsablePosition(ARecord)), brPointOfPlace);
  return count;
}

TJWButtonRec Index2JWButton(uint32_t AIndex, TJWButtonSet ASet) {
  uint64_t seen = 0;
  for (uint8_t b = brIndustries; b <= brBranches; ++b) {
    if (!InSet(ASet, TJWButtonRec(b))) continue;
    if (++seen == uint64_t(AIndex) + 1) return TJWButtonRec(b);
  }
  return brIndustries;
}

std::string CaptionOf(TJWButtonRec AButton, int32_t ABranchCaption) {
  if (AButton == brBranches)
    return BranchCaptionTable[ABranchCaption >= 0 && ABranchCaption <= 3 ? ABranchCaption : 0];
  if (AButton > brClose) return std::string();
  return ButtonCaptionTable[AButton];
}

std::string CaptionOf(TJWButtonRec AButton, const TJW2DataRec& ARecord) {
  return CaptionOf(AButton, ARecord.BranchCaption);
}

}  // namespace jw
