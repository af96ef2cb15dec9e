#include "platform/system/session_control.h"

#include <cstdlib>

#include "platform/system/process_runner.h"

namespace vok::sys {
namespace {

class LogindSessionControl final : public SessionControl {
 public:
  bool Perform(SessionAction action) override {
    if (std::getenv("QUILLO_DISABLE_SESSION_ACTIONS")) return false;
    const char* session = std::getenv("XDG_SESSION_ID");
    std::vector<std::string> argv = SessionCommand(action, session ? session : "");
    if (argv.empty()) return false;
    std::optional<RunResult> result = CurrentProcessRunner().Run(argv, {}, kDefaultRunTimeout);
    return result && result->exitStatus == 0;
  }
};

LogindSessionControl& DefaultControl() {
  static LogindSessionControl control;
  return control;
}

SessionControl* g_control = nullptr;

}  // namespace

std::vector<std::string> SessionCommand(SessionAction action, const std::string& sessionId) {
  switch (action) {
    case SessionAction::kLogoff:
      if (sessionId.empty()) return {};
      return {"loginctl", "terminate-session", sessionId};
    case SessionAction::kReboot:
      return {"systemctl", "reboot"};
    case SessionAction::kShutdown:
    case SessionAction::kPowerOff:
      return {"systemctl", "poweroff"};
  }
  return {};
}

SessionControl& CurrentSessionControl() { return g_control ? *g_control : DefaultControl(); }

SessionControl* SetSessionControl(SessionControl* control) {
  SessionControl* previous = g_control;
  g_control = control;
  return previous;
}

}  // namespace vok::sys
