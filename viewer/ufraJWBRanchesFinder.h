#pragma once
// The branch finder: a frame of the search's size that explains the finder and shows its address
// fields disabled. It produces no result; Back returns to the full list.
#include "viewer/ufraJWBranchesSearch.h"

namespace jw {

class TfraJWBranchesFinder : public TJWBranchChildFrame {
  Q_OBJECT

 public:
  Q_INVOKABLE explicit TfraJWBranchesFinder(QWidget* AOwner = nullptr);

  QLineEdit* edtStrasse;
  QLineEdit* edtPLZ;
  QLineEdit* edtOrt;
};

}  // namespace jw
