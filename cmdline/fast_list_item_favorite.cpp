#include "cmdline/fast_list_item_favorite.h"

using vok::ReadBoundedStr32;
using vok::Str32Size;
using vok::cmdline::FavoriteFields;
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
  return vok::CopyToBuffer(fields().favorite, lpszDescr, lpcbDescr);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::SetFavorite(LPCSTR lpszDescr) {
  return SetItemText(lpszDescr, kMaxFavoriteBytes, &fields().favorite);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::GetDescr(LPSTR lpszDescr, ULONG* lpcbDescr) {
  return vok::CopyToBuffer(fields().description, lpszDescr, lpcbDescr);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::SetDescr(LPCSTR lpszDescr) {
  return SetItemText(lpszDescr, kMaxDescriptionBytes, &fields().description);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::get_UseExplorerTree(LONG* pVal) {
  return vok::GetProperty(fields().useExplorerTree, pVal);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::put_UseExplorerTree(LONG newVal) {
  return PutField(&fields().useExplorerTree, newVal);
}

HRESULT STDMETHODCALLTYPE vokFastListItemFavorite::GetImage(LONG* plImage) {
  return vok::GetProperty(ImageOfType(data()), plImage);
}

FavoriteFields vokFastListItemFavorite::ReadFields(IStream* stm, LONG version) {
  FavoriteFields fields;
  fields.favorite = ReadBoundedStr32(stm, kMaxFavoriteBytes);
  fields.description = ReadBoundedStr32(stm, kMaxDescriptionBytes);
  // Version-0 records predate the explorer-tree choice: such favorites open plainly.
  if (version > 0) fields.useExplorerTree = vok::ReadLong(stm);
  return fields;
}

void vokFastListItemFavorite::WriteFields(IStream* stm, const FavoriteFields& fields) {
  vok::WriteStr32(stm, fields.favorite);
  vok::WriteStr32(stm, fields.description);
  vok::WriteLong(stm, fields.useExplorerTree);
}

ULONG vokFastListItemFavorite::FieldsSize(const FavoriteFields& fields) {
  return Str32Size(fields.favorite) + Str32Size(fields.description) + 4;
}
