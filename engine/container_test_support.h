// Test doubles for the engine container: configurable engines registered as in-process class
// objects, a recording widget seam, an in-memory storage, a log and a property-frame service.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/container_ifaces.h"
#include "common/engine_ifaces.h"
#include "common/fast_list_ifaces.h"
#include "common/memory_storage.h"
#include "common/memory_stream.h"
#include "common/parser_ifaces.h"
#include "common/vok_object.h"
#include "engine/container_widgets.h"
#include "engine/engine_container.h"

namespace vok::test {

// Everything the fakes did, in order ("A:Exit", "B:Command FOO", ...).
std::vector<std::string>& Journal();
// The journal entries that start with `prefix`.
std::vector<std::string> JournalWith(const std::string& prefix);

using Handler = std::function<HRESULT(IvokCommandParser* parser, IUnknown* container)>;

struct EngineConfig {
  std::string name;
  LONG order = 0;
  HRESULT initResult = S_OK;
  // Upper-case command word -> result of its handler (when no handler is given).
  std::map<std::string, HRESULT> words;
  std::map<std::string, Handler> handlers;

  // Optional interfaces the engine offers.
  bool cmdTable = false;
  bool commandInfo = false;
  bool menu = false;
  bool panel = false;
  bool persist = false;
  bool pages = false;

  // IvokEngineCmdTable::IsCommandRegistered: the words, unless forced.
  std::optional<HRESULT> isRegisteredResult;
  // IvokCommandInfo: entries in key order; FillCommandTree and MatchCommand results.
  std::vector<std::string> infoWords;
  HRESULT fillTreeResult = S_OK;
  HRESULT matchResult = S_FALSE;
  // IvokEngineMenu: command texts added to the menu through AddCommand.
  std::vector<std::string> menuCommands;
  // IvokEnginePanel
  RECT rect = {0, 0, 100, 20};
  HRESULT rectResult = S_OK;
  HMODULE module = nullptr;
  UINT bitmapId = 0;
  UINT tipId = 0;
  HRESULT createResult = S_OK;
  HRESULT broadcastResult = S_OK;
  std::string panelCommand;
  HRESULT getCommandResult = S_OK;
  HRESULT panelOpResult = S_OK;
  // IPersistStorage
  HRESULT dirtyResult = S_FALSE;
  HRESULT loadResult = S_OK;
  HRESULT saveResult = S_OK;
  // ISpecifyPropertyPages
  std::vector<CLSID> pageIds;
};

// A class identifier for test engine number n.
CLSID TestEngineClsid(int n);

// Registers engine classes and the real command parser as in-process class objects for the
// lifetime of the object.
class ClassRegistrations {
 public:
  ClassRegistrations() = default;
  ~ClassRegistrations();
  ClassRegistrations(const ClassRegistrations&) = delete;
  ClassRegistrations& operator=(const ClassRegistrations&) = delete;

  void AddEngine(const CLSID& clsid, const EngineConfig& config);
  void AddParser();
  void AddComCtlVer(HRESULT isVersionResult);
  void AddFactory(const CLSID& clsid, CreateFn create);
  void Clear();

 private:
  void Register(const CLSID& clsid, IUnknown* factory);
  std::vector<DWORD> cookies_;
};

// What the container asked of its windows.
struct WidgetRecord {
  std::vector<std::pair<HMENU, std::string>> markedMenus;
  int toolbarsCreated = 0;
  UINT controlId = 0;
  HWND toolbarParent = nullptr;
  bool flat = false;
  std::vector<PanelButton> buttons;
  std::map<LONG, bool> checked;
  HWND toolbarToReturn = reinterpret_cast<HWND>(0x7001);
  LONG clientHeight = 0;
  LONG offsetX = 0;  // screen -> client conversion subtracts these
  LONG offsetY = 0;
};

class FakeWidgets final : public ContainerWidgets {
 public:
  explicit FakeWidgets(WidgetRecord* record) : record_(record) {}
  void MarkEmptySubmenus(HMENU menu, const std::string& text) override;
  HWND CreateToolbar(UINT controlId, HWND parent, bool flat,
                     const std::vector<PanelButton>& buttons) override;
  void SetButtonChecked(LONG panelId, bool checked) override;
  LONG ClientHeight(HWND window) override;
  RECT ScreenToClient(HWND window, const RECT& screen) override;

 private:
  WidgetRecord* record_;
};

// The in-memory storage the persistence tests save to and load from.
using FakeStorage = MemoryStorage;

// An object standing for the log; the container must neither add nor drop references to it.
class FakeLog final : public ObjectRoot<IUnknown> {
 public:
  ULONG References() {
    AddRef();
    return Release();
  }
};

// Records the frame the container asks for.
class FakeFrameService final : public IvokPropertyFrameService {
 public:
  FakeFrameService() : previous_(VokSetPropertyFrameService(this)) {}
  ~FakeFrameService() { VokSetPropertyFrameService(previous_); }
  HRESULT ShowFrame(HWND owner, UINT x, UINT y, LPCOLESTR caption, ULONG objectCount,
                    IUnknown** objects, ULONG pageCount, const CLSID* pages, LCID locale) override;

  HRESULT result = S_OK;
  int calls = 0;
  HWND owner = nullptr;
  UINT x = 0, y = 0;
  std::string caption;
  std::vector<IUnknown*> objects;
  std::vector<CLSID> pages;
  LCID locale = 0;

 private:
  IvokPropertyFrameService* previous_;
};

// A container over fake engines. Checks at the end that every object of this test is gone.
class ContainerTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Registers one engine class per config (in list order) and starts a container on them.
  HRESULT Start(const std::vector<EngineConfig>& engines, LONG hint = 1);
  // A container without Init.
  void CreateContainer();

  template <class I>
  ComPtr<I> As() const {
    return QueryAs<I>(container_.Get());
  }
  HRESULT Run(const char* line) { return container_->Command(line); }
  // Names of the engines that were offered a command, in order.
  std::vector<std::string> EnginesAsked() const;

  int32_t startCount_ = 0;
  // Containers are made with this creation function; null: with FakeWidgets over widgets_.
  CreateFn createContainer_ = nullptr;
  ClassRegistrations classes_;
  WidgetRecord widgets_;
  ComPtr<IvokEngineContainer> container_;
};

// Reads argument k of the parsed line (k = 0: the first after the command word).
std::optional<std::string> Argument(IvokCommandParser* parser, ULONG k);

}  // namespace vok::test
