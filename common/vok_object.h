// Building blocks of a component library: the reference-counted object root, the class
// object, the library's object and lock count and its registration.
//
// Each library links this code statically with hidden visibility, so every library keeps its
// own count: the library may be unloaded only while its count is 0 (DllCanUnloadNow).
#pragma once

#include <atomic>
#include <new>
#include <utility>

#include "platform/com/com_ptr.h"
#include "platform/com/runtime.h"

#define VOK_EXPORT extern "C" __attribute__((visibility("default")))

namespace vok {

// Live objects plus outstanding locks of the library this code is linked into.
std::atomic<int32_t>& ModuleCount();
inline void ModuleLock() { ModuleCount().fetch_add(1); }
inline void ModuleUnlock() { ModuleCount().fetch_sub(1); }

// Answers riid when it names I or one of its ancestors up to IUnknown.
template <class I>
bool MatchesInterface(REFIID riid) {
  if (riid == I::kIID) return true;
  if constexpr (std::is_same_v<I, IUnknown>) {
    return false;
  } else {
    return MatchesInterface<typename I::Base>(riid);
  }
}

// Implements the three reference-counting operations for an object that implements the
// interfaces `Ifaces` (the first one supplies the identity pointer). Objects start with a
// count of 0 and count themselves in the library's count while they live.
template <class... Ifaces>
class ObjectRoot : public Ifaces... {
  template <class I, class...>
  struct FirstOf {
    using type = I;
  };
  using FirstInterface = typename FirstOf<Ifaces...>::type;

 public:
  ObjectRoot() { ModuleLock(); }
  virtual ~ObjectRoot() { ModuleUnlock(); }
  ObjectRoot(const ObjectRoot&) = delete;
  ObjectRoot& operator=(const ObjectRoot&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown) {
      *ppv = Identity();
    } else {
      *ppv = FindInterface<Ifaces...>(riid);
      if (!*ppv) *ppv = QueryExtra(riid);
    }
    if (!*ppv) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  IUnknown* Identity() { return static_cast<FirstInterface*>(this); }

 protected:
  // Interfaces reached other than by inheritance (for example a tear-off); no reference added.
  virtual void* QueryExtra(REFIID) { return nullptr; }

 private:
  template <class I, class... Rest>
  void* FindInterface(REFIID riid) {
    if (MatchesInterface<I>(riid)) return static_cast<I*>(this);
    if constexpr (sizeof...(Rest) > 0) {
      return FindInterface<Rest...>(riid);
    } else {
      return nullptr;
    }
  }

  ULONG refs_ = 0;
};

// Creates a T (constructed from `args`) and queries it for riid; the object is destroyed again
// when the query fails.
template <class T, class... Args>
HRESULT CreateObject(IUnknown* outer, REFIID riid, void** ppv, Args&&... args) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  T* object = new (std::nothrow) T(std::forward<Args>(args)...);
  if (!object) return E_OUTOFMEMORY;
  object->AddRef();
  HRESULT hr = object->QueryInterface(riid, ppv);
  object->Release();
  return hr;
}

using CreateFn = HRESULT (*)(IUnknown* outer, REFIID riid, void** ppv);

// One row of a library's class table. The table ends with a row whose clsid is null.
struct ClassEntry {
  const CLSID* clsid;
  CreateFn create;
  const char* progId;       // "vokEngineContainer.vokEngineContainer.1"
  const char* description;  // default value of the CLSID key
};

// The class object handed out by DllGetClassObject; it refuses aggregation through `create`.
class ClassFactory final : public ObjectRoot<IClassFactory> {
 public:
  explicit ClassFactory(CreateFn create) : create_(create) {}
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  CreateFn create_;
};

// The bodies of the four library exports, driven by the library's class table.
HRESULT ModuleGetClassObject(const ClassEntry* table, REFCLSID clsid, REFIID riid, void** ppv);
HRESULT ModuleCanUnloadNow();
// Registers every class of the table as served by the library containing `anchor`.
HRESULT ModuleRegister(const ClassEntry* table, const void* anchor);
HRESULT ModuleUnregister(const ClassEntry* table);

// The registry entries of one class; used by libraries and by the program's own classes.
HRESULT RegisterClass(const ClassEntry& entry, const std::string& serverPath);
HRESULT UnregisterClass(const ClassEntry& entry);

}  // namespace vok

// Defines the four exports of a component library from its class table.
#define VOK_DEFINE_LIBRARY_EXPORTS(table)                                               \
  VOK_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {       \
    return vok::ModuleGetClassObject(table, clsid, riid, ppv);                          \
  }                                                                                     \
  VOK_EXPORT HRESULT DllCanUnloadNow() { return vok::ModuleCanUnloadNow(); }            \
  VOK_EXPORT HRESULT DllRegisterServer() {                                              \
    return vok::ModuleRegister(table, reinterpret_cast<const void*>(&DllCanUnloadNow)); \
  }                                                                                     \
  VOK_EXPORT HRESULT DllUnregisterServer() { return vok::ModuleUnregister(table); }
