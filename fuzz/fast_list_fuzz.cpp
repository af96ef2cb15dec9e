// Loads arbitrary bytes as a fast-list stream into a unique and a non-unique list, saves what
// was loaded and checks that the saved bytes load back to the same items and save the same
// again. String items and lists (lists of lists) are served in-process. Any crash, leak or
// mismatch aborts.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/class_ids.h"
#include "common/fast_list_ifaces.h"
#include "common/memory_stream.h"
#include "tools/fast_list.h"
#include "tools/fast_list_item_string.h"

namespace {

// Records key and data word of every item, oldest first.
class Recorder final : public vok::ObjectRoot<IvokFastListItemIterator> {
 public:
  HRESULT STDMETHODCALLTYPE Begin() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE End() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Item(IUnknown* item) override {
    ComPtr<IvokFastListItem> keyed = QueryAs<IvokFastListItem>(item);
    if (!keyed) {
      items.emplace_back("<list>", 0);
      return S_OK;
    }
    char key[kFastListKeySize];
    ULONG size = sizeof key;
    ULONG data = 0;
    keyed->GetStrKey(key, &size);
    keyed->get_ItemData(&data);
    items.emplace_back(std::string(key, size), data);
    return S_OK;
  }
  std::vector<std::pair<std::string, ULONG>> items;
};

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fast_list_fuzz: %s\n", what);
  std::abort();
}

ComPtr<IvokFastList> NewList(bool unique) {
  ComPtr<IvokFastList> list;
  if (vok::CreateObject<vokFastList>(nullptr, IvokFastList::kIID,
                                     list.ReleaseAndGetVoidAddressOf()) != S_OK)
    Fail("cannot create a list");
  list->Init(unique);
  return list;
}

std::vector<std::pair<std::string, ULONG>> ItemsOf(IvokFastList* list) {
  ComPtr<Recorder> recorder(new Recorder);
  list->Iterate(recorder->Identity());
  return recorder->items;
}

std::vector<uint8_t> Save(IvokFastList* list) {
  auto stream = vok::MemoryStream::Create();
  if (QueryAs<IPersistStream>(list)->Save(stream.Get(), 1) != S_OK) Fail("save failed");
  return stream->Bytes();
}

HRESULT Load(IvokFastList* list, std::vector<uint8_t> bytes) {
  auto stream = vok::MemoryStream::Create(std::move(bytes));
  return QueryAs<IPersistStream>(list)->Load(stream.Get());
}

std::vector<DWORD>& Cookies() {
  static std::vector<DWORD> cookies;
  return cookies;
}

std::string& TemporaryHome() {
  static std::string home;
  return home;
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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Unknown class identifiers are looked up in the registry: keep that away from the user's.
  std::string& home = TemporaryHome();
  home = (std::filesystem::temp_directory_path() / "quillo-fuzz-XXXXXX").string();
  if (!mkdtemp(home.data())) Fail("cannot create a temporary folder");
  setenv("QUILLO_HOME", home.c_str(), 1);
  Serve(vok::clsid::kFastListItemString, &vok::CreateObject<vokFastListItemString>);
  Serve(vok::clsid::kFastList, &vok::CreateObject<vokFastList>);
  std::atexit(CleanUp);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int32_t start = vok::ModuleCount().load();
  for (bool unique : {true, false}) {
    ComPtr<IvokFastList> list = NewList(unique);
    HRESULT hr = Load(list.Get(), std::vector<uint8_t>(data, data + size));
    if (hr == S_FALSE || (hr != S_OK && !FAILED(hr))) Fail("unexpected load status");
    if (QueryAs<IPersistStream>(list.Get())->IsDirty() != S_FALSE) Fail("dirty after load");
    const std::vector<uint8_t> saved = Save(list.Get());

    ComPtr<IvokFastList> copy = NewList(unique);
    if (Load(copy.Get(), saved) != S_OK) Fail("saved bytes do not load");
    if (ItemsOf(copy.Get()) != ItemsOf(list.Get())) Fail("items differ after the round trip");
    if (Save(copy.Get()) != saved) Fail("second save differs");
  }
  if (vok::ModuleCount().load() != start) Fail("objects leaked");
  return 0;
}
