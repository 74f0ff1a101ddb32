#include "viewer/ufraJWEnhInfo.h"

#include <algorithm>

namespace jw {

namespace {
constexpr int kWidth = 270;
constexpr int kLineHeight = 17;
}  // namespace

TfraJWEnhInfo::TfraJWEnhInfo(QWidget* AOwner) : TJWFrame(AOwner) {
  setObjectName("fraJWEnhInfo");
  setFixedWidth(kWidth);
  resize(kWidth, 124);
  const QFont font = JWFont("Arial", 12);
  QLabel* plain = MakeLabel(this, "lblPlainText", font);
  plain->setWordWrap(true);
  plain->setGeometry(0, 0, kWidth, 113);
  for (int k = 1; k <= kLines; ++k) {
    auto* panel = new TJWPanel(this, QString("pnlEE%1").arg(k));
    panel->setFont(font);
    panel->setGeometry(0, (k - 1) * kLineHeight, kWidth, kLineHeight);
    QLabel* value = MakeLabel(panel, QString("lblEE%1").arg(k), font);
    value->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    value->setGeometry(0, 0, kWidth, kLineHeight);
  }
}

void TfraJWEnhInfo::UpdateContent() {
  for (int k = 1; k <= kLines; ++k)
    if (auto* panel = findChild<TJWPanel*>(QString("pnlEE%1").arg(k))) panel->hide();
  auto* plain = findChild<QLabel*>("lblPlainText");
  plain->hide();
  if (!FData) return;

  if (FData->EnhInfoKind == 0) {
    plain->setGeometry(0, 0, width(), plain->height());
    std::string text;
    for (const std::string& line : FData->EnhInfo) text += line + "\r\n";
    SetLabelText(plain, text);
    plain->setVisible(!text.empty());
    return;
  }
  if (FData->EnhInfoKind != 1) return;

  std::string captions[kLines], values[kLines];
  const size_t lines = std::min<size_t>(FData->EnhInfo.size(), kLines);
  const QFont measureFont = findChild<QLabel*>("lblEE1")->font();
  int captionWidth = 0;
  for (size_t i = 0; i < lines; ++i) {
    const std::string& line = FData->EnhInfo[i];
    const size_t tab = line.find('\t');
    captions[i] = line.substr(0, tab);
    if (tab != std::string::npos) {
      const size_t tab2 = line.find('\t', tab + 1);
      values[i] =
          line.substr(tab + 1, tab2 == std::string::npos ? std::string::npos : tab2 - tab - 1);
    }
    captionWidth = std::max(captionWidth, TextWidth(measureFont, captions[i]));
  }
  for (int k = kLines; k >= 1; --k) {
    auto* panel = findChild<TJWPanel*>(QString("pnlEE%1").arg(k));
    auto* value = findChild<QLabel*>(QString("lblEE%1").arg(k));
    if (!panel || !value) continue;
    const std::string& caption = captions[k - 1];
    const std::string& text = values[k - 1];
    panel->SetCaption(caption);
    panel->setVisible(!caption.empty() || !text.empty());
    SetLabelText(value, text);
    value->setVisible(!text.empty());
    // The values start 5 pixels right of the widest caption, docked to the panel's right edge.
    const int valueWidth = std::max(0, panel->width() - (captionWidth + 5));
    value->setGeometry(panel->width() - valueWidth, 0, valueWidth, panel->height());
  }
}

}  // namespace jw
