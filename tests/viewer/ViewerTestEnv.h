#pragma once
// Helpers of the viewer tests: finding child widgets, bitmaps and windows built for a test, and
// the message a failure carries.
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "ErrorOf.h"
#include "store/JWEStruct.h"
#include "store/JWError.h"
#include "viewer/JW2Form.h"
#include "viewer/JWCodePage.h"

namespace jwtest {

// Visible text of a label as the library's bytes.
inline std::string Text(const QWidget* AParent, const char* AName) {
  const auto* label = AParent->findChild<QLabel*>(AName);
  return label ? jw::FromQString(label->text()) : std::string("<missing ") + AName + ">";
}

template <class T = QWidget>
T* Child(const QWidget* AParent, const char* AName) {
  return AParent->findChild<T*>(AName);
}

// A left click, pressed and released, and a mouse move without buttons, near AWidget's top left.
inline void Click(QWidget* AWidget) {
  const QPointF at(3, 3);
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, at, AWidget->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(AWidget, &event);
  }
}
inline void MoveMouseOver(QWidget* AWidget) {
  const QPointF at(2, 2);
  QMouseEvent move(QEvent::MouseMove, at, AWidget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QCoreApplication::sendEvent(AWidget, &move);
}

// A solid bitmap of the given size.
inline std::unique_ptr<jw::TJWBitmap> Solid(int AWidth, int AHeight, uint32_t AColor) {
  auto bmp = std::make_unique<jw::TJWBitmap>();
  bmp->Width = AWidth;
  bmp->Height = AHeight;
  bmp->Pixels.assign(size_t(AWidth) * size_t(AHeight), AColor);
  return bmp;
}

// A hidden window on the data directory APath that keeps itself alive when closed, loaded with
// entry AId.
inline std::unique_ptr<jw::TfrmJW> OpenForm(const std::string& APath, uint32_t AId) {
  auto form = std::make_unique<jw::TfrmJW>();
  form->SetFreeOnClose(false);
  form->SetDataPath(APath);
  form->OpenEntry(int32_t(AId));
  return form;
}

}  // namespace jwtest
