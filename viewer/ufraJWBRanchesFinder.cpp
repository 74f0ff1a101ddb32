#include "viewer/ufraJWBRanchesFinder.h"

#include <QLineEdit>

#include "viewer/JWCodePage.h"

namespace jw {

TfraJWBranchesFinder::TfraJWBranchesFinder(QWidget* AOwner)
    : TJWBranchChildFrame(AOwner, "fraJWBranchesFinder", "Der Filialfinder:", 4) {
  AddLabel("Label2", "Nach Eingabe Ihrer Startposition ermittelt der Filialfinder die", 11, 40,
           true);
  AddLabel("Label3",
           "n\xE4"
           "chste Filiale in Ihrer N\xE4"
           "he:",
           11, 56, true);
  AddLabel("Label4",
           "Stra\xDF"
           "e/Hausnr.:",
           99, 88, false, true);
  AddLabel("Label5", "PLZ:", 99, 112, false, true);
  AddLabel("Label6", "Ort:", 99, 136, false, true);
  edtStrasse = AddEdit("edtStrasse", 191, 84, 121);
  edtPLZ = AddEdit("edtPLZ", 191, 108, 69);
  edtOrt = AddEdit("edtOrt", 191, 132, 121);
  for (QLineEdit* edit : {edtStrasse, edtPLZ, edtOrt}) {
    edit->setText(QStringLiteral("N/A"));
    edit->setEnabled(false);
  }
}

}  // namespace jw
