// The part the command-line library's list items share: the key and data word of
// IvokFastListItem, Clone, the three list-view columns, the changes flag and the stream record
// through IPersistStream.
//
// Record: {int32 version, str32 key, uint32 data, the item's own fields}. Load changes the item
// only once the whole record was read, so a cut record leaves no half item; a negative version
// reads nothing more.
//
// `Fields` holds the item's own fields (a `description` among them) and is copied by Clone.
// Derived (the item class) supplies:
//   static constexpr LONG kVersion;                   the version Save writes
//   static constexpr const CLSID& kClassId;
//   static Fields ReadFields(IStream*, LONG version);  both throw CvokIStreamException
//   static void WriteFields(IStream*, const Fields&);
//   static ULONG FieldsSize(const Fields&);            the bytes WriteFields writes
//   std::string DetailText() const;                   the middle column
// and IvokFastListItemColumns::GetImage.
#pragma once

#include <new>
#include <string>

#include "cmdline/item_text.h"
#include "common/cmdline_ifaces.h"
#include "common/fast_list_ifaces.h"
#include "common/property_util.h"
#include "common/stream_util.h"
#include "common/text_util.h"
#include "common/vok_object.h"

namespace vok::cmdline {

// The fields of the items that keep a definition and a description (aliases and filters), and
// their part of the record: {str32 definition, str32 description}. Reading keeps at most
// `maxDefinition` and `maxDescription` bytes and throws CvokIStreamException.
struct DefinitionFields {
  std::string definition;
  std::string description;
};
inline DefinitionFields ReadDefinitionFields(IStream* stm, size_t maxDefinition,
                                             size_t maxDescription) {
  DefinitionFields fields;
  fields.definition = ReadBoundedStr32(stm, maxDefinition);
  fields.description = ReadBoundedStr32(stm, maxDescription);
  return fields;
}
inline void WriteDefinitionFields(IStream* stm, const DefinitionFields& fields) {
  WriteStr32(stm, fields.definition);
  WriteStr32(stm, fields.description);
}
inline ULONG DefinitionFieldsSize(const DefinitionFields& fields) {
  return Str32Size(fields.definition) + Str32Size(fields.description);
}

template <class Derived, class Fields, class... Ifaces>
class ListItemBase
    : public ObjectRoot<IvokFastListItem, IvokFastListItemColumns, IPersistStream, Ifaces...> {
 public:
  // Longest key, in bytes (the zero excluded); longer keys are cut.
  static constexpr size_t kMaxKeyBytes = kItemTextSize - 1;

  // IvokFastListItem
  HRESULT STDMETHODCALLTYPE GetStrKey(LPSTR lpszKey, ULONG* pSize) override {
    return CopyToBuffer(key_, lpszKey, pSize);
  }
  // Cuts the key at kMaxKeyBytes on a character boundary.
  HRESULT STDMETHODCALLTYPE SetStrKey(LPCSTR lpszKey) override {
    return SetItemText(lpszKey, kMaxKeyBytes, &key_);
  }
  // A new item of the same class with key, data word and fields copied (not the changes
  // flag); one reference in *ppUnk.
  HRESULT STDMETHODCALLTYPE Clone(IUnknown** ppUnk) override {
    if (!ppUnk) return E_POINTER;
    *ppUnk = nullptr;
    ComPtr<Derived> copy(new (std::nothrow) Derived);
    if (!copy) return E_OUTOFMEMORY;
    return GuardStream([&] {
      ListItemBase& base = *copy.Get();
      base.fields_ = fields_;
      base.key_ = key_;
      base.data_ = data_;
      *ppUnk = copy->Identity();
      (*ppUnk)->AddRef();
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE get_ItemData(ULONG* pVal) override { return GetProperty(data_, pVal); }
  HRESULT STDMETHODCALLTYPE put_ItemData(ULONG newVal) override {
    data_ = newVal;
    return S_OK;
  }

  // IvokFastListItemColumns: key, Derived::DetailText(), description; lpszText holds
  // kItemTextSize bytes.
  HRESULT STDMETHODCALLTYPE GetColumnCount(LONG* plCount) override {
    return GetProperty(kColumnCount, plCount);
  }
  HRESULT STDMETHODCALLTYPE GetColumnText(LONG lColumn, LPSTR lpszText) override {
    if (!lpszText) return E_POINTER;
    if (lColumn < 0 || lColumn >= kColumnCount) return E_INVALIDARG;
    return GuardStream([&] {
      const std::string text = lColumn == 0   ? key_
                               : lColumn == 1 ? derived().DetailText()
                                              : fields_.description;
      CopyToFixedBuffer(text, lpszText, kItemTextSize);
      return S_OK;
    });
  }

  // IPersistStream
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override {
    return GetProperty(Derived::kClassId, pClassID);
  }
  // S_OK after a setter changed a field that counts as a change, until a clearing Save or a
  // Load.
  HRESULT STDMETHODCALLTYPE IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(IStream* stm) override {
    if (!stm) return E_POINTER;
    return GuardStream([&] {
      const LONG version = ReadLong(stm);
      if (version < 0) return S_OK;
      std::string key = ReadBoundedStr32(stm, kMaxKeyBytes);
      const ULONG data = ReadULong(stm);
      Fields fields = Derived::ReadFields(stm, version);
      key_ = std::move(key);
      data_ = data;
      fields_ = std::move(fields);
      dirty_ = false;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE Save(IStream* stm, BOOL fClearDirty) override {
    if (!stm) return E_POINTER;
    return GuardStream([&] {
      WriteLong(stm, Derived::kVersion);
      WriteStr32(stm, key_);
      WriteULong(stm, data_);
      Derived::WriteFields(stm, fields_);
      if (fClearDirty) dirty_ = false;
      return S_OK;
    });
  }
  // The exact size of the record Save writes.
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pcbSize) override {
    if (!pcbSize) return E_POINTER;
    pcbSize->QuadPart = 4 + Str32Size(key_) + 4 + Derived::FieldsSize(fields_);
    return S_OK;
  }

  const std::string& key() const { return key_; }
  ULONG data() const { return data_; }

 protected:
  static constexpr LONG kColumnCount = 3;

  explicit ListItemBase(ULONG data) : data_(data) {}

  const Fields& fields() const { return fields_; }
  Fields& fields() { return fields_; }

  // Stores `value` in *field (one of fields()) and marks the item changed when it differs.
  template <class T>
  HRESULT PutField(T* field, const std::type_identity_t<T>& value) {
    return PutProperty(field, value, &dirty_);
  }

 private:
  const Derived& derived() const { return static_cast<const Derived&>(*this); }

  std::string key_;
  ULONG data_;
  Fields fields_;
  bool dirty_ = false;
};

}  // namespace vok::cmdline
