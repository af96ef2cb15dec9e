// The X11 desktop: EWMH requests and properties over an xcb connection, and the global hot key
// as a key grab on the root window. CreateDesktop() (desktop.h) picks it when the application
// runs on Qt's xcb platform and an EWMH window manager is running; these entry points exist
// for that choice and for tests.
#pragma once

#include <memory>

#include "platform/x11/desktop.h"

struct xcb_connection_t;

namespace vok::x11 {

// The desktop of screen `screen` over `connection`, which must be the connection of the
// running QGuiApplication (hot-key presses arrive through Qt's native event filter). Destroy
// the result before the application, or after it is gone (the closed connection is then left
// alone). Null when no EWMH window manager runs on that screen.
std::unique_ptr<Desktop> CreateX11Desktop(xcb_connection_t* connection, int screen);

// A desktop without X11: Available() is false and every operation fails.
std::unique_ptr<Desktop> CreateUnavailableDesktop();

}  // namespace vok::x11
