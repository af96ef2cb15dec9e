// The common part of the property pages shown in the options frame: the site, the page's
// widget and its life between Activate and Deactivate, the page information loaded from a
// library's string table, the edited objects and the dirty state reported to the site.
//
// A derived page supplies CreatePage (builds its widget) and ApplyChanges (writes its values
// to the objects); it may override ObjectsChanged and PageDestroyed. Its destructor must call
// DestroyPage(), so the widget's signal handlers never run on a half-destroyed page.
#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

#include "common/string_table.h"
#include "common/vok_object.h"
#include "platform/com/objidl.h"

namespace vok {

// What GetPageInfo reports: string ids of the library's table and the page size in pixels.
struct PropertyPageInfo {
  UINT titleId = 0;
  UINT docStringId = 0;
  UINT helpFileId = 0;
  SIZE size = {0, 0};
};

// Pixels of a dialog-unit size: a horizontal unit is a quarter of the average character width
// of the application font, a vertical unit an eighth of its height.
SIZE DialogUnitsToPixels(LONG cx, LONG cy);

class PropertyPageBase : public ObjectRoot<IPropertyPage> {
 public:
  // IPropertyPage
  // Holds a reference to the site (null releases it).
  HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* pPageSite) override;
  // Creates the page's widget as a hidden child of hWndParent at *pRect; Show makes it
  // visible. E_UNEXPECTED when the page is already active, E_FAIL when no widget results.
  HRESULT STDMETHODCALLTYPE Activate(HWND hWndParent, const RECT* pRect, BOOL bModal) override;
  // Destroys the widget; S_OK also when the page was not active.
  HRESULT STDMETHODCALLTYPE Deactivate() override;
  // Title, document string and help file are task-allocated; the receiver frees them.
  HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* pPageInfo) override;
  // Holds a reference to each object (a count of 0 releases them all), then ObjectsChanged.
  HRESULT STDMETHODCALLTYPE SetObjects(ULONG cObjects, IUnknown** ppUnk) override;
  // nCmdShow 0 hides the widget, any other value shows it; E_UNEXPECTED when not active.
  HRESULT STDMETHODCALLTYPE Show(UINT nCmdShow) override;
  HRESULT STDMETHODCALLTYPE Move(const RECT* pRect) override;
  // S_OK while the page holds unapplied changes, else S_FALSE.
  HRESULT STDMETHODCALLTYPE IsPageDirty() override;
  // ApplyChanges; the page is clean afterwards when it succeeded.
  HRESULT STDMETHODCALLTYPE Apply() override;
  // E_NOTIMPL: the frame opens the help file named by GetPageInfo.
  HRESULT STDMETHODCALLTYPE Help(LPCOLESTR pszHelpDir) override;
  // S_FALSE: the page's widgets handle their own keys.
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(void* pMsg) override;

  // Marks the page changed or unchanged; becoming changed tells the site
  // (OnStatusChange with PROPPAGESTATUS_DIRTY).
  void SetDirty(bool dirty);
  bool dirty() const { return dirty_; }

  // The page's widget while active, else null.
  QWidget* page() const { return page_.data(); }

 protected:
  // `resources` (static, not owned) holds the strings named by `info`.
  PropertyPageBase(const ModuleResources* resources, PropertyPageInfo info);
  ~PropertyPageBase() override;

  // Builds the page's widget as a child of `parent` (never null); null on failure.
  virtual QWidget* CreatePage(QWidget* parent) = 0;
  // Writes the page's values to the objects.
  virtual HRESULT ApplyChanges() = 0;
  // After SetObjects stored the new objects.
  virtual void ObjectsChanged() {}
  // Before the widget is deleted (Deactivate, DestroyPage).
  virtual void PageDestroyed() {}

  // Deletes the widget if there is one (PageDestroyed runs first).
  void DestroyPage();

  const std::vector<ComPtr<IUnknown>>& objects() const { return objects_; }
  IPropertyPageSite* site() const { return site_.Get(); }
  const ModuleResources* resources() const { return resources_; }

 private:
  const ModuleResources* resources_;
  PropertyPageInfo info_;
  ComPtr<IPropertyPageSite> site_;
  std::vector<ComPtr<IUnknown>> objects_;
  QPointer<QWidget> page_;
  bool dirty_ = false;
};

}  // namespace vok
