// A cursor for tests of dragging: its position and buttons are set by the test, and moves are
// recorded in `pos`.
#pragma once

#include "platform/ui/cursor_device.h"

namespace vok::ui {

class FakeCursor final : public CursorDevice {
 public:
  QPoint pos;
  Qt::MouseButtons buttons;
  QPoint Position() const override { return pos; }
  Qt::MouseButtons Buttons() const override { return buttons; }
  void MoveTo(const QPoint& p) override { pos = p; }
};

}  // namespace vok::ui
