// The component runtime: task allocator, identifier text, creation by class identifier.
// Classes are found first among class objects registered in this process, then in the
// registry (HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32 names the library, loaded with dlopen).
// Everything runs on the user-interface thread; the tables here take no locks.
#pragma once

#include <string>

#include "platform/com/objidl.h"
#include "platform/com/unknwn.h"

#define VOK_PLATFORM_API __attribute__((visibility("default")))

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_ALL = 0x17;
constexpr DWORD REGCLS_SINGLEUSE = 0;
constexpr DWORD REGCLS_MULTIPLEUSE = 1;

constexpr LCID LOCALE_USER_DEFAULT = 0x400;

VOK_PLATFORM_API void* CoTaskMemAlloc(size_t cb);
VOK_PLATFORM_API void* CoTaskMemRealloc(void* pv, size_t cb);
VOK_PLATFORM_API void CoTaskMemFree(void* pv);
// A task-allocated copy of a zero-terminated string; null when out of memory.
VOK_PLATFORM_API char* CoTaskMemStrDup(const char* text);

// Brace form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; hex digits in either case.
VOK_PLATFORM_API HRESULT CLSIDFromString(const char* text, CLSID* clsid);
VOK_PLATFORM_API std::string StringFromGUID(REFGUID guid);  // upper-case hex
// Writes the brace form (39 bytes with the zero); returns the bytes written or 0 when too small.
VOK_PLATFORM_API int StringFromGUID2(REFGUID guid, char* buffer, int size);
// Looks the registered name up in HKEY_CLASSES_ROOT\<progid>\CLSID.
VOK_PLATFORM_API HRESULT CLSIDFromProgID(const char* progId, CLSID* clsid);

VOK_PLATFORM_API HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, void* reserved,
                                          REFIID riid, void** ppv);
VOK_PLATFORM_API HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context,
                                          REFIID riid, void** ppv);
// Makes `classObject` the source of `clsid` in this process until revoked; holds a reference.
VOK_PLATFORM_API HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* classObject, DWORD context,
                                               DWORD flags, DWORD* cookie);
VOK_PLATFORM_API HRESULT CoRevokeClassObject(DWORD cookie);
// Unloads the loaded component libraries whose DllCanUnloadNow answers S_OK.
VOK_PLATFORM_API void CoFreeUnusedLibraries();

// Shows a modal frame with one page per class identifier; each page edits `objects`.
// The frame is a service the program provides (Qt dialogs live with the program); without
// one installed the call fails with E_NOTIMPL.
struct IvokPropertyFrameService {
  virtual HRESULT ShowFrame(HWND owner, UINT x, UINT y, LPCOLESTR caption, ULONG objectCount,
                            IUnknown** objects, ULONG pageCount, const CLSID* pages,
                            LCID locale) = 0;

 protected:
  ~IvokPropertyFrameService() = default;
};
// Installs the frame service (not owned; null removes it). Returns the previous one.
VOK_PLATFORM_API IvokPropertyFrameService* VokSetPropertyFrameService(
    IvokPropertyFrameService* service);
VOK_PLATFORM_API HRESULT OleCreatePropertyFrame(HWND owner, UINT x, UINT y, LPCOLESTR caption,
                                                ULONG objectCount, IUnknown** objects,
                                                ULONG pageCount, const CLSID* pages, LCID locale,
                                                DWORD reserved, void* reserved2);
