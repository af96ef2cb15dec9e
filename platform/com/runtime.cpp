#include "platform/com/runtime.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/com/com_ptr.h"
#include "platform/registry/registry.h"

namespace {

using GetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT (*)();

struct RegisteredClass {
  CLSID clsid;
  IUnknown* classObject;  // one reference held
};

std::map<DWORD, RegisteredClass>& ClassTable() {
  static std::map<DWORD, RegisteredClass> table;
  return table;
}

struct LoadedLibrary {
  void* handle;
  GetClassObjectFn getClassObject;
  CanUnloadNowFn canUnloadNow;
};

std::map<std::string, LoadedLibrary>& LibraryTable() {
  static std::map<std::string, LoadedLibrary> table;
  return table;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool ParseHex(const char* text, int digits, uint64_t* value) {
  *value = 0;
  for (int i = 0; i < digits; ++i) {
    int v = HexValue(text[i]);
    if (v < 0) return false;
    *value = (*value << 4) | static_cast<uint64_t>(v);
  }
  return true;
}

HRESULT LoadLibraryOf(REFCLSID clsid, LoadedLibrary** out) {
  std::string path;
  std::string key = "CLSID\\" + StringFromGUID(clsid) + "\\InprocServer32";
  HRESULT hr = vok::reg::GetString(vok::reg::Hive::kClassesRoot, key, "", &path);
  if (FAILED(hr)) return hr;
  if (hr != S_OK || path.empty()) return REGDB_E_CLASSNOTREG;
  auto& libraries = LibraryTable();
  auto it = libraries.find(path);
  if (it == libraries.end()) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      std::fprintf(stderr, "quillo: cannot load %s: %s\n", path.c_str(), dlerror());
      return CO_E_DLLNOTFOUND;
    }
    auto get = reinterpret_cast<GetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
    auto can = reinterpret_cast<CanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
    if (!get) {
      dlclose(handle);
      return CO_E_ERRORINDLL;
    }
    it = libraries.emplace(path, LoadedLibrary{handle, get, can}).first;
  }
  *out = &it->second;
  return S_OK;
}

IvokPropertyFrameService*& FrameService() {
  static IvokPropertyFrameService* service = nullptr;
  return service;
}

}  // namespace

void* CoTaskMemAlloc(size_t cb) { return std::malloc(cb ? cb : 1); }
void* CoTaskMemRealloc(void* pv, size_t cb) { return std::realloc(pv, cb ? cb : 1); }
void CoTaskMemFree(void* pv) { std::free(pv); }

char* CoTaskMemStrDup(const char* text) {
  size_t n = std::strlen(text) + 1;
  char* copy = static_cast<char*>(CoTaskMemAlloc(n));
  if (copy) std::memcpy(copy, text, n);
  return copy;
}

HRESULT CLSIDFromString(const char* text, CLSID* clsid) {
  if (!text || !clsid) return E_INVALIDARG;
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
  if (std::strlen(text) != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' ||
      text[14] != '-' || text[19] != '-' || text[24] != '-')
    return CO_E_CLASSSTRING;
  uint64_t v;
  CLSID out;
  if (!ParseHex(text + 1, 8, &v)) return CO_E_CLASSSTRING;
  out.Data1 = static_cast<uint32_t>(v);
  if (!ParseHex(text + 10, 4, &v)) return CO_E_CLASSSTRING;
  out.Data2 = static_cast<uint16_t>(v);
  if (!ParseHex(text + 15, 4, &v)) return CO_E_CLASSSTRING;
  out.Data3 = static_cast<uint16_t>(v);
  static constexpr int kByteOffsets[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!ParseHex(text + kByteOffsets[i], 2, &v)) return CO_E_CLASSSTRING;
    out.Data4[i] = static_cast<uint8_t>(v);
  }
  *clsid = out;
  return S_OK;
}

std::string StringFromGUID(REFGUID g) {
  char buffer[39];
  std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                g.Data1, g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return buffer;
}

int StringFromGUID2(REFGUID guid, char* buffer, int size) {
  std::string text = StringFromGUID(guid);
  if (!buffer || size < static_cast<int>(text.size()) + 1) return 0;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<int>(text.size()) + 1;
}

HRESULT CLSIDFromProgID(const char* progId, CLSID* clsid) {
  if (!progId || !clsid) return E_INVALIDARG;
  std::string text;
  HRESULT hr =
      vok::reg::GetString(vok::reg::Hive::kClassesRoot, std::string(progId) + "\\CLSID", "", &text);
  if (FAILED(hr)) return hr;
  if (hr != S_OK) return CO_E_CLASSSTRING;
  return CLSIDFromString(text.c_str(), clsid);
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* /*reserved*/, REFIID riid,
                         void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  for (auto& [cookie, entry] : ClassTable())
    if (entry.clsid == clsid) return entry.classObject->QueryInterface(riid, ppv);
  if (!(context & (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER))) return REGDB_E_CLASSNOTREG;
  LoadedLibrary* library = nullptr;
  HRESULT hr = LoadLibraryOf(clsid, &library);
  if (FAILED(hr)) return hr;
  return library->getClassObject(clsid, riid, ppv);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  ComPtr<IClassFactory> factory;
  HRESULT hr = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory,
                                factory.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  return factory->CreateInstance(outer, riid, ppv);
}

HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* classObject, DWORD /*context*/,
                              DWORD /*flags*/, DWORD* cookie) {
  if (!classObject || !cookie) return E_INVALIDARG;
  static DWORD nextCookie = 1;
  classObject->AddRef();
  *cookie = nextCookie++;
  ClassTable().emplace(*cookie, RegisteredClass{clsid, classObject});
  return S_OK;
}

HRESULT CoRevokeClassObject(DWORD cookie) {
  auto& table = ClassTable();
  auto it = table.find(cookie);
  if (it == table.end()) return E_INVALIDARG;
  IUnknown* classObject = it->second.classObject;
  table.erase(it);
  classObject->Release();
  return S_OK;
}

void CoFreeUnusedLibraries() {
  auto& libraries = LibraryTable();
  for (auto it = libraries.begin(); it != libraries.end();) {
    if (it->second.canUnloadNow && it->second.canUnloadNow() == S_OK) {
      dlclose(it->second.handle);
      it = libraries.erase(it);
    } else {
      ++it;
    }
  }
}

IvokPropertyFrameService* VokSetPropertyFrameService(IvokPropertyFrameService* service) {
  IvokPropertyFrameService* previous = FrameService();
  FrameService() = service;
  return previous;
}

HRESULT OleCreatePropertyFrame(HWND owner, UINT x, UINT y, LPCOLESTR caption, ULONG objectCount,
                               IUnknown** objects, ULONG pageCount, const CLSID* pages, LCID locale,
                               DWORD /*reserved*/, void* /*reserved2*/) {
  IvokPropertyFrameService* service = FrameService();
  if (!service) return E_NOTIMPL;
  return service->ShowFrame(owner, x, y, caption, objectCount, objects, pageCount, pages, locale);
}
