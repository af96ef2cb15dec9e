// Helpers shared by the tools tests: items, visitors and comparers built on the list contract.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/fast_list_ifaces.h"
#include "common/memory_stream.h"
#include "common/vok_object.h"

namespace vok::test {

// The object's current reference count.
inline ULONG RefCount(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

// Creates a string item through `create` (the class's creation function) with key and data.
inline ComPtr<IUnknown> MakeItem(CreateFn create, const std::string& key, ULONG data = 0) {
  ComPtr<IvokFastListItem> item;
  EXPECT_EQ(create(nullptr, IvokFastListItem::kIID, item.ReleaseAndGetVoidAddressOf()), S_OK);
  EXPECT_EQ(item->SetStrKey(key.c_str()), S_OK);
  EXPECT_EQ(item->put_ItemData(data), S_OK);
  return IdentityOf(item.Get());
}

inline std::string KeyOf(IUnknown* item) {
  ComPtr<IvokFastListItem> keyed = QueryAs<IvokFastListItem>(item);
  if (!keyed) return "<no key>";
  char buffer[kFastListKeySize];
  ULONG size = sizeof buffer;
  if (FAILED(keyed->GetStrKey(buffer, &size))) return "<unreadable>";
  return std::string(buffer, size);
}

inline ULONG DataOf(IUnknown* item) {
  ULONG data = 0;
  ComPtr<IvokFastListItem> keyed = QueryAs<IvokFastListItem>(item);
  if (keyed) keyed->get_ItemData(&data);
  return data;
}

// Records a walk: Begin and End calls and the items visited. `onItem` may answer a status
// (a negative one stops the walk) or act on the list.
class RecordingVisitor final : public ObjectRoot<IvokFastListItemIterator> {
 public:
  HRESULT STDMETHODCALLTYPE Begin() override {
    ++begins;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE End() override {
    ++ends;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Item(IUnknown* item) override {
    keys.push_back(KeyOf(item));
    return onItem ? onItem(item) : S_OK;
  }

  int begins = 0;
  int ends = 0;
  std::vector<std::string> keys;
  std::function<HRESULT(IUnknown*)> onItem;
};

// Orders items with a caller's test on two items; counts the calls.
class FunctionComparer final : public ObjectRoot<IvokFastListItemComparer> {
 public:
  explicit FunctionComparer(std::function<HRESULT(IUnknown*, IUnknown*)> compare)
      : compare_(std::move(compare)) {}
  HRESULT STDMETHODCALLTYPE Compare(IUnknown* a, IUnknown* b) override {
    ++calls;
    return compare_(a, b);
  }

  size_t calls = 0;

 private:
  std::function<HRESULT(IUnknown*, IUnknown*)> compare_;
};

// Every key in the list, oldest first.
inline std::vector<std::string> KeysOf(IvokFastList* list) {
  ComPtr<RecordingVisitor> visitor(new RecordingVisitor);
  EXPECT_EQ(list->Iterate(visitor->Identity()), S_OK);
  return visitor->keys;
}

inline std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (int v : values) out.push_back(static_cast<uint8_t>(v));
  return out;
}

}  // namespace vok::test
