#include "viewer/JWEPageFrames.h"

namespace jw {

TfraJWBranchesV2::TfraJWBranchesV2(QWidget* AOwner) : TJWFrame(AOwner) {
  setObjectName("fraJWBranchesV2");
  resize(456, 215);
}

}  // namespace jw
