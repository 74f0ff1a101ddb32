#pragma once
// The office-hours page: up to eight coloured bars under the title, filled from the entry's
// office-hours lines as free lines, a day table with times in fixed columns, or label/text pairs.
#include <array>

#include "store/JWEOfficeHours.h"
#include "viewer/core/JWEFrame.h"

namespace jw {

class TfraJWOfficeHours : public TJWFrame {
 public:
  static constexpr int32_t kWidth = 220;
  static constexpr int32_t kHeaderHeight = 16;
  static constexpr int32_t kMarginWidth = 10;
  static constexpr int32_t kBarWidth = 209;
  static constexpr int32_t kBarHeight = 17;
  static constexpr int32_t kSpacerHeight = 5;
  static constexpr int32_t kRowHeight = kBarHeight + kSpacerHeight;
  // Bars 1 to 7 carry the time labels; bar 8 only its right text.
  static constexpr int32_t kTimeRows = 7;
  static constexpr int32_t kTimeLabels = kOfficeHoursColumns - 1;
  static constexpr TJWColor kBarColor = 0xB1BEDA;

  explicit TfraJWOfficeHours(TfrmJW& AForm);

  void UpdateContent() override;
  void Paint(TJWPainter& APainter) override;
  void PaintOverlay(TJWPainter& APainter) override;

  // A shown bar: its row (0..7), caption, right text with its box, and the time labels.
  struct TRow {
    int32_t Index = 0;
    std::string Caption;
    std::string Right;
    TJWRect RightBox;
    std::array<std::string, kTimeLabels> Times{};
  };
  const std::vector<TRow>& Rows() const { return FRows; }

 private:
  void FillFreeLines();
  void FillDayTable();
  void FillPairs();

  std::vector<TRow> FRows;
};

}  // namespace jw
