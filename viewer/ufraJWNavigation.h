#pragma once
// The navigation bar: one picture button per content page of the entry, plus a last button that
// closes the window.
#include <functional>
#include <memory>

#include "store/JWEButtons.h"
#include "viewer/JWEFrame.h"

namespace jw {

class TfraJWNavigation : public TJWFrame {
  Q_OBJECT

 public:
  Q_INVOKABLE explicit TfraJWNavigation(QWidget* AOwner = nullptr);
  ~TfraJWNavigation() override;

  void UpdateContent() override;
  // Buttons of the entry, the closing button included (-1 without a record).
  int32_t ItemCount() const override;

  bool ShowLocation() const { return FShowLocation; }
  void SetShowLocation(bool AValue);
  bool ForceLocation() const { return FForceLocation; }
  void SetForceLocation(bool AValue);
  TJWButtonSet ShownButtons() const { return FShownButtons; }
  int32_t LabelLeft() const { return FLabelLeft; }

  // Takes ownership of both pictures (either may be null) and rebuilds the buttons.
  void SetButtonImages(int32_t ALabelIndent, std::shared_ptr<const TJWBitmap> APicture,
                       std::shared_ptr<const TJWBitmap> AEndPicture);

  // Presses a shown button as a click would; brClose does nothing, a button that is not shown
  // raises EJWError.
  void VirtualClick(TJWButtonRec AButton);

  std::function<void(TJWButtonRec)> OnButton;

 protected:
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

 private:
  void BuildButtons();
  void HideButtonPanels();
  void SetupButton(const QString& ASuffix, int ATop, int ALeft, TJWButtonRec AButton,
                   const std::string& ACaption);
  void ButtonClick(TJWButtonRec AButton);

  bool FForceLocation = false;
  bool FShowLocation = false;
  TJWButtonSet FShownButtons = 0;
  std::shared_ptr<const TJWBitmap> FButtonPicture;
  std::shared_ptr<const TJWBitmap> FEndButtonPicture;
  int32_t FLabelLeft = 36;
};

}  // namespace jw
