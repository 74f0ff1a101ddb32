#pragma once
// The firm's name (one or two lines) and its slogan at the top of the window.
#include "viewer/JWEFrame.h"

namespace jw {

class TfraJWHeadline : public TJWFrame {
  Q_OBJECT

 public:
  Q_INVOKABLE explicit TfraJWHeadline(QWidget* AOwner = nullptr);

  void UpdateContent() override;

  // The name as the headline shows it: the entry's name pattern, or the main name parts joined
  // by single blanks when the entry has no pattern.
  static std::string HeadlineName(const TJW2DataRec& ARec);

 private:
  QLabel* lblFirma;
  QLabel* lblFirma2;
  QLabel* lblSlogan;
};

}  // namespace jw
