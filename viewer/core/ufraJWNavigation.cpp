#include "viewer/core/ufraJWNavigation.h"

#include "store/JWError.h"

namespace jw {

namespace {

const TJWFont kLabelFont{"Arial", 11};
constexpr TJWColor kBarColor = 0x000000;

// Display order of the bar: card acceptance before office hours, the closing button last.
constexpr TJWButtonRec kDisplayOrder[8] = {brIndustries,     brBusinessTypes, brSearchwords,
                                           brCardAcceptance, brOfficeHours,   brPointOfPlace,
                                           brBranches,       brClose};

int32_t PictureHeight(const std::shared_ptr<const TJWBitmap>& APicture) {
  return APicture && !APicture->Empty() ? APicture->Height : 0;
}
int32_t PictureWidth(const std::shared_ptr<const TJWBitmap>& APicture) {
  return APicture && !APicture->Empty() ? APicture->Width : 0;
}

}  // namespace

TfraJWNavigation::TfraJWNavigation(TfrmJW& AForm) : TJWFrame(AForm) {
  Bounds.Width = 140;
  Bounds.Height = 132;
  Color = kBarColor;
}

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
  Color = kBarColor;
  if (FButtonPicture && !FButtonPicture->Empty()) Bounds.Width = FButtonPicture->Width;
  if (FData) BuildButtons();
}

void TfraJWNavigation::BuildButtons() {
  TJWButtonSet set = 0;
  const int32_t n = DeriveButtons(*FData, FShowLocation, FForceLocation, set) + 1;
  FShownButtons = 0;
  FPanels.clear();
  // Every caption is centred on the plain picture; the End panel's caption lines up with them.
  const int32_t lineHeight = Metrics().LineHeight(kLabelFont);
  const int32_t labelTop = PictureHeight(FButtonPicture) / 2 - lineHeight / 2;
  int32_t top = 0;
  for (int32_t k = 1; k <= n && k <= kPanels; ++k) {
    TJWButtonRec button = brClose;
    for (TJWButtonRec candidate : kDisplayOrder) {
      if (candidate != brClose && InSet(set, candidate) && !InSet(FShownButtons, candidate)) {
        button = candidate;
        break;
      }
    }
    if (button == brClose && InSet(FShownButtons, brClose)) continue;
    Include(FShownButtons, button);
    TButtonPanel panel;
    panel.Button = button;
    panel.End = k == n;
    panel.Caption = CaptionOf(button, *FData);
    const auto& picture = panel.End ? FEndButtonPicture : FButtonPicture;
    panel.Rect = {0, top, PictureWidth(picture), PictureHeight(picture)};
    panel.Label = {FLabelLeft, top + labelTop, Metrics().TextWidth(kLabelFont, panel.Caption),
                   lineHeight};
    top += panel.Rect.Height;
    FPanels.push_back(std::move(panel));
  }
  // The bar ends at the bottom of its last placed panel.
  Bounds.Height = top;
}

void TfraJWNavigation::Paint(TJWPainter& APainter) {
  TJWFrame::Paint(APainter);
  for (const TButtonPanel& panel : FPanels) {
    APainter.Enter(panel.Rect);
    APainter.Picture(0, 0, panel.End ? FEndButtonPicture : FButtonPicture);
    const TJWRect label{panel.Label.Left, panel.Label.Top - panel.Rect.Top, panel.Label.Width,
                        panel.Label.Height};
    APainter.Text(label.Left, label.Top, label, kLabelFont, kWindowTextColor, panel.Caption);
    APainter.Leave();
  }
}

bool TfraJWNavigation::Click(int32_t AX, int32_t AY) {
  for (const TButtonPanel& panel : FPanels)
    if (panel.Rect.Contains(AX, AY)) {
      if (OnButton) OnButton(panel.Button);
      return true;
    }
  return false;
}

TJWCursor TfraJWNavigation::CursorAt(int32_t AX, int32_t AY) const {
  for (const TButtonPanel& panel : FPanels)
    if (panel.Rect.Contains(AX, AY) && Intersect(panel.Label, panel.Rect).Contains(AX, AY))
      return TJWCursor::crHand;
  return TJWCursor::crArrow;
}

void TfraJWNavigation::VirtualClick(TJWButtonRec AButton) {
  if (AButton == brClose) return;
  if (AButton > brClose || !InSet(FShownButtons, AButton))
    throw EJWError("Vitual click on Button mistaked, Button isnt visible!");
  if (OnButton) OnButton(AButton);
}

}  // namespace jw
