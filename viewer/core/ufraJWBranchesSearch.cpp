#include "viewer/core/ufraJWBranchesSearch.h"

#include "store/ZDStrUtils.h"
#include "viewer/core/JW2Form.h"
#include "viewer/core/ufraJWBranchesV2.h"

namespace jw {

TJWBranchChildFrame::TJWBranchChildFrame(TfrmJW& AForm, std::string ACaption, int32_t ABackTop)
    : TJWFrame(AForm),
      imgBack{{303, ABackTop, 17, 19}, "BACKOUT", "BACKOVER"},
      FCaption(std::move(ACaption)) {
  Bounds.Width = kWidth;
  Bounds.Height = kHeight;
  Visible = false;
}

TJWBranchChildFrame::TLabel& TJWBranchChildFrame::AddLabel(const char* AText, int32_t ALeft,
                                                           int32_t ATop, bool ABold,
                                                           bool ARightAligned) {
  const TJWFont& font = ABold ? kSansSerif11Bold : kSansSerif11;
  TJWRect rect{ALeft, ATop, Metrics().TextWidth(font, AText), Metrics().LineHeight(font)};
  if (ARightAligned) rect.Width = 88;
  FLabels.push_back({rect, AText, ABold, ARightAligned, true});
  return FLabels.back();
}

TJWBranchChildFrame::TEdit& TJWBranchChildFrame::AddEdit(int32_t ALeft, int32_t ATop,
                                                         int32_t AWidth) {
  FEdits.push_back(std::make_unique<TEdit>());
  TEdit& edit = *FEdits.back();
  edit.Id = NewControlId();
  edit.Rect = {ALeft, ATop, AWidth, 21};
  return edit;
}

void TJWBranchChildFrame::imgBackClick() {
  if (OnClose) OnClose(this);
}

void TJWBranchChildFrame::ResetButtons() {
  if (imgBack.Hover || imgSearch.Hover) Invalidate();
  imgBack.Hover = imgSearch.Hover = false;
}

void TJWBranchChildFrame::Paint(TJWPainter& APainter) {
  PaintBranchPageFrame(APainter, FCaption);
  for (const TLabel& label : FLabels) {
    if (!label.Visible) continue;
    APainter.TextInBox(label.Rect, label.Bold ? kSansSerif11Bold : kSansSerif11, kWindowTextColor,
                       label.Text, label.RightAligned ? TJWPainter::alRight : TJWPainter::alLeft);
  }
  for (const auto& edit : FEdits) {
    if (!edit->Visible) continue;
    TJWControlSlot slot;
    slot.Id = edit->Id;
    slot.Kind = TJWControlKind::ckEdit;
    slot.Rect = edit->Rect;
    slot.Font = kSansSerif11;
    slot.Enabled = edit->Enabled;
    slot.Text = edit->Text;
    APainter.Control(std::move(slot));
  }
  PaintControls(APainter);
  for (const TJWImageButton* button : {&imgBack, &imgSearch})
    APainter.Picture(button->Rect.Left, button->Rect.Top, BranchBitmap(button->PictureName()));
}

bool TJWBranchChildFrame::Click(int32_t AX, int32_t AY) {
  if (imgBack.Contains(AX, AY)) {
    imgBackClick();
  } else if (imgSearch.Contains(AX, AY) && dynamic_cast<TfraJWBranchesSearch*>(this)) {
    static_cast<TfraJWBranchesSearch*>(this)->btnSearchClick();
  }
  return true;
}

void TJWBranchChildFrame::MouseMove(int32_t AX, int32_t AY) {
  const bool changed = imgBack.Track(AX, AY);
  if (imgSearch.Track(AX, AY) || changed) Invalidate();
}

TJWCursor TJWBranchChildFrame::CursorAt(int32_t AX, int32_t AY) const {
  return imgBack.Contains(AX, AY) || imgSearch.Contains(AX, AY) ? TJWCursor::crHand
                                                                : TJWCursor::crArrow;
}

bool TJWBranchChildFrame::ControlEvent(const TJWControlEvent& AEvent) {
  for (const auto& edit : FEdits)
    if (edit->Id == AEvent.ControlId) {
      if (AEvent.Kind == TJWControlEventKind::ceEditChange) edit->Text = AEvent.Text;
      return true;
    }
  return false;
}

TfraJWBranchesSearch::TfraJWBranchesSearch(TfrmJW& AForm)
    : TJWBranchChildFrame(AForm, "Filialsuche:", 5),
      edtStrasse(AddEdit(191, 84, 121)),
      edtPLZ(AddEdit(191, 108, 69)),
      edtOrt(AddEdit(191, 132, 121)),
      ExactId(NewControlId()),
      NearestId(NewControlId()) {
  AddLabel("Filialen durchsuchen nach:", 11, 56, true);
  // The street criterion is kept but not offered: postcode and town narrow the list well enough.
  AddLabel(
      "Stra\xDF"
      "e:",
      99, 88, false, true)
      .Visible = false;
  edtStrasse.Visible = false;
  AddLabel("PLZ:", 99, 112, false, true);
  AddLabel("Ort:", 99, 136, false, true);
}

void TfraJWBranchesSearch::PaintControls(TJWPainter& APainter) {
  const std::pair<int32_t, const char*> radios[] = {{ExactId, "Exakte suche"},
                                                    {NearestId,
                                                     "N\xE4"
                                                     "chste finden"}};
  int32_t top = 156;
  for (const auto& [id, caption] : radios) {
    TJWControlSlot slot;
    slot.Id = id;
    slot.Kind = TJWControlKind::ckRadio;
    slot.Rect = {192, top, 113, 17};
    slot.Font = kSansSerif11;
    slot.Color = TfraJWBranchesV2::kEvenColor;
    slot.Text = caption;
    slot.Checked = (id == NearestId) == Nearest;
    APainter.Control(std::move(slot));
    top += 16;
  }
}

bool TfraJWBranchesSearch::ControlEvent(const TJWControlEvent& AEvent) {
  if (AEvent.ControlId == ExactId || AEvent.ControlId == NearestId) {
    if (AEvent.Kind == TJWControlEventKind::ceRadioCheck) Nearest = AEvent.ControlId == NearestId;
    return true;
  }
  if (AEvent.Kind == TJWControlEventKind::ceEditEnter &&
      (AEvent.ControlId == edtPLZ.Id || AEvent.ControlId == edtOrt.Id)) {
    btnSearchClick();
    return true;
  }
  return TJWBranchChildFrame::ControlEvent(AEvent);
}

bool TfraJWBranchesSearch::Search() {
  const std::string street = AnsiUpperCase(Trim(edtStrasse.Text));
  const std::string zip = Trim(edtPLZ.Text);
  const std::string town = AnsiUpperCase(Trim(edtOrt.Text));

  if (Nearest) {
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

TfraJWBranchesFinder::TfraJWBranchesFinder(TfrmJW& AForm)
    : TJWBranchChildFrame(AForm, "Der Filialfinder:", 4) {
  AddLabel("Nach Eingabe Ihrer Startposition ermittelt der Filialfinder die", 11, 40, true);
  AddLabel(
      "n\xE4"
      "chste Filiale in Ihrer N\xE4"
      "he:",
      11, 56, true);
  AddLabel(
      "Stra\xDF"
      "e/Hausnr.:",
      99, 88, false, true);
  AddLabel("PLZ:", 99, 112, false, true);
  AddLabel("Ort:", 99, 136, false, true);
  for (int32_t top : {84, 108, 132}) {
    TEdit& edit = AddEdit(191, top, top == 108 ? 69 : 121);
    edit.Text = "N/A";
    edit.Enabled = false;
  }
}

}  // namespace jw
