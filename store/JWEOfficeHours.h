#pragma once
// Office hours of an entry as rows of display text. The lines are read by the entry's kind:
// 0 free lines, 1 a day table (Monday to Sunday plus a remark), 2 label/text pairs. Every reading
// gives at most eight rows; every string starts empty.
#include <array>
#include <string>
#include <utility>

#include "store/JWEStruct.h"

namespace jw {

constexpr int kOfficeHoursRows = 8;
constexpr int kOfficeHoursColumns = 16;

// One row of the day table: a day label ("Mo.:" ... "So.:") or the remark, the hour and minute
// parts of the four times (V/N morning/afternoon, V/B from/to, H/M hour/minute) and the note that
// a day without times shows.
struct TJWOfficeHoursDay {
  std::string Label;
  std::string VVH, VVM;
  std::string VBH, VBM;
  std::string NVH, NVM;
  std::string NBH, NBM;
  std::string Note;

  bool operator==(const TJWOfficeHoursDay&) const = default;
};

// Separators between the time parts of a day row; they depend on which times are set.
struct TJWOfficeHoursSeparators {
  std::string VVD, V, VBD, U, NVD, N, NBD;

  bool operator==(const TJWOfficeHoursSeparators&) const = default;
};

using TJWOfficeHoursDays = std::array<TJWOfficeHoursDay, kOfficeHoursRows>;
// The sixteen display columns of a day row; column k (counted from 1) is element k - 1.
using TJWOfficeHoursTextRow = std::array<std::string, kOfficeHoursColumns>;

// Names of columns 2 to 16 of a text row, in column order (column 1, the label, has none). The
// viewer names its time labels after them.
extern const std::array<const char*, kOfficeHoursColumns - 1> OfficeHoursColumnNames;

// Where the remark (line 8 when it is not a day line) goes: into row 8, as the page tables have
// it, or into the row after the last shown day, as the viewer shows it.
enum class TJWRemarkRow { rrLastRow, rrAfterLastDay };

// Reads a day table. A line 1..7 is shown only when its first field is its own day key followed
// by "X"; shown days fill the rows from the top.
TJWOfficeHoursDays ReadOfficeHoursDays(const TStringList& ALines, TJWRemarkRow ARemarkRow);
TJWOfficeHoursSeparators OfficeHoursSeparators(const TJWOfficeHoursDay& ADay);
TJWOfficeHoursTextRow OfficeHoursTextRow(const TJWOfficeHoursDay& ADay);

// Kind 0: line k when present and not empty, untrimmed.
std::array<std::string, kOfficeHoursRows> GetOfficeHoursLines(const TStringList& ALines);
// Kind 1: the day table as sixteen columns per row, the remark in row 8.
std::array<TJWOfficeHoursTextRow, kOfficeHoursRows> GetOfficeHoursDays(const TStringList& ALines);
// Kind 2: left and right texts, trimmed; a left text gets a trailing ":" (except in line 8, which
// always goes to row 8 as it is). Lines with both texts empty take no row.
std::array<std::pair<std::string, std::string>, kOfficeHoursRows> GetOfficeHoursPairs(
    const TStringList& ALines);

}  // namespace jw
