#pragma once
// The extra-information block: free text, or up to seven caption/value lines.
#include "viewer/JWEFrame.h"

namespace jw {

class TfraJWEnhInfo : public TJWFrame {
  Q_OBJECT

 public:
  Q_INVOKABLE explicit TfraJWEnhInfo(QWidget* AOwner = nullptr);

  void UpdateContent() override;

  static constexpr int kLines = 7;
};

}  // namespace jw
