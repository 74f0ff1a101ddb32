#pragma once
// The entry's logo, cut to the frame's 133 x 57 pixels.
#include "viewer/JWEFrame.h"

namespace jw {

class TfraJWLogo : public TJWFrame {
  Q_OBJECT

 public:
  Q_INVOKABLE explicit TfraJWLogo(QWidget* AOwner = nullptr);

  // Takes a copy of the record's logo (none when the entry has no logo).
  void SetData(TJW2DataRec* ARec) override;

 private:
  QLabel* imgLogo;
};

}  // namespace jw
