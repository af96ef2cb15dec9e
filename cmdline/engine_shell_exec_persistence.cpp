// The settings of vokEngineShellExec (IvokEngineShellExecProp) and its stream
// "ENG_SHELL_EXEC" in the data file's root storage. Little-endian, LONG = 4 bytes; objects
// write their own IPersistStream record in place (no class identifier, no length):
//
//   LONG version (0)          -- a negative value ends the record here
//   filter list
//   LONG list view type (filters page), last filter (-1 = none), show folders,
//        list view type (File Management window)
//   file view window
#include "cmdline/engine_shell_exec.h"
#include "common/class_ids.h"
#include "common/property_util.h"
#include "common/stream_util.h"

using vok::GetProperty;
using vok::PutProperty;

namespace {

constexpr char kStreamName[] = "ENG_SHELL_EXEC";

bool ReportsChanges(IUnknown* object) {
  ComPtr<IPersistStream> persist = QueryAs<IPersistStream>(object);
  return persist && persist->IsDirty() == S_OK;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// IvokEngineShellExecProp

HRESULT STDMETHODCALLTYPE vokEngineShellExec::get_ListViewType(int, LONG* pVal) {
  return GetProperty(settings_.listViewType, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineShellExec::put_ListViewType(int, LONG newVal) {
  return PutProperty(&settings_.listViewType, newVal, &dirty_);
}

HRESULT STDMETHODCALLTYPE vokEngineShellExec::get_FilterList(IUnknown** ppVal) {
  return vok::GetObjectProperty(filters_.Get(), ppVal);
}

HRESULT STDMETHODCALLTYPE vokEngineShellExec::get_LastFilter(LONG* pVal) {
  return GetProperty(settings_.lastFilter, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineShellExec::put_LastFilter(LONG newVal) {
  return PutProperty(&settings_.lastFilter, newVal, &dirty_);
}

HRESULT STDMETHODCALLTYPE vokEngineShellExec::get_ShowFolders(LONG* pVal) {
  return GetProperty(settings_.showFolders, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineShellExec::put_ShowFolders(LONG newVal) {
  return PutProperty(&settings_.showFolders, newVal, &dirty_);
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
  return GetProperty(settings_.fmListViewType, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineShellExec::put_FMListViewType(LONG newVal) {
  return PutProperty(&settings_.fmListViewType, newVal, &dirty_);
}

// ---------------------------------------------------------------------------------------------
// IPersistStorage

HRESULT STDMETHODCALLTYPE vokEngineShellExec::GetClassID(CLSID* pClassID) {
  return GetProperty(vok::clsid::kEngineShellExec, pClassID);
}

// The file view's own settings (sorting) change inside the File Management window without
// touching the engine's: they count too, or they would be lost at the next start.
HRESULT STDMETHODCALLTYPE vokEngineShellExec::IsDirty() {
  if (dirty_ || ReportsChanges(filters_.Get()) || ReportsChanges(fileView_.Get())) return S_OK;
  return S_FALSE;
}

HRESULT STDMETHODCALLTYPE vokEngineShellExec::Save(IStorage* stg, BOOL) {
  if (!stg) return E_POINTER;
  HRESULT hr = vok::WriteStorageStream(stg, kStreamName, [&](IStream* s) {
    vok::WriteLong(s, kStreamVersion);
    vok::SaveObject(filters_.Get(), s);
    vok::WriteLong(s, settings_.listViewType);
    vok::WriteLong(s, settings_.lastFilter);
    vok::WriteLong(s, settings_.showFolders);
    vok::WriteLong(s, settings_.fmListViewType);
    vok::SaveObject(fileView_.Get(), s);
  });
  if (SUCCEEDED(hr)) dirty_ = false;
  return hr;
}

// Fields read before a failure keep their new values.
HRESULT STDMETHODCALLTYPE vokEngineShellExec::Load(IStorage* stg) {
  if (!stg) return E_POINTER;
  HRESULT hr = vok::ReadStorageStream(stg, kStreamName, [&](IStream* s) {
    if (vok::ReadLong(s) < 0) return;
    vok::LoadObject(filters_.Get(), s);
    settings_.listViewType = vok::ReadLong(s);
    settings_.lastFilter = vok::ReadLong(s);
    settings_.showFolders = vok::ReadLong(s);
    settings_.fmListViewType = vok::ReadLong(s);
    vok::LoadObject(fileView_.Get(), s);
  });
  if (SUCCEEDED(hr)) dirty_ = false;
  // The list may have changed, also partly: its commands follow it in every case.
  ReregisterFilterCommands();
  return hr;
}
