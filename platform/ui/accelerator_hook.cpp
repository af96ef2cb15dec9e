#include "platform/ui/accelerator_hook.h"

#include <QApplication>
#include <QKeyEvent>

namespace vok::ui {
namespace {

AcceleratorRegistration& Registration() {
  static AcceleratorRegistration registration;
  return registration;
}

bool BelongsTo(QObject* receiver, QWidget* window) {
  auto* widget = qobject_cast<QWidget*>(receiver);
  return widget && (widget == window || window->isAncestorOf(widget));
}

// Sees every key press before the focused widget does, as a message hook would.
class KeyHook : public QObject {
 protected:
  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const AcceleratorRegistration& current = Registration();
    if (!current.active() || !BelongsTo(receiver, current.window)) return false;
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(keyEvent->keyCombination());
    for (const Accelerator& accelerator : current.table) {
      if (accelerator.key != pressed) continue;
      // Copy: the command may replace the registration (a window closing restores another).
      std::function<void(int)> run = current.onCommand;
      run(accelerator.command);
      return true;
    }
    return false;
  }
};

void InstallHookOnce() {
  static KeyHook* hook = nullptr;
  if (hook || !qApp) return;
  hook = new KeyHook;
  hook->setParent(qApp);
  qApp->installEventFilter(hook);
}

}  // namespace

AcceleratorRegistration CurrentAccelerators() { return Registration(); }

AcceleratorRegistration SetAccelerators(AcceleratorRegistration registration) {
  InstallHookOnce();
  AcceleratorRegistration previous = std::move(Registration());
  Registration() = std::move(registration);
  return previous;
}

}  // namespace vok::ui
