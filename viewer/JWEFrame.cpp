#include "viewer/JWEFrame.h"

#include <QEvent>
#include <QFontMetrics>
#include <QListWidget>
#include <QPainter>

#include "store/JWLimits.h"
#include "viewer/JWCodePage.h"

namespace jw {

TJWFrame::TJWFrame(QWidget* AOwner) : QFrame(AOwner) {
  setFrameShape(QFrame::NoFrame);
  resize(320, 240);
  setAutoFillBackground(true);
}

TJWFrame::~TJWFrame() {
  delete FTitle.data();
}

QLabel* TJWFrame::AddTitle(QWidget* AHeader, const std::string& AText, const QPoint& APos) {
  FTitle = MakeLabel(AHeader, "lblTitle", JWFont("Arial", 12, true));
  SetLabelText(FTitle, AText);
  FTitle->adjustSize();
  FTitleHeader = AHeader;
  FTitlePos = APos;
  for (QWidget* w = AHeader; w; w = w->parentWidget()) {
    w->installEventFilter(this);
    if (w == this) break;
  }
  PlaceTitle();
  return FTitle;
}

bool TJWFrame::eventFilter(QObject* AWatched, QEvent* AEvent) {
  switch (AEvent->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::ParentChange:
      if (FTitle && FTitleHeader) PlaceTitle();
      break;
    default:
      break;
  }
  return QFrame::eventFilter(AWatched, AEvent);
}

void TJWFrame::PlaceTitle() {
  QWidget* host = parentWidget() ? parentWidget() : FTitleHeader.data();
  if (FTitle->parentWidget() != host) FTitle->setParent(host);
  if (host == FTitleHeader) {
    FTitle->move(FTitlePos);
    FTitle->show();
    return;
  }
  FTitle->move(FTitleHeader->mapTo(host, FTitlePos));
  FTitle->setVisible(FTitleHeader->isVisibleTo(host));
  FTitle->raise();
}

void TJWFrame::SetData(TJW2DataRec* ARec) {
  FData = ARec;
  UpdateContent();
}

QColor TJWFrame::Color() const {
  return palette().color(QPalette::Window);
}

void TJWFrame::SetColor(const QColor& AColor) {
  QPalette pal = palette();
  pal.setColor(QPalette::Window, AColor);
  setPalette(pal);
}

TJWPanel::TJWPanel(QWidget* AParent, const QString& AName) : QFrame(AParent) {
  setObjectName(AName);
  setFrameShape(QFrame::NoFrame);
}

void TJWPanel::SetCaption(const std::string& ACaption) {
  FCaption = ACaption;
  update();
}

void TJWPanel::SetColor(const QColor& AColor) {
  QPalette pal = palette();
  pal.setColor(QPalette::Window, AColor);
  setPalette(pal);
  setAutoFillBackground(true);
}

void TJWPanel::paintEvent(QPaintEvent* AEvent) {
  QFrame::paintEvent(AEvent);
  if (FCaption.empty()) return;
  QPainter painter(this);
  painter.setFont(font());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                   ToQString(FCaption));
}

QFont JWFont(const char* AFamily, int APixelHeight, bool ABold) {
  QFont font{QString::fromLatin1(AFamily)};
  font.setPixelSize(APixelHeight);
  font.setBold(ABold);
  // Layout metrics were designed for whole pixels; keep glyph positions on them.
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

QLabel* MakeLabel(QWidget* AParent, const QString& AName, const QFont& AFont) {
  auto* label = new QLabel(AParent);
  label->setObjectName(AName);
  label->setTextFormat(Qt::PlainText);
  label->setFont(AFont);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setMargin(0);
  label->setIndent(0);
  return label;
}

void SetLabelText(QLabel* ALabel, const std::string& AText) {
  QString text = ToQString(AText);
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1String("\n\r"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  ALabel->setText(text);
}

std::string LabelText(const QLabel* ALabel) {
  return FromQString(ALabel->text());
}

int32_t TextWidth(const QFont& AFont, const std::string& AText) {
  return QFontMetrics(AFont).horizontalAdvance(ToQString(AText));
}

TMeasureTextFunc MeasureWith(const QFont& AFont) {
  return [metrics = QFontMetrics(AFont)](const std::string& AText) {
    return int32_t(metrics.horizontalAdvance(ToQString(AText)));
  };
}

QWidget* MakePanel(QWidget* AParent, const QString& AName) {
  auto* panel = new QWidget(AParent);
  panel->setObjectName(AName);
  return panel;
}

QWidget* MakePanel(QWidget* AParent, const QString& AName, const QColor& AColor,
                   const QRect& AGeometry) {
  QWidget* panel = MakePanel(AParent, AName);
  PaintBackground(panel, AColor);
  panel->setGeometry(AGeometry);
  return panel;
}

void PaintBackground(QWidget* AWidget, const QColor& AColor) {
  QPalette pal = AWidget->palette();
  pal.setColor(QPalette::Window, AColor);
  AWidget->setPalette(pal);
  AWidget->setAutoFillBackground(true);
}

QImage BitmapToImage(const TJWBitmap* ABitmap) {
  if (!ABitmap || ABitmap->Empty() ||
      ABitmap->Pixels.size() < size_t(ABitmap->Width) * size_t(ABitmap->Height))
    return QImage();
  QImage image(ABitmap->Width, ABitmap->Height, QImage::Format_ARGB32);
  for (int32_t y = 0; y < ABitmap->Height; ++y)
    std::copy_n(ABitmap->Pixels.data() + size_t(y) * size_t(ABitmap->Width), ABitmap->Width,
                reinterpret_cast<uint32_t*>(image.scanLine(y)));
  return image;
}

void WrapListItems(TStringList& ALines, const TMeasureTextFunc& AMeasure, int32_t AMaxWidth) {
  // Each line is broken on its own into a new list, word by word without copying what is left of
  // it, so the work stays linear in the lines made. A line longer than any list shows is cut
  // first: every part broken off it is measured again with all that follows.
  TStringList out;
  out.reserve(ALines.size());
  for (std::string& item : ALines) {
    std::string line = std::move(item);
    if (line.size() > limits::MaxListLineShown) line.resize(limits::MaxListLineShown);
    while (AMeasure(line) > AMaxWidth) {
      std::string head, previous, word;
      size_t pos = 0;  // what is left of the line starts here
      do {
        previous = head;
        const size_t blank = line.find(' ', pos);
        word = Trim(line.substr(pos, blank == std::string::npos ? std::string::npos : blank - pos));
        pos = blank == std::string::npos ? line.size() : blank + 1;
        head = Trim(head + " " + word);
      } while (pos < line.size() && AMeasure(head) < AMaxWidth);
      const std::string rest = line.substr(pos);

      if (previous.empty()) {
        // The first word alone reaches the limit: it keeps a line of its own.
        const std::string tail = Trim(rest);
        if (tail.empty()) break;
        out.push_back(word);
        line = "     " + tail;
        continue;
      }
      // What came before the last word fits; the rest goes on in an indented line.
      out.push_back(previous);
      line = "     " + Trim(word + " " + rest);
    }
    out.push_back(std::move(line));
  }
  ALines = std::move(out);
}

void WrapListItems(TJWFrame* /*AFrame*/, QListWidget* AListBox) {
  if (!AListBox) return;
  TStringList lines;
  for (int i = 0; i < AListBox->count(); ++i)
    lines.push_back(FromQString(AListBox->item(i)->text()));
  WrapListItems(lines, MeasureWith(AListBox->font()));
  AListBox->clear();
  for (const std::string& line : lines) AListBox->addItem(ToQString(line));
}

}  // namespace jw
