// Running the line the user typed, as Enter in the bar does: the selected panel's command goes
// to the container, and a line nobody could run is reported in the log instead of vanishing.
// The bar window and the headless mode share it.
#pragma once

#include "common/vok_types.h"

struct IvokPanelBar;
struct IvokLog;

namespace vok::bar {

// Runs the selected panel's command (IvokPanelBar::RunPanelCommand) and returns its status.
// A failure, or S_FALSE for a line that was not blank (no engine took it and the desktop could
// not open it), adds "Entered name is not recognized ..." as an error entry to `log` and shows
// the log. `lineWasBlank` is read by the caller before the panel hands the line over (a blank
// line also gives S_FALSE and is not an error). Both pointers are borrowed; `log` may be null.
HRESULT RunTypedLine(IvokPanelBar* panels, IvokLog* log, bool lineWasBlank);

// True when RunTypedLine reported the line as not run.
inline bool TypedLineFailed(HRESULT hr, bool lineWasBlank) {
  return FAILED(hr) || (hr == S_FALSE && !lineWasBlank);
}

}  // namespace vok::bar
