#include "bar/context_folders.h"

#include <filesystem>
#include <system_error>

#include "bar/resources/bar_strings.h"
#include "common/text_util.h"
#include "platform/shell/paths.h"

namespace vok::bar {
namespace {

bool Matches(const ContextFolder& entry, std::string_view title) {
  if (entry.title.empty()) return false;
  std::string pattern = entry.title;
  std::string subject(title);
  if (!entry.matchCase) {
    pattern = ToLower(pattern);
    subject = ToLower(subject);
  }
  return entry.wholeTitle ? subject == pattern : subject.find(pattern) != std::string::npos;
}

// "~/src" names a folder of the home folder, as it does on the command line.
bool IsFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(shell::ExpandHome(path), error);
}

}  // namespace

ComPtr<IvokCmdLineUI> FindCommandLineUI(IvokEngineContainer* container) {
  if (!container) return nullptr;
  ComPtr<IUnknown> engine;
  if (FAILED(container->GetEngineByIface(IvokCmdLineUI::kIID, engine.ReleaseAndGetAddressOf())))
    return nullptr;
  return QueryAs<IvokCmdLineUI>(engine.Get());
}

std::string ActiveWindowTitle(const x11::Desktop& desktop, x11::WindowId active,
                              x11::WindowId self) {
  if (active == 0 || active == self) return {};
  for (const x11::TopLevelWindow& window : desktop.TopLevelWindows())
    if (window.id == active) return window.title;
  return {};
}

const ContextFolder* MatchContextFolder(const std::vector<ContextFolder>& folders,
                                        std::string_view title) {
  for (const ContextFolder& entry : folders)
    if (Matches(entry, title)) return &entry;
  return nullptr;
}

ContextFolders::ContextFolders(BarHost& host, IUnknown* container)
    : host_(host), container_(QueryAs<IvokEngineContainer>(container)) {}

void ContextFolders::OnActiveTitle(const std::string& title) {
  if (title.empty() || title == lastTitle_) return;
  lastTitle_ = title;
  if (const ContextFolder* entry = MatchContextFolder(host_.Settings().contextFolders, title))
    ChangeTo(entry->folder);
}

void ContextFolders::ChangeTo(const std::string& folder) {
  ComPtr<IvokCmdLineUI> commandLine = FindCommandLineUI(container_.Get());
  if (!commandLine) return;
  // Checked here: a folder that went away must not leave the command line in a failed state,
  // and the title that led to it comes back often, so it is reported once.
  if (IsFolder(folder) && SUCCEEDED(commandLine->ChangeDir(folder.c_str(), 1))) {
    reportedMissing_.erase(folder);
    return;
  }
  if (!reportedMissing_.insert(folder).second) return;
  const std::string text = Substitute(BarString(kIdsContextFolderNotFound), "%s", folder);
  // Written without opening the log window: it would come up over the application the user
  // just switched to.
  if (IvokLog* log = host_.Log()) log->Add(text.c_str(), kLogError);
}

}  // namespace vok::bar
