#include "viewer/core/ufraJWCardAcceptance.h"

#include <array>

#include "viewer/core/JW2Form.h"

namespace jw {

namespace {

constexpr int32_t kPictureBoxWidth = 36;
constexpr int32_t kRightMargin = 16;
constexpr TJWColor kChipColor = 0xE8C860;
const TJWFont kWordFont{"Arial", 8, true};

// Our own plain cards: a body in the card's colour with a darker edge, a small chip and a short
// word. The pictures only need to tell the rows apart at a glance.
struct TCard {
  const char* Caption;
  int32_t Width, Height;
  TJWColor Body;
  const char* Word;
};
constexpr TCard kCardTable[TfraJWCardAcceptance::kCards] = {
    {"Visa", 27, 18, 0x233C8C, "V"},      {"Amex", 27, 26, 0x1F8A8A, "AX"},
    {"Eurocard", 29, 23, 0x8C233C, "EU"}, {"Diners Club", 31, 18, 0x555F6E, "DC"},
    {"EC", 22, 25, 0x2E7D32, "EC"},
};

uint8_t CardFlag(const TJW2DataRec& ARec, int32_t ACard) {
  switch (ACard) {
    case 0:
      return ARec.CardVisa;
    case 1:
      return ARec.CardAmex;
    case 2:
      return ARec.CardEurocard;
    case 3:
      return ARec.CardDiners;
    default:
      return ARec.CardEC;
  }
}

TJWColor Darker(TJWColor AColor) {
  const auto part = [&](int shift) { return ((AColor >> shift) & 0xFF) * 10 / 16; };
  return (part(16) << 16) | (part(8) << 8) | part(0);
}

std::shared_ptr<const TJWBitmap> MakeCard(const TCard& ACard) {
  auto bitmap = std::make_shared<TJWBitmap>();
  bitmap->Width = ACard.Width;
  bitmap->Height = ACard.Height;
  bitmap->Pixels.resize(size_t(ACard.Width) * size_t(ACard.Height));
  const int32_t w = ACard.Width, h = ACard.Height;
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const bool edgeX = x == 0 || x == w - 1, edgeY = y == 0 || y == h - 1;
      TJWColor color = edgeX || edgeY ? Darker(ACard.Body) : ACard.Body;
      if (edgeX && edgeY) color = TfraJWCardAcceptance::kTransparent;  // rounded corners
      if (x >= 3 && x < 9 && y >= 3 && y < 7) color = kChipColor;
      bitmap->Pixels[size_t(y) * size_t(w) + size_t(x)] = 0xFF000000u | color;
    }
  return bitmap;
}

}  // namespace

std::shared_ptr<const TJWBitmap> TfraJWCardAcceptance::CardPicture(int32_t ACard) {
  static const std::array<std::shared_ptr<const TJWBitmap>, kCards> pictures = [] {
    std::array<std::shared_ptr<const TJWBitmap>, kCards> all;
    for (int32_t k = 0; k < kCards; ++k) all[size_t(k)] = MakeCard(kCardTable[k]);
    return all;
  }();
  return pictures[size_t(ACard)];
}

TfraJWCardAcceptance::TfraJWCardAcceptance(TfrmJW& AForm) : TJWFrame(AForm) {
  Bounds.Width = kWidth;
  Bounds.Height = 161;
}

void TfraJWCardAcceptance::UpdateContent() {
  if (!FData) return;
  FShown.clear();
  // Any non-zero flag byte counts once, so an odd flag value cannot stretch the panel.
  for (int32_t k = 0; k < kCards; ++k)
    if (CardFlag(*FData, k) != 0) FShown.push_back(k);
  // One row height more than the rows: the title takes part of it.
  Bounds.Height = kRowHeight * (int32_t(FShown.size()) + 1);
}

void TfraJWCardAcceptance::Paint(TJWPainter& APainter) {
  TJWFrame::Paint(APainter);
  APainter.Fill({0, 0, 1, Bounds.Height}, kLinkColor);
  const int32_t innerWidth = kWidth - 1;
  int32_t top = kHeaderHeight;
  for (const int32_t k : FShown) {
    const TCard& card = kCardTable[k];
    APainter.Enter({1, top, innerWidth, kRowHeight});
    APainter.Text(9, 5, {0, 0, innerWidth, kRowHeight}, kArial12, kWindowTextColor, card.Caption);
    // The picture centred in its box at the right.
    const int32_t boxLeft = innerWidth - kRightMargin - kPictureBoxWidth;
    const int32_t left = boxLeft + (kPictureBoxWidth - card.Width) / 2;
    const int32_t pictureTop = (kRowHeight - card.Height) / 2;
    APainter.Picture(left, pictureTop, CardPicture(k), kTransparent);
    APainter.TextInBox({left + 1, pictureTop + 7, card.Width - 2, card.Height - 8}, kWordFont,
                       0xFFFFFF, card.Word, TJWPainter::alCenter);
    APainter.Leave();
    top += kRowHeight;
  }
}

void TfraJWCardAcceptance::PaintOverlay(TJWPainter& APainter) {
  static const std::string title = "Kartenakzeptanz";
  const int32_t width = APainter.Metrics.TextWidth(kArial12Bold, title);
  APainter.Text(10, -3, {10, -3, width, APainter.Metrics.LineHeight(kArial12Bold)}, kArial12Bold,
                kWindowTextColor, title);
}

}  // namespace jw
