#include "bar/window_operation.h"

#include <string>

#include "common/text_util.h"

namespace vok::bar {
namespace {

void Apply(x11::Desktop& desktop, WindowOperation operation, const x11::TopLevelWindow& window) {
  switch (operation) {
    case WindowOperation::kMove:
    case WindowOperation::kSize:
      // A keyboard move or size needs the window shown and focused to take the arrow keys.
      if (window.minimized) desktop.Restore(window.id);
      desktop.Activate(window.id);
      if (operation == WindowOperation::kMove) {
        desktop.KeyboardMove(window.id);
      } else {
        desktop.KeyboardSize(window.id);
      }
      break;
    case WindowOperation::kMinimize:
      desktop.Minimize(window.id);
      break;
    case WindowOperation::kMaximize:
      desktop.Maximize(window.id);
      break;
    case WindowOperation::kClose:
      // Activated first so that a "save changes?" question of the application is seen.
      desktop.Activate(window.id);
      desktop.Close(window.id);
      break;
    case WindowOperation::kRestore:
      desktop.Restore(window.id);
      break;
  }
}

}  // namespace

WindowOperationResult RunWindowOperation(x11::Desktop& desktop, WindowOperation operation,
                                         std::string_view titlePart) {
  if (!desktop.Available()) return WindowOperationResult::kDesktopUnavailable;
  const std::string wanted = ToLower(titlePart);
  for (const x11::TopLevelWindow& window : desktop.TopLevelWindows()) {
    if (ToLower(window.title).find(wanted) == std::string::npos) continue;
    Apply(desktop, operation, window);
    return WindowOperationResult::kDone;
  }
  return WindowOperationResult::kNotFound;
}

}  // namespace vok::bar
