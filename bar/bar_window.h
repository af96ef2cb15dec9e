// The bar window: a thin frameless tool window with a grip (menu button and move handle), the
// container's panel toolbar and panels, and a two-button tool strip (minimise to tray, close).
// It floats or docks at the top or bottom screen edge (reserving its height from the work
// area), auto-hides to a strip, stays on top, minimises to the tray, and comes forward on a
// global hot key. The engine container drives the panels through IvokPanelBar.
//
// Lifetime: the program creates the window, calls Initialize() once, opens the last data file
// and shows the window; it destroys the window when the exit routine goes ahead. The host and
// its desktop must outlive the window. The window never deletes itself: exit requests reach
// BarHost::Exit() from the event loop, so the program may delete the window inside Exit().
// The container creates its panels and panel toolbar as children of this window: they are
// destroyed with it, so whoever keeps pointers to them must hold them as QPointer.
//
// Commands arrive as RunCommand() calls or as ui::CommandEvent (SendCommand) with the
// identifiers below. Enter, Escape, F1 and Alt+Page Down/Up are taken wherever the focus is
// inside the window (an application event filter), before any child sees them.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "bar/bar_host.h"
#include "bar/bar_layout.h"
#include "bar/context_folders.h"
#include "bar/drop_handling.h"
#include "bar/main_menu.h"
#include "common/container_ifaces.h"
#include "platform/com/com_ptr.h"

class QMenu;
class QSystemTrayIcon;
class QToolButton;

namespace vok::bar {

// Dialog-item ids of the bar's controls and of the command box it reads.
constexpr int kToolStripId = 101;
constexpr int kPanelToolbarId = 129;
constexpr int kCommandBoxId = 201;

// BroadcastB state bits.
constexpr LONG kPanelStateDocked = 1;
constexpr LONG kPanelStateHidden = 2;
constexpr LONG kPanelStateRecording = 4;

constexpr int kBarTimerMs = 400;

class BarWindow final : public QWidget, public BarWindowControl {
 public:
  // `container` is the engine container's IUnknown (borrowed; its IvokPanelBar,
  // IvokEngineContainer and IvokMenuCommands are kept while the window lives; may be null).
  // `flatButtons` selects flat tool buttons.
  BarWindow(BarHost& host, IUnknown* container, bool flatButtons);
  ~BarWindow() override;
  BarWindow(const BarWindow&) = delete;
  BarWindow& operator=(const BarWindow&) = delete;

  // Sets the window up: panels, height from the tallest panel, tool strip, panel toolbar,
  // minimum width, title, settings, timer. Neither shows the window nor opens a data file.
  void Initialize();

  // ---- BarWindowControl ----
  void ApplySettings() override;
  void LeaveAutoHide() override;
  void SetTopmost(bool topmost) override;
  void MinimizeToTray() override;
  void RestoreFromTray() override;
  void OpenMainMenu(bool withKeyboard) override;
  int InitialHeight() const override { return initialHeight_; }
  QWidget* Widget() override { return this; }

  // ---- State ----
  // Docked now (the desktop accepted the dock); the setting may say docked while the desktop
  // refused.
  bool Docked() const { return docked_; }
  bool AutoHidden() const { return hidden_; }
  bool TrayIconPresent() const { return trayIconPresent_; }
  bool Topmost() const { return topmost_; }
  const BarLayout& Layout() const { return layout_; }

  // Replaces the probe that tells whether the desktop shows tray icons (QSystemTrayIcon's
  // answer by default). Without a tray the bar never minimises itself to it.
  void SetTrayAvailability(std::function<bool()> probe);

  // ---- Event entry points (the window's own signals call them; tests drive them) ----
  // The 400-ms tick: auto-hide check, tracking of the last other active window, context
  // folders.
  void Tick();
  // The application became active or inactive (auto-hide, auto-minimize).
  void OnApplicationActivated(bool active);
  // The global hot key was pressed.
  void OnHotKey();
  // The tray icon was clicked (QSystemTrayIcon::ActivationReason): Trigger restores the bar,
  // Context opens the tray menu at the cursor.
  void OnTrayActivated(int reason);
  // A command of a menu item, a tool button or a panel button. Unknown ids are ignored.
  void RunCommand(int id);
  // Enter and Escape as the bar handles them wherever the focus is inside the window.
  void RunTypedCommand();
  void CancelAndLeave();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // A manual move or size drag where the window system cannot take it over.
  struct Drag {
    HitZone zone = HitZone::kNowhere;
    QPoint pressGlobal;
    RECT startRect{};
    bool started = false;  // moved beyond the drag distance
  };

  void CreatePanels();
  void CreateToolStrip();
  void CreatePanelToolbar();
  void Relayout();
  void UpdateSizeLimits();
  void BroadcastPanelExtent();

  RECT WindowRect() const;
  RECT ClientRect() const;
  RECT ScreenRect() const;
  void MoveWindowTo(const RECT& rect);
  void RecordPosition();
  void MoveToRecordedRect();

  bool DockTo(bool dock, x11::DockEdge edge);
  void SetDockedPosition(x11::DockEdge edge, bool autoHide);
  void HideOrShow(bool hide, bool reRegister);
  void ActivateAfterShowing();
  void UpdateMinimizeButton();
  void ApplyTopmost(bool topmost);
  void ApplyHotKey();
  bool TrayAvailable() const;
  void AddTrayIcon();
  void RemoveTrayIcon();
  void ReportDesktopUnavailable();
  void LogError(const std::string& text);
  void RequestExit();

  void ToggleDock();
  void ToggleAutoHide();
  void ToggleAlwaysOnTop();
  void ToggleAutoMinimize();
  // The main menu at `at` (screen coordinates), by default just above or below the bar.
  void TrackMainMenu(std::optional<QPoint> at, bool withKeyboard);
  QPoint MainMenuPosition(const QMenu& menu) const;
  MenuState CurrentMenuState() const;
  // Tracks `menu`, runs the chosen command, then lets the engines forget their menu items.
  // The window may be gone on return (a command can end the program).
  void TrackAndRun(QMenu& menu, const QPoint& at);
  void RunContainerCommand(const char* line);
  void OpenRecentFile(int index);
  void ShowLog();

  bool CommandBoxBlank() const;
  void ActivatePreviousWindow();
  HitZone ZoneAt(const QPoint& pos) const;
  void StartDrag(HitZone zone, const QPoint& global);
  void ContinueDrag(const QPoint& global);

  BarHost& host_;
  ComPtr<IvokPanelBar> panels_;
  ComPtr<IvokEngineContainer> container_;  // runs the menus' command lines
  ComPtr<IvokMenuCommands> engineMenus_;   // fills the Favorites popups
  bool flatButtons_;

  BarLayout layout_;
  int panelCount_ = 0;
  int minimumWidth_ = 0;
  int initialHeight_ = 0;
  QWidget* toolStrip_ = nullptr;
  QToolButton* minimizeButton_ = nullptr;
  QPointer<QWidget> panelToolbar_;  // the container's toolbar, a child of this window
  QTimer timer_;
  std::unique_ptr<QSystemTrayIcon> trayIcon_;

  bool initialized_ = false;
  bool docked_ = false;  // registered as a dock with the desktop
  x11::DockEdge currentEdge_ = x11::DockEdge::kBottom;
  bool hidden_ = false;
  bool recording_ = true;
  bool topmost_ = false;
  bool applicationActive_ = true;
  bool trayIconPresent_ = false;
  bool minimizedToTray_ = false;
  std::function<bool()> trayAvailable_;
  bool inTick_ = false;
  bool desktopProblemReported_ = false;
  x11::WindowId lastOtherWindow_ = 0;
  Drag drag_;
  DropHandler drop_;  // the window is the drop target; the handler carries drops out
  ContextFolders contextFolders_;
};

}  // namespace vok::bar
