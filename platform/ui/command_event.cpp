#include "platform/ui/command_event.h"

#include <QCoreApplication>

namespace vok::ui {

QEvent::Type CommandEventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

bool SendCommand(QObject* host, int id) {
  if (!host) return false;
  CommandEvent event(id);
  return QCoreApplication::sendEvent(host, &event);
}

}  // namespace vok::ui
