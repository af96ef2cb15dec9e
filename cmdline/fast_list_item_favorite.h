// vokFastListItemFavorite: a named shortcut to a folder, program, file, link or other command
// text. The data word is the type (kFavoriteFile .. kFavoriteOther).
//
// Record: {int32 version = 1, str32 key, uint32 type, str32 favorite, str32 description,
// int32 use explorer tree}; the last field is absent from version-0 records.
#pragma once

#include <string>

#include "cmdline/list_item_base.h"

class vokFastListItemFavorite final
    : public vok::cmdline::ListItemBase<vokFastListItemFavorite, IvokFastListItemFavorite,
                                        IvokFastListItemColumns> {
 public:
  static constexpr LONG kVersion = 1;
  static constexpr size_t kMaxFavoriteBytes = kItemTextSize - 1;
  static constexpr size_t kMaxDescriptionBytes = kItemTextSize - 1;

  vokFastListItemFavorite() : ListItemBase(kFavoriteFile) {}

  // The list-view image of a favorite type; -1 for an unknown type.
  static LONG ImageOfType(ULONG type);

  // IvokFastListItemFavorite: getters follow the caller-buffer convention, setters cut at the
  // limits above. Changing use explorer tree marks the item dirty.
  HRESULT STDMETHODCALLTYPE GetFavorite(LPSTR lpszDescr, ULONG* lpcbDescr) override;
  HRESULT STDMETHODCALLTYPE SetFavorite(LPCSTR lpszDescr) override;
  HRESULT STDMETHODCALLTYPE GetDescr(LPSTR lpszDescr, ULONG* lpcbDescr) override;
  HRESULT STDMETHODCALLTYPE SetDescr(LPCSTR lpszDescr) override;
  HRESULT STDMETHODCALLTYPE get_UseExplorerTree(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_UseExplorerTree(LONG newVal) override;

  // IvokFastListItemColumns: key, favorite text, description; lpszText holds 512 bytes.
  HRESULT STDMETHODCALLTYPE GetColumnCount(LONG* plCount) override;
  HRESULT STDMETHODCALLTYPE GetColumnText(LONG lColumn, LPSTR lpszText) override;
  HRESULT STDMETHODCALLTYPE GetImage(LONG* plImage) override;

  // IPersistStream
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  // S_OK after use explorer tree changed and before a clearing save or a load.
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  // A failing read leaves the item unchanged; a negative version reads nothing more.
  HRESULT STDMETHODCALLTYPE Load(IStream* stm) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stm, BOOL fClearDirty) override;
  // The exact size of the record Save writes.
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pcbSize) override;

  void CopyFieldsTo(vokFastListItemFavorite& copy) const;

 private:
  std::string favorite_;
  std::string description_;
  LONG useExplorerTree_ = 0;
  bool dirty_ = false;
};
