#pragma once
// The page frames the navigation bar switches between. Until their content is built these are
// empty frames of the pages' sizes, so that the window's placement and stacking rules already
// work; each class keeps the interface the window relies on.
#include <functional>

#include "viewer/JW2FormTypes.h"
#include "viewer/JWEFrame.h"
#include "viewer/ufraJWBusinessTypes.h"
#include "viewer/ufraJWCardAcceptance.h"
#include "viewer/ufraJWIndustries.h"
#include "viewer/ufraJWOfficeHours.h"
#include "viewer/ufraJWSearchWords.h"

namespace jw {

class TfraJWBranchesV2 : public TJWFrame {
  Q_OBJECT
 public:
  Q_INVOKABLE explicit TfraJWBranchesV2(QWidget* AOwner = nullptr);

  double StartEast = 0;
  double StartNorth = 0;
  TJWGetStartPositionFunc OnGetStartPosition;
  TJWLocateAddressFunc OnLocateAddress;
  std::function<void(const TJWBranchRec&)> OnOpenBranch;
};

}  // namespace jw
