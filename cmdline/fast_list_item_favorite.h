// vokFastListItemFavorite: a named shortcut to a folder, program, file, link or other command
// text. The data word is the type (kFavoriteFile .. kFavoriteOther).
//
// Record: {int32 version = 1, str32 key, uint32 type, str32 favorite, str32 description,
// int32 use explorer tree}; the last field is absent from version-0 records.
#pragma once

#include <string>

#include "cmdline/list_item_base.h"
#include "common/class_ids.h"

namespace vok::cmdline {

struct FavoriteFields {
  std::string favorite;
  std::string description;
  LONG useExplorerTree = 0;
};

}  // namespace vok::cmdline

class vokFastListItemFavorite final
    : public vok::cmdline::ListItemBase<vokFastListItemFavorite, vok::cmdline::FavoriteFields,
                                        IvokFastListItemFavorite> {
 public:
  static constexpr LONG kVersion = 1;
  static constexpr const CLSID& kClassId = vok::clsid::kFastListItemFavorite;
  static constexpr size_t kMaxFavoriteBytes = kItemTextSize - 1;
  static constexpr size_t kMaxDescriptionBytes = kItemTextSize - 1;

  vokFastListItemFavorite() : ListItemBase(kFavoriteFile) {}

  // The list-view image of a favorite type; -1 for an unknown type.
  static LONG ImageOfType(ULONG type);

  // IvokFastListItemFavorite: getters follow the caller-buffer convention, setters cut at the
  // limits above. Only a change of use explorer tree marks the item changed.
  HRESULT STDMETHODCALLTYPE GetFavorite(LPSTR lpszDescr, ULONG* lpcbDescr) override;
  HRESULT STDMETHODCALLTYPE SetFavorite(LPCSTR lpszDescr) override;
  HRESULT STDMETHODCALLTYPE GetDescr(LPSTR lpszDescr, ULONG* lpcbDescr) override;
  HRESULT STDMETHODCALLTYPE SetDescr(LPCSTR lpszDescr) override;
  HRESULT STDMETHODCALLTYPE get_UseExplorerTree(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_UseExplorerTree(LONG newVal) override;

  // The image of the item's type.
  HRESULT STDMETHODCALLTYPE GetImage(LONG* plImage) override;

  // The middle column: the favorite text.
  std::string DetailText() const { return fields().favorite; }

  // Version-0 records lack use explorer tree.
  static vok::cmdline::FavoriteFields ReadFields(IStream* stm, LONG version);
  static void WriteFields(IStream* stm, const vok::cmdline::FavoriteFields& fields);
  static ULONG FieldsSize(const vok::cmdline::FavoriteFields& fields);
};
