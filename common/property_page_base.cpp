#include "common/property_page_base.h"

#include <QApplication>
#include <QFontMetrics>
#include <algorithm>

namespace vok {
namespace {

QRect ToQRect(const RECT& rect) {
  return QRect(QPoint(rect.left, rect.top), QSize(rect.right - rect.left, rect.bottom - rect.top));
}

}  // namespace

SIZE DialogUnitsToPixels(LONG cx, LONG cy) {
  // The classic dialog font's base units, for callers without an application.
  int baseX = 6;
  int baseY = 13;
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
    QFontMetrics metrics(QApplication::font());
    baseX = std::max(1, metrics.averageCharWidth());
    baseY = std::max(1, metrics.height());
  }
  return {cx * baseX / 4, cy * baseY / 8};
}

PropertyPageBase::PropertyPageBase(const ModuleResources* resources, PropertyPageInfo info)
    : resources_(resources), info_(info) {}

PropertyPageBase::~PropertyPageBase() { delete page_.data(); }

HRESULT STDMETHODCALLTYPE PropertyPageBase::SetPageSite(IPropertyPageSite* pPageSite) {
  site_ = ComPtr<IPropertyPageSite>(pPageSite);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PropertyPageBase::Activate(HWND hWndParent, const RECT* pRect,
                                                     BOOL /*bModal*/) {
  if (!hWndParent || !pRect) return E_POINTER;
  if (page_) return E_UNEXPECTED;
  QWidget* widget = CreatePage(hWndParent);
  if (!widget) return E_FAIL;
  page_ = widget;
  widget->setParent(hWndParent);
  widget->hide();
  widget->setGeometry(ToQRect(*pRect));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PropertyPageBase::Deactivate() {
  DestroyPage();
  return S_OK;
}

void PropertyPageBase::DestroyPage() {
  if (!page_) return;
  PageDestroyed();
  delete page_.data();
}

HRESULT STDMETHODCALLTYPE PropertyPageBase::GetPageInfo(PROPPAGEINFO* pPageInfo) {
  if (!pPageInfo) return E_POINTER;
  auto load = [&](UINT id) { return CoTaskMemStrDup(LoadStringResource(resources_, id).c_str()); };
  char* title = load(info_.titleId);
  char* docString = load(info_.docStringId);
  char* helpFile = load(info_.helpFileId);
  if (!title || !docString || !helpFile) {
    CoTaskMemFree(title);
    CoTaskMemFree(docString);
    CoTaskMemFree(helpFile);
    return E_OUTOFMEMORY;
  }
  pPageInfo->cb = sizeof(PROPPAGEINFO);
  pPageInfo->pszTitle = title;
  pPageInfo->size = info_.size;
  pPageInfo->pszDocString = docString;
  pPageInfo->pszHelpFile = helpFile;
  pPageInfo->dwHelpContext = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PropertyPageBase::SetObjects(ULONG cObjects, IUnknown** ppUnk) {
  if (cObjects > 0 && !ppUnk) return E_POINTER;
  std::vector<ComPtr<IUnknown>> objects;
  objects.reserve(cObjects);
  for (ULONG i = 0; i < cObjects; ++i) objects.emplace_back(ppUnk[i]);
  objects_.swap(objects);
  ObjectsChanged();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PropertyPageBase::Show(UINT nCmdShow) {
  if (!page_) return E_UNEXPECTED;
  page_->setVisible(nCmdShow != 0);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PropertyPageBase::Move(const RECT* pRect) {
  if (!pRect) return E_POINTER;
  if (!page_) return E_UNEXPECTED;
  page_->setGeometry(ToQRect(*pRect));
  return S_OK;
}

HRESULT STDMETHODCALLTYPE PropertyPageBase::IsPageDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE PropertyPageBase::Apply() {
  HRESULT hr = ApplyChanges();
  if (SUCCEEDED(hr)) dirty_ = false;
  return hr;
}

HRESULT STDMETHODCALLTYPE PropertyPageBase::Help(LPCOLESTR /*pszHelpDir*/) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE PropertyPageBase::TranslateAccelerator(void* /*pMsg*/) { return S_FALSE; }

void PropertyPageBase::SetDirty(bool dirty) {
  const bool becameDirty = dirty && !dirty_;
  dirty_ = dirty;
  if (becameDirty && site_) site_->OnStatusChange(PROPPAGESTATUS_DIRTY);
}

}  // namespace vok
