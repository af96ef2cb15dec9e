// vokEngineSysInfo: an engine without commands whose only work is a panel in the bar, the
// strip of tabs that opens the desktop's settings pages, the printers, the recycle bin and the
// about box (cmdline/sys_info_panel.h). It stores nothing.
//
// Ownership: the container is held without a reference (it outlives its engines). The panel
// window is a child of the window given to Create; the engine deletes it when the engine goes
// first. Single-threaded.
#pragma once

#include <QPointer>

#include "cmdline/sys_info_panel.h"
#include "common/commandless_engine.h"
#include "common/container_ifaces.h"
#include "platform/com/objidl.h"

class vokEngineSysInfo final : public vok::CommandlessEngine<25, IPersistStorage, IvokEnginePanel> {
 public:
  // The panel's toolbar button: image 220 of the library and its tip.
  static constexpr UINT kPanelBitmapId = 220;
  // Panel flags at the start (their bits belong to the panel contract).
  static constexpr LONG kInitialPanelFlags = 4;

  vokEngineSysInfo() = default;
  ~vokEngineSysInfo() override;

  // IPersistStorage: nothing is stored, nothing changes.
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE InitNew(IStorage*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Load(IStorage*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Save(IStorage*, BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return S_OK; }

  // IvokEnginePanel
  // E_FAIL before Create.
  HRESULT STDMETHODCALLTYPE GetRect(RECT* pRect) override;
  HRESULT STDMETHODCALLTYPE GetButtonInfo(HMODULE* phModule, UINT* puBitmapId,
                                          UINT* puTipId) override;
  // Needs a parent and a QApplication, else E_FAIL. The tab set follows the hint level of
  // Init; a second call replaces the window.
  HRESULT STDMETHODCALLTYPE Create(HWND hwndParent) override;
  // Left and right edges in the parent's coordinates; top and height are kept.
  HRESULT STDMETHODCALLTYPE SetHorzPos(LONG lLeft, LONG lRight) override;
  // Moves the window to lTop, keeping its height (see the source for the second value).
  HRESULT STDMETHODCALLTYPE SetPos(LONG lTop, LONG lBottom) override;
  // Hides (SW_HIDE) or shows the window; shown, it takes the keyboard focus.
  HRESULT STDMETHODCALLTYPE Show(LONG lCmdShow) override;
  HRESULT STDMETHODCALLTYPE SetFlags(LONG lMask, LONG lValue) override;
  // S_OK when every bit of lBits is set in the flags, else S_FALSE.
  HRESULT STDMETHODCALLTYPE TestFlags(LONG lBits) override;
  HRESULT STDMETHODCALLTYPE Refresh() override { return S_OK; }
  // The panel never stands for a command line: S_FALSE, the buffer untouched.
  HRESULT STDMETHODCALLTYPE GetCommand(LPSTR) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE HideQuickHelp() override { return S_OK; }

 private:
  LONG panelFlags_ = kInitialPanelFlags;
  QPointer<vok::cmdline::SysInfoPanel> window_;
};
