#pragma once
// The picture buttons of the branch pages: a 17 x 19 bitmap from the library's resources that
// reacts to clicks and to the mouse moving over it.
#include <QLabel>
#include <QPixmap>
#include <functional>

namespace jw {

// One of the branch pages' button bitmaps by name ("SEARCHOUT", "BACKOVER", ...); a null pixmap
// for an unknown name.
QPixmap BranchBitmap(const char* AName);

class TJWImageButton : public QLabel {
  Q_OBJECT

 public:
  TJWImageButton(QWidget* AParent, const QString& AName);

  // Shows the named bitmap; the name stays readable so that tests and hover logic can tell the
  // state without comparing pixels.
  void SetPicture(const char* ABitmapName);
  const QString& PictureName() const { return FPictureName; }

  std::function<void()> OnClick;
  std::function<void()> OnMouseMove;

 protected:
  void mouseReleaseEvent(QMouseEvent* AEvent) override;
  void mouseMoveEvent(QMouseEvent* AEvent) override;
  void enterEvent(QEnterEvent* AEvent) override;

 private:
  QString FPictureName;
};

// Calls AHandler whenever the mouse moves over (or enters) AWidget; the pages use it to put their
// buttons back to rest when the mouse leaves them for the background.
void OnMouseOver(QWidget* AWidget, std::function<void()> AHandler);

}  // namespace jw
