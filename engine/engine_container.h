// vokEngineContainer: creates the engines, orders them for dispatch, owns the command parser,
// routes command lines to the engines, combines their command information and menus, stores
// its own state with theirs, and shows their panels.
//
// Ownership: one reference to each engine and to the parser; the log is held without one.
// Each panel record holds one reference to the engine's panel interface. At teardown the panels
// are released first, then every engine receives Exit and is released in dispatch order, then
// the parser goes. Single-threaded: engines may call back into the container (Command included)
// from inside any call.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "common/container_ifaces.h"
#include "common/engine_ifaces.h"
#include "common/parser_ifaces.h"
#include "common/vok_object.h"
#include "engine/container_widgets.h"

namespace vok {

// Stream of the container's own record in the data file's root storage.
inline constexpr char kContainerStreamName[] = "ENG_CONTAINER";

class EngineContainer final : public ObjectRoot<IvokEngineContainer, IPersistStorage, IvokPanelBar,
                                                IvokCommandInfo, IvokMenuCommands> {
 public:
  // `widgets` may be null: the window operations then do nothing (CreateToolbar fails).
  explicit EngineContainer(std::unique_ptr<ContainerWidgets> widgets);
  ~EngineContainer() override;

  // IvokEngineContainer
  HRESULT STDMETHODCALLTYPE Init(const CLSID* const* pEngCLSIDs, LONG lHint) override;
  HRESULT STDMETHODCALLTYPE Properties(HWND hwndOwner, UINT x, UINT y, LPCSTR lpszCaption) override;
  HRESULT STDMETHODCALLTYPE Command(LPCSTR szCmdLine) override;
  HRESULT STDMETHODCALLTYPE IsCommandRegistered(LPCSTR lpszCmd) override;
  HRESULT STDMETHODCALLTYPE GetEngineByIface(REFIID riid, IUnknown** pVal) override;
  HRESULT STDMETHODCALLTYPE get_Log(IUnknown** pVal) override;
  HRESULT STDMETHODCALLTYPE put_Log(IUnknown* newVal) override;

  // IPersistStorage (container_persistence.cpp)
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE InitNew(IStorage* stg) override;
  HRESULT STDMETHODCALLTYPE Load(IStorage* stg) override;
  HRESULT STDMETHODCALLTYPE Save(IStorage* stg, BOOL fSameAsLoad) override;
  HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage* stgNew) override;
  HRESULT STDMETHODCALLTYPE HandsOffStorage() override;

  // IvokPanelBar (container_panels.cpp)
  HRESULT STDMETHODCALLTYPE GetPanelCount(LONG* plCount) override;
  HRESULT STDMETHODCALLTYPE GetMaxPanelHeight(LONG* plHeight) override;
  HRESULT STDMETHODCALLTYPE CreatePanels(HWND hwndParent, LONG lFirstId, LONG lLastId) override;
  HRESULT STDMETHODCALLTYPE CreateToolbar(UINT uCtrlId, HWND hwndParent,
                                          HWND* phwndToolbar) override;
  HRESULT STDMETHODCALLTYPE GetPanelInfo(LONG lId, HMODULE* phModule, UINT* puTipId) override;
  HRESULT STDMETHODCALLTYPE SelectPanel(LONG lId) override;
  HRESULT STDMETHODCALLTYPE BroadcastA(LONG l1, LONG l2) override;
  HRESULT STDMETHODCALLTYPE LayoutPanels() override;
  HRESULT STDMETHODCALLTYPE BroadcastB(LONG l1, LONG l2) override;
  HRESULT STDMETHODCALLTYPE BroadcastC() override;
  HRESULT STDMETHODCALLTYPE RunPanelCommand() override;
  HRESULT STDMETHODCALLTYPE CurrentPanelOp() override;

  // IvokCommandInfo
  HRESULT STDMETHODCALLTYPE GetCommandInfo(LPCSTR lpszWord, LPSTR lpszName, LPSTR lpszSyntax,
                                           LPSTR lpszDescription, LONG* plIndex,
                                           LONG lReserved) override;
  HRESULT STDMETHODCALLTYPE FillCommandTree(HWND hwndTree) override;
  HRESULT STDMETHODCALLTYPE MatchCommand(LPCSTR lpszPattern, LPSTR lpszOut,
                                         LONG lHiddenToo) override;

  // IvokMenuCommands
  HRESULT STDMETHODCALLTYPE FillMenu(HMENU hMenu, LONG lFirstId) override;
  HRESULT STDMETHODCALLTYPE RunMenuCommand(LONG lId) override;
  HRESULT STDMETHODCALLTYPE AddCommand(LPCSTR lpszCmd, LONG* plId) override;

 private:
  struct PanelRecord {
    ComPtr<IvokEnginePanel> panel;
    HMODULE module = nullptr;
    UINT bitmapId = 0;
    UINT tipId = 0;
  };

  HRESULT StartEngines(const CLSID* const* clsids, LONG hint);
  void SortEnginesByVirtualOrder();
  HRESULT Dispatch(const std::string& line);

  // Interface `I` of engine `index`, or null when the engine lacks it or the index is past the
  // end. Loops go by index so that a callback cannot invalidate them.
  template <class I>
  ComPtr<I> EngineInterface(size_t index) const;

  // Calls `op` on every panel in identifier order; stops at the first failure and returns it.
  template <class Op>
  HRESULT ForEachPanel(Op op);
  const PanelRecord* FindPanel(LONG id) const;
  LONG ChooseTarget(LONG request) const;
  void HideSelectedPanel();
  bool FlatToolbarsAvailable() const;

  std::unique_ptr<ContainerWidgets> widgets_;
  std::vector<ComPtr<IvokEngine>> engines_;  // dispatch order
  ComPtr<IvokCommandParser> parser_;
  IUnknown* log_ = nullptr;  // not owned
  // The line of the dispatch in progress, so that a nested Command can restore the parser.
  const std::string* activeLine_ = nullptr;

  std::map<LONG, std::string> menuCommands_;
  LONG nextMenuId_ = 0;

  std::map<LONG, PanelRecord> panels_;
  LONG lastPanelId_ = kPanelNone;
  LONG selectedPanel_ = kPanelNone;
  HWND panelParent_ = nullptr;
  HWND toolbar_ = nullptr;
};

template <class I>
ComPtr<I> EngineContainer::EngineInterface(size_t index) const {
  if (index >= engines_.size() || !engines_[index]) return nullptr;
  if constexpr (std::is_same_v<I, IvokEngine>) {
    return engines_[index];
  } else {
    return QueryAs<I>(engines_[index].Get());
  }
}

// Creates a container using `widgets` for its window operations. Refuses aggregation.
HRESULT CreateEngineContainer(std::unique_ptr<ContainerWidgets> widgets, IUnknown* outer,
                              REFIID riid, void** ppv);

}  // namespace vok
