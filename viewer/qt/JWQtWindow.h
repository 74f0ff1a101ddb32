#pragma once
// A viewer window on screen: a fixed-size dialog that paints the window model's display list,
// hosts the native controls its slots name, forwards the user's input and keeps its placement.
#include <QDialog>
#include <QPointer>
#include <map>
#include <memory>
#include <string>

#include "viewer/core/JWDisplayList.h"
#include "viewer/core/JWWindowModel.h"
#include "viewer/qt/JWQtPainter.h"

namespace jw {

class TJWQtWindow : public QDialog {
  Q_OBJECT

 public:
  // ASettingsKey "" keeps no placement. The window destroys itself when closed.
  TJWQtWindow(std::unique_ptr<TJWWindowModel> AModel, std::string ASettingsKey,
              QWidget* AParent = nullptr);
  ~TJWQtWindow() override;

  TJWWindowModel& Model() const { return *FModel; }
  // The native control of slot AId (null when the slot is gone).
  QWidget* Control(int32_t AId) const;
  // Brings the controls and the painting up to date with the model at once.
  void Sync();

  // The native window the library's top-level windows stay on top of (0: none).
  static void SetHostWindow(uintptr_t AWindowId);
  void setVisible(bool AVisible) override;
  void reject() override;

 protected:
  void paintEvent(QPaintEvent* AEvent) override;
  void mouseMoveEvent(QMouseEvent* AEvent) override;
  void mouseReleaseEvent(QMouseEvent* AEvent) override;
  void mouseDoubleClickEvent(QMouseEvent* AEvent) override;
  void leaveEvent(QEvent* AEvent) override;
  bool event(QEvent* AEvent) override;
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override;
  void showEvent(QShowEvent* AEvent) override;
  void closeEvent(QCloseEvent* AEvent) override;

 private:
  void ScheduleSync();
  QWidget* MakeControl(const TJWControlSlot& ASlot);
  void ApplySlot(QWidget* AControl, const TJWControlSlot& ASlot);
  void Send(const TJWControlEvent& AEvent);
  void ApplyHostWindow();

  std::unique_ptr<TJWWindowModel> FModel;
  std::string FSettingsKey;
  TJWDisplayList FList;
  std::map<int32_t, QPointer<QWidget>> FControls;
  QWidget* FFocusSink = nullptr;
  bool FSyncPending = false;
  bool FApplying = false;
  bool FClosing = false;
};

// The text metrics every Qt window shares.
std::shared_ptr<TJWQtTextMetrics> QtMetrics();

// Failures inside window events go here (the library logs them); null: a Qt warning.
void SetViewerFailureHandler(std::function<void(const std::string&)> AHandler);
void ReportViewerFailure(const std::string& AMessage);

// Hands a link to the system's browser or mail program. Replaceable so that tests can watch the
// links without starting programs; null restores the default.
void SetLinkOpener(std::function<void(const std::string&)> AOpener);

}  // namespace jw
