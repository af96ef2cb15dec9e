// vokFastListItemFilter: a named file-name pattern. The key is the shortcut (also a command
// word of the shell-execution engine), the definition is the pattern handed to the file view
// window and the description is free text. The data word is not used.
//
// Record: {int32 version = 0, str32 key, uint32 data, str32 definition, str32 description}.
#pragma once

#include <string>

#include "cmdline/list_item_base.h"
#include "common/class_ids.h"
#include "common/shell_exec_ifaces.h"

class vokFastListItemFilter final
    : public vok::cmdline::ListItemBase<vokFastListItemFilter, vok::cmdline::DefinitionFields,
                                        IvokFastListItemFilter, IvokFastListItemText> {
 public:
  static constexpr LONG kVersion = 0;
  static constexpr const CLSID& kClassId = vok::clsid::kFastListItemFilter;
  // Longest definition and description (bytes, zero excluded).
  static constexpr size_t kMaxTextBytes = kFilterTextSize - 1;
  // Longest one-line display text (bytes, zero excluded).
  static constexpr size_t kMaxDisplayBytes = kFilterTextSize - 2;
  static constexpr LONG kImage = 0;

  vokFastListItemFilter() : ListItemBase(0) {}

  // IvokFastListItemFilter: getters follow the caller-buffer convention; setters refuse a
  // text of kFilterTextSize bytes or more with E_FAIL and keep the old value. A change of
  // value marks the item changed.
  HRESULT STDMETHODCALLTYPE GetFilter(LPSTR lpsz, ULONG* lpcb) override;
  HRESULT STDMETHODCALLTYPE SetFilter(LPCSTR lpsz) override;
  HRESULT STDMETHODCALLTYPE GetDescr(LPSTR lpsz, ULONG* lpcb) override;
  HRESULT STDMETHODCALLTYPE SetDescr(LPCSTR lpsz) override;

  HRESULT STDMETHODCALLTYPE GetImage(LONG* plImage) override;

  // IvokFastListItemText: "key - description (definition)", without " - description" when
  // the description is blank, cut at kMaxDisplayBytes; lpszText holds 512 bytes and is
  // zero-filled first.
  HRESULT STDMETHODCALLTYPE GetText(LPSTR lpszText) override;

  // The middle column: the definition.
  std::string DetailText() const { return fields().definition; }
  // The display text of GetText, uncut.
  std::string DisplayText() const;

  static vok::cmdline::DefinitionFields ReadFields(IStream* stm, LONG) {
    return vok::cmdline::ReadDefinitionFields(stm, kMaxTextBytes, kMaxTextBytes);
  }
  static void WriteFields(IStream* stm, const vok::cmdline::DefinitionFields& fields) {
    vok::cmdline::WriteDefinitionFields(stm, fields);
  }
  static ULONG FieldsSize(const vok::cmdline::DefinitionFields& fields) {
    return vok::cmdline::DefinitionFieldsSize(fields);
  }

 private:
  HRESULT SetText(LPCSTR text, std::string* field);
};
