// The system commands end to end through the real parser: which desktop program each one
// starts (a recording runner stands in), the questions before ending the session (a recording
// session control stands in), the environment, the user, media and network drives.
#include "cmdline/system_commands.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QComboBox>
#include <cstdlib>

#include "cmdline/commands_test_support.h"
#include "cmdline/resources/cmdline_strings.h"
#include "platform/system/network_drive_dialog.h"

extern char** environ;

namespace vok::cmdline {
namespace {

namespace fs = std::filesystem;
using Command = std::vector<std::string>;
using Strings = std::vector<std::string>;
using sys::SessionAction;

class SystemCommandsTest : public test::CommandsTest {
 protected:
  SystemCommandsTest() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    savedDesktop_ = desktop ? std::optional<std::string>(desktop) : std::nullopt;
    unsetenv("XDG_CURRENT_DESKTOP");
    unsetenv("TERMINAL");
  }
  ~SystemCommandsTest() override {
    if (savedDesktop_) setenv("XDG_CURRENT_DESKTOP", savedDesktop_->c_str(), 1);
  }

  // Fills the network dialog's address box with `text` and accepts it; `offered` receives the
  // locations the dialog listed.
  void EnterLocation(const std::string& text, Strings* offered = nullptr) {
    prompter.dialogs.push_back([text, offered](QDialog& dialog) {
      auto* box = dialog.findChild<QComboBox*>(sys::kNetworkAddressBox);
      if (!box) return int(QDialog::Rejected);
      if (offered)
        for (int i = 0; i < box->count(); ++i) offered->push_back(box->itemText(i).toStdString());
      box->setCurrentText(QString::fromStdString(text));
      return int(QDialog::Accepted);
    });
  }

 private:
  std::optional<std::string> savedDesktop_;
};

struct LaunchCase {
  const char* name;
  test::Handler handler;
  const char* line;
  const char* installed;
  Command expected;
};

class LaunchTest : public SystemCommandsTest, public testing::WithParamInterface<LaunchCase> {};

TEST_P(LaunchTest, StartsTheDesktopsProgram) {
  const LaunchCase& c = GetParam();
  runner.installed.insert(c.installed);
  EXPECT_EQ(S_OK, Run(c.handler, c.line));
  ASSERT_EQ(1u, runner.calls.size());
  EXPECT_TRUE(runner.calls[0].detached);
  EXPECT_EQ(c.expected, runner.calls[0].argv);
  EXPECT_TRUE(context.log.lines.empty());
}

TEST_P(LaunchTest, IsSilentWhenNothingIsInstalled) {
  const LaunchCase& c = GetParam();
  runner.installed.clear();
  EXPECT_EQ(S_OK, Run(c.handler, c.line));
  EXPECT_TRUE(context.log.lines.empty());
  EXPECT_EQ(0, context.log.shows);
  EXPECT_TRUE(prompter.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, LaunchTest,
    testing::Values(
        LaunchCase{"Date",
                   RunDateTime,
                   "date",
                   "gnome-control-center",
                   {"gnome-control-center", "datetime"}},
        LaunchCase{"Time", RunDateTime, "time", "systemsettings", {"systemsettings", "kcm_clock"}},
        LaunchCase{"System", RunSystemApplet, "system", "kinfocenter", {"kinfocenter"}},
        LaunchCase{
            "Display", RunDisplay, "display", "xfce4-display-settings", {"xfce4-display-settings"}},
        LaunchCase{"Mouse", RunMouse, "mouse", "mate-mouse-properties", {"mate-mouse-properties"}},
        LaunchCase{"Keyboard", RunKeyboard, "keyb", "lxqt-config-input", {"lxqt-config-input"}},
        LaunchCase{
            "ControlPanel", RunControlPanel, "cpanel", "cinnamon-settings", {"cinnamon-settings"}},
        LaunchCase{"Printers",
                   RunPrinters,
                   "printers",
                   "system-config-printer",
                   {"system-config-printer"}},
        LaunchCase{"Network", RunNetwork, "network", "xdg-open", {"xdg-open", "network:///"}},
        LaunchCase{
            "MyComputer", RunMyComputer, "mycomputer", "xdg-open", {"xdg-open", "computer:///"}},
        LaunchCase{"FindFile", RunFindFile, "findfile", "catfish", {"catfish"}},
        LaunchCase{"FindComputer",
                   RunFindComputer,
                   "findcomputer",
                   "xdg-open",
                   {"xdg-open", "network:///"}},
        LaunchCase{"RunDialog", RunRunDialog, "rundlg", "rofi", {"rofi", "-show", "run"}},
        LaunchCase{"StartMenu", RunStartMenu, "startmenu", "rofi", {"rofi", "-show", "drun"}}),
    [](const testing::TestParamInfo<LaunchCase>& info) { return info.param.name; });

TEST_F(SystemCommandsTest, DesktopOpensTheUsersDesktopFolder) {
  const fs::path desktop = fs::path(std::getenv("HOME")) / "Desktop";
  fs::create_directories(desktop);
  EXPECT_EQ(S_OK, Run(RunDesktop, "desktop"));
  fs::remove(desktop);
  EXPECT_EQ((std::vector<Command>{{"xdg-open", desktop.string()}}), runner.Commands());
}

// ---- dos ----

TEST_F(SystemCommandsTest, DosOpensATerminalInTheCurrentDirectory) {
  runner.installed.insert("xterm");
  EXPECT_EQ(S_OK, Run(RunDos, "dos"));
  ASSERT_EQ(1u, runner.calls.size());
  EXPECT_EQ(Command{"xterm"}, runner.calls[0].argv);
  EXPECT_EQ(dir.str(), runner.calls[0].workDir);
}

TEST_F(SystemCommandsTest, DosHandsTheTypedCommandToShUnchanged) {
  runner.installed.insert("xterm");
  EXPECT_EQ(S_OK, Run(RunDos, "dos dir /w"));
  EXPECT_EQ(S_OK, Run(RunDos, "dos ls \"my dir\" | wc -l; echo $(date)"));
  EXPECT_EQ(
      (std::vector<Command>{{"xterm", "-e", "sh", "-c", "dir /w"},
                            {"xterm", "-e", "sh", "-c", "ls \"my dir\" | wc -l; echo $(date)"}}),
      runner.Commands());
}

TEST_F(SystemCommandsTest, DosWithoutATerminalIsSilent) {
  EXPECT_EQ(S_OK, Run(RunDos, "dos ls"));
  EXPECT_TRUE(context.log.lines.empty());
  EXPECT_TRUE(runner.calls.empty());
}

TEST_F(SystemCommandsTest, RawArgumentTextKeepsQuotes) {
  const std::pair<const char*, const char*> cases[] = {
      {"dos", ""},        {"  dos   a   b  ", "a   b"}, {"dos \"x y\" z", "\"x y\" z"},
      {"\"dos\" x", "x"}, {"dos\"x y\"", "\"x y\""},
  };
  for (const auto& [line, expected] : cases) {
    ASSERT_EQ(S_OK, parser->Parse(line));
    EXPECT_EQ(expected, RawArgumentText(parser.Get())) << line;
  }
}

// ---- set ----

TEST_F(SystemCommandsTest, SetStripsBothHalves) {
  EXPECT_EQ(S_OK, Run(RunSet, "set QTEST_ALPHA = 5"));
  ASSERT_NE(nullptr, std::getenv("QTEST_ALPHA"));
  EXPECT_STREQ("5", std::getenv("QTEST_ALPHA"));
  EXPECT_EQ(S_OK, Run(RunSet, "set QTEST_BETA=a=b c"));
  EXPECT_STREQ("a=b c", std::getenv("QTEST_BETA"));
  EXPECT_TRUE(context.log.lines.empty());
  unsetenv("QTEST_ALPHA");
  unsetenv("QTEST_BETA");
}

TEST_F(SystemCommandsTest, SetListsByPrefixInAnyCase) {
  setenv("QTEST_PATH_ONE", "1", 1);
  setenv("qtest_path_two", "2", 1);
  setenv("QTEST_OTHER", "3", 1);
  EXPECT_EQ(S_OK, Run(RunSet, "set qTest_Path"));
  Strings listed = Infos();
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ((Strings{"QTEST_PATH_ONE=1", "qtest_path_two=2"}), listed);
  EXPECT_EQ(1, context.log.shows);
  unsetenv("QTEST_PATH_ONE");
  unsetenv("qtest_path_two");
  unsetenv("QTEST_OTHER");
}

TEST_F(SystemCommandsTest, SetAloneListsTheWholeEnvironment) {
  size_t count = 0;
  for (char** entry = environ; *entry; ++entry) ++count;
  EXPECT_EQ(S_OK, Run(RunSet, "set"));
  EXPECT_EQ(count, Infos().size());
}

TEST_F(SystemCommandsTest, SetReportsWhatItCannotDo) {
  EXPECT_EQ(S_OK, Run(RunSet, "set NO_SUCH_PREFIX_QTEST"));
  EXPECT_EQ(S_OK, Run(RunSet, "set = 5"));
  EXPECT_EQ(Strings(2, Text(kIdsNoSuchVariable)), Errors());
}

// ---- whoami ----

TEST_F(SystemCommandsTest, WhoAmINamesTheUser) {
  EXPECT_EQ(S_OK, Run(RunWhoAmI, "whoami"));
  passwd* entry = getpwuid(geteuid());
  ASSERT_NE(nullptr, entry);
  EXPECT_EQ(Strings{"Current user name is '" + std::string(entry->pw_name) + "'."}, Infos());
  EXPECT_EQ(1, context.log.shows);
}

// ---- eject ----

TEST_F(SystemCommandsTest, EjectRefusesWhatIsNoRemovableMedia) {
  for (const char* line : {"eject", "eject a:", "eject /no/such/device", "eject ."})
    EXPECT_EQ(S_OK, Run(RunEject, line));
  EXPECT_EQ(Strings(4, Text(kIdsCannotEject)), Errors());
  EXPECT_TRUE(runner.calls.empty());
}

TEST_F(SystemCommandsTest, EjectsAMountedStick) {
  runner.installed.insert("udisksctl");
  devices.kinds = {{"/dev/sdb1", sys::DriveKind::kRemovable}};
  sys::ScopedMountReader mounts([] {
    return std::vector<sys::MountEntry>{{"/dev/sdb1", "/media/ann/STICK", "vfat"}};
  });
  EXPECT_EQ(S_OK, Run(RunEject, "eject /media/ann/STICK"));
  EXPECT_EQ((std::vector<Command>{{"udisksctl", "unmount", "--block-device", "/dev/sdb1"},
                                  {"udisksctl", "power-off", "--block-device", "/dev/sdb1"}}),
            runner.Commands());
  EXPECT_TRUE(context.log.lines.empty());

  runner.results["udisksctl"] = {{0, "", false}, {1, "cannot power off", false}};
  EXPECT_EQ(S_OK, Run(RunEject, "eject /dev/sdb1"));
  EXPECT_EQ(Strings{Text(kIdsMediaSafeToRemove)}, Infos());
  EXPECT_EQ(1, context.log.shows);
}

// ---- logoff, reboot, shutdown, poweroff ----

struct SessionCase {
  const char* name;
  test::Handler handler;
  const char* line;
  const char* question;
  SessionAction action;
};

class SessionTest : public SystemCommandsTest, public testing::WithParamInterface<SessionCase> {};

TEST_P(SessionTest, AsksFirst) {
  const SessionCase& c = GetParam();
  EXPECT_EQ(S_OK, Run(c.handler, c.line));
  ASSERT_EQ(1u, prompter.messages.size());
  const ui::Message& question = prompter.messages[0];
  EXPECT_EQ(std::string("Do you want to proceed with ") + c.question, question.text);
  EXPECT_EQ("Quillo", question.caption);
  EXPECT_EQ(ui::Buttons::kYesNo, question.buttons);
  EXPECT_EQ(ui::Icon::kQuestion, question.icon);
  // Answered No: nothing else happens.
  EXPECT_TRUE(session.performed.empty());
  EXPECT_TRUE(context.log.lines.empty());
  EXPECT_TRUE(runner.calls.empty());
}

TEST_P(SessionTest, YesPerformsTheAction) {
  const SessionCase& c = GetParam();
  prompter.answers = {ui::Answer::kYes};
  EXPECT_EQ(S_OK, Run(c.handler, c.line));
  EXPECT_EQ(std::vector<SessionAction>{c.action}, session.performed);
  EXPECT_TRUE(context.log.lines.empty());
}

TEST_P(SessionTest, RefusalIsReported) {
  const SessionCase& c = GetParam();
  prompter.answers = {ui::Answer::kYes};
  session.accept = false;
  EXPECT_EQ(S_OK, Run(c.handler, c.line));
  EXPECT_EQ(Strings{Text(kIdsCannotShutdown)}, Errors());
}

INSTANTIATE_TEST_SUITE_P(
    Actions, SessionTest,
    testing::Values(
        SessionCase{"Logoff", RunLogoff, "logoff", "logoff ?", SessionAction::kLogoff},
        SessionCase{"Reboot", RunReboot, "reboot", "reboot ?", SessionAction::kReboot},
        SessionCase{"Shutdown", RunShutdown, "shutdown", "shutdown ?", SessionAction::kShutdown},
        SessionCase{"Poweroff", RunPoweroff, "poweroff", "poweroff ?", SessionAction::kPowerOff}),
    [](const testing::TestParamInfo<SessionCase>& info) { return info.param.name; });

// ---- mapdrive, disconnect ----

TEST_F(SystemCommandsTest, MapDriveMountsTheEnteredLocation) {
  runner.installed.insert("gio");
  EnterLocation("  smb://server/my share  ");
  EXPECT_EQ(S_OK, Run(RunMapDrive, "mapdrive"));
  EXPECT_EQ((std::vector<Command>{{"gio", "mount", "--", "smb://server/my share"}}),
            runner.Commands());
  EXPECT_TRUE(context.log.lines.empty());
}

TEST_F(SystemCommandsTest, MapDriveCancelledIsSilent) {
  runner.installed.insert("gio");
  EXPECT_EQ(S_OK, Run(RunMapDrive, "mapdrive"));  // the dialog is rejected
  EXPECT_EQ(1, prompter.dialogCount);
  EXPECT_TRUE(runner.calls.empty());
  EXPECT_TRUE(context.log.lines.empty());
}

TEST_F(SystemCommandsTest, MapDriveFailuresAreNetworkErrors) {
  EnterLocation("smb://server/share");  // gio missing
  EXPECT_EQ(S_OK, Run(RunMapDrive, "mapdrive"));
  runner.installed.insert("gio");
  runner.results["gio"] = {{2, "Failed to mount", false}};
  EnterLocation("smb://server/share");
  EXPECT_EQ(S_OK, Run(RunMapDrive, "mapdrive"));
  EnterLocation("not a location");
  EXPECT_EQ(S_OK, Run(RunMapDrive, "mapdrive"));
  EXPECT_EQ(Strings(3, Text(kIdsNetworkError)), Errors());
}

TEST_F(SystemCommandsTest, DisconnectOffersTheMountedLocations) {
  runner.installed.insert("gio");
  runner.results["gio"] = {
      {0, "Mount(0): share on server -> smb://server/share/\nMount(1): x -> file:///x\n", false}};
  Strings offered;
  EnterLocation("smb://server/share/", &offered);
  EXPECT_EQ(S_OK, Run(RunDisconnect, "disconnect"));
  EXPECT_EQ(Strings{"smb://server/share/"}, offered);
  EXPECT_EQ((std::vector<Command>{{"gio", "mount", "-l"},
                                  {"gio", "mount", "-u", "--", "smb://server/share/"}}),
            runner.Commands());
  EXPECT_TRUE(context.log.lines.empty());
}

}  // namespace
}  // namespace vok::cmdline
