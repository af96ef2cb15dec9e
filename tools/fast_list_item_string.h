// vokFastListItemString: the plain list item, nothing but a text key and a 32-bit data word,
// persisted as the record {int32 format = 0, str32 key, uint32 data}.
#pragma once

#include <string>

#include "common/fast_list_ifaces.h"
#include "common/vok_object.h"

class vokFastListItemString final : public vok::ObjectRoot<IvokFastListItem, IPersistStream> {
 public:
  // Longest key the item holds, in bytes (the zero excluded).
  static constexpr size_t kMaxKeyBytes = kFastListKeySize - 1;

  // IvokFastListItem
  HRESULT STDMETHODCALLTYPE GetStrKey(LPSTR lpszKey, ULONG* pSize) override;
  // E_FAIL (key unchanged) for texts of kMaxKeyBytes + 1 bytes or more.
  HRESULT STDMETHODCALLTYPE SetStrKey(LPCSTR lpszKey) override;
  HRESULT STDMETHODCALLTYPE Clone(IUnknown** ppUnk) override;
  HRESULT STDMETHODCALLTYPE get_ItemData(ULONG* pVal) override;
  HRESULT STDMETHODCALLTYPE put_ItemData(ULONG newVal) override;

  // IPersistStream
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  // A stored key longer than kMaxKeyBytes is cut on a character boundary; the whole stored
  // text is still consumed so that the next record stays in step.
  HRESULT STDMETHODCALLTYPE Load(IStream* stm) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stm, BOOL fClearDirty) override;
  // Reports 0: the record's size is not announced in advance.
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pcbSize) override;

 private:
  std::string key_;
  ULONG data_ = 0;
};
