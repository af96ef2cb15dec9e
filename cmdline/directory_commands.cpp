// The directory commands of vokEngineCmdLine: cd, back, forward, up, browse and the drive word.
// They go through the panel's directory navigator, report problems to the log and always
// return S_OK, so that no other engine is offered the line.
#include "cmdline/directory_commands.h"

#include <climits>
#include <cstdint>

#include "cmdline/alias_expansion.h"
#include "cmdline/engine_cmd_line.h"
#include "cmdline/item_text.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/text_util.h"
#include "platform/ui/prompter.h"

namespace vok::cmdline {

LONG StepCountFromArgument(const std::optional<std::string>& argument) {
  if (!argument) return 1;
  if (EqualsNoCase(*argument, "m")) return 0;
  // The leading decimal value: blanks, a sign, then digits up to the first other character.
  std::string_view text = *argument;
  size_t i = text.find_first_not_of(" \t");
  if (i == std::string_view::npos) return -1;
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT32_MAX) value = INT32_MAX;  // saturate: any huge count is too many steps
  }
  if (negative || value < 1) return -1;
  return static_cast<LONG>(value);
}

std::string QtNameFilter(std::string_view filter) {
  size_t open = filter.rfind('(');
  size_t close = filter.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open)
    return std::string(filter);
  std::string result(filter.substr(0, open + 1));
  std::string_view patterns = filter.substr(open + 1, close - open - 1);
  bool first = true;
  while (!patterns.empty()) {
    size_t end = patterns.find(';');
    std::string_view pattern = patterns.substr(0, end);
    if (!pattern.empty()) {
      if (!first) result.push_back(' ');
      result.append(pattern == "*.*" ? std::string_view("*") : pattern);
      first = false;
    }
    if (end == std::string_view::npos) break;
    patterns.remove_prefix(end + 1);
  }
  result.append(filter.substr(close));
  return result;
}

}  // namespace vok::cmdline

using vok::CommandArgument;
using namespace vok::cmdline;

namespace {

std::string LoadText(UINT id) { return vok::LoadStringResource(&kCmdLineResources, id); }

}  // namespace

HRESULT vokEngineCmdLine::RunDriveWord(const std::string&) {
  // Linux has no drive letters: a word like "d:" never names a drive.
  ReportError(kIdsNoSuchDrive);
  return S_OK;
}

bool vokEngineCmdLine::ChangeDirectory(const std::string& path, bool record) {
  IvokChDir* navigator = Navigator();
  return navigator && navigator->ChangeDir(path.c_str(), record ? 1 : 0) == S_OK;
}

std::string vokEngineCmdLine::FolderFavorite(const std::string& name) {
  if (!favorites_) return {};
  IUnknown* found = nullptr;  // borrowed from the list
  if (favorites_->Find(name.c_str(), &found, 0) != S_OK || !found) return {};
  ComPtr<IvokFastListItemFavorite> favorite = QueryAs<IvokFastListItemFavorite>(found);
  ComPtr<IvokFastListItem> item = QueryAs<IvokFastListItem>(found);
  ULONG type = 0;
  if (!favorite || !item || FAILED(item->get_ItemData(&type)) || type != kFavoriteFolder) return {};
  return ReadBufferText(kItemTextSize, [&](char* buffer, ULONG* size) {
    return favorite->GetFavorite(buffer, size);
  });
}

// Paths are used as typed: Linux file names are case-sensitive.
HRESULT vokEngineCmdLine::OnCd(IvokCommandParser* parser) {
  std::optional<std::string> argument = CommandArgument(parser, 0);
  IvokChDir* navigator = Navigator();
  if (!argument) {
    std::string current(kPathBufferSize, '\0');
    if (navigator && SUCCEEDED(navigator->GetCurrentDir(current.data())))
      ReportInfo(current.c_str(), false);
    return S_OK;
  }
  std::string target = FolderFavorite(*argument);
  if (target.empty()) target = *argument;
  if (!ChangeDirectory(target, true)) ReportError(kIdsPathNotFound);
  return S_OK;
}

void vokEngineCmdLine::Navigate(Step step, LONG count) {
  IvokChDir* navigator = Navigator();
  if (!navigator) return;
  PlaceHistoryMenu(step);
  HRESULT hr = S_OK;
  UINT shortMessage = 0;
  switch (step) {
    case Step::kBack:
      hr = navigator->GoBack(count);
      shortMessage = kIdsBackListShort;
      break;
    case Step::kForward:
      hr = navigator->GoForward(count);
      shortMessage = kIdsForwardListShort;
      break;
    case Step::kUp:
      hr = navigator->GoUp(count);
      shortMessage = kIdsUpLevelsShort;
      break;
  }
  if (hr == VOK_E_NOT_ENOUGH_ENTRIES) {
    ReportError(shortMessage);
  } else if (hr == E_INVALIDARG) {
    ReportError(kIdsWrongParameters);
  }
}

HRESULT vokEngineCmdLine::OnBack(IvokCommandParser* parser) {
  Navigate(Step::kBack, StepCountFromArgument(CommandArgument(parser, 0)));
  return S_OK;
}

HRESULT vokEngineCmdLine::OnForward(IvokCommandParser* parser) {
  Navigate(Step::kForward, StepCountFromArgument(CommandArgument(parser, 0)));
  return S_OK;
}

HRESULT vokEngineCmdLine::OnUp(IvokCommandParser* parser) {
  Navigate(Step::kUp, StepCountFromArgument(CommandArgument(parser, 0)));
  return S_OK;
}

HRESULT vokEngineCmdLine::OnBrowse(IvokCommandParser* parser) {
  std::optional<std::string> what = CommandArgument(parser, 0, vok::ArgCase::kLower);
  if (!what || *what == "file") {
    BrowseForFile();
  } else if (*what == "folder") {
    BrowseForFolder();
  } else if (*what == "cmd") {
    BrowseForCommand();
  } else {
    ReportError(kIdsWrongParameters);
  }
  return S_OK;
}

// The chosen path becomes the command-box text, quoted when it holds a blank so that it stays
// one token when the line runs.
void vokEngineCmdLine::BrowseForFile() {
  vok::ui::OpenFileRequest request;
  request.owner = PanelWindow();
  request.title = LoadText(kIdsBrowseForFile);
  for (UINT filter : {kIdsFilterPrograms, kIdsFilterDocuments, kIdsFilterAllFiles})
    request.filters.push_back(QtNameFilter(LoadText(filter)));
  // Programs and documents of this desktop rarely carry those extensions: all files first.
  request.selected = 2;
  request.startDir = CurrentDirectory();
  if (std::optional<std::string> chosen = vok::ui::CurrentPrompter().OpenFile(request))
    panel_.SetText(RequoteArgument(*chosen));
}

void vokEngineCmdLine::BrowseForFolder() {
  if (IvokChDir* navigator = Navigator()) navigator->BrowseForFolder(PanelWindow());
}

void vokEngineCmdLine::BrowseForCommand() {
  if (!cmdBrowser_) return;
  char command[CmdLinePanelData::kMaxTextBytes + 1] = {};
  ULONG size = sizeof command;
  if (cmdBrowser_->BrowseForCmd(command, &size) == S_OK) panel_.SetText(command);
}
