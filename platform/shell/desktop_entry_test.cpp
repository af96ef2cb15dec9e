// "Open with": desktop entries, their Exec lines, and the applications found for a type.
#include "platform/shell/desktop_entry.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/shell/shell_test_support.h"
#include "platform/system/recording_process_runner.h"

namespace vok::shell {
namespace {

using Command = std::vector<std::string>;
using sys::test::RecordingProcessRunner;
using test::TempDir;
using test::WriteFile;

struct ExecCase {
  const char* exec;
  std::optional<Command> expected;
};

class ExpandExecTest : public testing::TestWithParam<ExecCase> {};

TEST_P(ExpandExecTest, Expands) {
  const ExecCase& c = GetParam();
  EXPECT_EQ(c.expected, ExpandExec(c.exec, "/tmp/a b;$(x).txt", "Viewer")) << c.exec;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ExpandExecTest,
    testing::Values(
        ExecCase{"viewer %f", Command{"viewer", "/tmp/a b;$(x).txt"}},
        ExecCase{"viewer --new %U", Command{"viewer", "--new", "/tmp/a b;$(x).txt"}},
        ExecCase{"viewer %i %f", Command{"viewer", "/tmp/a b;$(x).txt"}},
        ExecCase{"\"/opt/my app/run\" --title=%c", Command{"/opt/my app/run", "--title=Viewer"}},
        ExecCase{"sh -c \"echo \\\"\\$HOME\\\"\"", Command{"sh", "-c", "echo \"$HOME\""}},
        ExecCase{"viewer 100%%", Command{"viewer", "100%"}},
        ExecCase{"viewer  ", Command{"viewer"}}, ExecCase{"viewer \"\"", Command{"viewer", ""}},
        ExecCase{"viewer \"unclosed", std::nullopt}, ExecCase{"", std::nullopt},
        ExecCase{"%f", Command{"/tmp/a b;$(x).txt"}}));

TEST(DesktopEntryTest, ReadsOnlyVisibleApplications) {
  std::optional<DesktopApp> app = ParseDesktopEntry(
      "[Desktop Entry]\nType=Application\nName=Viewer\nName[de]=Betrachter\n"
      "Exec=viewer %f\nMimeType=image/png;text/plain;\nTerminal=false\n"
      "[Desktop Action New]\nExec=other\n",
      "viewer.desktop");
  ASSERT_TRUE(app);
  EXPECT_EQ("Viewer", app->name);
  EXPECT_EQ("viewer %f", app->exec);
  EXPECT_EQ((std::vector<std::string>{"image/png", "text/plain"}), app->mimeTypes);
  EXPECT_FALSE(app->terminal);

  EXPECT_FALSE(ParseDesktopEntry("[Desktop Entry]\nType=Link\nURL=x\nExec=x\n", "l.desktop"));
  EXPECT_FALSE(
      ParseDesktopEntry("[Desktop Entry]\nType=Application\nHidden=true\nExec=x\n", "h.desktop"));
  EXPECT_FALSE(ParseDesktopEntry("[Desktop Entry]\nType=Application\nName=N\n", "n.desktop"));
}

class ApplicationsTest : public testing::Test {
 protected:
  static std::string Entry(const char* name, const char* exec, const char* types) {
    return std::string("[Desktop Entry]\nType=Application\nName=") + name + "\nExec=" + exec +
           "\nMimeType=" + types + "\n";
  }

  TempDir dir_;
  test::ScopedEnv home_{"XDG_DATA_HOME", (dir_ / "home").c_str()};
  test::ScopedEnv dirs_{"XDG_DATA_DIRS", (dir_ / "system").c_str()};
};

TEST_F(ApplicationsTest, FindsEntriesForTheTypeTheUsersFirst) {
  WriteFile(dir_ / "system/applications/zed.desktop", Entry("Zed", "zed %f", "text/plain;"));
  WriteFile(dir_ / "system/applications/ed.desktop", Entry("System Ed", "ed %f", "text/plain;"));
  WriteFile(dir_ / "home/applications/ed.desktop", Entry("My Ed", "myed %f", "text/plain;"));
  WriteFile(dir_ / "system/applications/img.desktop", Entry("Img", "img %f", "image/png;"));
  WriteFile(dir_ / "system/applications/notes.txt", Entry("Not an entry", "x", "text/plain;"));

  std::vector<DesktopApp> apps = ApplicationsFor({"text/x-csrc", "text/plain"});
  ASSERT_EQ(2u, apps.size());
  EXPECT_EQ("My Ed", apps[0].name);
  EXPECT_EQ("Zed", apps[1].name);
  EXPECT_TRUE(ApplicationsFor({"audio/ogg"}).empty());
}

TEST_F(ApplicationsTest, LaunchesTheEntryForTheFile) {
  RecordingProcessRunner runner;
  runner.installed = {"viewer", "xterm"};
  sys::ScopedProcessRunner scoped(&runner);
  DesktopApp app{"v.desktop", "Viewer", "viewer --open %f", false, {}};
  EXPECT_TRUE(LaunchApplication(app, "/data/my pics/a.png"));
  EXPECT_EQ((Command{"viewer", "--open", "/data/my pics/a.png"}), runner.calls.back().argv);
  EXPECT_EQ("/data/my pics", runner.calls.back().workDir);

  app.terminal = true;
  EXPECT_TRUE(LaunchApplication(app, "/a.png"));
  EXPECT_EQ((Command{"xterm", "-e", "viewer", "--open", "/a.png"}), runner.calls.back().argv);

  app.exec = "viewer \"broken";
  EXPECT_FALSE(LaunchApplication(app, "/a.png"));
}

}  // namespace
}  // namespace vok::shell
