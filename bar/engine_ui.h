// vokEngineUI: the engine of the bar's own commands (docking, auto-hide, always on top,
// auto-minimize, the main menu, options, exit, the data file, the log, pause, the screen saver,
// show desktop and operations on other applications' windows found by part of their title).
// It is first in dispatch order, stores the bar's settings in the stream "UI_DATA" of the data
// file and offers other components the bar window's services (IvokBarWindow).
//
// The engine lives inside the program and reaches it only through a BarHost: the program calls
// SetEngineUiHost before the container creates its engines, and serves the class
// vok::clsid::kEngineUI with CreateEngineUI. The host (settings, window, desktop, log) is taken
// at Init and must outlive the engine; the container is held without a reference.
// Single-threaded: every call comes from the user-interface thread.
#pragma once

#include "bar/bar_host.h"
#include "bar/window_operation.h"
#include "common/bar_ifaces.h"
#include "common/engine_base.h"
#include "platform/com/objidl.h"

namespace vok::bar {

// The host engines created from now on use; not owned, may be null (Init then fails).
void SetEngineUiHost(BarHost* host);
BarHost* EngineUiHost();

// The creation function of vokEngineUI for the program's class table (a vok::CreateFn).
HRESULT CreateEngineUI(IUnknown* outer, REFIID riid, void** ppv);

}  // namespace vok::bar

class vokEngineUI final : public vok::EngineBase<vokEngineUI, vok::NoCommandExtra, IPersistStorage,
                                                 IvokBarWindow, ISpecifyPropertyPages> {
 public:
  static constexpr LONG kVirtualOrder = 0;
  // The stream of the bar's settings in the data file's root storage.
  static constexpr char kStreamName[] = "UI_DATA";

  vokEngineUI();

  // IvokEngine
  // Takes the host set by SetEngineUiHost (E_UNEXPECTED without one), stores the container and
  // the hint level and registers the command table ("file" needs hint level 1).
  HRESULT STDMETHODCALLTYPE Init(IUnknown* pEngineContainerUnk, LONG lHint) override;

  // IPersistStorage: the bar's settings in stream "UI_DATA". Before Init: E_UNEXPECTED.
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  // S_OK while the bar's settings are marked changed, else S_FALSE.
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE InitNew(IStorage*) override { return S_OK; }
  // Reads the record (fields read before a failure keep their new values); on success re-bases
  // the floating rectangle on the window's initial height and clears the changed flag. A
  // missing stream leaves the settings and returns the opening failure.
  HRESULT STDMETHODCALLTYPE Load(IStorage* pStg) override;
  // Writes the record (version 3); on success clears the changed flag.
  HRESULT STDMETHODCALLTYPE Save(IStorage* pStg, BOOL fSameAsLoad) override;
  HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return S_OK; }

  // IvokBarWindow: both do nothing in headless mode (no window); S_OK after Init.
  // Topmost on or off, only while the always-on-top setting is on.
  HRESULT STDMETHODCALLTYPE SetTopmost(LONG bTopmost) override;
  HRESULT STDMETHODCALLTYPE LeaveAutoHide() override;

  // ISpecifyPropertyPages: the bar's options page (vok::clsid::kPPUI). The caller frees the
  // array with CoTaskMemFree.
  HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pPages) override;

  static const CommandEntry kCommands[];

 protected:
  std::string CommandTreeTitle() const override;

 private:
  // Command handlers. Every recognised command returns S_OK: what goes wrong is reported in
  // the log.
  HRESULT OnMenu(IvokCommandParser* parser);
  HRESULT OnExit(IvokCommandParser* parser);
  HRESULT OnOptions(IvokCommandParser* parser);
  HRESULT OnFile(IvokCommandParser* parser);
  HRESULT OnAutohide(IvokCommandParser* parser);
  HRESULT OnDock(IvokCommandParser* parser);
  HRESULT OnLog(IvokCommandParser* parser);
  HRESULT OnMinimize(IvokCommandParser* parser);
  HRESULT OnRestore(IvokCommandParser* parser);
  HRESULT OnOntop(IvokCommandParser* parser);
  HRESULT OnPause(IvokCommandParser* parser);
  HRESULT OnScrsaver(IvokCommandParser* parser);
  HRESULT OnHelp(IvokCommandParser* parser);
  HRESULT OnAutominimize(IvokCommandParser* parser);
  HRESULT OnShowdesktop(IvokCommandParser* parser);
  HRESULT OnWinmove(IvokCommandParser* parser);
  HRESULT OnWinsize(IvokCommandParser* parser);
  HRESULT OnMaximize(IvokCommandParser* parser);
  HRESULT OnClose(IvokCommandParser* parser);

  vok::bar::UiSettings& Settings() { return host_->Settings(); }
  vok::bar::BarWindowControl* Window() { return host_->Window(); }
  // Marks the settings changed and makes the window follow them.
  void SettingsChangedByCommand();
  void ApplySettings();
  void LeaveAutoHideIfWindow();

  void Info(UINT id);
  // An error entry; the log window is shown.
  void Error(UINT id);
  void WrongParameter();
  // Logs why a desktop request could not run; false when the desktop is unavailable.
  bool RequireDesktop();
  // The window commands: with a title part, the operation on the first window whose title
  // contains it; without one, nothing.
  HRESULT RunWindowCommand(IvokCommandParser* parser, vok::bar::WindowOperation operation);
  // Runs the operation and reports a missing window or desktop.
  void OperateOnWindow(vok::bar::WindowOperation operation, const std::string& titlePart);

  // The on/off commands: without an argument the setting is reported (onId or offId), "on" and
  // "off" set it (kSet), any other word is reported as a wrong parameter.
  enum class Toggle { kReported, kSet, kWrong };
  Toggle ReadToggle(IvokCommandParser* parser, bool* setting, UINT onId, UINT offId);

  vok::bar::BarHost* host_ = nullptr;
};
