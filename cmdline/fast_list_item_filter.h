// vokFastListItemFilter: a named file-name pattern. The key is the shortcut (also a command
// word of the shell-execution engine), the definition is the pattern handed to the file view
// window and the description is free text. The data word is not used.
//
// Record: {int32 version = 0, str32 key, uint32 data, str32 definition, str32 description}.
#pragma once

#include <string>

#include "cmdline/list_item_base.h"
#include "common/shell_exec_ifaces.h"

class vokFastListItemFilter final
    : public vok::cmdline::ListItemBase<vokFastListItemFilter, IvokFastListItemFilter,
                                        IvokFastListItemColumns, IvokFastListItemText> {
 public:
  // Longest definition and description (bytes, zero excluded).
  static constexpr size_t kMaxTextBytes = kFilterTextSize - 1;
  // Longest one-line display text (bytes, zero excluded).
  static constexpr size_t kMaxDisplayBytes = kFilterTextSize - 2;
  static constexpr LONG kImage = 0;

  vokFastListItemFilter() : ListItemBase(0) {}

  // IvokFastListItemFilter: getters follow the caller-buffer convention; setters refuse a
  // text of kFilterTextSize bytes or more with E_FAIL and keep the old value. A change of
  // value marks the item dirty.
  HRESULT STDMETHODCALLTYPE GetFilter(LPSTR lpsz, ULONG* lpcb) override;
  HRESULT STDMETHODCALLTYPE SetFilter(LPCSTR lpsz) override;
  HRESULT STDMETHODCALLTYPE GetDescr(LPSTR lpsz, ULONG* lpcb) override;
  HRESULT STDMETHODCALLTYPE SetDescr(LPCSTR lpsz) override;

  // IvokFastListItemColumns: key, definition, description; lpszText holds 512 bytes.
  HRESULT STDMETHODCALLTYPE GetColumnCount(LONG* plCount) override;
  HRESULT STDMETHODCALLTYPE GetColumnText(LONG lColumn, LPSTR lpszText) override;
  HRESULT STDMETHODCALLTYPE GetImage(LONG* plImage) override;

  // IvokFastListItemText: "key - description (definition)", without " - description" when
  // the description is blank, cut at kMaxDisplayBytes; lpszText holds 512 bytes and is
  // zero-filled first.
  HRESULT STDMETHODCALLTYPE GetText(LPSTR lpszText) override;

  // IPersistStream
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  // S_OK after a setter changed the definition or description and before a clearing save or
  // a load.
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  // A failing read leaves the item unchanged; a negative version reads nothing more.
  HRESULT STDMETHODCALLTYPE Load(IStream* stm) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stm, BOOL fClearDirty) override;
  // The exact size of the record Save writes.
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pcbSize) override;

  void CopyFieldsTo(vokFastListItemFilter& copy) const;

  // The display text of GetText, uncut.
  std::string DisplayText() const;

 private:
  HRESULT SetText(LPCSTR text, std::string* field);

  std::string definition_;
  std::string description_;
  bool dirty_ = false;
};
