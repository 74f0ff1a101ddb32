#pragma once
// The card-acceptance page: a title and one row per accepted payment card, with a small picture.
#include "viewer/core/JWEFrame.h"

namespace jw {

class TfraJWCardAcceptance : public TJWFrame {
 public:
  static constexpr int32_t kWidth = 220;
  static constexpr int32_t kRowHeight = 27;
  static constexpr int32_t kHeaderHeight = 17;
  static constexpr int32_t kCards = 5;
  // Pixels of this colour in a card picture leave the background as it is.
  static constexpr TJWColor kTransparent = 0xFF00FF;

  explicit TfraJWCardAcceptance(TfrmJW& AForm);

  void UpdateContent() override;
  void Paint(TJWPainter& APainter) override;
  void PaintOverlay(TJWPainter& APainter) override;

  // The picture of card k (0 Visa, 1 Amex, 2 Eurocard, 3 Diners Club, 4 EC), without its word.
  static std::shared_ptr<const TJWBitmap> CardPicture(int32_t ACard);
  // The accepted cards, in table order.
  const std::vector<int32_t>& Shown() const { return FShown; }

 private:
  std::vector<int32_t> FShown;
};

}  // namespace jw
