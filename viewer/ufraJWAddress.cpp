#include "viewer/ufraJWAddress.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QUrl>

#include "store/ZDTelNum.h"
#include "viewer/JWCodePage.h"
#include "viewer/core/JWViewerText.h"

namespace jw {

namespace {

constexpr int kWidth = 270;
constexpr int kCaptionWidth = 73;
constexpr int kValueWidth = kWidth - kCaptionWidth;
constexpr int kGap = 7;
constexpr int kRowHeight = 15;
const QColor kLinkColor(0x19, 0x40, 0x94);

TfraJWAddress::TLinkOpener& LinkOpener() {
  static TfraJWAddress::TLinkOpener opener;
  return opener;
}

void OpenLink(const std::string& ALink) {
  if (LinkOpener()) {
    LinkOpener()(ALink);
    return;
  }
  // The program may be missing; nothing is reported then.
  QDesktopServices::openUrl(QUrl(ToQString(ALink), QUrl::TolerantMode));
}

}  // namespace

void TfraJWAddress::SetLinkOpener(TLinkOpener AOpener) {
  LinkOpener() = std::move(AOpener);
}

TfraJWAddress::TfraJWAddress(QWidget* AOwner) : TJWFrame(AOwner) {
  setObjectName("fraJWAddress");
  setFixedWidth(kWidth);
  resize(kWidth, 129);
  const QFont font = JWFont("Arial", 12);
  for (const char* name : {"lblStrasse", "lblPLZOrt"}) MakeLabel(this, name, font);
  MakeLabel(this, "lblSpacer1", font);
  auto* pnlPanel = new TJWPanel(this, "pnlPanel");
  auto* panel2 = new TJWPanel(pnlPanel, "Panel2");
  auto* panel3 = new TJWPanel(pnlPanel, "Panel3");
  struct Row {
    const char* Caption;
    const char* CaptionText;
    const char* Value;
  };
  for (const Row& row :
       {Row{"lblCTelefon", "Telefon:", "lblTelefon"}, Row{"lblCTelefax", "Telefax:", "lblTelefax"},
        Row{"lblCMobil", "Mobil:", "lblMobil"}, Row{"lblSpacer2", "", "lblSpacer3"},
        Row{"lblCEMail", "E-Mail:", "lblEMail"}, Row{"lblCUrl", "Homepage:", "lblUrl"}}) {
    MakeLabel(panel2, row.Caption, font)->setText(row.CaptionText);
    MakeLabel(panel3, row.Value, font);
  }
  for (const char* name : {"lblEMail", "lblUrl"}) {
    QLabel* link = findChild<QLabel*>(name);
    QPalette pal = link->palette();
    pal.setColor(QPalette::WindowText, kLinkColor);
    link->setPalette(pal);
    link->setCursor(Qt::PointingHandCursor);
    link->installEventFilter(this);
  }
  for (const char* name : {"pnlLineEMail", "pnlLineUrl"}) {
    auto* line = new TJWPanel(panel3, name);
    line->SetColor(kLinkColor);
    line->resize(0, 1);
  }
  UpdateContent();
}

void TfraJWAddress::ShowLink(QLabel* ALabel, QLabel* ACaption, QWidget* ALine,
                             const std::string& AText) {
  if (AText.empty()) {
    ALine->hide();
    ACaption->hide();
    ALabel->hide();
    ALabel->clear();
    return;
  }
  ALine->show();
  ACaption->show();
  ALabel->show();
  ALabel->setToolTip(ToQString(AText));
  const TMeasureTextFunc measure = MeasureWith(ALabel->font());
  const std::string shown = ShortenText(&measure, kValueWidth, AText, "...");
  SetLabelText(ALabel, shown);
  ALine->resize(measure(shown), 1);
}

void TfraJWAddress::UpdateContent() {
  const QList<QWidget*> children = findChildren<QWidget*>();
  if (!FData) {
    for (QWidget* w : children)
      if (w->objectName() != "pnlPanel" && w->objectName() != "Panel2" &&
          w->objectName() != "Panel3")
        w->hide();
    Layout();
    return;
  }
  const TJW2DataRec& rec = *FData;
  auto label = [this](const char* AName) { return findChild<QLabel*>(AName); };
  auto showText = [](QLabel* ALabel, bool AShow, const std::string& AText) {
    SetLabelText(ALabel, AShow ? AText : std::string());
    ALabel->setVisible(AShow);
  };

  showText(label("lblStrasse"),
           !Trim(rec.Street + " " + Trim(rec.StreetNo + " " + rec.StreetAdd)).empty(),
           Trim(rec.Street + " " + Trim(rec.StreetNo + rec.StreetAdd)));
  showText(label("lblPLZOrt"), !Trim(rec.Zip + rec.City).empty(), Trim(rec.Zip + " " + rec.City));
  label("lblSpacer1")->show();
  label("lblSpacer2")->show();
  label("lblSpacer3")->show();

  struct Phone {
    const std::string& Prefix;
    const std::string& Number;
    const char* Caption;
    const char* Value;
  };
  for (const Phone& p : {Phone{rec.PhonePrefix, rec.PhoneNumber, "lblCTelefon", "lblTelefon"},
                         Phone{rec.FaxPrefix, rec.FaxNumber, "lblCTelefax", "lblTelefax"},
                         Phone{rec.MobilePrefix, rec.MobileNumber, "lblCMobil", "lblMobil"}}) {
    const bool shown = !Trim(p.Prefix + p.Number).empty();
    showText(label(p.Value), shown, shown ? FormatTelNum(p.Prefix, p.Number) : std::string());
    label(p.Caption)->setVisible(shown);
  }

  ShowLink(label("lblUrl"), label("lblCUrl"), findChild<QWidget*>("pnlLineUrl"), EntryWebText(rec));
  ShowLink(label("lblEMail"), label("lblCEMail"), findChild<QWidget*>("pnlLineEMail"),
           Trim(rec.EMail));
  Layout();
}

// Stacks the shown rows from the top; a hidden row collapses in both columns, so every caption
// stays beside its value, and the frame ends below the last shown row.
void TfraJWAddress::Layout() {
  auto label = [this](const char* AName) { return findChild<QLabel*>(AName); };
  int top = 0;
  for (const char* name : {"lblStrasse", "lblPLZOrt", "lblSpacer1"}) {
    QLabel* l = label(name);
    const int h = std::string(name) == "lblSpacer1" ? kGap : kRowHeight;
    l->setGeometry(0, top, kWidth, h);
    if (l->isVisibleTo(this)) top += h;
  }
  auto* pnlPanel = findChild<QWidget*>("pnlPanel");
  int rowTop = 0;
  struct Row {
    const char* Caption;
    const char* Value;
  };
  for (const Row& row : {Row{"lblCTelefon", "lblTelefon"}, Row{"lblCTelefax", "lblTelefax"},
                         Row{"lblCMobil", "lblMobil"}, Row{"lblSpacer2", "lblSpacer3"},
                         Row{"lblCEMail", "lblEMail"}, Row{"lblCUrl", "lblUrl"}}) {
    QLabel* value = label(row.Value);
    const int h = std::string(row.Value) == "lblSpacer3" ? kGap : kRowHeight;
    label(row.Caption)->setGeometry(0, rowTop, kCaptionWidth, h);
    value->setGeometry(0, rowTop, kValueWidth, h);
    if (value->isVisibleTo(this)) rowTop += h;
  }
  findChild<QWidget*>("pnlLineUrl")->move(0, label("lblUrl")->geometry().bottom() + 1);
  findChild<QWidget*>("pnlLineEMail")->move(0, label("lblEMail")->geometry().bottom() + 1);
  const int panelHeight = 1 + rowTop;
  pnlPanel->setGeometry(0, top, kWidth, panelHeight);
  findChild<QWidget*>("Panel2")->setGeometry(0, 0, kCaptionWidth, panelHeight);
  findChild<QWidget*>("Panel3")->setGeometry(kCaptionWidth, 0, kValueWidth, panelHeight);
  resize(kWidth, top + panelHeight);
}

bool TfraJWAddress::eventFilter(QObject* AWatched, QEvent* AEvent) {
  if (AEvent->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(AEvent)->button() == Qt::LeftButton) {
    if (AWatched->objectName() == "lblEMail") lblEMailClick();
    if (AWatched->objectName() == "lblUrl") lblUrlClick();
  }
  return TJWFrame::eventFilter(AWatched, AEvent);
}

void TfraJWAddress::lblEMailClick() {
  if (FData) OpenLink("mailto:" + FData->EMail);
}

void TfraJWAddress::lblUrlClick() {
  if (FData) OpenLink(EntryWebLink(*FData));
}

}  // namespace jw
