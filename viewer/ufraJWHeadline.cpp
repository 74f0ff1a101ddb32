#include "viewer/ufraJWHeadline.h"

#include <QFontMetrics>

#include "viewer/core/JWViewerText.h"

namespace jw {

namespace {
constexpr int kWidth = 472;
constexpr int kHeight = 61;
}  // namespace

TfraJWHeadline::TfraJWHeadline(QWidget* AOwner) : TJWFrame(AOwner) {
  setObjectName("fraJWHeadline");
  setFixedSize(kWidth, kHeight);
  lblFirma = MakeLabel(this, "lblFirma", JWFont("Arial", 19, true));
  lblFirma->setWordWrap(true);
  lblFirma->setGeometry(0, 0, kWidth, 22);
  lblFirma2 = MakeLabel(this, "lblFirma2", JWFont("Arial", 19, true));
  lblFirma2->setGeometry(0, 22, kWidth, 22);
  lblSlogan = MakeLabel(this, "lblSlogan", JWFont("Arial", 13, true));
  lblSlogan->setWordWrap(true);
  lblSlogan->setGeometry(0, kHeight - 16, kWidth, 16);
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
  if (!FData) {
    lblFirma->clear();
    lblFirma2->clear();
    lblSlogan->clear();
    return;
  }
  const std::string name = HeadlineName(*FData);
  const std::string slogan = Trim(ReplaceBR(FData->Slogan, "\n\r"));
  const size_t br = FindBR(name);
  int firmaHeight, firma2Height = 0;
  bool sloganAtBottom = false;

  if (br != std::string::npos) {
    // Two name lines: a slogan too wide for one line in bold falls back to the regular weight.
    QFont sloganFont = lblSlogan->font();
    sloganFont.setBold(true);
    if (TextWidth(sloganFont, Trim(FData->Slogan)) > lblSlogan->width()) sloganFont.setBold(false);
    lblSlogan->setFont(sloganFont);
    SetLabelText(lblSlogan, slogan);
    SetLabelText(lblFirma2, Trim(name.substr(br + 4)));
    SetLabelText(lblFirma, Trim(name.substr(0, br)));

    const QFontMetrics metrics(lblFirma2->font());
    firmaHeight = metrics.height();
    if (TextWidth(lblFirma2->font(), LabelText(lblFirma)) > lblFirma->width()) firmaHeight *= 2;
    firma2Height = lblFirma2->text().isEmpty() ? 0 : metrics.height();
    sloganAtBottom = !lblFirma->text().isEmpty() && !lblFirma2->text().isEmpty();
  } else {
    lblFirma2->clear();
    // The slogan's own weight, whatever the entry shown before had made of it.
    QFont sloganFont = lblSlogan->font();
    sloganFont.setBold(true);
    lblSlogan->setFont(sloganFont);
    SetLabelText(lblSlogan, slogan);
    SetLabelText(lblFirma, Trim(name));
    const QFontMetrics metrics(lblFirma->font());
    firmaHeight = metrics.height();
    if (TextWidth(lblFirma->font(), name) > lblFirma->width()) firmaHeight *= 2;
  }

  // Emulates docking: the name labels stack from the top, the slogan sizes itself to its lines
  // and sits under them or at the bottom edge.
  lblFirma->setGeometry(0, 0, kWidth, firmaHeight);
  lblFirma2->setGeometry(0, firmaHeight, kWidth, firma2Height);
  const int sloganHeight = lblSlogan->text().isEmpty() ? 16 : lblSlogan->heightForWidth(kWidth);
  const int sloganTop = sloganAtBottom ? kHeight - sloganHeight : firmaHeight + firma2Height;
  lblSlogan->setGeometry(0, sloganTop, kWidth, sloganHeight);
  update();
}

}  // namespace jw
