#include "viewer/JW2Form.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QWindow>
#include <map>

#include "store/JWDataDirectory.h"
#include "store/JWError.h"
#include "viewer/JWCodePage.h"
#include "viewer/JWEPageFrames.h"
#include "viewer/JWFormPlacement.h"
#include "viewer/JWViewerApp.h"
#include "viewer/core/JWViewerText.h"
#include "viewer/ufraJWAddress.h"
#include "viewer/ufraJWEnhInfo.h"
#include "viewer/ufraJWHeadline.h"
#include "viewer/ufraJWLogo.h"
#include "viewer/ufraJWNavigation.h"

namespace jw {

namespace {

constexpr int kPageTop = 171;
constexpr int kPageLeft = 398;
constexpr int kLogoTop = 344;

uintptr_t& HostWindowId() {
  static uintptr_t id = 0;
  return id;
}

}  // namespace

void TfrmJW::SetHostWindow(uintptr_t AWindowId) {
  HostWindowId() = AWindowId;
}

TfrmJW::TfrmJW(QWidget* AOwner) : QDialog(AOwner) {
  setObjectName("frmJW");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  move(271, 137);
  setFont(JWFont("MS Sans Serif", 11));
  setAutoFillBackground(true);
  SetColor(kDefaultColor);

  Image = new QLabel(this);
  Image->setObjectName("Image");
  Image->setGeometry(0, 0, kClientWidth, kClientHeight);
  Image->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  // Both buttons lie outside the client area: one takes the focus so that no visible control
  // shows it, the other answers the Esc key.
  btnUnFocus = new QPushButton(this);
  btnUnFocus->setObjectName("btnUnFocus");
  btnUnFocus->setGeometry(28, -32, 61, 17);
  btnESC = new QPushButton("ESC", this);
  btnESC->setObjectName("btnESC");
  btnESC->setGeometry(-52, 12, 45, 25);
  btnESC->setAutoDefault(false);
  connect(btnESC, &QPushButton::clicked, this, [this] {
    try {
      btnESCClick();
    } catch (const std::exception& e) {
      ReportViewerFailure(e.what());
    }
  });

  FFiles = std::make_unique<TJWDataDirectory>(std::string());
  hide();
  SetFreeOnClose(true);
}

TfrmJW::~TfrmJW() {
  for (QPointer<TJWFrame>& frame : FFrames) delete frame.data();
  if (FFiles) FFiles->Entries().ReleaseEntry(FEntryRec);
  FFiles.reset();
}

void TfrmJW::SetFreeOnClose(bool AValue) {
  FFreeOnClose = AValue;
  setAttribute(Qt::WA_DeleteOnClose, AValue);
}

QColor TfrmJW::Color() const {
  return palette().color(QPalette::Window);
}

void TfrmJW::SetColor(const QColor& AColor) {
  QPalette pal = palette();
  pal.setColor(QPalette::Window, AColor);
  setPalette(pal);
}

TfraJWNavigation* TfrmJW::Navigation() const {
  return static_cast<TfraJWNavigation*>(FFrames[fraNavigation].data());
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
  setWindowTitle(ToQString(EntryCaption(FEntryRec)));
  RefreshFrames();
}

void TfrmJW::RefreshFrames() {
  EnsureFrames();
  if (FFiles) {
    if (FEntryRec.TemplateId == 0) FEntryRec.TemplateId = 1;
    const std::shared_ptr<const TJWTemplatePictures> tmpl =
        FFiles->Templates().GetPictures(uint32_t(FEntryRec.TemplateId));
    if (!tmpl->Image->Empty())
      Image->setPixmap(QPixmap::fromImage(BitmapToImage(tmpl->Image.get())));
    if (TfraJWNavigation* bar = Navigation()) {
      auto picture = [](const std::shared_ptr<const TJWBitmap>& ABitmap) {
        return ABitmap->Empty() ? nullptr : ABitmap;
      };
      bar->SetButtonImages(tmpl->CaptionLeft, picture(tmpl->Button1), picture(tmpl->Button2));
      bar->move(tmpl->NavigationLeft, bar->y());
      const uint32_t bgr = tmpl->BackgroundColor;
      SetColor(QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)));
      NavLeft = tmpl->NavigationLeft;
    }
  }
  for (QPointer<TJWFrame>& frame : FFrames) {
    if (!frame) continue;
    frame->SetColor(Color());
    frame->UpdateContent();
  }
  if (TfraJWNavigation* bar = Navigation()) {
    bar->move(bar->x(), bar->ItemCount() > 6 ? 51 : 71);
    bar->raise();
  }
}

void TfrmJW::EnsureFrames() {
  if (!FFrames[fraNavigation]) {
    auto* bar = static_cast<TfraJWNavigation*>(
        CreateFrame(&TfraJWNavigation::staticMetaObject, 71, NavLeft));
    FFrames[fraNavigation] = bar;
    bar->OnButton = [this](TJWButtonRec AButton) { DoButtonEvent(AButton); };
    bar->SetShowLocation(ShowLocation);
    bar->SetForceLocation(bar->ForceLocation());
  }
  if (!FFrames[fraHeadline]) {
    // The window is still usable without its headline.
    try {
      FFrames[fraHeadline] = CreateFrame(&TfraJWHeadline::staticMetaObject, 100, 97);
    } catch (const std::exception&) {
    }
  }
  if (!FFrames[fraAddress])
    FFrames[fraAddress] = CreateFrame(&TfraJWAddress::staticMetaObject, 163, 100);
  if (!FFrames[fraEnhInfo])
    FFrames[fraEnhInfo] = CreateFrame(&TfraJWEnhInfo::staticMetaObject, 289, 100);
  if (!FFrames[fraPage]) DoButtonEvent(brIndustries);
  PlaceLogo();
}

TJWFrame* TfrmJW::CreateFrame(const QMetaObject* AFrameClass, int ATop, int ALeft) {
  if (!AFrameClass || !AFrameClass->inherits(&TJWFrame::staticMetaObject))
    throw EJWError("CreateFrame can create only TJWFrame!");
  QObject* object = AFrameClass->newInstance(Q_ARG(QWidget*, this));
  auto* frame = qobject_cast<TJWFrame*>(object);
  if (!frame) {
    delete object;
    throw EJWError("CreateFrame can create only TJWFrame!");
  }
  frame->SetColor(Color());
  frame->hide();
  frame->move(ALeft, ATop);
  frame->SetData(&FEntryRec);
  frame->show();
  // Under the frames created before it, but above the background picture.
  frame->stackUnder(Image);
  Image->stackUnder(frame);
  return frame;
}

void TfrmJW::FreePageFrames() {
  for (TFrameSlot slot : {fraPage, fraPage2}) {
    delete FFrames[slot].data();
    FFrames[slot] = nullptr;
  }
}

void TfrmJW::PlaceLogo() {
  int bottom = 0;
  if (TJWFrame* page2 = FFrames[fraPage2])
    bottom = page2->y() + page2->height();
  else if (TJWFrame* page = FFrames[fraPage])
    bottom = page->y() + page->height();
  if (bottom >= kLogoTop) {
    if (FFrames[fraLogo]) FFrames[fraLogo]->hide();
  } else if (!FFrames[fraLogo]) {
    FFrames[fraLogo] = CreateFrame(&TfraJWLogo::staticMetaObject, kLogoTop, kPageLeft);
  } else {
    FFrames[fraLogo]->show();
  }
}

void TfrmJW::DoButtonEvent(TJWButtonRec AButton) {
  auto page = [this](const QMetaObject* AClass) {
    FreePageFrames();
    FFrames[fraPage] = CreateFrame(AClass, kPageTop, kPageLeft);
  };
  switch (AButton) {
    case brIndustries: {
      page(&TfraJWIndustries::staticMetaObject);
      TJWFrame* industries = FFrames[fraPage];
      if (industries->ItemCount() <= 3) {
        // Few industries leave room for the search words on the same page.
        TJWFrame* words = CreateFrame(&TfraJWSearchWords::staticMetaObject, kPageTop, kPageLeft);
        FFrames[fraPage2] = words;
        if (industries->ItemCount() + words->ItemCount() <= 6) {
          words->move(kPageLeft, industries->y() + industries->height() + 23);
        } else {
          delete words;
          FFrames[fraPage2] = nullptr;
        }
      }
      break;
    }
    case brBusinessTypes:
      page(&TfraJWBusinessTypes::staticMetaObject);
      break;
    case brSearchwords:
      page(&TfraJWSearchWords::staticMetaObject);
      break;
    case brOfficeHours:
      page(&TfraJWOfficeHours::staticMetaObject);
      break;
    case brCardAcceptance:
      page(&TfraJWCardAcceptance::staticMetaObject);
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
      auto* branches = static_cast<TfraJWBranchesV2*>(
          CreateFrame(&TfraJWBranchesV2::staticMetaObject, 163, 100));
      FFrames[fraPage] = branches;
      branches->raise();
      branches->StartEast = StartEast;
      branches->StartNorth = StartNorth;
      branches->OnGetStartPosition = OnGetStartPosition;
      branches->OnLocateAddress = OnLocateAddress;
      branches->OnOpenBranch = [this](const TJWBranchRec& ABranch) { OpenBranchEntry(ABranch); };
      break;
    }
    case brClose:
      FreePageFrames();
      close();
      break;
    default: {
      const std::string name =
          unsigned(AButton) < 8 ? ButtonNameTable[AButton] : std::to_string(int(AButton));
      throw EJWError("Event \"" + name + "\" is unknown!");
    }
  }
  PlaceLogo();
}

void TfrmJW::OpenBranchEntry(const TJWBranchRec& ABranch) {
  auto* form = new TfrmJW(this);
  form->SetFreeOnClose(true);
  try {
    form->OnGetStartPosition = OnGetStartPosition;
    form->StartEast = StartEast;
    form->StartNorth = StartNorth;
    form->OnPointOfPlace = OnPointOfPlace;
    form->ShowLocation = ShowLocation;
    form->SettingsKey = SettingsKey;
    form->SetDataPath(FDataPath);
    form->OpenEntry(int32_t(ABranch.BranchId));
    form->move(pos() + QPoint(10, 10));
    form->show();
  } catch (const std::exception& e) {
    delete form;
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

void TfrmJW::ApplyHostWindow() {
  const uintptr_t id = HostWindowId();
  if (!id || parentWidget()) return;
  // One foreign window object per host window, kept for the life of the process.
  static std::map<uintptr_t, QWindow*> foreign;
  QWindow*& host = foreign[id];
  if (!host) host = QWindow::fromWinId(WId(id));
  if (!host) return;
  winId();
  if (QWindow* own = windowHandle()) own->setTransientParent(host);
}

void TfrmJW::setVisible(bool AVisible) {
  // The host window must be known before the window manager first sees ours.
  if (AVisible && !isVisible()) ApplyHostWindow();
  QDialog::setVisible(AVisible);
}

void TfrmJW::showEvent(QShowEvent* AEvent) {
  QDialog::showEvent(AEvent);
  if (!AEvent->spontaneous()) FormShow();
}

void TfrmJW::FormShow() {
  if (!SettingsKey.empty()) LoadFormPlacement(SettingsKey, this, kPlacementSection);
  if (btnUnFocus->isEnabled()) btnUnFocus->setFocus();
}

void TfrmJW::reject() {
  // The dialog's Esc key (and any other cancel) presses the cancel button, which closes the
  // window the way the close button does; while closing, the dialog just finishes.
  if (FClosing)
    QDialog::reject();
  else
    btnESC->click();
}

void TfrmJW::closeEvent(QCloseEvent* AEvent) {
  FClosing = true;
  FormClose();
  QDialog::closeEvent(AEvent);
  FClosing = false;
}

void TfrmJW::FormClose() {
  if (!SettingsKey.empty()) SaveFormPlacement(SettingsKey, this, kPlacementSection);
}

QImage RenderEntrySnapshot(const std::string& ADataPath, uint32_t AEntryId) {
  EnsureViewerApplication();
  TfrmJW form;
  form.SetFreeOnClose(false);
  form.SetDataPath(ADataPath);
  form.OpenEntry(int32_t(AEntryId));
  QImage snapshot(form.size(), QImage::Format_ARGB32);
  snapshot.fill(form.Color());
  form.ensurePolished();
  QPainter painter(&snapshot);
  form.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
  return snapshot;
}

}  // namespace jw
