// The desktop programs behind the system commands: the settings program
// and its pages, the printer and network settings, a file-search tool, the run dialog, the
// application launcher, the web browser and the terminal.
//
// | tool          | candidates, best first (the running desktop's come first)                 |
// |---------------|---------------------------------------------------------------------------|
// | settings      | gnome-control-center, systemsettings, cinnamon-settings,                  |
// |               | xfce4-settings-manager, mate-control-center, lxqt-config                  |
// | date and time | gnome-control-center datetime, systemsettings kcm_clock,                  |
// |               | cinnamon-settings calendar, mate-time-admin, time-admin                   |
// | system        | gnome-control-center info-overview, kinfocenter, cinnamon-settings info,  |
// |               | xfce4-about                                                               |
// | display       | gnome-control-center display, systemsettings kcm_kscreen,                 |
// |               | cinnamon-settings display, xfce4-display-settings,                        |
// |               | mate-display-properties, lxqt-config-monitor, arandr                      |
// | mouse         | gnome-control-center mouse, systemsettings kcm_mouse,                     |
// |               | cinnamon-settings mouse, xfce4-mouse-settings, mate-mouse-properties,     |
// |               | lxqt-config-input                                                         |
// | keyboard      | gnome-control-center keyboard, systemsettings kcm_keyboard,               |
// |               | cinnamon-settings keyboard, xfce4-keyboard-settings,                      |
// |               | mate-keyboard-properties, lxqt-config-input                               |
// | printers      | gnome-control-center printers, systemsettings kcm_printer_manager,        |
// |               | system-config-printer                                                     |
// | network       | gnome-control-center network, systemsettings kcm_networkmanagement,       |
// |               | cinnamon-settings network, nm-connection-editor                           |
// | file search   | catfish, kfind, mate-search-tool, gnome-search-tool, fsearch              |
// | run dialog    | krunner, xfce4-appfinder --collapsed, mate-panel --run-dialog,            |
// |               | rofi -show run                                                            |
// | app launcher  | xfce4-popup-whiskermenu, xfce4-appfinder, rofi -show drun                 |
// | web browser   | $BROWSER (its first entry), x-www-browser, sensible-browser               |
// | terminal      | $TERMINAL, x-terminal-emulator, gnome-terminal, konsole, xfce4-terminal,  |
// |               | mate-terminal, alacritty, kitty, xterm                                    |
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/com/runtime.h"

namespace vok::sys {

class ProcessRunner;

enum class DesktopTool {
  kSettings,
  kDateTime,
  kSystemInfo,
  kDisplay,
  kMouse,
  kKeyboard,
  kPrinters,
  kFileSearch,
  kRunDialog,
  kAppLauncher,
  kWebBrowser,
  kNetwork,
};

// What the choices depend on.
struct DesktopEnvironment {
  std::string currentDesktop;  // $XDG_CURRENT_DESKTOP: desktop names separated by ":"
  std::string browser;         // $BROWSER: commands separated by ":"
  std::string terminal;        // $TERMINAL: a terminal program

  VOK_PLATFORM_API static DesktopEnvironment FromProcess();
};

// The command lines that provide `tool`, best first: those made for one of the running
// desktops come first, the others keep the table's order.
VOK_PLATFORM_API std::vector<std::vector<std::string>> ToolCandidates(
    DesktopTool tool, const DesktopEnvironment& environment);

// Starts the first candidate whose program `runner` finds. False when none is installed or
// the one found could not be started.
VOK_PLATFORM_API bool LaunchDesktopTool(DesktopTool tool, ProcessRunner& runner,
                                        const DesktopEnvironment& environment);
// The same with the process's runner and environment.
VOK_PLATFORM_API bool LaunchDesktopTool(DesktopTool tool);

// The command line of a terminal window: the first installed terminal alone when `program`
// is empty, else the terminal with its own option for running a program followed by
// `program`. nullopt when no terminal is installed.
VOK_PLATFORM_API std::optional<std::vector<std::string>> TerminalCommand(
    const std::vector<std::string>& program, ProcessRunner& runner,
    const DesktopEnvironment& environment);

// Opens a terminal window in `workDir`. With a `command`, the terminal runs
// `sh -c command` (this is the one place where a command line reaches a shell: running it is
// what the user asked for). False when no terminal is installed or it could not be started.
VOK_PLATFORM_API bool OpenTerminal(const std::string& workDir, const std::string& command);

}  // namespace vok::sys
