// The built libvokTools.so as other programs meet it: registered through its own export, found
// through the registry, exporting nothing but its four entry points.
#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "common/class_ids.h"
#include "common/fast_list_ifaces.h"
#include "common/memory_stream.h"
#include "platform/registry/registry.h"
#include "tools/fast_list_test_util.h"

namespace {

using DllFn = HRESULT (*)();

std::string LibraryPath() {
  const char* buildDir = std::getenv("VOK_BUILD_DIR");
  return std::string(buildDir ? buildDir : ".") + "/lib/libvokTools.so";
}

// Names of the symbols the shared object defines in its dynamic symbol table.
std::set<std::string> ExportedSymbols(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<char> image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::set<std::string> names;
  if (image.size() < sizeof(Elf64_Ehdr)) return names;
  const auto* header = reinterpret_cast<const Elf64_Ehdr*>(image.data());
  if (std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0 || header->e_ident[EI_CLASS] != ELFCLASS64)
    return names;
  const auto* sections = reinterpret_cast<const Elf64_Shdr*>(image.data() + header->e_shoff);
  for (int i = 0; i < header->e_shnum; ++i) {
    if (sections[i].sh_type != SHT_DYNSYM) continue;
    const char* strings = image.data() + sections[sections[i].sh_link].sh_offset;
    const auto* symbols = reinterpret_cast<const Elf64_Sym*>(image.data() + sections[i].sh_offset);
    size_t count = sections[i].sh_size / sizeof(Elf64_Sym);
    for (size_t k = 1; k < count; ++k) {
      if (symbols[k].st_shndx == SHN_UNDEF) continue;
      if (ELF64_ST_BIND(symbols[k].st_info) == STB_LOCAL) continue;
      names.insert(strings + symbols[k].st_name);
    }
  }
  return names;
}

class ToolsLibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    handle_ = dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
  }
  void TearDown() override {
    if (handle_) dlclose(handle_);
  }
  DllFn Export(const char* name) { return reinterpret_cast<DllFn>(dlsym(handle_, name)); }

  void* handle_ = nullptr;
};

TEST_F(ToolsLibraryTest, ExportsOnlyTheFourEntryPoints) {
  EXPECT_EQ(ExportedSymbols(LibraryPath()),
            (std::set<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                   "DllUnregisterServer"}));
}

TEST_F(ToolsLibraryTest, RegisteredClassesAreCreatedFromTheRegistry) {
  DllFn registerServer = Export("DllRegisterServer");
  DllFn canUnloadNow = Export("DllCanUnloadNow");
  ASSERT_TRUE(registerServer && canUnloadNow);
  ASSERT_EQ(registerServer(), S_OK);

  const std::pair<const char*, CLSID> names[] = {
      {"vokFastList.vokFastList.1", vok::clsid::kFastList},
      {"vokFastList.vokFastList", vok::clsid::kFastList},
      {"vokFastListItemString.vokFastListItemString.1", vok::clsid::kFastListItemString},
      {"vokFastListItemIteratorCtl.vokFastListItemIteratorCtl.1",
       vok::clsid::kFastListItemIteratorCtl},
      {"vokComCtlVer.vokComCtlVer.1", vok::clsid::kComCtlVer},
  };
  for (const auto& [progId, expected] : names) {
    CLSID clsid = GUID_NULL;
    EXPECT_EQ(CLSIDFromProgID(progId, &clsid), S_OK) << progId;
    EXPECT_EQ(clsid, expected) << progId;
  }
  std::string server;
  EXPECT_EQ(
      vok::reg::GetString(vok::reg::Hive::kClassesRoot,
                          "CLSID\\" + StringFromGUID(vok::clsid::kFastList) + "\\InprocServer32",
                          "", &server),
      S_OK);
  char resolved[PATH_MAX];
  ASSERT_NE(realpath(LibraryPath().c_str(), resolved), nullptr);
  EXPECT_EQ(server, resolved);

  {
    // A list and its items, all from the library, through save and load (which creates the
    // items by the stored class identifier).
    ComPtr<IvokFastList> list;
    ASSERT_EQ(CoCreateInstance(vok::clsid::kFastList, nullptr, CLSCTX_INPROC_SERVER,
                               IvokFastList::kIID, list.ReleaseAndGetVoidAddressOf()),
              S_OK);
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "a live object keeps the library";
    list->Init(1);
    for (const char* key : {"one", "two"}) {
      ComPtr<IvokFastListItem> item;
      ASSERT_EQ(CoCreateInstance(vok::clsid::kFastListItemString, nullptr, CLSCTX_INPROC_SERVER,
                                 IvokFastListItem::kIID, item.ReleaseAndGetVoidAddressOf()),
                S_OK);
      item->SetStrKey(key);
      ComPtr<IUnknown> identity = IdentityOf(item.Get());
      ASSERT_EQ(list->Add(identity.Get(), 0), S_OK);
      identity.Detach();
    }
    auto stream = vok::MemoryStream::Create();
    ASSERT_EQ(QueryAs<IPersistStream>(list.Get())->Save(stream.Get(), 1), S_OK);
    ComPtr<IvokFastList> copy;
    ASSERT_EQ(CoCreateInstance(vok::clsid::kFastList, nullptr, CLSCTX_INPROC_SERVER,
                               IvokFastList::kIID, copy.ReleaseAndGetVoidAddressOf()),
              S_OK);
    stream->Seek({0}, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(QueryAs<IPersistStream>(copy.Get())->Load(stream.Get()), S_OK);
    EXPECT_EQ(vok::test::KeysOf(copy.Get()), (std::vector<std::string>{"one", "two"}));

    ComPtr<IvokComCtlVer> version;
    ASSERT_EQ(CoCreateInstance(vok::clsid::kComCtlVer, nullptr, CLSCTX_INPROC_SERVER,
                               IvokComCtlVer::kIID, version.ReleaseAndGetVoidAddressOf()),
              S_OK);
    EXPECT_EQ(version->Init(), S_OK);
    EXPECT_EQ(version->IsVersion(2), S_OK);

    ComPtr<IvokFastListItemIteratorCtl> filler;
    ASSERT_EQ(
        CoCreateInstance(vok::clsid::kFastListItemIteratorCtl, nullptr, CLSCTX_INPROC_SERVER,
                         IvokFastListItemIteratorCtl::kIID, filler.ReleaseAndGetVoidAddressOf()),
        S_OK);
    EXPECT_EQ(filler->Begin(), E_FAIL) << "no target bound yet";

    IUnknown* outer = list.Get();
    IUnknown* aggregated = nullptr;
    EXPECT_EQ(CoCreateInstance(vok::clsid::kFastList, outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&aggregated)),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(aggregated, nullptr);
  }
  EXPECT_EQ(canUnloadNow(), S_OK) << "every object was released";

  DllFn unregisterServer = Export("DllUnregisterServer");
  ASSERT_TRUE(unregisterServer);
  EXPECT_EQ(unregisterServer(), S_OK);
  CLSID clsid;
  EXPECT_NE(CLSIDFromProgID("vokFastList.vokFastList.1", &clsid), S_OK);
  EXPECT_FALSE(vok::reg::KeyExists(vok::reg::Hive::kClassesRoot,
                                   "CLSID\\" + StringFromGUID(vok::clsid::kFastList)));
}

}  // namespace
