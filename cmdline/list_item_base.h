// The part the command-line library's list items share: the key and data word of
// IvokFastListItem, Clone, and stream persistence through IPersistStream.
//
// Derived (the item class) supplies CopyFieldsTo(Derived& copy), which copies its own fields;
// Clone creates a new Derived, copies those fields first and then key and data word.
#pragma once

#include <new>
#include <string>

#include "cmdline/item_text.h"
#include "common/cmdline_ifaces.h"
#include "common/fast_list_ifaces.h"
#include "common/stream_util.h"
#include "common/text_util.h"
#include "common/vok_object.h"

namespace vok::cmdline {

template <class Derived, class... Ifaces>
class ListItemBase : public ObjectRoot<IvokFastListItem, IPersistStream, Ifaces...> {
 public:
  // Longest key, in bytes (the zero excluded); longer keys are cut.
  static constexpr size_t kMaxKeyBytes = kItemTextSize - 1;

  // IvokFastListItem
  HRESULT STDMETHODCALLTYPE GetStrKey(LPSTR lpszKey, ULONG* pSize) override {
    return CopyToBuffer(key_, lpszKey, pSize);
  }
  // Cuts the key at kMaxKeyBytes on a character boundary.
  HRESULT STDMETHODCALLTYPE SetStrKey(LPCSTR lpszKey) override {
    if (!lpszKey) return E_POINTER;
    return GuardStream([&] {
      key_ = CutText(lpszKey, kMaxKeyBytes);
      return S_OK;
    });
  }
  // A new item of the same class with every field copied; one reference in *ppUnk.
  HRESULT STDMETHODCALLTYPE Clone(IUnknown** ppUnk) override {
    if (!ppUnk) return E_POINTER;
    *ppUnk = nullptr;
    ComPtr<Derived> copy(new (std::nothrow) Derived);
    if (!copy) return E_OUTOFMEMORY;
    return GuardStream([&] {
      static_cast<const Derived&>(*this).CopyFieldsTo(*copy.Get());
      ListItemBase& base = *copy.Get();
      base.key_ = key_;
      base.data_ = data_;
      *ppUnk = copy->Identity();
      (*ppUnk)->AddRef();
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_ItemData(ULONG* pVal) override {
    if (!pVal) return E_POINTER;
    *pVal = data_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_ItemData(ULONG newVal) override {
    data_ = newVal;
    return S_OK;
  }

  const std::string& key() const { return key_; }
  ULONG data() const { return data_; }

 protected:
  explicit ListItemBase(ULONG data) : data_(data) {}

  // For Load: both are replaced together once the whole record was read.
  void SetKeyAndData(std::string key, ULONG data) {
    key_ = std::move(key);
    data_ = data;
  }

 private:
  std::string key_;
  ULONG data_;
};

}  // namespace vok::cmdline
