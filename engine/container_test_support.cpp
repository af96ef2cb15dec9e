#include "engine/container_test_support.h"

#include <algorithm>

#include "common/class_ids.h"
#include "common/text_util.h"
#include "engine/command_parser.h"

namespace vok::test {
namespace {

std::string Entry(const std::string& name, const std::string& what) { return name + ":" + what; }

// A fake engine; its optional interfaces are offered as its config says.
class FakeEngine final
    : public ObjectRoot<IvokEngine, IvokEngineCmdTable, IvokCommandInfo, IvokEngineMenu,
                        IvokEnginePanel, IPersistStorage, ISpecifyPropertyPages> {
 public:
  explicit FakeEngine(EngineConfig config) : config_(std::move(config)) {}
  ~FakeEngine() override { Journal().push_back(Entry(config_.name, "destroyed")); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    const bool refused =
        (riid == IvokEngineCmdTable::kIID && !config_.cmdTable) ||
        (riid == IvokCommandInfo::kIID && !config_.commandInfo) ||
        (riid == IvokEngineMenu::kIID && !config_.menu) ||
        (riid == IvokEnginePanel::kIID && !config_.panel) ||
        ((riid == IPersistStorage::kIID || riid == IPersist::kIID) && !config_.persist) ||
        (riid == ISpecifyPropertyPages::kIID && !config_.pages);
    if (refused) {
      if (ppv) *ppv = nullptr;
      return E_NOINTERFACE;
    }
    return ObjectRoot::QueryInterface(riid, ppv);
  }

  // IvokEngine
  HRESULT STDMETHODCALLTYPE get_VirtualOrder(LONG* pVal) override {
    *pVal = config_.order;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_AppHint(LONG* pVal) override {
    *pVal = hint_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Init(IUnknown* container, LONG hint) override {
    container_ = container;
    hint_ = hint;
    Journal().push_back(Entry(config_.name, "Init " + std::to_string(hint)));
    return config_.initResult;
  }
  HRESULT STDMETHODCALLTYPE Exit() override {
    AddRef();
    const ULONG references = Release();
    Journal().push_back(Entry(config_.name, "Exit refs=" + std::to_string(references)));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Command(IUnknown* parserUnk) override {
    ComPtr<IvokCommandParser> parser = QueryAs<IvokCommandParser>(parserUnk);
    if (!parser) return E_NOINTERFACE;
    std::string word = ToUpper(FirstToken(parser.Get()).value_or(""));
    Journal().push_back(Entry(config_.name, "Command " + word));
    if (auto handler = config_.handlers.find(word); handler != config_.handlers.end())
      return handler->second(parser.Get(), container_);
    auto it = config_.words.find(word);
    return it == config_.words.end() ? S_FALSE : it->second;
  }
  HRESULT STDMETHODCALLTYPE GetEngineContainer(IUnknown** ppVal) override {
    *ppVal = container_;
    return S_OK;
  }

  // IvokEngineCmdTable
  HRESULT STDMETHODCALLTYPE get_CaseSensitive(LONG* pVal) override {
    *pVal = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_CaseSensitive(LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RegisterCommands(LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsCommandRegistered(LPCSTR word) override {
    Journal().push_back(Entry(config_.name, std::string("IsCommandRegistered ") + word));
    if (config_.isRegisteredResult) return *config_.isRegisteredResult;
    return config_.words.count(ToUpper(word)) ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE RemoveItemCommands() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RegisterItemCommands() override { return S_OK; }

  // IvokCommandInfo
  HRESULT STDMETHODCALLTYPE GetCommandInfo(LPCSTR word, LPSTR name, LPSTR syntax, LPSTR description,
                                           LONG* index, LONG) override {
    Journal().push_back(Entry(config_.name, std::string("GetCommandInfo ") + word));
    const auto& words = config_.infoWords;
    auto it = std::find(words.begin(), words.end(), word);
    *index = static_cast<LONG>(it - words.begin());
    if (it == words.end()) return S_FALSE;
    CopyToFixedBuffer(*it, name, 127);
    CopyToFixedBuffer(config_.name + " syntax", syntax, 127);
    CopyToFixedBuffer(config_.name + " description", description, 127);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE FillCommandTree(HWND) override {
    Journal().push_back(Entry(config_.name, "FillCommandTree"));
    return config_.fillTreeResult;
  }
  HRESULT STDMETHODCALLTYPE MatchCommand(LPCSTR, LPSTR out, LONG) override {
    Journal().push_back(Entry(config_.name, "MatchCommand"));
    if (config_.matchResult == S_OK) CopyToFixedBuffer(config_.name, out, 128);
    return config_.matchResult;
  }

  // IvokEngineMenu
  HRESULT STDMETHODCALLTYPE AddMenuItems(HMENU) override {
    ComPtr<IvokMenuCommands> commands = QueryAs<IvokMenuCommands>(container_);
    for (const std::string& text : config_.menuCommands) {
      LONG id = -1;
      commands->AddCommand(text.c_str(), &id);
      Journal().push_back(Entry(config_.name, "menu " + std::to_string(id) + " " + text));
    }
    return S_OK;
  }

  // IvokEnginePanel
  HRESULT STDMETHODCALLTYPE GetRect(RECT* rect) override {
    *rect = config_.rect;
    return config_.rectResult;
  }
  HRESULT STDMETHODCALLTYPE GetButtonInfo(HMODULE* module, UINT* bitmapId, UINT* tipId) override {
    *module = config_.module;
    *bitmapId = config_.bitmapId;
    *tipId = config_.tipId;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Create(HWND) override {
    Journal().push_back(Entry(config_.name, "Create"));
    return config_.createResult;
  }
  HRESULT STDMETHODCALLTYPE SetHorzPos(LONG a, LONG b) override { return Broadcast("A", a, b); }
  HRESULT STDMETHODCALLTYPE SetPos(LONG top, LONG bottom) override {
    Journal().push_back(
        Entry(config_.name, "SetPos " + std::to_string(top) + " " + std::to_string(bottom)));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Show(LONG command) override {
    Journal().push_back(Entry(config_.name, "Show " + std::to_string(command)));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetFlags(LONG a, LONG b) override { return Broadcast("B", a, b); }
  HRESULT STDMETHODCALLTYPE TestFlags(LONG) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Refresh() override { return Broadcast("C", 0, 0); }
  HRESULT STDMETHODCALLTYPE GetCommand(LPSTR command) override {
    CopyToFixedBuffer(config_.panelCommand, command, kPanelCommandSize);
    return config_.getCommandResult;
  }
  HRESULT STDMETHODCALLTYPE HideQuickHelp() override {
    Journal().push_back(Entry(config_.name, "PanelOp"));
    return config_.panelOpResult;
  }

  // IPersistStorage
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override {
    *clsid = GUID_NULL;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsDirty() override {
    Journal().push_back(Entry(config_.name, "IsDirty"));
    return config_.dirtyResult;
  }
  HRESULT STDMETHODCALLTYPE InitNew(IStorage*) override {
    Journal().push_back(Entry(config_.name, "InitNew"));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Load(IStorage*) override {
    Journal().push_back(Entry(config_.name, "Load"));
    return config_.loadResult;
  }
  HRESULT STDMETHODCALLTYPE Save(IStorage*, BOOL same) override {
    Journal().push_back(Entry(config_.name, "Save " + std::to_string(same)));
    return config_.saveResult;
  }
  HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return S_OK; }

  // ISpecifyPropertyPages
  HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pages) override {
    pages->cElems = static_cast<ULONG>(config_.pageIds.size());
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * config_.pageIds.size()));
    std::copy(config_.pageIds.begin(), config_.pageIds.end(), pages->pElems);
    return S_OK;
  }

 private:
  static std::optional<std::string> FirstToken(IvokCommandParser* parser) {
    ComPtr<IvokEnumArgs> args = QueryAs<IvokEnumArgs>(parser);
    args->Reset();
    char* token = nullptr;
    ULONG fetched = 0;
    if (args->Next(1, &token, &fetched) != S_OK || fetched != 1) return std::nullopt;
    std::string word(token);
    CoTaskMemFree(token);
    return word;
  }

  HRESULT Broadcast(const char* which, LONG a, LONG b) {
    Journal().push_back(Entry(config_.name, std::string("Broadcast") + which + " " +
                                                std::to_string(a) + " " + std::to_string(b)));
    return config_.broadcastResult;
  }

  EngineConfig config_;
  IUnknown* container_ = nullptr;  // not owned
  LONG hint_ = 0;
};

class EngineFactory final : public ObjectRoot<IClassFactory> {
 public:
  explicit EngineFactory(EngineConfig config) : config_(std::move(config)) {}
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    ComPtr<FakeEngine> engine(new FakeEngine(config_));
    return engine->QueryInterface(riid, ppv);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  EngineConfig config_;
};

class FakeComCtlVer final : public ObjectRoot<IvokComCtlVer> {
 public:
  explicit FakeComCtlVer(HRESULT isVersionResult) : result_(isVersionResult) {}
  HRESULT STDMETHODCALLTYPE Init() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetMajorVersion(ULONG* major) override {
    *major = 4;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetMinorVersion(ULONG* minor) override {
    *minor = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsVersion(USHORT) override { return result_; }

 private:
  HRESULT result_;
};

class ComCtlVerFactory final : public ObjectRoot<IClassFactory> {
 public:
  explicit ComCtlVerFactory(HRESULT result) : result_(result) {}
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID riid, void** ppv) override {
    ComPtr<FakeComCtlVer> version(new FakeComCtlVer(result_));
    return version->QueryInterface(riid, ppv);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  HRESULT result_;
};

}  // namespace

std::vector<std::string>& Journal() {
  static std::vector<std::string> journal;
  return journal;
}

std::vector<std::string> JournalWith(const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& entry : Journal()) {
    const size_t colon = entry.find(':');
    if (colon != std::string::npos && entry.compare(colon + 1, prefix.size(), prefix) == 0)
      found.push_back(entry);
  }
  return found;
}

CLSID TestEngineClsid(int n) {
  return CLSID{0x7E570000u + static_cast<uint32_t>(n), 0x1234, 0x4321, {0x80, 0, 0, 0, 0, 0, 0, 1}};
}

ClassRegistrations::~ClassRegistrations() { Clear(); }

void ClassRegistrations::Register(const CLSID& clsid, IUnknown* factory) {
  ComPtr<IUnknown> hold(factory);
  DWORD cookie = 0;
  ASSERT_EQ(S_OK, CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                        &cookie));
  cookies_.push_back(cookie);
}

void ClassRegistrations::AddEngine(const CLSID& clsid, const EngineConfig& config) {
  EngineFactory* factory = new EngineFactory(config);
  Register(clsid, factory->Identity());
}

void ClassRegistrations::AddParser() { AddFactory(clsid::kCommandParser, &CreateCommandParser); }

void ClassRegistrations::AddComCtlVer(HRESULT isVersionResult) {
  ComCtlVerFactory* factory = new ComCtlVerFactory(isVersionResult);
  Register(clsid::kComCtlVer, factory->Identity());
}

void ClassRegistrations::AddFactory(const CLSID& clsid, CreateFn create) {
  ClassFactory* factory = new ClassFactory(create);
  Register(clsid, factory->Identity());
}

void ClassRegistrations::Clear() {
  for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
  cookies_.clear();
}

void FakeWidgets::MarkEmptySubmenus(HMENU menu, const std::string& text) {
  record_->markedMenus.emplace_back(menu, text);
}

HWND FakeWidgets::CreateToolbar(UINT controlId, HWND parent, bool flat,
                                const std::vector<PanelButton>& buttons) {
  ++record_->toolbarsCreated;
  record_->controlId = controlId;
  record_->toolbarParent = parent;
  record_->flat = flat;
  record_->buttons = buttons;
  return record_->toolbarToReturn;
}

void FakeWidgets::SetButtonChecked(LONG panelId, bool checked) {
  // The toolbar's check group keeps one button checked.
  if (checked)
    for (auto& [id, state] : record_->checked) state = false;
  record_->checked[panelId] = checked;
}

LONG FakeWidgets::ClientHeight(HWND) { return record_->clientHeight; }

RECT FakeWidgets::ScreenToClient(HWND, const RECT& screen) {
  return RECT{screen.left - record_->offsetX, screen.top - record_->offsetY,
              screen.right - record_->offsetX, screen.bottom - record_->offsetY};
}

HRESULT FakeFrameService::ShowFrame(HWND frameOwner, UINT frameX, UINT frameY,
                                    LPCOLESTR frameCaption, ULONG objectCount,
                                    IUnknown** frameObjects, ULONG pageCount,
                                    const CLSID* framePages, LCID frameLocale) {
  ++calls;
  owner = frameOwner;
  x = frameX;
  y = frameY;
  caption = frameCaption ? frameCaption : "";
  objects.assign(frameObjects, frameObjects + objectCount);
  pages.assign(framePages, framePages + pageCount);
  locale = frameLocale;
  return result;
}

void ContainerTest::SetUp() {
  startCount_ = ModuleCount();
  Journal().clear();
  classes_.AddParser();
}

void ContainerTest::TearDown() {
  container_.Reset();
  classes_.Clear();
  EXPECT_EQ(startCount_, ModuleCount()) << "an object of this test is still alive";
}

void ContainerTest::CreateContainer() {
  if (createContainer_) {
    ASSERT_EQ(S_OK, createContainer_(nullptr, IvokEngineContainer::kIID,
                                     container_.ReleaseAndGetVoidAddressOf()));
    return;
  }
  ASSERT_EQ(S_OK, CreateEngineContainer(std::make_unique<FakeWidgets>(&widgets_), nullptr,
                                        IvokEngineContainer::kIID,
                                        container_.ReleaseAndGetVoidAddressOf()));
}

HRESULT ContainerTest::Start(const std::vector<EngineConfig>& engines, LONG hint) {
  CreateContainer();
  std::vector<CLSID> ids;
  for (size_t i = 0; i < engines.size(); ++i) {
    ids.push_back(TestEngineClsid(static_cast<int>(i)));
    classes_.AddEngine(ids.back(), engines[i]);
  }
  std::vector<const CLSID*> list;
  for (const CLSID& id : ids) list.push_back(&id);
  list.push_back(nullptr);
  return container_->Init(list.data(), hint);
}

std::vector<std::string> ContainerTest::EnginesAsked() const {
  std::vector<std::string> names;
  for (const std::string& entry : JournalWith("Command"))
    names.push_back(entry.substr(0, entry.find(':')));
  return names;
}

std::optional<std::string> Argument(IvokCommandParser* parser, ULONG k) {
  ComPtr<IvokEnumArgs> args = QueryAs<IvokEnumArgs>(parser);
  args->Reset();
  args->Skip(k + 1);
  char* token = nullptr;
  ULONG fetched = 0;
  if (args->Next(1, &token, &fetched) != S_OK) return std::nullopt;
  std::string text(token);
  CoTaskMemFree(token);
  return text;
}

}  // namespace vok::test
