#include "fileview/history_list.h"

#include <QComboBox>

#include "common/class_ids.h"
#include "platform/com/runtime.h"

namespace vok::fileview {

HRESULT CreateHistory(ComPtr<IvokFastList>* list) {
  ComPtr<IvokFastList> created;
  HRESULT hr = CoCreateInstance(clsid::kFastList, nullptr, CLSCTX_ALL, IvokFastList::kIID,
                                created.ReleaseAndGetVoidAddressOf());
  if (SUCCEEDED(hr)) hr = created->Init(1);
  if (SUCCEEDED(hr)) hr = created->put_MaxSize(kHistoryLimit);
  if (FAILED(hr)) return hr;
  *list = std::move(created);
  return S_OK;
}

HRESULT FillFromHistory(QComboBox* combo, IvokFastList* history) {
  ComPtr<IvokFastListItemIteratorCtl> filler;
  HRESULT hr =
      CoCreateInstance(clsid::kFastListItemIteratorCtl, nullptr, CLSCTX_ALL,
                       IvokFastListItemIteratorCtl::kIID, filler.ReleaseAndGetVoidAddressOf());
  if (SUCCEEDED(hr)) hr = filler->Init(combo, kIteratorCtlComboBox);
  if (SUCCEEDED(hr)) hr = history->ReverseIterate(filler.Get());
  if (SUCCEEDED(hr) && combo->count() > 0) combo->setCurrentIndex(0);
  return hr;
}

QComboBox* NewHistoryBox(QWidget* parent, const char* objectName, int minimumWidth,
                         IvokFastList* history) {
  auto* box = new QComboBox(parent);
  box->setObjectName(objectName);
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setMinimumWidth(minimumWidth);
  FillFromHistory(box, history);
  return box;
}

HRESULT AddToHistory(IvokFastList* history, const std::string& text) {
  if (text.empty() || text.size() >= kFastListKeySize) return S_FALSE;
  ComPtr<IvokFastListItem> item;
  HRESULT hr = CoCreateInstance(clsid::kFastListItemString, nullptr, CLSCTX_ALL,
                                IvokFastListItem::kIID, item.ReleaseAndGetVoidAddressOf());
  if (SUCCEEDED(hr)) hr = item->SetStrKey(text.c_str());
  if (FAILED(hr)) return hr;
  ComPtr<IUnknown> identity = IdentityOf(item.Get());
  hr = history->Add(identity.Get(), 1);
  // Added: the list took over the reference; moved: the existing entry stays, ours goes.
  if (hr == S_OK) identity.Detach();
  return FAILED(hr) ? hr : S_OK;
}

}  // namespace vok::fileview
