// The mouse as components poll it: cursor position (screen coordinates), buttons held down,
// and moving the cursor. The program uses the Qt implementation; a test installs its own
// device (ScopedCursorDevice) to drive a drag without a real pointer.
#pragma once

#include <QPoint>

#include "platform/com/runtime.h"

namespace vok::ui {

class CursorDevice {
 public:
  virtual ~CursorDevice() = default;
  virtual QPoint Position() const = 0;
  virtual Qt::MouseButtons Buttons() const = 0;
  virtual void MoveTo(const QPoint& screenPos) = 0;
};

// The device in use; the Qt one unless a test replaced it.
VOK_PLATFORM_API CursorDevice& CurrentCursorDevice();
// Installs `device` (null: the Qt one) and returns the previous one (null when it was the Qt
// one). The caller keeps ownership and keeps the device alive while installed.
VOK_PLATFORM_API CursorDevice* SetCursorDevice(CursorDevice* device);

class ScopedCursorDevice {
 public:
  explicit ScopedCursorDevice(CursorDevice& device) : previous_(SetCursorDevice(&device)) {}
  ~ScopedCursorDevice() { SetCursorDevice(previous_); }
  ScopedCursorDevice(const ScopedCursorDevice&) = delete;
  ScopedCursorDevice& operator=(const ScopedCursorDevice&) = delete;

 private:
  CursorDevice* previous_;
};

}  // namespace vok::ui
