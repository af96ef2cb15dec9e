#include "platform/system/desktop_programs.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string_view>

#include "platform/system/process_runner.h"

namespace vok::sys {
namespace {

struct ToolRow {
  DesktopTool tool;
  std::string_view desktop;  // the desktop the program belongs to; "" for any
  std::initializer_list<const char*> argv;
};

// Best first within each tool; the running desktop's rows are moved ahead at run time.
const ToolRow kToolRows[] = {
    {DesktopTool::kSettings, "GNOME", {"gnome-control-center"}},
    {DesktopTool::kSettings, "KDE", {"systemsettings"}},
    {DesktopTool::kSettings, "X-Cinnamon", {"cinnamon-settings"}},
    {DesktopTool::kSettings, "XFCE", {"xfce4-settings-manager"}},
    {DesktopTool::kSettings, "MATE", {"mate-control-center"}},
    {DesktopTool::kSettings, "LXQt", {"lxqt-config"}},

    {DesktopTool::kDateTime, "GNOME", {"gnome-control-center", "datetime"}},
    {DesktopTool::kDateTime, "KDE", {"systemsettings", "kcm_clock"}},
    {DesktopTool::kDateTime, "X-Cinnamon", {"cinnamon-settings", "calendar"}},
    {DesktopTool::kDateTime, "MATE", {"mate-time-admin"}},
    {DesktopTool::kDateTime, "", {"time-admin"}},

    {DesktopTool::kSystemInfo, "GNOME", {"gnome-control-center", "info-overview"}},
    {DesktopTool::kSystemInfo, "KDE", {"kinfocenter"}},
    {DesktopTool::kSystemInfo, "X-Cinnamon", {"cinnamon-settings", "info"}},
    {DesktopTool::kSystemInfo, "XFCE", {"xfce4-about"}},

    {DesktopTool::kDisplay, "GNOME", {"gnome-control-center", "display"}},
    {DesktopTool::kDisplay, "KDE", {"systemsettings", "kcm_kscreen"}},
    {DesktopTool::kDisplay, "X-Cinnamon", {"cinnamon-settings", "display"}},
    {DesktopTool::kDisplay, "XFCE", {"xfce4-display-settings"}},
    {DesktopTool::kDisplay, "MATE", {"mate-display-properties"}},
    {DesktopTool::kDisplay, "LXQt", {"lxqt-config-monitor"}},
    {DesktopTool::kDisplay, "", {"arandr"}},

    {DesktopTool::kMouse, "GNOME", {"gnome-control-center", "mouse"}},
    {DesktopTool::kMouse, "KDE", {"systemsettings", "kcm_mouse"}},
    {DesktopTool::kMouse, "X-Cinnamon", {"cinnamon-settings", "mouse"}},
    {DesktopTool::kMouse, "XFCE", {"xfce4-mouse-settings"}},
    {DesktopTool::kMouse, "MATE", {"mate-mouse-properties"}},
    {DesktopTool::kMouse, "LXQt", {"lxqt-config-input"}},

    {DesktopTool::kKeyboard, "GNOME", {"gnome-control-center", "keyboard"}},
    {DesktopTool::kKeyboard, "KDE", {"systemsettings", "kcm_keyboard"}},
    {DesktopTool::kKeyboard, "X-Cinnamon", {"cinnamon-settings", "keyboard"}},
    {DesktopTool::kKeyboard, "XFCE", {"xfce4-keyboard-settings"}},
    {DesktopTool::kKeyboard, "MATE", {"mate-keyboard-properties"}},
    {DesktopTool::kKeyboard, "LXQt", {"lxqt-config-input"}},

    {DesktopTool::kPrinters, "GNOME", {"gnome-control-center", "printers"}},
    {DesktopTool::kPrinters, "KDE", {"systemsettings", "kcm_printer_manager"}},
    {DesktopTool::kPrinters, "", {"system-config-printer"}},

    {DesktopTool::kNetwork, "GNOME", {"gnome-control-center", "network"}},
    {DesktopTool::kNetwork, "KDE", {"systemsettings", "kcm_networkmanagement"}},
    {DesktopTool::kNetwork, "X-Cinnamon", {"cinnamon-settings", "network"}},
    {DesktopTool::kNetwork, "", {"nm-connection-editor"}},

    {DesktopTool::kFileSearch, "XFCE", {"catfish"}},
    {DesktopTool::kFileSearch, "KDE", {"kfind"}},
    {DesktopTool::kFileSearch, "MATE", {"mate-search-tool"}},
    {DesktopTool::kFileSearch, "GNOME", {"gnome-search-tool"}},
    {DesktopTool::kFileSearch, "", {"fsearch"}},

    {DesktopTool::kRunDialog, "KDE", {"krunner"}},
    {DesktopTool::kRunDialog, "XFCE", {"xfce4-appfinder", "--collapsed"}},
    {DesktopTool::kRunDialog, "MATE", {"mate-panel", "--run-dialog"}},
    {DesktopTool::kRunDialog, "", {"rofi", "-show", "run"}},

    {DesktopTool::kAppLauncher, "XFCE", {"xfce4-popup-whiskermenu"}},
    {DesktopTool::kAppLauncher, "XFCE", {"xfce4-appfinder"}},
    {DesktopTool::kAppLauncher, "", {"rofi", "-show", "drun"}},

    {DesktopTool::kWebBrowser, "", {"x-www-browser"}},
    {DesktopTool::kWebBrowser, "", {"sensible-browser"}},
};

struct TerminalRow {
  const char* program;
  // The terminal's option after which the rest of its arguments is the program to run.
  std::initializer_list<const char*> runOption;
};

const TerminalRow kTerminals[] = {
    {"x-terminal-emulator", {"-e"}},
    {"gnome-terminal", {"--"}},
    {"konsole", {"-e"}},
    {"xfce4-terminal", {"-x"}},
    {"mate-terminal", {"-x"}},
    {"alacritty", {"-e"}},
    {"kitty", {}},
    {"xterm", {"-e"}},
};

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

// One of the colon-separated names of $XDG_CURRENT_DESKTOP is `desktop`.
bool IsRunningDesktop(std::string_view desktop, std::string_view current) {
  if (desktop.empty()) return false;
  size_t start = 0;
  while (start <= current.size()) {
    size_t end = std::min(current.find(':', start), current.size());
    if (EqualsAsciiNoCase(current.substr(start, end - start), desktop)) return true;
    start = end + 1;
  }
  return false;
}

std::string FirstEntry(const std::string& list) { return list.substr(0, list.find(':')); }

const char* EnvOrEmpty(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

DesktopEnvironment DesktopEnvironment::FromProcess() {
  return {EnvOrEmpty("XDG_CURRENT_DESKTOP"), EnvOrEmpty("BROWSER"), EnvOrEmpty("TERMINAL")};
}

std::vector<std::vector<std::string>> ToolCandidates(DesktopTool tool,
                                                     const DesktopEnvironment& environment) {
  std::vector<std::vector<std::string>> preferred, others;
  if (tool == DesktopTool::kWebBrowser) {
    std::string browser = FirstEntry(environment.browser);
    if (!browser.empty()) preferred.push_back({browser});
  }
  for (const ToolRow& row : kToolRows) {
    if (row.tool != tool) continue;
    std::vector<std::string> argv(row.argv.begin(), row.argv.end());
    (IsRunningDesktop(row.desktop, environment.currentDesktop) ? preferred : others)
        .push_back(std::move(argv));
  }
  preferred.insert(preferred.end(), others.begin(), others.end());
  return preferred;
}

bool LaunchDesktopTool(DesktopTool tool, ProcessRunner& runner,
                       const DesktopEnvironment& environment) {
  for (const std::vector<std::string>& argv : ToolCandidates(tool, environment)) {
    if (runner.FindProgram(argv.front())) return runner.StartDetached(argv, {});
  }
  return false;
}

bool LaunchDesktopTool(DesktopTool tool) {
  return LaunchDesktopTool(tool, CurrentProcessRunner(), DesktopEnvironment::FromProcess());
}

std::optional<std::vector<std::string>> TerminalCommand(const std::vector<std::string>& program,
                                                        ProcessRunner& runner,
                                                        const DesktopEnvironment& environment) {
  std::vector<std::string> argv;
  // The user's own choice comes first; its option for running a program is assumed to be the
  // common "-e".
  if (!environment.terminal.empty() && runner.FindProgram(environment.terminal)) {
    argv = {environment.terminal};
    if (!program.empty()) argv.push_back("-e");
  } else {
    for (const TerminalRow& row : kTerminals) {
      if (!runner.FindProgram(row.program)) continue;
      argv = {row.program};
      if (!program.empty()) argv.insert(argv.end(), row.runOption.begin(), row.runOption.end());
      break;
    }
  }
  if (argv.empty()) return std::nullopt;
  argv.insert(argv.end(), program.begin(), program.end());
  return argv;
}

bool OpenTerminal(const std::string& workDir, const std::string& command) {
  ProcessRunner& runner = CurrentProcessRunner();
  std::vector<std::string> program;
  if (!command.empty()) program = {"sh", "-c", command};
  std::optional<std::vector<std::string>> argv =
      TerminalCommand(program, runner, DesktopEnvironment::FromProcess());
  // A current directory that has gone away leaves the terminal in the process's own.
  std::error_code error;
  const bool usable = !workDir.empty() && std::filesystem::is_directory(workDir, error);
  return argv && runner.StartDetached(*argv, usable ? workDir : std::string());
}

}  // namespace vok::sys
