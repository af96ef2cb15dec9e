#include "platform/storage/element_enumerator.h"

#include <algorithm>

namespace vok::storage {
namespace {

HRESULT FillStatFrom(const ElementEnumerator::Item& item, DWORD mode, DWORD statFlag,
                     STATSTG* out) {
  if (statFlag != STATFLAG_DEFAULT && statFlag != STATFLAG_NONAME) return STG_E_INVALIDFLAG;
  *out = STATSTG{};
  if (statFlag == STATFLAG_DEFAULT) {
    out->pwcsName = CoTaskMemStrDup(item.name.c_str());
    if (!out->pwcsName) return STG_E_INSUFFICIENTMEMORY;
  }
  out->type = item.isStorage ? STGTY_STORAGE : STGTY_STREAM;
  out->cbSize.QuadPart = item.size;
  out->mtime = item.mtime;
  out->ctime = item.ctime;
  out->grfMode = mode;
  out->clsid = item.clsid;
  out->grfStateBits = item.stateBits;
  return S_OK;
}

ElementEnumerator::Item ItemOf(const Element& element, const std::string& name) {
  return {name,          element.isStorage, element.data.size(), element.clsid, element.stateBits,
          element.ctime, element.mtime};
}

}  // namespace

HRESULT FillStat(const Element& element, const std::string& name, DWORD mode, DWORD statFlag,
                 STATSTG* out) {
  if (!out) return STG_E_INVALIDPOINTER;
  return FillStatFrom(ItemOf(element, name), mode, statFlag, out);
}

ComPtr<IEnumSTATSTG> ElementEnumerator::Create(const Element& storage) {
  auto items = std::make_shared<std::vector<Item>>();
  items->reserve(storage.children.size());
  for (const auto& child : storage.children) items->push_back(ItemOf(*child, child->name.Utf8()));
  return ComPtr<IEnumSTATSTG>(new ElementEnumerator(std::move(items), 0));
}

ElementEnumerator::ElementEnumerator(std::shared_ptr<const std::vector<Item>> items,
                                     size_t position)
    : items_(std::move(items)), position_(position) {}

HRESULT STDMETHODCALLTYPE ElementEnumerator::Next(ULONG celt, STATSTG* rgelt, ULONG* pceltFetched) {
  if (pceltFetched) *pceltFetched = 0;
  if (!rgelt || (celt > 1 && !pceltFetched)) return STG_E_INVALIDPOINTER;
  ULONG fetched = 0;
  while (fetched < celt && position_ < items_->size()) {
    HRESULT hr = FillStatFrom((*items_)[position_], 0, STATFLAG_DEFAULT, &rgelt[fetched]);
    if (FAILED(hr)) {
      for (ULONG i = 0; i < fetched; ++i) CoTaskMemFree(rgelt[i].pwcsName);
      return hr;
    }
    ++position_;
    ++fetched;
  }
  if (pceltFetched) *pceltFetched = fetched;
  return fetched == celt ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE ElementEnumerator::Skip(ULONG celt) {
  size_t left = items_->size() - position_;
  position_ += std::min<size_t>(celt, left);
  return celt <= left ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE ElementEnumerator::Reset() {
  position_ = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ElementEnumerator::Clone(IEnumSTATSTG** ppenum) {
  if (!ppenum) return STG_E_INVALIDPOINTER;
  ComPtr<IEnumSTATSTG> copy(new (std::nothrow) ElementEnumerator(items_, position_));
  if (!copy) return E_OUTOFMEMORY;
  *ppenum = copy.Detach();
  return S_OK;
}

}  // namespace vok::storage
