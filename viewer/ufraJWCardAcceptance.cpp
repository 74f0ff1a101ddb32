#include "viewer/ufraJWCardAcceptance.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>

#include "viewer/JWCodePage.h"

namespace jw {

namespace {

const QColor kBarColor{0x19, 0x40, 0x94};
constexpr int kPictureBoxWidth = 36;
constexpr int kRightMargin = 16;

struct TCardRow {
  const char* Panel;
  const char* Caption;
  QSize PictureSize;
};

const TCardRow kRows[TfraJWCardAcceptance::kCards] = {
    {"pnlKAVisa", "Visa", {27, 18}},
    {"pnlKAAmex", "Amex", {27, 26}},
    {"pnlKAEurocard", "Eurocard", {29, 23}},
    {"pnlKADiners", "Diners Club", {31, 18}},
    {"pnlKAEC", "EC", {22, 25}},
};

uint8_t CardFlag(const TJW2DataRec& ARec, int ACard) {
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

// Our own plain card: a rounded body in the card's colour, a small chip and a short word. The
// pictures only need to tell the rows apart at a glance.
struct TCardLook {
  QColor Body;
  const char* Word;
};

const TCardLook kLooks[TfraJWCardAcceptance::kCards] = {
    {QColor(0x23, 0x3C, 0x8C), "V"},  {QColor(0x1F, 0x8A, 0x8A), "AX"},
    {QColor(0x8C, 0x23, 0x3C), "EU"}, {QColor(0x55, 0x5F, 0x6E), "DC"},
    {QColor(0x2E, 0x7D, 0x32), "EC"},
};

}  // namespace

QPixmap TfraJWCardAcceptance::CardPicture(int ACard) {
  const QSize size = kRows[ACard].PictureSize;
  const TCardLook& look = kLooks[ACard];
  QPixmap picture(size);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath body;
  body.addRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), 2.5, 2.5);
  p.fillPath(body, look.Body);
  p.setPen(QPen(look.Body.darker(160), 1));
  p.drawPath(body);
  // The chip, upper left.
  const QRectF chip(3, 3, 6, 4.5);
  p.fillRect(chip, QColor(0xE8, 0xC8, 0x60));
  QFont font = JWFont("Arial", 8, true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(1, chip.bottom(), size.width() - 2, size.height() - chip.bottom() - 1),
             Qt::AlignCenter, QString::fromLatin1(look.Word));
  return picture;
}

TfraJWCardAcceptance::TfraJWCardAcceptance(QWidget* AOwner) : TJWFrame(AOwner) {
  setObjectName("fraJWCardAcceptance");
  setMaximumWidth(kWidth);
  resize(kWidth, 161);
  const QFont font = JWFont("Arial", 12);
  setFont(font);

  auto* outer = new QWidget(this);
  outer->setObjectName("pnlVPKartenakzeptanz");
  outer->setGeometry(0, 0, kWidth, 161);
  auto* bar = new QWidget(outer);
  bar->setObjectName("pnlBar");
  bar->setAutoFillBackground(true);
  QPalette barPalette = bar->palette();
  barPalette.setColor(QPalette::Window, kBarColor);
  bar->setPalette(barPalette);
  auto* inner = new QWidget(outer);
  inner->setObjectName("pnlInner");

  auto* header = new QWidget(inner);
  header->setObjectName("pnlKartenakzeptanz");
  AddTitle(header, "Kartenakzeptanz", QPoint(9, -3));

  for (int k = 0; k < kCards; ++k) {
    auto* row = new QWidget(inner);
    row->setObjectName(kRows[k].Panel);
    QLabel* caption = MakeLabel(row, "lblCaption", font);
    SetLabelText(caption, kRows[k].Caption);
    caption->adjustSize();
    caption->move(9, 5);
    auto* picture = new QLabel(row);
    picture->setObjectName("imgCard");
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(CardPicture(k));
  }
  LayoutPanel();
}

void TfraJWCardAcceptance::UpdateContent() {
  if (!FData) return;
  int shown = 0;
  for (int k = 0; k < kCards; ++k) {
    // Any non-zero flag byte counts once, so an odd flag value cannot stretch the panel.
    const bool accepted = CardFlag(*FData, k) != 0;
    findChild<QWidget*>(kRows[k].Panel)->setVisible(accepted);
    shown += accepted ? 1 : 0;
  }
  // One row height more than the rows: the title takes part of it.
  auto* outer = findChild<QWidget*>("pnlVPKartenakzeptanz");
  outer->resize(kWidth, kRowHeight * (shown + 1));
  resize(kWidth, outer->height());
  LayoutPanel();
}

void TfraJWCardAcceptance::resizeEvent(QResizeEvent* AEvent) {
  TJWFrame::resizeEvent(AEvent);
  LayoutPanel();
}

// Docks the rows under the title in table order; hidden rows close up.
void TfraJWCardAcceptance::LayoutPanel() {
  auto* outer = findChild<QWidget*>("pnlVPKartenakzeptanz");
  if (!outer) return;
  const int h = outer->height();
  findChild<QWidget*>("pnlBar")->setGeometry(0, 0, 1, h);
  auto* inner = findChild<QWidget*>("pnlInner");
  inner->setGeometry(1, 0, outer->width() - 1, h);
  const int w = inner->width();
  findChild<QWidget*>("pnlKartenakzeptanz")->setGeometry(0, 0, w, kHeaderHeight);
  int top = kHeaderHeight;
  for (const TCardRow& def : kRows) {
    auto* row = inner->findChild<QWidget*>(def.Panel);
    row->setGeometry(0, top, w, kRowHeight);
    row->findChild<QLabel*>("imgCard")->setGeometry(w - kRightMargin - kPictureBoxWidth, 0,
                                                    kPictureBoxWidth, kRowHeight);
    if (!row->isHidden()) top += kRowHeight;
  }
}

}  // namespace jw
