// The engine library as a component server: exports, registration, creation from the registry
// and unloading.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "common/class_ids.h"
#include "engine/container_test_support.h"
#include "platform/registry/registry.h"

namespace vok::test {
namespace {

using reg::Hive;
using ServerFn = HRESULT (*)();

// $VOK_BUILD_DIR/lib/libvokEngine.so; without the variable, the lib folder beside this
// program's bin folder.
std::string LibraryPath() {
  if (const char* build = std::getenv("VOK_BUILD_DIR"); build && *build)
    return std::string(build) + "/lib/libvokEngine.so";
  return (std::filesystem::canonical("/proc/self/exe").parent_path().parent_path() / "lib" /
          "libvokEngine.so")
      .string();
}

struct LibraryCloser {
  void operator()(void* handle) const { dlclose(handle); }
};
using Library = std::unique_ptr<void, LibraryCloser>;

Library OpenLibrary() { return Library(dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL)); }

ServerFn Export(void* library, const char* name) {
  return reinterpret_cast<ServerFn>(dlsym(library, name));
}

TEST(EngineLibraryTest, ExportsOnlyTheServerEntryPoints) {
  Library library = OpenLibrary();
  ASSERT_TRUE(library) << dlerror();
  for (const char* name :
       {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"})
    EXPECT_NE(nullptr, dlsym(library.get(), name)) << name;
  // vok::EngineContainer::Command(const char*) and vok::CreateEngineContainer(...).
  EXPECT_EQ(nullptr, dlsym(library.get(), "_ZN3vok15EngineContainer7CommandEPKc"));
  EXPECT_EQ(nullptr, dlsym(library.get(), "CreateEngineContainer"));

  // The dynamic symbol table holds the four entry points and nothing else of the code.
  const std::string command = "nm -D --defined-only '" + LibraryPath() + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> nm(popen(command.c_str(), "r"), pclose);
  ASSERT_TRUE(nm);
  std::set<std::string> code;
  char line[4096];
  while (std::fgets(line, sizeof line, nm.get())) {
    char type = 0;
    char name[4096];
    if (std::sscanf(line, "%*s %c %4095s", &type, name) != 2) continue;
    if (std::strchr("TtWwVvuiD", type) && std::string(name) != "_edata") code.insert(name);
  }
  EXPECT_EQ((std::set<std::string>{"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                   "DllUnregisterServer"}),
            code);
}

class EngineLibraryRegistrationTest : public testing::Test {
 protected:
  void SetUp() override {
    library_ = OpenLibrary();
    ASSERT_TRUE(library_) << dlerror();
    ASSERT_EQ(S_OK, Export(library_.get(), "DllRegisterServer")());
    canUnloadNow_ = Export(library_.get(), "DllCanUnloadNow");
  }
  void TearDown() override {
    classes_.Clear();
    if (library_) {
      EXPECT_EQ(S_OK, Export(library_.get(), "DllUnregisterServer")());
    }
  }

  Library library_;
  ServerFn canUnloadNow_ = nullptr;
  ClassRegistrations classes_;
};

TEST_F(EngineLibraryRegistrationTest, RegistersBothClassesUnderTheLibraryPath) {
  char resolved[PATH_MAX];
  ASSERT_NE(nullptr, realpath(LibraryPath().c_str(), resolved));
  struct Class {
    CLSID clsid;
    std::string progId;
  };
  for (const Class& c : {Class{clsid::kEngineContainer, "vokEngineContainer.vokEngineContainer"},
                         Class{clsid::kCommandParser, "vokCommandParser.vokCommandParser"}}) {
    const std::string key = "CLSID\\" + StringFromGUID(c.clsid);
    std::string value;
    ASSERT_EQ(S_OK, reg::GetString(Hive::kClassesRoot, key + "\\InprocServer32", "", &value));
    EXPECT_EQ(resolved, value);
    ASSERT_EQ(S_OK, reg::GetString(Hive::kClassesRoot, key + "\\ProgID", "", &value));
    EXPECT_EQ(c.progId + ".1", value);
    ASSERT_EQ(S_OK,
              reg::GetString(Hive::kClassesRoot, key + "\\VersionIndependentProgID", "", &value));
    EXPECT_EQ(c.progId, value);
    for (const std::string& name : {c.progId, c.progId + ".1"}) {
      ASSERT_EQ(S_OK, reg::GetString(Hive::kClassesRoot, name + "\\CLSID", "", &value)) << name;
      EXPECT_EQ(StringFromGUID(c.clsid), value);
    }
  }

  ASSERT_EQ(S_OK, Export(library_.get(), "DllUnregisterServer")());
  EXPECT_FALSE(
      reg::KeyExists(Hive::kClassesRoot, "CLSID\\" + StringFromGUID(clsid::kEngineContainer)));
  EXPECT_FALSE(reg::KeyExists(Hive::kClassesRoot, "vokEngineContainer.vokEngineContainer.1"));
  EXPECT_FALSE(reg::KeyExists(Hive::kClassesRoot, "vokCommandParser.vokCommandParser"));
  ASSERT_EQ(S_OK, Export(library_.get(), "DllRegisterServer")());
}

TEST_F(EngineLibraryRegistrationTest, ContainerFromTheRegistryDispatchesAndLetsTheLibraryGo) {
  EngineConfig engine;
  engine.name = "A";
  engine.words = {{"HELLO", HRESULT{2}}};
  classes_.AddEngine(TestEngineClsid(0), engine);
  Journal().clear();

  ComPtr<IUnknown> outer;
  ASSERT_EQ(S_OK, CreateEngineContainer(nullptr, nullptr, IUnknown::kIID,
                                        outer.ReleaseAndGetVoidAddressOf()));
  ComPtr<IvokEngineContainer> refused;
  EXPECT_EQ(CLASS_E_NOAGGREGATION,
            CoCreateInstance(clsid::kEngineContainer, outer.Get(), CLSCTX_INPROC_SERVER,
                             IvokEngineContainer::kIID, refused.ReleaseAndGetVoidAddressOf()));
  outer.Reset();
  EXPECT_EQ(S_OK, canUnloadNow_());

  ComPtr<IvokEngineContainer> container;
  ASSERT_EQ(S_OK,
            CoCreateInstance(clsid::kEngineContainer, nullptr, CLSCTX_INPROC_SERVER,
                             IvokEngineContainer::kIID, container.ReleaseAndGetVoidAddressOf()));
  EXPECT_EQ(S_FALSE, canUnloadNow_()) << "an object of the library lives";
  const CLSID id = TestEngineClsid(0);
  const CLSID* list[] = {&id, nullptr};
  ASSERT_EQ(S_OK, container->Init(list, 1)) << "the parser comes from the library";
  EXPECT_EQ(HRESULT{2}, container->Command("  hello \"big world\""));
  EXPECT_EQ(S_FALSE, container->Command("bye"));
  EXPECT_THAT(JournalWith("Command"), testing::ElementsAre("A:Command HELLO", "A:Command BYE"));

  container.Reset();
  EXPECT_EQ(S_OK, canUnloadNow_());
}

}  // namespace
}  // namespace vok::test
