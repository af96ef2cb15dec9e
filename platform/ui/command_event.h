// The command message a control sends to its host window (a menu choice, a button, the end of
// a band drag): a QEvent carrying the command identifier, delivered synchronously with
// QCoreApplication::sendEvent. The host overrides QObject::event() and checks
// event->type() == CommandEvent::Type().
#pragma once

#include <QEvent>

#include "platform/com/runtime.h"

namespace vok::ui {

// Registered once per process (in libvokui, so every library sees the same value).
VOK_PLATFORM_API QEvent::Type CommandEventType();

class CommandEvent : public QEvent {
 public:
  explicit CommandEvent(int id) : QEvent(CommandEventType()), id_(id) {}
  static QEvent::Type Type() { return CommandEventType(); }
  int id() const { return id_; }

 private:
  int id_;
};

// Sends the command to `host` and returns whether it was accepted; false for a null host.
VOK_PLATFORM_API bool SendCommand(QObject* host, int id);

}  // namespace vok::ui
