// The bar's menus: the main menu (File, View, Go, Favorites, Tools, Help) and the tray icon's
// context menu, built as QMenu trees whose actions carry their command identifier as data().
// They are built afresh every time they open, from the settings and the window's state, so
// the check marks, the recent files and the engines' favorites are always current.
#pragma once

#include <QString>
#include <cstddef>
#include <string>
#include <vector>

#include "bar/bar_host.h"

class QMenu;
struct IvokMenuCommands;

namespace vok::bar {

// Command identifiers of the bar (menu items, tool buttons, panel buttons).
constexpr int kCmdOptions = 32;
constexpr int kCmdSaveAs = 48;
constexpr int kCmdExit = 64;
constexpr int kCmdMinimizeToTray = 102;
constexpr int kCmdClose = 103;
constexpr int kCmdAlwaysOnTop = 112;
constexpr int kCmdDock = 144;
constexpr int kCmdAutoHide = 160;
constexpr int kCmdNextPanel = 32776;
constexpr int kCmdLogFile = 32779;
constexpr int kCmdBack = 32781;
constexpr int kCmdForward = 32782;
constexpr int kCmdUpOneLevel = 32783;
constexpr int kCmdCommandBrowser = 32784;
constexpr int kCmdFileManagement = 32786;
constexpr int kCmdPreviousPanel = 32787;
constexpr int kCmdHelp = 32788;
constexpr int kCmdGettingStarted = 32789;
constexpr int kCmdHomePage = 32790;
constexpr int kCmdAutoMinimize = 32801;
constexpr int kCmdAbout = 40025;
constexpr int kCmdOpen = 57601;
constexpr int kCmdSave = 57603;
// Entry n of the recent-files list is kCmdFirstRecentFile + n.
constexpr int kCmdFirstRecentFile = 57616;
constexpr int kCmdLastRecentFile = 57631;
// Items the engines add through IvokMenuCommands::FillMenu (favorites and others).
constexpr int kCmdFirstEngineItem = 10000;
constexpr int kCmdLastEngineItem = 25000;

// What a menu shows. `settings` and `engineMenus` are borrowed for the call only.
struct MenuState {
  const UiSettings& settings;
  // Docked now: Auto-minimize is greyed (it has no effect on a docked bar).
  bool docked = false;
  // Most recent first; at most the 16 entries the identifiers allow are shown.
  std::vector<std::string> recentFiles;
  // Fills the Favorites popup from the engines (first identifier kCmdFirstEngineItem); null
  // leaves the popup empty and greyed. The caller runs RunMenuCommand(-1) once the menu closed.
  IvokMenuCommands* engineMenus = nullptr;
};

// Appends the main menu's popups to `menu`, which owns everything added.
void BuildMainMenu(QMenu& menu, const MenuState& state);

// Appends the tray icon's context menu to `menu`: the Favorites popup, the toggles, Options,
// a Help popup and Exit.
void BuildTrayMenu(QMenu& menu, const MenuState& state);

// The text of recent-files entry `index` (0-based): its number as the mnemonic and the path,
// with the middle folders left out when it is long and '&' shown as itself.
QString RecentFileLabel(size_t index, const std::string& path);

}  // namespace vok::bar
