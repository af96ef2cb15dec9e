#include "common/test_libraries.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include "common/vok_types.h"

namespace vok::test {

bool RegisterBuiltLibrary(const std::string& name) {
  const char* buildDir = getenv("VOK_BUILD_DIR");
  if (!buildDir) {
    ADD_FAILURE() << "VOK_BUILD_DIR is not set";
    return false;
  }
  std::string path = std::string(buildDir) + "/lib/lib" + name + ".so";
  // Kept loaded for the rest of the test program, as the runtime would keep it.
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    ADD_FAILURE() << "cannot load " << path << ": " << dlerror();
    return false;
  }
  using RegisterFn = HRESULT (*)();
  auto reg = reinterpret_cast<RegisterFn>(dlsym(library, "DllRegisterServer"));
  if (!reg) {
    ADD_FAILURE() << path << " has no DllRegisterServer";
    return false;
  }
  HRESULT hr = reg();
  EXPECT_EQ(S_OK, hr) << "DllRegisterServer of " << path;
  return hr == S_OK;
}

}  // namespace vok::test
