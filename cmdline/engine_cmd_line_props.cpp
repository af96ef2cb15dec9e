// IvokEngineCmdLineProp of vokEngineCmdLine: the settings its property pages edit. Every write
// stores the value and marks the engine changed; the switches a page writes back on every
// Apply (completion sources, list views, favorite tab, browser synchronisation, script start
// message) count as a change only when the value differs.
#include "cmdline/engine_cmd_line.h"
#include "common/property_util.h"

using vok::GetProperty;
using vok::PutProperty;

namespace {

bool IsListViewIndex(int n) { return n >= 0 && n < 3; }

}  // namespace

HRESULT vokEngineCmdLine::SetAlways(LONG* field, LONG value) {
  *field = value;
  dirty_ = true;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_UseQuickHelp(LONG* pVal) {
  return GetProperty(settings_.useQuickHelp, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::put_UseQuickHelp(LONG newVal) {
  return SetAlways(&settings_.useQuickHelp, newVal);
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_KeepLog(LONG* pVal) {
  return GetProperty(settings_.keepLog, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::put_KeepLog(LONG newVal) {
  return SetAlways(&settings_.keepLog, newVal);
}

// The log keeps its own size; without a log there is nothing to report or set.
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_LogSize(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = 0;
  if (IvokLog* log = Log()) log->get_MaxSize(pVal);
  return S_OK;
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::put_LogSize(LONG newVal) {
  IvokLog* log = Log();
  if (!log) return E_FAIL;
  dirty_ = true;
  return log->put_MaxSize(newVal);
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_HistorySize(LONG* pVal) {
  return GetProperty(panel_.HistorySize(), pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::put_HistorySize(LONG newVal) {
  dirty_ = true;
  return panel_.SetHistorySize(newVal);
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_ExplorerTree(LONG* pVal) {
  return GetProperty(settings_.explorerTree, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::put_ExplorerTree(LONG newVal) {
  return SetAlways(&settings_.explorerTree, newVal);
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_DeleteToRecycleBin(LONG* pVal) {
  return GetProperty(settings_.deleteToRecycleBin, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::put_DeleteToRecycleBin(LONG newVal) {
  return SetAlways(&settings_.deleteToRecycleBin, newVal);
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_ListViewType(int nViewNum, LONG* pVal) {
  if (!IsListViewIndex(nViewNum)) return E_INVALIDARG;
  return GetProperty(settings_.listViewTypes[nViewNum], pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::put_ListViewType(int nViewNum, LONG newVal) {
  if (!IsListViewIndex(nViewNum)) return E_INVALIDARG;
  return PutProperty(&settings_.listViewTypes[nViewNum], newVal, &dirty_);
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_FavoriteList(IUnknown** pVal) {
  return vok::GetObjectProperty(favorites_.Get(), pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_AliasList(IUnknown** pVal) {
  return vok::GetObjectProperty(aliases_.Get(), pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_ScriptList(IUnknown** pVal) {
  return vok::GetObjectProperty(scripts_.Get(), pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_CmdBrowserUnk(IUnknown** pVal) {
  return vok::GetObjectProperty(cmdBrowser_.Get(), pVal);
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_LastFavoriteType(LONG* pVal) {
  return GetProperty(settings_.lastFavoriteType, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::put_LastFavoriteType(LONG newVal) {
  return PutProperty(&settings_.lastFavoriteType, newVal, &dirty_);
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_CompleteFromHistory(LONG* pVal) {
  return GetProperty(settings_.completeFromHistory, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::put_CompleteFromHistory(LONG newVal) {
  return PutProperty(&settings_.completeFromHistory, newVal, &dirty_);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_CompleteFromCommands(LONG* pVal) {
  return GetProperty(settings_.completeFromCommands, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::put_CompleteFromCommands(LONG newVal) {
  return PutProperty(&settings_.completeFromCommands, newVal, &dirty_);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_CompleteFromFiles(LONG* pVal) {
  return GetProperty(settings_.completeFromFiles, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::put_CompleteFromFiles(LONG newVal) {
  return PutProperty(&settings_.completeFromFiles, newVal, &dirty_);
}

// Turning synchronisation off would also release the browser window; there is no browser in
// this version.
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_SyncWithBrowser(LONG* pVal) {
  return GetProperty(settings_.syncWithBrowser, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::put_SyncWithBrowser(LONG newVal) {
  return PutProperty(&settings_.syncWithBrowser, newVal, &dirty_);
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_BrowserAvailable(LONG* pVal) {
  return GetProperty(browserAvailable_ ? 1 : 0, pVal);
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::GetPrefExt(LPSTR lpsz, ULONG* lpcb) {
  IvokChDir* navigator = Navigator();
  return navigator ? navigator->GetPrefExt(lpsz, lpcb) : E_FAIL;
}
// The extensions live in the navigator, which counts only directory changes as changes: the
// engine marks itself so that the new lists are saved.
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::SetPrefExt(LPCSTR lpsz) {
  IvokChDir* navigator = Navigator();
  if (!navigator) return E_FAIL;
  dirty_ = true;
  return navigator->SetPrefExt(lpsz);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::GetExclExt(LPSTR lpsz, ULONG* lpcb) {
  IvokChDir* navigator = Navigator();
  return navigator ? navigator->GetExclExt(lpsz, lpcb) : E_FAIL;
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::SetExclExt(LPCSTR lpsz) {
  IvokChDir* navigator = Navigator();
  if (!navigator) return E_FAIL;
  dirty_ = true;
  return navigator->SetExclExt(lpsz);
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_HotKeyVK(BYTE* pVal) {
  return GetProperty(settings_.hotKeyVK, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::put_HotKeyVK(BYTE newVal) {
  settings_.hotKeyVK = newVal;
  dirty_ = true;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_HotKeyMods(BYTE* pVal) {
  return GetProperty(settings_.hotKeyMods, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::put_HotKeyMods(BYTE newVal) {
  settings_.hotKeyMods = newVal;
  dirty_ = true;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineCmdLine::get_ShowScriptStartMsg(LONG* pVal) {
  return GetProperty(settings_.showScriptStartMsg, pVal);
}
HRESULT STDMETHODCALLTYPE vokEngineCmdLine::put_ShowScriptStartMsg(LONG newVal) {
  return PutProperty(&settings_.showScriptStartMsg, newVal, &dirty_);
}
