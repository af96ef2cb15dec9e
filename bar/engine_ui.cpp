#include "bar/engine_ui.h"

#include <optional>
#include <string>

#include "bar/resources/bar_strings.h"
#include "bar/ui_settings.h"
#include "common/class_ids.h"
#include "common/cmdline_ifaces.h"
#include "common/stream_util.h"
#include "common/text_util.h"
#include "platform/com/runtime.h"
#include "platform/ui/prompter.h"

namespace bar = vok::bar;
using vok::ArgCase;
using vok::CommandArgument;
using vok::bar::BarString;
using vok::bar::WindowOperation;
using vok::bar::WindowOperationResult;

namespace vok::bar {
namespace {

BarHost* g_host = nullptr;

}  // namespace

void SetEngineUiHost(BarHost* host) { g_host = host; }
BarHost* EngineUiHost() { return g_host; }

HRESULT CreateEngineUI(IUnknown* outer, REFIID riid, void** ppv) {
  return CreateObject<vokEngineUI>(outer, riid, ppv);
}

}  // namespace vok::bar

namespace {

// The text after the command word as typed, without the blank in front ("" when none).
std::string ArgumentText(IvokCommandParser* parser) {
  std::string text = vok::AllArguments(parser);
  if (!text.empty() && text.front() == ' ') text.erase(0, 1);
  return text;
}

}  // namespace

// "file" is only for a bar with a data file (hint level 1); everything else is always there.
const vokEngineUI::CommandEntry vokEngineUI::kCommands[] = {
    {&vokEngineUI::OnMenu, bar::kIdsCmdMenu, bar::kIdsSynMenu, bar::kIdsDescMenu, 0},
    {&vokEngineUI::OnExit, bar::kIdsCmdExit, bar::kIdsSynExit, bar::kIdsDescExit, 0},
    {&vokEngineUI::OnExit, bar::kIdsCmdQuit, bar::kIdsSynQuit, bar::kIdsDescQuit, 0},
    {&vokEngineUI::OnOptions, bar::kIdsCmdOptions, bar::kIdsSynOptions, bar::kIdsDescOptions, 0},
    {&vokEngineUI::OnFile, bar::kIdsCmdFile, bar::kIdsSynFile, bar::kIdsDescFile, 1},
    {&vokEngineUI::OnAutohide, bar::kIdsCmdAutohide, bar::kIdsSynAutohide, bar::kIdsDescAutohide,
     0},
    {&vokEngineUI::OnDock, bar::kIdsCmdDock, bar::kIdsSynDock, bar::kIdsDescDock, 0},
    {&vokEngineUI::OnLog, bar::kIdsCmdLog, bar::kIdsSynLog, bar::kIdsDescLog, 0},
    {&vokEngineUI::OnMinimize, bar::kIdsCmdMinimize, bar::kIdsSynMinimize, bar::kIdsDescMinimize,
     0},
    {&vokEngineUI::OnRestore, bar::kIdsCmdRestore, bar::kIdsSynRestore, bar::kIdsDescRestore, 0},
    {&vokEngineUI::OnOntop, bar::kIdsCmdOntop, bar::kIdsSynOntop, bar::kIdsDescOntop, 0},
    {&vokEngineUI::OnPause, bar::kIdsCmdPause, bar::kIdsSynPause, bar::kIdsDescPause, 0},
    {&vokEngineUI::OnScrsaver, bar::kIdsCmdScrsaver, bar::kIdsSynScrsaver, bar::kIdsDescScrsaver,
     0},
    {&vokEngineUI::OnHelp, bar::kIdsCmdHelp, bar::kIdsSynHelp, bar::kIdsDescHelp, 0},
    {&vokEngineUI::OnAutominimize, bar::kIdsCmdAutominimize, bar::kIdsSynAutominimize,
     bar::kIdsDescAutominimize, 0},
    {&vokEngineUI::OnShowdesktop, bar::kIdsCmdShowdesktop, bar::kIdsSynShowdesktop,
     bar::kIdsDescShowdesktop, 0},
    {&vokEngineUI::OnWinmove, bar::kIdsCmdWinmove, bar::kIdsSynWinmove, bar::kIdsDescWinmove, 0},
    {&vokEngineUI::OnWinsize, bar::kIdsCmdWinsize, bar::kIdsSynWinsize, bar::kIdsDescWinsize, 0},
    {&vokEngineUI::OnMaximize, bar::kIdsCmdMaximize, bar::kIdsSynMaximize, bar::kIdsDescMaximize,
     0},
    {&vokEngineUI::OnClose, bar::kIdsCmdClose, bar::kIdsSynClose, bar::kIdsDescClose, 0},
    {nullptr},
};

vokEngineUI::vokEngineUI() : EngineBase(bar::BarResources(), kCommands, kVirtualOrder) {}

HRESULT STDMETHODCALLTYPE vokEngineUI::Init(IUnknown* pEngineContainerUnk, LONG lHint) {
  host_ = bar::EngineUiHost();
  if (!host_) return E_UNEXPECTED;
  return EngineBase::Init(pEngineContainerUnk, lHint);
}

std::string vokEngineUI::CommandTreeTitle() const { return BarString(bar::kIdsUiCategory); }

// ---------------------------------------------------------------------------------------------
// Reporting

void vokEngineUI::Info(UINT id) {
  if (IvokLog* log = host_->Log()) log->Add(BarString(id).c_str(), kLogInfo);
}

void vokEngineUI::Error(UINT id) {
  IvokLog* log = host_->Log();
  if (!log) return;
  log->Add(BarString(id).c_str(), kLogError);
  log->Show();
}

void vokEngineUI::WrongParameter() { Error(bar::kIdsWrongParameter); }

bool vokEngineUI::RequireDesktop() {
  if (host_->Desktop().Available()) return true;
  Error(bar::kIdsDesktopUnavailable);
  return false;
}

// ---------------------------------------------------------------------------------------------
// Settings and the window

void vokEngineUI::ApplySettings() {
  if (bar::BarWindowControl* window = Window()) window->ApplySettings();
}

void vokEngineUI::LeaveAutoHideIfWindow() {
  if (bar::BarWindowControl* window = Window()) window->LeaveAutoHide();
}

void vokEngineUI::SettingsChangedByCommand() {
  host_->SetSettingsChanged(true);
  ApplySettings();
}

vokEngineUI::Toggle vokEngineUI::ReadToggle(IvokCommandParser* parser, bool* setting, UINT onId,
                                            UINT offId) {
  std::optional<std::string> word = CommandArgument(parser, 0, ArgCase::kLower);
  if (!word) {
    Info(*setting ? onId : offId);
    return Toggle::kReported;
  }
  if (*word != "on" && *word != "off") {
    WrongParameter();
    return Toggle::kWrong;
  }
  *setting = *word == "on";
  return Toggle::kSet;
}

// ---------------------------------------------------------------------------------------------
// Commands

HRESULT vokEngineUI::OnMenu(IvokCommandParser*) {
  if (bar::BarWindowControl* window = Window()) window->OpenMainMenu(/*withKeyboard=*/true);
  return S_OK;
}

HRESULT vokEngineUI::OnExit(IvokCommandParser*) {
  host_->Exit();
  return S_OK;
}

HRESULT vokEngineUI::OnOptions(IvokCommandParser*) {
  host_->ShowOptions();
  return S_OK;
}

HRESULT vokEngineUI::OnFile(IvokCommandParser* parser) {
  std::optional<std::string> word = CommandArgument(parser, 0, ArgCase::kLower);
  if (word == "open") {
    // Opening asks whether to save the changes first (as the menu's Open does); asking here as
    // well would put the question to the user twice.
    host_->OpenDataFileWithDialog();
  } else if (word == "save") {
    host_->SaveDataFile();
  } else if (word == "saveas") {
    host_->SaveDataFileAs();
  } else {
    WrongParameter();
    return S_OK;
  }
  // A dialog may have covered the bar or a new file may hold other settings.
  ApplySettings();
  LeaveAutoHideIfWindow();
  return S_OK;
}

// The bar stays visible after the change until it loses the focus.
HRESULT vokEngineUI::OnAutohide(IvokCommandParser* parser) {
  if (ReadToggle(parser, &Settings().autoHide, bar::kIdsAutohideOn, bar::kIdsAutohideOff) ==
      Toggle::kSet) {
    SettingsChangedByCommand();
    LeaveAutoHideIfWindow();
  }
  return S_OK;
}

HRESULT vokEngineUI::OnDock(IvokCommandParser* parser) {
  bar::UiSettings& settings = Settings();
  std::optional<std::string> word = CommandArgument(parser, 0, ArgCase::kLower);
  if (!word) {
    if (!settings.docked) {
      Info(bar::kIdsFloating);
    } else {
      Info(settings.dockEdge == 0 ? bar::kIdsDockedTop : bar::kIdsDockedBottom);
    }
    return S_OK;
  }
  if (*word == "top" || *word == "bottom") {
    settings.docked = true;
    settings.dockEdge = *word == "top" ? 0 : 1;
  } else if (*word == "on" || *word == "off") {
    settings.docked = *word == "on";  // "on" docks at the edge saved before
  } else {
    WrongParameter();
    return S_OK;
  }
  SettingsChangedByCommand();
  LeaveAutoHideIfWindow();
  return S_OK;
}

// The whole text after the word is one message: "log build finished" keeps every word.
HRESULT vokEngineUI::OnLog(IvokCommandParser* parser) {
  IvokLog* log = host_->Log();
  if (!log) return S_OK;
  const std::string text = vok::ToLower(ArgumentText(parser));
  if (text == "clear") {
    log->Clear();
    return S_OK;
  }
  if (!text.empty()) log->Add(text.c_str(), kLogInfo);
  log->Show();
  return S_OK;
}

HRESULT vokEngineUI::OnMinimize(IvokCommandParser* parser) {
  std::optional<std::string> word = CommandArgument(parser, 0);
  if (word && vok::ToLower(*word) == "all") {
    if (RequireDesktop()) host_->Desktop().ShowDesktop(true);
  } else if (word && !word->empty()) {
    OperateOnWindow(WindowOperation::kMinimize, *word);
  } else if (Settings().docked) {
    Error(bar::kIdsCannotMinimizeDocked);
  } else if (bar::BarWindowControl* window = Window()) {
    window->MinimizeToTray();
  }
  return S_OK;
}

HRESULT vokEngineUI::OnRestore(IvokCommandParser* parser) {
  std::optional<std::string> word = CommandArgument(parser, 0);
  if (word && !word->empty()) {
    OperateOnWindow(WindowOperation::kRestore, *word);
  } else if (Settings().docked) {
    Error(bar::kIdsCannotMinimizeDocked);
  } else if (bar::BarWindowControl* window = Window()) {
    window->RestoreFromTray();
  }
  return S_OK;
}

HRESULT vokEngineUI::OnOntop(IvokCommandParser* parser) {
  if (ReadToggle(parser, &Settings().alwaysOnTop, bar::kIdsOnTopOn, bar::kIdsOnTopOff) ==
      Toggle::kSet) {
    SettingsChangedByCommand();
  }
  return S_OK;
}

// Auto-minimize only makes sense for a floating bar. Like the menu toggle, the command marks the
// settings changed (so the exit routine saves it) but applies nothing: the bar reads the setting
// when it is activated.
HRESULT vokEngineUI::OnAutominimize(IvokCommandParser* parser) {
  bar::UiSettings& settings = Settings();
  if (settings.docked && CommandArgument(parser, 0)) {
    Error(bar::kIdsAutoMinimizeDocked);
    return S_OK;
  }
  if (ReadToggle(parser, &settings.autoMinimize, bar::kIdsAutoMinimizeOn,
                 bar::kIdsAutoMinimizeOff) == Toggle::kSet) {
    host_->SetSettingsChanged(true);
  }
  return S_OK;
}

// Waits until the user closes the box (a script's pause between steps).
HRESULT vokEngineUI::OnPause(IvokCommandParser* parser) {
  vok::ui::Message message;
  bar::BarWindowControl* window = Window();
  message.owner = window ? window->Widget() : nullptr;
  message.text = ArgumentText(parser);
  if (message.text.empty()) message.text = BarString(bar::kIdsPauseDefault);
  message.caption = BarString(bar::kIdsPauseCaption);
  message.icon = vok::ui::Icon::kInformation;
  message.buttons = vok::ui::Buttons::kOk;
  vok::ui::Ask(message);
  return S_OK;
}

HRESULT vokEngineUI::OnScrsaver(IvokCommandParser*) {
  if (RequireDesktop()) host_->Desktop().StartScreenSaver();
  return S_OK;
}

HRESULT vokEngineUI::OnHelp(IvokCommandParser*) {
  host_->OpenHelp("qdxhelp.htm");
  return S_OK;
}

HRESULT vokEngineUI::OnShowdesktop(IvokCommandParser*) {
  if (RequireDesktop()) host_->Desktop().ShowDesktop(true);
  return S_OK;
}

HRESULT vokEngineUI::OnWinmove(IvokCommandParser* parser) {
  return RunWindowCommand(parser, WindowOperation::kMove);
}
HRESULT vokEngineUI::OnWinsize(IvokCommandParser* parser) {
  return RunWindowCommand(parser, WindowOperation::kSize);
}
HRESULT vokEngineUI::OnMaximize(IvokCommandParser* parser) {
  return RunWindowCommand(parser, WindowOperation::kMaximize);
}
HRESULT vokEngineUI::OnClose(IvokCommandParser* parser) {
  return RunWindowCommand(parser, WindowOperation::kClose);
}

HRESULT vokEngineUI::RunWindowCommand(IvokCommandParser* parser, WindowOperation operation) {
  std::optional<std::string> titlePart = CommandArgument(parser, 0);
  // An empty part would match whatever window happens to be on top.
  if (titlePart && !titlePart->empty()) OperateOnWindow(operation, *titlePart);
  return S_OK;
}

void vokEngineUI::OperateOnWindow(WindowOperation operation, const std::string& titlePart) {
  switch (bar::RunWindowOperation(host_->Desktop(), operation, titlePart)) {
    case WindowOperationResult::kDone:
      break;
    case WindowOperationResult::kNotFound:
      Error(bar::kIdsWindowNotFound);
      break;
    case WindowOperationResult::kDesktopUnavailable:
      Error(bar::kIdsDesktopUnavailable);
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// IPersistStorage

HRESULT STDMETHODCALLTYPE vokEngineUI::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = vok::clsid::kEngineUI;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineUI::IsDirty() {
  if (!host_) return E_UNEXPECTED;
  return host_->SettingsChanged() ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE vokEngineUI::Load(IStorage* pStg) {
  if (!pStg) return E_POINTER;
  if (!host_) return E_UNEXPECTED;
  bar::UiSettings& settings = Settings();
  HRESULT hr = vok::ReadStorageStream(
      pStg, kStreamName, [&](IStream* stream) { bar::LoadUiSettings(stream, settings); });
  if (FAILED(hr)) return hr;
  // The stored height may be another screen's or another version's: the bar's height is its
  // own. A rectangle never recorded stays empty so that the window keeps its first place.
  RECT& floating = settings.floatingRect;
  const bool recorded =
      floating.left != 0 || floating.top != 0 || floating.right != 0 || floating.bottom != 0;
  if (bar::BarWindowControl* window = Window(); window && recorded)
    floating.bottom = floating.top + window->InitialHeight();
  host_->SetSettingsChanged(false);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineUI::Save(IStorage* pStg, BOOL) {
  if (!pStg) return E_POINTER;
  if (!host_) return E_UNEXPECTED;
  HRESULT hr = vok::WriteStorageStream(
      pStg, kStreamName, [&](IStream* stream) { bar::SaveUiSettings(stream, Settings()); });
  if (SUCCEEDED(hr)) host_->SetSettingsChanged(false);
  return hr;
}

// ---------------------------------------------------------------------------------------------
// IvokBarWindow

HRESULT STDMETHODCALLTYPE vokEngineUI::SetTopmost(LONG bTopmost) {
  if (!host_) return E_UNEXPECTED;
  bar::BarWindowControl* window = Window();
  if (window && Settings().alwaysOnTop) window->SetTopmost(bTopmost != 0);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineUI::LeaveAutoHide() {
  if (!host_) return E_UNEXPECTED;
  LeaveAutoHideIfWindow();
  return S_OK;
}

// ---------------------------------------------------------------------------------------------
// ISpecifyPropertyPages

HRESULT STDMETHODCALLTYPE vokEngineUI::GetPages(CAUUID* pPages) {
  if (!pPages) return E_POINTER;
  pPages->cElems = 0;
  pPages->pElems = static_cast<CLSID*>(CoTaskMemAlloc(sizeof(CLSID)));
  if (!pPages->pElems) return E_OUTOFMEMORY;
  pPages->pElems[0] = vok::clsid::kPPUI;
  pPages->cElems = 1;
  return S_OK;
}
