#pragma once
// The card-acceptance page: a title and one row per accepted payment card, with a small picture.
#include <QPixmap>

#include "viewer/JWEFrame.h"

namespace jw {

class TfraJWCardAcceptance : public TJWFrame {
  Q_OBJECT

 public:
  static constexpr int kWidth = 220;
  static constexpr int kRowHeight = 27;
  static constexpr int kHeaderHeight = 17;
  static constexpr int kCards = 5;

  Q_INVOKABLE explicit TfraJWCardAcceptance(QWidget* AOwner = nullptr);

  void UpdateContent() override;

  // The picture of card k (0 Visa, 1 Amex, 2 Eurocard, 3 Diners Club, 4 EC).
  static QPixmap CardPicture(int ACard);

 protected:
  void resizeEvent(QResizeEvent* AEvent) override;

 private:
  void LayoutPanel();
};

}  // namespace jw
