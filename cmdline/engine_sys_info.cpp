#include "cmdline/engine_sys_info.h"

#include <QApplication>
#include <algorithm>

#include "cmdline/resources/cmdline_strings.h"
#include "common/class_ids.h"
#include "common/property_util.h"

using vok::cmdline::SysInfoPanel;

vokEngineSysInfo::~vokEngineSysInfo() { delete window_.data(); }

HRESULT STDMETHODCALLTYPE vokEngineSysInfo::GetClassID(CLSID* pClassID) {
  return vok::GetProperty(vok::clsid::kEngineSysInfo, pClassID);
}

// ---------------------------------------------------------------------------------------------
// IvokEnginePanel

HRESULT STDMETHODCALLTYPE vokEngineSysInfo::GetRect(RECT* pRect) {
  if (!pRect) return E_POINTER;
  if (!window_) return E_FAIL;
  const QPoint origin = window_->mapToGlobal(QPoint(0, 0));
  *pRect = {origin.x(), origin.y(), origin.x() + window_->width(), origin.y() + window_->height()};
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineSysInfo::GetButtonInfo(HMODULE* phModule, UINT* puBitmapId,
                                                          UINT* puTipId) {
  if (!phModule || !puBitmapId || !puTipId) return E_POINTER;
  // The container loads the image from the library's resources by its number.
  vok::cmdline::LoadSysInfoImages();
  *phModule = vok::ModuleHandle(vok::cmdline::kCmdLineResources);
  *puBitmapId = kPanelBitmapId;
  *puTipId = vok::cmdline::kIdsSysInfoTip;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineSysInfo::Create(HWND hwndParent) {
  if (!hwndParent || !qobject_cast<QApplication*>(QCoreApplication::instance())) return E_FAIL;
  delete window_.data();
  window_ = new SysInfoPanel(hint(), hwndParent);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineSysInfo::SetHorzPos(LONG lLeft, LONG lRight) {
  if (!window_) return S_FALSE;
  window_->setGeometry(lLeft, window_->y(), std::max<LONG>(0, lRight - lLeft), window_->height());
  return S_OK;
}

// The container passes the panel's centred top and, as the second value, its old bottom plus
// its height: not a bottom edge. Taking it for one would stretch the strip, so the height stays.
HRESULT STDMETHODCALLTYPE vokEngineSysInfo::SetPos(LONG lTop, LONG) {
  if (!window_) return S_FALSE;
  window_->move(window_->x(), lTop);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineSysInfo::Show(LONG lCmdShow) {
  if (!window_) return S_FALSE;
  if (lCmdShow == SW_HIDE) {
    window_->hide();
  } else {
    window_->show();
    window_->setFocus();
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineSysInfo::SetFlags(LONG lMask, LONG lValue) {
  panelFlags_ = (panelFlags_ & ~lMask) | (lValue & lMask);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE vokEngineSysInfo::TestFlags(LONG lBits) {
  return (panelFlags_ & lBits) == lBits ? S_OK : S_FALSE;
}
