// For tests under a real X server (scripts/with-xvfb.sh): a second, independent client of the
// server that reads back what a program did, as another program would see it, and a poll that
// keeps Qt's event loop running while it waits.
#pragma once

#include <xcb/xcb.h>

#include <QCloseEvent>
#include <QWidget>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vok::x11::test {

// A top-level window of the test program that records whether it was asked to close.
class TestWindow : public QWidget {
 public:
  bool closed = false;

 protected:
  void closeEvent(QCloseEvent* event) override {
    closed = true;
    QWidget::closeEvent(event);
  }
};

// Polls `condition` while Qt handles its events, for at most `timeout`; true once it held.
bool WaitFor(const std::function<bool()>& condition,
             std::chrono::milliseconds timeout = std::chrono::seconds(5));

// A window's rectangle in root coordinates.
struct RootGeometry {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const RootGeometry&) const = default;
};

// Another client of the X server DISPLAY names. Owns its connection.
class Observer {
 public:
  Observer();
  ~Observer();
  Observer(const Observer&) = delete;
  Observer& operator=(const Observer&) = delete;

  xcb_connection_t* connection() const { return connection_; }
  xcb_window_t root() const { return root_; }

  xcb_atom_t Atom(const char* name) const;
  // A 32-bit property of any type; empty when it is not set.
  std::vector<uint32_t> Property(xcb_window_t window, const char* name) const;
  bool HasAtom(xcb_window_t window, const char* property, const char* atom) const;
  // The first desktop's _NET_WORKAREA: x, y, width, height (the tests never switch desktops).
  std::vector<uint32_t> WorkArea() const;
  // In _NET_CLIENT_LIST: managed by the window manager.
  bool IsClient(xcb_window_t window) const;
  bool IsViewable(xcb_window_t window) const;
  // _NET_WM_STATE_HIDDEN or the ICCCM iconic state.
  bool IsMinimized(xcb_window_t window) const;
  std::optional<RootGeometry> GeometryOf(xcb_window_t window) const;

  xcb_keycode_t KeycodeOf(uint32_t keysym) const;
  // True when the server let this client grab the key (BadAccess: someone else holds it).
  bool GrabKey(xcb_keycode_t keycode, uint16_t modifiers) const;
  void UngrabKey(xcb_keycode_t keycode, uint16_t modifiers) const;
  // True while another client (the window manager in a keyboard move) holds the keyboard.
  bool KeyboardHeldByOther() const;

  void SendToRoot(xcb_window_t window, const char* type, std::vector<uint32_t> data) const;
  // A plain X window with only a Latin-1 WM_NAME, as old programs set it.
  xcb_window_t MapWindowWithLegacyName(const std::string& latin1Name) const;
  void DestroyWindow(xcb_window_t window) const;

 private:
  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = 0;
};

}  // namespace vok::x11::test
