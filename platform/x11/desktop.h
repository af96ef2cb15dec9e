// The desktop around the bar: docking with a reserved strip of the screen, always on top, the
// other applications' top-level windows, the active window, show desktop, the global hot key
// and the screen saver. The program uses the X11 implementation (EWMH through xcb); tests of
// the bar and of the user-interface engine use FakeDesktop, and the X11 implementation itself
// is tested under Xvfb with a window manager.
//
// Without an X11 display (Wayland without XWayland, the offscreen platform) the X11 desktop
// reports !Available() and every operation fails with false, so callers can say why instead of
// failing silently.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/vok_types.h"

class QWidget;

namespace vok::x11 {

// A top-level window of another application (or of the bar itself).
using WindowId = uint32_t;

struct TopLevelWindow {
  WindowId id = 0;
  std::string title;  // _NET_WM_NAME (UTF-8), else WM_NAME
  bool minimized = false;
};

enum class DockEdge { kTop = 0, kBottom = 1 };

// Hot-key modifiers, as the bar stores them.
constexpr uint8_t kHotKeyShift = 1;
constexpr uint8_t kHotKeyCtrl = 2;
constexpr uint8_t kHotKeyAlt = 4;

class Desktop {
 public:
  virtual ~Desktop() = default;

  // False without an X11 display or without an EWMH window manager.
  virtual bool Available() const = 0;

  // ---- The bar's own window (`window` must be a native top-level widget) ----

  // Makes `window` a dock (_NET_WM_WINDOW_TYPE_DOCK) or a normal tool window again. A window
  // manager only reads the type when the window is mapped: the implementation unmaps and maps
  // again when needed.
  virtual bool SetDockType(QWidget* window, bool dock) = 0;
  // Reserves `thickness` pixels at `edge` of the screen for `window` (_NET_WM_STRUT_PARTIAL
  // and _NET_WM_STRUT, over the window's horizontal extent); thickness 0 removes the
  // reservation.
  virtual bool SetStrut(QWidget* window, DockEdge edge, int thickness) = 0;
  // _NET_WM_STATE_ABOVE on or off.
  virtual bool SetAbove(QWidget* window, bool above) = 0;
  // The work area the window manager leaves (_NET_WORKAREA of the current desktop), in
  // screen coordinates; an empty rectangle when unknown.
  virtual RECT WorkArea() const = 0;

  // ---- Other windows ----

  // The managed top-level windows in z-order, topmost first (_NET_CLIENT_LIST_STACKING).
  virtual std::vector<TopLevelWindow> TopLevelWindows() const = 0;
  // _NET_ACTIVE_WINDOW; 0 for none.
  virtual WindowId ActiveWindow() const = 0;
  // The native id of one of our widgets (its top-level window).
  virtual WindowId IdOf(QWidget* window) const = 0;

  virtual bool Activate(WindowId id) = 0;      // _NET_ACTIVE_WINDOW request
  virtual bool Minimize(WindowId id) = 0;      // WM_CHANGE_STATE iconic
  virtual bool Restore(WindowId id) = 0;       // activate, maximized state off
  virtual bool Maximize(WindowId id) = 0;      // _NET_WM_STATE maximized both ways
  virtual bool Close(WindowId id) = 0;         // _NET_CLOSE_WINDOW
  virtual bool KeyboardMove(WindowId id) = 0;  // _NET_WM_MOVERESIZE keyboard move
  virtual bool KeyboardSize(WindowId id) = 0;  // _NET_WM_MOVERESIZE keyboard size
  virtual bool ShowDesktop(bool show) = 0;     // _NET_SHOWING_DESKTOP

  // ---- Global hot key ----

  // Grabs the key with virtual-key code `virtualKey` (as the bar stores it; see
  // virtual_keys.h) and the bar's modifier flags on the root window, and calls `pressed` on
  // the GUI thread whenever it is pressed, until UngrabHotKey or another GrabHotKey. False when
  // another program holds the combination or the code names no key.
  virtual bool GrabHotKey(uint8_t virtualKey, uint8_t modifiers, std::function<void()> pressed) = 0;
  virtual void UngrabHotKey() = 0;

  // Starts the screen saver chosen in the desktop's settings (xdg-screensaver activate).
  virtual bool StartScreenSaver() = 0;
};

// The X11 desktop when the application runs on the xcb platform, else one that is not
// available. Needs a QGuiApplication.
std::unique_ptr<Desktop> CreateDesktop();

}  // namespace vok::x11
