#include "viewer/core/JW2Form.h"

#include <algorithm>

#include "store/JWDataDirectory.h"
#include "store/JWError.h"
#include "viewer/core/JWEInfoFrames.h"
#include "viewer/core/JWEListFrame.h"
#include "viewer/core/JWViewerText.h"
#include "viewer/core/ufraJWBranchesV2.h"
#include "viewer/core/ufraJWCardAcceptance.h"
#include "viewer/core/ufraJWNavigation.h"
#include "viewer/core/ufraJWOfficeHours.h"

namespace jw {

namespace {

constexpr int32_t kPageTop = 171;
constexpr int32_t kPageLeft = 398;
constexpr int32_t kLogoTop = 344;

}  // namespace

TfrmJW::TfrmJW(std::shared_ptr<TJWTextMetrics> AMetrics)
    : FMetrics(std::move(AMetrics)), FFiles(std::make_unique<TJWDataDirectory>(std::string())) {}

TfrmJW::~TfrmJW() {
  for (auto& frame : FFrames) frame.reset();
  if (FFiles) FFiles->Entries().ReleaseEntry(FEntryRec);
}

TfraJWNavigation* TfrmJW::Navigation() const {
  return static_cast<TfraJWNavigation*>(FFrames[fraNavigation].get());
}

void TfrmJW::SetDataPath(const std::string& APath) {
  FDataPath = APath;
  FFiles = std::make_unique<TJWDataDirectory>(APath);
}

void TfrmJW::OpenEntry(int32_t ANumber) {
  if (!FFiles) throw EJWError("DatFile not assigned!");
  FEntryNumber = ANumber;
  FEntryRec = TJW2DataRec();  // a failed load leaves no stale entry behind
  FFiles->LoadEntry(uint32_t(ANumber), FEntryRec);
  FCaption = EntryCaption(FEntryRec);
  RefreshFrames();
}

void TfrmJW::RefreshFrames() {
  EnsureFrames();
  if (FFiles) {
    if (FEntryRec.TemplateId == 0) FEntryRec.TemplateId = 1;
    const std::shared_ptr<const TJWTemplatePictures> tmpl =
        FFiles->Templates().GetPictures(uint32_t(FEntryRec.TemplateId));
    if (!tmpl->Image->Empty()) FImage = tmpl->Image;
    if (TfraJWNavigation* bar = Navigation()) {
      auto picture = [](const std::shared_ptr<const TJWBitmap>& ABitmap) {
        return ABitmap->Empty() ? nullptr : ABitmap;
      };
      bar->SetButtonImages(tmpl->CaptionLeft, picture(tmpl->Button1), picture(tmpl->Button2));
      bar->Bounds.Left = tmpl->NavigationLeft;
      const uint32_t bgr = tmpl->BackgroundColor;
      FColor = ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
      NavLeft = tmpl->NavigationLeft;
    }
  }
  for (auto& frame : FFrames) {
    if (!frame) continue;
    frame->Color = FColor;
    frame->UpdateContent();
  }
  if (TfraJWNavigation* bar = Navigation()) {
    bar->Bounds.Top = bar->ItemCount() > 6 ? 51 : 71;
    Raise(bar);
  }
  PlaceLogo();
  Invalidate();
}

template <class T>
T* TfrmJW::CreateFrame(TFrameSlot ASlot, int32_t ATop, int32_t ALeft) {
  DestroyFrame(ASlot);
  auto frame = std::make_unique<T>(*this);
  T* result = frame.get();
  frame->Color = FColor;
  frame->Bounds.Left = ALeft;
  frame->Bounds.Top = ATop;
  frame->SetData(&FEntryRec);
  // Under the frames created before it, but above the background picture.
  FZOrder.insert(FZOrder.begin(), result);
  FFrames[ASlot] = std::move(frame);
  return result;
}

void TfrmJW::DestroyFrame(TFrameSlot ASlot) {
  TJWFrame* frame = FFrames[ASlot].get();
  if (!frame) return;
  std::erase(FZOrder, frame);
  if (FHover == frame) FHover = nullptr;
  FFrames[ASlot].reset();
}

void TfrmJW::Raise(TJWFrame* AFrame) {
  std::erase(FZOrder, AFrame);
  FZOrder.push_back(AFrame);
}

void TfrmJW::EnsureFrames() {
  if (!FFrames[fraNavigation]) {
    auto* bar = CreateFrame<TfraJWNavigation>(fraNavigation, 71, NavLeft);
    bar->OnButton = [this](TJWButtonRec AButton) { DoButtonEvent(AButton); };
    bar->SetShowLocation(ShowLocation);
    bar->SetForceLocation(bar->ForceLocation());
  }
  if (!FFrames[fraHeadline]) {
    // The window is still usable without its headline.
    try {
      CreateFrame<TfraJWHeadline>(fraHeadline, 100, 97);
    } catch (const std::exception&) {
      DestroyFrame(fraHeadline);
    }
  }
  if (!FFrames[fraAddress]) CreateFrame<TfraJWAddress>(fraAddress, 163, 100);
  if (!FFrames[fraEnhInfo]) CreateFrame<TfraJWEnhInfo>(fraEnhInfo, 289, 100);
  if (!FFrames[fraPage]) DoButtonEvent(brIndustries);
  PlaceLogo();
}

void TfrmJW::FreePageFrames() {
  DestroyFrame(fraPage);
  DestroyFrame(fraPage2);
}

void TfrmJW::PlaceLogo() {
  int32_t bottom = 0;
  if (TJWFrame* page2 = FFrames[fraPage2].get())
    bottom = page2->Bounds.Bottom();
  else if (TJWFrame* page = FFrames[fraPage].get())
    bottom = page->Bounds.Bottom();
  if (bottom >= kLogoTop) {
    if (FFrames[fraLogo]) FFrames[fraLogo]->Visible = false;
  } else if (!FFrames[fraLogo]) {
    CreateFrame<TfraJWLogo>(fraLogo, kLogoTop, kPageLeft);
  } else {
    FFrames[fraLogo]->Visible = true;
  }
}

void TfrmJW::DoButtonEvent(TJWButtonRec AButton) {
  switch (AButton) {
    case brIndustries: {
      FreePageFrames();
      TJWFrame* industries = CreateFrame<TfraJWIndustries>(fraPage, kPageTop, kPageLeft);
      if (industries->ItemCount() <= 3) {
        // Few industries leave room for the search words on the same page.
        TJWFrame* words = CreateFrame<TfraJWSearchWords>(fraPage2, kPageTop, kPageLeft);
        if (industries->ItemCount() + words->ItemCount() <= 6)
          words->Bounds.Top = industries->Bounds.Bottom() + 23;
        else
          DestroyFrame(fraPage2);
      }
      break;
    }
    case brBusinessTypes:
      FreePageFrames();
      CreateFrame<TfraJWBusinessTypes>(fraPage, kPageTop, kPageLeft);
      break;
    case brSearchwords:
      FreePageFrames();
      CreateFrame<TfraJWSearchWords>(fraPage, kPageTop, kPageLeft);
      break;
    case brOfficeHours:
      FreePageFrames();
      CreateFrame<TfraJWOfficeHours>(fraPage, kPageTop, kPageLeft);
      break;
    case brCardAcceptance:
      FreePageFrames();
      CreateFrame<TfraJWCardAcceptance>(fraPage, kPageTop, kPageLeft);
      break;
    case brPointOfPlace:
      if (OnPointOfPlace) {
        TJWPointOfPlaceRec rec;
        BuildPointOfPlaceRec(rec);
        OnPointOfPlace(rec);
      }
      break;
    case brBranches: {
      FreePageFrames();
      auto* branches = CreateFrame<TfraJWBranchesV2>(fraPage, 163, 100);
      Raise(branches);
      branches->StartEast = StartEast;
      branches->StartNorth = StartNorth;
      branches->OnGetStartPosition = OnGetStartPosition;
      branches->OnLocateAddress = OnLocateAddress;
      branches->OnOpenBranch = [this](const TJWBranchRec& ABranch) { OpenBranchEntry(ABranch); };
      // The host routines arrive after the page sorted itself on creation.
      break;
    }
    case brClose:
      FreePageFrames();
      if (OnClose) OnClose();
      break;
    default: {
      const std::string name =
          unsigned(AButton) < 8 ? ButtonNameTable[AButton] : std::to_string(int(AButton));
      throw EJWError("Event \"" + name + "\" is unknown!");
    }
  }
  PlaceLogo();
  Invalidate();
}

void TfrmJW::OpenBranchEntry(const TJWBranchRec& ABranch) {
  try {
    auto form = std::make_unique<TfrmJW>(FMetrics);
    form->OnGetStartPosition = OnGetStartPosition;
    form->StartEast = StartEast;
    form->StartNorth = StartNorth;
    form->OnPointOfPlace = OnPointOfPlace;
    form->ShowLocation = ShowLocation;
    form->SettingsKey = SettingsKey;
    form->SetDataPath(FDataPath);
    form->OpenEntry(int32_t(ABranch.BranchId));
    if (OnOpenWindow) OnOpenWindow(std::move(form));
  } catch (const std::exception& e) {
    throw EJWError(std::string("Error on opening!\n\r") + e.what());
  }
}

void TfrmJW::BuildPointOfPlaceRec(TJWPointOfPlaceRec& ARec) const {
  const TJW2DataRec& r = FEntryRec;
  const std::pair<JWShortString255*, const std::string*> fields[] = {
      {&ARec.Id, &r.Id},
      {&ARec.ExtraText1, &r.ExtraText1},
      {&ARec.Code5, &r.Code5},
      {&ARec.Code6, &r.Code6},
      {&ARec.ExtraText2, &r.ExtraText2},
      {&ARec.NamePart1, &r.NamePart1},
      {&ARec.NamePart6, &r.NamePart6},
      {&ARec.NamePart7, &r.NamePart7},
      {&ARec.NamePart2, &r.NamePart2},
      {&ARec.NamePart4, &r.NamePart4},
      {&ARec.NamePart5, &r.NamePart5},
      {&ARec.NameFormat, &r.NameFormat},
      {&ARec.ExtraText3, &r.ExtraText3},
      {&ARec.NamePart3, &r.NamePart3},
      {&ARec.Slogan, &r.Slogan},
      {&ARec.Street, &r.Street},
      {&ARec.StreetNo, &r.StreetNo},
      {&ARec.StreetAdd, &r.StreetAdd},
      {&ARec.Zip, &r.Zip},
      {&ARec.City, &r.City},
      {&ARec.PhonePrefix, &r.PhonePrefix},
      {&ARec.PhoneNumber, &r.PhoneNumber},
      {&ARec.FaxPrefix, &r.FaxPrefix},
      {&ARec.FaxNumber, &r.FaxNumber},
      {&ARec.MobilePrefix, &r.MobilePrefix},
      {&ARec.MobileNumber, &r.MobileNumber},
      {&ARec.EMail, &r.EMail},
      {&ARec.Url, &r.Url},
      {&ARec.PortalPage, &r.PortalPage},
      {&ARec.PosX, &r.PosX},
      {&ARec.PosY, &r.PosY},
  };
  static_assert(std::size(fields) == 31);
  for (const auto& [field, text] : fields) AssignShortString(*field, *text);
}

void TfrmJW::btnESCClick() {
  DoButtonEvent(brClose);
}

void TfrmJW::Invalidate() const {
  if (OnInvalidate) OnInvalidate();
}

void TfrmJW::OpenUrl(const std::string& AUrl) const {
  if (OnOpenUrl) OnOpenUrl(AUrl);
}

TJWDisplayList TfrmJW::Paint(TJWTextMetrics& AMetrics) {
  TJWDisplayList list;
  TJWPainter painter(list, AMetrics, {0, 0, kClientWidth, kClientHeight});
  painter.Fill({0, 0, kClientWidth, kClientHeight}, FColor);
  painter.Picture(0, 0, FImage);
  for (TJWFrame* frame : FZOrder) {
    if (!frame->Visible) continue;
    painter.Enter(frame->Bounds);
    frame->Paint(painter);
    painter.Leave();
  }
  for (TJWFrame* frame : FZOrder) {
    if (!frame->Visible) continue;
    painter.Enter(frame->Bounds, false);
    frame->PaintOverlay(painter);
    painter.Leave();
  }
  return list;
}

TJWDisplayList TfrmJW::PaintListRow(TJWTextMetrics& AMetrics, int32_t AControlId, int32_t ARow,
                                    bool ASelected) {
  TJWDisplayList list;
  for (TJWFrame* frame : FZOrder) {
    const int32_t width = frame->ListRowWidth(AControlId);
    if (width < 0) continue;
    TJWPainter painter(list, AMetrics, {0, 0, width, kClientHeight});
    frame->PaintListRow(painter, AControlId, ARow, ASelected, width);
    break;
  }
  return list;
}

TJWFrame* TfrmJW::FrameAt(int32_t AX, int32_t AY, int32_t& ALocalX, int32_t& ALocalY) const {
  for (auto it = FZOrder.rbegin(); it != FZOrder.rend(); ++it) {
    TJWFrame* frame = *it;
    if (!frame->Visible || !frame->Bounds.Contains(AX, AY)) continue;
    ALocalX = AX - frame->Bounds.Left;
    ALocalY = AY - frame->Bounds.Top;
    return frame;
  }
  return nullptr;
}

void TfrmJW::MouseMove(int32_t AX, int32_t AY) {
  int32_t x = 0, y = 0;
  TJWFrame* frame = FrameAt(AX, AY, x, y);
  if (FHover && FHover != frame) FHover->MouseLeave();
  FHover = frame;
  if (frame) frame->MouseMove(x, y);
}

void TfrmJW::MouseLeave() {
  if (FHover) FHover->MouseLeave();
  FHover = nullptr;
}

void TfrmJW::Click(int32_t AX, int32_t AY) {
  int32_t x = 0, y = 0;
  if (TJWFrame* frame = FrameAt(AX, AY, x, y)) frame->Click(x, y);
}

void TfrmJW::DoubleClick(int32_t AX, int32_t AY) {
  int32_t x = 0, y = 0;
  if (TJWFrame* frame = FrameAt(AX, AY, x, y)) frame->DoubleClick(x, y);
}

TJWCursor TfrmJW::CursorAt(int32_t AX, int32_t AY) const {
  int32_t x = 0, y = 0;
  const TJWFrame* frame = FrameAt(AX, AY, x, y);
  return frame ? frame->CursorAt(x, y) : TJWCursor::crArrow;
}

std::string TfrmJW::ToolTipAt(int32_t AX, int32_t AY) const {
  int32_t x = 0, y = 0;
  const TJWFrame* frame = FrameAt(AX, AY, x, y);
  return frame ? frame->ToolTipAt(x, y) : std::string();
}

void TfrmJW::Key(TJWKey AKey) {
  if (AKey == TJWKey::kEscape) btnESCClick();
}

void TfrmJW::ControlEvent(const TJWControlEvent& AEvent) {
  // Copied: a frame may be destroyed by what its event does.
  const std::vector<TJWFrame*> frames = FZOrder;
  for (TJWFrame* frame : frames)
    if (frame->ControlEvent(AEvent)) break;
  Invalidate();
}

std::unique_ptr<TfrmJW> OpenShowFormWindow(const TJWShowFormArgs& AArgs,
                                           std::shared_ptr<TJWTextMetrics> AMetrics,
                                           TJWButtonRec& AStartButton) {
  auto form = std::make_unique<TfrmJW>(std::move(AMetrics));
  form->SetDataPath(AArgs.DataPath);
  form->OpenEntry(int32_t(AArgs.EntryId));
  form->SettingsKey = AArgs.SettingsKey;
  TfraJWNavigation* bar = form->Navigation();
  bar->SetShowLocation(bar->ShowLocation());
  if (AArgs.OnPointOfPlace) {
    bar->SetForceLocation(AArgs.ForceLocation);
    form->OnPointOfPlace = [AOn = AArgs.OnPointOfPlace](const TJWPointOfPlaceRec& ARec) {
      AOn(&ARec);  // the window fills the host's own record type
    };
    if (AArgs.OnGetStartPosition)
      form->OnGetStartPosition = [AOn = AArgs.OnGetStartPosition](double& AEast, double& ANorth,
                                                                  uintptr_t AParent) {
        AOn(&AEast, &ANorth, AParent);
      };
    if (AArgs.OnLocateAddress)
      form->OnLocateAddress = [AOn = AArgs.OnLocateAddress](
                                  const std::string& AStreet, const std::string& AZip,
                                  const std::string& ATown, double& AEast, double& ANorth) {
        return AOn(AStreet.c_str(), AZip.c_str(), ATown.c_str(), &AEast, &ANorth) != 0;
      };
  } else {
    bar->SetForceLocation(false);
    form->OnPointOfPlace = nullptr;
  }
  AStartButton = Index2JWButton(AArgs.StartIndex, bar->ShownButtons());
  return form;
}

std::unique_ptr<TfrmJW> OpenSnapshotWindow(const std::string& ADataPath, uint32_t AEntryId,
                                           std::shared_ptr<TJWTextMetrics> AMetrics) {
  auto form = std::make_unique<TfrmJW>(std::move(AMetrics));
  form->SetDataPath(ADataPath);
  form->OpenEntry(int32_t(AEntryId));
  return form;
}

}  // namespace jw
