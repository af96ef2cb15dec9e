// A test-only IStorage holding named memory streams, with a journal of the streams asked for
// and switches to make creation or the streams' transfers fail.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/memory_stream.h"
#include "common/vok_object.h"

namespace vok::test {

class MemoryStorage final : public ObjectRoot<IStorage> {
 public:
  // Stream name -> the bytes last written through CreateStream (OpenStream reads a copy).
  std::map<std::string, ComPtr<MemoryStream>> streams;
  // "create NAME 0x1012" / "open NAME 0x12": every stream call with its mode, in order.
  std::vector<std::string> calls;
  // What CreateStream answers; on failure no stream is made.
  HRESULT createResult = S_OK;
  // Streams handed out from now on fail once this many bytes moved: written streams with
  // writeFailStatus, opened streams with readFailStatus.
  std::optional<size_t> failAfter;
  HRESULT writeFailStatus = STG_E_MEDIUMFULL;
  HRESULT readFailStatus = STG_E_LOCKVIOLATION;

  HRESULT STDMETHODCALLTYPE CreateStream(LPCOLESTR name, DWORD mode, DWORD, DWORD,
                                         IStream** ppstm) override;
  HRESULT STDMETHODCALLTYPE OpenStream(LPCOLESTR name, void*, DWORD mode, DWORD,
                                       IStream** ppstm) override;
  HRESULT STDMETHODCALLTYPE CreateStorage(LPCOLESTR, DWORD, DWORD, DWORD, IStorage**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE OpenStorage(LPCOLESTR, IStorage*, DWORD, void*, DWORD,
                                        IStorage**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CopyTo(DWORD, const IID*, void*, IStorage*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE MoveElementTo(LPCOLESTR, IStorage*, LPCOLESTR, DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnumElements(DWORD, void*, DWORD, IEnumSTATSTG**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DestroyElement(LPCOLESTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RenameElement(LPCOLESTR, LPCOLESTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetElementTimes(LPCOLESTR, const FILETIME*, const FILETIME*,
                                            const FILETIME*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetClass(REFCLSID) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetStateBits(DWORD, DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }

 private:
  void Record(const char* what, LPCOLESTR name, DWORD mode);
};

}  // namespace vok::test
