// Interfaces of the command-line engine, its list items, the command browser, the directory
// navigator and the log.
#pragma once

#include "platform/com/unknwn.h"

// Room of a path buffer handed across these interfaces (the Linux path limit, zero included).
constexpr ULONG kPathBufferSize = 4096;

// ---- Directory navigator ----

// Returned by the step operations when more steps are asked for than the history holds.
constexpr HRESULT VOK_E_NOT_ENOUGH_ENTRIES = static_cast<HRESULT>(0xE0000001);

struct IvokChDir : IUnknown {
  VOK_INTERFACE(IUnknown, 0x75AB37A3, 0xA61B, 0x11D2, 0xA6, 0x27, 0x00, 0x10, 0x4B, 0xB6, 0x41,
                0xA7);
  virtual HRESULT STDMETHODCALLTYPE Init(LPCSTR pszInitDir) = 0;
  virtual HRESULT STDMETHODCALLTYPE ChangeDir(LPCSTR szDir, LONG bPutInBckFwd) = 0;
  // Owner window and screen position of the history menus.
  virtual HRESULT STDMETHODCALLTYPE SetMenuParams(HWND hwnd, LONG lX, LONG lY) = 0;
  // lSteps 0 shows the history menu; S_FALSE when it is cancelled.
  virtual HRESULT STDMETHODCALLTYPE GoBack(LONG lSteps) = 0;
  virtual HRESULT STDMETHODCALLTYPE GoForward(LONG lSteps) = 0;
  virtual HRESULT STDMETHODCALLTYPE GoUp(LONG lSteps) = 0;
  // pszDir holds kPathBufferSize bytes.
  virtual HRESULT STDMETHODCALLTYPE GetCurrentDir(LPSTR pszDir) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetInitialDir() = 0;
  virtual HRESULT STDMETHODCALLTYPE IsDrivesSet() = 0;
  virtual HRESULT STDMETHODCALLTYPE BrowseForFolder(HWND hwnd) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetHistSizes(LONG* plBack, LONG* plForward, LONG* plUp) = 0;
  // szDir may be null: then the stored current directory is made the process's again.
  virtual HRESULT STDMETHODCALLTYPE SetSafeCurrentDir(LPCSTR szDir) = 0;
  // pszFile holds kPathBufferSize bytes; S_FALSE when nothing matches.
  virtual HRESULT STDMETHODCALLTYPE GetCompleteCommand(LPCSTR pszCmdLine, LPSTR pszFile) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPrefExt(LPSTR lpsz, ULONG* lpcb) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetPrefExt(LPCSTR lpsz) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetExclExt(LPSTR lpsz, ULONG* lpcb) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetExclExt(LPCSTR lpsz) = 0;
  // In place; pszPath holds kPathBufferSize bytes.
  virtual HRESULT STDMETHODCALLTYPE GetFullPath(LPSTR pszPath) = 0;

 protected:
  ~IvokChDir() = default;
};

// ---- Band layout ----

// Lays out the host's child controls (found by dialog-item identifier) in rows with draggable
// trackers between neighbours; see ctl/rebar.h.
struct IvokRebar : IUnknown {
  VOK_INTERFACE(IUnknown, 0x6F1C2E22, 0x7D32, 0x11D2, 0x99, 0x7E, 0x00, 0x60, 0x97, 0x39, 0xCF,
                0x2C);
  virtual HRESULT STDMETHODCALLTYPE SetParameters(HWND hwndWnd, int nTopOffset, int nBotOffset,
                                                  int nLftOffset, int nRgtOffset, int nRowSpace,
                                                  int nColSpace, int nCtlNumber, UINT uFstTrackID,
                                                  UINT uBandMovedID) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddRow() = 0;
  // E_FAIL when the row does not exist.
  virtual HRESULT STDMETHODCALLTYPE AddCtl(int nRowIdx, UINT uID) = 0;
  virtual HRESULT STDMETHODCALLTYPE Format() = 0;
  virtual HRESULT STDMETHODCALLTYPE InitRebar() = 0;
  // The arguments are not used: the cursor is read instead.
  virtual HRESULT STDMETHODCALLTYPE OnMouseMove(UINT nFlags, POINT point) = 0;
  // Timer 2 drives the drag (S_OK); any other gives S_FALSE. *pbFinishedMoving (may be null)
  // is 1 when no drag is in progress afterwards, else 0.
  virtual HRESULT STDMETHODCALLTYPE OnTimer(UINT nIDEvent, BOOL* pbFinishedMoving) = 0;

 protected:
  ~IvokRebar() = default;
};

// ---- Log ----

// Entry types of IvokLog::Add.
constexpr LONG kLogInfo = 1;
constexpr LONG kLogError = 2;

struct IvokLog : IUnknown {
  VOK_INTERFACE(IUnknown, 0xF311AA70, 0x8E81, 0x11D2, 0xA4, 0x05, 0x90, 0x24, 0xCE, 0x6F, 0x47,
                0x82);
  virtual HRESULT STDMETHODCALLTYPE Init() = 0;
  virtual HRESULT STDMETHODCALLTYPE Add(LPCSTR lpszText, LONG lType) = 0;
  virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
  virtual HRESULT STDMETHODCALLTYPE Show() = 0;
  virtual HRESULT STDMETHODCALLTYPE get_MaxSize(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_MaxSize(LONG newVal) = 0;

 protected:
  ~IvokLog() = default;
};

// ---- User list items ----

// ItemData of the command-line engine's list items.
constexpr ULONG kFavoriteFile = 0;
constexpr ULONG kFavoriteFolder = 1;
constexpr ULONG kFavoriteProgram = 2;
constexpr ULONG kFavoriteLink = 3;
constexpr ULONG kFavoriteOther = 4;
constexpr ULONG kItemAlias = 100;
constexpr ULONG kScriptVBScript = 200;
constexpr ULONG kScriptJavaScript = 201;
constexpr ULONG kScriptPerlScript = 202;
constexpr ULONG kScriptPython = 203;

// Text limits of the items (bytes, zero included).
constexpr ULONG kItemTextSize = 512;
constexpr ULONG kAliasDefinitionSize = 5120;
constexpr ULONG kScriptSourceSize = 20480;
constexpr ULONG kScriptShortTextSize = 256;

// Getters follow the caller-buffer convention (*lpcb: room in, bytes copied out).
struct IvokFastListItemAlias : IUnknown {
  VOK_INTERFACE(IUnknown, 0xAA01F2C5, 0xB5C8, 0x11D2, 0xA6, 0x2F, 0x00, 0x10, 0x4B, 0xB6, 0x41,
                0xA7);
  virtual HRESULT STDMETHODCALLTYPE GetAlias(LPSTR lpszDescr, ULONG* lpcbDescr) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetAlias(LPCSTR lpszDescr) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDescr(LPSTR lpszDescr, ULONG* lpcbDescr) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDescr(LPCSTR lpszDescr) = 0;

 protected:
  ~IvokFastListItemAlias() = default;
};

struct IvokFastListItemFavorite : IUnknown {
  VOK_INTERFACE(IUnknown, 0x775CE424, 0xB546, 0x11D2, 0xAF, 0x44, 0x8D, 0xC9, 0x27, 0x1D, 0x93,
                0xB6);
  virtual HRESULT STDMETHODCALLTYPE GetFavorite(LPSTR lpszDescr, ULONG* lpcbDescr) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetFavorite(LPCSTR lpszDescr) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDescr(LPSTR lpszDescr, ULONG* lpcbDescr) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDescr(LPCSTR lpszDescr) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_UseExplorerTree(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_UseExplorerTree(LONG newVal) = 0;

 protected:
  ~IvokFastListItemFavorite() = default;
};

struct IvokFastListItemScript : IUnknown {
  VOK_INTERFACE(IUnknown, 0x18F0CF93, 0x0DAC, 0x11D3, 0xA4, 0x92, 0x00, 0x80, 0xC8, 0x8B, 0x6E,
                0xED);
  virtual HRESULT STDMETHODCALLTYPE GetDescr(LPSTR lpsz, ULONG* lpcb) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetDescr(LPCSTR lpsz) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetScript(LPSTR lpsz, ULONG* lpcb) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetScript(LPCSTR lpsz) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetEntryPoint(LPSTR lpsz, ULONG* lpcb) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetEntryPoint(LPCSTR lpsz) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetWndTitle(LPSTR lpsz, ULONG* lpcb) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetWndTitle(LPCSTR lpsz) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ShowBrowserWindow(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ShowBrowserWindow(LONG newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ShowIEToolbar(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ShowIEToolbar(LONG newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ActiveXScriptHost(ULONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ActiveXScriptHost(ULONG newVal) = 0;

 protected:
  ~IvokFastListItemScript() = default;
};

// ---- Command browser ----

struct IvokCmdBrowser : IUnknown {
  VOK_INTERFACE(IUnknown, 0xBB0086A3, 0xC1E7, 0x11D2, 0xAF, 0x54, 0xBC, 0x08, 0xE3, 0x95, 0xEE,
                0xB6);
  // S_OK with the chosen command in the caller's buffer; S_FALSE on Cancel (buffer untouched).
  virtual HRESULT STDMETHODCALLTYPE BrowseForCmd(LPSTR lpszResCmd, ULONG* lpcbResCmd) = 0;
  // The container is kept without a reference.
  virtual HRESULT STDMETHODCALLTYPE Init(IUnknown* pUnkEC) = 0;

 protected:
  ~IvokCmdBrowser() = default;
};

// ---- Command-line engine ----

struct IvokCmdLineUI : IUnknown {
  VOK_INTERFACE(IUnknown, 0x3D365680, 0xA0FC, 0x11D3, 0xA5, 0x55, 0x00, 0x80, 0xC8, 0x8B, 0x6E,
                0xED);
  virtual HRESULT STDMETHODCALLTYPE ChangeDir(LPCSTR path, LONG flag) = 0;
  virtual HRESULT STDMETHODCALLTYPE ScriptFinished() = 0;
  virtual HRESULT STDMETHODCALLTYPE InsertText(LPCSTR text) = 0;

 protected:
  ~IvokCmdLineUI() = default;
};

struct IvokCurrentDir : IUnknown {
  VOK_INTERFACE(IUnknown, 0x2EBD0960, 0x0786, 0x11D3, 0xA6, 0x51, 0x00, 0x10, 0x4B, 0xB6, 0x41,
                0xA7);
  virtual HRESULT STDMETHODCALLTYPE ChangeDir(LPCSTR path) = 0;

 protected:
  ~IvokCurrentDir() = default;
};

struct IvokEngineCmdLineProp : IUnknown {
  VOK_INTERFACE(IUnknown, 0x92E0FA60, 0x8E0D, 0x11D2, 0xAF, 0x1B, 0x89, 0x93, 0xA6, 0xC4, 0xA8,
                0xB6);
  virtual HRESULT STDMETHODCALLTYPE get_UseQuickHelp(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_UseQuickHelp(LONG newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_KeepLog(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_KeepLog(LONG newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_LogSize(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_LogSize(LONG newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_HistorySize(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_HistorySize(LONG newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ExplorerTree(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ExplorerTree(LONG newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_DeleteToRecycleBin(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_DeleteToRecycleBin(LONG newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ListViewType(int nViewNum, LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ListViewType(int nViewNum, LONG newVal) = 0;
  // The lists and the command browser are handed out with a reference.
  virtual HRESULT STDMETHODCALLTYPE get_FavoriteList(IUnknown** pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AliasList(IUnknown** pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ScriptList(IUnknown** pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_LastFavoriteType(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_LastFavoriteType(LONG newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CmdBrowserUnk(IUnknown** pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CompleteFromHistory(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_CompleteFromHistory(LONG newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CompleteFromCommands(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_CompleteFromCommands(LONG newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_CompleteFromFiles(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_CompleteFromFiles(LONG newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_SyncWithBrowser(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_SyncWithBrowser(LONG newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_BrowserAvailable(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPrefExt(LPSTR lpsz, ULONG* lpcb) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetPrefExt(LPCSTR lpsz) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetExclExt(LPSTR lpsz, ULONG* lpcb) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetExclExt(LPCSTR lpsz) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_HotKeyVK(BYTE* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_HotKeyVK(BYTE newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_HotKeyMods(BYTE* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_HotKeyMods(BYTE newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ShowScriptStartMsg(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ShowScriptStartMsg(LONG newVal) = 0;

 protected:
  ~IvokEngineCmdLineProp() = default;
};
