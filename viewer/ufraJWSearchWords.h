#pragma once
// The search-words page; the window may also place it under a short industries list.
#include "viewer/JWEListFrame.h"

namespace jw {

class TfraJWSearchWords : public TJWListFrame {
  Q_OBJECT

 public:
  Q_INVOKABLE explicit TfraJWSearchWords(QWidget* AOwner = nullptr);

  void UpdateContent() override;
  // Lines shown after breaking.
  int32_t ItemCount() const override { return LineCount(); }
};

}  // namespace jw
