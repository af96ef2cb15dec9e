// Operations on another application's top-level window, found by part of its title: the
// commands "winmove", "winsize", "minimize", "maximize", "close" and "restore" of the bar.
#pragma once

#include <string_view>

#include "platform/x11/desktop.h"

namespace vok::bar {

enum class WindowOperation { kMove, kSize, kMinimize, kMaximize, kClose, kRestore };

enum class WindowOperationResult {
  kDone,                // the first matching window was asked to do it
  kNotFound,            // no title contains the text
  kDesktopUnavailable,  // no X11 desktop with a window manager
};

// Walks the top-level windows topmost first and acts on the FIRST one whose title contains
// `titlePart`, compared without regard to letter case (UTF-8); no other window is touched.
// Move and size restore a minimised window and activate it before the keyboard move or size
// starts; close activates the window first. An empty `titlePart` matches the topmost window.
WindowOperationResult RunWindowOperation(x11::Desktop& desktop, WindowOperation operation,
                                         std::string_view titlePart);

}  // namespace vok::bar
