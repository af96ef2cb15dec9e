// The session seam: the commands behind each action, and the default control's refusal while
// the test guard is set (it never reaches the process runner).
#include "platform/system/session_control.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/system/recording_process_runner.h"

namespace vok::sys {
namespace {

using Command = std::vector<std::string>;

TEST(SessionCommandTest, MapsEachActionToLogind) {
  EXPECT_EQ((Command{"loginctl", "terminate-session", "c7"}),
            SessionCommand(SessionAction::kLogoff, "c7"));
  EXPECT_EQ((Command{"systemctl", "reboot"}), SessionCommand(SessionAction::kReboot, "c7"));
  EXPECT_EQ((Command{"systemctl", "poweroff"}), SessionCommand(SessionAction::kShutdown, "c7"));
  EXPECT_EQ((Command{"systemctl", "poweroff"}), SessionCommand(SessionAction::kPowerOff, ""));
  // Without a session there is nothing to log off (and nothing else to end instead).
  EXPECT_TRUE(SessionCommand(SessionAction::kLogoff, "").empty());
}

TEST(SessionControlTest, DefaultRefusesWhileTheGuardIsSet) {
  ASSERT_NE(nullptr, std::getenv("QUILLO_DISABLE_SESSION_ACTIONS"));
  test::RecordingProcessRunner runner;
  runner.installed = {"systemctl", "loginctl"};
  ScopedProcessRunner scoped(&runner);
  for (SessionAction action : {SessionAction::kLogoff, SessionAction::kReboot,
                               SessionAction::kShutdown, SessionAction::kPowerOff})
    EXPECT_FALSE(CurrentSessionControl().Perform(action));
  EXPECT_TRUE(runner.calls.empty());
}

}  // namespace
}  // namespace vok::sys
