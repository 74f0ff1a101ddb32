#include "viewer/core/JWEInfoFrames.h"

#include <algorithm>

#include "store/ZDTelNum.h"
#include "viewer/core/JW2Form.h"
#include "viewer/core/JWViewerText.h"

namespace jw {

namespace {

const TJWFont kFirmaFont{"Arial", 19, true};
const TJWFont kSloganFont{"Arial", 13, true};
constexpr int32_t kRowHeight = 15;
constexpr int32_t kGap = 7;

void PaintLines(TJWPainter& APainter, const TfraJWHeadline::TLabel& ALabel, int32_t ALineHeight) {
  int32_t y = ALabel.Rect.Top;
  for (const std::string& line : ALabel.Lines) {
    APainter.Text(ALabel.Rect.Left, y, ALabel.Rect, ALabel.Font, kWindowTextColor, line);
    y += ALineHeight;
  }
}

}  // namespace

// Headline

TfraJWHeadline::TfraJWHeadline(TfrmJW& AForm) : TJWFrame(AForm) {
  Bounds.Width = kWidth;
  Bounds.Height = kHeight;
  lblFirma = {{0, 0, kWidth, 22}, kFirmaFont, {}};
  lblFirma2 = {{0, 22, kWidth, 22}, kFirmaFont, {}};
  lblSlogan = {{0, kHeight - 16, kWidth, 16}, kSloganFont, {}};
}

std::string TfraJWHeadline::HeadlineName(const TJW2DataRec& ARec) {
  std::string name;
  if (!ARec.NameFormat.empty()) {
    name = FormatEntryName(ARec, ARec.NameFormat);
  } else {
    name =
        Trim(Trim(Trim(ARec.NamePart1) + " " + Trim(ARec.NamePart2) + " " + Trim(ARec.NamePart4)) +
             " " + Trim(Trim(ARec.NamePart5) + " " + Trim(ARec.NamePart3)));
  }
  for (size_t pos; (pos = name.find("  ")) != std::string::npos;) name.erase(pos, 1);
  return name;
}

void TfraJWHeadline::UpdateContent() {
  lblFirma.Lines.clear();
  lblFirma2.Lines.clear();
  lblSlogan.Lines.clear();
  if (!FData) return;
  TJWTextMetrics& metrics = Metrics();
  const std::string name = HeadlineName(*FData);
  const std::string slogan = Trim(ReplaceBR(FData->Slogan, "\n\r"));
  const size_t br = FindBR(name);
  const int32_t lineHeight = metrics.LineHeight(kFirmaFont);
  int32_t firmaHeight = lineHeight, firma2Height = 0;
  bool sloganAtBottom = false;
  std::string firma = Trim(name);
  lblSlogan.Font.Bold = true;

  if (br != std::string::npos) {
    // Two name lines: a slogan too wide for one line in bold falls back to the regular weight.
    if (metrics.TextWidth(lblSlogan.Font, Trim(FData->Slogan)) > kWidth)
      lblSlogan.Font.Bold = false;
    firma = Trim(name.substr(0, br));
    const std::string firma2 = Trim(name.substr(br + 4));
    if (!firma2.empty()) lblFirma2.Lines = {firma2};
    firma2Height = firma2.empty() ? 0 : lineHeight;
    sloganAtBottom = !firma.empty() && !firma2.empty();
  }
  if (metrics.TextWidth(kFirmaFont, br != std::string::npos ? firma : name) > kWidth)
    firmaHeight *= 2;
  if (!firma.empty()) lblFirma.Lines = WrapText(metrics, kFirmaFont, firma, kWidth);
  if (!slogan.empty()) lblSlogan.Lines = WrapText(metrics, lblSlogan.Font, slogan, kWidth);

  // The name labels stack from the top; the slogan sizes itself to its lines and sits under them
  // or at the bottom edge.
  lblFirma.Rect = {0, 0, kWidth, firmaHeight};
  lblFirma2.Rect = {0, firmaHeight, kWidth, firma2Height};
  const int32_t sloganHeight =
      slogan.empty() ? 16 : int32_t(lblSlogan.Lines.size()) * metrics.LineHeight(lblSlogan.Font);
  const int32_t sloganTop = sloganAtBottom ? kHeight - sloganHeight : firmaHeight + firma2Height;
  lblSlogan.Rect = {0, sloganTop, kWidth, sloganHeight};
}

void TfraJWHeadline::Paint(TJWPainter& APainter) {
  TJWFrame::Paint(APainter);
  const int32_t lineHeight = APainter.Metrics.LineHeight(kFirmaFont);
  PaintLines(APainter, lblFirma, lineHeight);
  PaintLines(APainter, lblFirma2, lineHeight);
  PaintLines(APainter, lblSlogan, APainter.Metrics.LineHeight(lblSlogan.Font));
}

// Address

TfraJWAddress::TfraJWAddress(TfrmJW& AForm) : TJWFrame(AForm) {
  Bounds.Width = kWidth;
  Bounds.Height = 129;
}

void TfraJWAddress::UpdateContent() {
  FRows.clear();
  if (!FData) {
    Bounds.Height = 1;
    return;
  }
  const TJW2DataRec& rec = *FData;
  int32_t top = 0;
  auto addLine = [&](const std::string& AText) {
    FRows.push_back({{0, top, kWidth, kRowHeight}, "", AText, "", false, false});
    top += kRowHeight;
  };
  // The house number and its addition are joined without a blank.
  if (!Trim(rec.Street + " " + Trim(rec.StreetNo + " " + rec.StreetAdd)).empty())
    addLine(Trim(rec.Street + " " + Trim(rec.StreetNo + rec.StreetAdd)));
  if (!Trim(rec.Zip + rec.City).empty()) addLine(Trim(rec.Zip + " " + rec.City));
  top += kGap;

  // Hidden rows collapse in both columns, so every caption stays beside its value.
  int32_t rowTop = top;
  auto addRow = [&](const char* ACaption, const std::string& AValue) {
    FRows.push_back(
        {{kCaptionWidth, rowTop, kValueWidth, kRowHeight}, ACaption, AValue, "", false, false});
    rowTop += kRowHeight;
  };
  struct TPhone {
    const std::string& Prefix;
    const std::string& Number;
    const char* Caption;
  };
  for (const TPhone& p : {TPhone{rec.PhonePrefix, rec.PhoneNumber, "Telefon:"},
                          TPhone{rec.FaxPrefix, rec.FaxNumber, "Telefax:"},
                          TPhone{rec.MobilePrefix, rec.MobileNumber, "Mobil:"}})
    if (!Trim(p.Prefix + p.Number).empty()) addRow(p.Caption, FormatTelNum(p.Prefix, p.Number));
  rowTop += kGap;

  const TMeasureTextFunc measure = MeasureWith(Metrics(), kArial12);
  auto addLink = [&](const char* ACaption, const std::string& AText, bool AMail) {
    if (AText.empty()) return;
    addRow(ACaption, ShortenText(&measure, kValueWidth, AText, "..."));
    FRows.back().Hint = AText;
    FRows.back().Link = true;
    FRows.back().Mail = AMail;
  };
  addLink("E-Mail:", Trim(rec.EMail), true);
  addLink("Homepage:", EntryWebText(rec), false);
  Bounds.Height = rowTop + 1;
}

void TfraJWAddress::Paint(TJWPainter& APainter) {
  TJWFrame::Paint(APainter);
  for (const TRow& row : FRows) {
    if (!row.Caption.empty())
      APainter.Text(0, row.Rect.Top, {0, row.Rect.Top, kCaptionWidth, row.Rect.Height}, kArial12,
                    kWindowTextColor, row.Caption);
    APainter.Text(row.Rect.Left, row.Rect.Top, row.Rect, kArial12,
                  row.Link ? kLinkColor : kWindowTextColor, row.Value);
    if (row.Link)  // the underline, as wide as the text shown
      APainter.Fill({row.Rect.Left, row.Rect.Bottom(),
                     std::min(kValueWidth, APainter.Metrics.TextWidth(kArial12, row.Value)), 1},
                    kLinkColor);
  }
}

const TfraJWAddress::TRow* TfraJWAddress::LinkAt(int32_t AX, int32_t AY) const {
  for (const TRow& row : FRows)
    if (row.Link && row.Rect.Contains(AX, AY)) return &row;
  return nullptr;
}

bool TfraJWAddress::Click(int32_t AX, int32_t AY) {
  const TRow* link = LinkAt(AX, AY);
  if (!link) return false;
  if (link->Mail)
    lblEMailClick();
  else
    lblUrlClick();
  return true;
}

TJWCursor TfraJWAddress::CursorAt(int32_t AX, int32_t AY) const {
  return LinkAt(AX, AY) ? TJWCursor::crHand : TJWCursor::crArrow;
}

std::string TfraJWAddress::ToolTipAt(int32_t AX, int32_t AY) const {
  const TRow* link = LinkAt(AX, AY);
  return link ? link->Hint : std::string();
}

void TfraJWAddress::lblEMailClick() {
  if (FData) Form.OpenUrl("mailto:" + FData->EMail);
}

void TfraJWAddress::lblUrlClick() {
  if (FData) Form.OpenUrl(EntryWebLink(*FData));
}

// Extra info

TfraJWEnhInfo::TfraJWEnhInfo(TfrmJW& AForm) : TJWFrame(AForm) {
  Bounds.Width = kWidth;
  Bounds.Height = 124;
}

void TfraJWEnhInfo::UpdateContent() {
  PlainLines.clear();
  Lines.clear();
  if (!FData) return;
  if (FData->EnhInfoKind == 0) {
    std::string text;
    for (const std::string& line : FData->EnhInfo) text += line + "\r\n";
    if (!text.empty()) PlainLines = WrapText(Metrics(), kArial12, text, kWidth);
    return;
  }
  if (FData->EnhInfoKind != 1) return;
  int32_t captionWidth = 0;
  const size_t count = std::min<size_t>(FData->EnhInfo.size(), kLines);
  for (size_t i = 0; i < count; ++i) {
    const std::string& line = FData->EnhInfo[i];
    TLine shown{int32_t(i), line.substr(0, line.find('\t')), ""};
    if (const size_t tab = line.find('\t'); tab != std::string::npos) {
      const size_t tab2 = line.find('\t', tab + 1);
      shown.Value =
          line.substr(tab + 1, tab2 == std::string::npos ? std::string::npos : tab2 - tab - 1);
    }
    captionWidth = std::max(captionWidth, Metrics().TextWidth(kArial12, shown.Caption));
    // Empty lines keep their place empty: nothing moves up.
    if (!shown.Caption.empty() || !shown.Value.empty()) Lines.push_back(std::move(shown));
  }
  // The values start 5 pixels right of the widest caption.
  ValueLeft = kWidth - std::max(0, kWidth - (captionWidth + 5));
}

void TfraJWEnhInfo::Paint(TJWPainter& APainter) {
  TJWFrame::Paint(APainter);
  const int32_t lineHeight = APainter.Metrics.LineHeight(kArial12);
  for (size_t i = 0; i < PlainLines.size(); ++i)
    APainter.Text(0, int32_t(i) * lineHeight, {0, 0, kWidth, kPlainHeight}, kArial12,
                  kWindowTextColor, PlainLines[i]);
  for (const TLine& line : Lines) {
    const int32_t top = line.Index * kLineHeight;
    APainter.TextInBox({0, top, kWidth, kLineHeight}, kArial12, kWindowTextColor, line.Caption);
    APainter.TextInBox({ValueLeft, top, kWidth - ValueLeft, kLineHeight}, kArial12,
                       kWindowTextColor, line.Value);
  }
}

// Logo

TfraJWLogo::TfraJWLogo(TfrmJW& AForm) : TJWFrame(AForm) {
  Bounds.Width = 133;
  Bounds.Height = 57;
}

void TfraJWLogo::SetData(TJW2DataRec* ARec) {
  TJWFrame::SetData(ARec);
  FLogo = ARec ? ARec->Logo : nullptr;
}

void TfraJWLogo::Paint(TJWPainter& APainter) {
  TJWFrame::Paint(APainter);
  APainter.Picture(0, 0, FLogo);
}

}  // namespace jw
