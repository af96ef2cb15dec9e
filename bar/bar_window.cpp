#include "bar/bar_window.h"

#include <QtWidgets/qdrawutil.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDropEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <algorithm>

#include "bar/about_box.h"
#include "bar/resources/bar_strings.h"
#include "bar/startup_window.h"
#include "bar/typed_line.h"
#include "common/cmdline_ifaces.h"
#include "platform/ui/command_event.h"
#include "platform/ui/dialog_items.h"
#include "platform/ui/prompter.h"

// The tool-strip images are compiled into this static library; naming the initialiser keeps
// the linker from dropping it (it must be named outside any namespace).
static void InitBarWindowResources() { Q_INIT_RESOURCE(bar_window); }

namespace vok::bar {
namespace {

// The window's first size in dialog units (a quarter of the average character width, an
// eighth of the line height); the height then follows the tallest panel.
constexpr int kTemplateWidthUnits = 370;
constexpr int kTemplateHeightUnits = 14;
constexpr QPoint kFirstPosition{80, 200};

constexpr int kToolButtonWidth = 17;
constexpr int kToolButtonHeight = 15;
const QSize kToolImageSize{10, 9};

QRect ToQRect(const RECT& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }
RECT ToRect(const QRect& r) { return RECT{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }
QString Text(UINT id) { return QString::fromStdString(BarString(id)); }

RECT Shifted(RECT r, LONG dx, LONG dy) {
  return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

x11::DockEdge EdgeOf(const UiSettings& settings) {
  return settings.dockEdge == 0 ? x11::DockEdge::kTop : x11::DockEdge::kBottom;
}

SizingEdge SizingEdgeOf(HitZone zone) {
  return zone == HitZone::kLeftBorder ? SizingEdge::kLeft : SizingEdge::kRight;
}

// Runs `body` unless it is already running (a modal loop inside it may tick again).
class ReentryGuard {
 public:
  explicit ReentryGuard(bool& flag) : flag_(flag), entered_(!flag) { flag_ = true; }
  ~ReentryGuard() {
    if (entered_) flag_ = false;
  }
  bool entered() const { return entered_; }

 private:
  bool& flag_;
  bool entered_;
};

}  // namespace

BarWindow::BarWindow(BarHost& host, IUnknown* container, bool flatButtons)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint),
      host_(host),
      flatButtons_(flatButtons),
      drop_(host, *this, container,
            [this] {
              LeaveAutoHide();
              ActivateAfterShowing();
            }),
      contextFolders_(host, container) {
  InitBarWindowResources();
  if (container) {
    panels_ = QueryAs<IvokPanelBar>(container);
    container_ = QueryAs<IvokEngineContainer>(container);
    engineMenus_ = QueryAs<IvokMenuCommands>(container);
  }
  setContentsMargins(kFrameWidth, kFrameWidth, kFrameWidth, kFrameWidth);
  setMouseTracking(true);
  setAcceptDrops(true);
  setWindowTitle(Text(kIdsAppName));
  const QFontMetrics metrics(font());
  resize(kTemplateWidthUnits * metrics.averageCharWidth() / 4,
         kTemplateHeightUnits * metrics.height() / 8 + 2 * kFrameWidth);
  timer_.setInterval(kBarTimerMs);
  connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
}

BarWindow::~BarWindow() {
  timer_.stop();
  qApp->removeEventFilter(this);
  RemoveTrayIcon();
  x11::Desktop& desktop = host_.Desktop();
  if (docked_) desktop.SetStrut(this, currentEdge_, 0);
  desktop.UngrabHotKey();
}

// ---- Initialisation ----

void BarWindow::Initialize() {
  if (initialized_) return;
  move(kFirstPosition);
  CreatePanels();
  if (panels_) {
    LONG panelHeight = -1;
    if (SUCCEEDED(panels_->GetMaxPanelHeight(&panelHeight)) && panelHeight > 0)
      resize(width(), 2 * kFrameWidth + panelHeight - 1);
    panels_->LayoutPanels();
    LONG count = 0;
    if (SUCCEEDED(panels_->GetPanelCount(&count))) panelCount_ = std::max<LONG>(count, 0);
  }
  initialHeight_ = height();
  CreateToolStrip();
  CreatePanelToolbar();
  Relayout();
  minimumWidth_ = MinimumWidth(layout_);
  UpdateSizeLimits();
  BroadcastPanelExtent();
  if (panels_) panels_->SelectPanel(kPanelShowSelected);

  qApp->installEventFilter(this);
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          [this](Qt::ApplicationState state) {
            OnApplicationActivated(state == Qt::ApplicationActive);
          });
  initialized_ = true;
  ApplySettings();
  timer_.start();
}

void BarWindow::CreatePanels() {
  if (!panels_) return;
  // A panel that cannot be made leaves the bar without panels: Enter then does nothing.
  if (FAILED(panels_->CreatePanels(this, kFirstPanelId, kLastPanelId))) panels_.Reset();
}

void BarWindow::CreateToolStrip() {
  toolStrip_ = new QWidget(this);
  ui::SetDialogItemId(toolStrip_, kToolStripId);
  auto* row = new QHBoxLayout(toolStrip_);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  const auto addButton = [&](int id, const char* image) {
    auto* button = new QToolButton(toolStrip_);
    ui::SetDialogItemId(button, id);
    button->setIcon(QIcon(QString::fromUtf8(image)));
    button->setIconSize(kToolImageSize);
    button->setFixedSize(kToolButtonWidth, kToolButtonHeight);
    button->setAutoRaise(flatButtons_);
    button->setToolTip(Text(id));
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, [this, id] { RunCommand(id); });
    row->addWidget(button);
    return button;
  };
  minimizeButton_ = addButton(kCmdMinimizeToTray, ":/vokbar/window/minimize.xpm");
  addButton(kCmdClose, ":/vokbar/window/close.xpm");
}

void BarWindow::CreatePanelToolbar() {
  if (!panels_) return;
  HWND toolbar = nullptr;
  if (panels_->CreateToolbar(kPanelToolbarId, this, &toolbar) != S_OK || !toolbar) return;
  panelToolbar_ = toolbar;
  ui::SetDialogItemId(panelToolbar_, kPanelToolbarId);
  auto* bar = qobject_cast<QToolBar*>(panelToolbar_);
  if (!bar) return;
  // The layout gives each button 22 pixels and no more: without the toolbar's own margins
  // and with buttons of that size, none of them moves into an overflow menu.
  if (QLayout* row = bar->layout()) {
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
  }
  for (QAction* action : bar->actions()) {
    if (QWidget* button = bar->widgetForAction(action))
      button->setFixedSize(kPanelButtonWidth, kPanelButtonHeight);
  }
  // The container's buttons carry their panel identifier as the action's data.
  connect(bar, &QToolBar::actionTriggered, this,
          [this](QAction* action) { RunCommand(action->data().toInt()); });
}

// ---- Layout ----

RECT BarWindow::ClientRect() const { return ToRect(contentsRect()); }
RECT BarWindow::WindowRect() const { return ToRect(geometry()); }

RECT BarWindow::ScreenRect() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? ToRect(screen->geometry()) : RECT{0, 0, 1024, 768};
}

void BarWindow::Relayout() {
  layout_ = ComputeLayout(ClientRect(), panelCount_, static_cast<bool>(panels_));
  if (toolStrip_) toolStrip_->setGeometry(ToQRect(layout_.toolStrip));
  if (panelToolbar_) panelToolbar_->setGeometry(ToQRect(layout_.panelToolbar));
}

void BarWindow::UpdateSizeLimits() {
  if (initialHeight_ <= 0) return;
  if (hidden_) {
    // The hidden strips are narrower and (docked) lower than the bar.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    return;
  }
  const RECT screen = ScreenRect();
  const int minimum = docked_ ? screen.right - screen.left : minimumWidth_;
  setMinimumSize(minimum, initialHeight_);
  setMaximumSize(QWIDGETSIZE_MAX, initialHeight_);
}

void BarWindow::BroadcastPanelExtent() {
  // A collapsed bar has no room: the panels keep the extent they had.
  if (!panels_ || layout_.panelRight <= layout_.panelLeft) return;
  panels_->BroadcastA(layout_.panelLeft, layout_.panelRight);
}

// ---- Positions ----

void BarWindow::MoveWindowTo(const RECT& rect) {
  setGeometry(ToQRect(rect));
  // Move events of a hidden window arrive only when it is shown: record now.
  RecordPosition();
}

void BarWindow::RecordPosition() {
  if (!initialized_ || !recording_) return;
  RECT& slot = RecordedRect(host_.Settings(), hidden_, docked_);
  const RECT now = WindowRect();
  if (SameRect(slot, now)) return;
  slot = now;
  host_.SetSettingsChanged(true);
}

void BarWindow::MoveToRecordedRect() {
  const RECT screen = ScreenRect();
  const RECT saved =
      Shifted(RecordedRect(host_.Settings(), hidden_, docked_), -screen.left, -screen.top);
  const RECT target =
      Shifted(PullIntoScreen(saved, screen.right - screen.left, screen.bottom - screen.top),
              screen.left, screen.top);
  if (IsEmpty(target)) return;  // nothing recorded yet
  recording_ = false;
  setGeometry(ToQRect(target));
  recording_ = true;
}

// ---- Docking and hiding ----

bool BarWindow::DockTo(bool dock, x11::DockEdge edge) {
  const UiSettings& settings = host_.Settings();
  if (dock == docked_ && (!dock || edge == currentEdge_)) {
    UpdateMinimizeButton();
    return true;
  }
  // Dock and undock from the full bar: the strips are cut again afterwards.
  if (hidden_) HideOrShow(false, false);
  if (dock) {
    if (!docked_) {
      x11::Desktop& desktop = host_.Desktop();
      if (!desktop.Available() || !desktop.SetDockType(this, true)) {
        ReportDesktopUnavailable();
        UpdateMinimizeButton();
        return false;
      }
      docked_ = true;
      if (panels_) panels_->BroadcastB(kPanelStateDocked, 1);
    } else {
      host_.Desktop().SetStrut(this, currentEdge_, 0);
    }
    currentEdge_ = edge;
    UpdateSizeLimits();
    SetDockedPosition(edge, settings.autoHide);
    MoveToRecordedRect();
  } else {
    if (panels_) panels_->BroadcastB(kPanelStateDocked, 0);
    x11::Desktop& desktop = host_.Desktop();
    desktop.SetStrut(this, currentEdge_, 0);
    desktop.SetDockType(this, false);
    docked_ = false;
    UpdateSizeLimits();
    MoveToRecordedRect();
  }
  UpdateMinimizeButton();
  if (settings.autoHide) HideOrShow(true, false);
  return true;
}

void BarWindow::SetDockedPosition(x11::DockEdge edge, bool autoHide) {
  if (!docked_) return;
  const RECT screen = ScreenRect();
  const RECT window = DockedWindowRect(edge, screen.right - screen.left, screen.bottom - screen.top,
                                       initialHeight_);
  // Moved first: the reservation covers the window's width where it now stands.
  MoveWindowTo(Shifted(window, screen.left, screen.top));
  host_.Desktop().SetStrut(this, edge, ReservedThickness(autoHide, initialHeight_));
}

void BarWindow::HideOrShow(bool hide, bool reRegister) {
  const UiSettings& settings = host_.Settings();
  if (docked_) {
    if (reRegister) SetDockedPosition(currentEdge_, settings.autoHide);
    const RECT screen = ScreenRect();
    const RECT full = Shifted(DockedWindowRect(currentEdge_, screen.right - screen.left,
                                               screen.bottom - screen.top, initialHeight_),
                              screen.left, screen.top);
    if (!hide) {
      hidden_ = false;
      UpdateSizeLimits();
      if (panels_) panels_->BroadcastB(kPanelStateHidden, 0);
      recording_ = false;
      setGeometry(ToQRect(full));
      recording_ = true;
      if (panels_) panels_->BroadcastC();
    } else {
      hidden_ = true;
      UpdateSizeLimits();
      if (panels_) panels_->BroadcastB(kPanelStateHidden, kPanelStateHidden);
      MoveWindowTo(HiddenDockedRect(full, currentEdge_));
    }
    return;
  }
  if (!hide) {
    hidden_ = false;
    UpdateSizeLimits();
    if (panels_) panels_->BroadcastB(kPanelStateHidden, 0);
    MoveToRecordedRect();
    if (panels_) panels_->BroadcastC();
    if (toolStrip_) toolStrip_->show();
    if (panelToolbar_) panelToolbar_->show();
    return;
  }
  // Keep the shown position: the strip is cut from it and the bar comes back to it.
  if (!hidden_) RecordPosition();
  const RECT strip =
      HiddenFloatingRect(WindowRect(), width() - contentsRect().width(), settings.hideToLeft);
  if (toolStrip_) toolStrip_->hide();
  if (panelToolbar_) panelToolbar_->hide();
  hidden_ = true;
  UpdateSizeLimits();
  if (panels_) panels_->BroadcastB(kPanelStateHidden, kPanelStateHidden);
  MoveWindowTo(strip);
}

void BarWindow::ActivateAfterShowing() {
  raise();
  activateWindow();
}

void BarWindow::UpdateMinimizeButton() {
  if (minimizeButton_) minimizeButton_->setEnabled(!docked_);
}

void BarWindow::ReportDesktopUnavailable() {
  if (desktopProblemReported_) return;
  desktopProblemReported_ = true;
  LogError(BarString(kIdsDesktopUnavailable));
}

void BarWindow::LogError(const std::string& text) {
  // Reported without opening the log window: these arise while settings are applied, often
  // at start, where a modal window would stand in the way.
  if (IvokLog* log = host_.Log()) log->Add(text.c_str(), kLogError);
}

// ---- Settings ----

void BarWindow::ApplySettings() {
  const UiSettings& settings = host_.Settings();
  if (settings.alwaysOnTop != topmost_) ApplyTopmost(settings.alwaysOnTop);
  MoveToRecordedRect();
  if (panels_) panels_->BroadcastB(kPanelStateRecording, 0);
  DockTo(settings.docked, EdgeOf(settings));
  if (panels_) {
    panels_->BroadcastB(kPanelStateRecording, kPanelStateRecording);
    panels_->BroadcastC();
    panels_->SelectPanel(kPanelShowSelected);
  }
  HideOrShow(settings.autoHide, true);
  ApplyHotKey();
  if (settings.trayIconAlways) {
    AddTrayIcon();
  } else if (!minimizedToTray_) {
    // The icon is the only way back while the bar sits in the tray.
    RemoveTrayIcon();
  }
}

void BarWindow::ApplyTopmost(bool topmost) {
  topmost_ = topmost;
  const Qt::WindowFlags flags = topmost
                                    ? windowFlags() | Qt::WindowStaysOnTopHint
                                    : windowFlags() & ~Qt::WindowFlags(Qt::WindowStaysOnTopHint);
  // The widget's record only, never the native window's: through the widget the change would
  // unmap the window (and a dock with it), and through its QWindow Qt replaces the X window at
  // the next show, so the id the desktop set the dock type, strut and state on would be gone.
  // The desktop sets the state itself; a window not created yet takes the flag along.
  overrideWindowFlags(flags);
  host_.Desktop().SetAbove(this, topmost);
}

void BarWindow::ApplyHotKey() {
  const UiSettings& settings = host_.Settings();
  x11::Desktop& desktop = host_.Desktop();
  if (settings.hotKeyCode == 0) {
    desktop.UngrabHotKey();
    return;
  }
  if (!desktop.Available()) {
    ReportDesktopUnavailable();
    return;
  }
  QPointer<BarWindow> self(this);
  const bool grabbed = desktop.GrabHotKey(settings.hotKeyCode, settings.hotKeyModifiers, [self] {
    if (self) self->OnHotKey();
  });
  if (!grabbed) LogError(BarString(kIdsHotKeyTaken));
}

void BarWindow::SetTopmost(bool topmost) {
  if (topmost != topmost_) ApplyTopmost(topmost);
}

void BarWindow::LeaveAutoHide() {
  if (hidden_) HideOrShow(false, false);
}

// ---- Tray ----

void BarWindow::SetTrayAvailability(std::function<bool()> probe) {
  trayAvailable_ = std::move(probe);
}

bool BarWindow::TrayAvailable() const {
  return trayAvailable_ ? trayAvailable_() : QSystemTrayIcon::isSystemTrayAvailable();
}

void BarWindow::AddTrayIcon() {
  if (trayIconPresent_ || !TrayAvailable()) return;
  if (!trayIcon_ && QSystemTrayIcon::isSystemTrayAvailable()) {
    trayIcon_ = std::make_unique<QSystemTrayIcon>(ProgramIcon());
    trayIcon_->setToolTip(Text(kIdsAppName));
    connect(trayIcon_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { OnTrayActivated(reason); });
  }
  if (trayIcon_) trayIcon_->show();
  trayIconPresent_ = true;
}

void BarWindow::RemoveTrayIcon() {
  if (!trayIconPresent_) return;
  if (trayIcon_) trayIcon_->hide();
  trayIconPresent_ = false;
}

void BarWindow::OnTrayActivated(int reason) {
  if (reason == QSystemTrayIcon::Trigger) {
    RestoreFromTray();
  } else if (reason == QSystemTrayIcon::Context) {
    if (isVisible()) ActivateAfterShowing();
    QMenu menu;  // not parented to the bar: Exit may destroy the window
    BuildTrayMenu(menu, CurrentMenuState());
    TrackAndRun(menu, QCursor::pos());
  }
}

void BarWindow::MinimizeToTray() {
  // A docked bar keeps its reserved strip; without a tray the bar would be out of reach.
  if (docked_ || !TrayAvailable()) return;
  hide();
  minimizedToTray_ = true;
  if (!host_.Settings().trayIconAlways) AddTrayIcon();
}

void BarWindow::RestoreFromTray() {
  minimizedToTray_ = false;
  show();
  ActivateAfterShowing();
  if (!host_.Settings().trayIconAlways) RemoveTrayIcon();
}

void BarWindow::OnHotKey() {
  RestoreFromTray();
  if (hidden_) HideOrShow(false, false);
}

// ---- Activation and the timer ----

void BarWindow::OnApplicationActivated(bool active) {
  if (!initialized_ || active == applicationActive_) return;
  applicationActive_ = active;
  const UiSettings& settings = host_.Settings();
  if (!settings.autoMinimize || docked_) {
    if (active && hidden_) HideOrShow(false, false);
    if (!active && settings.autoHide && !hidden_) HideOrShow(true, true);
    return;
  }
  if (active) {
    minimizedToTray_ = false;
    show();
    ActivateAfterShowing();
    if (!settings.trayIconAlways) RemoveTrayIcon();
    if (hidden_) HideOrShow(false, false);
  } else {
    MinimizeToTray();
  }
}

void BarWindow::Tick() {
  ReentryGuard guard(inTick_);
  if (!guard.entered() || !initialized_) return;
  const x11::Desktop& desktop = host_.Desktop();
  const x11::WindowId active = desktop.ActiveWindow();
  const x11::WindowId self = desktop.IdOf(this);
  const bool barActive = isActiveWindow() || (active != 0 && active == self);
  if (host_.Settings().autoHide && !hidden_ && !applicationActive_ && !barActive && !drop_.Busy())
    HideOrShow(true, true);
  // Escape goes back to the application the user came from.
  if (active != 0 && active != self && !applicationActive_) lastOtherWindow_ = active;
  contextFolders_.OnActiveTitle(ActiveWindowTitle(desktop, active, self));
}

// ---- Commands ----

void BarWindow::RunCommand(int id) {
  switch (id) {
    case kCmdMinimizeToTray:
      MinimizeToTray();
      return;
    case kCmdClose:
    case kCmdExit:
      RequestExit();
      return;
    case kCmdAlwaysOnTop:
      ToggleAlwaysOnTop();
      return;
    case kCmdDock:
      ToggleDock();
      return;
    case kCmdAutoHide:
      ToggleAutoHide();
      return;
    case kCmdAutoMinimize:
      ToggleAutoMinimize();
      return;
    case kCmdOpen:
      host_.OpenDataFileWithDialog();
      return;
    case kCmdSave:
      host_.SaveDataFile();
      return;
    case kCmdSaveAs:
      host_.SaveDataFileAs();
      return;
    case kCmdOptions:
      host_.ShowOptions();
      return;
    case kCmdFileManagement:
      RunContainerCommand("*");
      return;
    case kCmdCommandBrowser:
      RunContainerCommand("browse cmd");
      return;
    case kCmdLogFile:
      ShowLog();
      return;
    // The command-line engine's navigation commands.
    case kCmdBack:
      RunContainerCommand("back");
      return;
    case kCmdForward:
      RunContainerCommand("forward");
      return;
    case kCmdUpOneLevel:
      RunContainerCommand("up");
      return;
    case kCmdHelp:
      host_.OpenHelp("qdxhelp.htm");
      return;
    case kCmdGettingStarted:
      host_.OpenHelp("qdx_gs.htm");
      return;
    case kCmdHomePage:
      host_.OpenHomePage();
      return;
    case kCmdAbout:
      ShowAboutBox(this, host_);
      return;
    case kCmdNextPanel:
      if (panels_) panels_->SelectPanel(kPanelNext);
      return;
    case kCmdPreviousPanel:
      if (panels_) panels_->SelectPanel(kPanelPrevious);
      return;
    default:
      break;
  }
  if (id >= kCmdFirstRecentFile && id <= kCmdLastRecentFile) {
    OpenRecentFile(id - kCmdFirstRecentFile);
  } else if (id >= kCmdFirstEngineItem && id <= kCmdLastEngineItem) {
    // The container runs the item's line; it may end the program.
    const ComPtr<IvokMenuCommands> engineMenus = engineMenus_;
    if (engineMenus) engineMenus->RunMenuCommand(id);
  } else if (panels_ && id >= kFirstPanelId && id <= kLastPanelId) {
    panels_->SelectPanel(id);
  }
}

void BarWindow::RunContainerCommand(const char* line) {
  // Held for the call: the line may end the program and release the window's reference.
  const ComPtr<IvokEngineContainer> container = container_;
  if (container) container->Command(line);
}

void BarWindow::OpenRecentFile(int index) {
  // Opening replaces everything in memory: unsaved changes are offered for saving first.
  if (host_.AskToSaveChanges()) host_.OpenRecentFile(static_cast<size_t>(index));
}

void BarWindow::ShowLog() {
  if (IvokLog* log = host_.Log()) log->Show();
}

void BarWindow::RequestExit() {
  // From the event loop: the program may destroy this window inside Exit().
  QMetaObject::invokeMethod(
      this, [this] { host_.Exit(); }, Qt::QueuedConnection);
}

void BarWindow::ToggleDock() {
  UiSettings& settings = host_.Settings();
  settings.docked = !settings.docked;
  host_.SetSettingsChanged(true);
  DockTo(settings.docked, EdgeOf(settings));
}

void BarWindow::ToggleAutoHide() {
  UiSettings& settings = host_.Settings();
  settings.autoHide = !settings.autoHide;
  host_.SetSettingsChanged(true);
  // The reserved strip follows at once (a bar that stopped hiding must not cover windows);
  // hiding itself waits for the next deactivation or tick.
  if (docked_) SetDockedPosition(currentEdge_, settings.autoHide);
  if (!settings.autoHide && hidden_) HideOrShow(false, false);
}

void BarWindow::ToggleAlwaysOnTop() {
  UiSettings& settings = host_.Settings();
  settings.alwaysOnTop = !settings.alwaysOnTop;
  host_.SetSettingsChanged(true);
  SetTopmost(settings.alwaysOnTop);
}

void BarWindow::ToggleAutoMinimize() {
  if (docked_) return;
  UiSettings& settings = host_.Settings();
  settings.autoMinimize = !settings.autoMinimize;
  host_.SetSettingsChanged(true);
}

// ---- Menu ----

void BarWindow::OpenMainMenu(bool withKeyboard) { TrackMainMenu(std::nullopt, withKeyboard); }

void BarWindow::TrackMainMenu(std::optional<QPoint> at, bool withKeyboard) {
  // Not parented to the bar: a chosen command may end the program and destroy the window.
  QMenu menu;
  BuildMainMenu(menu, CurrentMenuState());
  if (withKeyboard) {
    // Once the menu runs: the first menu takes the keyboard.
    QTimer::singleShot(0, &menu, [&menu] { menu.setActiveAction(menu.actions().front()); });
  }
  TrackAndRun(menu, at ? *at : MainMenuPosition(menu));
}

MenuState BarWindow::CurrentMenuState() const {
  return MenuState{host_.Settings(), docked_, host_.RecentFileList(), engineMenus_.Get()};
}

void BarWindow::TrackAndRun(QMenu& menu, const QPoint& at) {
  // Both outlive the window if the chosen command ends the program.
  QPointer<BarWindow> self(this);
  const ComPtr<IvokMenuCommands> engineMenus = engineMenus_;
  QAction* chosen = ui::CurrentPrompter().TrackMenu(menu, at);
  if (chosen && self) RunCommand(chosen->data().toInt());
  // Chosen or not, the engines' items of this menu are void now.
  if (engineMenus) engineMenus->RunMenuCommand(-1);
}

QPoint BarWindow::MainMenuPosition(const QMenu& menu) const {
  // Directly above the bar, or below it where the screen ends above.
  const QRect bar = geometry();
  const int above = bar.top() - menu.sizeHint().height();
  return QPoint(bar.left(), above >= ScreenRect().top ? above : bar.bottom() + 1);
}

// ---- Enter and Escape ----

bool BarWindow::CommandBoxBlank() const {
  for (const QComboBox* box : findChildren<QComboBox*>()) {
    if (ui::DialogItemId(box) == kCommandBoxId && box->isVisibleTo(this))
      return box->currentText().trimmed().isEmpty();
  }
  return true;
}

void BarWindow::RunTypedCommand() {
  if (!panels_) return;
  // Read before the panel takes the line (and empties the box).
  const bool blank = CommandBoxBlank();
  const ComPtr<IvokPanelBar> panels = panels_;  // the line may end the program
  RunTypedLine(panels.Get(), host_.Log(), blank);
}

void BarWindow::CancelAndLeave() {
  QPointer<BarWindow> self(this);
  if (panels_) panels_->CurrentPanelOp();
  if (self) ActivatePreviousWindow();
}

void BarWindow::ActivatePreviousWindow() {
  x11::Desktop& desktop = host_.Desktop();
  const x11::WindowId self = desktop.IdOf(this);
  const std::vector<x11::TopLevelWindow> windows = desktop.TopLevelWindows();
  const auto listed = [&](x11::WindowId id) {
    return std::any_of(windows.begin(), windows.end(),
                       [id](const x11::TopLevelWindow& w) { return w.id == id; });
  };
  if (lastOtherWindow_ != 0 && lastOtherWindow_ != self && listed(lastOtherWindow_)) {
    desktop.Activate(lastOtherWindow_);
    return;
  }
  // The window below the bar in the z-order, else the topmost other one.
  const auto usable = [self](const x11::TopLevelWindow& w) { return w.id != self && !w.minimized; };
  auto bar = std::find_if(windows.begin(), windows.end(),
                          [self](const x11::TopLevelWindow& w) { return w.id == self; });
  auto below = std::find_if(bar == windows.end() ? windows.begin() : bar, windows.end(), usable);
  if (below == windows.end()) below = std::find_if(windows.begin(), windows.end(), usable);
  if (below != windows.end()) desktop.Activate(below->id);
}

// ---- Events ----

bool BarWindow::event(QEvent* event) {
  if (event->type() == ui::CommandEvent::Type()) {
    RunCommand(static_cast<ui::CommandEvent*>(event)->id());
    event->accept();
    return true;
  }
  return QWidget::event(event);
}

bool BarWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget->window() != this) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
  const auto consume = [event] {
    event->accept();
    return true;
  };
  // Enter belongs to the bar wherever the focus is, so the command box cannot swallow it.
  if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
      modifiers == Qt::NoModifier) {
    RunTypedCommand();
    return consume();
  }
  if (key->key() == Qt::Key_Escape && modifiers == Qt::NoModifier) {
    CancelAndLeave();
    return consume();
  }
  // The bar's accelerators: help, next and previous panel.
  if (key->key() == Qt::Key_F1 && modifiers == Qt::NoModifier) {
    RunCommand(kCmdHelp);
    return consume();
  }
  if (modifiers == Qt::AltModifier &&
      (key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp)) {
    RunCommand(key->key() == Qt::Key_PageDown ? kCmdNextPanel : kCmdPreviousPanel);
    return consume();
  }
  return false;
}

void BarWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& colors = palette();
  qDrawShadePanel(&painter, rect(), colors, false, 1);
  // The grip: a fine dotted pattern in the shadow colour on the highlight colour.
  const QRect grip = ToQRect(layout_.grip).adjusted(1, 1, -1, -1);
  if (grip.isEmpty()) return;
  painter.fillRect(grip, colors.color(QPalette::Light));
  painter.fillRect(grip, QBrush(colors.color(QPalette::Dark), Qt::Dense4Pattern));
}

void BarWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!initialized_) return;
  Relayout();
  RecordPosition();
  BroadcastPanelExtent();
}

void BarWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (!initialized_) return;
  RecordPosition();
  // A moving bar drops what hangs below the command box (quick help).
  if (panels_) panels_->CurrentPanelOp();
}

HitZone BarWindow::ZoneAt(const QPoint& pos) const {
  return HitTest(POINT{pos.x(), pos.y()}, width(), height(), ClientRect(), layout_.grip, docked_,
                 hidden_);
}

void BarWindow::StartDrag(HitZone zone, const QPoint& global) {
  drag_ = Drag{zone, global, WindowRect(), false};
}

void BarWindow::ContinueDrag(const QPoint& global) {
  const QPoint delta = global - drag_.pressGlobal;
  RECT r = drag_.startRect;
  if (drag_.zone == HitZone::kCaption) {
    MoveWindowTo(Shifted(r, delta.x(), delta.y()));
    return;
  }
  if (drag_.zone == HitZone::kLeftBorder) r.left += delta.x();
  if (drag_.zone == HitZone::kRightBorder) r.right += delta.x();
  MoveWindowTo(ApplySizingRule(r, SizingEdgeOf(drag_.zone), minimumWidth_, initialHeight_));
}

void BarWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const HitZone zone = ZoneAt(event->position().toPoint());
  const QPoint global = event->globalPosition().toPoint();
  if (zone == HitZone::kLeftBorder || zone == HitZone::kRightBorder) {
    QWindow* window = windowHandle();
    const Qt::Edges edge = zone == HitZone::kLeftBorder ? Qt::LeftEdge : Qt::RightEdge;
    if (window && window->startSystemResize(edge)) return;
    StartDrag(zone, global);
    drag_.started = true;
    return;
  }
  // The grip moves a floating bar once dragged; a click opens the menu.
  if (Contains(layout_.grip,
               POINT{event->position().toPoint().x(), event->position().toPoint().y()}))
    StartDrag(zone, global);
}

void BarWindow::mouseMoveEvent(QMouseEvent* event) {
  const UiSettings& settings = host_.Settings();
  if (settings.autoHide && hidden_) {
    HideOrShow(false, false);
    ActivateAfterShowing();
    return;
  }
  const QPoint global = event->globalPosition().toPoint();
  if (!(event->buttons() & Qt::LeftButton) || drag_.zone == HitZone::kNowhere) {
    const HitZone zone = ZoneAt(event->position().toPoint());
    const bool sizing = zone == HitZone::kLeftBorder || zone == HitZone::kRightBorder;
    setCursor(sizing ? Qt::SizeHorCursor : Qt::ArrowCursor);
    return;
  }
  if (!drag_.started) {
    if (drag_.zone != HitZone::kCaption ||
        (global - drag_.pressGlobal).manhattanLength() < QApplication::startDragDistance())
      return;
    drag_.started = true;
    if (QWindow* window = windowHandle(); window && window->startSystemMove()) {
      drag_ = Drag{};
      return;
    }
  }
  ContinueDrag(global);
}

void BarWindow::mouseReleaseEvent(QMouseEvent* event) {
  const Drag drag = drag_;
  drag_ = Drag{};
  const HitZone zone = ZoneAt(event->position().toPoint());
  if (event->button() == Qt::LeftButton) {
    if (drag.zone != HitZone::kNowhere && !drag.started &&
        Contains(layout_.grip,
                 POINT{event->position().toPoint().x(), event->position().toPoint().y()}))
      OpenMainMenu(false);
    return;
  }
  if (event->button() == Qt::RightButton && (zone == HitZone::kClient || zone == HitZone::kCaption))
    OpenMainMenu(false);
}

void BarWindow::enterEvent(QEnterEvent* event) {
  QWidget::enterEvent(event);
  if (host_.Settings().autoHide && hidden_) {
    HideOrShow(false, false);
    ActivateAfterShowing();
  }
}

// Drops are handled by the drop handler; the bar only comes out of hiding for an accepted drag.
void BarWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (drop_.DragOver(*event)) LeaveAutoHide();
}

void BarWindow::dragMoveEvent(QDragMoveEvent* event) { drop_.DragOver(*event); }

void BarWindow::dragLeaveEvent(QDragLeaveEvent*) { drop_.DragLeft(); }

void BarWindow::dropEvent(QDropEvent* event) { drop_.Drop(*event); }

void BarWindow::closeEvent(QCloseEvent* event) {
  // The exit routine decides; the program destroys the window when it goes ahead.
  event->ignore();
  RequestExit();
}

}  // namespace vok::bar
