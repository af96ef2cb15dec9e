#include "cmdline/file_commands.h"

#include <sys/stat.h>

#include <QCursor>
#include <QPoint>
#include <QWidget>
#include <filesystem>
#include <optional>
#include <vector>

#include "cmdline/resources/cmdline_strings.h"
#include "common/cmdline_ifaces.h"
#include "common/engine_base.h"
#include "common/text_util.h"
#include "platform/shell/context_menu.h"
#include "platform/shell/file_operations.h"
#include "platform/shell/open_with_dialog.h"
#include "platform/shell/paths.h"
#include "platform/shell/properties_dialog.h"
#include "platform/shell/shell.h"
#include "platform/shell/known_folders.h"
#include "platform/shell/trash.h"
#include "platform/ui/prompter.h"

namespace vok::cmdline {
namespace {

namespace fs = std::filesystem;
using shell::KnownFolder;
using shell::Wildcards;

constexpr int kMessageRoom = 256;
constexpr size_t kCaptionMax = 31;

// The folder switches of dir/ls/explore.
constexpr std::pair<std::string_view, KnownFolder> kFolderSwitches[] = {
    {"/cp", KnownFolder::kControlPanel}, {"/p", KnownFolder::kPrinters},
    {"/rb", KnownFolder::kRecycleBin},   {"/nn", KnownFolder::kNetwork},
    {"/mc", KnownFolder::kMyComputer},   {"/f", KnownFolder::kFavorites},
    {"/d", KnownFolder::kDesktop},       {"/i", KnownFolder::kInternet},
    {"/sm", KnownFolder::kStartMenu},    {"/su", KnownFolder::kStartup},
};

std::optional<std::string> Argument(IvokCommandParser* parser, LONG k) {
  return CommandArgument(parser, k, ArgCase::kAsTyped);
}

bool IsWord(const std::optional<std::string>& argument, std::string_view word) {
  return argument && EqualsNoCase(*argument, word);
}

bool Exists(const std::string& path) {
  struct stat info;
  return !path.empty() && lstat(path.c_str(), &info) == 0;
}

void ReportDone(CommandContext& context) {
  context.ReportInfo(LoadMessage(kIdsFileOperationDone), false);
}

// Deletes what `path` names: to the trash, or for good after the user agreed.
void DeletePath(CommandContext& context, const std::string& path, bool toTrash,
                Wildcards wildcards) {
  bool done = false;
  if (toTrash) {
    done = shell::MoveToTrash(path, wildcards);
  } else if (!shell::ExpandWildcards(path, wildcards).empty()) {
    if (!AskYesNo(context, Substitute(LoadMessage(kIdsConfirmFinalDelete), "%s", path))) return;
    done = shell::DeleteItems(path, wildcards);
  }
  if (done)
    ReportDone(context);
  else
    context.ReportError(kIdsFilesNotFound);
}

// Carries out a checked copy, move or rename, asking before existing files are replaced. A
// declined replacement leaves everything as it was and reports nothing.
void CarryOutPlan(CommandContext& context, const shell::TransferPlan& plan, UINT failureId) {
  if (plan.error == shell::FileOpError::kNone && !plan.existing.empty()) {
    std::string question =
        plan.existing.size() == 1
            ? Substitute(LoadMessage(kIdsConfirmReplaceOne), "%s", plan.existing.front().string())
            : Substitute(LoadMessage(kIdsConfirmReplaceMany), "%li",
                         std::to_string(plan.existing.size()));
    if (!AskYesNo(context, question)) return;
  }
  if (plan.error == shell::FileOpError::kNone && shell::CarryOut(plan, true))
    ReportDone(context);
  else
    context.ReportError(failureId);
}

HRESULT Transfer(CommandContext& context, IvokCommandParser* parser, shell::TransferKind kind) {
  const UINT failureId = kind == shell::TransferKind::kCopy ? kIdsCannotCopy : kIdsCannotMove;
  std::optional<std::string> source = Argument(parser, 0);
  if (!source) {
    context.ReportError(kIdsWrongParameters);
    return S_OK;
  }
  std::optional<std::string> target = Argument(parser, 1);
  std::string destination = target ? FullPathOf(context, *target) : context.CurrentDirectory();
  CarryOutPlan(context, shell::PlanTransfer(kind, FullPathOf(context, *source), destination),
               failureId);
  return S_OK;
}

// Quoted when it holds a separator, so the container's parser keeps it one token.
std::string AsCommandLine(const std::string& target) {
  if (target.find_first_of(" \t") == std::string::npos) return target;
  return "\"" + target + "\"";
}

// The item a context-menu or properties command is about: the arguments completed by the
// navigator (the current directory when there are none); a trailing "/" goes except from "/".
std::string ItemPathOf(CommandContext& context, IvokCommandParser* parser) {
  std::string text = TrimBlanks(AllArguments(parser));
  std::string path;
  if (IvokChDir* navigator = context.Navigator()) {
    std::string buffer = shell::ExpandHome(text);
    if (buffer.size() < kPathBufferSize) {
      buffer.resize(kPathBufferSize, '\0');
      if (SUCCEEDED(navigator->GetFullPath(buffer.data()))) path = buffer.c_str();
    }
  }
  if (path.empty()) path = text.empty() ? context.CurrentDirectory() : FullPathOf(context, text);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

QPoint MenuPosition(CommandContext& context) {
  if (QWidget* panel = context.PanelWindow()) return panel->mapToGlobal(QPoint(0, 0));
  return QCursor::pos();
}

void RenameFromMenu(CommandContext& context, const std::string& path) {
  HWND owner = context.PanelWindow();
  std::optional<std::string> name = shell::AskNewName(owner, fs::path(path).filename().string());
  if (!name) return;
  if (name->find('/') != std::string::npos) {
    context.ReportError(kIdsNewNameHasPath);
    return;
  }
  CarryOutPlan(context, shell::PlanRename(path, *name, Wildcards::kLiteral), kIdsCannotRename);
}

void RunItemAction(CommandContext& context, const std::string& path, shell::ItemAction action) {
  HWND owner = context.PanelWindow();
  switch (action) {
    case shell::ItemAction::kOpen:
      shell::Open(path, shell::Verb::kOpen, fs::path(path).parent_path().string());
      break;
    case shell::ItemAction::kOpenWith:
      shell::OpenWithChosenApplication(owner, path);
      break;
    case shell::ItemAction::kCopyPath:
      shell::CopyPathToClipboard(path);
      break;
    case shell::ItemAction::kRename:
      RenameFromMenu(context, path);
      break;
    case shell::ItemAction::kDelete:
      DeletePath(context, path, context.DeleteToRecycleBin(), Wildcards::kLiteral);
      break;
    case shell::ItemAction::kProperties:
      if (!shell::ShowProperties(owner, path)) context.ReportError(kIdsNoProperties);
      break;
    case shell::ItemAction::kNone:
      break;
  }
}

}  // namespace

std::string TrimBlanks(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  size_t begin = text.find_first_not_of(kBlanks);
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(kBlanks);
  return std::string(text.substr(begin, end - begin + 1));
}

std::string FullPathOf(CommandContext& context, const std::string& typed) {
  return shell::FullPath(typed, context.CurrentDirectory());
}

std::string LoadMessage(UINT id) {
  char text[kMessageRoom];
  LoadStringResource(&kCmdLineResources, id, text, kMessageRoom);
  return text;
}

bool AskYesNo(CommandContext& context, const std::string& text) {
  std::string caption = LoadMessage(kIdsCaptionQuillo);
  caption.resize(Utf8PrefixLength(caption, kCaptionMax));
  ui::Message message;
  message.owner = context.PanelWindow();
  message.text = text;
  message.caption = caption;
  message.icon = ui::Icon::kQuestion;
  message.buttons = ui::Buttons::kYesNo;
  return ui::Ask(message) == ui::Answer::kYes;
}

HRESULT RunDelete(CommandContext& context, IvokCommandParser* parser) {
  std::optional<std::string> first = Argument(parser, 0);
  bool toTrash = context.DeleteToRecycleBin();
  LONG fileIndex = 0;
  if (IsWord(first, "+rb") || IsWord(first, "-rb")) {
    toTrash = IsWord(first, "+rb");
    fileIndex = 1;
  }
  std::optional<std::string> file = Argument(parser, fileIndex);
  if (!file) {
    context.ReportError(kIdsWrongParameters);
    return S_OK;
  }
  DeletePath(context, FullPathOf(context, *file), toTrash, Wildcards::kExpand);
  return S_OK;
}

HRESULT RunRename(CommandContext& context, IvokCommandParser* parser) {
  std::optional<std::string> source = Argument(parser, 0);
  std::optional<std::string> newName = Argument(parser, 1);
  if (!source || !newName) {
    context.ReportError(kIdsWrongParameters);
    return S_OK;
  }
  if (newName->find('/') != std::string::npos) {
    context.ReportError(kIdsNewNameHasPath);
    return S_OK;
  }
  CarryOutPlan(context, shell::PlanRename(FullPathOf(context, *source), *newName),
               kIdsCannotRename);
  return S_OK;
}

HRESULT RunCopy(CommandContext& context, IvokCommandParser* parser) {
  return Transfer(context, parser, shell::TransferKind::kCopy);
}

HRESULT RunMove(CommandContext& context, IvokCommandParser* parser) {
  return Transfer(context, parser, shell::TransferKind::kMove);
}

HRESULT RunMakeDir(CommandContext& context, IvokCommandParser* parser) {
  std::optional<std::string> folder = Argument(parser, 0);
  if (!folder) {
    context.ReportError(kIdsWrongParameters);
    return S_OK;
  }
  if (shell::MakeDirectories(FullPathOf(context, *folder)))
    ReportDone(context);
  else
    context.ReportError(kIdsCannotCreateDir);
  return S_OK;
}

HRESULT RunExplore(CommandContext& context, IvokCommandParser* parser) {
  std::optional<std::string> argument = Argument(parser, 0);
  for (const auto& [word, folder] : kFolderSwitches) {
    if (IsWord(argument, word)) {
      shell::OpenKnownFolder(folder);
      return S_OK;
    }
  }
  std::string current = context.CurrentDirectory();
  std::string target = argument ? *argument : current;
  if (shell::HasWildcards(target)) {
    // The shell-execution engine opens its File Management window for a pattern.
    if (IvokEngineContainer* container = context.Container())
      container->Command(AsCommandLine(target).c_str());
    return S_OK;
  }
  // Above "/" stands the drives pseudo-folder: the desktop's view of the volumes.
  if (target.empty()) {
    shell::OpenKnownFolder(KnownFolder::kMyComputer);
    return S_OK;
  }
  std::string path = FullPathOf(context, target);
  shell::Verb verb = context.ExplorerTree() ? shell::Verb::kExplore : shell::Verb::kOpen;
  if (!shell::Open(path, verb, current)) context.ReportError(kIdsFilesNotFound);
  return S_OK;
}

HRESULT RunRecycleBin(CommandContext& context, IvokCommandParser* parser) {
  std::optional<std::string> argument = Argument(parser, 0);
  if (!argument) {
    shell::OpenKnownFolder(KnownFolder::kRecycleBin);
    return S_OK;
  }
  const bool info = IsWord(argument, "info");
  if (!info && !IsWord(argument, "empty")) {
    context.ReportError(kIdsWrongParameters);
    return S_OK;
  }
  std::optional<int64_t> count = shell::CountTrashItems();
  if (!count) {
    context.ReportError(kIdsRecycleBinUnsupported);
  } else if (*count == 0) {
    context.ReportInfo(LoadMessage(kIdsRecycleBinEmpty), true);
  } else if (info) {
    context.ReportInfo(Substitute(LoadMessage(kIdsRecycleBinCount), "%li", std::to_string(*count)),
                       true);
  } else if (AskYesNo(context, LoadMessage(kIdsConfirmEmptyTrash)) && !shell::EmptyTrash()) {
    context.ReportError(kIdsRecycleBinUnsupported);
  }
  return S_OK;
}

HRESULT RunPrint(CommandContext& context, IvokCommandParser* parser) {
  std::string file = TrimBlanks(AllArguments(parser));
  if (file.empty() || !shell::Open(FullPathOf(context, file), shell::Verb::kPrint))
    context.ReportError(kIdsCannotPrint);
  return S_OK;
}

HRESULT RunListFiles(CommandContext& context, IvokCommandParser* parser) {
  std::optional<std::string> pattern = Argument(parser, 0);
  if (!pattern) return S_OK;
  size_t listed = 0;
  for (const fs::path& item : shell::ExpandWildcards(FullPathOf(context, *pattern))) {
    std::string name = item.filename().string();
    if (name.empty() || name == "." || name == "..") continue;
    context.ReportInfo(name, false);
    ++listed;
  }
  if (listed == 0)
    context.ReportError(kIdsNoFileFound);
  else
    context.ShowLog();
  return S_OK;
}

HRESULT RunContextMenu(CommandContext& context, IvokCommandParser* parser) {
  std::string path = ItemPathOf(context, parser);
  if (!Exists(path)) {
    context.ReportError(kIdsNoContextMenu);
    return S_OK;
  }
  RunItemAction(context, path,
                shell::ChooseItemAction(context.PanelWindow(), MenuPosition(context)));
  return S_OK;
}

HRESULT RunProperties(CommandContext& context, IvokCommandParser* parser) {
  std::string path = ItemPathOf(context, parser);
  if (!Exists(path) || !shell::ShowProperties(context.PanelWindow(), path))
    context.ReportError(kIdsNoProperties);
  return S_OK;
}

}  // namespace vok::cmdline
