#pragma once
// The base of every content area of the viewer window, and the small widget helpers the frames
// share: panels with a caption, plain-text labels, fonts given by pixel height, bitmap conversion.
#include <QColor>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <cstdint>
#include <string>

#include "store/JWBitmap.h"
#include "store/JWEStruct.h"
#include "store/ZDStrUtils.h"

class QListWidget;

namespace jw {

// A borderless child panel that feeds itself from the window's entry record. The record is not
// owned: it is the window's, and outlives every frame.
class TJWFrame : public QFrame {
  Q_OBJECT

 public:
  Q_INVOKABLE explicit TJWFrame(QWidget* AOwner = nullptr);
  ~TJWFrame() override;

  TJW2DataRec* Data() const { return FData; }
  // Points the frame at a record (or none) and refills it.
  virtual void SetData(TJW2DataRec* ARec);
  // Fills the widgets from Data; the base has none.
  virtual void UpdateContent() {}
  // Items or lines the frame shows; -1 when the frame has no such notion.
  virtual int32_t ItemCount() const { return -1; }

  QColor Color() const;
  void SetColor(const QColor& AColor);

  // The page title made by AddTitle, wherever it lives; null when the frame has none.
  QLabel* Title() const { return FTitle; }

 protected:
  // Adds the page title: a bold label at APos in AHeader, a panel at the frame's top. Its top
  // stands above the frame's top edge, where no child of the frame can paint (its first rows, the
  // umlaut and i dots, would be cut), so the label lives in the frame's parent and follows the
  // header's place and visibility; it goes with the frame. A frame without a parent keeps it in
  // the header.
  QLabel* AddTitle(QWidget* AHeader, const std::string& AText, const QPoint& APos);

  bool eventFilter(QObject* AWatched, QEvent* AEvent) override;

  TJW2DataRec* FData = nullptr;

 private:
  void PlaceTitle();

  QPointer<QLabel> FTitle;
  QPointer<QWidget> FTitleHeader;
  QPoint FTitlePos;
};

// A panel that paints an optional left-aligned, vertically centred caption, like a group of
// labelled rows needs. Transparent (it shows its parent's colour) until given a colour of its own.
class TJWPanel : public QFrame {
  Q_OBJECT

 public:
  explicit TJWPanel(QWidget* AParent, const QString& AName);

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& ACaption);
  void SetColor(const QColor& AColor);

 protected:
  void paintEvent(QPaintEvent* AEvent) override;

 private:
  std::string FCaption;
};

// Font of the given family with the character height in pixels (the "height -12" of a layout).
QFont JWFont(const char* AFamily, int APixelHeight, bool ABold = false);

// A plain-text label (no markup, no mnemonics) with the given object name.
QLabel* MakeLabel(QWidget* AParent, const QString& AName, const QFont& AFont);

// Shows a byte text on a label. CR LF, LF CR and lone CRs become single line breaks, so texts
// written for the other platform's line ends do not render stray glyphs.
void SetLabelText(QLabel* ALabel, const std::string& AText);
std::string LabelText(const QLabel* ALabel);

// Pixel width of a text in a font, and a measuring function for ShortenText.
int32_t TextWidth(const QFont& AFont, const std::string& AText);
TMeasureTextFunc MeasureWith(const QFont& AFont);

// A plain child panel named AName, and one that fills AGeometry with AColor.
QWidget* MakePanel(QWidget* AParent, const QString& AName);
QWidget* MakePanel(QWidget* AParent, const QString& AName, const QColor& AColor,
                   const QRect& AGeometry);
// Makes AWidget fill its background with AColor.
void PaintBackground(QWidget* AWidget, const QColor& AColor);

// A copy of a core bitmap as a Qt image (null image for null or empty input).
QImage BitmapToImage(const TJWBitmap* ABitmap);

// Breaks list lines wider than AMaxWidth pixels at blanks; continuation lines start with five
// blanks. A single word wider than the limit stays whole on a line of its own, so breaking always
// ends.
void WrapListItems(TStringList& ALines, const TMeasureTextFunc& AMeasure, int32_t AMaxWidth = 188);
// The same on the items of a list widget, measured with the widget's font.
void WrapListItems(TJWFrame* AFrame, QListWidget* AListBox);

}  // namespace jw
