#include "cmdline/sys_info_panel.h"

#include <sys/stat.h>
#include <sys/utsname.h>

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabBar>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <sstream>

#include "cmdline/cmdline_icons.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/text_util.h"
#include "platform/shell/shell.h"
#include "platform/shell/trash.h"
#include "platform/system/desktop_programs.h"
#include "platform/system/process_runner.h"
#include "platform/ui/prompter.h"

// Outside any namespace: the resource initialiser is a global function. Calling it keeps the
// linker from dropping the images from this static library.
static void InitSysInfoIcons() { Q_INIT_RESOURCE(sys_info_icons); }

namespace vok::cmdline {
namespace {

namespace fs = std::filesystem;

// The panel's size in dialog units: a quarter of the average character width across, an
// eighth of the line height down.
constexpr int kPanelWidthUnits = 214;
constexpr int kPanelHeightUnits = 14;
constexpr int kIconSize = 16;
// A label is loaded with at most this many bytes.
constexpr int kLabelBytes = 128;

// Asking for the scheme's handler reads a few small files.
constexpr std::chrono::milliseconds kHandlerQueryTimeout{3000};

const SysInfoTab kAllTabs[] = {
    {kIdsTabSystem, "computer", "sys_system.xpm", SysInfoAction::kSystem},
    {kIdsTabControlPanel, "preferences-system", "sys_control_panel.xpm",
     SysInfoAction::kControlPanel},
    {kIdsTabPrinters, "printer", "sys_printers.xpm", SysInfoAction::kPrinters},
    {kIdsTabRecycleBin, "user-trash", "sys_recycle_bin.xpm", SysInfoAction::kRecycleBin},
    {kIdsTabInternet, "preferences-system-network", "sys_internet.xpm", SysInfoAction::kInternet},
    {kIdsTabDisplay, "video-display", "sys_display.xpm", SysInfoAction::kDisplay},
    {kIdsTabDateTime, "preferences-system-time", "sys_date_time.xpm", SysInfoAction::kDateTime},
    {kIdsTabMouse, "input-mouse", "sys_mouse.xpm", SysInfoAction::kMouse},
    {kIdsTabKeyboard, "input-keyboard", "sys_keyboard.xpm", SysInfoAction::kKeyboard},
    {kIdsTabAboutShell, "help-about", "sys_about.xpm", SysInfoAction::kAboutShell},
};
constexpr size_t kReducedLeadingTabs = 4;
constexpr LONG kFullTabsHint = 1;

// Desktops whose own opener shows "trash:///" (through GIO or KIO) without a registered handler.
constexpr std::string_view kTrashAwareDesktops[] = {"GNOME", "KDE",   "XFCE",   "X-Cinnamon",
                                                    "MATE",  "Unity", "Budgie", "Pantheon"};

SysInfoActions* g_installed = nullptr;

std::string Trimmed(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string_view::npos) return {};
  return std::string(text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1));
}

// An os-release value: bare, or in single or double quotes (with backslash escapes in the
// double-quoted form, as a shell reads it).
std::string OsReleaseValue(std::string_view raw) {
  std::string value = Trimmed(raw);
  if (value.size() < 2 || (value.front() != '"' && value.front() != '\'') ||
      value.back() != value.front())
    return value;
  const char quote = value.front();
  std::string out;
  for (size_t i = 1; i + 1 < value.size(); ++i) {
    if (quote == '"' && value[i] == '\\' && i + 2 < value.size()) ++i;
    out.push_back(value[i]);
  }
  return out;
}

// The value of `key` in os-release text; the last assignment wins, as when the file is sourced.
std::string OsReleaseField(std::string_view text, std::string_view key) {
  std::istringstream lines{std::string(text)};
  std::string line, found;
  while (std::getline(lines, line)) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos || Trimmed(line.substr(0, equals)) != key) continue;
    found = OsReleaseValue(std::string_view(line).substr(equals + 1));
  }
  return found;
}

std::string ReadFile(const char* path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string KernelText() {
  struct utsname name;
  if (uname(&name) != 0) return {};
  return std::string(name.sysname) + " " + name.release + " " + name.machine;
}

void ShowAboutShell() {
  std::string osRelease = ReadFile("/etc/os-release");
  if (osRelease.empty()) osRelease = ReadFile("/usr/lib/os-release");
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  ui::Message message;
  message.caption = LoadStringResource(&kCmdLineResources, kIdsCaptionAboutShell);
  message.text = AboutShellText(osRelease, desktop ? desktop : "", KernelText());
  message.icon = ui::Icon::kInformation;
  ui::Ask(message);
}

// The home trash's files folder, made (private to the user) when missing so there is
// something to show.
void OpenHomeTrash() {
  const fs::path root = shell::HomeTrashPath();
  std::error_code error;
  fs::create_directories(root.parent_path(), error);
  for (const fs::path& folder : {root, root / "files", root / "info"}) mkdir(folder.c_str(), 0700);
  const fs::path files = root / "files";
  if (fs::is_directory(files, error)) shell::Open(files.string(), shell::Verb::kExplore);
}

void OpenRecycleBin() {
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  if (CanOpenTrashUrl(sys::CurrentProcessRunner(), desktop ? desktop : "") &&
      shell::Open("trash:///", shell::Verb::kOpen))
    return;
  OpenHomeTrash();
}

// A strip of tabs that act like buttons: a left click on a tab reports it and changes no
// selection; the wheel and the keys select nothing either (Enter and Esc reach the panel).
class ButtonTabBar final : public QTabBar {
 public:
  ButtonTabBar(std::function<void(int)> clicked, QWidget* parent)
      : QTabBar(parent), clicked_(std::move(clicked)) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    if (event->button() != Qt::LeftButton) return event->ignore();
    event->accept();
    const int index = tabAt(event->position().toPoint());
    if (index >= 0 && isTabVisible(index) && isTabEnabled(index)) clicked_(index);
  }
  void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
  void wheelEvent(QWheelEvent* event) override { event->ignore(); }
  void keyPressEvent(QKeyEvent* event) override { event->ignore(); }

 private:
  std::function<void(int)> clicked_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Actions

void DesktopSysInfoActions::Run(SysInfoAction action) {
  using sys::DesktopTool;
  switch (action) {
    case SysInfoAction::kSystem:
      sys::LaunchDesktopTool(DesktopTool::kSystemInfo);
      return;
    case SysInfoAction::kControlPanel:
      sys::LaunchDesktopTool(DesktopTool::kSettings);
      return;
    case SysInfoAction::kPrinters:
      sys::LaunchDesktopTool(DesktopTool::kPrinters);
      return;
    case SysInfoAction::kRecycleBin:
      OpenRecycleBin();
      return;
    case SysInfoAction::kInternet:
      sys::LaunchDesktopTool(DesktopTool::kNetwork);
      return;
    case SysInfoAction::kDisplay:
      sys::LaunchDesktopTool(DesktopTool::kDisplay);
      return;
    case SysInfoAction::kDateTime:
      sys::LaunchDesktopTool(DesktopTool::kDateTime);
      return;
    case SysInfoAction::kMouse:
      sys::LaunchDesktopTool(DesktopTool::kMouse);
      return;
    case SysInfoAction::kKeyboard:
      sys::LaunchDesktopTool(DesktopTool::kKeyboard);
      return;
    case SysInfoAction::kAboutShell:
      ShowAboutShell();
      return;
  }
}

SysInfoActions& CurrentSysInfoActions() {
  static DesktopSysInfoActions desktop;
  return g_installed ? *g_installed : desktop;
}

SysInfoActions* SetSysInfoActions(SysInfoActions* actions) {
  SysInfoActions* previous = g_installed;
  g_installed = actions;
  return previous;
}

bool CanOpenTrashUrl(sys::ProcessRunner& runner, std::string_view currentDesktop) {
  size_t start = 0;
  while (start <= currentDesktop.size()) {
    const size_t end = std::min(currentDesktop.find(':', start), currentDesktop.size());
    const std::string_view name = currentDesktop.substr(start, end - start);
    for (std::string_view aware : kTrashAwareDesktops)
      if (!name.empty() && EqualsNoCase(name, aware)) return true;
    start = end + 1;
  }
  if (!runner.FindProgram("xdg-mime")) return false;
  const std::optional<sys::RunResult> handler = runner.Run(
      {"xdg-mime", "query", "default", "x-scheme-handler/trash"}, {}, kHandlerQueryTimeout);
  return handler && handler->exitStatus == 0 && !Trimmed(handler->output).empty();
}

std::string AboutShellText(std::string_view osRelease, std::string_view desktop,
                           std::string_view kernel) {
  std::string system = OsReleaseField(osRelease, "PRETTY_NAME");
  if (system.empty())
    system =
        Trimmed(OsReleaseField(osRelease, "NAME") + " " + OsReleaseField(osRelease, "VERSION"));
  if (system.empty()) system = "Linux";
  std::string text = system;
  std::string desktops(desktop);
  for (size_t at = desktops.find(':'); at != std::string::npos; at = desktops.find(':', at + 2))
    desktops.replace(at, 1, ", ");
  if (!desktops.empty()) text += "\n" + desktops;
  if (!kernel.empty()) text += "\n" + std::string(kernel);
  return text;
}

void LoadSysInfoImages() {
  static std::once_flag loaded;
  std::call_once(loaded, InitSysInfoIcons);
}

std::vector<SysInfoTab> SysInfoTabs(LONG hintLevel) {
  if (hintLevel == kFullTabsHint) return {std::begin(kAllTabs), std::end(kAllTabs)};
  std::vector<SysInfoTab> tabs(kAllTabs, kAllTabs + kReducedLeadingTabs);
  tabs.push_back(std::end(kAllTabs)[-1]);
  return tabs;
}

// ---------------------------------------------------------------------------------------------
// The panel

SysInfoPanel::SysInfoPanel(LONG hintLevel, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("sysInfoPanel"));
  tabs_ = new ButtonTabBar([this](int index) { OnTabClicked(index); }, this);
  tabs_->setObjectName(QStringLiteral("sysInfoTabs"));
  tabs_->setIconSize(QSize(kIconSize, kIconSize));
  tabs_->setDrawBase(false);
  tabs_->setExpanding(false);
  tabs_->setUsesScrollButtons(true);
  tabs_->setElideMode(Qt::ElideNone);
  setFocusProxy(tabs_);  // the focus given to the panel goes to the strip
  AddTabs(hintLevel);
  // At least as tall as the strip needs, so no tab is cut off.
  const QFontMetrics metrics(font());
  resize(kPanelWidthUnits * metrics.averageCharWidth() / 4,
         std::max(kPanelHeightUnits * metrics.height() / 8, tabs_->sizeHint().height()));
  hide();
}

// The tabs, then one more that is never shown: it stays the current tab, so none of the
// visible tabs ever looks selected.
void SysInfoPanel::AddTabs(LONG hintLevel) {
  LoadSysInfoImages();
  for (const SysInfoTab& tab : SysInfoTabs(hintLevel)) {
    char label[kLabelBytes] = {};
    LoadStringResource(&kCmdLineResources, tab.labelId, label, sizeof label);
    tabs_->addTab(ThemeIcon(tab.themeIcon, tab.fallbackIcon), QString::fromUtf8(label));
    actions_.push_back(tab.action);
  }
  const int spare = tabs_->addTab(QString());
  tabs_->setTabVisible(spare, false);
  tabs_->setTabEnabled(spare, false);
  tabs_->setCurrentIndex(spare);
}

void SysInfoPanel::OnTabClicked(int index) {
  if (index < 0 || static_cast<size_t>(index) >= actions_.size()) return;
  const SysInfoAction action = actions_[index];
  // After the press is done: an action may run a modal dialog.
  QTimer::singleShot(0, this, [this, action] {
    CurrentSysInfoActions().Run(action);
    tabs_->setFocus();
  });
}

void SysInfoPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  tabs_->setGeometry(rect());
}

// Enter and Esc end here, as a dialog's OK and Cancel that do nothing.
void SysInfoPanel::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      event->accept();
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

}  // namespace vok::cmdline
