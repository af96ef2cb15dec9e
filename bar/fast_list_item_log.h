// vokFastListItemLog: one log entry, a text (the item's key) and an entry type (the item data:
// kLogInfo, kLogError; other values are kept as they are).
//
// Record in a stream: {int32 version = 0, uint32 text length, text bytes, uint32 type}; a
// negative version on reading means nothing more follows.
//
// For list views it offers one column (the text) and an image index by type: 0 -> kImagePlain,
// kLogInfo -> kImageInformation, kLogError -> kImageError, anything else -> -1 (no image).
#pragma once

#include <string>

#include "common/cmdline_ifaces.h"
#include "common/fast_list_ifaces.h"
#include "common/vok_object.h"

class vokFastListItemLog final
    : public vok::ObjectRoot<IvokFastListItem, IPersistStream, IvokFastListItemColumns> {
 public:
  // Longest text the entry holds, in bytes (the zero excluded).
  static constexpr size_t kMaxTextBytes = kFastListKeySize - 1;

  // Image indexes of the log window's image list.
  static constexpr LONG kImagePlain = 0;
  static constexpr LONG kImageError = 1;
  static constexpr LONG kImageInformation = 2;

  // IvokFastListItem: the key is the text, the item data the type.
  HRESULT STDMETHODCALLTYPE GetStrKey(LPSTR lpszKey, ULONG* pSize) override;
  // E_FAIL (text unchanged) for texts longer than kMaxTextBytes.
  HRESULT STDMETHODCALLTYPE SetStrKey(LPCSTR lpszKey) override;
  HRESULT STDMETHODCALLTYPE Clone(IUnknown** ppUnk) override;
  HRESULT STDMETHODCALLTYPE get_ItemData(ULONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_ItemData(ULONG newVal) override;

  // IPersistStream
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  // A stored text longer than kMaxTextBytes is cut on a character boundary and the rest of it
  // skipped; a failed or short read leaves the entry unchanged and returns the failure.
  HRESULT STDMETHODCALLTYPE Load(IStream* stm) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stm, BOOL fClearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pcbSize) override;

  // IvokFastListItemColumns: one column. lpszText holds kFastListKeySize bytes.
  HRESULT STDMETHODCALLTYPE GetColumnCount(LONG* plCount) override;
  // Column 0 is the text; any other column is E_INVALIDARG.
  HRESULT STDMETHODCALLTYPE GetColumnText(LONG lColumn, LPSTR lpszText) override;
  HRESULT STDMETHODCALLTYPE GetImage(LONG* plImage) override;

 private:
  std::string text_;
  ULONG type_ = 0;
};
