#include "platform/x11/desktop_x11.h"

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

#include <QtGui/qguiapplication_platform.h>
#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMetaObject>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>
#include <utility>

#include "platform/system/process_runner.h"
#include "platform/x11/virtual_keys.h"

#define XK_MISCELLANY
#define XK_LATIN1
#include <X11/keysymdef.h>

namespace vok::x11 {
namespace {

// ---- xcb helpers ----

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

// ICCCM window states (WM_STATE, WM_CHANGE_STATE).
constexpr uint32_t kWithdrawnState = 0;
constexpr uint32_t kNormalState = 1;
constexpr uint32_t kIconicState = 3;

// Long enough for any list or title a window manager or client keeps (in 32-bit units).
constexpr uint32_t kPropertyLongs = 1u << 20;

// How long a dock-type change waits for the window manager to let go of the window.
constexpr std::chrono::milliseconds kWithdrawTimeout{1000};

std::vector<uint32_t> Values32(xcb_get_property_reply_t* reply) {
  if (!reply || reply->format != 32) return {};
  const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
  return std::vector<uint32_t>(data, data + xcb_get_property_value_length(reply) / 4);
}

std::string Bytes(xcb_get_property_reply_t* reply) {
  if (!reply || reply->format != 8) return {};
  std::string text(static_cast<const char*>(xcb_get_property_value(reply)),
                   xcb_get_property_value_length(reply));
  // Some clients include the terminating zero.
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

std::string Latin1ToUtf8(const std::string& latin1) {
  std::string utf8;
  utf8.reserve(latin1.size());
  for (unsigned char c : latin1) {
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

bool Contains(const std::vector<uint32_t>& values, uint32_t value) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

// ---- Hot key ----

// Watches Qt's X event stream for presses of the grabbed key on the root window. The callback
// is queued rather than called from inside Qt's event dispatch, and is held weakly so that a
// press still queued when the key is released (or the desktop destroyed) calls nothing.
class HotKeyFilter final : public QAbstractNativeEventFilter {
 public:
  HotKeyFilter(xcb_window_t root, xcb_keycode_t keycode, uint16_t modifiers,
               uint16_t ignoredModifiers, std::function<void()> pressed)
      : root_(root),
        keycode_(keycode),
        modifiers_(modifiers),
        ignored_(ignoredModifiers),
        pressed_(std::make_shared<const std::function<void()>>(std::move(pressed))) {
    QCoreApplication::instance()->installNativeEventFilter(this);
  }
  ~HotKeyFilter() override {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
  }
  HotKeyFilter(const HotKeyFilter&) = delete;
  HotKeyFilter& operator=(const HotKeyFilter&) = delete;

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
    if (eventType != "xcb_generic_event_t" || !message) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_KEY_PRESS) return false;
    const auto* press = static_cast<const xcb_key_press_event_t*>(message);
    constexpr uint16_t kKeyboardModifiers = 0xFF;  // Shift, Lock, Control, Mod1-Mod5
    if (press->event != root_ || press->detail != keycode_ ||
        (press->state & kKeyboardModifiers & ~ignored_) != modifiers_) {
      return false;
    }
    std::weak_ptr<const std::function<void()>> weak = pressed_;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [weak] {
          if (auto pressed = weak.lock(); pressed && *pressed) (*pressed)();
        },
        Qt::QueuedConnection);
    return true;
  }

 private:
  xcb_window_t root_;
  xcb_keycode_t keycode_;
  uint16_t modifiers_;
  uint16_t ignored_;
  std::shared_ptr<const std::function<void()>> pressed_;
};

// The keyboard's keycode-to-keysym table, as the server has it.
class KeyboardMap {
 public:
  explicit KeyboardMap(xcb_connection_t* connection) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    first_ = setup->min_keycode;
    int count = setup->max_keycode - setup->min_keycode + 1;
    XcbReply<xcb_get_keyboard_mapping_reply_t> reply(xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, first_, count), nullptr));
    if (!reply) return;
    perKeycode_ = reply->keysyms_per_keycode;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    keysyms_.assign(keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(reply.get()));
  }

  // The keycode that produces `keysym`, preferring the key where it is the unshifted symbol
  // (keypad digits sit in the second column, behind NumLock); 0 when no key produces it.
  xcb_keycode_t KeycodeOf(Keysym keysym) const {
    if (perKeycode_ == 0) return 0;
    for (int column = 0; column < perKeycode_; ++column) {
      for (size_t index = column; index < keysyms_.size(); index += perKeycode_) {
        if (keysyms_[index] == keysym)
          return static_cast<xcb_keycode_t>(first_ + index / perKeycode_);
      }
    }
    return 0;
  }

  bool Produces(xcb_keycode_t keycode, Keysym keysym) const {
    if (keycode < first_ || perKeycode_ == 0) return false;
    size_t start = size_t(keycode - first_) * perKeycode_;
    for (size_t i = start; i < start + perKeycode_ && i < keysyms_.size(); ++i) {
      if (keysyms_[i] == keysym) return true;
    }
    return false;
  }

 private:
  xcb_keycode_t first_ = 0;
  int perKeycode_ = 0;
  std::vector<xcb_keysym_t> keysyms_;
};

// The modifier bit a key is bound to (NumLock is usually Mod2, Alt Mod1); `fallback` when the
// server's modifier map does not bind it.
uint16_t ModifierMaskOf(xcb_connection_t* connection, const KeyboardMap& keyboard, Keysym keysym,
                        uint16_t fallback) {
  XcbReply<xcb_get_modifier_mapping_reply_t> reply(
      xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
  if (!reply) return fallback;
  const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(reply.get());
  int perModifier = reply->keycodes_per_modifier;
  for (int modifier = 0; modifier < 8; ++modifier) {
    for (int i = 0; i < perModifier; ++i) {
      xcb_keycode_t keycode = keycodes[modifier * perModifier + i];
      if (keycode != 0 && keyboard.Produces(keycode, keysym)) return uint16_t(1u << modifier);
    }
  }
  return fallback;
}

// ---- The desktop without X11 ----

class UnavailableDesktop final : public Desktop {
 public:
  bool Available() const override { return false; }
  bool SetDockType(QWidget*, bool) override { return false; }
  bool SetStrut(QWidget*, DockEdge, int) override { return false; }
  bool SetAbove(QWidget*, bool) override { return false; }
  RECT WorkArea() const override { return RECT{0, 0, 0, 0}; }
  std::vector<TopLevelWindow> TopLevelWindows() const override { return {}; }
  WindowId ActiveWindow() const override { return 0; }
  WindowId IdOf(QWidget*) const override { return 0; }
  bool Activate(WindowId) override { return false; }
  bool Minimize(WindowId) override { return false; }
  bool Restore(WindowId) override { return false; }
  bool Maximize(WindowId) override { return false; }
  bool Close(WindowId) override { return false; }
  bool KeyboardMove(WindowId) override { return false; }
  bool KeyboardSize(WindowId) override { return false; }
  bool ShowDesktop(bool) override { return false; }
  bool GrabHotKey(uint8_t, uint8_t, std::function<void()>) override { return false; }
  void UngrabHotKey() override {}
  bool StartScreenSaver() override { return false; }
};

// ---- The X11 desktop ----

struct EwmhDeleter {
  void operator()(xcb_ewmh_connection_t* ewmh) const {
    xcb_ewmh_connection_wipe(ewmh);
    delete ewmh;
  }
};
using Ewmh = std::unique_ptr<xcb_ewmh_connection_t, EwmhDeleter>;

class X11Desktop final : public Desktop {
 public:
  X11Desktop(xcb_connection_t* connection, int screen, Ewmh ewmh, xcb_atom_t wmState,
             xcb_atom_t wmChangeState)
      : connection_(connection),
        screen_(screen),
        root_(ewmh->screens[screen]->root),
        ewmh_(std::move(ewmh)),
        wmState_(wmState),
        wmChangeState_(wmChangeState) {}

  // Qt closes its connection with the application; after that the grabs are gone with it and
  // the connection must not be touched.
  ~X11Desktop() override {
    if (QCoreApplication::instance()) UngrabHotKey();
  }

  bool Available() const override { return true; }

  bool SetDockType(QWidget* window, bool dock) override {
    xcb_window_t id = IdOf(window);
    if (!id) return false;
    std::vector<uint32_t> types;
    if (dock) {
      types = {ewmh_->_NET_WM_WINDOW_TYPE_DOCK};
    } else {
      types = {ewmh_->_NET_WM_WINDOW_TYPE_UTILITY, ewmh_->_NET_WM_WINDOW_TYPE_NORMAL};
    }
    if (Property32(id, ewmh_->_NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM) == types) return true;
    if (!IsManaged(id)) {
      SetAtoms(id, ewmh_->_NET_WM_WINDOW_TYPE, types);
      Flush();
      return true;
    }
    // The window manager reads the type only when it takes a window on: withdraw the window,
    // wait until it is let go, and map it again. The manager drops _NET_WM_STATE on withdrawal,
    // so the states (above, sticky ...) are carried over by hand.
    std::vector<uint32_t> states = Property32(id, ewmh_->_NET_WM_STATE, XCB_ATOM_ATOM);
    states.erase(std::remove(states.begin(), states.end(), ewmh_->_NET_WM_STATE_HIDDEN),
                 states.end());
    Withdraw(id);
    WaitUntilWithdrawn(id);
    SetAtoms(id, ewmh_->_NET_WM_WINDOW_TYPE, types);
    SetAtoms(id, ewmh_->_NET_WM_STATE, states);
    xcb_map_window(connection_, id);
    Flush();
    return true;
  }

  bool SetStrut(QWidget* window, DockEdge edge, int thickness) override {
    xcb_window_t id = IdOf(window);
    if (!id || thickness < 0) return false;
    if (thickness == 0) {
      xcb_delete_property(connection_, id, ewmh_->_NET_WM_STRUT_PARTIAL);
      xcb_delete_property(connection_, id, ewmh_->_NET_WM_STRUT);
      Flush();
      return true;
    }
    const std::pair<int, int> extent = HorizontalExtent(window);
    // left, right, top, bottom, then start/end pairs for the left, right, top and bottom struts.
    std::array<uint32_t, 12> partial{};
    if (edge == DockEdge::kTop) {
      partial[2] = uint32_t(thickness);
      partial[8] = uint32_t(extent.first);
      partial[9] = uint32_t(extent.second);
    } else {
      partial[3] = uint32_t(thickness);
      partial[10] = uint32_t(extent.first);
      partial[11] = uint32_t(extent.second);
    }
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, id, ewmh_->_NET_WM_STRUT_PARTIAL,
                        XCB_ATOM_CARDINAL, 32, partial.size(), partial.data());
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, id, ewmh_->_NET_WM_STRUT,
                        XCB_ATOM_CARDINAL, 32, 4, partial.data());
    Flush();
    return true;
  }

  bool SetAbove(QWidget* window, bool above) override {
    xcb_window_t id = IdOf(window);
    if (!id) return false;
    if (IsManaged(id)) {
      xcb_ewmh_request_change_wm_state(
          ewmh_.get(), screen_, id, above ? XCB_EWMH_WM_STATE_ADD : XCB_EWMH_WM_STATE_REMOVE,
          ewmh_->_NET_WM_STATE_ABOVE, 0, XCB_EWMH_CLIENT_SOURCE_TYPE_NORMAL);
    } else {
      // A window the manager has not taken on yet: it reads the property when it does.
      std::vector<uint32_t> states = Property32(id, ewmh_->_NET_WM_STATE, XCB_ATOM_ATOM);
      auto found = std::find(states.begin(), states.end(), ewmh_->_NET_WM_STATE_ABOVE);
      if (above && found == states.end()) states.push_back(ewmh_->_NET_WM_STATE_ABOVE);
      if (!above && found != states.end()) states.erase(found);
      SetAtoms(id, ewmh_->_NET_WM_STATE, states);
    }
    Flush();
    return true;
  }

  RECT WorkArea() const override {
    std::vector<uint32_t> current =
        Property32(root_, ewmh_->_NET_CURRENT_DESKTOP, XCB_ATOM_CARDINAL);
    std::vector<uint32_t> areas = Property32(root_, ewmh_->_NET_WORKAREA, XCB_ATOM_CARDINAL);
    size_t desktop = current.empty() ? 0 : current[0];
    if (areas.size() < 4 * (desktop + 1)) desktop = 0;
    if (areas.size() < 4) return RECT{0, 0, 0, 0};
    const uint32_t* area = &areas[4 * desktop];
    LONG left = LONG(int32_t(area[0]));
    LONG top = LONG(int32_t(area[1]));
    return RECT{left, top, left + LONG(area[2]), top + LONG(area[3])};
  }

  std::vector<TopLevelWindow> TopLevelWindows() const override {
    std::vector<uint32_t> stacking =
        Property32(root_, ewmh_->_NET_CLIENT_LIST_STACKING, XCB_ATOM_WINDOW);
    std::reverse(stacking.begin(), stacking.end());  // bottom-to-top in the property
    // Ask for every title and state first, then collect: one round trip for the whole list.
    struct Pending {
      xcb_get_property_cookie_t netName, name, state;
    };
    std::vector<Pending> pending;
    pending.reserve(stacking.size());
    for (xcb_window_t id : stacking) {
      pending.push_back({xcb_get_property(connection_, 0, id, ewmh_->_NET_WM_NAME,
                                          ewmh_->UTF8_STRING, 0, kPropertyLongs),
                         xcb_get_property(connection_, 0, id, XCB_ATOM_WM_NAME,
                                          XCB_GET_PROPERTY_TYPE_ANY, 0, kPropertyLongs),
                         xcb_get_property(connection_, 0, id, ewmh_->_NET_WM_STATE, XCB_ATOM_ATOM,
                                          0, kPropertyLongs)});
    }
    std::vector<TopLevelWindow> windows;
    windows.reserve(stacking.size());
    for (size_t i = 0; i < stacking.size(); ++i) {
      XcbReply<xcb_get_property_reply_t> netName(
          xcb_get_property_reply(connection_, pending[i].netName, nullptr));
      XcbReply<xcb_get_property_reply_t> name(
          xcb_get_property_reply(connection_, pending[i].name, nullptr));
      XcbReply<xcb_get_property_reply_t> state(
          xcb_get_property_reply(connection_, pending[i].state, nullptr));
      if (!name && !netName && !state) continue;  // gone since the list was read
      TopLevelWindow window;
      window.id = stacking[i];
      if (netName && netName->type == ewmh_->UTF8_STRING) {
        window.title = Bytes(netName.get());
      } else if (name && name->type == XCB_ATOM_STRING) {
        window.title = Latin1ToUtf8(Bytes(name.get()));
      } else if (name) {
        window.title = Bytes(name.get());  // UTF8_STRING or compound text
      }
      window.minimized = Contains(Values32(state.get()), ewmh_->_NET_WM_STATE_HIDDEN);
      windows.push_back(std::move(window));
    }
    return windows;
  }

  WindowId ActiveWindow() const override {
    std::vector<uint32_t> active = Property32(root_, ewmh_->_NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW);
    return active.empty() ? 0 : active[0];
  }

  WindowId IdOf(QWidget* window) const override {
    if (!window) return 0;
    return static_cast<WindowId>(window->window()->winId());
  }

  bool Activate(WindowId id) override {
    if (!IsClient(id)) return false;
    RequestActivation(id);
    Flush();
    return true;
  }

  bool Minimize(WindowId id) override {
    if (!IsClient(id)) return false;
    const uint32_t data[] = {kIconicState};
    xcb_ewmh_send_client_message(connection_, id, root_, wmChangeState_, sizeof(data), data);
    Flush();
    return true;
  }

  // A minimised window comes back as it was; a window that is not minimised leaves the
  // maximised state, as a restore command does on a maximised window.
  bool Restore(WindowId id) override {
    if (!IsClient(id)) return false;
    if (IsMinimized(id)) {
      ChangeState(id, XCB_EWMH_WM_STATE_REMOVE, ewmh_->_NET_WM_STATE_HIDDEN, 0);
    } else {
      ChangeState(id, XCB_EWMH_WM_STATE_REMOVE, ewmh_->_NET_WM_STATE_MAXIMIZED_VERT,
                  ewmh_->_NET_WM_STATE_MAXIMIZED_HORZ);
    }
    RequestActivation(id);
    Flush();
    return true;
  }

  bool Maximize(WindowId id) override {
    if (!IsClient(id)) return false;
    ChangeState(id, XCB_EWMH_WM_STATE_ADD, ewmh_->_NET_WM_STATE_MAXIMIZED_VERT,
                ewmh_->_NET_WM_STATE_MAXIMIZED_HORZ);
    // Maximising a minimised window shows it, as the command does elsewhere.
    if (IsMinimized(id)) RequestActivation(id);
    Flush();
    return true;
  }

  bool Close(WindowId id) override {
    if (!IsClient(id)) return false;
    xcb_ewmh_request_close_window(ewmh_.get(), screen_, id, XCB_CURRENT_TIME,
                                  XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    Flush();
    return true;
  }

  bool KeyboardMove(WindowId id) override {
    return MoveResize(id, XCB_EWMH_WM_MOVERESIZE_MOVE_KEYBOARD);
  }
  bool KeyboardSize(WindowId id) override {
    return MoveResize(id, XCB_EWMH_WM_MOVERESIZE_SIZE_KEYBOARD);
  }

  bool ShowDesktop(bool show) override {
    // Addressed to the root window itself: managers ignore the message when it names no
    // window, which is what the library's helper for it sends.
    const uint32_t data[] = {show ? 1u : 0u};
    xcb_ewmh_send_client_message(connection_, root_, root_, ewmh_->_NET_SHOWING_DESKTOP,
                                 sizeof(data), data);
    Flush();
    return true;
  }

  bool GrabHotKey(uint8_t virtualKey, uint8_t modifiers, std::function<void()> pressed) override {
    UngrabHotKey();
    Keysym keysym = KeysymFromVirtualKey(virtualKey);
    if (keysym == 0 || !QCoreApplication::instance()) return false;
    KeyboardMap keyboard(connection_);
    xcb_keycode_t keycode = keyboard.KeycodeOf(keysym);
    if (keycode == 0) return false;

    uint16_t alt = ModifierMaskOf(connection_, keyboard, XK_Alt_L, XCB_MOD_MASK_1);
    uint16_t numLock = ModifierMaskOf(connection_, keyboard, XK_Num_Lock, XCB_MOD_MASK_2);
    uint16_t mask = 0;
    if (modifiers & kHotKeyShift) mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & kHotKeyCtrl) mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & kHotKeyAlt) mask |= alt;

    // The grab must hold whatever the state of CapsLock and NumLock.
    std::vector<uint16_t> combinations;
    for (uint16_t locks : {uint16_t(0), uint16_t(XCB_MOD_MASK_LOCK), numLock,
                           uint16_t(XCB_MOD_MASK_LOCK | numLock)}) {
      uint16_t combination = mask | locks;
      if (std::find(combinations.begin(), combinations.end(), combination) == combinations.end())
        combinations.push_back(combination);
    }
    std::vector<xcb_void_cookie_t> cookies;
    for (uint16_t combination : combinations) {
      cookies.push_back(xcb_grab_key_checked(connection_, 0, root_, combination, keycode,
                                             XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    // BadAccess: another client holds one of the combinations. Keep none of them then, so
    // that the key is either fully ours or not at all.
    bool refused = false;
    std::vector<uint16_t> held;
    for (size_t i = 0; i < cookies.size(); ++i) {
      XcbReply<xcb_generic_error_t> error(xcb_request_check(connection_, cookies[i]));
      if (error) {
        refused = true;
      } else {
        held.push_back(combinations[i]);
      }
    }
    if (refused) {
      for (uint16_t combination : held) xcb_ungrab_key(connection_, keycode, root_, combination);
      Sync();
      return false;
    }
    grabbedKeycode_ = keycode;
    grabbedCombinations_ = std::move(held);
    filter_ = std::make_unique<HotKeyFilter>(
        root_, keycode, mask, uint16_t(XCB_MOD_MASK_LOCK | numLock), std::move(pressed));
    Flush();
    return true;
  }

  void UngrabHotKey() override {
    filter_.reset();
    for (uint16_t combination : grabbedCombinations_) {
      xcb_ungrab_key(connection_, grabbedKeycode_, root_, combination);
    }
    if (!grabbedCombinations_.empty()) Sync();
    grabbedCombinations_.clear();
    grabbedKeycode_ = 0;
  }

  bool StartScreenSaver() override {
    return sys::CurrentProcessRunner().StartDetached({"xdg-screensaver", "activate"}, "");
  }

 private:
  void Flush() { xcb_flush(connection_); }
  // A round trip: once it returns the server has carried out every request sent before, so a
  // released key is free for other programs when UngrabHotKey returns.
  void Sync() {
    XcbReply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
  }

  std::vector<uint32_t> Property32(xcb_window_t window, xcb_atom_t property,
                                   xcb_atom_t type) const {
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, window, property, type, 0, kPropertyLongs),
        nullptr));
    if (!reply || reply->type != type) return {};
    return Values32(reply.get());
  }

  void SetAtoms(xcb_window_t window, xcb_atom_t property, const std::vector<uint32_t>& atoms) {
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, property, XCB_ATOM_ATOM, 32,
                        atoms.size(), atoms.data());
  }

  // The ICCCM state the window manager gives a window; nullopt when it has none (withdrawn,
  // or not taken on yet).
  std::optional<uint32_t> WmState(xcb_window_t window) const {
    std::vector<uint32_t> state = Property32(window, wmState_, wmState_);
    if (state.empty()) return std::nullopt;
    return state[0];
  }

  // Mapped, or minimised by the window manager: requests go through the manager.
  bool IsManaged(xcb_window_t window) const {
    std::optional<uint32_t> state = WmState(window);
    if (state && (*state == kNormalState || *state == kIconicState)) return true;
    XcbReply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, window), nullptr));
    return attributes && attributes->map_state != XCB_MAP_STATE_UNMAPPED;
  }

  bool IsClient(WindowId id) const {
    return id != 0 && Contains(Property32(root_, ewmh_->_NET_CLIENT_LIST, XCB_ATOM_WINDOW), id);
  }

  bool IsMinimized(WindowId id) const {
    return Contains(Property32(id, ewmh_->_NET_WM_STATE, XCB_ATOM_ATOM),
                    ewmh_->_NET_WM_STATE_HIDDEN) ||
           WmState(id) == kIconicState;
  }

  // Withdraws a window as ICCCM asks: unmap it and tell the manager with a synthetic
  // UnmapNotify on the root window.
  void Withdraw(xcb_window_t window) {
    xcb_unmap_window(connection_, window);
    xcb_unmap_notify_event_t event{};
    event.response_type = XCB_UNMAP_NOTIFY;
    event.event = root_;
    event.window = window;
    event.from_configure = 0;
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&event));
    Flush();
  }

  // Until the manager has reparented the window back to the root and dropped its state, or
  // the time-out passed (a manager that never answers must not hang the bar).
  void WaitUntilWithdrawn(xcb_window_t window) {
    auto deadline = std::chrono::steady_clock::now() + kWithdrawTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
      XcbReply<xcb_query_tree_reply_t> tree(
          xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
      if (!tree) return;  // the window is gone
      std::optional<uint32_t> state = WmState(window);
      if (tree->parent == root_ && (!state || *state == kWithdrawnState)) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  // The window's extent on the root window where the program placed it: the server's geometry
  // lags behind a move the window manager has not carried out yet, and a docking bar moves and
  // reserves its strip in one go.
  std::pair<int, int> HorizontalExtent(QWidget* window) const {
    const QWidget* top = window->window();
    const qreal ratio = top->devicePixelRatioF();
    // A shown widget learns its new geometry only when the server confirms the move; the
    // native window holds the geometry just asked for.
    const QRect placed = top->windowHandle() ? top->windowHandle()->geometry() : top->geometry();
    const int left = qRound(placed.x() * ratio);
    const int width = qRound(placed.width() * ratio);
    int rootWidth = ewmh_->screens[screen_]->width_in_pixels;
    int start = std::clamp(left, 0, rootWidth - 1);
    int end = std::clamp(left + width - 1, start, rootWidth - 1);
    return std::make_pair(start, end);
  }

  void RequestActivation(WindowId id) {
    xcb_ewmh_request_change_active_window(ewmh_.get(), screen_, id,
                                          XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, XCB_CURRENT_TIME,
                                          ActiveWindow());
  }

  void ChangeState(WindowId id, xcb_ewmh_wm_state_action_t action, xcb_atom_t first,
                   xcb_atom_t second) {
    xcb_ewmh_request_change_wm_state(ewmh_.get(), screen_, id, action, first, second,
                                     XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
  }

  bool MoveResize(WindowId id, xcb_ewmh_moveresize_direction_t direction) {
    if (!IsClient(id)) return false;
    xcb_ewmh_request_wm_moveresize(ewmh_.get(), screen_, id, 0, 0, direction, XCB_BUTTON_INDEX_ANY,
                                   XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
    Flush();
    return true;
  }

  xcb_connection_t* connection_;
  int screen_;
  xcb_window_t root_;
  Ewmh ewmh_;
  xcb_atom_t wmState_;
  xcb_atom_t wmChangeState_;

  std::unique_ptr<HotKeyFilter> filter_;
  xcb_keycode_t grabbedKeycode_ = 0;
  std::vector<uint16_t> grabbedCombinations_;
};

xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name) {
  XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr));
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// A window manager announces itself with a child window named on the root window that names
// itself as well; a stale property left by a manager that exited names a window that is gone.
bool WindowManagerRunning(xcb_ewmh_connection_t* ewmh, int screen) {
  xcb_window_t root = ewmh->screens[screen]->root;
  xcb_window_t check = XCB_WINDOW_NONE;
  if (!xcb_ewmh_get_supporting_wm_check_reply(ewmh, xcb_ewmh_get_supporting_wm_check(ewmh, root),
                                              &check, nullptr) ||
      check == XCB_WINDOW_NONE) {
    return false;
  }
  xcb_window_t self = XCB_WINDOW_NONE;
  return xcb_ewmh_get_supporting_wm_check_reply(ewmh, xcb_ewmh_get_supporting_wm_check(ewmh, check),
                                                &self, nullptr) &&
         self == check;
}

// The screen Qt connected to: the one DISPLAY names.
int DefaultScreen() {
  char* host = nullptr;
  int display = 0;
  int screen = 0;
  int parsed = xcb_parse_display(nullptr, &host, &display, &screen);
  std::free(host);
  return parsed ? screen : 0;
}

}  // namespace

std::unique_ptr<Desktop> CreateX11Desktop(xcb_connection_t* connection, int screen) {
  if (!connection || xcb_connection_has_error(connection)) return nullptr;
  Ewmh ewmh(new xcb_ewmh_connection_t{});
  xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(connection, ewmh.get());
  if (!cookies) {  // no screens: nothing was allocated
    delete ewmh.release();
    return nullptr;
  }
  // On failure the replies call wipe themselves: release without wiping twice.
  if (!xcb_ewmh_init_atoms_replies(ewmh.get(), cookies, nullptr)) {
    delete ewmh.release();
    return nullptr;
  }
  if (screen < 0 || screen >= ewmh->nb_screens || !WindowManagerRunning(ewmh.get(), screen)) {
    return nullptr;
  }
  xcb_atom_t wmState = InternAtom(connection, "WM_STATE");
  xcb_atom_t wmChangeState = InternAtom(connection, "WM_CHANGE_STATE");
  if (wmState == XCB_ATOM_NONE || wmChangeState == XCB_ATOM_NONE) return nullptr;
  return std::make_unique<X11Desktop>(connection, screen, std::move(ewmh), wmState, wmChangeState);
}

std::unique_ptr<Desktop> CreateUnavailableDesktop() {
  return std::make_unique<UnavailableDesktop>();
}

std::unique_ptr<Desktop> CreateDesktop() {
  auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  auto* x11 =
      application ? application->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 && x11->connection()) {
    if (std::unique_ptr<Desktop> desktop = CreateX11Desktop(x11->connection(), DefaultScreen()))
      return desktop;
  }
  return CreateUnavailableDesktop();
}

}  // namespace vok::x11
