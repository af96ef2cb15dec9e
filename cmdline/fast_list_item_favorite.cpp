#include "cmdline/fast_list_item_favorite.h"

#include "common/class_ids.h"

using vok::ReadBoundedStr32;
using vok::Str32Size;
using vok::cmdline::SetItemText;

LONG vokFastListItemFavorite::ImageOfType(ULONG type) {
  switch (type) {
    case kFavoriteFile:
      return 2;
    case kFavoriteFolder:
      return 1;
    case kFavoriteProgram:
      return 0;
    case kFavoriteLink:
      return 3;
    case kFavoriteOther:
      return 5;
    default:
      return -1;
  }
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::GetFavorite(LPSTR lpszDescr, ULONG* lpcbDescr) {
  return vok::CopyToBuffer(favorite_, lpszDescr, lpcbDescr);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::SetFavorite(LPCSTR lpszDescr) {
  return SetItemText(lpszDescr, kMaxFavoriteBytes, &favorite_);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::GetDescr(LPSTR lpszDescr, ULONG* lpcbDescr) {
  return vok::CopyToBuffer(description_, lpszDescr, lpcbDescr);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::SetDescr(LPCSTR lpszDescr) {
  return SetItemText(lpszDescr, kMaxDescriptionBytes, &description_);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::get_UseExplorerTree(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = useExplorerTree_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::put_UseExplorerTree(LONG newVal) {
  if (newVal != useExplorerTree_) {
    useExplorerTree_ = newVal;
    dirty_ = true;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::GetColumnCount(LONG* plCount) {
  if (!plCount) return E_POINTER;
  *plCount = 3;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::GetColumnText(LONG lColumn, LPSTR lpszText) {
  if (!lpszText) return E_POINTER;
  const std::string* text = nullptr;
  switch (lColumn) {
    case 0:
      text = &key();
      break;
    case 1:
      text = &favorite_;
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

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::GetImage(LONG* plImage) {
  if (!plImage) return E_POINTER;
  *plImage = ImageOfType(data());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = vok::clsid::kFastListItemFavorite;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::Load(IStream* stm) {
  if (!stm) return E_POINTER;
  return vok::GuardStream([&] {
    LONG version = vok::ReadLong(stm);
    if (version < 0) return S_OK;
    std::string key = ReadBoundedStr32(stm, kMaxKeyBytes);
    ULONG type = vok::ReadULong(stm);
    std::string favorite = ReadBoundedStr32(stm, kMaxFavoriteBytes);
    std::string description = ReadBoundedStr32(stm, kMaxDescriptionBytes);
    // Version-0 records predate the explorer-tree choice: such favorites open plainly.
    LONG useExplorerTree = version > 0 ? vok::ReadLong(stm) : 0;
    SetKeyAndData(std::move(key), type);
    favorite_ = std::move(favorite);
    description_ = std::move(description);
    useExplorerTree_ = useExplorerTree;
    dirty_ = false;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::Save(IStream* stm, BOOL fClearDirty) {
  if (!stm) return E_POINTER;
  return vok::GuardStream([&] {
    vok::WriteLong(stm, kVersion);
    vok::WriteStr32(stm, key());
    vok::WriteULong(stm, data());
    vok::WriteStr32(stm, favorite_);
    vok::WriteStr32(stm, description_);
    vok::WriteLong(stm, useExplorerTree_);
    if (fClearDirty) dirty_ = false;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::GetSizeMax(ULARGE_INTEGER* pcbSize) {
  if (!pcbSize) return E_POINTER;
  pcbSize->QuadPart = 4 + Str32Size(key()) + 4 + Str32Size(favorite_) + Str32Size(description_) + 4;
  return S_OK;
}

void vokFastListItemFavorite::CopyFieldsTo(vokFastListItemFavorite& copy) const {
  copy.favorite_ = favorite_;
  copy.description_ = description_;
  copy.useExplorerTree_ = useExplorerTree_;
}
