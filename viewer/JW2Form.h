#pragma once
// The viewer window of one entry: the template's background, the headline, address, extra-info
// and logo frames, the navigation bar and the page frames it switches between.
#include <QDialog>
#include <QPointer>
#include <array>
#include <memory>

#include "store/JWEButtons.h"
#include "store/JWEStruct.h"
#include "viewer/core/JW2FormTypes.h"
#include "viewer/JWEFrame.h"

class QLabel;
class QPushButton;

namespace jw {

class TJWDataDirectory;
class TfraJWNavigation;

class TfrmJW : public QDialog {
  Q_OBJECT

 public:
  enum TFrameSlot {
    fraHeadline,
    fraAddress,
    fraEnhInfo,
    fraPage,
    fraPage2,
    fraLogo,
    fraNavigation
  };
  static constexpr int kClientWidth = 705;
  static constexpr int kClientHeight = 460;
  static inline const QColor kDefaultColor{0xFF, 0xF6, 0xED};
  static inline const char* const kPlacementSection = "FrmJW2.2";

  explicit TfrmJW(QWidget* AOwner = nullptr);
  ~TfrmJW() override;

  // Takes the three data files from the directory APath; the window keeps its own readers.
  void SetDataPath(const std::string& APath);
  const std::string& DataPath() const { return FDataPath; }
  // Loads an entry and rebuilds the frames.
  void OpenEntry(int32_t ANumber);
  void RefreshFrames();
  void EnsureFrames();
  // Creates a frame of the given class (which must derive from TJWFrame) at the given place,
  // under the frames created before it, and hands it the entry.
  TJWFrame* CreateFrame(const QMetaObject* AFrameClass, int ATop, int ALeft);
  void FreePageFrames();
  void PlaceLogo();
  void DoButtonEvent(TJWButtonRec AButton);
  void OpenBranchEntry(const TJWBranchRec& ABranch);
  void BuildPointOfPlaceRec(TJWPointOfPlaceRec& ARec) const;
  void btnESCClick();

  TJWFrame* Frame(TFrameSlot ASlot) const { return FFrames[ASlot]; }
  TfraJWNavigation* Navigation() const;
  TJW2DataRec& EntryRec() { return FEntryRec; }
  int32_t EntryNumber() const { return FEntryNumber; }
  QColor Color() const;
  void SetColor(const QColor& AColor);

  bool FreeOnClose() const { return FFreeOnClose; }
  void SetFreeOnClose(bool AValue);

  // Window state and the host's routines, copied into windows opened for branch offices.
  std::string SettingsKey;
  bool ShowLocation = true;
  int32_t NavLeft = 565;
  double StartEast = 0;
  double StartNorth = 0;
  TJWPointOfPlaceFunc OnPointOfPlace;
  TJWGetStartPositionFunc OnGetStartPosition;
  TJWLocateAddressFunc OnLocateAddress;

  // The native window the library's top-level windows stay on top of (0: none).
  static void SetHostWindow(uintptr_t AWindowId);
  void setVisible(bool AVisible) override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* AEvent) override;
  void closeEvent(QCloseEvent* AEvent) override;

 private:
  void FormShow();
  void FormClose();
  void ApplyHostWindow();

  QLabel* Image;
  QPushButton* btnUnFocus;
  QPushButton* btnESC;
  TJW2DataRec FEntryRec;
  std::array<QPointer<TJWFrame>, 7> FFrames;
  bool FFreeOnClose = true;
  bool FClosing = false;
  std::unique_ptr<TJWDataDirectory> FFiles;
  int32_t FEntryNumber = 0;
  std::string FDataPath;
};

}  // namespace jw
