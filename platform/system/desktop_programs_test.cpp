// Choosing the desktop's programs: the running desktop's first, the first installed one
// started, and the terminal command lines.
#include "platform/system/desktop_programs.h"

#include <gtest/gtest.h>

#include "platform/shell/shell_test_support.h"
#include "platform/system/recording_process_runner.h"

namespace vok::sys {
namespace {

using Command = std::vector<std::string>;
using test::RecordingProcessRunner;

DesktopEnvironment Desktop(std::string name) { return {std::move(name), "", ""}; }

struct FirstChoiceCase {
  const char* desktop;
  DesktopTool tool;
  Command expected;
};

class FirstChoiceTest : public testing::TestWithParam<FirstChoiceCase> {};

TEST_P(FirstChoiceTest, RunningDesktopComesFirst) {
  const FirstChoiceCase& c = GetParam();
  std::vector<Command> candidates = ToolCandidates(c.tool, Desktop(c.desktop));
  ASSERT_FALSE(candidates.empty());
  EXPECT_EQ(c.expected, candidates.front());
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, FirstChoiceTest,
    testing::Values(
        FirstChoiceCase{"", DesktopTool::kDisplay, {"gnome-control-center", "display"}},
        FirstChoiceCase{"XFCE", DesktopTool::kDisplay, {"xfce4-display-settings"}},
        FirstChoiceCase{"KDE", DesktopTool::kMouse, {"systemsettings", "kcm_mouse"}},
        FirstChoiceCase{
            "ubuntu:GNOME", DesktopTool::kKeyboard, {"gnome-control-center", "keyboard"}},
        FirstChoiceCase{"x-cinnamon", DesktopTool::kDateTime, {"cinnamon-settings", "calendar"}},
        FirstChoiceCase{"MATE", DesktopTool::kSettings, {"mate-control-center"}},
        FirstChoiceCase{"XFCE", DesktopTool::kRunDialog, {"xfce4-appfinder", "--collapsed"}},
        FirstChoiceCase{"KDE", DesktopTool::kFileSearch, {"kfind"}}));

TEST(DesktopProgramsTest, OtherDesktopsProgramsStayAsFallbacks) {
  std::vector<Command> candidates = ToolCandidates(DesktopTool::kDisplay, Desktop("XFCE"));
  EXPECT_EQ(Command{"xfce4-display-settings"}, candidates[0]);
  EXPECT_EQ((Command{"gnome-control-center", "display"}), candidates[1]);
  EXPECT_EQ(Command{"arandr"}, candidates.back());
  // The browser variable comes first.
  candidates = ToolCandidates(DesktopTool::kWebBrowser, {"", "firefox:chromium", ""});
  EXPECT_EQ(Command{"firefox"}, candidates.front());
  EXPECT_EQ(Command{"x-www-browser"}, candidates[1]);
}

TEST(DesktopProgramsTest, StartsTheFirstInstalledCandidateAndReportsFailures) {
  RecordingProcessRunner runner;
  EXPECT_FALSE(LaunchDesktopTool(DesktopTool::kAppLauncher, runner, Desktop("XFCE")));
  EXPECT_TRUE(runner.calls.empty());
  runner.installed = {"xfce4-mouse-settings", "lxqt-config-input", "krunner"};
  EXPECT_TRUE(LaunchDesktopTool(DesktopTool::kMouse, runner, Desktop("GNOME")));
  ASSERT_EQ(1u, runner.calls.size());
  EXPECT_TRUE(runner.calls[0].detached);
  EXPECT_EQ(Command{"xfce4-mouse-settings"}, runner.calls[0].argv);
  runner.failingStarts = {"krunner"};
  EXPECT_FALSE(LaunchDesktopTool(DesktopTool::kRunDialog, runner, Desktop("KDE")));
}

struct TerminalCase {
  std::vector<std::string> installed;
  std::string variable;
  Command expected;
};

class TerminalCommandTest : public testing::TestWithParam<TerminalCase> {};

TEST_P(TerminalCommandTest, UsesEachTerminalsOwnRunOption) {
  const TerminalCase& c = GetParam();
  RecordingProcessRunner runner;
  runner.installed.insert(c.installed.begin(), c.installed.end());
  DesktopEnvironment environment{"", "", c.variable};
  EXPECT_EQ(c.expected, TerminalCommand({"sh", "-c", "ls"}, runner, environment));
}

INSTANTIATE_TEST_SUITE_P(
    Terminals, TerminalCommandTest,
    testing::Values(
        TerminalCase{
            {"xterm", "x-terminal-emulator"}, "", {"x-terminal-emulator", "-e", "sh", "-c", "ls"}},
        TerminalCase{{"gnome-terminal"}, "", {"gnome-terminal", "--", "sh", "-c", "ls"}},
        TerminalCase{{"xfce4-terminal"}, "", {"xfce4-terminal", "-x", "sh", "-c", "ls"}},
        TerminalCase{{"mate-terminal"}, "", {"mate-terminal", "-x", "sh", "-c", "ls"}},
        TerminalCase{{"kitty"}, "", {"kitty", "sh", "-c", "ls"}},
        TerminalCase{{"xterm"}, "", {"xterm", "-e", "sh", "-c", "ls"}},
        // The user's own choice wins, when it is installed.
        TerminalCase{{"xterm", "foot"}, "foot", {"foot", "-e", "sh", "-c", "ls"}},
        TerminalCase{{"xterm"}, "foot", {"xterm", "-e", "sh", "-c", "ls"}}));

TEST(TerminalCommandTest, PlainTerminalOrNone) {
  RecordingProcessRunner runner;
  EXPECT_FALSE(TerminalCommand({"sh", "-c", "ls"}, runner, {}));
  runner.installed = {"konsole"};
  EXPECT_EQ(Command{"konsole"}, TerminalCommand({}, runner, {}));  // without a program
}

TEST(OpenTerminalTest, RunsTheCommandThroughShInTheFolder) {
  RecordingProcessRunner runner;
  runner.installed = {"xterm"};
  ScopedProcessRunner scoped(&runner);
  shell::test::TempDir dir;
  ASSERT_TRUE(OpenTerminal(dir.str(), "ls 'a b'; echo $(date)"));
  ASSERT_TRUE(OpenTerminal((dir / "gone").string(), ""));
  ASSERT_EQ(2u, runner.calls.size());
  EXPECT_EQ(dir.str(), runner.calls[0].workDir);
  EXPECT_EQ("", runner.calls[1].workDir);  // a folder that is gone is not passed on
  EXPECT_EQ(Command{"xterm"}, runner.calls[1].argv);
  const Command& argv = runner.calls[0].argv;
  ASSERT_GE(argv.size(), 3u);
  EXPECT_EQ((Command{"sh", "-c", "ls 'a b'; echo $(date)"}), Command(argv.end() - 3, argv.end()));
}

}  // namespace
}  // namespace vok::sys
