// vokFastListItemAlias: a user-defined command. The key is the alias name, the data word is
// always kItemAlias, the definition holds one command line per line ("\r\n" between lines)
// with %1..%9 placeholders, and the description is free text.
//
// Record: {int32 version = 0, str32 key, uint32 data, str32 definition, str32 description}.
#pragma once

#include <string>
#include <string_view>

#include "cmdline/list_item_base.h"
#include "common/class_ids.h"

namespace vok::cmdline {

// Longest text of a list-view column or of the shortened definition (bytes, zero excluded).
inline constexpr size_t kColumnTextBytes = 511;

// The one-line form of an alias definition that lists, quick help and the command browser
// show: the first line (without the carriage return before its line feed), at most
// kColumnTextBytes bytes, followed by " ..." when more lines follow and the whole still fits.
std::string FirstLineSummary(std::string_view definition);

}  // namespace vok::cmdline

class vokFastListItemAlias final
    : public vok::cmdline::ListItemBase<vokFastListItemAlias, vok::cmdline::DefinitionFields,
                                        IvokFastListItemAlias> {
 public:
  static constexpr LONG kVersion = 0;
  static constexpr const CLSID& kClassId = vok::clsid::kFastListItemAlias;
  static constexpr size_t kMaxDefinitionBytes = kAliasDefinitionSize - 1;
  static constexpr size_t kMaxDescriptionBytes = kItemTextSize - 1;
  static constexpr LONG kImage = 4;

  vokFastListItemAlias() : ListItemBase(kItemAlias) {}

  // IvokFastListItemAlias: getters follow the caller-buffer convention, setters cut at the
  // limits above. Nothing marks the item changed.
  HRESULT STDMETHODCALLTYPE GetAlias(LPSTR lpszDescr, ULONG* lpcbDescr) override;
  HRESULT STDMETHODCALLTYPE SetAlias(LPCSTR lpszDescr) override;
  HRESULT STDMETHODCALLTYPE GetDescr(LPSTR lpszDescr, ULONG* lpcbDescr) override;
  HRESULT STDMETHODCALLTYPE SetDescr(LPCSTR lpszDescr) override;

  HRESULT STDMETHODCALLTYPE GetImage(LONG* plImage) override;

  // The middle column: the shortened definition (FirstLineSummary).
  std::string DetailText() const;

  static vok::cmdline::DefinitionFields ReadFields(IStream* stm, LONG) {
    return vok::cmdline::ReadDefinitionFields(stm, kMaxDefinitionBytes, kMaxDescriptionBytes);
  }
  static void WriteFields(IStream* stm, const vok::cmdline::DefinitionFields& fields) {
    vok::cmdline::WriteDefinitionFields(stm, fields);
  }
  static ULONG FieldsSize(const vok::cmdline::DefinitionFields& fields) {
    return vok::cmdline::DefinitionFieldsSize(fields);
  }
};
