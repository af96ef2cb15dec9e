// vokEngineCmdLine: the engine that owns the command line. It carries the largest built-in
// command table (directory navigation, file and system commands, the calculator rows and the
// favorites commands), keeps the user's favorites, aliases and scripts in fast lists and
// registers every item of them as a command of its own, contributes the favorites menu, holds
// the command-line settings and stores all of it in the stream "ENG_CMD_LINE".
//
// Ownership: the container is held without a reference (it outlives its engines); the lists,
// the command browser and the panel data (history, navigator) are owned. The panel window is a
// child of the window given to Create; the engine deletes it when the engine goes first. Item
// commands hold a reference to their item until they are removed or Exit runs. The log is
// reached through the container each time it is needed. Single-threaded; handlers may run
// commands through the container, which may dispatch back into this engine.
#pragma once

#include <QPointer>
#include <set>
#include <string>
#include <string_view>

#include "cmdline/cmdline_panel.h"
#include "cmdline/command_context.h"
#include "cmdline/engine_cmd_line_panel_data.h"
#include "common/cmdline_ifaces.h"
#include "common/container_ifaces.h"
#include "common/engine_base.h"
#include "common/fast_list_ifaces.h"

namespace vok::cmdline {
class FavoritesMenu;
}

// The engine's own field of a command entry: the entry completes only the first word of a
// line (aliases, scripts and favorites other than folders).
struct CmdLineCommandExtra {
  bool firstWordOnly = false;
};

// The settings kept in the engine's stream, with their defaults.
struct CmdLineSettings {
  LONG useQuickHelp = 1;
  LONG keepLog = 0;
  LONG explorerTree = 0;
  LONG deleteToRecycleBin = 1;
  LONG listViewTypes[3] = {0, 0, 0};
  LONG lastFavoriteType = 1;
  LONG completeFromHistory = 1;
  LONG completeFromCommands = 1;
  LONG completeFromFiles = 1;
  LONG syncWithBrowser = 1;
  BYTE hotKeyVK = 0;
  BYTE hotKeyMods = 0;
  LONG showScriptStartMsg = 0;
};

class vokEngineCmdLine final
    : public vok::EngineBase<vokEngineCmdLine, CmdLineCommandExtra, IvokEngineMenu,
                             IvokFastListItemIterator, IvokCmdLineUI, IvokCurrentDir,
                             IvokEngineCmdLineProp, ISpecifyPropertyPages, IPersistStorage,
                             IvokEnginePanel>,
      public vok::cmdline::CommandContext,
      public vok::cmdline::CmdLinePanelHost {
 public:
  static constexpr LONG kVirtualOrder = 5;
  static constexpr LONG kListMaxSize = 1500;
  static constexpr LONG kLogMaxSize = 100;
  static constexpr LONG kStreamVersion = 5;
  // The panel's button image and tooltip.
  static constexpr UINT kPanelBitmapId = 201;
  static constexpr UINT kPanelTipId = 125;
  // Panel flags: the saved positions are applied (set at the start).
  static constexpr LONG kPanelFlagApplyPositions = 4;

  vokEngineCmdLine();
  ~vokEngineCmdLine() override;

  // IvokEngine
  // Registers the table, sizes the log, creates the lists, the command browser and the panel
  // data. A missing browser helper is not a failure: the engine then runs without a browser.
  HRESULT STDMETHODCALLTYPE Init(IUnknown* pEngineContainerUnk, LONG lHint) override;
  HRESULT STDMETHODCALLTYPE Exit() override;
  // A two-character word ending in ':' is a drive word; anything else goes to the table.
  HRESULT EngineCommand(IUnknown* pParserUnk) override;

  // IvokEngineCmdTable
  // Called by the list pages after they changed a list: re-registers the item commands and
  // counts as a change of the engine's data.
  HRESULT STDMETHODCALLTYPE RegisterItemCommands() override;

  // IvokEngineMenu (engine_cmd_line_favorites.cpp)
  HRESULT STDMETHODCALLTYPE AddMenuItems(HMENU hMenu) override;

  // IvokFastListItemIterator: the engine walks its own lists (engine_cmd_line_items.cpp).
  HRESULT STDMETHODCALLTYPE Begin() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE End() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Item(IUnknown* pUnk) override;

  // IvokCmdLineUI
  HRESULT STDMETHODCALLTYPE ChangeDir(LPCSTR path, LONG flag) override;
  HRESULT STDMETHODCALLTYPE ScriptFinished() override;
  HRESULT STDMETHODCALLTYPE InsertText(LPCSTR text) override;

  // IvokCurrentDir
  HRESULT STDMETHODCALLTYPE ChangeDir(LPCSTR path) override;

  // IvokEngineCmdLineProp (engine_cmd_line_props.cpp)
  HRESULT STDMETHODCALLTYPE get_UseQuickHelp(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_UseQuickHelp(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_KeepLog(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_KeepLog(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_LogSize(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_LogSize(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_HistorySize(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_HistorySize(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_ExplorerTree(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_ExplorerTree(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_DeleteToRecycleBin(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_DeleteToRecycleBin(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_ListViewType(int nViewNum, LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_ListViewType(int nViewNum, LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_FavoriteList(IUnknown** pVal) override;
  HRESULT STDMETHODCALLTYPE get_AliasList(IUnknown** pVal) override;
  HRESULT STDMETHODCALLTYPE get_ScriptList(IUnknown** pVal) override;
  HRESULT STDMETHODCALLTYPE get_LastFavoriteType(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_LastFavoriteType(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_CmdBrowserUnk(IUnknown** pVal) override;
  HRESULT STDMETHODCALLTYPE get_CompleteFromHistory(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_CompleteFromHistory(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_CompleteFromCommands(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_CompleteFromCommands(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_CompleteFromFiles(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_CompleteFromFiles(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_SyncWithBrowser(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_SyncWithBrowser(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_BrowserAvailable(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE GetPrefExt(LPSTR lpsz, ULONG* lpcb) override;
  HRESULT STDMETHODCALLTYPE SetPrefExt(LPCSTR lpsz) override;
  HRESULT STDMETHODCALLTYPE GetExclExt(LPSTR lpsz, ULONG* lpcb) override;
  HRESULT STDMETHODCALLTYPE SetExclExt(LPCSTR lpsz) override;
  HRESULT STDMETHODCALLTYPE get_HotKeyVK(BYTE* pVal) override;
  HRESULT STDMETHODCALLTYPE put_HotKeyVK(BYTE newVal) override;
  HRESULT STDMETHODCALLTYPE get_HotKeyMods(BYTE* pVal) override;
  HRESULT STDMETHODCALLTYPE put_HotKeyMods(BYTE newVal) override;
  HRESULT STDMETHODCALLTYPE get_ShowScriptStartMsg(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_ShowScriptStartMsg(LONG newVal) override;

  // ISpecifyPropertyPages: the general, aliases and scripts pages, in this order.
  HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pPages) override;

  // IPersistStorage (engine_cmd_line_persistence.cpp)
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE InitNew(IStorage*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Load(IStorage* stg) override;
  HRESULT STDMETHODCALLTYPE Save(IStorage* stg, BOOL fSameAsLoad) override;
  HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return S_OK; }

  // IvokEnginePanel (engine_cmd_line_panel.cpp). Without a panel window the placing
  // operations do nothing (S_FALSE) and GetRect fails.
  HRESULT STDMETHODCALLTYPE GetRect(RECT* pRect) override;
  HRESULT STDMETHODCALLTYPE GetButtonInfo(HMODULE* phModule, UINT* puBitmapId,
                                          UINT* puTipId) override;
  // Makes the panel window (again) as a child of hwndParent; E_FAIL without a parent or a
  // QApplication.
  HRESULT STDMETHODCALLTYPE Create(HWND hwndParent) override;
  HRESULT STDMETHODCALLTYPE SetHorzPos(LONG lLeft, LONG lRight) override;
  // Moves the panel's top to lTop, keeping its height: the container's second value is not a
  // bottom edge.
  HRESULT STDMETHODCALLTYPE SetPos(LONG lTop, LONG lBottom) override;
  HRESULT STDMETHODCALLTYPE Show(LONG lCmdShow) override;
  HRESULT STDMETHODCALLTYPE SetFlags(LONG lMask, LONG lValue) override;
  HRESULT STDMETHODCALLTYPE TestFlags(LONG lBits) override;
  HRESULT STDMETHODCALLTYPE Refresh() override;
  // Takes the typed line (the panel data's text, also without a window): empties the box,
  // files the line in the history, refills the box's list and echoes the line to the log.
  HRESULT STDMETHODCALLTYPE GetCommand(LPSTR lpszCmd) override;
  HRESULT STDMETHODCALLTYPE HideQuickHelp() override;

  // CommandContext and CmdLinePanelHost
  IvokEngineContainer* Container() override { return containerIface_; }
  IvokLog* Log() override;
  IvokChDir* Navigator() override { return panel_.Navigator(); }
  std::string CurrentDirectory() override;
  bool DeleteToRecycleBin() override { return settings_.deleteToRecycleBin != 0; }
  bool ExplorerTree() override { return settings_.explorerTree != 0; }
  // Null while the container has not made the panel window.
  HWND PanelWindow() override { return window_.data(); }

  // CmdLinePanelHost: the panel's state (history, command-box text ...), also for tests.
  vok::cmdline::CmdLinePanelData& PanelData() override { return panel_; }
  vok::cmdline::PanelOptions Options() override;
  // The panel window, for tests; null while there is none.
  vok::cmdline::CmdLinePanel* Panel() const { return window_.data(); }
  // Result of the last expression; 0 until a script stores one.
  float LastResult() const { return lastResult_; }

  static const CommandEntry kCommands[];

 protected:
  // Quick help and the command browser describe an item command by its item.
  void DescribeItemCommand(const std::string& key, const vok::CommandRecord& record, char* name,
                           char* syntax, char* description, LONG reserved) override;
  std::string CommandTreeTitle() const override;

 private:
  enum class Walk { kRegister, kMenu };
  using Step = vok::cmdline::NavigationStep;

  // Init steps (engine_cmd_line.cpp).
  void SizeLog();
  HRESULT CreateLists();
  HRESULT CreateCommandBrowser();
  void CreateBrowserHelper();

  // Directory commands (directory_commands.cpp).
  HRESULT OnCd(IvokCommandParser* parser);
  HRESULT OnBack(IvokCommandParser* parser);
  HRESULT OnForward(IvokCommandParser* parser);
  HRESULT OnUp(IvokCommandParser* parser);
  HRESULT OnBrowse(IvokCommandParser* parser);
  HRESULT RunDriveWord(const std::string& word);
  // The navigation behind back, forward and up with a step count; reports what went wrong.
  void Navigate(Step step, LONG count) override;
  // Changes the current directory; false when the navigator refused it.
  bool ChangeDirectory(const std::string& path, bool record);
  // The definition of the folder favorite named `name` (any letter case), or "".
  std::string FolderFavorite(const std::string& name);
  void BrowseForFile() override;
  void BrowseForFolder() override;
  void BrowseForCommand() override;
  void OnScriptFinished() override { ScriptFinished(); }

  // The panel window's part of the navigation (engine_cmd_line_panel.cpp): the place of the
  // history menu, and showing the new directory.
  void PlaceHistoryMenu(Step step);
  void RefreshPanelWindow();

  // File and system commands (engine_cmd_line_table.cpp): each forwards to its handler.
  HRESULT OnDel(IvokCommandParser* parser);
  HRESULT OnRen(IvokCommandParser* parser);
  HRESULT OnCopy(IvokCommandParser* parser);
  HRESULT OnMove(IvokCommandParser* parser);
  HRESULT OnMd(IvokCommandParser* parser);
  HRESULT OnDir(IvokCommandParser* parser);
  HRESULT OnDate(IvokCommandParser* parser);
  HRESULT OnRbin(IvokCommandParser* parser);
  HRESULT OnSystem(IvokCommandParser* parser);
  HRESULT OnDisplay(IvokCommandParser* parser);
  HRESULT OnCpanel(IvokCommandParser* parser);
  HRESULT OnMouse(IvokCommandParser* parser);
  HRESULT OnKeyb(IvokCommandParser* parser);
  HRESULT OnNetwork(IvokCommandParser* parser);
  HRESULT OnPrinters(IvokCommandParser* parser);
  HRESULT OnMycomputer(IvokCommandParser* parser);
  HRESULT OnDesktop(IvokCommandParser* parser);
  HRESULT OnDos(IvokCommandParser* parser);
  HRESULT OnSet(IvokCommandParser* parser);
  HRESULT OnContextmenu(IvokCommandParser* parser);
  HRESULT OnWhoami(IvokCommandParser* parser);
  HRESULT OnProperties(IvokCommandParser* parser);
  HRESULT OnEject(IvokCommandParser* parser);
  HRESULT OnPrint(IvokCommandParser* parser);
  HRESULT OnLogoff(IvokCommandParser* parser);
  HRESULT OnReboot(IvokCommandParser* parser);
  HRESULT OnShutdown(IvokCommandParser* parser);
  HRESULT OnPoweroff(IvokCommandParser* parser);
  HRESULT OnMapdrive(IvokCommandParser* parser);
  HRESULT OnDisconnect(IvokCommandParser* parser);
  HRESULT OnFindfile(IvokCommandParser* parser);
  HRESULT OnFindcomputer(IvokCommandParser* parser);
  HRESULT OnRundlg(IvokCommandParser* parser);
  HRESULT OnStartmenu(IvokCommandParser* parser);
  HRESULT OnListfiles(IvokCommandParser* parser);
  // The calculator rows: the expression is evaluated by a script, which needs the browser.
  HRESULT OnCalculator(IvokCommandParser* parser);

  // Favorites (engine_cmd_line_favorites.cpp).
  HRESULT OnFavorites(IvokCommandParser* parser);
  HRESULT OnNewfavorite(IvokCommandParser* parser);
  void AddToFavoritesMenu(IUnknown* item);

  // Item commands (engine_cmd_line_items.cpp).
  HRESULT OnRunAlias(IvokCommandParser* parser);
  HRESULT OnRunFavorite(IvokCommandParser* parser);
  HRESULT OnRunScript(IvokCommandParser* parser);
  // Removes every item command and registers the items of the lists again.
  void ReregisterItemCommands();
  void RegisterItem(IUnknown* item);
  // Walks `list` with this engine as visitor in the given mode.
  void WalkList(IvokFastList* list, Walk mode);
  // The item of the command being run (null for a built-in command).
  IUnknown* CurrentItem() const;
  void ShowAliasRecursion(const std::string& name);

  // Reads the log's record (field of keep log); throws CvokIStreamException.
  void LoadLog(IStream* stream);

  // Stores `value` and marks the engine changed, also when the value is the same
  // (engine_cmd_line_props.cpp).
  HRESULT SetAlways(LONG* field, LONG value);

  IvokEngineContainer* containerIface_ = nullptr;  // the container's view, no reference
  CmdLineSettings settings_;
  bool dirty_ = false;
  bool browserAvailable_ = false;
  float lastResult_ = 0.0f;

  ComPtr<IvokFastList> favorites_;
  ComPtr<IvokFastList> aliases_;
  ComPtr<IvokFastList> scripts_;
  ComPtr<IvokCmdBrowser> cmdBrowser_;
  ComPtr<IUnknown> browserHelper_;
  vok::cmdline::CmdLinePanelData panel_;
  QPointer<vok::cmdline::CmdLinePanel> window_;
  LONG panelFlags_ = kPanelFlagApplyPositions;

  Walk walkMode_ = Walk::kRegister;
  vok::cmdline::FavoritesMenu* menuContext_ = nullptr;  // only during AddMenuItems
  IvokMenuCommands* menuCommands_ = nullptr;            // only during AddMenuItems
  std::set<std::string> runningAliases_;                // upper-cased names being expanded
};

// The creation function of the library's class table.
HRESULT CreateEngineCmdLine(IUnknown* outer, REFIID riid, void** ppv);
