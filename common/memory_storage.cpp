#include "common/memory_storage.h"

#include <cstdio>

namespace vok::test {

void MemoryStorage::Record(const char* what, LPCOLESTR name, DWORD mode) {
  char text[32];
  std::snprintf(text, sizeof text, "%#x", mode);
  calls.push_back(std::string(what) + " " + name + " " + text);
}

HRESULT STDMETHODCALLTYPE MemoryStorage::CreateStream(LPCOLESTR name, DWORD mode, DWORD, DWORD,
                                                      IStream** ppstm) {
  Record("create", name, mode);
  *ppstm = nullptr;
  if (FAILED(createResult)) return createResult;
  ComPtr<MemoryStream> stream = MemoryStream::Create();
  if (failAfter) stream->FailAfter(*failAfter, writeFailStatus);
  streams[name] = stream;
  *ppstm = stream.Detach();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE MemoryStorage::OpenStream(LPCOLESTR name, void*, DWORD mode, DWORD,
                                                    IStream** ppstm) {
  Record("open", name, mode);
  *ppstm = nullptr;
  auto it = streams.find(name);
  if (it == streams.end()) return STG_E_FILENOTFOUND;
  ComPtr<MemoryStream> stream = MemoryStream::Create(it->second->Bytes());
  if (failAfter) stream->FailAfter(*failAfter, readFailStatus);
  *ppstm = stream.Detach();
  return S_OK;
}

}  // namespace vok::test
