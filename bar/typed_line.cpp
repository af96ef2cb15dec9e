#include "bar/typed_line.h"

#include "bar/resources/bar_strings.h"
#include "common/cmdline_ifaces.h"
#include "common/container_ifaces.h"

namespace vok::bar {

HRESULT RunTypedLine(IvokPanelBar* panels, IvokLog* log, bool lineWasBlank) {
  if (!panels) return E_POINTER;
  const HRESULT hr = panels->RunPanelCommand();
  if (TypedLineFailed(hr, lineWasBlank) && log) {
    log->Add(BarString(kIdsNotRecognized).c_str(), kLogError);
    log->Show();
  }
  return hr;
}

}  // namespace vok::bar
