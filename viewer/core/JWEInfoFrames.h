#pragma once
// The frames that stay for a window's whole life: the headline with name and slogan, the address
// block with its links, the extra-info block and the logo.
#include "viewer/core/JWEFrame.h"

namespace jw {

class TfraJWHeadline : public TJWFrame {
 public:
  static constexpr int32_t kWidth = 472;
  static constexpr int32_t kHeight = 61;

  explicit TfraJWHeadline(TfrmJW& AForm);
  void UpdateContent() override;
  void Paint(TJWPainter& APainter) override;

  // The entry's name as the headline shows it (doubled blanks removed, "<BR>" kept).
  static std::string HeadlineName(const TJW2DataRec& ARec);

  // A label of the headline: its box, font and the lines it shows.
  struct TLabel {
    TJWRect Rect;
    TJWFont Font;
    std::vector<std::string> Lines;
  };
  TLabel lblFirma, lblFirma2, lblSlogan;
};

class TfraJWAddress : public TJWFrame {
 public:
  static constexpr int32_t kWidth = 270;
  static constexpr int32_t kCaptionWidth = 73;
  static constexpr int32_t kValueWidth = kWidth - kCaptionWidth;

  explicit TfraJWAddress(TfrmJW& AForm);
  void UpdateContent() override;
  void Paint(TJWPainter& APainter) override;
  bool Click(int32_t AX, int32_t AY) override;
  TJWCursor CursorAt(int32_t AX, int32_t AY) const override;
  std::string ToolTipAt(int32_t AX, int32_t AY) const override;

  void lblEMailClick();
  void lblUrlClick();

  // One shown row: caption (may be empty) and value; links carry their full text as hint.
  struct TRow {
    TJWRect Rect;  // the value's box; the caption stands at the left of the same line
    std::string Caption;
    std::string Value;
    std::string Hint;  // links only
    bool Link = false;
    bool Mail = false;
  };
  const std::vector<TRow>& Rows() const { return FRows; }

 private:
  const TRow* LinkAt(int32_t AX, int32_t AY) const;
  std::vector<TRow> FRows;
};

class TfraJWEnhInfo : public TJWFrame {
 public:
  static constexpr int32_t kWidth = 270;
  static constexpr int32_t kLines = 7;
  static constexpr int32_t kLineHeight = 17;
  static constexpr int32_t kPlainHeight = 113;

  explicit TfraJWEnhInfo(TfrmJW& AForm);
  void UpdateContent() override;
  void Paint(TJWPainter& APainter) override;

  // Free text lines (kind 0) or caption/value lines (kind 1) as shown.
  std::vector<std::string> PlainLines;
  struct TLine {
    int32_t Index = 0;  // 0..6: the line's fixed place
    std::string Caption;
    std::string Value;
  };
  std::vector<TLine> Lines;
  int32_t ValueLeft = 0;
};

class TfraJWLogo : public TJWFrame {
 public:
  explicit TfraJWLogo(TfrmJW& AForm);
  // Takes the record's logo (none when the entry has no logo).
  void SetData(TJW2DataRec* ARec) override;
  void Paint(TJWPainter& APainter) override;

 private:
  std::shared_ptr<const TJWBitmap> FLogo;
};

}  // namespace jw
