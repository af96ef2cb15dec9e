// The container's services and the panel contract.
#pragma once

#include "platform/com/unknwn.h"

struct IvokEngineContainer : IUnknown {
  VOK_INTERFACE(IUnknown, 0x3EADE792, 0x6E4E, 0x11D2, 0xB4, 0xF9, 0xAA, 0x3B, 0x0C, 0xAC, 0x65,
                0x58);
  // pEngCLSIDs: pointers to class identifiers, ended by a null pointer.
  virtual HRESULT STDMETHODCALLTYPE Init(const CLSID* const* pEngCLSIDs, LONG lHint) = 0;
  virtual HRESULT STDMETHODCALLTYPE Properties(HWND hwndOwner, UINT x, UINT y,
                                               LPCSTR lpszCaption) = 0;
  virtual HRESULT STDMETHODCALLTYPE Command(LPCSTR szCmdLine) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsCommandRegistered(LPCSTR lpszCmd) = 0;
  // The first engine offering riid, as its identity pointer with one reference.
  virtual HRESULT STDMETHODCALLTYPE GetEngineByIface(REFIID riid, IUnknown** pVal) = 0;
  // The log is held and handed out without a reference; the receiver must not release it.
  virtual HRESULT STDMETHODCALLTYPE get_Log(IUnknown** pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Log(IUnknown* newVal) = 0;

 protected:
  ~IvokEngineContainer() = default;
};

struct IvokMenuCommands : IUnknown {
  VOK_INTERFACE(IUnknown, 0xF1B40DB0, 0xC8C8, 0x11D2, 0xA4, 0x5F, 0x00, 0x80, 0xC8, 0x8B, 0x6E,
                0xED);
  virtual HRESULT STDMETHODCALLTYPE FillMenu(HMENU hMenu, LONG lFirstId) = 0;
  virtual HRESULT STDMETHODCALLTYPE RunMenuCommand(LONG lId) = 0;
  virtual HRESULT STDMETHODCALLTYPE AddCommand(LPCSTR lpszCmd, LONG* plId) = 0;

 protected:
  ~IvokMenuCommands() = default;
};

// Special values of IvokPanelBar::SelectPanel.
constexpr LONG kPanelShowSelected = -1;
constexpr LONG kPanelDeselect = -2;
constexpr LONG kPanelNext = -3;
constexpr LONG kPanelPrevious = -4;
constexpr LONG kPanelNone = -1;

// Show commands of IvokEnginePanel::Show.
constexpr LONG SW_HIDE = 0;
constexpr LONG SW_SHOW = 5;

struct IvokPanelBar : IUnknown {
  VOK_INTERFACE(IUnknown, 0xAB644861, 0x79A4, 0x11D2, 0xB5, 0x04, 0xD7, 0xA7, 0xDA, 0xB8, 0x6B,
                0x58);
  virtual HRESULT STDMETHODCALLTYPE GetPanelCount(LONG* plCount) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMaxPanelHeight(LONG* plHeight) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreatePanels(HWND hwndParent, LONG lFirstId, LONG lLastId) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateToolbar(UINT uCtrlId, HWND hwndParent,
                                                  HWND* phwndToolbar) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPanelInfo(LONG lId, HMODULE* phModule, UINT* puTipId) = 0;
  virtual HRESULT STDMETHODCALLTYPE SelectPanel(LONG lId) = 0;
  virtual HRESULT STDMETHODCALLTYPE BroadcastA(LONG l1, LONG l2) = 0;
  virtual HRESULT STDMETHODCALLTYPE LayoutPanels() = 0;
  virtual HRESULT STDMETHODCALLTYPE BroadcastB(LONG l1, LONG l2) = 0;
  virtual HRESULT STDMETHODCALLTYPE BroadcastC() = 0;
  virtual HRESULT STDMETHODCALLTYPE RunPanelCommand() = 0;
  virtual HRESULT STDMETHODCALLTYPE CurrentPanelOp() = 0;

 protected:
  ~IvokPanelBar() = default;
};

constexpr int kPanelCommandSize = 512;

struct IvokEnginePanel : IUnknown {
  VOK_INTERFACE(IUnknown, 0xAB644860, 0x79A4, 0x11D2, 0xB5, 0x04, 0xD7, 0xA7, 0xDA, 0xB8, 0x6B,
                0x58);
  // The panel window's rectangle in screen coordinates.
  virtual HRESULT STDMETHODCALLTYPE GetRect(RECT* pRect) = 0;
  // The module handle is the library's resource table (vok::ModuleResources).
  virtual HRESULT STDMETHODCALLTYPE GetButtonInfo(HMODULE* phModule, UINT* puBitmapId,
                                                  UINT* puTipId) = 0;
  virtual HRESULT STDMETHODCALLTYPE Create(HWND hwndParent) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetHorzPos(LONG lLeft, LONG lRight) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetPos(LONG lTop, LONG lBottom) = 0;
  virtual HRESULT STDMETHODCALLTYPE Show(LONG lCmdShow) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetFlags(LONG lMask, LONG lValue) = 0;
  virtual HRESULT STDMETHODCALLTYPE TestFlags(LONG lBits) = 0;
  virtual HRESULT STDMETHODCALLTYPE Refresh() = 0;
  // lpszCmd holds kPanelCommandSize bytes.
  virtual HRESULT STDMETHODCALLTYPE GetCommand(LPSTR lpszCmd) = 0;
  virtual HRESULT STDMETHODCALLTYPE HideQuickHelp() = 0;

 protected:
  ~IvokEnginePanel() = default;
};
