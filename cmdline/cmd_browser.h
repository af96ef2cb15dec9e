// vokCmdBrowser: picks one command line from a tree of every engine's commands in a modal
// dialog, with a persistent history of search texts.
//
// Record: {int32 version = 0, the search history in the fast list's own record}.
#pragma once

#include "common/cmdline_ifaces.h"
#include "common/fast_list_ifaces.h"
#include "common/vok_object.h"

class vokCmdBrowser final : public vok::ObjectRoot<IvokCmdBrowser, IPersistStream> {
 public:
  // IvokCmdBrowser
  // Shows the dialog owned by the active window. S_OK with the confirmed (trimmed) command in
  // the caller's buffer; S_FALSE on Cancel with the buffer untouched.
  HRESULT STDMETHODCALLTYPE BrowseForCmd(LPSTR lpszResCmd, ULONG* lpcbResCmd) override;
  // Keeps the container without a reference (it outlives the browser) and creates the search
  // history; returns the creation status.
  HRESULT STDMETHODCALLTYPE Init(IUnknown* pUnkEC) override;

  // IPersistStream. Load, Save and GetSizeMax need the history: before Init they fail with
  // E_UNEXPECTED and touch no stream.
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) override;
  HRESULT STDMETHODCALLTYPE IsDirty() override;
  HRESULT STDMETHODCALLTYPE Load(IStream* stm) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stm, BOOL fClearDirty) override;
  // The history's own GetSizeMax.
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* pcbSize) override;

 private:
  IUnknown* container_ = nullptr;
  ComPtr<IvokFastList> history_;
};
