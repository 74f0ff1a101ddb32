#include "viewer/qt/JWQtWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QWindow>

#include "viewer/core/JW2Form.h"
#include "viewer/qt/JWCodePage.h"
#include "viewer/qt/JWQtSettings.h"

namespace jw {

namespace {

const char* const kSlotId = "jwSlotId";

uintptr_t& HostWindowId() {
  static uintptr_t id = 0;
  return id;
}

std::function<void(const std::string&)>& FailureHandler() {
  static std::function<void(const std::string&)> handler;
  return handler;
}

std::function<void(const std::string&)>& LinkOpener() {
  static std::function<void(const std::string&)> opener;
  return opener;
}

// Runs a model call; what it raises goes to the failure handler, not through the event loop.
template <class F>
void Guard(F&& AWork) {
  try {
    AWork();
  } catch (const std::exception& e) {
    ReportViewerFailure(e.what());
  }
}

QColor ToQColor(TJWColor AColor) {
  return QColor(int((AColor >> 16) & 0xFF), int((AColor >> 8) & 0xFF), int(AColor & 0xFF));
}

// A list of ItemCount empty rows: the rows are painted from the window model.
class TRowModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;
  int rowCount(const QModelIndex& AParent = QModelIndex()) const override {
    return AParent.isValid() ? 0 : FCount;
  }
  QVariant data(const QModelIndex&, int) const override { return {}; }
  void SetCount(int ACount) {
    beginResetModel();
    FCount = ACount;
    endResetModel();
  }
  int Count() const { return FCount; }

 private:
  int FCount = 0;
};

class TRowDelegate : public QStyledItemDelegate {
 public:
  TRowDelegate(QObject* AParent, TJWWindowModel& AModel, int32_t AId)
      : QStyledItemDelegate(AParent), FModel(AModel), FId(AId) {}
  int32_t RowHeight = 15;
  void paint(QPainter* APainter, const QStyleOptionViewItem& AOption,
             const QModelIndex& AIndex) const override {
    Guard([&] {
      const TJWDisplayList row = FModel.PaintListRow(
          *QtMetrics(), FId, AIndex.row(), AOption.state.testFlag(QStyle::State_Selected));
      APainter->save();
      APainter->setClipRect(AOption.rect);
      APainter->translate(AOption.rect.topLeft());
      DrawDisplayList(*APainter, row, *QtMetrics());
      APainter->restore();
    });
  }
  QSize sizeHint(const QStyleOptionViewItem& AOption, const QModelIndex&) const override {
    return {AOption.rect.width(), RowHeight};
  }

 private:
  TJWWindowModel& FModel;
  int32_t FId;
};

}  // namespace

std::shared_ptr<TJWQtTextMetrics> QtMetrics() {
  static const auto metrics = std::make_shared<TJWQtTextMetrics>();
  return metrics;
}

void SetViewerFailureHandler(std::function<void(const std::string&)> AHandler) {
  FailureHandler() = std::move(AHandler);
}

void ReportViewerFailure(const std::string& AMessage) {
  if (FailureHandler())
    FailureHandler()(AMessage);
  else
    qWarning("%s", AMessage.c_str());
}

void SetLinkOpener(std::function<void(const std::string&)> AOpener) {
  LinkOpener() = std::move(AOpener);
}

void TJWQtWindow::SetHostWindow(uintptr_t AWindowId) {
  HostWindowId() = AWindowId;
}

TJWQtWindow::TJWQtWindow(std::unique_ptr<TJWWindowModel> AModel, std::string ASettingsKey,
                         QWidget* AParent)
    : QDialog(AParent), FModel(std::move(AModel)), FSettingsKey(std::move(ASettingsKey)) {
  setObjectName("frmJW");
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(FModel->ClientWidth(), FModel->ClientHeight());
  move(TfrmJW::kDesignLeft, TfrmJW::kDesignTop);
  setMouseTracking(true);
  setWindowTitle(ToQString(FModel->Caption()));
  // Takes the focus outside the client area, so that no visible control shows it.
  FFocusSink = new QPushButton(this);
  FFocusSink->setObjectName("btnUnFocus");
  FFocusSink->setGeometry(28, -32, 61, 17);

  FModel->OnInvalidate = [this] { ScheduleSync(); };
  FModel->OnClose = [this] { close(); };
  FModel->OnOpenUrl = [](const std::string& AUrl) {
    if (LinkOpener()) return LinkOpener()(AUrl);
    // The program may be missing; nothing is reported then.
    QDesktopServices::openUrl(QUrl(ToQString(AUrl), QUrl::TolerantMode));
  };
  FModel->OnOpenWindow = [this](std::unique_ptr<TJWWindowModel> AWindow) {
    auto* window = new TJWQtWindow(std::move(AWindow), FSettingsKey, this);
    window->move(pos() + QPoint(10, 10));
    window->show();
  };
  Sync();
}

TJWQtWindow::~TJWQtWindow() {
  // Neither the model's events nor the controls' may reach a window half torn down; the controls
  // go before the model they paint from.
  FApplying = true;
  FModel->OnInvalidate = nullptr;
  FModel->OnClose = nullptr;
  FModel->OnOpenWindow = nullptr;
  for (auto& [id, control] : FControls) delete control.data();
}

QWidget* TJWQtWindow::Control(int32_t AId) const {
  const auto it = FControls.find(AId);
  return it == FControls.end() ? nullptr : it->second.data();
}

void TJWQtWindow::ScheduleSync() {
  if (FSyncPending) return;
  FSyncPending = true;
  QTimer::singleShot(0, this, [this] {
    if (FSyncPending) Sync();
  });
}

void TJWQtWindow::Sync() {
  FSyncPending = false;
  Guard([&] {
    FModel->NativeWindow = testAttribute(Qt::WA_WState_Created) ? uintptr_t(winId()) : 0;
    setWindowTitle(ToQString(FModel->Caption()));
    FList = FModel->Paint(*QtMetrics());
  });
  std::map<int32_t, QPointer<QWidget>> controls;
  FApplying = true;
  for (const TJWControlSlot& slot : FList.Controls) {
    QWidget* control = Control(slot.Id);
    if (!control) control = MakeControl(slot);
    ApplySlot(control, slot);
    controls[slot.Id] = control;
    FControls.erase(slot.Id);
  }
  FApplying = false;
  // Slots that are gone take their controls with them.
  for (auto& [id, control] : FControls) delete control.data();
  FControls = std::move(controls);
  update();
}

QWidget* TJWQtWindow::MakeControl(const TJWControlSlot& ASlot) {
  QWidget* control = nullptr;
  const int32_t id = ASlot.Id;
  switch (ASlot.Kind) {
    case TJWControlKind::ckList: {
      auto* list = new QListView(this);
      auto* rows = new TRowModel(list);
      list->setModel(rows);
      list->setItemDelegate(new TRowDelegate(list, *FModel, id));
      list->setFrameShape(QFrame::NoFrame);
      list->setUniformItemSizes(true);
      list->setSelectionMode(QAbstractItemView::SingleSelection);
      list->setEditTriggers(QAbstractItemView::NoEditTriggers);
      list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
      connect(
          list->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this, id](const QModelIndex& AIndex) {
            Send({TJWControlEventKind::ceListSelect, id, AIndex.isValid() ? AIndex.row() : -1, ""});
          });
      connect(list, &QListView::doubleClicked, this, [this, id](const QModelIndex& AIndex) {
        Send({TJWControlEventKind::ceListActivate, id, AIndex.row(), ""});
      });
      connect(list->verticalScrollBar(), &QScrollBar::valueChanged, this, [this, id](int AValue) {
        Send({TJWControlEventKind::ceListScroll, id, AValue, ""});
      });
      control = list;
      break;
    }
    case TJWControlKind::ckEdit: {
      auto* edit = new QLineEdit(this);
      connect(edit, &QLineEdit::textChanged, this, [this, id](const QString& AText) {
        Send({TJWControlEventKind::ceEditChange, id, -1, FromQString(AText)});
      });
      connect(edit, &QLineEdit::returnPressed, this, [this, id] {
        Send({TJWControlEventKind::ceEditEnter, id, -1, ""});
      });
      control = edit;
      break;
    }
    case TJWControlKind::ckComboBox: {
      auto* box = new QComboBox(this);
      box->setCursor(Qt::PointingHandCursor);
      connect(box, &QComboBox::currentIndexChanged, this, [this, id](int AIndex) {
        Send({TJWControlEventKind::ceComboSelect, id, AIndex, ""});
      });
      control = box;
      break;
    }
    case TJWControlKind::ckRadio: {
      auto* radio = new QRadioButton(this);
      radio->setCursor(Qt::PointingHandCursor);
      connect(radio, &QRadioButton::toggled, this, [this, id](bool AOn) {
        if (AOn) Send({TJWControlEventKind::ceRadioCheck, id, -1, ""});
      });
      control = radio;
      break;
    }
  }
  control->setProperty(kSlotId, id);
  control->setMouseTracking(true);
  control->installEventFilter(this);
  control->show();
  return control;
}

// Runs inside Sync: what the controls report while they are set is not sent back to the model.
void TJWQtWindow::ApplySlot(QWidget* AControl, const TJWControlSlot& ASlot) {
  AControl->setGeometry(ASlot.Rect.Left, ASlot.Rect.Top, ASlot.Rect.Width, ASlot.Rect.Height);
  AControl->setEnabled(ASlot.Enabled);
  const QFont font = ToQFont(ASlot.Font);
  if (AControl->font() != font) AControl->setFont(font);
  if (auto* list = qobject_cast<QListView*>(AControl)) {
    QPalette pal = list->palette();
    pal.setColor(QPalette::Base, ToQColor(ASlot.Color));
    pal.setColor(QPalette::Text, ToQColor(ASlot.TextColor));
    list->setPalette(pal);
    static_cast<TRowDelegate*>(list->itemDelegate())->RowHeight = ASlot.RowHeight;
    auto* rows = static_cast<TRowModel*>(list->model());
    if (rows->Count() != ASlot.ItemCount) rows->SetCount(ASlot.ItemCount);
    const QModelIndex current = list->currentIndex();
    if (ASlot.Selection < 0 && current.isValid()) {
      list->clearSelection();
      list->setCurrentIndex(QModelIndex());
    } else if (ASlot.Selection >= 0 && current.row() != ASlot.Selection) {
      list->setCurrentIndex(rows->index(ASlot.Selection));
    }
    if (list->verticalScrollBar()->value() != ASlot.TopRow)
      list->verticalScrollBar()->setValue(ASlot.TopRow);
    list->viewport()->update();
  } else if (auto* edit = qobject_cast<QLineEdit*>(AControl)) {
    if (FromQString(edit->text()) != ASlot.Text) edit->setText(ToQString(ASlot.Text));
    edit->setMaxLength(ASlot.MaxLength > 0 ? ASlot.MaxLength : 32767);
  } else if (auto* box = qobject_cast<QComboBox*>(AControl)) {
    QStringList items;
    for (const std::string& item : ASlot.Items) items << ToQString(item);
    QStringList shown;
    for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
    if (shown != items) {
      box->clear();
      box->addItems(items);
    }
    if (box->currentIndex() != ASlot.Selection) box->setCurrentIndex(ASlot.Selection);
  } else if (auto* radio = qobject_cast<QRadioButton*>(AControl)) {
    radio->setText(ToQString(ASlot.Text));
    if (radio->isChecked() != ASlot.Checked) radio->setChecked(ASlot.Checked);
  }
}

void TJWQtWindow::Send(const TJWControlEvent& AEvent) {
  if (FApplying) return;
  Guard([&] { FModel->ControlEvent(AEvent); });
}

void TJWQtWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  DrawDisplayList(painter, FList, *QtMetrics());
}

void TJWQtWindow::mouseMoveEvent(QMouseEvent* AEvent) {
  const QPoint at = AEvent->position().toPoint();
  Guard([&] {
    FModel->MouseMove(at.x(), at.y());
    setCursor(FModel->CursorAt(at.x(), at.y()) == TJWCursor::crHand ? Qt::PointingHandCursor
                                                                    : Qt::ArrowCursor);
  });
}

void TJWQtWindow::mouseReleaseEvent(QMouseEvent* AEvent) {
  const QPoint at = AEvent->position().toPoint();
  if (AEvent->button() == Qt::LeftButton && rect().contains(at))
    Guard([&] { FModel->Click(at.x(), at.y()); });
}

void TJWQtWindow::mouseDoubleClickEvent(QMouseEvent* AEvent) {
  const QPoint at = AEvent->position().toPoint();
  if (AEvent->button() == Qt::LeftButton) Guard([&] { FModel->DoubleClick(at.x(), at.y()); });
}

void TJWQtWindow::leaveEvent(QEvent* AEvent) {
  QDialog::leaveEvent(AEvent);
  Guard([&] { FModel->MouseLeave(); });
}

bool TJWQtWindow::event(QEvent* AEvent) {
  if (AEvent->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(AEvent);
    std::string tip;
    Guard([&] { tip = FModel->ToolTipAt(help->pos().x(), help->pos().y()); });
    if (tip.empty())
      QToolTip::hideText();
    else
      QToolTip::showText(help->globalPos(), ToQString(tip), this);
    return true;
  }
  return QDialog::event(AEvent);
}

bool TJWQtWindow::eventFilter(QObject* AWatched, QEvent* AEvent) {
  // The mouse over a native control has left the painted area.
  if (AEvent->type() == QEvent::Enter && AWatched->property(kSlotId).isValid())
    Guard([&] { FModel->MouseLeave(); });
  return QDialog::eventFilter(AWatched, AEvent);
}

void TJWQtWindow::ApplyHostWindow() {
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

void TJWQtWindow::setVisible(bool AVisible) {
  // The host window must be known before the window manager first sees ours.
  if (AVisible && !isVisible()) ApplyHostWindow();
  QDialog::setVisible(AVisible);
}

void TJWQtWindow::showEvent(QShowEvent* AEvent) {
  QDialog::showEvent(AEvent);
  if (AEvent->spontaneous()) return;
  FModel->NativeWindow = uintptr_t(winId());
  if (!FSettingsKey.empty()) {
    TJWQtSettingsStore store(FSettingsKey);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(1024, 768);
    const QRect frame = frameGeometry();
    const TJWPlacement placement =
        LoadPlacement(store, TfrmJW::kPlacementSection,
                      {pos().x(), pos().y(), frame.width(), frame.height(), false},
                      screenSize.width(), screenSize.height());
    move(placement.Left, placement.Top);
    const QSize margins = frame.size() - size();
    resize(placement.Width - margins.width(), placement.Height - margins.height());
    if (placement.Maximized) setWindowState(windowState() | Qt::WindowMaximized);
  }
  FFocusSink->setFocus();
}

void TJWQtWindow::reject() {
  // Esc (and any other cancel) closes the window the way the closing button does; while
  // closing, the dialog just finishes.
  if (FClosing)
    QDialog::reject();
  else
    Guard([&] { FModel->Key(TJWKey::kEscape); });
}

void TJWQtWindow::closeEvent(QCloseEvent* AEvent) {
  FClosing = true;
  if (!FSettingsKey.empty()) {
    // pos() is the outer corner, the same point move() places.
    const QRect frame = frameGeometry();
    TJWQtSettingsStore store(FSettingsKey);
    SavePlacement(store, TfrmJW::kPlacementSection,
                  {pos().x(), pos().y(), frame.width(), frame.height(), isMaximized()});
  }
  QDialog::closeEvent(AEvent);
  FClosing = false;
}

}  // namespace jw
