// Loads arbitrary bytes as the command-line library's share of a user's data file. The first
// byte picks what reads the rest:
//   0  the command-line engine's whole stream "ENG_CMD_LINE", loaded through IPersistStorage by
//      the real engine started by the real container (lists, items, command browser, log
//      record, panel data and navigator);
//   1  the directory navigator's record alone;
//   2  a fast list record, as the engines keep their aliases, favorites, scripts and filters;
//   3  the shell-execution engine's whole stream "ENG_SHELL_EXEC", loaded likewise (filter list,
//      settings, file view window); the loaded filters then describe their commands in quick
//      help and fill the "Filters" submenu;
//   4  the file view window's record alone (sorting and its three histories).
// Whatever was loaded, also in part, is saved again; a record that loaded completely must load
// back from its save, reach a fixed point and then report no changes. Every class is served
// in-process from the static libraries. A crash, a leaked object or storage element, a failed
// save, a mismatch or changes reported after loading a save abort.
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QMenu>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cmdline/cmd_browser.h"
#include "cmdline/engine_cmd_line.h"
#include "cmdline/engine_shell_exec.h"
#include "cmdline/fast_list_item_alias.h"
#include "cmdline/fast_list_item_favorite.h"
#include "cmdline/fast_list_item_filter.h"
#include "cmdline/fast_list_item_script.h"
#include "common/class_ids.h"
#include "common/cmdline_ifaces.h"
#include "common/engine_base.h"
#include "common/engine_ifaces.h"
#include "common/fast_list_ifaces.h"
#include "common/memory_stream.h"
#include "common/shell_exec_ifaces.h"
#include "common/vok_object.h"
#include "ctl/chdir.h"
#include "engine/command_parser.h"
#include "engine/engine_container.h"
#include "fileview/file_view_wnd.h"
#include "platform/storage/storage.h"
#include "platform/ui/scripted_prompter.h"
#include "tools/fast_list.h"
#include "tools/fast_list_item_string.h"

namespace {

using Bytes = std::vector<uint8_t>;

// What one reader did with its input.
struct Loaded {
  Bytes saved;           // what the loaded object saved again
  bool changed = false;  // whether it reported changes right after loading
};

constexpr char kCmdLineStream[] = "ENG_CMD_LINE";
constexpr char kShellExecStream[] = "ENG_SHELL_EXEC";
constexpr DWORD kStreamMode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "cmdline_data_fuzz: %s\n", what);
  std::abort();
}

// The log the container hands to the engine. Its record is a fast list of string items, as the
// bar's log writes it, so the engine's keep-log field reads a record of the real shape.
class FakeLog final : public vok::ObjectRoot<IvokLog, IPersistStream> {
 public:
  HRESULT Start() {
    HRESULT hr = vok::CreateObject<vokFastList>(nullptr, IvokFastList::kIID,
                                                entries_.ReleaseAndGetVoidAddressOf());
    if (SUCCEEDED(hr)) hr = entries_->Init(0);
    return hr;
  }

  HRESULT STDMETHODCALLTYPE Init() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Add(LPCSTR, LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Clear() override { return entries_->RemoveAll(); }
  HRESULT STDMETHODCALLTYPE Show() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE get_MaxSize(LONG* pVal) override { return entries_->get_MaxSize(pVal); }
  HRESULT STDMETHODCALLTYPE put_MaxSize(LONG newVal) override {
    return entries_->put_MaxSize(newVal);
  }

  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override {
    *pClassID = vok::clsid::kLog;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return Persist()->IsDirty(); }
  HRESULT STDMETHODCALLTYPE Load(IStream* stm) override { return Persist()->Load(stm); }
  HRESULT STDMETHODCALLTYPE Save(IStream* stm, BOOL clear) override {
    return Persist()->Save(stm, clear);
  }
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }

 private:
  ComPtr<IPersistStream> Persist() { return QueryAs<IPersistStream>(entries_.Get()); }

  ComPtr<IvokFastList> entries_;
};

// ---- Process set-up

std::string& TemporaryHome() {
  static std::string home;
  return home;
}

std::vector<DWORD>& Cookies() {
  static std::vector<DWORD> cookies;
  return cookies;
}

// The folder the fuzzer was started in: libFuzzer resolves relative corpus and artifact paths
// against it.
std::string& StartFolder() {
  static std::string folder;
  return folder;
}

// The engine and the navigator change the process's current directory; every load starts from
// the start folder again, so that inputs do not depend on each other and paths keep working.
void ReturnToStartFolder() {
  if (chdir(StartFolder().c_str()) != 0) Fail("cannot return to the start folder");
}

void Serve(const CLSID& clsid, vok::CreateFn create) {
  ComPtr<vok::ClassFactory> factory(new vok::ClassFactory(create));
  DWORD cookie = 0;
  if (CoRegisterClassObject(clsid, factory->Identity(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                            &cookie) != S_OK)
    Fail("cannot register a class object");
  Cookies().push_back(cookie);
}

void CleanUp() {
  for (DWORD cookie : Cookies()) CoRevokeClassObject(cookie);
  std::error_code ignored;
  std::filesystem::remove_all(TemporaryHome(), ignored);
}

// The answer of IsDirty right after a load; anything but S_OK or S_FALSE aborts.
bool ReportsChanges(HRESULT dirty) {
  if (dirty != S_OK && dirty != S_FALSE) Fail("IsDirty answered neither yes nor no");
  return dirty == S_OK;
}

// ---- Byte helpers

ComPtr<IStorage> StorageHolding(const char* name, const Bytes& bytes) {
  ComPtr<IStorage> storage;
  if (VokCreateStorageInMemory(storage.ReleaseAndGetAddressOf()) != S_OK)
    Fail("cannot create a storage");
  ComPtr<IStream> stream;
  if (storage->CreateStream(name, kStreamMode, 0, 0, stream.ReleaseAndGetAddressOf()) != S_OK)
    Fail("cannot create the engine's stream");
  ULONG written = 0;
  if (stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written) != S_OK ||
      written != bytes.size())
    Fail("cannot fill the engine's stream");
  return storage;
}

Bytes StreamContent(IStorage* storage, const char* name) {
  ComPtr<IStream> stream;
  if (storage->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                          stream.ReleaseAndGetAddressOf()) != S_OK)
    Fail("the saved storage has no engine stream");
  Bytes content;
  uint8_t chunk[4096];
  for (;;) {
    ULONG read = 0;
    if (FAILED(stream->Read(chunk, sizeof chunk, &read))) Fail("cannot read the saved stream");
    if (read == 0) return content;
    content.insert(content.end(), chunk, chunk + read);
  }
}

// Loads `bytes` into `object` through IPersistStream, then saves whatever it holds; a failed
// save aborts.
HRESULT LoadAndSave(IUnknown* object, const Bytes& bytes, Loaded* loaded) {
  ComPtr<IPersistStream> persist = QueryAs<IPersistStream>(object);
  if (!persist) Fail("the object does not persist to a stream");
  HRESULT hr = persist->Load(vok::MemoryStream::Create(bytes).Get());
  loaded->changed = ReportsChanges(persist->IsDirty());
  ComPtr<vok::MemoryStream> out = vok::MemoryStream::Create();
  if (persist->Save(out.Get(), 1) != S_OK) Fail("saving what was loaded failed");
  loaded->saved = out->Bytes();
  return hr;
}

// ---- Using what an engine loaded

// Collects the keys of the items of a list walk.
class KeyCollector final : public vok::ObjectRoot<IvokFastListItemIterator> {
 public:
  HRESULT STDMETHODCALLTYPE Begin() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE End() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Item(IUnknown* unknown) override {
    ComPtr<IvokFastListItem> item = QueryAs<IvokFastListItem>(unknown);
    if (!item) return S_OK;  // a list may hold other components
    std::vector<char> key(kFastListKeySize, '\0');
    ULONG size = kFastListKeySize;
    if (SUCCEEDED(item->GetStrKey(key.data(), &size))) keys.emplace_back(key.data());
    return S_OK;
  }

  std::vector<std::string> keys;
};

// A text an engine wrote into one of its info buffers must end inside that buffer.
void CheckInfoBuffer(const std::vector<char>& buffer) {
  if (buffer.back() != '\0') Fail("an info buffer was left without its terminating zero");
}

// Loaded filters are shown at once: each describes its command in quick help (in both syntax
// forms) and the first ones fill the "Filters" submenu. The buffers are exactly as large as the
// interface promises, so a write past them is caught.
void UseLoadedFilters(IUnknown* engine) {
  ComPtr<IvokEngineShellExecProp> settings = QueryAs<IvokEngineShellExecProp>(engine);
  ComPtr<IvokCommandInfo> info = QueryAs<IvokCommandInfo>(engine);
  ComPtr<IvokEngineMenu> menus = QueryAs<IvokEngineMenu>(engine);
  if (!settings || !info || !menus) Fail("the shell-execution engine lacks an interface");
  ComPtr<IUnknown> unknown;
  if (settings->get_FilterList(unknown.ReleaseAndGetAddressOf()) != S_OK)
    Fail("the engine has no filter list");
  ComPtr<IvokFastList> filters = QueryAs<IvokFastList>(unknown.Get());
  ComPtr<KeyCollector> collector(new KeyCollector);
  if (!filters || FAILED(filters->Iterate(collector->Identity())))
    Fail("the filter list cannot be walked");
  for (const std::string& key : collector->keys) {
    for (LONG reserved : {0, 1}) {
      // Zeroed as callers hand them in, so that only a full, unterminated text is caught.
      std::vector<char> name(vok::kInfoBufferSize), syntax(vok::kInfoBufferSize),
          description(vok::kInfoBufferSize);
      LONG index = 0;
      if (FAILED(info->GetCommandInfo(key.c_str(), name.data(), syntax.data(), description.data(),
                                      &index, reserved)))
        Fail("quick help of a filter command failed");
      for (const std::vector<char>* buffer : {&name, &syntax, &description})
        CheckInfoBuffer(*buffer);
    }
  }
  QMenu menu;
  if (menus->AddMenuItems(&menu) != S_OK) Fail("the filters submenu was not built");
}

// ---- The readers: each loads its input into fresh objects and saves them again.

// Starts the engine `clsid` in the real container, loads `bytes` as its stream `stream` through
// IPersistStorage, hands the engine to `use` (may be null) and saves it again.
HRESULT LoadEngineStream(const CLSID& clsid, const char* stream, void (*use)(IUnknown*),
                         const Bytes& bytes, Loaded* loaded) {
  ReturnToStartFolder();
  ComPtr<FakeLog> log(new FakeLog);
  if (log->Start() != S_OK) Fail("cannot start the log");
  ComPtr<IvokEngineContainer> container;
  if (vok::CreateEngineContainer(nullptr, nullptr, IvokEngineContainer::kIID,
                                 container.ReleaseAndGetVoidAddressOf()) != S_OK)
    Fail("cannot create the container");
  container->put_Log(log->Identity());
  const CLSID* engines[] = {&clsid, nullptr};
  if (container->Init(engines, 1) != S_OK) Fail("the engine does not start");
  ComPtr<IUnknown> engine;
  if (container->GetEngineByIface(IPersistStorage::kIID, engine.ReleaseAndGetAddressOf()) != S_OK)
    Fail("the container does not hand out the engine");
  ComPtr<IPersistStorage> persist = QueryAs<IPersistStorage>(engine.Get());

  ComPtr<IStorage> in = StorageHolding(stream, bytes);
  HRESULT hr = persist->Load(in.Get());
  loaded->changed = ReportsChanges(persist->IsDirty());
  if (use) use(engine.Get());
  ComPtr<IStorage> out;
  if (VokCreateStorageInMemory(out.ReleaseAndGetAddressOf()) != S_OK)
    Fail("cannot create a storage");
  if (persist->Save(out.Get(), 1) != S_OK) Fail("saving the loaded engine failed");
  loaded->saved = StreamContent(out.Get(), stream);
  ReturnToStartFolder();
  return hr;
}

HRESULT LoadCmdLineEngine(const Bytes& bytes, Loaded* loaded) {
  return LoadEngineStream(vok::clsid::kEngineCmdLine, kCmdLineStream, nullptr, bytes, loaded);
}

HRESULT LoadShellExecEngine(const Bytes& bytes, Loaded* loaded) {
  return LoadEngineStream(vok::clsid::kEngineShellExec, kShellExecStream, &UseLoadedFilters, bytes,
                          loaded);
}

HRESULT LoadNavigator(const Bytes& bytes, Loaded* loaded) {
  ReturnToStartFolder();
  ComPtr<IvokChDir> navigator;
  if (vok::CreateObject<vokChDir>(nullptr, IvokChDir::kIID,
                                  navigator.ReleaseAndGetVoidAddressOf()) != S_OK)
    Fail("cannot create a navigator");
  if (navigator->Init(TemporaryHome().c_str()) != S_OK) Fail("the navigator does not start");
  HRESULT hr = LoadAndSave(navigator.Get(), bytes, loaded);
  ReturnToStartFolder();
  return hr;
}

HRESULT LoadItemList(const Bytes& bytes, Loaded* loaded) {
  ComPtr<IvokFastList> list;
  if (vok::CreateObject<vokFastList>(nullptr, IvokFastList::kIID,
                                     list.ReleaseAndGetVoidAddressOf()) != S_OK)
    Fail("cannot create a list");
  list->Init(1);
  return LoadAndSave(list.Get(), bytes, loaded);
}

// The file view as the shell-execution engine keeps it: listing folders, without a site.
HRESULT LoadFileView(const Bytes& bytes, Loaded* loaded) {
  ComPtr<IvokFileViewCmd> view;
  if (vok::CreateObject<vokFileViewWnd>(nullptr, IvokFileViewCmd::kIID,
                                        view.ReleaseAndGetVoidAddressOf()) != S_OK)
    Fail("cannot create a file view");
  if (view->Init(nullptr, /*bDirs=*/1) != S_OK) Fail("the file view does not start");
  return LoadAndSave(view.Get(), bytes, loaded);
}

using Reader = HRESULT (*)(const Bytes&, Loaded*);

// A record that loaded completely saves bytes that load again. Those bytes are not always the
// input's (a record may skip parts, which then save with their defaults, and a loaded navigator
// limits its back list), but from the first save on, load and save must reach a fixed point,
// and an object that loaded its own save holds nothing unsaved.
void CheckRoundTrip(Reader read, const Bytes& input) {
  Loaded first;
  HRESULT hr = read(input, &first);
  if (hr != S_OK) {
    if (!FAILED(hr)) Fail("a load reported neither success nor failure");
    return;
  }
  Loaded second, third;
  if (read(first.saved, &second) != S_OK) Fail("saved bytes do not load");
  if (read(second.saved, &third) != S_OK) Fail("saved bytes do not load the second time");
  if (second.changed || third.changed) Fail("an object that loaded its own save reports changes");
  if (third.saved != second.saved) {
    const Bytes& a = second.saved;
    const Bytes& b = third.saved;
    const size_t common = std::min(a.size(), b.size());
    const size_t at = std::mismatch(a.begin(), a.begin() + common, b.begin()).first - a.begin();
    std::fprintf(stderr, "saves of %zu and %zu bytes, first difference at %zu\n", a.size(),
                 b.size(), at);
    Fail("saving what was saved and loaded gives other bytes");
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Registry look-ups, "~" in loaded paths and Qt's settings all stay in a temporary folder.
  std::string& home = TemporaryHome();
  home = (std::filesystem::temp_directory_path() / "quillo-fuzz-XXXXXX").string();
  if (!mkdtemp(home.data())) Fail("cannot create a temporary folder");
  home = std::filesystem::canonical(home).string();
  for (const char* name : {"HOME", "QUILLO_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                           "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
    setenv(name, home.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  StartFolder() = std::filesystem::current_path().string();

  static int argc = 1;
  static char name[] = "cmdline_data_fuzz";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives for the whole process
  // Nothing read from a file may open a window or wait for an answer.
  static vok::ui::ScriptedPrompter prompter;
  static vok::ui::ScopedPrompter scoped(&prompter);

  Serve(vok::clsid::kFastList, &vok::CreateObject<vokFastList>);
  Serve(vok::clsid::kFastListItemString, &vok::CreateObject<vokFastListItemString>);
  Serve(vok::clsid::kChDir, &vok::CreateObject<vokChDir>);
  Serve(vok::clsid::kFastListItemAlias, &vok::CreateObject<vokFastListItemAlias>);
  Serve(vok::clsid::kFastListItemFavorite, &vok::CreateObject<vokFastListItemFavorite>);
  Serve(vok::clsid::kFastListItemScript, &vok::CreateObject<vokFastListItemScript>);
  Serve(vok::clsid::kCmdBrowser, &vok::CreateObject<vokCmdBrowser>);
  Serve(vok::clsid::kEngineCmdLine, &CreateEngineCmdLine);
  Serve(vok::clsid::kCommandParser, &vok::CreateCommandParser);
  Serve(vok::clsid::kFastListItemFilter, &vok::CreateObject<vokFastListItemFilter>);
  Serve(vok::clsid::kFileViewWnd, &vok::CreateObject<vokFileViewWnd>);
  Serve(vok::clsid::kEngineShellExec, &CreateEngineShellExec);
  std::atexit(CleanUp);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static constexpr Reader kReaders[] = {&LoadCmdLineEngine, &LoadNavigator, &LoadItemList,
                                        &LoadShellExecEngine, &LoadFileView};
  const int32_t objects = vok::ModuleCount().load();
  const int32_t elements = VokStorageLiveObjects();
  CheckRoundTrip(kReaders[data[0] % std::size(kReaders)], Bytes(data + 1, data + size));
  if (vok::ModuleCount().load() != objects) Fail("objects leaked");
  if (VokStorageLiveObjects() != elements) Fail("storage elements leaked");
  return 0;
}
