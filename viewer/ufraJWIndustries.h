#pragma once
// The industries page: the entry's industries, long names broken over several lines.
#include "viewer/JWEListFrame.h"

namespace jw {

class TfraJWIndustries : public TJWListFrame {
  Q_OBJECT

 public:
  Q_INVOKABLE explicit TfraJWIndustries(QWidget* AOwner = nullptr);

  void UpdateContent() override;
  // Lines shown after breaking; before the list is filled, the number of industries.
  int32_t ItemCount() const override;
};

}  // namespace jw
