#include "viewer/ufraJWNavigation.h"

#include <QMouseEvent>

#include "store/JWError.h"
#include "viewer/JWCodePage.h"
#include "viewer/JWViewerApp.h"

namespace jw {

namespace {

const char* const kSuffixes[8] = {"1", "2", "3", "4", "5", "6", "7", "End"};
const char* const kButtonProperty = "jwButton";

// Display order of the bar: card acceptance before office hours, the closing button last.
constexpr TJWButtonRec kDisplayOrder[8] = {brIndustries,     brBusinessTypes, brSearchwords,
                                           brCardAcceptance, brOfficeHours,   brPointOfPlace,
                                           brBranches,       brClose};

}  // namespace

TfraJWNavigation::TfraJWNavigation(QWidget* AOwner) : TJWFrame(AOwner) {
  setObjectName("fraJWNavigation");
  resize(140, 132);
  const QFont labelFont = JWFont("Arial", 11);
  for (int k = 0; k < 8; ++k) {
    const QString suffix = QString::fromLatin1(kSuffixes[k]);
    auto* panel = new TJWPanel(this, "pnlButton" + suffix);
    panel->setGeometry(0, k * 16, 140, k == 7 ? 20 : 16);
    auto* image = new QLabel(panel);
    image->setObjectName("imgButton" + suffix);
    image->move(0, 0);
    QLabel* label = MakeLabel(panel, "lblButton" + suffix, labelFont);
    label->setText("=?\?\?=");
    label->adjustSize();
    label->move(36, 1);
    label->setCursor(Qt::PointingHandCursor);
    label->raise();
    for (QWidget* w :
         {static_cast<QWidget*>(panel), static_cast<QWidget*>(image), static_cast<QWidget*>(label)})
      w->installEventFilter(this);
    panel->setVisible(k < 4);
  }
}

TfraJWNavigation::~TfraJWNavigation() = default;

void TfraJWNavigation::SetShowLocation(bool AValue) {
  FShowLocation = AValue;
  UpdateContent();
}

void TfraJWNavigation::SetForceLocation(bool AValue) {
  FForceLocation = AValue;
  UpdateContent();
}

void TfraJWNavigation::SetButtonImages(int32_t ALabelIndent,
                                       std::shared_ptr<const TJWBitmap> APicture,
                                       std::shared_ptr<const TJWBitmap> AEndPicture) {
  FButtonPicture = std::move(APicture);
  FEndButtonPicture = std::move(AEndPicture);
  FLabelLeft = ALabelIndent;
  UpdateContent();
}

int32_t TfraJWNavigation::ItemCount() const {
  if (!FData) return -1;
  TJWButtonSet set = 0;
  return DeriveButtons(*FData, FShowLocation, FForceLocation, set) + 1;
}

void TfraJWNavigation::UpdateContent() {
  const QPixmap picture = QPixmap::fromImage(BitmapToImage(FButtonPicture.get()));
  const QPixmap endPicture = QPixmap::fromImage(BitmapToImage(FEndButtonPicture.get()));
  int labelTop = 1;
  for (int k = 0; k < 8; ++k) {
    const QString suffix = QString::fromLatin1(kSuffixes[k]);
    auto* panel = findChild<TJWPanel*>("pnlButton" + suffix);
    auto* image = findChild<QLabel*>("imgButton" + suffix);
    auto* label = findChild<QLabel*>("lblButton" + suffix);
    if (!panel || !image || !label) continue;
    const QPixmap& pix = k == 7 ? endPicture : picture;
    image->setPixmap(pix);
    image->resize(pix.size());
    panel->resize(pix.size());
    label->adjustSize();
    // The last label lines up with the first; the others centre on their picture.
    if (k < 7) labelTop = pix.height() / 2 - label->height() / 2;
    label->move(FLabelLeft, k == 7 ? findChild<QLabel*>("lblButton1")->y() : labelTop);
  }
  SetColor(Qt::black);
  if (FButtonPicture && !FButtonPicture->Empty()) resize(FButtonPicture->Width, height());
  if (FData) BuildButtons();
  update();
}

void TfraJWNavigation::HideButtonPanels() {
  for (TJWPanel* panel : findChildren<TJWPanel*>(QString(), Qt::FindDirectChildrenOnly))
    if (panel->objectName().startsWith("pnlButton")) panel->hide();
}

void TfraJWNavigation::BuildButtons() {
  TJWButtonSet set = 0;
  const int32_t n = DeriveButtons(*FData, FShowLocation, FForceLocation, set) + 1;
  FShownButtons = 0;
  HideButtonPanels();
  int top = 0;
  for (int32_t k = 1; k <= n && k <= 8; ++k) {
    const QString suffix = k == n ? QString("End") : QString::number(k);
    TJWButtonRec button = brClose;
    for (TJWButtonRec candidate : kDisplayOrder) {
      if (candidate != brClose && InSet(set, candidate) && !InSet(FShownButtons, candidate)) {
        button = candidate;
        break;
      }
    }
    if (button == brClose && InSet(FShownButtons, brClose)) continue;
    Include(FShownButtons, button);
    SetupButton(suffix, top, 0, button, CaptionOf(button, *FData));
    if (auto* panel = findChild<TJWPanel*>("pnlButton" + suffix)) top += panel->height();
  }
  // The bar ends at the bottom of its last placed panel.
  resize(width(), top);
}

void TfraJWNavigation::SetupButton(const QString& ASuffix, int ATop, int ALeft,
                                   TJWButtonRec AButton, const std::string& ACaption) {
  if (auto* label = findChild<QLabel*>("lblButton" + ASuffix)) {
    SetLabelText(label, ACaption);
    label->adjustSize();
    label->setProperty(kButtonProperty, int(AButton));
  }
  if (auto* image = findChild<QLabel*>("imgButton" + ASuffix))
    image->setProperty(kButtonProperty, int(AButton));
  if (auto* panel = findChild<TJWPanel*>("pnlButton" + ASuffix)) {
    panel->setProperty(kButtonProperty, int(AButton));
    panel->move(ALeft, ATop);
    panel->show();
  }
}

bool TfraJWNavigation::eventFilter(QObject* AWatched, QEvent* AEvent) {
  if (AEvent->type() == QEvent::MouseButtonRelease) {
    auto* mouse = static_cast<QMouseEvent*>(AEvent);
    auto* widget = qobject_cast<QWidget*>(AWatched);
    const QVariant button = AWatched->property(kButtonProperty);
    if (widget && button.isValid() && mouse->button() == Qt::LeftButton &&
        widget->rect().contains(mouse->position().toPoint())) {
      try {
        ButtonClick(TJWButtonRec(button.toInt()));
      } catch (const std::exception& e) {
        ReportViewerFailure(e.what());
      }
      return true;
    }
  }
  return TJWFrame::eventFilter(AWatched, AEvent);
}

void TfraJWNavigation::ButtonClick(TJWButtonRec AButton) {
  if (OnButton) OnButton(AButton);
}

void TfraJWNavigation::VirtualClick(TJWButtonRec AButton) {
  if (AButton == brClose) return;
  if (AButton > brClose || !InSet(FShownButtons, AButton))
    throw EJWError("Vitual click on Button mistaked, Button isnt visible!");
  ButtonClick(AButton);
}

}  // namespace jw
