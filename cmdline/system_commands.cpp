#include "cmdline/system_commands.h"

#include <QCursor>
#include <QGuiApplication>
#include <optional>
#include <vector>

#include "cmdline/file_commands.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/engine_base.h"
#include "common/text_util.h"
#include "platform/shell/known_folders.h"
#include "platform/system/desktop_programs.h"
#include "platform/system/environment.h"
#include "platform/system/media_eject.h"
#include "platform/system/network_drive_dialog.h"
#include "platform/system/network_drives.h"
#include "platform/system/process_runner.h"
#include "platform/system/session_control.h"

namespace vok::cmdline {
namespace {

using shell::KnownFolder;
using sys::DesktopTool;
using sys::SessionAction;

constexpr size_t kUserMessageMax = 320;

HRESULT Launch(DesktopTool tool) {
  sys::LaunchDesktopTool(tool);
  return S_OK;
}

HRESULT OpenFolder(KnownFolder folder) {
  shell::OpenKnownFolder(folder);
  return S_OK;
}

HRESULT EndSession(CommandContext& context, UINT questionId, SessionAction action) {
  if (!AskYesNo(context, LoadMessage(kIdsProceedWith) + LoadMessage(questionId))) return S_OK;
  if (!sys::CurrentSessionControl().Perform(action)) context.ReportError(kIdsCannotShutdown);
  return S_OK;
}

// The wait cursor while a slow device operation runs.
class WaitCursor {
 public:
  WaitCursor() : shown_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    if (shown_) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  }
  ~WaitCursor() {
    if (shown_) QGuiApplication::restoreOverrideCursor();
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  bool shown_;
};

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

std::string RawArgumentText(IvokCommandParser* parser) {
  LONG length = 0;
  if (!parser || FAILED(parser->get_CmdLen(&length)) || length <= 0) return {};
  std::string line(static_cast<size_t>(length) + 1, '\0');
  if (FAILED(parser->GetCommandLine(line.data()))) return {};
  line.resize(std::char_traits<char>::length(line.c_str()));
  size_t i = 0;
  while (i < line.size() && IsSeparator(line[i])) ++i;
  if (i < line.size() && line[i] == '"') {
    size_t close = line.find('"', i + 1);
    i = close == std::string::npos ? line.size() : close + 1;
  } else {
    while (i < line.size() && !IsSeparator(line[i]) && line[i] != '"') ++i;
  }
  return TrimBlanks(std::string_view(line).substr(i));
}

HRESULT RunDateTime(CommandContext&, IvokCommandParser*) { return Launch(DesktopTool::kDateTime); }
HRESULT RunSystemApplet(CommandContext&, IvokCommandParser*) {
  return Launch(DesktopTool::kSystemInfo);
}
HRESULT RunDisplay(CommandContext&, IvokCommandParser*) { return Launch(DesktopTool::kDisplay); }
HRESULT RunMouse(CommandContext&, IvokCommandParser*) { return Launch(DesktopTool::kMouse); }
HRESULT RunKeyboard(CommandContext&, IvokCommandParser*) { return Launch(DesktopTool::kKeyboard); }

HRESULT RunControlPanel(CommandContext&, IvokCommandParser*) {
  return OpenFolder(KnownFolder::kControlPanel);
}
HRESULT RunNetwork(CommandContext&, IvokCommandParser*) {
  return OpenFolder(KnownFolder::kNetwork);
}
HRESULT RunPrinters(CommandContext&, IvokCommandParser*) {
  return OpenFolder(KnownFolder::kPrinters);
}
HRESULT RunMyComputer(CommandContext&, IvokCommandParser*) {
  return OpenFolder(KnownFolder::kMyComputer);
}
HRESULT RunDesktop(CommandContext&, IvokCommandParser*) {
  return OpenFolder(KnownFolder::kDesktop);
}

HRESULT RunDos(CommandContext& context, IvokCommandParser* parser) {
  sys::OpenTerminal(context.CurrentDirectory(), RawArgumentText(parser));
  return S_OK;
}

HRESULT RunSet(CommandContext& context, IvokCommandParser* parser) {
  const std::string text = TrimBlanks(AllArguments(parser));
  if (size_t equals = text.find('='); equals != std::string::npos) {
    std::string name = TrimBlanks(std::string_view(text).substr(0, equals));
    std::string value = TrimBlanks(std::string_view(text).substr(equals + 1));
    if (!sys::SetEnvironmentVariable(name, value)) context.ReportError(kIdsNoSuchVariable);
    return S_OK;
  }
  std::optional<std::vector<std::string>> block = sys::EnvironmentBlock();
  if (!block) return E_FAIL;
  size_t listed = 0;
  for (const std::string& entry : *block) {
    if (entry.size() < text.size() ||
        !EqualsNoCase(std::string_view(entry).substr(0, text.size()), text))
      continue;
    context.ReportInfo(entry, false);
    ++listed;
  }
  if (listed == 0)
    context.ReportError(kIdsNoSuchVariable);
  else
    context.ShowLog();
  return S_OK;
}

HRESULT RunWhoAmI(CommandContext& context, IvokCommandParser*) {
  std::optional<std::string> name = sys::CurrentUserName();
  if (!name) {
    context.ReportError(kIdsNoUserName);
    return S_OK;
  }
  std::string text = Substitute(LoadMessage(kIdsCurrentUserName), "%s", *name);
  text.resize(Utf8PrefixLength(text, kUserMessageMax));
  context.ReportInfo(text, true);
  return S_OK;
}

HRESULT RunEject(CommandContext& context, IvokCommandParser* parser) {
  std::optional<std::string> target = CommandArgument(parser, 0, ArgCase::kAsTyped);
  if (!target || target->empty()) {
    context.ReportError(kIdsCannotEject);
    return S_OK;
  }
  sys::EjectOutcome outcome;
  {
    WaitCursor wait;
    outcome = sys::EjectMedia(FullPathOf(context, *target));
  }
  switch (outcome) {
    case sys::EjectOutcome::kEjected:
      break;
    case sys::EjectOutcome::kSafeToRemove:
      context.ReportInfo(LoadMessage(kIdsMediaSafeToRemove), true);
      break;
    case sys::EjectOutcome::kFailed:
      context.ReportError(kIdsCannotEject);
      break;
  }
  return S_OK;
}

HRESULT RunLogoff(CommandContext& context, IvokCommandParser*) {
  return EndSession(context, kIdsQuestionLogoff, SessionAction::kLogoff);
}
HRESULT RunReboot(CommandContext& context, IvokCommandParser*) {
  return EndSession(context, kIdsQuestionReboot, SessionAction::kReboot);
}
HRESULT RunShutdown(CommandContext& context, IvokCommandParser*) {
  return EndSession(context, kIdsQuestionShutdown, SessionAction::kShutdown);
}
HRESULT RunPoweroff(CommandContext& context, IvokCommandParser*) {
  return EndSession(context, kIdsQuestionPoweroff, SessionAction::kPowerOff);
}

HRESULT RunMapDrive(CommandContext& context, IvokCommandParser*) {
  std::optional<std::string> location =
      sys::AskNetworkLocation(context.PanelWindow(), sys::NetworkDialogKind::kConnect, {});
  if (location && !sys::MountNetworkLocation(*location, sys::CurrentProcessRunner()))
    context.ReportError(kIdsNetworkError);
  return S_OK;
}

HRESULT RunDisconnect(CommandContext& context, IvokCommandParser*) {
  sys::ProcessRunner& runner = sys::CurrentProcessRunner();
  std::optional<std::string> location =
      sys::AskNetworkLocation(context.PanelWindow(), sys::NetworkDialogKind::kDisconnect,
                              sys::MountedNetworkLocations(runner));
  if (location && !sys::UnmountNetworkLocation(*location, runner))
    context.ReportError(kIdsNetworkError);
  return S_OK;
}

HRESULT RunFindFile(CommandContext&, IvokCommandParser*) {
  return Launch(DesktopTool::kFileSearch);
}
HRESULT RunFindComputer(CommandContext&, IvokCommandParser*) {
  return OpenFolder(KnownFolder::kNetwork);
}
HRESULT RunRunDialog(CommandContext&, IvokCommandParser*) {
  return Launch(DesktopTool::kRunDialog);
}
HRESULT RunStartMenu(CommandContext&, IvokCommandParser*) {
  return Launch(DesktopTool::kAppLauncher);
}

}  // namespace vok::cmdline
