// What the parts of the bar program share: the bar's settings, the window operations the
// user-interface engine and the program call, and the program's own operations (exit, data
// file, options, help). The application object implements BarHost for the program's lifetime;
// the bar window implements BarWindowControl while it exists (never in headless mode).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/vok_types.h"
#include "platform/x11/desktop.h"

class QWidget;
struct IvokLog;

namespace vok::bar {

// Makes the current directory follow an application whose title matches.
struct ContextFolder {
  std::string title;
  std::string folder;
  bool matchCase = false;
  bool wholeTitle = false;
  bool operator==(const ContextFolder&) const = default;
};

// Save-on-exit choices.
constexpr int32_t kSaveWithoutAsking = 0;
constexpr int32_t kAskBeforeSaving = 1;
constexpr int32_t kExitWithoutSaving = 2;

}  // namespace vok::bar

// Rectangles compare field by field (UiSettings compares its rectangles).
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace vok::bar {

// The bar's settings, saved in the "UI_DATA" record; the defaults are a new bar's.
struct UiSettings {
  bool autoHide = false;
  bool alwaysOnTop = true;
  bool docked = false;
  int32_t dockEdge = 1;    // 0 top, 1 bottom
  bool hideToLeft = true;  // floating and hidden: the left end stays visible
  int32_t saveOnExit = kAskBeforeSaving;
  uint8_t hotKeyCode = 0;       // virtual-key code, 0 = none
  uint8_t hotKeyModifiers = 0;  // x11::kHotKeyShift | kHotKeyCtrl | kHotKeyAlt
  bool trayIconAlways = true;
  bool extractUrlOnDrop = true;
  bool autoMinimize = false;
  RECT floatingRect{};  // all-zero: none recorded yet
  RECT dockedRect{};
  RECT hiddenRect{};
  std::vector<ContextFolder> contextFolders;
  bool operator==(const UiSettings&) const = default;
};

// The bar window as others drive it. Every operation follows the window rules of the bar
// (docking, auto-hide, tray); none of them marks the settings changed by itself.
class BarWindowControl {
 public:
  // Topmost, recorded rectangle, dock or undock, hide or show, hot key, tray icon: makes the
  // window follow the settings.
  virtual void ApplySettings() = 0;
  // Shows the bar when it is auto-hidden.
  virtual void LeaveAutoHide() = 0;
  // Topmost on or off (callers check the always-on-top setting).
  virtual void SetTopmost(bool topmost) = 0;
  virtual void MinimizeToTray() = 0;
  virtual void RestoreFromTray() = 0;
  // Opens the bar's main menu; `withKeyboard` gives the first menu the keyboard focus.
  virtual void OpenMainMenu(bool withKeyboard) = 0;
  // The window height after initialisation (the floating rectangle is re-based on it after a
  // data file is read).
  virtual int InitialHeight() const = 0;
  // The top-level window (owner of message boxes and dialogs).
  virtual QWidget* Widget() = 0;

 protected:
  ~BarWindowControl() = default;
};

// The application as the user-interface engine and the bar window use it.
class BarHost {
 public:
  virtual UiSettings& Settings() = 0;
  virtual bool SettingsChanged() const = 0;
  virtual void SetSettingsChanged(bool changed) = 0;

  // The bar window; null in headless mode and before the window exists.
  virtual BarWindowControl* Window() = 0;
  virtual x11::Desktop& Desktop() = 0;
  // The log every engine writes to (not owned; valid for the program's lifetime).
  virtual IvokLog* Log() = 0;

  // The exit routine: the save question, then closing. False when the user cancelled or the
  // save failed (the program goes on).
  virtual bool Exit() = 0;
  // The save question of the exit routine without closing: true when the caller may go on
  // (saved, not dirty, or the user said No).
  virtual bool AskToSaveChanges() = 0;
  // The data-file operations; each returns true when a file was opened or saved, false when a
  // dialog was cancelled or the operation failed (failures are reported to the user).
  virtual bool OpenDataFileWithDialog() = 0;
  virtual bool SaveDataFile() = 0;
  virtual bool SaveDataFileAs() = 0;
  // The recent-files list, most recent first.
  virtual std::vector<std::string> RecentFileList() const = 0;
  // Opens entry `index` of that list without a dialog (no save question: callers ask first);
  // a failure is reported to the user and the entry leaves the list.
  virtual bool OpenRecentFile(size_t index) = 0;
  // The options sheet (the container's properties).
  virtual void ShowOptions() = 0;
  // Opens a page of the help below the program's help folder (e.g. "qdxhelp.htm").
  virtual void OpenHelp(const std::string& page) = 0;
  // Opens the program's home page with the desktop's web browser.
  virtual void OpenHomePage() = 0;

 protected:
  ~BarHost() = default;
};

}  // namespace vok::bar
