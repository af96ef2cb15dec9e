// vokEngineShellExec: the engine asked last. It hands every line the other engines declined to
// the desktop to open (a program with its arguments, a document, a folder, a web address),
// opens the File Management window for a first word with wildcards, and owns the user's
// filters: each filter's key is registered as a command that opens the File Management window
// on the current directory with that filter chosen. It adds the "Filters" submenu to the bar's
// menus and stores its settings, the filter list and the file view's settings in the stream
// "ENG_SHELL_EXEC".
//
// Ownership: the container is held without a reference (it outlives its engines); the filter
// list, the file view window component and the directory navigator (when one was handed in)
// are owned. Filter commands hold a reference to their filter until they are removed or Exit
// runs; Exit also releases the file view. The log is reached through the container each time.
// Single-threaded; the File Management window is modal and calls back into the engine
// (IvokFileViewSite) while it is open.
#pragma once

#include <string>
#include <vector>

#include "common/cmdline_ifaces.h"
#include "common/container_ifaces.h"
#include "common/engine_base.h"
#include "common/fast_list_ifaces.h"
#include "common/shell_exec_ifaces.h"
#include "platform/ui/accelerator_hook.h"

class QMenu;

namespace vok::cmdline {
class FileManagementWindow;
}

// The engine's own field of a command entry: the filter's position in the filter list when
// the filter commands were registered.
struct FilterCommandExtra {
  LONG filterIndex = 0;
};

// The settings kept in the engine's stream, with their defaults.
struct ShellExecSettings {
  LONG listViewType = kViewLargeIcons;  // the filters page's list
  LONG lastFilter = -1;                 // none
  LONG showFolders = 1;
  LONG fmListViewType = kViewLargeIcons;  // the File Management window's list
};

class vokEngineShellExec final
    : public vok::EngineBase<vokEngineShellExec, FilterCommandExtra, IPersistStorage,
                             IvokEngineShellExecProp, IvokFileViewSite, IvokFastListItemIterator,
                             IvokEngineMenu> {
 public:
  static constexpr LONG kVirtualOrder = 15;
  static constexpr LONG kFilterListMaxSize = 1500;
  static constexpr LONG kStreamVersion = 0;
  // Filters beyond this many are left out of the "Filters" submenu.
  static constexpr int kMaxMenuFilters = 20;

  vokEngineShellExec();
  ~vokEngineShellExec() override;

  // IvokEngine
  // Stores the container and the hint level, then creates the filter list and the file view
  // window (by class identifier); a creation failure is returned and the engine is dropped.
  HRESULT STDMETHODCALLTYPE Init(IUnknown* pEngineContainerUnk, LONG lHint) override;
  // Releases the file view window and the filter commands.
  HRESULT STDMETHODCALLTYPE Exit() override;
  // A filter command runs its handler; any other line is opened (engine_shell_exec_open.cpp).
  HRESULT EngineCommand(IUnknown* pParserUnk) override;

  // IvokEngineCmdTable: at hint level 1, one command per filter (engine_shell_exec_filters.cpp).
  HRESULT STDMETHODCALLTYPE RegisterItemCommands() override;

  // IvokCommandInfo: the "Filter Shortcuts" group, only at hint level 1.
  HRESULT STDMETHODCALLTYPE FillCommandTree(HWND hwndTree) override;

  // IvokFastListItemIterator: the engine walks its own filter list, either filling the
  // "Filters" submenu or registering filter commands.
  HRESULT STDMETHODCALLTYPE Begin() override;
  HRESULT STDMETHODCALLTYPE End() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Item(IUnknown* pUnk) override;

  // IvokEngineMenu: appends the "Fil&ters" submenu with the first kMaxMenuFilters filters.
  HRESULT STDMETHODCALLTYPE AddMenuItems(HMENU hMenu) override;

  // IvokEngineShellExecProp (engine_shell_exec_persistence.cpp): each write that changes a value
  // marks the engine changed.
  HRESULT STDMETHODCALLTYPE get_ListViewType(int nViewNum, LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_ListViewType(int nViewNum, LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_FilterList(IUnknown** ppVal) override;
  HRESULT STDMETHODCALLTYPE get_LastFilter(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_LastFilter(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_ShowFolders(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_ShowFolders(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE get_ChDirCtlUnk(IUnknown** ppVal) override;
  HRESULT STDMETHODCALLTYPE put_ChDirCtlUnk(IUnknown* newVal) override;
  HRESULT STDMETHODCALLTYPE get_FMListViewType(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_FMListViewType(LONG newVal) override;

  // IvokFileViewSite: navigation requests go to the open File Management window (E_FAIL while
  // none is open); renaming in place suspends the registered keyboard shortcuts.
  HRESULT STDMETHODCALLTYPE NavigateTo(LONG bEnter, LPCSTR path) override;
  HRESULT STDMETHODCALLTYPE BeginRename() override;
  HRESULT STDMETHODCALLTYPE EndRename() override;

  // IPersistStorage (engine_shell_exec_persistence.cpp)
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  // S_OK when a setting changed or the filter list reports changes.
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE InitNew(IStorage*) override { return S_OK; }
  // Reads the stream when it opens and then, in every case, registers the filter commands
  // again; S_OK, the open failure or the first read failure.
  HRESULT STDMETHODCALLTYPE Load(IStorage* stg) override;
  HRESULT STDMETHODCALLTYPE Save(IStorage* stg, BOOL fSameAsLoad) override;
  HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return S_OK; }

  // The file view window component (borrowed); null before Init and after Exit.
  IUnknown* FileView() const { return fileView_.Get(); }

 protected:
  // Quick help describes a filter command by its filter: key, "(definition)", description.
  void DescribeItemCommand(const std::string& key, const vok::CommandRecord& record, char* name,
                           char* syntax, char* description, LONG reserved) override;
  std::string CommandTreeTitle() const override;
  void DecorateCommandTreeGroup(QTreeWidgetItem* group) override;

 private:
  enum class Walk { kMenu, kRegister };

  // Set-up (engine_shell_exec.cpp).
  HRESULT CreateFilterList();
  HRESULT CreateFileView();

  // Opening (engine_shell_exec_open.cpp). `word` is the first token, `arguments` the others,
  // each as typed.
  HRESULT Open(const std::string& word, const std::vector<std::string>& arguments);
  HRESULT OpenWildcardWord(const std::string& word, const std::string& cwd);
  // Shows the File Management window on `directory` with `filter`.
  HRESULT RunFileManagement(const std::string& directory, const std::string& filter);
  // The held navigator's directory, else the process's.
  std::string CurrentDirectory() const;

  // The handler of every filter command (engine_shell_exec_filters.cpp).
  HRESULT OnFilter(IvokCommandParser* parser);
  void RegisterFilter(IUnknown* item, const std::string& key);
  void AddMenuEntry(IUnknown* item, const std::string& key);
  // Removes the filter commands and registers them again from the list.
  void ReregisterFilterCommands();
  void WalkFilters(Walk mode);

  // The container's log (borrowed), or null.
  IvokLog* Log() const;
  // Adds string `id` of the library's table to the log as an error and shows the log.
  void ReportError(UINT id) const;

  IvokEngineContainer* containerIface_ = nullptr;  // the container's view, no reference
  ShellExecSettings settings_;
  bool dirty_ = false;

  ComPtr<IvokFastList> filters_;
  ComPtr<IUnknown> fileView_;
  ComPtr<IvokChDir> navigator_;
  vok::cmdline::FileManagementWindow* openWindow_ = nullptr;  // while the window is shown
  vok::ui::AcceleratorRegistration savedAccelerators_;        // between the rename calls
  bool renaming_ = false;

  // Walk state.
  Walk walkMode_ = Walk::kRegister;
  LONG walkIndex_ = 0;
  QMenu* submenu_ = nullptr;                  // only during AddMenuItems
  IvokMenuCommands* menuCommands_ = nullptr;  // only during AddMenuItems
};

// The creation function of the library's class table.
HRESULT CreateEngineShellExec(IUnknown* outer, REFIID riid, void** ppv);
