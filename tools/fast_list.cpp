#include "tools/fast_list.h"

#include <algorithm>
#include <utility>

#include "common/class_ids.h"
#include "common/stream_util.h"
#include "common/text_util.h"
#include "platform/com/runtime.h"

// Operations that allocate run inside vok::GuardStream, which also turns an allocation failure
// into E_OUTOFMEMORY: no exception leaves the component.

namespace {

constexpr size_t kNotFound = static_cast<size_t>(-1);
// Ranges up to this size are left to the final insertion sort.
constexpr size_t kInsertionSortRun = 16;

// The item's key as the list sees it (cut to the key buffer); false when the item has no key.
bool ReadKey(IUnknown* item, std::string* key) {
  ComPtr<IvokFastListItem> keyed = QueryAs<IvokFastListItem>(item);
  if (!keyed) return false;
  char buffer[kFastListKeySize];
  ULONG size = sizeof buffer;
  if (FAILED(keyed->GetStrKey(buffer, &size))) return false;
  key->assign(buffer, std::min<ULONG>(size, sizeof buffer - 1));
  return true;
}

// True when `key` equals `wantedLower` (already lower-cased) without regard to case. Pure ASCII
// keys, the common case, are compared in place; others go through the UTF-8 case mapping.
bool EqualsLowered(const std::string& key, const std::string& wantedLower) {
  bool ascii = std::all_of(key.begin(), key.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (!ascii) return vok::ToLower(key) == wantedLower;
  if (key.size() != wantedLower.size()) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    char c = key[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != wantedLower[i]) return false;
  }
  return true;
}

// Depth of nested list loads. Components live on the user-interface thread, so one counter
// serves; a thread_local here would put the library's counter in dynamic TLS, which
// LeakSanitizer misreads at exit once the library has been loaded and unloaded.
int loadDepth = 0;

class LoadDepthGuard {
 public:
  LoadDepthGuard() { ++loadDepth; }
  ~LoadDepthGuard() { --loadDepth; }
  LoadDepthGuard(const LoadDepthGuard&) = delete;
  LoadDepthGuard& operator=(const LoadDepthGuard&) = delete;
  bool TooDeep() const { return loadDepth > vokFastList::kMaxLoadDepth; }
};

// Orders items with a caller's comparer. The comparer may be inconsistent; every loop is
// bounded by the range, so a bad comparer gives a strange order, never a crash or a hang.
class ItemSorter {
 public:
  explicit ItemSorter(IvokFastListItemComparer* comparer) : comparer_(comparer) {}

  void Sort(std::vector<ComPtr<IUnknown>>& items) {
    if (items.size() > kInsertionSortRun) QuickSort(items, 0, items.size());
    InsertionSort(items);
  }

 private:
  // A non-negative answer means that a goes before b.
  bool GoesBefore(IUnknown* a, IUnknown* b) { return comparer_->Compare(a, b) >= 0; }
  // a strictly before b: b does not go before a.
  bool Less(IUnknown* a, IUnknown* b) { return !GoesBefore(b, a); }

  // Stable: an item moves left only past items that do not go before it.
  void InsertionSort(std::vector<ComPtr<IUnknown>>& items) {
    for (size_t i = 1; i < items.size(); ++i) {
      size_t j = i;
      while (j > 0 && !GoesBefore(items[j - 1].Get(), items[i].Get())) --j;
      if (j != i) std::rotate(items.begin() + j, items.begin() + i, items.begin() + i + 1);
    }
  }

  // Partitions [lo, hi) until every part holds at most kInsertionSortRun items; recurses into
  // the smaller part so the depth stays logarithmic.
  void QuickSort(std::vector<ComPtr<IUnknown>>& items, size_t lo, size_t hi) {
    while (hi - lo > kInsertionSortRun) {
      size_t pivot = Partition(items, lo, hi);
      if (pivot - lo < hi - pivot - 1) {
        QuickSort(items, lo, pivot);
        lo = pivot + 1;
      } else {
        QuickSort(items, pivot + 1, hi);
        hi = pivot;
      }
    }
  }

  // Median-of-three pivot moved to lo, Hoare scans from both ends, pivot placed at its final
  // position, which is returned; the pivot is excluded from both parts, so each step shrinks.
  size_t Partition(std::vector<ComPtr<IUnknown>>& items, size_t lo, size_t hi) {
    size_t mid = lo + (hi - lo) / 2;
    size_t last = hi - 1;
    if (Less(items[mid].Get(), items[lo].Get())) items[mid].Swap(items[lo]);
    if (Less(items[last].Get(), items[mid].Get())) {
      items[last].Swap(items[mid]);
      if (Less(items[mid].Get(), items[lo].Get())) items[mid].Swap(items[lo]);
    }
    items[lo].Swap(items[mid]);
    IUnknown* pivot = items[lo].Get();
    size_t i = lo + 1;
    size_t j = last;
    for (;;) {
      while (i <= j && Less(items[i].Get(), pivot)) ++i;
      while (i <= j && Less(pivot, items[j].Get())) --j;
      if (i >= j) break;
      items[i++].Swap(items[j--]);
    }
    items[lo].Swap(items[j]);
    return j;
  }

  IvokFastListItemComparer* comparer_;
};

}  // namespace

vokFastList::~vokFastList() { Clear(); }

HRESULT STDMETHODCALLTYPE vokFastList::Init(LONG bUnique) {
  unique_ = bUnique != 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastList::Add(IUnknown* pUnk, LONG bMoveFront) {
  if (!pUnk) return E_POINTER;
  return vok::GuardStream([&] { return AddItem(pUnk, bMoveFront); });
}

HRESULT vokFastList::AddItem(IUnknown* item, LONG moveFront) {
  std::string key;
  bool keyed = false;
  if (unique_) {
    keyed = ReadKey(item, &key);
    if (!keyed || index_.count(key)) {
      if (!moveFront) return E_INVALIDARG;
      return keyed ? MoveExistingToBack(key) : E_FAIL;
    }
  }
  items_.emplace_back();
  if (keyed) {
    try {
      index_.emplace(key, item);
    } catch (...) {
      items_.pop_back();
      throw;
    }
  }
  items_.back().Attach(item);
  ++generation_;
  MarkChanged();
  Trim();
  return S_OK;
}

HRESULT vokFastList::MoveExistingToBack(const std::string& key) {
  size_t pos = FindOldest(key, true);
  if (pos == kNotFound) return E_FAIL;
  std::rotate(items_.begin() + pos, items_.begin() + pos + 1, items_.end());
  ++generation_;
  MarkChanged();
  return S_FALSE;
}

size_t vokFastList::FindOldest(const std::string& key, bool caseSensitive) const {
  const std::string wanted = caseSensitive ? key : vok::ToLower(key);
  std::string itemKey;
  for (size_t i = 0; i < items_.size(); ++i) {
    if (!ReadKey(items_[i].Get(), &itemKey)) continue;
    if (caseSensitive ? itemKey == wanted : EqualsLowered(itemKey, wanted)) return i;
  }
  return kNotFound;
}

IUnknown* vokFastList::Lookup(const char* key, bool caseSensitive) const {
  if (unique_ && caseSensitive) {
    auto it = index_.find(key);
    return it == index_.end() ? nullptr : it->second;
  }
  size_t pos = FindOldest(key, caseSensitive);
  return pos == kNotFound ? nullptr : items_[pos].Get();
}

HRESULT STDMETHODCALLTYPE vokFastList::IsInside(LPCSTR szKey, LONG bCaseSensitive) {
  if (!szKey) return E_POINTER;
  return vok::GuardStream([&] { return Lookup(szKey, bCaseSensitive != 0) ? S_OK : E_FAIL; });
}

HRESULT STDMETHODCALLTYPE vokFastList::Find(LPCSTR szKey, IUnknown** ppUnk, LONG bCaseSensitive) {
  if (!ppUnk) return E_POINTER;
  *ppUnk = nullptr;
  if (!szKey) return E_POINTER;
  return vok::GuardStream([&] {
    *ppUnk = Lookup(szKey, bCaseSensitive != 0);
    return *ppUnk ? S_OK : E_FAIL;
  });
}

HRESULT STDMETHODCALLTYPE vokFastList::Delete(LPCSTR szKey) {
  if (!szKey) return E_POINTER;
  return vok::GuardStream([&] {
    size_t pos = FindOldest(szKey, true);
    if (pos == kNotFound) return E_INVALIDARG;
    Remove(pos).Detach();  // the caller owns the list's reference now
    MarkChanged();
    return S_OK;
  });
}

void vokFastList::Unindex(IUnknown* item) {
  if (index_.empty()) return;
  std::string key;
  if (ReadKey(item, &key)) {
    auto it = index_.find(key);
    if (it != index_.end() && it->second == item) {
      index_.erase(it);
      return;
    }
  }
  // The key changed since the item was indexed: find the entry by the item instead, so that no
  // entry outlives its item.
  for (auto it = index_.begin(); it != index_.end(); ++it) {
    if (it->second == item) {
      index_.erase(it);
      return;
    }
  }
}

ComPtr<IUnknown> vokFastList::Remove(size_t pos) {
  Unindex(items_[pos].Get());
  ComPtr<IUnknown> item = std::move(items_[pos]);
  items_.erase(items_.begin() + pos);
  ++generation_;
  return item;
}

void vokFastList::Trim() {
  if (maxSize_ < 0) return;
  while (!items_.empty() && items_.size() > static_cast<size_t>(maxSize_)) {
    Remove(0).Reset();
    MarkChanged();
  }
}

HRESULT STDMETHODCALLTYPE vokFastList::Iterate(IUnknown* pIterUnk) { return Walk(pIterUnk, false); }

HRESULT STDMETHODCALLTYPE vokFastList::ReverseIterate(IUnknown* pIterUnk) {
  return Walk(pIterUnk, true);
}

HRESULT vokFastList::Walk(IUnknown* visitorUnk, bool newestFirst) {
  ComPtr<IvokFastListItemIterator> visitor = QueryAs<IvokFastListItemIterator>(visitorUnk);
  if (!visitor) return S_OK;
  return vok::GuardStream([&] {
    Items snapshot = items_;
    if (newestFirst) std::reverse(snapshot.begin(), snapshot.end());
    visitor->Begin();
    for (const ComPtr<IUnknown>& item : snapshot)
      if (FAILED(visitor->Item(item.Get()))) break;
    visitor->End();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastList::Sort(IUnknown* pSortUnk) {
  ComPtr<IvokFastListItemComparer> comparer = QueryAs<IvokFastListItemComparer>(pSortUnk);
  if (!comparer) return S_OK;
  return vok::GuardStream([&] {
    // Sorted on a copy holding its own references: a comparer that changes the list cannot
    // pull items away from under the sort.
    Items work = items_;
    uint64_t before = generation_;
    ItemSorter(comparer.Get()).Sort(work);
    if (generation_ != before) return E_UNEXPECTED;
    items_.swap(work);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE vokFastList::Clear() {
  // Detached first: an item's destructor may call back into the list.
  Items released;
  released.swap(items_);
  index_.clear();
  ++generation_;
  released.clear();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastList::RemoveAll() {
  for (ComPtr<IUnknown>& item : items_) item.Detach();
  items_.clear();
  index_.clear();
  ++generation_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastList::Back(IUnknown** ppUnk) {
  if (!ppUnk) return E_POINTER;
  *ppUnk = items_.empty() ? nullptr : items_.back().Get();
  return items_.empty() ? S_FALSE : S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastList::Front(IUnknown** ppUnk) {
  if (!ppUnk) return E_POINTER;
  *ppUnk = items_.empty() ? nullptr : items_.front().Get();
  return items_.empty() ? S_FALSE : S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastList::PopBack() {
  if (items_.empty()) return S_FALSE;
  Remove(items_.size() - 1).Detach();  // the reference passes to whoever took it with Back
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastList::PopFront() {
  if (items_.empty()) return S_FALSE;
  Remove(0).Detach();  // the reference passes to whoever took it with Front
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastList::get_ItemCount(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = static_cast<LONG>(items_.size());
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastList::get_MaxSize(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = maxSize_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastList::put_MaxSize(LONG newVal) {
  maxSize_ = newVal;
  MarkChanged();
  Trim();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastList::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = vok::clsid::kFastList;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastList::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE vokFastList::Load(IStream* stm) {
  if (!stm) return E_POINTER;
  Clear();
  LoadDepthGuard depth;
  HRESULT hr =
      depth.TooDeep() ? STG_E_DOCFILECORRUPT : vok::GuardStream([&] { return LoadItems(stm); });
  dirty_ = false;
  return hr;
}

HRESULT vokFastList::LoadItems(IStream* stm) {
  if (vok::ReadLong(stm) < 0) return S_OK;
  maxSize_ = vok::ReadLong(stm);
  LONG count = vok::ReadLong(stm);
  if (count <= 0) return S_OK;
  CLSID clsid = vok::ReadGuid(stm);
  ComPtr<IClassFactory> factory;
  HRESULT hr = CoGetClassObject(clsid, CLSCTX_ALL, nullptr, IID_IClassFactory,
                                factory.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  // Every item record is at least four bytes, and a read past the end of the stream fails, so
  // a corrupted count ends with the data instead of creating empty items.
  for (LONG i = 0; i < count; ++i) {
    ComPtr<IUnknown> item;
    hr = factory->CreateInstance(nullptr, IID_IUnknown, item.ReleaseAndGetVoidAddressOf());
    if (FAILED(hr)) return hr;
    ComPtr<IPersistStream> persist = QueryAs<IPersistStream>(item.Get());
    if (!persist) return E_NOINTERFACE;
    hr = persist->Load(stm);
    if (FAILED(hr)) return hr;
    hr = AddItem(item.Get(), 0);
    if (FAILED(hr)) return hr;
    item.Detach();  // the list took the creation reference
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokFastList::Save(IStream* stm, BOOL fClearDirty) {
  if (!stm) return E_POINTER;
  HRESULT hr = vok::GuardStream([&] {
    vok::WriteLong(stm, 0);
    vok::WriteLong(stm, maxSize_);
    vok::WriteLong(stm, static_cast<LONG>(items_.size()));
    for (size_t i = 0; i < items_.size(); ++i) {
      ComPtr<IPersistStream> persist = QueryAs<IPersistStream>(items_[i].Get());
      if (!persist) return E_NOINTERFACE;
      if (i == 0) {
        CLSID clsid;
        HRESULT status = persist->GetClassID(&clsid);
        if (FAILED(status)) return status;
        vok::WriteGuid(stm, clsid);
      }
      HRESULT status = persist->Save(stm, fClearDirty);
      if (FAILED(status)) return status;
    }
    return S_OK;
  });
  if (fClearDirty) dirty_ = false;
  return hr;
}

HRESULT STDMETHODCALLTYPE vokFastList::GetSizeMax(ULARGE_INTEGER* pcbSize) {
  if (!pcbSize) return E_POINTER;
  pcbSize->QuadPart = 0;
  ULONG total = 0;
  for (const ComPtr<IUnknown>& item : items_) {
    ComPtr<IPersistStream> persist = QueryAs<IPersistStream>(item.Get());
    if (!persist) return E_NOINTERFACE;
    ULARGE_INTEGER size = {};
    HRESULT hr = persist->GetSizeMax(&size);
    if (FAILED(hr)) return hr;
    total += static_cast<ULONG>(size.QuadPart);
  }
  pcbSize->QuadPart = total;
  return S_OK;
}
