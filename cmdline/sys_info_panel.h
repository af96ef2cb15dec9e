// The system-settings panel: one strip of tabs, each opening a page of the desktop's settings,
// a system folder or the about box. The tabs act like buttons: no tab ever shows as selected,
// so clicking the same tab again runs its action again.
//
// What a tab does goes through the process-wide SysInfoActions (the desktop's programs unless
// a test installed a recording one).
#pragma once

#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

#include "common/vok_types.h"

class QTabBar;

namespace vok::sys {
class ProcessRunner;
}

namespace vok::cmdline {

enum class SysInfoAction {
  kSystem,
  kControlPanel,
  kPrinters,
  kRecycleBin,
  kInternet,
  kDisplay,
  kDateTime,
  kMouse,
  kKeyboard,
  kAboutShell,
};

class SysInfoActions {
 public:
  virtual ~SysInfoActions() = default;
  // Failures are silent: nothing is reported and the panel stays usable.
  virtual void Run(SysInfoAction action) = 0;
};

// The desktop's settings pages (see platform/system/desktop_programs.h); the recycle bin is
// "trash:///" when the desktop can open it, else the home trash's files folder; the about box
// goes through the prompter.
class DesktopSysInfoActions final : public SysInfoActions {
 public:
  void Run(SysInfoAction action) override;
};

// The actions in use: a DesktopSysInfoActions unless others were installed. Never null.
SysInfoActions& CurrentSysInfoActions();
// Installs `actions` (not owned; null restores the desktop's) and returns the previous ones.
SysInfoActions* SetSysInfoActions(SysInfoActions* actions);

// Installs actions for its own lifetime (tests).
class ScopedSysInfoActions {
 public:
  explicit ScopedSysInfoActions(SysInfoActions* actions) : previous_(SetSysInfoActions(actions)) {}
  ~ScopedSysInfoActions() { SetSysInfoActions(previous_); }
  ScopedSysInfoActions(const ScopedSysInfoActions&) = delete;
  ScopedSysInfoActions& operator=(const ScopedSysInfoActions&) = delete;

 private:
  SysInfoActions* previous_;
};

// True when "trash:///" has somewhere to go: a handler is registered for the scheme, or the
// running desktop (`currentDesktop`, as $XDG_CURRENT_DESKTOP) opens it with its own tools.
bool CanOpenTrashUrl(sys::ProcessRunner& runner, std::string_view currentDesktop);

// The about box's text: the system's name from the text of os-release, then the desktop's
// name when known, then `kernel` ("Linux 6.1.0 x86_64").
std::string AboutShellText(std::string_view osRelease, std::string_view desktop,
                           std::string_view kernel);

struct SysInfoTab {
  UINT labelId;
  const char* themeIcon;     // the icon theme's name
  const char* fallbackIcon;  // the library's built-in image
  SysInfoAction action;
};

// Makes the panel's images available (the tabs' built-in ones and the toolbar button's
// ":/vokCmdLine/220.png"); the first call does the work.
void LoadSysInfoImages();

// The tabs in display order: all ten at hint level 1, else the first four and the about tab.
std::vector<SysInfoTab> SysInfoTabs(LONG hintLevel);

class SysInfoPanel final : public QWidget {
 public:
  // The panel starts hidden; the container shows it when its button is chosen.
  SysInfoPanel(LONG hintLevel, QWidget* parent);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void AddTabs(LONG hintLevel);
  void OnTabClicked(int index);

  QTabBar* tabs_ = nullptr;
  std::vector<SysInfoAction> actions_;  // by tab index
};

}  // namespace vok::cmdline
