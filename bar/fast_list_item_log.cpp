#include "bar/fast_list_item_log.h"

#include <cstring>

#include "common/class_ids.h"
#include "common/stream_util.h"
#include "common/text_util.h"

HRESULT STDMETHODCALLTYPE vokFastListItemLog::GetStrKey(LPSTR lpszKey, ULONG* pSize) {
  return vok::CopyToBuffer(text_, lpszKey, pSize);
}

HRESULT STDMETHODCALLTYPE vokFastListItemLog::SetStrKey(LPCSTR lpszKey) {
  if (!lpszKey) return E_POINTER;
  size_t length = strnlen(lpszKey, kMaxTextBytes + 1);
  if (length > kMaxTextBytes) return E_FAIL;
  return vok::GuardStream([&] {
    text_.assign(lpszKey, length);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemLog::Clone(IUnknown** ppUnk) {
  if (ppUnk) *ppUnk = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE vokFastListItemLog::get_ItemData(ULONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = type_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemLog::put_ItemData(ULONG newVal) {
  type_ = newVal;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemLog::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = vok::clsid::kFastListItemLog;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemLog::IsDirty() { return S_FALSE; }

HRESULT STDMETHODCALLTYPE vokFastListItemLog::Load(IStream* stm) {
  if (!stm) return E_POINTER;
  return vok::GuardStream([&] {
    if (vok::ReadLong(stm) < 0) return S_OK;
    std::string text = vok::ReadBoundedStr32(stm, vokFastListItemLog::kMaxTextBytes);
    ULONG type = vok::ReadULong(stm);
    text_ = std::move(text);
    type_ = type;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemLog::Save(IStream* stm, BOOL /*fClearDirty*/) {
  if (!stm) return E_POINTER;
  return vok::GuardStream([&] {
    vok::WriteLong(stm, 0);
    vok::WriteStr32(stm, text_);
    vok::WriteULong(stm, type_);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemLog::GetSizeMax(ULARGE_INTEGER* pcbSize) {
  if (!pcbSize) return E_POINTER;
  pcbSize->QuadPart = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemLog::GetColumnCount(LONG* plCount) {
  if (!plCount) return E_POINTER;
  *plCount = 1;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemLog::GetColumnText(LONG lColumn, LPSTR lpszText) {
  if (!lpszText) return E_POINTER;
  if (lColumn != 0) return E_INVALIDARG;
  vok::CopyToFixedBuffer(text_, lpszText, kFastListKeySize);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemLog::GetImage(LONG* plImage) {
  if (!plImage) return E_POINTER;
  switch (static_cast<LONG>(type_)) {
    case 0:
      *plImage = kImagePlain;
      break;
    case kLogInfo:
      *plImage = kImageInformation;
      break;
    case kLogError:
      *plImage = kImageError;
      break;
    default:
      *plImage = -1;
  }
  return S_OK;
}
