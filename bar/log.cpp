#include "bar/log.h"

#include <string>
#include <utility>

#include "bar/fast_list_item_log.h"
#include "bar/log_window.h"
#include "common/class_ids.h"
#include "common/text_util.h"
#include "platform/ui/prompter.h"

namespace vok::bar {
namespace {

LogObserver& Observer() {
  static LogObserver observer;
  return observer;
}

}  // namespace

LogObserver SetLogObserver(LogObserver observer) {
  return std::exchange(Observer(), std::move(observer));
}

}  // namespace vok::bar

HRESULT STDMETHODCALLTYPE vokLog::Init() {
  ComPtr<IvokFastList> list;
  HRESULT hr = CoCreateInstance(vok::clsid::kFastList, nullptr, CLSCTX_INPROC_SERVER,
                                IvokFastList::kIID, list.ReleaseAndGetVoidAddressOf());
  if (FAILED(hr)) return hr;
  hr = list->Init(0);
  if (SUCCEEDED(hr)) list_ = std::move(list);
  return hr;
}

HRESULT STDMETHODCALLTYPE vokLog::Add(LPCSTR lpszText, LONG lType) {
  if (!lpszText) return E_POINTER;
  if (!list_) return E_UNEXPECTED;
  ComPtr<IvokFastListItem> entry;
  if (FAILED(vok::CreateObject<vokFastListItemLog>(nullptr, IvokFastListItem::kIID,
                                                   entry.ReleaseAndGetVoidAddressOf())))
    return E_FAIL;
  std::string_view text(lpszText);
  std::string kept(text.substr(0, vok::Utf8PrefixLength(text, vokFastListItemLog::kMaxTextBytes)));
  HRESULT hr = entry->SetStrKey(kept.c_str());
  if (FAILED(hr)) return hr;
  entry->put_ItemData(static_cast<ULONG>(lType));

  ComPtr<IUnknown> identity = IdentityOf(entry.Get());
  hr = list_->Add(identity.Get(), 0);
  // Only S_OK hands our reference to the list; otherwise `identity` releases the entry.
  if (hr == S_OK) {
    identity.Detach();
    // A copy: the observer may install another observer while it runs.
    if (vok::bar::LogObserver observer = vok::bar::Observer()) observer(kept, lType);
  }
  return hr;
}

HRESULT STDMETHODCALLTYPE vokLog::Clear() { return list_ ? list_->Clear() : S_FALSE; }

HRESULT STDMETHODCALLTYPE vokLog::Show() {
  // Created on the heap and watched: should the owner go away while the window runs, Qt
  // deletes the window with it and we must not delete it again.
  QPointer<vok::bar::LogWindow> window = new vok::bar::LogWindow(list_.Get(), owner_.data());
  HRESULT hr = window->Fill();
  if (SUCCEEDED(hr)) vok::ui::CurrentPrompter().Exec(*window);
  delete window.data();
  return SUCCEEDED(hr) ? S_OK : hr;
}

HRESULT STDMETHODCALLTYPE vokLog::get_MaxSize(LONG* pVal) {
  if (!pVal) return E_POINTER;
  return list_ ? list_->get_MaxSize(pVal) : E_UNEXPECTED;
}

HRESULT STDMETHODCALLTYPE vokLog::put_MaxSize(LONG newVal) {
  return list_ ? list_->put_MaxSize(newVal) : E_UNEXPECTED;
}

ComPtr<IPersistStream> vokLog::ListPersistence() const {
  return QueryAs<IPersistStream>(list_.Get());
}

HRESULT STDMETHODCALLTYPE vokLog::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = vok::clsid::kLog;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokLog::IsDirty() {
  ComPtr<IPersistStream> persist = ListPersistence();
  return persist ? persist->IsDirty() : E_UNEXPECTED;
}

HRESULT STDMETHODCALLTYPE vokLog::Load(IStream* stm) {
  ComPtr<IPersistStream> persist = ListPersistence();
  return persist ? persist->Load(stm) : E_UNEXPECTED;
}

HRESULT STDMETHODCALLTYPE vokLog::Save(IStream* stm, BOOL fClearDirty) {
  ComPtr<IPersistStream> persist = ListPersistence();
  return persist ? persist->Save(stm, fClearDirty) : E_UNEXPECTED;
}

HRESULT STDMETHODCALLTYPE vokLog::GetSizeMax(ULARGE_INTEGER* pcbSize) {
  ComPtr<IPersistStream> persist = ListPersistence();
  return persist ? persist->GetSizeMax(pcbSize) : E_UNEXPECTED;
}
