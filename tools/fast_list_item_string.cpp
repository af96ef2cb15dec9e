#include "tools/fast_list_item_string.h"

#include <cstring>

#include "common/class_ids.h"
#include "common/stream_util.h"
#include "common/text_util.h"

HRESULT STDMETHODCALLTYPE vokFastListItemString::GetStrKey(LPSTR lpszKey, ULONG* pSize) {
  return vok::CopyToBuffer(key_, lpszKey, pSize);
}

HRESULT STDMETHODCALLTYPE vokFastListItemString::SetStrKey(LPCSTR lpszKey) {
  if (!lpszKey) return E_POINTER;
  size_t length = strnlen(lpszKey, kMaxKeyBytes + 1);
  if (length > kMaxKeyBytes) return E_FAIL;
  return vok::GuardStream([&] {
    key_.assign(lpszKey, length);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemString::Clone(IUnknown** ppUnk) {
  if (ppUnk) *ppUnk = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE vokFastListItemString::get_ItemData(ULONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = data_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemString::put_ItemData(ULONG newVal) {
  data_ = newVal;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemString::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = vok::clsid::kFastListItemString;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemString::IsDirty() { return S_FALSE; }

HRESULT STDMETHODCALLTYPE vokFastListItemString::Load(IStream* stm) {
  if (!stm) return E_POINTER;
  return vok::GuardStream([&] {
    if (vok::ReadLong(stm) < 0) return S_OK;
    std::string key = vok::ReadBoundedStr32(stm, vokFastListItemString::kMaxKeyBytes);
    ULONG data = vok::ReadULong(stm);
    key_ = std::move(key);
    data_ = data;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemString::Save(IStream* stm, BOOL /*fClearDirty*/) {
  if (!stm) return E_POINTER;
  return vok::GuardStream([&] {
    vok::WriteLong(stm, 0);
    vok::WriteStr32(stm, key_);
    vok::WriteULong(stm, data_);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemString::GetSizeMax(ULARGE_INTEGER* pcbSize) {
  if (!pcbSize) return E_POINTER;
  pcbSize->QuadPart = 0;
  return S_OK;
}
