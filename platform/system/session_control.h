// Ending the session or stopping the machine, through systemd-logind. Behind a process-wide
// seam: tests install a recording fake, and the default implementation refuses to act while
// QUILLO_DISABLE_SESSION_ACTIONS is set (the shared test main sets it), so no test can ever log
// off, reboot or power off the machine.
#pragma once

#include <string>
#include <vector>

#include "platform/com/runtime.h"

namespace vok::sys {

enum class SessionAction { kLogoff, kReboot, kShutdown, kPowerOff };

class SessionControl {
 public:
  virtual ~SessionControl() = default;
  // True when the request was accepted.
  virtual bool Perform(SessionAction action) = 0;
};

// The command that carries `action` out: "loginctl terminate-session ID" for log-off (empty
// when `sessionId` is empty: there is no session to end), "systemctl reboot" and
// "systemctl poweroff" for the others. Shutdown powers off as well: a halted machine that
// stays on is not what a desktop user means by shutting down.
VOK_PLATFORM_API std::vector<std::string> SessionCommand(SessionAction action,
                                                         const std::string& sessionId);

// The control in use: the logind one unless another was installed. Never null.
VOK_PLATFORM_API SessionControl& CurrentSessionControl();
// Installs `control` (not owned; null restores the default) and returns the previous one.
VOK_PLATFORM_API SessionControl* SetSessionControl(SessionControl* control);

class ScopedSessionControl {
 public:
  explicit ScopedSessionControl(SessionControl* control) : previous_(SetSessionControl(control)) {}
  ~ScopedSessionControl() { SetSessionControl(previous_); }
  ScopedSessionControl(const ScopedSessionControl&) = delete;
  ScopedSessionControl& operator=(const ScopedSessionControl&) = delete;

 private:
  SessionControl* previous_;
};

}  // namespace vok::sys
