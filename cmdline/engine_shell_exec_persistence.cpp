// The settings of vokEngineShellExec (IvokEngineShellExecProp) and its stream
// "ENG_SHELL_EXEC" in the data file's root storage. Little-endian, LONG = 4 bytes; objects
// write their own IPersistStream record in place (no class identifier, no length):
//
//   LONG version (0)          -- a negative value ends the record here
//   filter list
//   LONG list view type (filters page), last filter (-1 = none), show folders,
//        list view type (File Management window)
//   file view window
#include "cmdline/engine_cmd_line_panel_data.h"
#include "cmdline/engine_shell_exec.h"
#include "common/class_ids.h"
#include "common/stream_util.h"

using vok::cmdline::LoadObject;
using vok::cmdline::SaveObject;

namespace {

constexpr char kStreamName[] = "ENG_SHELL_EXEC";
constexpr DWORD kOpenMode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
constexpr DWORD kCreateMode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;

HRESULT Get(LONG value, LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = value;
  return S_OK;
}

bool ReportsChanges(IUnknown* object) {
  ComPtr<IPersistStream> persist = QueryAs<IPersistStream>(object);
  return persist && persist->IsDirty() == S_OK;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// IvokEngineShellExecProp

HRESULT vokEngineShellExec::SetIfChanged(LONG* field, LONG value) {
  if (*field != value) dirty_ = true;
  *field = value;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineShellExec::get_ListViewType(int, LONG* pVal) {
  return Get(settings_.listViewType, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineShellExec::put_ListViewType(int, LONG newVal) {
  return SetIfChanged(&settings_.listViewType, newVal);
}

HRESULT STDMETHODCALLTYPE vokEngineShellExec::get_FilterList(IUnknown** ppVal) {
  if (!ppVal) return E_POINTER;
  *ppVal = nullptr;
  if (!filters_) return E_FAIL;
  *ppVal = IdentityOf(filters_.Get()).Detach();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineShellExec::get_LastFilter(LONG* pVal) {
  return Get(settings_.lastFilter, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineShellExec::put_LastFilter(LONG newVal) {
  return SetIfChanged(&settings_.lastFilter, newVal);
}

HRESULT STDMETHODCALLTYPE vokEngineShellExec::get_ShowFolders(LONG* pVal) {
  return Get(settings_.showFolders, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineShellExec::put_ShowFolders(LONG newVal) {
  return SetIfChanged(&settings_.showFolders, newVal);
}

HRESULT STDMETHODCALLTYPE vokEngineShellExec::get_ChDirCtlUnk(IUnknown** ppVal) {
  if (!ppVal) return E_POINTER;
  *ppVal = navigator_ ? IdentityOf(navigator_.Get()).Detach() : nullptr;
  return S_OK;
}

// The navigator is lent by the command-line panel; it is not part of the engine's data.
HRESULT STDMETHODCALLTYPE vokEngineShellExec::put_ChDirCtlUnk(IUnknown* newVal) {
  navigator_.Reset();
  if (!newVal) return S_OK;
  return newVal->QueryInterface(IvokChDir::kIID, navigator_.ReleaseAndGetVoidAddressOf());
}

HRESULT STDMETHODCALLTYPE vokEngineShellExec::get_FMListViewType(LONG* pVal) {
  return Get(settings_.fmListViewType, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineShellExec::put_FMListViewType(LONG newVal) {
  return SetIfChanged(&settings_.fmListViewType, newVal);
}

// ---------------------------------------------------------------------------------------------
// IPersistStorage

HRESULT STDMETHODCALLTYPE vokEngineShellExec::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = vok::clsid::kEngineShellExec;
  return S_OK;
}

// The file view's own settings (sorting) change inside the File Management window without
// touching the engine's: they count too, or they would be lost at the next start.
HRESULT STDMETHODCALLTYPE vokEngineShellExec::IsDirty() {
  if (dirty_ || ReportsChanges(filters_.Get()) || ReportsChanges(fileView_.Get())) return S_OK;
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE vokEngineShellExec::Save(IStorage* stg, BOOL) {
  if (!stg) return E_POINTER;
  ComPtr<IStream> stream;
  HRESULT hr = stg->CreateStream(kStreamName, kCreateMode, 0, 0, stream.ReleaseAndGetAddressOf());
  if (FAILED(hr)) return hr;
  IStream* s = stream.Get();
  hr = vok::GuardStream([&] {
    vok::WriteLong(s, kStreamVersion);
    SaveObject(filters_.Get(), s);
    vok::WriteLong(s, settings_.listViewType);
    vok::WriteLong(s, settings_.lastFilter);
    vok::WriteLong(s, settings_.showFolders);
    vok::WriteLong(s, settings_.fmListViewType);
    SaveObject(fileView_.Get(), s);
    return S_OK;
  });
  if (SUCCEEDED(hr)) dirty_ = false;
  return hr;
}

// Fields read before a failure keep their new values.
HRESULT STDMETHODCALLTYPE vokEngineShellExec::Load(IStorage* stg) {
  if (!stg) return E_POINTER;
  ComPtr<IStream> stream;
  HRESULT hr = stg->OpenStream(kStreamName, nullptr, kOpenMode, 0, stream.ReleaseAndGetAddressOf());
  if (SUCCEEDED(hr)) {
    IStream* s = stream.Get();
    hr = vok::GuardStream([&] {
      if (vok::ReadLong(s) < 0) return S_OK;
      LoadObject(filters_.Get(), s);
      settings_.listViewType = vok::ReadLong(s);
      settings_.lastFilter = vok::ReadLong(s);
      settings_.showFolders = vok::ReadLong(s);
      settings_.fmListViewType = vok::ReadLong(s);
      LoadObject(fileView_.Get(), s);
      return S_OK;
    });
    if (SUCCEEDED(hr)) dirty_ = false;
  }
  // The list may have changed, also partly: its commands follow it in every case.
  ReregisterFilterCommands();
  return hr;
}
