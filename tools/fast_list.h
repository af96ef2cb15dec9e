// vokFastList: an ordered list of item components (oldest at the front, newest at the back),
// optionally indexed by a unique case-sensitive key, with a size cap that drops the oldest
// items, walks by a visitor, sorting by a comparer and stream persistence.
//
// Ownership: every stored item pointer owns one reference. Add takes over the caller's
// reference only when the item is stored (S_OK); Delete, PopBack and PopFront hand the list's
// reference to the caller (who got the pointer from Find, Back or Front); RemoveAll drops the
// pointers without releasing them; Clear, trimming and destruction release them.
//
// The key index is filled when an item is added: an item of a unique list must not change its
// key while it is in the list (take it out, change the key, add it again).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "common/fast_list_ifaces.h"
#include "common/vok_object.h"

class vokFastList final : public vok::ObjectRoot<IvokFastList, IPersistStream> {
 public:
  // Loading more lists than this nested one inside the other fails with STG_E_DOCFILECORRUPT
  // (a crafted stream must not exhaust the stack).
  static constexpr int kMaxLoadDepth = 32;

  ~vokFastList() override;

  // IvokFastList
  // Items added while the list is not unique are not entered in the key index.
  HRESULT STDMETHODCALLTYPE Init(LONG bUnique) override;
  HRESULT STDMETHODCALLTYPE Add(IUnknown* pUnk, LONG bMoveFront) override;
  HRESULT STDMETHODCALLTYPE IsInside(LPCSTR szKey, LONG bCaseSensitive) override;
  HRESULT STDMETHODCALLTYPE Delete(LPCSTR szKey) override;
  // The walk covers the items present when it starts, each kept alive until the walk ends, so a
  // visitor may change the list.
  HRESULT STDMETHODCALLTYPE Iterate(IUnknown* pIterUnk) override;
  HRESULT STDMETHODCALLTYPE ReverseIterate(IUnknown* pIterUnk) override;
  // A comparer that changes the list makes Sort return E_UNEXPECTED and keep the changed order.
  HRESULT STDMETHODCALLTYPE Sort(IUnknown* pSortUnk) override;
  HRESULT STDMETHODCALLTYPE Clear() override;
  HRESULT STDMETHODCALLTYPE Find(LPCSTR szKey, IUnknown** ppUnk, LONG bCaseSensitive) override;
  HRESULT STDMETHODCALLTYPE Back(IUnknown** ppUnk) override;
  HRESULT STDMETHODCALLTYPE PopBack() override;
  HRESULT STDMETHODCALLTYPE Front(IUnknown** ppUnk) override;
  HRESULT STDMETHODCALLTYPE PopFront() override;
  HRESULT STDMETHODCALLTYPE get_ItemCount(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE get_MaxSize(LONG* pVal) override;
  // Any negative maximum means no limit.
  HRESULT STDMETHODCALLTYPE put_MaxSize(LONG newVal) override;
  HRESULT STDMETHODCALLTYPE RemoveAll() override;

  // IPersistStream
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(IStream* stm) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stm, BOOL fClearDirty) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pcbSize) override;

 private:
  using Items = std::vector<ComPtr<IUnknown>>;

  HRESULT AddItem(IUnknown* item, LONG moveFront);
  // Moves the oldest item with `key` to the back (bMoveFront of Add).
  HRESULT MoveExistingToBack(const std::string& key);
  // Position of the first (oldest) item whose key equals `key`, or npos.
  size_t FindOldest(const std::string& key, bool caseSensitive) const;
  IUnknown* Lookup(const char* key, bool caseSensitive) const;
  // Removes the entry that names `item`, also when its key changed after it was indexed.
  void Unindex(IUnknown* item);
  // Takes item `pos` out of the sequence and the index; the returned pointer owns its reference.
  ComPtr<IUnknown> Remove(size_t pos);
  void Trim();
  HRESULT Walk(IUnknown* visitor, bool newestFirst);
  HRESULT LoadItems(IStream* stm);
  void MarkChanged() { dirty_ = true; }

  Items items_;
  std::map<std::string, IUnknown*> index_;  // key -> item; holds no references
  bool unique_ = false;
  LONG maxSize_ = -1;
  bool dirty_ = false;
  // Bumped by every change of the sequence, so that Sort can tell it was changed under it.
  uint64_t generation_ = 0;
};
