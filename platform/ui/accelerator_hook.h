// The keyboard accelerators of the window that currently owns them. One window at a time holds
// the registration: the command-line panel while the bar runs, a modal window (File
// Management) while it is open, nobody while an entry is being renamed in place. A key press
// that reaches the registered window, or any widget inside it, and matches the table runs the
// table's command instead of reaching the focused widget.
//
// A window that takes the registration saves what SetAccelerators returns and gives it back
// when it closes.
#pragma once

#include <functional>
#include <vector>

#include <QKeySequence>
#include <QPointer>
#include <QWidget>

#include "platform/com/runtime.h"

namespace vok::ui {

struct Accelerator {
  QKeySequence key;  // one key combination
  int command = 0;
};

struct AcceleratorRegistration {
  QPointer<QWidget> window;          // none: no accelerators are active
  std::vector<Accelerator> table;
  std::function<void(int command)> onCommand;

  bool active() const { return window && onCommand && !table.empty(); }
};

// What is registered now (a copy).
VOK_PLATFORM_API AcceleratorRegistration CurrentAccelerators();
// Replaces the registration and returns the previous one. Installs the application-wide key
// hook on first use (a QApplication must exist by then).
VOK_PLATFORM_API AcceleratorRegistration SetAccelerators(AcceleratorRegistration registration);

// Takes the registration for its own lifetime and gives the previous one back.
class ScopedAccelerators {
 public:
  explicit ScopedAccelerators(AcceleratorRegistration registration)
      : previous_(SetAccelerators(std::move(registration))) {}
  ~ScopedAccelerators() { SetAccelerators(std::move(previous_)); }
  ScopedAccelerators(const ScopedAccelerators&) = delete;
  ScopedAccelerators& operator=(const ScopedAccelerators&) = delete;

 private:
  AcceleratorRegistration previous_;
};

}  // namespace vok::ui
