#pragma once
// The office-hours page: up to eight coloured bars under the title, filled from the entry's
// office-hours lines as free lines, a day table with times in fixed columns, or label/text pairs.
#include <array>

#include "store/JWEOfficeHours.h"
#include "viewer/JWEFrame.h"

namespace jw {

class TfraJWOfficeHours : public TJWFrame {
  Q_OBJECT

 public:
  static constexpr int kWidth = 220;
  static constexpr int kHeaderHeight = 16;
  static constexpr int kBarWidth = 209;
  static constexpr int kBarHeight = 17;
  static constexpr int kSpacerHeight = 5;
  static constexpr int kRowHeight = kBarHeight + kSpacerHeight;
  // Bars 1 to 7 carry the time labels; bar 8 only its right text.
  static constexpr int kTimeRows = 7;
  static constexpr int kTimeLabels = kOfficeHoursColumns - 1;

  Q_INVOKABLE explicit TfraJWOfficeHours(QWidget* AOwner = nullptr);

  void UpdateContent() override;

 protected:
  void resizeEvent(QResizeEvent* AEvent) override;

 private:
  struct TRow {
    TJWPanel* Bar = nullptr;
    QWidget* Spacer = nullptr;
    QLabel* Right = nullptr;
    // In the order of OfficeHoursColumnNames; null in row 8.
    std::array<QLabel*, kTimeLabels> Times{};
  };

  void Rebuild();
  void ShowRow(int ARow, const std::string& ACaption);
  void FillFreeLines();
  void FillDayTable();
  void FillPairs();
  void LayoutRows();

  std::array<TRow, kOfficeHoursRows> FRows;
  QWidget* FOuter = nullptr;
  QWidget* FLine = nullptr;
  QWidget* FInner = nullptr;
  QWidget* FHeader = nullptr;
  QWidget* FMargin = nullptr;
  QWidget* FRowsPanel = nullptr;
  int FShownRows = 0;
};

}  // namespace jw
