#pragma once
// The list pages: industries, business types and search words. A titled panel with a blue line at
// its left edge and a borderless list of 15-pixel lines under the title.
#include "viewer/core/JWEFrame.h"

namespace jw {

class TJWListFrame : public TJWFrame {
 public:
  static constexpr int32_t kWidth = 220;
  static constexpr int32_t kHeaderHeight = 16;
  static constexpr int32_t kItemHeight = 15;
  static constexpr int32_t kMaxHeight = 153;
  static constexpr int32_t kSpacerWidth = 7;
  // Lines wider than this are broken by WrapListItems.
  static constexpr int32_t kWrapWidth = 188;
  static constexpr TJWColor kSelectedColor = 0x308CC6;

  const std::string& Title() const { return FTitle; }
  const TStringList& Lines() const { return FLines; }
  int32_t LineCount() const { return int32_t(FLines.size()); }
  bool PanelShown() const { return FShown; }
  int32_t ListId() const { return FListId; }

  void Paint(TJWPainter& APainter) override;
  void PaintOverlay(TJWPainter& APainter) override;
  void PaintListRow(TJWPainter& APainter, int32_t AControlId, int32_t ARow, bool ASelected,
                    int32_t AWidth) override;
  bool ControlEvent(const TJWControlEvent& AEvent) override;
  int32_t ListRowWidth(int32_t AControlId) const override {
    return AControlId == FListId ? kWidth - 1 - kSpacerWidth : -1;
  }

 protected:
  TJWListFrame(TfrmJW& AForm, std::string ATitle, bool AShownAtStart);

  void SetLines(TStringList ALines);
  // Breaks over-wide lines the way all list pages do.
  void WrapLines();
  // Sizes the panel and the frame to the lines (the list scrolls beyond the maximum) and shows
  // the panel.
  void FitToLines();

 private:
  std::string FTitle;
  TStringList FLines;
  bool FShown;
  int32_t FListId;
  int32_t FTopRow = 0;
  int32_t FSelection = -1;
};

class TfraJWIndustries : public TJWListFrame {
 public:
  explicit TfraJWIndustries(TfrmJW& AForm);
  void UpdateContent() override;
  // Lines after breaking (the entry's industries while none are shown).
  int32_t ItemCount() const override;
};

class TfraJWBusinessTypes : public TJWListFrame {
 public:
  explicit TfraJWBusinessTypes(TfrmJW& AForm);
  void UpdateContent() override;
};

class TfraJWSearchWords : public TJWListFrame {
 public:
  explicit TfraJWSearchWords(TfrmJW& AForm);
  void UpdateContent() override;
  int32_t ItemCount() const override { return LineCount(); }
};

// The business types' text split like a comma text: items at commas and blanks, double quotes
// around items with blanks, "" inside quotes for one quote.
TStringList SplitCommaText(const std::string& AText);

// Breaks list lines wider than AMaxWidth pixels at blanks; continuation lines start with five
// blanks. A single word wider than the limit stays whole on a line of its own, so breaking always
// ends.
void WrapListItems(TStringList& ALines, const TMeasureTextFunc& AMeasure, int32_t AMaxWidth = 188);

}  // namespace jw
