#include "viewer/ufraJWIndustries.h"

namespace jw {

TfraJWIndustries::TfraJWIndustries(QWidget* AOwner)
    : TJWListFrame(AOwner, "fraJWIndustries", "pnlVPBranchen", "pnlBranchen", "lsbVPBranchen",
                   "Branchen", false) {}

void TfraJWIndustries::UpdateContent() {
  if (!FData || FData->Industries.empty()) {
    ListBox()->clear();
    return;
  }
  SetLines(FData->Industries);
  WrapLines();
  FitToLines();
}

int32_t TfraJWIndustries::ItemCount() const {
  if (LineCount() > 0) return LineCount();
  return FData ? int32_t(FData->Industries.size()) : 0;
}

}  // namespace jw
