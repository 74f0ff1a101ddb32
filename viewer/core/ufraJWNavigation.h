#pragma once
// The navigation bar: one picture button per content page of the entry, plus a last button that
// closes the window.
#include <array>
#include <functional>
#include <memory>

#include "store/JWEButtons.h"
#include "viewer/core/JWEFrame.h"

namespace jw {

class TfraJWNavigation : public TJWFrame {
 public:
  static constexpr int32_t kPanels = 8;  // seven content buttons and the End panel

  explicit TfraJWNavigation(TfrmJW& AForm);

  void UpdateContent() override;
  // Buttons of the entry, the closing button included (-1 without a record).
  int32_t ItemCount() const override;

  bool ShowLocation() const { return FShowLocation; }
  void SetShowLocation(bool AValue);
  bool ForceLocation() const { return FForceLocation; }
  void SetForceLocation(bool AValue);
  TJWButtonSet ShownButtons() const { return FShownButtons; }
  int32_t LabelLeft() const { return FLabelLeft; }

  // Both pictures may be null; the buttons are built anew.
  void SetButtonImages(int32_t ALabelIndent, std::shared_ptr<const TJWBitmap> APicture,
                       std::shared_ptr<const TJWBitmap> AEndPicture);

  // Presses a shown button as a click would; brClose does nothing, a button that is not shown
  // raises EJWError.
  void VirtualClick(TJWButtonRec AButton);

  std::function<void(TJWButtonRec)> OnButton;

  // A shown button's panel and caption, for painting and hit tests (bar coordinates).
  struct TButtonPanel {
    TJWButtonRec Button = brClose;
    TJWRect Rect;
    TJWRect Label;
    std::string Caption;
    bool End = false;
  };
  const std::vector<TButtonPanel>& Panels() const { return FPanels; }

  void Paint(TJWPainter& APainter) override;
  bool Click(int32_t AX, int32_t AY) override;
  bool DoubleClick(int32_t, int32_t) override { return true; }
  TJWCursor CursorAt(int32_t AX, int32_t AY) const override;

 private:
  void BuildButtons();

  bool FForceLocation = false;
  bool FShowLocation = false;
  TJWButtonSet FShownButtons = 0;
  std::shared_ptr<const TJWBitmap> FButtonPicture;
  std::shared_ptr<const TJWBitmap> FEndButtonPicture;
  int32_t FLabelLeft = 36;
  std::vector<TButtonPanel> FPanels;
};

}  // namespace jw
