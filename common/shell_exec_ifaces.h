// Interfaces of the shell-execution engine, its filter items and the file view window.
#pragma once

#include "platform/com/unknwn.h"

// ---- Filters ----

struct IvokFastListItemFilter : IUnknown {
  VOK_INTERFACE(IUnknown, 0xEE8FA9B2, 0x77CA, 0x11D2, 0xB5, 0x02, 0xEE, 0x83, 0xF1, 0x3C, 0x60,
                0x58);
  // The definition (the pattern text) by the caller-buffer convention.
  virtual HRESULT STDMETHODCALLTYPE GetFilter(LPSTR lpsz, ULONG* lpcb) = 0;
  // E_FAIL, nothing changed, for a text of kFilterTextSize bytes or more.
  virtual HRESULT STDMETHODCALLTYPE SetFilter(LPCSTR lpsz) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDescr(LPSTR lpsz, ULONG* lpcb) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDescr(LPCSTR lpsz) = 0;

 protected:
  ~IvokFastListItemFilter() = default;
};

// Room of a filter's definition and description buffers, zero included.
constexpr ULONG kFilterTextSize = 512;

// ---- Shell-execution engine settings ----

// The views of a list (ListViewType, FMListViewType).
constexpr LONG kViewLargeIcons = 0;
constexpr LONG kViewSmallIcons = 1;
constexpr LONG kViewList = 2;
constexpr LONG kViewDetails = 3;

struct IvokEngineShellExecProp : IUnknown {
  VOK_INTERFACE(IUnknown, 0xDE1B0920, 0x765E, 0x11D2, 0xB5, 0x00, 0xFC, 0x38, 0x1A, 0x08, 0x95,
                0x5F);
  // nViewNum is ignored (one view type is stored).
  virtual HRESULT STDMETHODCALLTYPE get_ListViewType(int nViewNum, LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ListViewType(int nViewNum, LONG newVal) = 0;
  // The filter list's identity, one reference; E_FAIL and null without a list.
  virtual HRESULT STDMETHODCALLTYPE get_FilterList(IUnknown** ppVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_LastFilter(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_LastFilter(LONG newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ShowFolders(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ShowFolders(LONG newVal) = 0;
  // The held navigator's identity (one reference), or null with S_OK when none is held.
  virtual HRESULT STDMETHODCALLTYPE get_ChDirCtlUnk(IUnknown** ppVal) = 0;
  // Holds newVal's IvokChDir (the query's result is returned); null holds none.
  virtual HRESULT STDMETHODCALLTYPE put_ChDirCtlUnk(IUnknown* newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_FMListViewType(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_FMListViewType(LONG newVal) = 0;

 protected:
  ~IvokEngineShellExecProp() = default;
};

// ---- File view window ----

// Implemented by the host of a file view window.
struct IvokFileViewSite : IUnknown {
  VOK_INTERFACE(IUnknown, 0x4B6AA340, 0xA6FE, 0x11D2, 0xA6, 0x27, 0x00, 0x10, 0x4B, 0xB6, 0x41,
                0xA7);
  // bEnter 0: up one level (path unused); bEnter 1: change to `path` (a folder name relative
  // to the shown folder, or an absolute path).
  virtual HRESULT STDMETHODCALLTYPE NavigateTo(LONG bEnter, LPCSTR path) = 0;
  // Around in-place renaming: the host suspends its own keyboard shortcuts in between.
  virtual HRESULT STDMETHODCALLTYPE BeginRename() = 0;
  virtual HRESULT STDMETHODCALLTYPE EndRename() = 0;

 protected:
  ~IvokFileViewSite() = default;
};

// List-view styles of IvokFileViewWnd::SetViewType.
constexpr LONG kListStyleIcons = 0;
constexpr LONG kListStyleDetails = 1;
constexpr LONG kListStyleSmallIcons = 2;
constexpr LONG kListStyleList = 3;

struct IvokFileViewWnd : IUnknown {
  VOK_INTERFACE(IUnknown, 0xA888BC80, 0x9EFC, 0x11D2, 0xAF, 0x2F, 0xE7, 0x50, 0x4F, 0x86, 0x9C,
                0xB6);
  // The view becomes a child of hwndParent; E_FAIL when no window results.
  virtual HRESULT STDMETHODCALLTYPE Create(HWND hwndParent) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetPos(LONG lLeft, LONG lTop, LONG lRgt, LONG lBot) = 0;
  virtual HRESULT STDMETHODCALLTYPE InitListView() = 0;
  // Refills the list from the shown entries.
  virtual HRESULT STDMETHODCALLTYPE Update() = 0;
  virtual HRESULT STDMETHODCALLTYPE SetViewType(LONG lViewType) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetFocus() = 0;

 protected:
  ~IvokFileViewWnd() = default;
};

struct IvokFileViewCmd : IUnknown {
  VOK_INTERFACE(IUnknown, 0x34C62F50, 0x9F0F, 0x11D2, 0xAF, 0x2F, 0xE7, 0x50, 0x4F, 0x86, 0x9C,
                0xB6);
  // bDirs: list folders and the up entry.
  virtual HRESULT STDMETHODCALLTYPE Init(IUnknown* pUnkFVSite, LONG bDirs) = 0;
  // bDrives: list the mounted volumes instead of a folder.
  virtual HRESULT STDMETHODCALLTYPE SetDir(LPCSTR szDir, LONG bDrives) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetFilter(LPCSTR szFilter) = 0;
  virtual HRESULT STDMETHODCALLTYPE Exit() = 0;
  // At a screen point.
  virtual HRESULT STDMETHODCALLTYPE ContextMenu(LONG lx, LONG ly) = 0;
  virtual HRESULT STDMETHODCALLTYPE Open() = 0;
  virtual HRESULT STDMETHODCALLTYPE Properties() = 0;
  virtual HRESULT STDMETHODCALLTYPE CopyToClipboard() = 0;
  virtual HRESULT STDMETHODCALLTYPE Select(LPCSTR psz, LONG bUseDlg, LONG bSelect) = 0;
  virtual HRESULT STDMETHODCALLTYPE MoveCopy(LPCSTR psz, LONG bUseDlg, LONG bMove) = 0;
  virtual HRESULT STDMETHODCALLTYPE Delete(LONG bUseRBin, LONG bAsk) = 0;
  virtual HRESULT STDMETHODCALLTYPE Rename(LONG bAsk) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ShowFolders(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ShowFolders(LONG newVal) = 0;
  // 0 ascending, 1 descending.
  virtual HRESULT STDMETHODCALLTYPE get_SortOrder(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_SortOrder(LONG newVal) = 0;
  // 0 name, 1 size, 2 type, 3 modified.
  virtual HRESULT STDMETHODCALLTYPE get_SortType(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_SortType(LONG newVal) = 0;

 protected:
  ~IvokFileViewCmd() = default;
};
