#pragma once
// The business-types page: the entry's comma-separated business types, one per line.
#include <string>

#include "viewer/JWEListFrame.h"

namespace jw {

// Splits a comma text: items end at a comma or at a blank (any code 1..32) unless they are
// enclosed in double quotes, where a doubled quote stands for one. Empty items are kept.
TStringList SplitCommaText(const std::string& AText);

class TfraJWBusinessTypes : public TJWListFrame {
  Q_OBJECT

 public:
  Q_INVOKABLE explicit TfraJWBusinessTypes(QWidget* AOwner = nullptr);

  void UpdateContent() override;
};

}  // namespace jw
