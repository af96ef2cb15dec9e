// vokEngineProf: an engine without commands whose only purpose is to place two pages of the
// command-line library, favorites and filters, into the options sheet the container builds
// from its engines' pages. Its dispatch order (7) puts them between the pages of the
// command-line engine and those of the engines after it.
//
// The container is held without a reference (it outlives its engines). Nothing is stored.
#pragma once

#include "common/engine_ifaces.h"
#include "common/vok_object.h"
#include "platform/com/objidl.h"

class vokEngineProf final : public vok::ObjectRoot<ISpecifyPropertyPages, IvokEngine> {
 public:
  static constexpr LONG kVirtualOrder = 7;

  // IvokEngine
  HRESULT STDMETHODCALLTYPE get_VirtualOrder(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE get_AppHint(LONG* pVal) override;
  HRESULT STDMETHODCALLTYPE Init(IUnknown* pEngineContainerUnk, LONG lHint) override;
  HRESULT STDMETHODCALLTYPE Exit() override { return S_OK; }
  // No word is this engine's: always S_FALSE.
  HRESULT STDMETHODCALLTYPE Command(IUnknown* pParserUnk) override { return S_FALSE; }
  // The stored container without a reference; E_FAIL (and null) before Init.
  HRESULT STDMETHODCALLTYPE GetEngineContainer(IUnknown** ppVal) override;

  // ISpecifyPropertyPages: the favorites page, then the filters page. The caller frees the
  // array with CoTaskMemFree.
  HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pPages) override;

 private:
  IUnknown* container_ = nullptr;
  LONG hint_ = 0;
};
