#include "platform/x11/x_observer.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>

namespace vok::x11::test {
namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Take(T* reply) {
  return Reply<T>(reply, &std::free);
}

constexpr uint32_t kIconicState = 3;

}  // namespace

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

Observer::Observer() {
  int screen = 0;
  connection_ = xcb_connect(nullptr, &screen);
  // Without a server the fixture still constructs (the test then skips): no root to read.
  if (xcb_connection_has_error(connection_)) return;
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
  for (; screen > 0 && it.rem > 0; --screen) xcb_screen_next(&it);
  if (it.rem > 0) root_ = it.data->root;
}

Observer::~Observer() { xcb_disconnect(connection_); }

xcb_atom_t Observer::Atom(const char* name) const {
  auto reply = Take(xcb_intern_atom_reply(
      connection_, xcb_intern_atom(connection_, 0, uint16_t(std::strlen(name)), name), nullptr));
  return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::vector<uint32_t> Observer::Property(xcb_window_t window, const char* name) const {
  auto reply = Take(xcb_get_property_reply(
      connection_,
      xcb_get_property(connection_, 0, window, Atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
      nullptr));
  if (!reply || reply->format != 32) return {};
  auto* data = static_cast<uint32_t*>(xcb_get_property_value(reply.get()));
  return {data, data + xcb_get_property_value_length(reply.get()) / 4};
}

bool Observer::HasAtom(xcb_window_t window, const char* property, const char* atom) const {
  std::vector<uint32_t> atoms = Property(window, property);
  return std::find(atoms.begin(), atoms.end(), Atom(atom)) != atoms.end();
}

std::vector<uint32_t> Observer::WorkArea() const {
  std::vector<uint32_t> area = Property(root_, "_NET_WORKAREA");
  area.resize(4);
  return area;
}

bool Observer::IsClient(xcb_window_t window) const {
  std::vector<uint32_t> clients = Property(root_, "_NET_CLIENT_LIST");
  return std::find(clients.begin(), clients.end(), window) != clients.end();
}

bool Observer::IsViewable(xcb_window_t window) const {
  auto attributes = Take(xcb_get_window_attributes_reply(
      connection_, xcb_get_window_attributes(connection_, window), nullptr));
  return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

bool Observer::IsMinimized(xcb_window_t window) const {
  std::vector<uint32_t> state = Property(window, "WM_STATE");
  return HasAtom(window, "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN") ||
         (!state.empty() && state[0] == kIconicState);
}

std::optional<RootGeometry> Observer::GeometryOf(xcb_window_t window) const {
  auto geometry =
      Take(xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
  auto origin = Take(xcb_translate_coordinates_reply(
      connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr));
  if (!geometry || !origin) return std::nullopt;
  return RootGeometry{origin->dst_x, origin->dst_y, geometry->width, geometry->height};
}

xcb_keycode_t Observer::KeycodeOf(uint32_t keysym) const {
  const xcb_setup_t* setup = xcb_get_setup(connection_);
  int count = setup->max_keycode - setup->min_keycode + 1;
  auto reply = Take(xcb_get_keyboard_mapping_reply(
      connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr));
  if (!reply) return 0;
  const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
  for (int i = 0; i < xcb_get_keyboard_mapping_keysyms_length(reply.get()); ++i) {
    if (keysyms[i] == keysym)
      return xcb_keycode_t(setup->min_keycode + i / reply->keysyms_per_keycode);
  }
  return 0;
}

bool Observer::GrabKey(xcb_keycode_t keycode, uint16_t modifiers) const {
  xcb_generic_error_t* error = xcb_request_check(
      connection_, xcb_grab_key_checked(connection_, 0, root_, modifiers, keycode,
                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
  std::free(error);
  return error == nullptr;
}

void Observer::UngrabKey(xcb_keycode_t keycode, uint16_t modifiers) const {
  xcb_ungrab_key(connection_, keycode, root_, modifiers);
  xcb_flush(connection_);
}

bool Observer::KeyboardHeldByOther() const {
  auto reply =
      Take(xcb_grab_keyboard_reply(connection_,
                                   xcb_grab_keyboard(connection_, 0, root_, XCB_CURRENT_TIME,
                                                     XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                   nullptr));
  if (reply && reply->status == XCB_GRAB_STATUS_SUCCESS) {
    xcb_ungrab_keyboard(connection_, XCB_CURRENT_TIME);
    xcb_flush(connection_);
    return false;
  }
  return reply && reply->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
}

void Observer::SendToRoot(xcb_window_t window, const char* type, std::vector<uint32_t> data) const {
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = Atom(type);
  data.resize(5);
  std::memcpy(event.data.data32, data.data(), 5 * sizeof(uint32_t));
  xcb_send_event(connection_, 0, root_,
                 XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(connection_);
}

xcb_window_t Observer::MapWindowWithLegacyName(const std::string& latin1Name) const {
  xcb_window_t window = xcb_generate_id(connection_);
  xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, root_, 50, 50, 200, 100, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING,
                      8, latin1Name.size(), latin1Name.data());
  xcb_map_window(connection_, window);
  xcb_flush(connection_);
  return window;
}

void Observer::DestroyWindow(xcb_window_t window) const {
  xcb_destroy_window(connection_, window);
  xcb_flush(connection_);
}

}  // namespace vok::x11::test
