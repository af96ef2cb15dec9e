// vokFastListItemAlias: a user-defined command. The key is the alias name, the data word is
// always kItemAlias, the definition holds one command line per line ("\r\n" between lines)
// with %1..%9 placeholders, and the description is free text.
//
// Record: {int32 version = 0, str32 key, uint32 data, str32 definition, str32 description}.
#pragma once

#include <string>
#include <string_view>

#include "cmdline/list_item_base.h"

namespace vok::cmdline {

// Longest text of a list-view column or of the shortened definition (bytes, zero excluded).
inline constexpr size_t kColumnTextBytes = 511;

// The one-line form of an alias definition that lists, quick help and the command browser
// show: the first line (without the carriage return before its line feed), at most
// kColumnTextBytes bytes, followed by " ..." when more lines follow and the whole still fits.
std::string FirstLineSummary(std::string_view definition);

}  // namespace vok::cmdline

class vokFastListItemAlias final
    : public vok::cmdline::ListItemBase<vokFastListItemAlias, IvokFastListItemAlias,
                                        IvokFastListItemColumns> {
 public:
  static constexpr size_t kMaxDefinitionBytes = kAliasDefinitionSize - 1;
  static constexpr size_t kMaxDescriptionBytes = kItemTextSize - 1;
  static constexpr LONG kImage = 4;

  vokFastListItemAlias() : ListItemBase(kItemAlias) {}

  // IvokFastListItemAlias: getters follow the caller-buffer convention, setters cut at the
  // limits above.
  HRESULT STDMETHODCALLTYPE GetAlias(LPSTR lpszDescr, ULONG* lpcbDescr) override;
  HRESULT STDMETHODCALLTYPE SetAlias(LPCSTR lpszDescr) override;
  HRESULT STDMETHODCALLTYPE GetDescr(LPSTR lpszDescr, ULONG* lpcbDescr) override;
  HRESULT STDMETHODCALLTYPE SetDescr(LPCSTR lpszDescr) override;

  // IvokFastListItemColumns: key, shortened definition, description; lpszText holds 512 bytes.
  HRESULT STDMETHODCALLTYPE GetColumnCount(LONG* plCount) override;
  HRESULT STDMETHODCALLTYPE GetColumnText(LONG lColumn, LPSTR lpszText) override;
  HRESULT STDMETHODCALLTYPE GetImage(LONG* plImage) override;

  // IPersistStream
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  // S_FALSE: the item keeps no changes flag.
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  // A failing read leaves the item unchanged; a negative version reads nothing more.
  HRESULT STDMETHODCALLTYPE Load(IStream* stm) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stm, BOOL fClearDirty) override;
  // The exact size of the record Save writes.
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pcbSize) override;

  void CopyFieldsTo(vokFastListItemAlias& copy) const;

 private:
  std::string definition_;
  std::string description_;
};
