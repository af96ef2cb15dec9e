#include "platform/ui/cursor_device.h"

#include <QCursor>
#include <QGuiApplication>

namespace vok::ui {
namespace {

class QtCursorDevice final : public CursorDevice {
 public:
  QPoint Position() const override { return QCursor::pos(); }
  Qt::MouseButtons Buttons() const override { return QGuiApplication::mouseButtons(); }
  void MoveTo(const QPoint& screenPos) override { QCursor::setPos(screenPos); }
};

CursorDevice* installed = nullptr;

}  // namespace

CursorDevice& CurrentCursorDevice() {
  static QtCursorDevice qt;
  return installed ? *installed : qt;
}

CursorDevice* SetCursorDevice(CursorDevice* device) {
  CursorDevice* previous = installed;
  installed = device;
  return previous;
}

}  // namespace vok::ui
