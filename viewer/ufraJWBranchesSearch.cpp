#include "viewer/ufraJWBranchesSearch.h"

#include <QLineEdit>
#include <QRadioButton>

#include "store/ZDStrUtils.h"
#include "viewer/JWBranchButtons.h"
#include "viewer/JWCodePage.h"

namespace jw {

namespace {

const QColor kPageColor{0xFF, 0xF6, 0xED};
const QColor kLineColor{0xB6, 0xBF, 0xE0};
constexpr int kHeaderHeight = 28;

std::string EditText(const QLineEdit* AEdit) {
  return Trim(FromQString(AEdit->text()));
}

}  // namespace

TJWBranchChildFrame::TJWBranchChildFrame(QWidget* AOwner, const char* AObjectName,
                                         const char* ACaption, int ABackTop)
    : TJWFrame(AOwner) {
  setObjectName(QLatin1String(AObjectName));
  resize(kWidth, kHeight);
  setFixedWidth(kWidth);
  SetColor(kPageColor);
  hide();

  FBackground = MakePanel(this, "pnlVPUntereintraege", kPageColor, rect());
  OnMouseOver(FBackground, [this] { ResetButtons(); });
  QWidget* header =
      MakePanel(FBackground, "Panel1", kLineColor, QRect(0, 0, kWidth, kHeaderHeight));
  QLabel* caption = MakeLabel(header, "Label1", JWFont("MS Sans Serif", 11, true));
  caption->setText(ToQString(ACaption));
  caption->move(10, 8);
  caption->adjustSize();
  OnMouseOver(header, [this] { ResetButtons(); });
  OnMouseOver(caption, [this] { ResetButtons(); });
  MakePanel(FBackground, "Panel2", kLineColor, QRect(0, kHeaderHeight, 1, kHeight));
  MakePanel(FBackground, "Panel3", kLineColor, QRect(kWidth - 1, kHeaderHeight, 1, kHeight));
  MakePanel(FBackground, "Panel4", kLineColor, QRect(0, kHeight - 1, kWidth, 1));

  FimgBack = new TJWImageButton(header, QStringLiteral("imgBack"));
  FimgBack->move(303, ABackTop);
  FimgBack->SetPicture("BACKOUT");
  FimgBack->OnClick = [this] { imgBackClick(); };
  FimgBack->OnMouseMove = [this] { FimgBack->SetPicture("BACKOVER"); };

  FimgSearch = new TJWImageButton(FBackground, QStringLiteral("imgSearch"));
  FimgSearch->move(331, 133);
  FimgSearch->SetPicture("SEARCHSTARTOUT");
  FimgSearch->OnMouseMove = [this] { FimgSearch->SetPicture("SEARCHSTARTOVER"); };
}

QLabel* TJWBranchChildFrame::AddLabel(const char* AName, const char* AText, int ALeft, int ATop,
                                      bool ABold, bool ARightAligned) {
  QLabel* label = MakeLabel(FBackground, QLatin1String(AName), JWFont("MS Sans Serif", 11, ABold));
  label->setText(ToQString(AText));
  label->adjustSize();
  if (ARightAligned) {
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->setGeometry(ALeft, ATop, 88, label->height());
  } else {
    label->move(ALeft, ATop);
  }
  OnMouseOver(label, [this] { ResetButtons(); });
  return label;
}

QLineEdit* TJWBranchChildFrame::AddEdit(const char* AName, int ALeft, int ATop, int AWidth) {
  auto* edit = new QLineEdit(FBackground);
  edit->setObjectName(QLatin1String(AName));
  edit->setFont(JWFont("MS Sans Serif", 11));
  edit->setGeometry(ALeft, ATop, AWidth, 21);
  OnMouseOver(edit, [this] { ResetButtons(); });
  return edit;
}

void TJWBranchChildFrame::imgBackClick() {
  if (OnClose) OnClose(this);
}

void TJWBranchChildFrame::ResetButtons() {
  FimgBack->SetPicture("BACKOUT");
  FimgSearch->SetPicture("SEARCHSTARTOUT");
}

TfraJWBranchesSearch::TfraJWBranchesSearch(QWidget* AOwner)
    : TJWBranchChildFrame(AOwner, "fraJWBranchesSearch", "Filialsuche:", 5) {
  AddLabel("Label3", "Filialen durchsuchen nach:", 11, 56, true);
  QLabel* streetLabel = AddLabel("Label4",
                                 "Stra\xDF"
                                 "e:",
                                 99, 88, false, true);
  edtStrasse = AddEdit("edtStrasse", 191, 84, 121);
  // The street criterion is kept but not offered: postcode and town narrow the list well enough.
  streetLabel->hide();
  edtStrasse->hide();
  AddLabel("Label5", "PLZ:", 99, 112, false, true);
  edtPLZ = AddEdit("edtPLZ", 191, 108, 69);
  AddLabel("Label6", "Ort:", 99, 136, false, true);
  edtOrt = AddEdit("edtOrt", 191, 132, 121);

  rbtExakt = new QRadioButton(ToQString("Exakte suche"), Background());
  rbtExakt->setObjectName(QStringLiteral("rbtExakt"));
  rbtExakt->setGeometry(192, 156, 113, 17);
  rbtExakt->setChecked(true);
  rbtEntfernung = new QRadioButton(ToQString("N\xE4"
                                             "chste finden"),
                                   Background());
  rbtEntfernung->setObjectName(QStringLiteral("rbtEntfernung"));
  rbtEntfernung->setGeometry(192, 172, 113, 17);
  for (QRadioButton* button : {rbtExakt, rbtEntfernung}) {
    button->setFont(JWFont("MS Sans Serif", 11));
    button->setCursor(Qt::PointingHandCursor);
  }

  imgSearch()->OnClick = [this] { btnSearchClick(); };
}

bool TfraJWBranchesSearch::Search() {
  const std::string street = AnsiUpperCase(EditText(edtStrasse));
  const std::string zip = EditText(edtPLZ);
  const std::string town = AnsiUpperCase(EditText(edtOrt));

  if (rbtEntfernung->isChecked()) {
    if (!OnLocateAddress) {
      // Without a host to locate addresses there is nothing to measure from: the page shows all
      // branches in the order chosen before.
      ResultList.reset();
      return true;
    }
    if (!OnLocateAddress(street, zip, town, FoundEast, FoundNorth)) return false;
    OrderIndex = boDistance;
    for (TJWBranchRec& branch : *OrgBranches) ResultList->push_back(&branch);
    return true;
  }

  for (TJWBranchRec& branch : *OrgBranches) {
    if (StartsWithUpperCased(branch.Street, street) && StartsWithUpperCased(branch.City, town) &&
        StartsWithUpperCased(branch.Zip, zip))
      ResultList->push_back(&branch);
  }
  return true;
}

void TfraJWBranchesSearch::btnSearchClick() {
  if (ResultList)
    ResultList->clear();
  else
    ResultList = std::make_unique<TJWBranchList>();
  if (!OrgBranches) return;

  bool closeWhenDone = true;
  try {
    closeWhenDone = Search();
  } catch (...) {
    // A failing host routine or a bad record leaves no result: the page then shows all branches.
    ResultList.reset();
  }
  if (closeWhenDone && OnClose) OnClose(this);
}

}  // namespace jw
