// vokEngineProf: an engine without commands whose only purpose is to place two pages of the
// command-line library, favorites and filters, into the options sheet the container builds
// from its engines' pages. Its dispatch order (7) puts them between the pages of the
// command-line engine and those of the engines after it.
//
// Nothing is stored.
#pragma once

#include "common/commandless_engine.h"
#include "platform/com/objidl.h"

class vokEngineProf final : public vok::CommandlessEngine<7, ISpecifyPropertyPages> {
 public:
  // ISpecifyPropertyPages: the favorites page, then the filters page. The caller frees the
  // array with CoTaskMemFree.
  HRESULT STDMETHODCALLTYPE GetPages(CAUUID* pPages) override;
};
