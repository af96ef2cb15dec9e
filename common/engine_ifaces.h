// The engine contract: every engine implements IvokEngine; the container looks for the other
// interfaces on each engine and skips engines that lack them.
#pragma once

#include "platform/com/unknwn.h"

struct IvokEngine : IUnknown {
  VOK_INTERFACE(IUnknown, 0x00CFF242, 0x6F10, 0x11D2, 0x99, 0x7B, 0x00, 0x60, 0x97, 0x39, 0xCF,
                0x2C);
  // Place in dispatch order: the container asks engines by ascending value.
  virtual HRESULT STDMETHODCALLTYPE get_VirtualOrder(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AppHint(LONG* pVal) = 0;
  // Stores the container without a reference (it outlives its engines) and registers the
  // command table for lHint. A failure makes the container drop the engine.
  virtual HRESULT STDMETHODCALLTYPE Init(IUnknown* pEngineContainerUnk, LONG lHint) = 0;
  virtual HRESULT STDMETHODCALLTYPE Exit() = 0;
  // S_FALSE exactly when the command word is not this engine's.
  virtual HRESULT STDMETHODCALLTYPE Command(IUnknown* pParserUnk) = 0;
  // Hands out the container without a reference; the caller must not release it.
  virtual HRESULT STDMETHODCALLTYPE GetEngineContainer(IUnknown** ppVal) = 0;

 protected:
  ~IvokEngine() = default;
};

struct IvokEngineCmdTable : IUnknown {
  VOK_INTERFACE(IUnknown, 0x2F97A680, 0x89F8, 0x11D2, 0x9D, 0x1B, 0x00, 0x10, 0x4B, 0xB6, 0x41,
                0xA7);
  virtual HRESULT STDMETHODCALLTYPE get_CaseSensitive(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_CaseSensitive(LONG newVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE RegisterCommands(LONG lHint) = 0;
  virtual HRESULT STDMETHODCALLTYPE Command(IUnknown* pParserUnk) = 0;
  virtual HRESULT STDMETHODCALLTYPE IsCommandRegistered(LPCSTR lpszCmd) = 0;
  virtual HRESULT STDMETHODCALLTYPE RemoveItemCommands() = 0;
  virtual HRESULT STDMETHODCALLTYPE RegisterItemCommands() = 0;

 protected:
  ~IvokEngineCmdTable() = default;
};

struct IvokCommandInfo : IUnknown {
  VOK_INTERFACE(IUnknown, 0x3B9ACF00, 0x8DDE, 0x11D2, 0xA4, 0x04, 0xD9, 0x2B, 0x05, 0x66, 0x3A,
                0x82);
  // The three buffers hold at least 127 bytes each.
  virtual HRESULT STDMETHODCALLTYPE GetCommandInfo(LPCSTR lpszWord, LPSTR lpszName,
                                                   LPSTR lpszSyntax, LPSTR lpszDescription,
                                                   LONG* plIndex, LONG lReserved) = 0;
  // hwndTree is a QTreeWidget.
  virtual HRESULT STDMETHODCALLTYPE FillCommandTree(HWND hwndTree) = 0;
  // lpszOut holds at least 128 bytes.
  virtual HRESULT STDMETHODCALLTYPE MatchCommand(LPCSTR lpszPattern, LPSTR lpszOut,
                                                 LONG lHiddenToo) = 0;

 protected:
  ~IvokCommandInfo() = default;
};

struct IvokEngineMenu : IUnknown {
  VOK_INTERFACE(IUnknown, 0x712D2120, 0xC4E9, 0x11D2, 0xA6, 0x36, 0x00, 0x10, 0x4B, 0xB6, 0x41,
                0xA7);
  virtual HRESULT STDMETHODCALLTYPE AddMenuItems(HMENU hMenu) = 0;

 protected:
  ~IvokEngineMenu() = default;
};
