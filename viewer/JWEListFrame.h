#pragma once
// The layout the industries, business-types and search-words pages share: a titled panel with a
// blue line at its left edge and a borderless list of 15-pixel lines under the title.
#include <QListWidget>
#include <string>

#include "viewer/JWEFrame.h"

namespace jw {

class TJWListFrame : public TJWFrame {
  Q_OBJECT

 public:
  static constexpr int kWidth = 220;
  static constexpr int kHeaderHeight = 16;
  static constexpr int kItemHeight = 15;
  static constexpr int kMaxHeight = 153;
  // Lines wider than this are broken by WrapListItems.
  static constexpr int kWrapWidth = 188;

  QWidget* OuterPanel() const { return FOuter; }
  QListWidget* ListBox() const { return FList; }
  // Lines the list box holds.
  int32_t LineCount() const { return FList->count(); }

 protected:
  // ANames: outer panel, header panel, list box; the outer panel starts hidden or shown.
  TJWListFrame(QWidget* AOwner, const char* AFrameName, const char* AOuterName,
               const char* AHeaderName, const char* AListName, const std::string& ATitle,
               bool AShownAtStart);

  void SetLines(const TStringList& ALines);
  // Breaks over-wide lines the way all list pages do.
  void WrapLines();
  // Sizes the outer panel and the frame to the lines (the list scrolls beyond the maximum) and
  // shows the panel.
  void FitToLines();

  void resizeEvent(QResizeEvent* AEvent) override;

 private:
  void LayoutPanel();

  QWidget* FOuter = nullptr;
  QWidget* FBar = nullptr;
  QWidget* FInner = nullptr;
  QWidget* FHeader = nullptr;
  QWidget* FSpacer = nullptr;
  QListWidget* FList = nullptr;
};

}  // namespace jw
