// A desktop for tests of the bar and of the user-interface engine: holds a list of windows in
// z-order and records every request, so tests check what the bar asked for without a display.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "platform/x11/desktop.h"

namespace vok::x11 {

class FakeDesktop final : public Desktop {
 public:
  // What was asked, in order: "dock-type 1", "strut bottom 6", "above 1", "minimize 7",
  // "activate 7", "grab 65 6", "ungrab", "show-desktop 1", "screensaver" ...
  std::vector<std::string> calls;
  // Windows in z-order, topmost first.
  std::vector<TopLevelWindow> windows;
  WindowId active = 0;
  bool available = true;
  // The result every window request gives.
  bool succeed = true;
  // Set by GrabHotKey; tests call it to press the key.
  std::function<void()> hotKey;
  RECT workArea{0, 0, 1024, 768};

  bool Available() const override { return available; }

  bool SetDockType(QWidget*, bool dock) override { return Record("dock-type " + Flag(dock)); }
  bool SetStrut(QWidget*, DockEdge edge, int thickness) override {
    return Record(std::string("strut ") + (edge == DockEdge::kTop ? "top " : "bottom ") +
                  std::to_string(thickness));
  }
  bool SetAbove(QWidget*, bool above) override { return Record("above " + Flag(above)); }
  RECT WorkArea() const override { return workArea; }

  std::vector<TopLevelWindow> TopLevelWindows() const override { return windows; }
  WindowId ActiveWindow() const override { return active; }
  WindowId IdOf(QWidget*) const override { return 1; }

  bool Activate(WindowId id) override {
    if (succeed) active = id;
    return Record("activate", id);
  }
  bool Minimize(WindowId id) override { return Record("minimize", id); }
  bool Restore(WindowId id) override { return Record("restore", id); }
  bool Maximize(WindowId id) override { return Record("maximize", id); }
  bool Close(WindowId id) override { return Record("close", id); }
  bool KeyboardMove(WindowId id) override { return Record("move", id); }
  bool KeyboardSize(WindowId id) override { return Record("size", id); }
  bool ShowDesktop(bool show) override { return Record("show-desktop " + Flag(show)); }

  bool GrabHotKey(uint8_t virtualKey, uint8_t modifiers, std::function<void()> pressed) override {
    if (succeed && virtualKey != 0) hotKey = std::move(pressed);
    return Record("grab " + std::to_string(virtualKey) + " " + std::to_string(modifiers)) &&
           virtualKey != 0;
  }
  void UngrabHotKey() override {
    hotKey = nullptr;
    calls.push_back("ungrab");
  }
  bool StartScreenSaver() override { return Record("screensaver"); }

 private:
  static std::string Flag(bool on) { return on ? "1" : "0"; }
  bool Record(std::string call) {
    calls.push_back(std::move(call));
    return available && succeed;
  }
  bool Record(const char* verb, WindowId id) {
    return Record(std::string(verb) + " " + std::to_string(id));
  }
};

}  // namespace vok::x11
