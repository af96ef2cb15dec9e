#include "cmdline/cmd_browser_search.h"

#include "cmdline/item_text.h"
#include "common/class_ids.h"
#include "common/text_util.h"
#include "platform/com/runtime.h"

namespace vok::cmdline {

HRESULT CreateSearchHistory(ComPtr<IvokFastList>* history) {
  if (!history) return E_POINTER;
  *history = nullptr;
  ComPtr<IvokFastList> list;
  HRESULT hr = CoCreateInstance(clsid::kFastList, nullptr, CLSCTX_INPROC_SERVER, IvokFastList::kIID,
                                list.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  if (FAILED(hr = list->Init(1))) return hr;
  if (FAILED(hr = list->put_MaxSize(kSearchHistorySize))) return hr;
  *history = std::move(list);
  return S_OK;
}

HRESULT RememberSearchText(IvokFastList* history, const std::string& text) {
  if (!history) return E_POINTER;
  ComPtr<IvokFastListItem> item;
  HRESULT hr = CoCreateInstance(clsid::kFastListItemString, nullptr, CLSCTX_INPROC_SERVER,
                                IvokFastListItem::kIID, item.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  if (FAILED(hr = item->SetStrKey(text.c_str()))) return hr;
  ComPtr<IUnknown> identity = IdentityOf(item.Get());
  item = nullptr;
  // The list takes over the reference only when it adds the item (S_OK); a repeated text
  // moves the stored item instead and ours is dropped here.
  hr = history->Add(identity.Get(), 1);
  if (hr == S_OK) identity.Detach();
  return FAILED(hr) ? hr : S_OK;
}

std::optional<size_t> FindNextMatch(const std::vector<std::string>& texts,
                                    std::optional<size_t> current, std::string_view pattern) {
  const std::string upper = ToUpper(pattern);
  for (size_t i = current ? *current + 1 : 0; i < texts.size(); ++i) {
    if (WildcardMatch(upper, CutText(texts[i], kTreeTextBytes))) return i;
  }
  return std::nullopt;
}

}  // namespace vok::cmdline
