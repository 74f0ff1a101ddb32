#pragma once
// Helpers of the viewer tests: a Qt application for the whole run, and entry records built in
// memory.
#include <QLabel>
#include <QWidget>
#include <memory>
#include <string>

#include "store/JWEStruct.h"
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

// A solid bitmap of the given size.
inline std::unique_ptr<jw::TJWBitmap> Solid(int AWidth, int AHeight, uint32_t AColor) {
  auto bmp = std::make_unique<jw::TJWBitmap>();
  bmp->Width = AWidth;
  bmp->Height = AHeight;
  bmp->Pixels.assign(size_t(AWidth) * size_t(AHeight), AColor);
  return bmp;
}

}  // namespace jwtest
