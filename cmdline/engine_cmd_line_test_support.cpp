#include "cmdline/engine_cmd_line_test_support.h"

#include <unistd.h>

#include <QApplication>

#include "cmdline/resources/cmdline_strings.h"
#include "common/class_ids.h"
#include "common/stream_util.h"
#include "common/test_libraries.h"

namespace vok::test {
namespace {

// An engine ordered after the command-line engine that takes every line and records it, so
// tests see exactly what reached the container.
constexpr CLSID kRecorderClsid = {
    0x5E1F0C01, 0x1234, 0x4A5B, {0x9C, 0x01, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77}};

class LineRecorder final : public ObjectRoot<IvokEngine> {
 public:
  HRESULT STDMETHODCALLTYPE get_VirtualOrder(LONG* pVal) override { return *pVal = 15, S_OK; }
  HRESULT STDMETHODCALLTYPE get_AppHint(LONG* pVal) override { return *pVal = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE Init(IUnknown*, LONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Exit() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Command(IUnknown* pParserUnk) override {
    ComPtr<IvokCommandParser> parser = QueryAs<IvokCommandParser>(pParserUnk);
    LONG length = 0;
    parser->get_CmdLen(&length);
    std::string line(static_cast<size_t>(length) + 1, '\0');
    parser->GetCommandLine(line.data());
    line.resize(static_cast<size_t>(length));
    CmdLineEngineTest::RecordedLines().push_back(line);
    return CmdLineEngineTest::RecorderResult();
  }
  HRESULT STDMETHODCALLTYPE GetEngineContainer(IUnknown** ppVal) override {
    return *ppVal = nullptr, E_FAIL;
  }
};

vokEngineCmdLine* g_createdEngine = nullptr;

HRESULT CreateTestEngine(IUnknown* outer, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  auto* engine = new vokEngineCmdLine;
  engine->AddRef();
  HRESULT hr = engine->QueryInterface(riid, ppv);
  if (SUCCEEDED(hr)) g_createdEngine = engine;
  engine->Release();
  return hr;
}

DWORD RegisterFactory(const CLSID& clsid, CreateFn create) {
  ComPtr<IClassFactory> factory(new ClassFactory(create));
  DWORD cookie = 0;
  EXPECT_EQ(S_OK, CoRegisterClassObject(clsid, factory.Get(), CLSCTX_INPROC_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie));
  return cookie;
}

template <class I>
ComPtr<I> CreateByClass(const CLSID& clsid) {
  ComPtr<I> object;
  EXPECT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, I::kIID,
                                   object.ReleaseAndGetVoidAddressOf()));
  return object;
}

ComPtr<IvokFastList> EngineList(vokEngineCmdLine* engine,
                                HRESULT (STDMETHODCALLTYPE vokEngineCmdLine::*get)(IUnknown**)) {
  IUnknown* raw = nullptr;
  EXPECT_EQ(S_OK, (engine->*get)(&raw));
  ComPtr<IUnknown> list;
  list.Attach(raw);
  return QueryAs<IvokFastList>(list.Get());
}

// A new item of class `clsid` with its key and, when given, its data (the type).
ComPtr<IvokFastListItem> NewItem(const CLSID& clsid, const std::string& key,
                                 std::optional<ULONG> data) {
  auto item = CreateByClass<IvokFastListItem>(clsid);
  if (!item) return item;
  item->SetStrKey(key.c_str());
  if (data) item->put_ItemData(*data);
  return item;
}

void AddToList(IvokFastList* list, ComPtr<IvokFastListItem> item) {
  ASSERT_TRUE(list);
  ASSERT_EQ(S_OK, list->Add(item.Get(), 0));
  item.Detach();  // the list took the reference
}

}  // namespace

// ---- RecordingLog

std::vector<std::string> RecordingLog::Texts(LONG type) const {
  std::vector<std::string> texts;
  for (const Line& line : lines)
    if (line.type == type) texts.push_back(line.text);
  return texts;
}

HRESULT STDMETHODCALLTYPE RecordingLog::Load(IStream* stm) {
  return GuardStream([&] {
    if (ReadLong(stm) != kRecordMark) return STG_E_DOCFILECORRUPT;
    LONG n = ReadLong(stm);
    std::vector<Line> loaded;
    for (LONG i = 0; i < n; ++i) loaded.push_back({ReadStr32(stm), kLogInfo});
    lines = std::move(loaded);
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE RecordingLog::Save(IStream* stm, BOOL) {
  return GuardStream([&] {
    WriteLong(stm, kRecordMark);
    WriteLong(stm, static_cast<LONG>(lines.size()));
    for (const Line& line : lines) WriteStr32(stm, line.text);
    return S_OK;
  });
}

// ---- Bytes

Bytes& Bytes::Long(LONG value) {
  auto v = static_cast<ULONG>(value);
  for (int i = 0; i < 4; ++i) data_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return *this;
}
Bytes& Bytes::Byte(BYTE value) {
  data_.push_back(value);
  return *this;
}
Bytes& Bytes::Str(const std::string& text) {
  Long(static_cast<LONG>(text.size()));
  data_.insert(data_.end(), text.begin(), text.end());
  return *this;
}
Bytes& Bytes::Guid(const GUID& guid) {
  Long(static_cast<LONG>(guid.Data1));
  data_.push_back(static_cast<uint8_t>(guid.Data2));
  data_.push_back(static_cast<uint8_t>(guid.Data2 >> 8));
  data_.push_back(static_cast<uint8_t>(guid.Data3));
  data_.push_back(static_cast<uint8_t>(guid.Data3 >> 8));
  data_.insert(data_.end(), guid.Data4, guid.Data4 + 8);
  return *this;
}
Bytes& Bytes::Raw(const std::vector<uint8_t>& bytes) {
  data_.insert(data_.end(), bytes.begin(), bytes.end());
  return *this;
}
Bytes& Bytes::EmptyList(LONG maxSize) { return Long(0).Long(maxSize).Long(0); }

// ---- The fixture

void CmdLineEngineTest::SetUpTestSuite() {
  if (!QApplication::instance()) {
    static int argc = 1;
    static char name[] = "cmdline_engine_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // lives for the whole test program
  }
  static bool registered = false;
  if (!registered) {
    for (const char* library : {"vokEngine", "vokTools", "vokCtl", "vokCmdLine"})
      ASSERT_TRUE(RegisterBuiltLibrary(library));
    registered = true;
  }
}

void CmdLineEngineTest::SetUp() {
  savedCwd_ = std::filesystem::current_path();
  std::string pattern = (std::filesystem::temp_directory_path() / "cmdline-engine-XXXXXX").string();
  ASSERT_NE(nullptr, mkdtemp(pattern.data()));
  temp_ = std::filesystem::canonical(pattern);
  std::filesystem::current_path(temp_);
  scopedPrompter_.emplace(&prompter_);
  scopedRunner_.emplace(&runner_);
  RecordedLines().clear();
  RecorderResult() = S_OK;
  g_createdEngine = nullptr;
  log_ = ComPtr<RecordingLog>(new RecordingLog);
  cookies_.push_back(RegisterFactory(clsid::kEngineCmdLine, &CreateTestEngine));
  cookies_.push_back(RegisterFactory(kRecorderClsid, &CreateObject<LineRecorder>));
}

void CmdLineEngineTest::TearDown() {
  container_.Reset();
  engine_ = nullptr;
  log_.Reset();
  for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
  cookies_.clear();
  scopedRunner_.reset();
  scopedPrompter_.reset();
  std::filesystem::current_path(savedCwd_);
  std::filesystem::remove_all(temp_);
  // Every object of this program's own code (engine, log, fakes) is gone.
  EXPECT_EQ(0, ModuleCount().load());
}

HRESULT CmdLineEngineTest::Start(LONG hint) {
  container_ = CreateByClass<IvokEngineContainer>(clsid::kEngineContainer);
  if (!container_) return E_FAIL;
  container_->put_Log(log_->Identity());
  const CLSID* engines[] = {&clsid::kEngineCmdLine, &kRecorderClsid, nullptr};
  HRESULT hr = container_->Init(engines, hint);
  engine_ = g_createdEngine;
  return hr;
}

std::vector<std::string>& CmdLineEngineTest::RecordedLines() {
  static std::vector<std::string> lines;
  return lines;
}
HRESULT& CmdLineEngineTest::RecorderResult() {
  static HRESULT answer = S_OK;
  return answer;
}

ComPtr<IvokFastList> CmdLineEngineTest::Favorites() {
  return EngineList(engine_, &vokEngineCmdLine::get_FavoriteList);
}
ComPtr<IvokFastList> CmdLineEngineTest::Aliases() {
  return EngineList(engine_, &vokEngineCmdLine::get_AliasList);
}
ComPtr<IvokFastList> CmdLineEngineTest::Scripts() {
  return EngineList(engine_, &vokEngineCmdLine::get_ScriptList);
}

void CmdLineEngineTest::AddAlias(const std::string& name, const std::string& definition,
                                 const std::string& description) {
  auto item = NewItem(clsid::kFastListItemAlias, name, std::nullopt);
  auto alias = QueryAs<IvokFastListItemAlias>(item.Get());
  ASSERT_TRUE(alias);
  alias->SetAlias(definition.c_str());
  alias->SetDescr(description.c_str());
  AddToList(Aliases().Get(), item);
}

void CmdLineEngineTest::AddFavorite(const std::string& name, ULONG type,
                                    const std::string& definition, const std::string& description,
                                    LONG useTree) {
  auto item = NewItem(clsid::kFastListItemFavorite, name, type);
  auto favorite = QueryAs<IvokFastListItemFavorite>(item.Get());
  ASSERT_TRUE(favorite);
  favorite->SetFavorite(definition.c_str());
  favorite->SetDescr(description.c_str());
  favorite->put_UseExplorerTree(useTree);
  AddToList(Favorites().Get(), item);
}

void CmdLineEngineTest::AddScript(const std::string& name, ULONG type,
                                  const std::string& description) {
  auto item = NewItem(clsid::kFastListItemScript, name, type);
  auto script = QueryAs<IvokFastListItemScript>(item.Get());
  ASSERT_TRUE(script);
  script->SetDescr(description.c_str());
  AddToList(Scripts().Get(), item);
}

void CmdLineEngineTest::Reregister() {
  auto table = EngineAs<IvokEngineCmdTable>();
  table->RemoveItemCommands();
  table->RegisterItemCommands();
}

std::string CmdLineEngineTest::CurrentDir() {
  IvokChDir* navigator = engine_->Navigator();
  if (!navigator) return {};
  std::string dir(kPathBufferSize, '\0');
  navigator->GetCurrentDir(dir.data());
  return dir.c_str();
}

std::filesystem::path CmdLineEngineTest::MakeDir(const std::string& relative) {
  std::filesystem::path path = temp_ / relative;
  std::filesystem::create_directories(path);
  return path;
}

std::string CmdLineText(UINT id) { return LoadStringResource(&cmdline::kCmdLineResources, id); }

}  // namespace vok::test
