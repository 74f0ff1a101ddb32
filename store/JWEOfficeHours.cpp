#include "store/JWEOfficeHours.h"

#include "store/ZDStrUtils.h"

namespace jw {

namespace {

constexpr int kDays = 7;
constexpr int kRemarkLine = 8;
const char* const kDayKeys[kDays] = {"MO", "DI", "MI", "DO", "FR", "SA", "SO"};
const char* const kDayLabels[kDays] = {"Mo.:", "Di.:", "Mi.:", "Do.:", "Fr.:", "Sa.:", "So.:"};

// Splits a time at its first ":"; a time without one is all hour.
void SplitTime(std::string ATime, std::string& AHour, std::string& AMinute) {
  AHour = ExtractToken(":", ATime);
  AMinute = ATime;
}

}  // namespace

const std::array<const char*, kOfficeHoursColumns - 1> OfficeHoursColumnNames = {
    "VVH", "VVD", "VVM", "V", "VBH", "VBD", "VBM", "U",
    "NVH", "NVD", "NVM", "N", "NBH", "NBD", "NBM"};

TJWOfficeHoursDays ReadOfficeHoursDays(const TStringList& ALines, TJWRemarkRow ARemarkRow) {
  TJWOfficeHoursDays rows;
  size_t j = 0;  // next free row
  for (size_t i = 0; i < ALines.size() && i < kRemarkLine && j < rows.size(); ++i) {
    std::string rest = ALines[i];
    const std::string key = ExtractToken("\t", rest);
    const std::string note = ExtractToken("\t", rest);
    const std::string mFrom = Trim(ExtractToken("\t", rest));
    const std::string mTo = Trim(ExtractToken("\t", rest));
    const std::string aFrom = Trim(ExtractToken("\t", rest));
    const std::string aTo = Trim(ExtractToken("\t", rest));

    if (i < kDays && key == std::string(kDayKeys[i]) + "X") {
      TJWOfficeHoursDay& row = rows[j++];
      row.Label = kDayLabels[i];
      if (!mFrom.empty() && !mTo.empty()) {
        SplitTime(mFrom, row.VVH, row.VVM);
        SplitTime(mTo, row.VBH, row.VBM);
      }
      if (!aFrom.empty() && !aTo.empty()) {
        SplitTime(aFrom, row.NVH, row.NVM);
        SplitTime(aTo, row.NBH, row.NBM);
      }
      if (!mFrom.empty() && !aTo.empty() && mTo.empty() && aFrom.empty()) {
        // Open through from the morning to the evening.
        SplitTime(mFrom, row.VVH, row.VVM);
        SplitTime(aTo, row.NBH, row.NBM);
      }
      if (mFrom.empty() && mTo.empty() && aFrom.empty() && aTo.empty()) row.Note = note;
    } else if (i == kRemarkLine - 1) {
      TJWOfficeHoursDay& row = ARemarkRow == TJWRemarkRow::rrLastRow ? rows.back() : rows[j];
      row.Label = ALines[i];
    }
  }
  return rows;
}

TJWOfficeHoursSeparators OfficeHoursSeparators(const TJWOfficeHoursDay& ADay) {
  const bool a = !Trim(ADay.VVH + ADay.VVM).empty();
  const bool b = !Trim(ADay.VBH + ADay.VBM).empty();
  const bool c = !Trim(ADay.NVH + ADay.NVM).empty();
  const bool d = !Trim(ADay.NBH + ADay.NBM).empty();
  TJWOfficeHoursSeparators s;
  if (a && b) {
    s.VVD = ':';
    s.V = '-';
    s.VBD = ':';
  }
  if (c && d) {
    s.NVD = ':';
    s.N = '-';
    s.NBD = ':';
  }
  if (a && b && c && d) s.U = "u.";
  if (a && d && !b && !c) {
    s.VVD = ':';
    s.U = '-';
    s.NBD = ':';
  }
  return s;
}

TJWOfficeHoursTextRow OfficeHoursTextRow(const TJWOfficeHoursDay& ADay) {
  const TJWOfficeHoursSeparators s = OfficeHoursSeparators(ADay);
  return {ADay.Label, ADay.VVH, s.VVD, ADay.VVM, s.V, ADay.VBH, s.VBD, ADay.VBM,
          s.U,        ADay.NVH, s.NVD, ADay.NVM, s.N, ADay.NBH, s.NBD, ADay.NBM};
}

std::array<std::string, kOfficeHoursRows> GetOfficeHoursLines(const TStringList& ALines) {
  std::array<std::string, kOfficeHoursRows> rows;
  for (size_t k = 0; k < rows.size() && k < ALines.size(); ++k) rows[k] = ALines[k];
  return rows;
}

std::array<TJWOfficeHoursTextRow, kOfficeHoursRows> GetOfficeHoursDays(const TStringList& ALines) {
  const TJWOfficeHoursDays days = ReadOfficeHoursDays(ALines, TJWRemarkRow::rrLastRow);
  std::array<TJWOfficeHoursTextRow, kOfficeHoursRows> rows;
  for (size_t k = 0; k < rows.size(); ++k) rows[k] = OfficeHoursTextRow(days[k]);
  return rows;
}

std::array<std::pair<std::string, std::string>, kOfficeHoursRows> GetOfficeHoursPairs(
    const TStringList& ALines) {
  std::array<std::pair<std::string, std::string>, kOfficeHoursRows> rows;
  size_t j = 0;
  for (size_t i = 0; i < ALines.size() && j < rows.size(); ++i) {
    std::string rest = ALines[i];
    std::string left = Trim(ExtractToken("\t", rest));
    std::string right = Trim(ExtractToken("\t", rest));
    if (i == kRemarkLine - 1) {
      rows.back() = {left, right};
    } else if (!left.empty() || !right.empty()) {
      if (!left.empty() && left.back() != ':') left += ':';
      rows[j++] = {left, right};
    }
  }
  return rows;
}

}  // namespace jw
