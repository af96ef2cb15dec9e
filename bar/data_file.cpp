#include "bar/data_file.h"

#include "platform/storage/storage.h"

namespace vok::bar {

HRESULT LoadDataFile(IPersistStorage* container, const std::string& path) {
  if (!container) return E_POINTER;
  // Transacted, so that nothing the engines do while reading (opening streams for read-write,
  // as they ask to) is ever written back on release.
  ComPtr<IStorage> storage;
  HRESULT hr =
      StgOpenStorage(path.c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_TRANSACTED,
                     nullptr, 0, storage.ReleaseAndGetAddressOf());
  if (FAILED(hr)) return hr;
  return container->Load(storage.Get());
}

HRESULT SaveDataFile(IPersistStorage* container, const std::string& path) {
  if (!container) return E_POINTER;
  // Transacted: the file is replaced only by the Commit below, never by a release after an
  // engine failed half-way through its save.
  ComPtr<IStorage> storage;
  HRESULT hr = StgCreateDocfile(
      path.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_TRANSACTED, 0,
      storage.ReleaseAndGetAddressOf());
  if (FAILED(hr)) return hr;
  hr = container->Save(storage.Get(), 0);
  if (FAILED(hr)) return hr;
  hr = storage->Commit(STGC_DEFAULT);
  if (FAILED(hr)) return hr;
  container->SaveCompleted(nullptr);
  return S_OK;
}

HRESULT StateSnapshot::Take(IPersistStorage* container) {
  if (!container) return E_POINTER;
  ComPtr<IStorage> storage;
  HRESULT hr = VokCreateStorageInMemory(storage.ReleaseAndGetAddressOf());
  if (FAILED(hr)) return hr;
  hr = container->Save(storage.Get(), 0);
  if (FAILED(hr)) return hr;
  storage_ = std::move(storage);
  return S_OK;
}

HRESULT StateSnapshot::Restore(IPersistStorage* container) const {
  if (!container) return E_POINTER;
  if (!storage_) return E_UNEXPECTED;
  return container->Load(storage_.Get());
}

}  // namespace vok::bar
