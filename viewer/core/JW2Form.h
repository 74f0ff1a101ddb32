#pragma once
// The viewer window of one entry: the template's background, the headline, address, extra-info
// and logo frames, the navigation bar and the page frames it switches between. It knows no
// toolkit: a shell shows it through TJWWindowModel.
#include <array>
#include <memory>

#include "store/JWEButtons.h"
#include "store/JWEStruct.h"
#include "viewer/core/JW2FormTypes.h"
#include "viewer/core/JWEFrame.h"
#include "viewer/core/JWViewerShell.h"
#include "viewer/core/JWWindowModel.h"

namespace jw {

class TJWDataDirectory;
class TfraJWNavigation;

class TfrmJW : public TJWWindowModel {
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
  static constexpr int32_t kClientWidth = 705;
  static constexpr int32_t kClientHeight = 460;
  static constexpr TJWColor kDefaultColor = 0xFFF6ED;
  static constexpr const char* kPlacementSection = "FrmJW2.2";
  // Where the window stands before a stored placement applies (outer corner).
  static constexpr int32_t kDesignLeft = 271;
  static constexpr int32_t kDesignTop = 137;

  // AMetrics measures every text the window lays out; it is shared with the windows this one
  // opens for branch offices.
  explicit TfrmJW(std::shared_ptr<TJWTextMetrics> AMetrics);
  ~TfrmJW() override;

  // Takes the three data files from the directory APath; the window keeps its own readers.
  void SetDataPath(const std::string& APath);
  const std::string& DataPath() const { return FDataPath; }
  // Loads an entry and rebuilds the frames.
  void OpenEntry(int32_t ANumber);
  void RefreshFrames();
  void EnsureFrames();
  void FreePageFrames();
  void PlaceLogo();
  void DoButtonEvent(TJWButtonRec AButton);
  void OpenBranchEntry(const TJWBranchRec& ABranch);
  void BuildPointOfPlaceRec(TJWPointOfPlaceRec& ARec) const;
  void btnESCClick();

  TJWFrame* Frame(TFrameSlot ASlot) const { return FFrames[ASlot].get(); }
  TfraJWNavigation* Navigation() const;
  TJW2DataRec& EntryRec() { return FEntryRec; }
  int32_t EntryNumber() const { return FEntryNumber; }
  TJWColor Color() const { return FColor; }

  // Window state and the host's routines, copied into windows opened for branch offices.
  std::string SettingsKey;
  bool ShowLocation = true;
  int32_t NavLeft = 565;
  double StartEast = 0;
  double StartNorth = 0;
  TJWPointOfPlaceFunc OnPointOfPlace;
  TJWGetStartPositionFunc OnGetStartPosition;
  TJWLocateAddressFunc OnLocateAddress;

  // TJWWindowModel
  int32_t ClientWidth() const override { return kClientWidth; }
  int32_t ClientHeight() const override { return kClientHeight; }
  std::string Caption() const override { return FCaption; }
  // Texts are laid out with the window's own metrics; AMetrics draws them (the same object in
  // practice).
  TJWDisplayList Paint(TJWTextMetrics& AMetrics) override;
  TJWDisplayList PaintListRow(TJWTextMetrics& AMetrics, int32_t AControlId, int32_t ARow,
                              bool ASelected) override;
  void MouseMove(int32_t AX, int32_t AY) override;
  void MouseLeave() override;
  void Click(int32_t AX, int32_t AY) override;
  void DoubleClick(int32_t AX, int32_t AY) override;
  TJWCursor CursorAt(int32_t AX, int32_t AY) const override;
  std::string ToolTipAt(int32_t AX, int32_t AY) const override;
  void Key(TJWKey AKey) override;
  void ControlEvent(const TJWControlEvent& AEvent) override;

  // For the frames.
  TJWTextMetrics& Metrics() const { return *FMetrics; }
  int32_t NewControlId() { return FNextControlId++; }
  void Invalidate() const;
  // Opens a web or mail address through the shell.
  void OpenUrl(const std::string& AUrl) const;
  // Brings a frame to the front of the others.
  void Raise(TJWFrame* AFrame);

 private:
  template <class T>
  T* CreateFrame(TFrameSlot ASlot, int32_t ATop, int32_t ALeft);
  void DestroyFrame(TFrameSlot ASlot);
  // The front-most shown frame at a window point, and the point in its coordinates.
  TJWFrame* FrameAt(int32_t AX, int32_t AY, int32_t& ALocalX, int32_t& ALocalY) const;

  std::shared_ptr<TJWTextMetrics> FMetrics;
  std::shared_ptr<const TJWBitmap> FImage;
  TJW2DataRec FEntryRec;
  std::array<std::unique_ptr<TJWFrame>, 7> FFrames;
  std::vector<TJWFrame*> FZOrder;  // back to front
  TJWFrame* FHover = nullptr;
  std::unique_ptr<TJWDataDirectory> FFiles;
  int32_t FEntryNumber = 0;
  int32_t FNextControlId = 1;
  TJWColor FColor = kDefaultColor;
  std::string FCaption;
  std::string FDataPath;
};

// What JW_ShowForm does before the library's lock is released, for every shell: the window of
// AArgs.EntryId loaded from AArgs.DataPath, with the host's routines and flags, and the button
// to press (Navigation()->VirtualClick) once the lock is released.
std::unique_ptr<TfrmJW> OpenShowFormWindow(const TJWShowFormArgs& AArgs,
                                           std::shared_ptr<TJWTextMetrics> AMetrics,
                                           TJWButtonRec& AStartButton);
// The window a thumbnail shows: loaded, no start button, routine, flag or settings key applied.
std::unique_ptr<TfrmJW> OpenSnapshotWindow(const std::string& ADataPath, uint32_t AEntryId,
                                           std::shared_ptr<TJWTextMetrics> AMetrics);

}  // namespace jw
