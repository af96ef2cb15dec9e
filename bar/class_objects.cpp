#include "bar/class_objects.h"

#include <unistd.h>

#include <climits>
#include <filesystem>

#include "bar/engine_ui.h"
#include "bar/fast_list_item_log.h"
#include "bar/log.h"
#include "bar/pp_ui.h"
#include "common/class_ids.h"
#include "platform/registry/registry.h"

namespace vok::bar {

const ClassEntry kProgramClasses[] = {
    {&clsid::kEngineUI, &CreateEngineUI, "vokEngineUI.vokEngineUI.1", "vokEngineUI Class"},
    {&clsid::kLog, &CreateObject<vokLog>, "VokUI.vokLog.1", "vokLog Class"},
    {&clsid::kFastListItemLog, &CreateObject<vokFastListItemLog>, "VokUI.vokFastListItemLog.1",
     "vokFastListItemLog Class"},
    {&clsid::kPPUI, &CreateObject<vokPPUI>, "VokUI.vokPPUI.1", "vokPPUI Class"},
    {nullptr, nullptr, nullptr, nullptr},
};

// {BAEED6C0-6F4A-11d2-997B-00609739CF2C}
const GUID kProgramAppId = {
    0xBAEED6C0, 0x6F4A, 0x11D2, {0x99, 0x7B, 0x00, 0x60, 0x97, 0x39, 0xCF, 0x2C}};

namespace {

constexpr char kAppIdName[] = "vokUI";

// The log and its entries are served by the running program (a local server); the engine is
// loaded into whoever asks (an in-process server).
bool IsLocalServer(const ClassEntry& entry) {
  return *entry.clsid == clsid::kLog || *entry.clsid == clsid::kFastListItemLog;
}

std::string AppIdKey() { return "AppID\\" + StringFromGUID(kProgramAppId); }

std::string ExecutableKey(const std::string& programPath) {
  return "AppID\\" + std::filesystem::path(programPath).filename().string();
}

HRESULT RegisterLocalServer(const ClassEntry& entry, const std::string& programPath) {
  using reg::Hive;
  const std::string key = "CLSID\\" + StringFromGUID(*entry.clsid);
  if (reg::DeleteTree(Hive::kClassesRoot, key + "\\InprocServer32") < 0 ||
      FAILED(reg::SetString(Hive::kClassesRoot, key + "\\LocalServer32", "", programPath)) ||
      FAILED(reg::SetString(Hive::kClassesRoot, key, "AppID", StringFromGUID(kProgramAppId))))
    return SELFREG_E_CLASS;
  return S_OK;
}

}  // namespace

HRESULT ProgramClassObjects::Register(const ClassEntry* table) {
  Revoke();
  for (const ClassEntry* entry = table; entry->clsid; ++entry) {
    ComPtr<IClassFactory> factory;
    HRESULT hr = CreateObject<ClassFactory>(nullptr, IClassFactory::kIID,
                                            factory.ReleaseAndGetVoidAddressOf(), entry->create);
    DWORD cookie = 0;
    if (SUCCEEDED(hr))
      hr = CoRegisterClassObject(*entry->clsid, factory.Get(),
                                 CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                 &cookie);
    if (FAILED(hr)) {
      Revoke();
      return hr;
    }
    cookies_.push_back(cookie);
  }
  return S_OK;
}

void ProgramClassObjects::Revoke() {
  for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
  cookies_.clear();
}

std::string ProgramFile() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return {};
  return std::string(path, static_cast<size_t>(length));
}

HRESULT RegisterProgramServer(const std::string& programPath) {
  if (programPath.empty()) return SELFREG_E_CLASS;
  for (const ClassEntry* entry = kProgramClasses; entry->clsid; ++entry) {
    HRESULT hr = RegisterClass(*entry, programPath);
    if (SUCCEEDED(hr) && IsLocalServer(*entry)) hr = RegisterLocalServer(*entry, programPath);
    if (FAILED(hr)) return hr;
  }
  using reg::Hive;
  if (FAILED(reg::SetString(Hive::kClassesRoot, AppIdKey(), "", kAppIdName)) ||
      FAILED(reg::SetString(Hive::kClassesRoot, ExecutableKey(programPath), "AppID",
                            StringFromGUID(kProgramAppId))))
    return SELFREG_E_CLASS;
  return S_OK;
}

HRESULT UnregisterProgramServer(const std::string& programPath) {
  HRESULT result = S_OK;
  for (const ClassEntry* entry = kProgramClasses; entry->clsid; ++entry) {
    if (FAILED(UnregisterClass(*entry))) result = SELFREG_E_CLASS;
  }
  using reg::Hive;
  if (FAILED(reg::DeleteTree(Hive::kClassesRoot, AppIdKey())) ||
      FAILED(reg::DeleteTree(Hive::kClassesRoot, ExecutableKey(programPath))))
    result = SELFREG_E_CLASS;
  return result;
}

}  // namespace vok::bar
