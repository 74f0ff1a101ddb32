#include "viewer/core/ufraJWBranchesV2.h"

#include <algorithm>

#include "viewer/core/JW2Form.h"
#include "viewer/core/JWViewerText.h"
#include "viewer/core/ufraJWBranchesSearch.h"

namespace jw {

void PaintBranchPageFrame(TJWPainter& APainter, const std::string& ACaption) {
  constexpr int32_t w = TfraJWBranchesV2::kWidth, h = TfraJWBranchesV2::kHeight;
  constexpr int32_t header = TfraJWBranchesV2::kHeaderHeight;
  constexpr TJWColor line = TfraJWBranchesV2::kHeaderColor;
  APainter.Fill({0, 0, w, h}, TfraJWBranchesV2::kEvenColor);
  APainter.Fill({0, 0, w, header}, line);
  APainter.Text(10, 8,
                {10, 8, APainter.Metrics.TextWidth(kSansSerif11Bold, ACaption),
                 APainter.Metrics.LineHeight(kSansSerif11Bold)},
                kSansSerif11Bold, kWindowTextColor, ACaption);
  APainter.Fill({0, header, 1, h}, line);
  APainter.Fill({w - 1, header, 1, h}, line);
  APainter.Fill({0, h - 1, w, 1}, line);
}

namespace {

void PaintButton(TJWPainter& APainter, const TJWImageButton& AButton) {
  if (AButton.Visible)
    APainter.Picture(AButton.Rect.Left, AButton.Rect.Top, BranchBitmap(AButton.PictureName()));
}

}  // namespace

TJWBranchRowTexts BranchRowTexts(const TJWBranchRec& ABranch) {
  return {(ABranch.Zip + " " + ABranch.City).substr(0, 106), ABranch.Street,
          ReplaceBR(ABranch.Firm, " "), ABranch.Phone};
}

TfraJWBranchesV2::TfraJWBranchesV2(TfrmJW& AForm)
    : TJWFrame(AForm), FListId(NewControlId()), FOrderBoxId(NewControlId()) {
  Bounds.Width = kWidth;
  Bounds.Height = kHeight;
  TJWESortBranches::Randomize();
}

TfraJWBranchesV2::~TfraJWBranchesV2() = default;

void TfraJWBranchesV2::SetData(TJW2DataRec* ARec) {
  TJWFrame::SetData(ARec);
  // A new record means new branch records: nothing found earlier may point into the old ones.
  for (TJWBranchChildFrame* child :
       std::initializer_list<TJWBranchChildFrame*>{FSearchFrame.get(), FFinderFrame.get()})
    if (child) {
      child->ResultList.reset();
      child->OrgBranches = nullptr;
    }
  FOrgBranches = FData && FData->Branches ? &*FData->Branches : nullptr;
  ShowAll();
  FSelection = -1;
  FTopRow = 0;
  if (FOrgBranches) UpdateRecords();
}

void TfraJWBranchesV2::ShowAll() {
  FBranches.clear();
  if (!FOrgBranches) return;
  FBranches.reserve(FOrgBranches->size());
  for (TJWBranchRec& branch : *FOrgBranches) FBranches.push_back(&branch);
}

void TfraJWBranchesV2::SelectOrder(int32_t AIndex) {
  FOrder = AIndex;
  try {
    UpdateRecords();
  } catch (...) {
    // A failing host routine must not unwind through the event loop; the list keeps its order.
  }
  Invalidate();
}

void TfraJWBranchesV2::UpdateRecords() {
  SortShown(true);
}

void TfraJWBranchesV2::SortShown(bool AAskHost) {
  if (!FData) return;
  if (AAskHost && FOrder == boDistance && OnGetStartPosition)
    OnGetStartPosition(StartEast, StartNorth, Form.NativeWindow);
  // The same rows in a new order: a selection stays on its row number.
  if (!FBranches.empty()) {
    TJWESortBranches sorter(StartEast, StartNorth);
    sorter.QuickSort(FBranches, FOrder, 0, int32_t(FBranches.size()) - 1);
  }
}

void TfraJWBranchesV2::ChildFrameClosed(TJWFrame* ASender) {
  TJWBranchChildFrame* child = nullptr;
  if (ASender && ASender == FSearchFrame.get()) {
    child = FSearchFrame.get();
    // 0/0 means "no position": a search that located nothing keeps the start position the page
    // already has, instead of measuring from the zero meridian at the equator.
    if (FSearchFrame->FoundEast != 0.0 || FSearchFrame->FoundNorth != 0.0) {
      StartEast = FSearchFrame->FoundEast;
      StartNorth = FSearchFrame->FoundNorth;
    }
  } else if (ASender && ASender == FFinderFrame.get()) {
    child = FFinderFrame.get();
  }
  if (child) {
    child->Visible = false;
    if (child->ResultList)
      FBranches = *child->ResultList;
    else
      ShowAll();
    if (child == FSearchFrame.get()) FOrder = FSearchFrame->OrderIndex;
  }
  Invalidate();
  if (!FData) return;
  FSelection = -1;
  FTopRow = 0;
  // The position has just come from the search (or is the one the host gave before); asking the
  // host again would override it.
  SortShown(false);
}

void TfraJWBranchesV2::vlbUEDblClick() {
  if (!OnOpenBranch) return;
  if (FSelection < 0 || size_t(FSelection) >= FBranches.size() || !FBranches[size_t(FSelection)])
    return;
  try {
    OnOpenBranch(*FBranches[size_t(FSelection)]);
  } catch (...) {
    // The window could not open the branch (missing entry, unreadable file); it has cleaned up
    // and this window stays as it is.
  }
}

void TfraJWBranchesV2::imgSearchClick() {
  if (!FSearchFrame) FSearchFrame = std::make_unique<TfraJWBranchesSearch>(Form);
  FSearchFrame->OrgBranches = FOrgBranches;
  FSearchFrame->OnLocateAddress = OnLocateAddress;
  FSearchFrame->OrderIndex = FOrder;
  FSearchFrame->Bounds = {0, 0, Bounds.Width, Bounds.Height};
  FSearchFrame->OnClose = [this](TJWFrame* ASender) { ChildFrameClosed(ASender); };
  FSearchFrame->Visible = true;
  if (FFinderFrame) FFinderFrame->Visible = false;
  Invalidate();
}

void TfraJWBranchesV2::imgFinderClick() {
  if (!FFinderFrame) FFinderFrame = std::make_unique<TfraJWBranchesFinder>(Form);
  FFinderFrame->OrgBranches = FOrgBranches;
  FFinderFrame->Bounds = {0, 0, Bounds.Width, Bounds.Height};
  FFinderFrame->OnClose = [this](TJWFrame* ASender) { ChildFrameClosed(ASender); };
  FFinderFrame->Visible = true;
  if (FSearchFrame) FSearchFrame->Visible = false;
  Invalidate();
}

void TfraJWBranchesV2::ResetButtons() {
  if (imgSearch.Hover || imgFinder.Hover) Invalidate();
  imgSearch.Hover = imgFinder.Hover = false;
}

TJWFrame* TfraJWBranchesV2::OpenChild() const {
  if (FSearchFrame && FSearchFrame->Visible) return FSearchFrame.get();
  if (FFinderFrame && FFinderFrame->Visible) return FFinderFrame.get();
  return nullptr;
}

void TfraJWBranchesV2::Paint(TJWPainter& APainter) {
  if (TJWFrame* child = OpenChild()) {
    // The child covers the whole page, controls included.
    APainter.Enter(child->Bounds);
    child->Paint(APainter);
    APainter.Leave();
    return;
  }
  PaintBranchPageFrame(APainter, "Sortieren nach:");
  TJWControlSlot box;
  box.Id = FOrderBoxId;
  box.Kind = TJWControlKind::ckComboBox;
  box.Rect = {108, 3, 125, 21};
  box.Font = kSansSerif11;
  box.Items.assign(std::begin(kOrders), std::end(kOrders));
  box.Selection = FOrder;
  APainter.Control(std::move(box));
  PaintButton(APainter, imgSearch);
  PaintButton(APainter, imgFinder);

  TJWControlSlot list;
  list.Id = FListId;
  list.Kind = TJWControlKind::ckList;
  list.Rect = {1, kHeaderHeight, kWidth - 2, kHeight - kHeaderHeight - 1};
  list.Font = kSansSerif11Bold;
  list.Color = kEvenColor;
  list.ItemCount = int32_t(FBranches.size());
  list.RowHeight = kRowHeight;
  list.TopRow = FTopRow;
  list.Selection = FSelection;
  APainter.Control(std::move(list));
}

void TfraJWBranchesV2::PaintListRow(TJWPainter& APainter, int32_t, int32_t ARow, bool ASelected,
                                    int32_t AWidth) {
  APainter.Fill({0, 0, AWidth, kRowHeight}, ARow % 2 == 0 ? kEvenColor : kOddColor);
  if (ARow < 0 || size_t(ARow) >= FBranches.size() || !FBranches[size_t(ARow)]) return;
  const TJWBranchRowTexts texts = BranchRowTexts(*FBranches[size_t(ARow)]);
  const TJWColor color = ASelected ? kSelectedTextColor : kWindowTextColor;
  const TMeasureTextFunc measure = MeasureWith(APainter.Metrics, kSansSerif11Bold);
  const int32_t lineHeight = APainter.Metrics.LineHeight(kSansSerif11Bold);
  // Two columns of equal width; each text on one line, cut with an ellipsis when too long.
  const int32_t a = 2, t = 2, h = (AWidth - 4) / 2;
  auto draw = [&](const std::string& AText, int32_t ALeft, int32_t ARight, int32_t ATop) {
    const std::string shown = ShortenText(&measure, ARight - ALeft, AText, "\x85");
    APainter.Text(ALeft, ATop, {ALeft, ATop, ARight - ALeft, std::max(0, kRowHeight - ATop)},
                  kSansSerif11Bold, color, shown);
  };
  draw(texts.ZipCity, a, h, t);
  draw(texts.Street, a, h, t + lineHeight + 2);
  const int32_t left2 = a + h + 4, right2 = a + 2 * h + 4;
  draw(texts.Firm, left2, right2, t);
  draw(texts.Phone, left2, right2, t + lineHeight + 2);
}

bool TfraJWBranchesV2::Click(int32_t AX, int32_t AY) {
  if (TJWFrame* child = OpenChild()) return child->Click(AX, AY);
  if (imgSearch.Contains(AX, AY)) {
    imgSearchClick();
    return true;
  }
  if (imgFinder.Contains(AX, AY)) {
    imgFinderClick();
    return true;
  }
  return true;  // the page takes every click on it
}

void TfraJWBranchesV2::MouseMove(int32_t AX, int32_t AY) {
  if (TJWFrame* child = OpenChild()) return child->MouseMove(AX, AY);
  const bool changed = imgSearch.Track(AX, AY);
  if (imgFinder.Track(AX, AY) || changed) Invalidate();
}

void TfraJWBranchesV2::MouseLeave() {
  if (TJWFrame* child = OpenChild()) return child->MouseLeave();
  ResetButtons();
}

TJWCursor TfraJWBranchesV2::CursorAt(int32_t AX, int32_t AY) const {
  if (TJWFrame* child = OpenChild()) return child->CursorAt(AX, AY);
  return imgSearch.Contains(AX, AY) || imgFinder.Contains(AX, AY) ? TJWCursor::crHand
                                                                  : TJWCursor::crArrow;
}

bool TfraJWBranchesV2::ControlEvent(const TJWControlEvent& AEvent) {
  if (TJWFrame* child = OpenChild(); child && child->ControlEvent(AEvent)) return true;
  if (AEvent.ControlId == FOrderBoxId) {
    if (AEvent.Kind == TJWControlEventKind::ceComboSelect && AEvent.Index >= 0 &&
        AEvent.Index <= boDistance && AEvent.Index != FOrder)
      SelectOrder(AEvent.Index);
    return true;
  }
  if (AEvent.ControlId != FListId) return false;
  switch (AEvent.Kind) {
    case TJWControlEventKind::ceListSelect:
      FSelection = AEvent.Index < int32_t(FBranches.size()) ? AEvent.Index : -1;
      break;
    case TJWControlEventKind::ceListScroll:
      FTopRow = std::clamp(AEvent.Index, 0, std::max(0, int32_t(FBranches.size()) - 1));
      break;
    case TJWControlEventKind::ceListActivate:
      if (AEvent.Index < 0 || AEvent.Index >= int32_t(FBranches.size())) break;
      FSelection = AEvent.Index;
      vlbUEDblClick();
      break;
    default:
      break;
  }
  return true;
}

}  // namespace jw
