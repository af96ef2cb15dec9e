#include "common/vok_object.h"

#include <dlfcn.h>

#include "platform/registry/registry.h"

namespace vok {

std::atomic<int32_t>& ModuleCount() {
  static std::atomic<int32_t> count{0};
  return count;
}

HRESULT STDMETHODCALLTYPE ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
  return create_(outer, riid, ppv);
}

HRESULT STDMETHODCALLTYPE ClassFactory::LockServer(BOOL lock) {
  if (lock)
    ModuleLock();
  else
    ModuleUnlock();
  return S_OK;
}

HRESULT ModuleGetClassObject(const ClassEntry* table, REFCLSID clsid, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  for (const ClassEntry* entry = table; entry->clsid; ++entry) {
    if (*entry->clsid == clsid)
      return CreateObject<ClassFactory>(nullptr, riid, ppv, entry->create);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ModuleCanUnloadNow() { return ModuleCount().load() == 0 ? S_OK : S_FALSE; }

namespace {

// "Lib.Name.1" -> "Lib.Name"
std::string VersionIndependent(const std::string& progId) {
  size_t dot = progId.rfind('.');
  return dot == std::string::npos ? progId : progId.substr(0, dot);
}

}  // namespace

HRESULT RegisterClass(const ClassEntry& entry, const std::string& serverPath) {
  using reg::Hive;
  const std::string clsid = StringFromGUID(*entry.clsid);
  const std::string key = "CLSID\\" + clsid;
  const std::string progId = entry.progId;
  const std::string independent = VersionIndependent(progId);
  const std::pair<std::string, std::pair<std::string, std::string>> values[] = {
      {key, {"", entry.description}},
      {key + "\\InprocServer32", {"", serverPath}},
      {key + "\\InprocServer32", {"ThreadingModel", "Apartment"}},
      {key + "\\ProgID", {"", progId}},
      {key + "\\VersionIndependentProgID", {"", independent}},
      {progId, {"", entry.description}},
      {progId + "\\CLSID", {"", clsid}},
      {independent, {"", entry.description}},
      {independent + "\\CLSID", {"", clsid}},
      {independent + "\\CurVer", {"", progId}},
  };
  for (const auto& [k, nv] : values) {
    HRESULT hr = reg::SetString(Hive::kClassesRoot, k, nv.first, nv.second);
    if (FAILED(hr)) return SELFREG_E_CLASS;
  }
  return S_OK;
}

HRESULT UnregisterClass(const ClassEntry& entry) {
  using reg::Hive;
  const std::string progId = entry.progId;
  HRESULT results[] = {
      reg::DeleteTree(Hive::kClassesRoot, "CLSID\\" + StringFromGUID(*entry.clsid)),
      reg::DeleteTree(Hive::kClassesRoot, progId),
      reg::DeleteTree(Hive::kClassesRoot, VersionIndependent(progId)),
  };
  for (HRESULT hr : results)
    if (FAILED(hr)) return SELFREG_E_CLASS;
  return S_OK;
}

HRESULT ModuleRegister(const ClassEntry* table, const void* anchor) {
  Dl_info info = {};
  if (!dladdr(anchor, &info) || !info.dli_fname) return SELFREG_E_CLASS;
  char resolved[PATH_MAX];
  std::string path = realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
  for (const ClassEntry* entry = table; entry->clsid; ++entry) {
    HRESULT hr = RegisterClass(*entry, path);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT ModuleUnregister(const ClassEntry* table) {
  HRESULT result = S_OK;
  for (const ClassEntry* entry = table; entry->clsid; ++entry) {
    HRESULT hr = UnregisterClass(*entry);
    if (FAILED(hr)) result = hr;
  }
  return result;
}

}  // namespace vok
