// vokregsvr [-u] LIBRARY...: calls DllRegisterServer (with -u, DllUnregisterServer) of each
// component library, writing into the current user's registry (QUILLO_HOME when set).
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/com/runtime.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: vokregsvr [-u] LIBRARY...\n");
  return 2;
}

// Returns true when the library's entry point ran and reported success.
bool RunEntryPoint(const char* path, bool unregister) {
  const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
  void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    std::fprintf(stderr, "vokregsvr: cannot load %s: %s\n", path, dlerror());
    return false;
  }
  auto fn = reinterpret_cast<HRESULT (*)()>(dlsym(handle, entry));
  bool ok = false;
  if (!fn) {
    std::fprintf(stderr, "vokregsvr: %s has no %s entry point\n", path, entry);
  } else if (HRESULT hr = fn(); FAILED(hr)) {
    std::fprintf(stderr, "vokregsvr: %s in %s failed (0x%08X)\n", entry, path,
                 static_cast<unsigned>(hr));
  } else {
    std::printf("%s succeeded in %s\n", entry, path);
    ok = true;
  }
  dlclose(handle);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  bool unregister = false;
  std::vector<std::string> libraries;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "-u") == 0 || std::strcmp(argv[i], "/u") == 0)
      unregister = true;
    else if (argv[i][0] == '-')
      return Usage();
    else
      libraries.emplace_back(argv[i]);
  }
  if (libraries.empty()) return Usage();
  int failures = 0;
  for (const std::string& path : libraries) {
    // dlopen searches the library path for bare names; a name with a slash is used as it is.
    std::string name = path.find('/') == std::string::npos ? "./" + path : path;
    if (!RunEntryPoint(name.c_str(), unregister)) ++failures;
  }
  return failures == 0 ? 0 : 1;
}
