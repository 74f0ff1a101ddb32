#include "viewer/ufraJWSearchWords.h"

namespace jw {

TfraJWSearchWords::TfraJWSearchWords(QWidget* AOwner)
    : TJWListFrame(AOwner, "fraJWSearchWords", "pnlVPSuchworte", "pnlSuchworte", "lsbVPSuchworte",
                   "Suchworte", false) {}

void TfraJWSearchWords::UpdateContent() {
  if (!FData) {
    ListBox()->clear();
    return;
  }
  // The record always carries the list; an empty one leaves the title with no lines under it.
  SetLines(FData->Searchwords);
  WrapLines();
  FitToLines();
}

}  // namespace jw
