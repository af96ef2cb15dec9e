#include "bar/application.h"

#include <filesystem>
#include <system_error>

#include "bar/data_file.h"
#include "bar/engine_ui.h"
#include "bar/log.h"
#include "bar/property_frame.h"
#include "bar/resources/bar_strings.h"
#include "common/class_ids.h"
#include "common/text_util.h"
#include "platform/shell/shell.h"
#include "platform/ui/prompter.h"

namespace vok::bar {

const char kFirstRunMarker[] = "QDXFirstRun.txt";
const char kHomePage[] = "https://quillo.dravik.example/";

namespace {

// Hint level of the bar program: every command, "file" included.
constexpr LONG kEngineHint = 1;

// The engines, in the container's order: the user-interface, command-line, property-page,
// shell-execution and system-settings panel engines.
const CLSID* const kEngines[] = {&clsid::kEngineUI,      &clsid::kEngineCmdLine,
                                 &clsid::kEngineProf,    &clsid::kEngineShellExec,
                                 &clsid::kEngineSysInfo, nullptr};

// Where the options sheet opens, relative to its owner.
constexpr UINT kOptionsX = 50;
constexpr UINT kOptionsY = 50;

std::string Formatted(UINT id, const std::string& argument) {
  return Substitute(BarString(id), "%s", argument);
}

std::string Absolute(const std::string& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.lexically_normal().string();
}

std::string DefaultSuffix() {
  std::string extension = BarString(kIdsDefaultExtension);
  return !extension.empty() && extension.front() == '.' ? extension.substr(1) : extension;
}

}  // namespace

std::vector<std::string> DataFileFilters() {
  std::vector<std::string> parts;
  std::string text = BarString(kIdsFileFilter);
  for (size_t start = 0; start <= text.size();) {
    size_t bar = text.find('|', start);
    if (bar == std::string::npos) bar = text.size();
    parts.push_back(text.substr(start, bar - start));
    start = bar + 1;
  }
  std::vector<std::string> filters;
  for (size_t i = 0; i + 1 < parts.size() && !parts[i].empty(); i += 2) {
    std::string label = parts[i];
    const std::string& pattern = parts[i + 1];
    if (pattern == "*.*") {
      if (size_t at = label.find("(*.*)"); at != std::string::npos) label.replace(at, 5, "(*)");
    }
    filters.push_back(std::move(label));
  }
  return filters;
}

Application::Application(RunMode mode, ApplicationSeams seams)
    : mode_(mode), seams_(std::move(seams)) {
  desktop_ = seams_.desktop ? std::move(seams_.desktop) : x11::CreateDesktop();
  if (!seams_.openDocument) {
    seams_.openDocument = [](const std::string& path) {
      return shell::Open(path, shell::Verb::kOpen);
    };
  }
  recent_.Load();
}

Application::~Application() { ReleaseComponents(); }

// ---------------------------------------------------------------------------------------------
// Start-up

bool Application::CreateComponents() {
  HRESULT hr = classObjects_.Register(seams_.classes);
  // The engine takes its host when the container creates it.
  SetEngineUiHost(this);
  // The container's options sheet shows the engines' pages in the program's frame.
  InstallPropertyFrame(this);
  if (SUCCEEDED(hr)) hr = CreateLog();
  if (SUCCEEDED(hr)) hr = CreateContainer();
  if (SUCCEEDED(hr)) hr = CreateProbe();
  if (SUCCEEDED(hr)) return true;
  ReleaseComponents();
  ui::Ask({nullptr, BarString(kIdsNotInstalled), BarString(kIdsAppName), ui::Icon::kError,
           ui::Buttons::kOk});
  return false;
}

HRESULT Application::CreateLog() {
  ComPtr<IvokLog> log;
  HRESULT hr = CoCreateInstance(clsid::kLog, nullptr, CLSCTX_ALL, IvokLog::kIID,
                                log.ReleaseAndGetVoidAddressOf());
  if (SUCCEEDED(hr)) hr = log->Init();
  if (SUCCEEDED(hr)) log_ = std::move(log);
  return hr;
}

HRESULT Application::CreateContainer() {
  ComPtr<IvokEngineContainer> container;
  HRESULT hr = CoCreateInstance(clsid::kEngineContainer, nullptr, CLSCTX_ALL,
                                IvokEngineContainer::kIID, container.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  ComPtr<IUnknown> logIdentity = IdentityOf(log_.Get());
  hr = container->put_Log(logIdentity.Get());
  if (SUCCEEDED(hr)) hr = container->Init(kEngines, kEngineHint);
  if (SUCCEEDED(hr)) container_ = std::move(container);
  return hr;
}

HRESULT Application::CreateProbe() {
  ComPtr<IvokComCtlVer> probe;
  HRESULT hr = CoCreateInstance(clsid::kComCtlVer, nullptr, CLSCTX_ALL, IvokComCtlVer::kIID,
                                probe.ReleaseAndGetVoidAddressOf());
  if (SUCCEEDED(hr)) hr = probe->Init();
  if (SUCCEEDED(hr)) probe_ = std::move(probe);
  return hr;
}

std::string Application::HelpPath(const std::string& page) const {
  std::filesystem::path help =
      std::filesystem::path(seams_.programDir) / ".." / "share" / "quillo" / "help" / page;
  return help.lexically_normal().string();
}

bool Application::HandleFirstRun() {
  const std::filesystem::path marker = std::filesystem::path(seams_.programDir) / kFirstRunMarker;
  std::error_code error;
  if (!std::filesystem::remove(marker, error)) return false;
  OpenHelp("qdx_gs.htm");
  return true;
}

void Application::AttachWindow(BarWindowControl* window) {
  window_ = window;
  if (auto* log = dynamic_cast<vokLog*>(log_.Get())) log->SetOwnerWindow(Owner());
}

// ---------------------------------------------------------------------------------------------
// The data file

ComPtr<IPersistStorage> Application::Persistence() const {
  return QueryAs<IPersistStorage>(container_.Get());
}

ComPtr<IvokPanelBar> Application::Panels() const { return QueryAs<IvokPanelBar>(container_.Get()); }

bool Application::HasUnsavedChanges() {
  ComPtr<IPersistStorage> persist = Persistence();
  if (!persist) return false;
  return unsavedKept_ || persist->IsDirty() == S_OK;
}

HRESULT Application::LoadKeepingState(const std::string& path) {
  ComPtr<IPersistStorage> persist = Persistence();
  if (!persist) return E_NOINTERFACE;
  const bool hadChanges = HasUnsavedChanges();
  const bool settingsChanged = settingsChanged_;
  // Without a copy of the state to return to, a half-read file could not be undone.
  StateSnapshot before;
  HRESULT hr = before.Take(persist.Get());
  if (SUCCEEDED(hr)) hr = bar::LoadDataFile(persist.Get(), path);
  if (FAILED(hr)) {
    before.Restore(persist.Get());
    unsavedKept_ = unsavedKept_ || hadChanges;
  } else {
    unsavedKept_ = false;
    MakeCurrent(path);
  }
  ShowLoadedState();
  // Following the settings moves the window, which records positions as changes: what was
  // loaded is unchanged, and a restored state has the changes it had.
  settingsChanged_ = FAILED(hr) && settingsChanged;
  return hr;
}

void Application::ShowLoadedState() {
  if (ComPtr<IvokPanelBar> panels = Panels()) panels->SelectPanel(kPanelShowSelected);
  if (!window_) return;
  window_->ApplySettings();
  if (settings_.autoHide) window_->LeaveAutoHide();
}

void Application::MakeCurrent(const std::string& path) {
  currentFile_ = path;
  recent_.PutAtHead(path);
}

bool Application::LoadLastDataFile() {
  const std::string path = recent_.Entry(0);
  return path.empty() || LoadAutomatically(path);
}

bool Application::LoadAutomatically(const std::string& path) {
  const std::string absolute = Absolute(path);
  if (SUCCEEDED(LoadKeepingState(absolute))) return true;
  recent_.Remove(path);
  recent_.Remove(absolute);
  currentFile_.clear();
  if (log_) log_->Add(Formatted(kIdsDataFileDefaults, absolute).c_str(), kLogError);
  return false;
}

bool Application::OpenRecentFile(size_t index) {
  const std::string path = recent_.Entry(index);
  if (path.empty()) return false;
  if (SUCCEEDED(LoadKeepingState(path))) return true;
  recent_.Remove(path);
  Report(kIdsDataFileOpenFailed, path);
  return false;
}

bool Application::OpenDataFileWithDialog() {
  if (!AskToSaveChanges()) return false;
  ui::OpenFileRequest request;
  request.owner = Owner();
  request.title = BarString(kIdsOpenDataFileTitle);
  request.filters = DataFileFilters();
  if (!currentFile_.empty())
    request.startDir = std::filesystem::path(currentFile_).parent_path().string();
  std::optional<std::string> chosen = ui::CurrentPrompter().OpenFile(request);
  if (!chosen) return false;
  const std::string path = Absolute(*chosen);
  if (SUCCEEDED(LoadKeepingState(path))) return true;
  Report(kIdsDataFileOpenFailed, path);
  return false;
}

bool Application::SaveTo(const std::string& target) {
  const std::string path = Absolute(target);
  ComPtr<IPersistStorage> persist = Persistence();
  const bool hadChanges = HasUnsavedChanges();
  const bool settingsChanged = settingsChanged_;
  HRESULT hr = persist ? bar::SaveDataFile(persist.Get(), path) : E_NOINTERFACE;
  if (FAILED(hr)) {
    // The engines that saved before the failure consider their changes saved: nothing is.
    unsavedKept_ = unsavedKept_ || hadChanges;
    settingsChanged_ = settingsChanged;
    Report(kIdsDataFileSaveFailed, path);
    return false;
  }
  unsavedKept_ = false;
  settingsChanged_ = false;
  MakeCurrent(path);
  return true;
}

bool Application::SaveDataFile() {
  return currentFile_.empty() ? SaveDataFileAs() : SaveTo(currentFile_);
}

bool Application::SaveDataFileAs() {
  ui::SaveFileRequest request;
  request.owner = Owner();
  request.title = BarString(kIdsSaveDataFileTitle);
  request.filters = DataFileFilters();
  request.defaultSuffix = DefaultSuffix();
  request.startPath = currentFile_;
  std::optional<std::string> chosen = ui::CurrentPrompter().SaveFile(request);
  return chosen && SaveTo(*chosen);
}

void Application::Report(UINT id, const std::string& path) {
  ui::Ask({Owner(), Formatted(id, path), BarString(kIdsAppName), ui::Icon::kExclamation,
           ui::Buttons::kOk});
}

HWND Application::Owner() { return window_ ? window_->Widget() : nullptr; }

// ---------------------------------------------------------------------------------------------
// The exit routine

bool Application::SaveQuestion(Question question) {
  if (!HasUnsavedChanges()) return true;
  ui::Answer answer = ui::Answer::kYes;
  switch (settings_.saveOnExit) {
    case kSaveWithoutAsking:
      break;
    case kExitWithoutSaving:
      answer = ui::Answer::kNo;
      break;
    default:
      if (question == Question::kSilent) {
        // Nobody to ask: keep the changes where they can go without a dialog.
        answer = currentFile_.empty() ? ui::Answer::kNo : ui::Answer::kYes;
      } else {
        answer = ui::Ask({Owner(), BarString(kIdsSaveQuestion), BarString(kIdsAppName),
                          ui::Icon::kQuestion, ui::Buttons::kYesNoCancel});
      }
      break;
  }
  if (answer == ui::Answer::kYes) return SaveDataFile();
  return answer == ui::Answer::kNo;
}

bool Application::AskToSaveChanges() { return SaveQuestion(Question::kAsk); }

bool Application::Close() {
  if (!closing_) {
    closing_ = true;
    if (closeHandler_) closeHandler_();
  }
  return true;
}

bool Application::Exit() {
  if (closing_) return true;
  // A headless run ends after the line that asked, and never asks.
  if (mode_ == RunMode::kHeadless) return Close();
  return SaveQuestion(Question::kAsk) && Close();
}

bool Application::ExitForSessionEnd(bool mayAsk) {
  if (closing_) return true;
  return SaveQuestion(mayAsk ? Question::kAsk : Question::kSilent) && Close();
}

void Application::ReleaseComponents() {
  window_ = nullptr;
  container_.Reset();
  probe_.Reset();
  log_.Reset();
  if (EngineUiHost() == this) SetEngineUiHost(nullptr);
  RemovePropertyFrame(this);
  classObjects_.Revoke();
}

// ---------------------------------------------------------------------------------------------
// Options and help

void Application::ShowOptions() {
  if (inOptions_ || !container_) return;
  inOptions_ = true;
  const bool onTop = settings_.alwaysOnTop && window_;
  if (onTop) window_->SetTopmost(false);
  container_->Properties(Owner(), kOptionsX, kOptionsY, BarString(kIdsAppName).c_str());
  if (onTop) window_->SetTopmost(true);
  if (settings_.autoHide && window_) window_->LeaveAutoHide();
  inOptions_ = false;
}

void Application::OpenHelp(const std::string& page) { seams_.openDocument(HelpPath(page)); }

void Application::OpenHomePage() { seams_.openDocument(kHomePage); }

}  // namespace vok::bar
