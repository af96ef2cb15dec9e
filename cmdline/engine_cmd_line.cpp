#include "cmdline/engine_cmd_line.h"

#include <unistd.h>

#include <algorithm>
#include <iterator>

#include "cmdline/resources/cmdline_strings.h"
#include "common/class_ids.h"
#include "platform/com/runtime.h"

using vok::cmdline::kCmdLineResources;

vokEngineCmdLine::vokEngineCmdLine() : EngineBase(kCmdLineResources, kCommands, kVirtualOrder) {}

vokEngineCmdLine::~vokEngineCmdLine() {
  // The panel window calls back into the engine: it must not outlive it.
  delete window_.data();
}

HRESULT CreateEngineCmdLine(IUnknown* outer, REFIID riid, void** ppv) {
  return vok::CreateObject<vokEngineCmdLine>(outer, riid, ppv);
}

// ---------------------------------------------------------------------------------------------
// Start and end

namespace {

std::string ProcessCurrentDirectory() {
  std::string dir(kPathBufferSize, '\0');
  if (!getcwd(dir.data(), dir.size())) return "/";
  dir.resize(std::char_traits<char>::length(dir.c_str()));
  return dir;
}

}  // namespace

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::Init(IUnknown* pEngineContainerUnk, LONG lHint) {
  if (!pEngineContainerUnk) return E_POINTER;
  // The container outlives its engines: its interface is kept without a reference.
  containerIface_ = QueryAs<IvokEngineContainer>(pEngineContainerUnk).Get();
  HRESULT hr = EngineBase::Init(pEngineContainerUnk, lHint);
  if (SUCCEEDED(hr)) {
    SizeLog();
    hr = CreateLists();
  }
  if (SUCCEEDED(hr)) hr = CreateCommandBrowser();
  if (SUCCEEDED(hr)) CreateBrowserHelper();
  // The panel's objects are made whatever happened before.
  HRESULT panelResult = panel_.Init(ProcessCurrentDirectory());
  panel_.SetHistorySize(vok::cmdline::CmdLinePanelData::kDefaultHistorySize);
  return FAILED(hr) ? hr : panelResult;
}

void vokEngineCmdLine::SizeLog() {
  if (IvokLog* log = Log()) log->put_MaxSize(kLogMaxSize);
}

HRESULT vokEngineCmdLine::CreateLists() {
  for (ComPtr<IvokFastList>* list : {&favorites_, &aliases_, &scripts_}) {
    HRESULT hr = CoCreateInstance(vok::clsid::kFastList, nullptr, CLSCTX_INPROC_SERVER,
                                  IvokFastList::kIID, list->ReleaseAndGetVoidAddressOf());
    if (FAILED(hr)) return hr;
    (*list)->Init(1);
    (*list)->put_MaxSize(kListMaxSize);
  }
  return S_OK;
}

HRESULT vokEngineCmdLine::CreateCommandBrowser() {
  HRESULT hr = CoCreateInstance(vok::clsid::kCmdBrowser, nullptr, CLSCTX_INPROC_SERVER,
                                IvokCmdBrowser::kIID, cmdBrowser_.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  return cmdBrowser_->Init(container());
}

// The browser helper that hosts scripts and follows the current directory is an optional
// component: when its class is not installed the engine runs without a browser (scripts and
// the calculator then say so) instead of failing to start. Its interface is not defined in this
// version, so even an installed helper is only kept, and the browser stays unavailable.
void vokEngineCmdLine::CreateBrowserHelper() {
  browserAvailable_ = false;
  CoCreateInstance(vok::clsid::kIEHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                   browserHelper_.ReleaseAndGetVoidAddressOf());
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::Exit() {
  browserHelper_.Reset();
  return EngineBase::Exit();
}

// ---------------------------------------------------------------------------------------------
// Dispatch

HRESULT vokEngineCmdLine::EngineCommand(IUnknown* pParserUnk) {
  ComPtr<IvokCommandParser> parser = QueryAs<IvokCommandParser>(pParserUnk);
  if (parser) {
    std::optional<std::string> word = vok::CommandArgument(parser.Get(), -1);
    if (word && word->size() == 2 && (*word)[1] == ':') return RunDriveWord(*word);
  }
  HRESULT hr = TableCommand(pParserUnk);
  // Directory commands move the navigator; the panel shows where it is now.
  if (hr != S_FALSE) RefreshPanelWindow();
  return hr;
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::RegisterItemCommands() {
  ReregisterItemCommands();
  dirty_ = true;
  return S_OK;
}

// ---------------------------------------------------------------------------------------------
// IvokCmdLineUI and IvokCurrentDir

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::ChangeDir(LPCSTR path, LONG flag) {
  if (!path) return E_POINTER;
  if (!ChangeDirectory(path, flag != 0)) return E_INVALIDARG;
  RefreshPanelWindow();
  return S_OK;
}

// Scripts are started only through the browser helper, which this version does not have, so
// no script is ever running.
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::ScriptFinished() { return S_FALSE; }

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::InsertText(LPCSTR text) {
  if (!text) return E_POINTER;
  panel_.InsertText(text);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::ChangeDir(LPCSTR path) {
  if (!path) return E_POINTER;
  if (ChangeDirectory(path, true)) RefreshPanelWindow();
  return S_OK;
}

// ---------------------------------------------------------------------------------------------
// ISpecifyPropertyPages

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::GetPages(CAUUID* pPages) {
  if (!pPages) return E_POINTER;
  static constexpr CLSID kPages[] = {vok::clsid::kPPCmdLine, vok::clsid::kPPAlias,
                                     vok::clsid::kPPScripts};
  auto* elems = static_cast<CLSID*>(CoTaskMemAlloc(sizeof kPages));
  if (!elems) {
    pPages->cElems = 0;
    pPages->pElems = nullptr;
    return E_OUTOFMEMORY;
  }
  std::copy(std::begin(kPages), std::end(kPages), elems);
  pPages->cElems = static_cast<ULONG>(std::size(kPages));
  pPages->pElems = elems;
  return S_OK;
}

// ---------------------------------------------------------------------------------------------
// CommandContext

IvokLog* vokEngineCmdLine::Log() {
  if (!containerIface_) return nullptr;
  IUnknown* log = nullptr;
  if (FAILED(containerIface_->get_Log(&log)) || !log) return nullptr;
  // The bar owns the log for longer than any command runs; the view is handed out borrowed.
  return QueryAs<IvokLog>(log).Get();
}

std::string vokEngineCmdLine::CurrentDirectory() {
  IvokChDir* navigator = Navigator();
  if (!navigator || navigator->IsDrivesSet() == S_OK) return {};
  std::string dir(kPathBufferSize, '\0');
  if (FAILED(navigator->GetCurrentDir(dir.data()))) return {};
  dir.resize(std::char_traits<char>::length(dir.c_str()));
  return dir;
}
