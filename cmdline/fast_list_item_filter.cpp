#include "cmdline/fast_list_item_filter.h"

#include <cstring>

#include "common/class_ids.h"

using vok::ReadBoundedStr32;
using vok::Str32Size;

HRESULT vokFastListItemFilter::SetText(LPCSTR text, std::string* field) {
  if (!text) return E_POINTER;
  // Looks no further than one byte past the limit, so an unterminated huge input is safe.
  const size_t length = strnlen(text, kFilterTextSize);
  if (length >= kFilterTextSize) return E_FAIL;
  return vok::GuardStream([&] {
    if (*field != std::string_view(text, length)) {
      field->assign(text, length);
      dirty_ = true;
    }
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::GetFilter(LPSTR lpsz, ULONG* lpcb) {
  return vok::CopyToBuffer(definition_, lpsz, lpcb);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::SetFilter(LPCSTR lpsz) {
  return SetText(lpsz, &definition_);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::GetDescr(LPSTR lpsz, ULONG* lpcb) {
  return vok::CopyToBuffer(description_, lpsz, lpcb);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::SetDescr(LPCSTR lpsz) {
  return SetText(lpsz, &description_);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::GetColumnCount(LONG* plCount) {
  if (!plCount) return E_POINTER;
  *plCount = 3;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::GetColumnText(LONG lColumn, LPSTR lpszText) {
  if (!lpszText) return E_POINTER;
  const std::string* text = nullptr;
  switch (lColumn) {
    case 0:
      text = &key();
      break;
    case 1:
      text = &definition_;
      break;
    case 2:
      text = &description_;
      break;
    default:
      return E_INVALIDARG;
  }
  vok::CopyToFixedBuffer(*text, lpszText, kItemTextSize);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::GetImage(LONG* plImage) {
  if (!plImage) return E_POINTER;
  *plImage = kImage;
  return S_OK;
}

std::string vokFastListItemFilter::DisplayText() const {
  std::string text = key();
  if (!vok::cmdline::IsBlankText(description_)) text += " - " + description_;
  text += " (" + definition_ + ")";
  return text;
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::GetText(LPSTR lpszText) {
  if (!lpszText) return E_POINTER;
  return vok::GuardStream([&] {
    const std::string text = DisplayText();
    memset(lpszText, 0, kFilterTextSize);
    // The cut keeps whole characters, so the text may end short of the limit.
    memcpy(lpszText, text.data(), vok::Utf8PrefixLength(text, kMaxDisplayBytes));
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = vok::clsid::kFastListItemFilter;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::Load(IStream* stm) {
  if (!stm) return E_POINTER;
  return vok::GuardStream([&] {
    if (vok::ReadLong(stm) < 0) return S_OK;
    std::string key = ReadBoundedStr32(stm, kMaxKeyBytes);
    ULONG data = vok::ReadULong(stm);
    std::string definition = ReadBoundedStr32(stm, kMaxTextBytes);
    std::string description = ReadBoundedStr32(stm, kMaxTextBytes);
    // Fields change only once the whole record was read: a cut record leaves no half item.
    SetKeyAndData(std::move(key), data);
    definition_ = std::move(definition);
    description_ = std::move(description);
    dirty_ = false;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::Save(IStream* stm, BOOL fClearDirty) {
  if (!stm) return E_POINTER;
  return vok::GuardStream([&] {
    vok::WriteLong(stm, 0);
    vok::WriteStr32(stm, key());
    vok::WriteULong(stm, data());
    vok::WriteStr32(stm, definition_);
    vok::WriteStr32(stm, description_);
    if (fClearDirty) dirty_ = false;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemFilter::GetSizeMax(ULARGE_INTEGER* pcbSize) {
  if (!pcbSize) return E_POINTER;
  pcbSize->QuadPart = 4 + Str32Size(key()) + 4 + Str32Size(definition_) + Str32Size(description_);
  return S_OK;
}

void vokFastListItemFilter::CopyFieldsTo(vokFastListItemFilter& copy) const {
  copy.definition_ = definition_;
  copy.description_ = description_;
}
