// The container's IPersistStorage: its own record in the "ENG_CONTAINER" stream, then every
// engine's state in the same storage.
//
// Record, little-endian: LONG format (written as 0; the selection follows only when it is not
// negative), LONG selected panel identifier (-1 = none).
#include "common/class_ids.h"
#include "common/stream_util.h"
#include "engine/engine_container.h"

namespace vok {
namespace {

constexpr DWORD kOpenRecordMode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;                  // 0x12
constexpr DWORD kCreateRecordMode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE;  // 0x1012
constexpr LONG kRecordFormat = 0;

}  // namespace

HRESULT STDMETHODCALLTYPE EngineContainer::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = clsid::kEngineContainer;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EngineContainer::IsDirty() {
  HRESULT result = S_FALSE;
  for (size_t i = 0; i < engines_.size(); ++i) {
    ComPtr<IPersistStorage> persist = EngineInterface<IPersistStorage>(i);
    if (!persist) continue;
    result = persist->IsDirty();
    if (result == S_OK) return S_OK;
  }
  return result;
}

HRESULT STDMETHODCALLTYPE EngineContainer::InitNew(IStorage*) { return S_OK; }
HRESULT STDMETHODCALLTYPE EngineContainer::SaveCompleted(IStorage*) { return S_OK; }
HRESULT STDMETHODCALLTYPE EngineContainer::HandsOffStorage() { return S_OK; }

HRESULT STDMETHODCALLTYPE EngineContainer::Load(IStorage* stg) {
  if (!stg) return E_POINTER;
  SelectPanel(kPanelDeselect);

  ComPtr<IStream> stream;
  HRESULT hr = stg->OpenStream(kContainerStreamName, nullptr, kOpenRecordMode, 0,
                               stream.ReleaseAndGetAddressOf());
  if (FAILED(hr)) return hr;
  hr = GuardStream([&] {
    // A record cut short fails (STG_E_READFAULT) rather than selecting a made-up panel.
    if (ReadLong(stream.Get()) >= 0) selectedPanel_ = ReadLong(stream.Get());
    return S_OK;
  });
  stream.Reset();
  if (FAILED(hr)) return hr;

  for (size_t i = 0; i < engines_.size(); ++i) {
    ComPtr<IPersistStorage> persist = EngineInterface<IPersistStorage>(i);
    if (!persist) continue;
    hr = persist->Load(stg);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EngineContainer::Save(IStorage* stg, BOOL fSameAsLoad) {
  if (!stg) return E_POINTER;
  ComPtr<IStream> stream;
  HRESULT hr = stg->CreateStream(kContainerStreamName, kCreateRecordMode, 0, 0,
                                 stream.ReleaseAndGetAddressOf());
  if (FAILED(hr)) return hr;
  hr = GuardStream([&] {
    WriteLong(stream.Get(), kRecordFormat);
    WriteLong(stream.Get(), selectedPanel_);
    return S_OK;
  });
  stream.Reset();
  if (FAILED(hr)) return hr;

  for (size_t i = 0; i < engines_.size(); ++i) {
    ComPtr<IPersistStorage> persist = EngineInterface<IPersistStorage>(i);
    if (!persist) continue;
    hr = persist->Save(stg, fSameAsLoad);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

}  // namespace vok
