#include "cmdline/engine_shell_exec.h"

#include "cmdline/file_management_window.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/class_ids.h"
#include "common/memory_stream.h"
#include "platform/com/runtime.h"

using vok::cmdline::kCmdLineResources;

vokEngineShellExec::vokEngineShellExec()
    : EngineBase(kCmdLineResources, /*table=*/nullptr, kVirtualOrder) {}

vokEngineShellExec::~vokEngineShellExec() = default;

HRESULT CreateEngineShellExec(IUnknown* outer, REFIID riid, void** ppv) {
  return vok::CreateObject<vokEngineShellExec>(outer, riid, ppv);
}

// ---------------------------------------------------------------------------------------------
// Start and end

HRESULT STDMETHODCALLTYPE vokEngineShellExec::Init(IUnknown* pEngineContainerUnk, LONG lHint) {
  if (!pEngineContainerUnk) return E_POINTER;
  // The container outlives its engines: its interface is kept without a reference.
  containerIface_ = QueryAs<IvokEngineContainer>(pEngineContainerUnk).Get();
  HRESULT hr = EngineBase::Init(pEngineContainerUnk, lHint);
  if (SUCCEEDED(hr)) hr = CreateFilterList();
  if (SUCCEEDED(hr)) hr = CreateFileView();
  return hr;
}

HRESULT vokEngineShellExec::CreateFilterList() {
  HRESULT hr = CoCreateInstance(vok::clsid::kFastList, nullptr, CLSCTX_INPROC_SERVER,
                                IvokFastList::kIID, filters_.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  filters_->Init(1);
  filters_->put_MaxSize(kFilterListMaxSize);
  // Setting the limit counts as a change in the list; a new engine's defaults are not one,
  // or every new bar would ask to save on exit. Saving the empty list clears the mark.
  ComPtr<vok::MemoryStream> scratch = vok::MemoryStream::Create();
  if (ComPtr<IPersistStream> persist = QueryAs<IPersistStream>(filters_.Get()))
    persist->Save(scratch.Get(), 1);
  return S_OK;
}

// The file view lives as long as the engine so that its settings (sorting, columns) persist
// with the engine's stream; the File Management window borrows it while it is open.
HRESULT vokEngineShellExec::CreateFileView() {
  ComPtr<IUnknown> view;
  HRESULT hr = CoCreateInstance(vok::clsid::kFileViewWnd, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IUnknown, view.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  ComPtr<IvokFileViewCmd> command;
  hr = view->QueryInterface(IvokFileViewCmd::kIID, command.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  hr = command->Init(Identity(), /*bDirs=*/1);
  if (FAILED(hr)) return hr;
  fileView_ = std::move(view);
  return S_OK;
}

// The file view may hold the engine as its site: releasing it here breaks that cycle.
HRESULT STDMETHODCALLTYPE vokEngineShellExec::Exit() {
  fileView_.Reset();
  return EngineBase::Exit();
}

// ---------------------------------------------------------------------------------------------
// Reporting

IvokLog* vokEngineShellExec::Log() const {
  if (!containerIface_) return nullptr;
  IUnknown* log = nullptr;
  if (FAILED(containerIface_->get_Log(&log)) || !log) return nullptr;
  // The bar owns the log for longer than any command runs; the view is handed out borrowed.
  return QueryAs<IvokLog>(log).Get();
}

void vokEngineShellExec::ReportError(UINT id) const {
  IvokLog* log = Log();
  if (!log) return;
  log->Add(vok::LoadStringResource(&kCmdLineResources, id).c_str(), kLogError);
  log->Show();
}

// ---------------------------------------------------------------------------------------------
// IvokFileViewSite

HRESULT STDMETHODCALLTYPE vokEngineShellExec::NavigateTo(LONG bEnter, LPCSTR path) {
  if (!openWindow_) return E_FAIL;
  return vok::cmdline::NavigateFileManagementWindow(*openWindow_, bEnter, path);
}

// The window's shortcuts (Delete, Ctrl+C ...) must reach the name being edited instead. A
// second BeginRename keeps the registration saved by the first, and EndRename without a
// BeginRename leaves the current one alone, so the saved one is never lost.
HRESULT STDMETHODCALLTYPE vokEngineShellExec::BeginRename() {
  if (!renaming_) {
    savedAccelerators_ = vok::ui::SetAccelerators({});
    renaming_ = true;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineShellExec::EndRename() {
  if (renaming_) {
    vok::ui::SetAccelerators(std::move(savedAccelerators_));
    savedAccelerators_ = {};
    renaming_ = false;
  }
  return S_OK;
}
