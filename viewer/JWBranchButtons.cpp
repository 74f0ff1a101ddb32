#include "viewer/JWBranchButtons.h"

#include <QEvent>
#include <QMouseEvent>

// Resources compiled into a static library are only linked in when something refers to them.
static void InitBranchResources() {
  Q_INIT_RESOURCE(branches);
}

namespace jw {

QPixmap BranchBitmap(const char* AName) {
  static const bool ready = (InitBranchResources(), true);
  (void)ready;
  return QPixmap(QStringLiteral(":/branches/") + QLatin1String(AName) + QStringLiteral(".bmp"));
}

TJWImageButton::TJWImageButton(QWidget* AParent, const QString& AName) : QLabel(AParent) {
  setObjectName(AName);
  setMouseTracking(true);
  setCursor(Qt::PointingHandCursor);
  resize(17, 19);
}

void TJWImageButton::SetPicture(const char* ABitmapName) {
  const QString name = QLatin1String(ABitmapName);
  if (name == FPictureName) return;
  FPictureName = name;
  setPixmap(BranchBitmap(ABitmapName));
}

void TJWImageButton::mouseReleaseEvent(QMouseEvent* AEvent) {
  QLabel::mouseReleaseEvent(AEvent);
  if (AEvent->button() == Qt::LeftButton && rect().contains(AEvent->position().toPoint()) &&
      OnClick)
    OnClick();
}

void TJWImageButton::mouseMoveEvent(QMouseEvent* AEvent) {
  // Taken here: passed on to the panel beneath, the move would put the button back to rest.
  AEvent->accept();
  if (OnMouseMove) OnMouseMove();
}

void TJWImageButton::enterEvent(QEnterEvent* AEvent) {
  QLabel::enterEvent(AEvent);
  if (OnMouseMove) OnMouseMove();
}

namespace {

class TMouseOverFilter : public QObject {
 public:
  TMouseOverFilter(QObject* AParent, std::function<void()> AHandler)
      : QObject(AParent), FHandler(std::move(AHandler)) {}

 protected:
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override {
    if (AEvent->type() == QEvent::MouseMove || AEvent->type() == QEvent::Enter) FHandler();
    return QObject::eventFilter(AWatched, AEvent);
  }

 private:
  std::function<void()> FHandler;
};

}  // namespace

void OnMouseOver(QWidget* AWidget, std::function<void()> AHandler) {
  AWidget->setMouseTracking(true);
  AWidget->installEventFilter(new TMouseOverFilter(AWidget, std::move(AHandler)));
}

}  // namespace jw
