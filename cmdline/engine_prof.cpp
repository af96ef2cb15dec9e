#include "cmdline/engine_prof.h"

#include <algorithm>
#include <iterator>

#include "common/class_ids.h"
#include "common/property_util.h"
#include "platform/com/runtime.h"

namespace {

// The pages in the order the sheet shows them.
constexpr CLSID kPages[] = {vok::clsid::kPPFavorites, vok::clsid::kPPShellExec};

}  // namespace

// Null identifiers and repeats are left out, so the count is the number of distinct pages.
HRESULT STDMETHODCALLTYPE vokEngineProf::GetPages(CAUUID* pPages) {
  if (!pPages) return E_POINTER;
  pPages->cElems = 0;
  pPages->pElems = static_cast<CLSID*>(CoTaskMemAlloc(sizeof kPages));
  if (!pPages->pElems) return E_OUTOFMEMORY;
  for (const CLSID& page : kPages) {
    CLSID* begin = pPages->pElems;
    CLSID* end = begin + pPages->cElems;
    if (page == GUID_NULL || std::find(begin, end, page) != end) continue;
    *end = page;
    ++pPages->cElems;
  }
  return S_OK;
}
