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
using Commands = std::vector<Command>;
using Strings = std::vector<std::string>;
using sys::SessionAction;

class SystemCommandsTest : public test::CommandsTest {
 protected:
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
  shell::test::ScopedEnv desktop_{"XDG_CURRENT_DESKTOP", nullptr};
  shell::test::ScopedEnv terminal_{"TERMINAL", nullptr};
};

TEST_F(SystemCommandsTest, LaunchersStartTheDesktopsProgramOrStaySilent) {
  struct Case {
    test::Handler handler;
    const char* line;
    const char* installed;
    Command expected;
  };
  const Case cases[] = {
      {RunDateTime, "date", "gnome-control-center", {"gnome-control-center", "datetime"}},
      {RunDateTime, "time", "systemsettings", {"systemsettings", "kcm_clock"}},
      {RunSystemApplet, "system", "kinfocenter", {"kinfocenter"}},
      {RunDisplay, "display", "xfce4-display-settings", {"xfce4-display-settings"}},
      {RunMouse, "mouse", "mate-mouse-properties", {"mate-mouse-properties"}},
      {RunKeyboard, "keyb", "lxqt-config-input", {"lxqt-config-input"}},
      {RunControlPanel, "cpanel", "cinnamon-settings", {"cinnamon-settings"}},
      {RunPrinters, "printers", "system-config-printer", {"system-config-printer"}},
      {RunNetwork, "network", "xdg-open", {"xdg-open", "network:///"}},
      {RunMyComputer, "mycomputer", "xdg-open", {"xdg-open", "computer:///"}},
      {RunFindFile, "findfile", "catfish", {"catfish"}},
      {RunFindComputer, "findcomputer", "xdg-open", {"xdg-open", "network:///"}},
      {RunRunDialog, "rundlg", "rofi", {"rofi", "-show", "run"}},
      {RunStartMenu, "startmenu", "rofi", {"rofi", "-show", "drun"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    runner.calls.clear();
    runner.installed = {c.installed};
    EXPECT_EQ(S_OK, Run(c.handler, c.line));
    ASSERT_EQ(1u, runner.calls.size());
    EXPECT_TRUE(runner.calls[0].detached);
    EXPECT_EQ(c.expected, runner.calls[0].argv);
    runner.installed.clear();  // nothing installed: no message at all
    EXPECT_EQ(S_OK, Run(c.handler, c.line));
  }
  EXPECT_TRUE(context.log.lines.empty());
  EXPECT_EQ(0, context.log.shows);
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(SystemCommandsTest, DesktopOpensTheUsersDesktopFolder) {
  const fs::path desktop = fs::path(std::getenv("HOME")) / "Desktop";
  fs::create_directories(desktop);
  EXPECT_EQ(S_OK, Run(RunDesktop, "desktop"));
  fs::remove(desktop);
  EXPECT_EQ((Commands{{"xdg-open", desktop.string()}}), runner.Commands());
}

// ---- dos ----

TEST_F(SystemCommandsTest, DosOpensATerminalAndHandsTheTypedCommandToShUnchanged) {
  EXPECT_EQ(S_OK, Run(RunDos, "dos ls"));  // no terminal: silent
  EXPECT_TRUE(runner.calls.empty());
  runner.installed.insert("xterm");
  EXPECT_EQ(S_OK, Run(RunDos, "dos"));
  EXPECT_EQ(dir.str(), runner.calls[0].workDir);
  EXPECT_EQ(S_OK, Run(RunDos, "dos dir /w"));
  EXPECT_EQ(S_OK, Run(RunDos, "dos ls \"my dir\" | wc -l; echo $(date)"));
  EXPECT_EQ((Commands{{"xterm"},
                      {"xterm", "-e", "sh", "-c", "dir /w"},
                      {"xterm", "-e", "sh", "-c", "ls \"my dir\" | wc -l; echo $(date)"}}),
            runner.Commands());
  EXPECT_TRUE(context.log.lines.empty());
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

TEST_F(SystemCommandsTest, SetStripsBothHalvesAndReportsWhatItCannotDo) {
  EXPECT_EQ(S_OK, Run(RunSet, "set QTEST_ALPHA = 5"));
  ASSERT_NE(nullptr, std::getenv("QTEST_ALPHA"));
  EXPECT_STREQ("5", std::getenv("QTEST_ALPHA"));
  EXPECT_EQ(S_OK, Run(RunSet, "set QTEST_BETA=a=b c"));
  EXPECT_STREQ("a=b c", std::getenv("QTEST_BETA"));
  EXPECT_TRUE(context.log.lines.empty());
  unsetenv("QTEST_ALPHA");
  unsetenv("QTEST_BETA");
  EXPECT_EQ(S_OK, Run(RunSet, "set NO_SUCH_PREFIX_QTEST"));
  EXPECT_EQ(S_OK, Run(RunSet, "set = 5"));
  EXPECT_EQ(Strings(2, Text(kIdsNoSuchVariable)), Errors());
}

TEST_F(SystemCommandsTest, SetListsByPrefixInAnyCaseOrEverything) {
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

  context.log.lines.clear();
  size_t count = 0;
  for (char** entry = environ; *entry; ++entry) ++count;
  EXPECT_EQ(S_OK, Run(RunSet, "set"));
  EXPECT_EQ(count, Infos().size());
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
  EXPECT_EQ((Commands{{"udisksctl", "unmount", "--block-device", "/dev/sdb1"},
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
  SessionAction action;
};

class SessionTest : public SystemCommandsTest, public testing::WithParamInterface<SessionCase> {};

TEST_P(SessionTest, AsksFirstThenPerformsOrReportsTheRefusal) {
  const SessionCase& c = GetParam();
  EXPECT_EQ(S_OK, Run(c.handler, c.name));
  ASSERT_EQ(1u, prompter.messages.size());
  const ui::Message& question = prompter.messages[0];
  EXPECT_EQ(std::string("Do you want to proceed with ") + c.name + " ?", question.text);
  EXPECT_EQ("Quillo", question.caption);
  EXPECT_EQ(ui::Buttons::kYesNo, question.buttons);
  EXPECT_EQ(ui::Icon::kQuestion, question.icon);
  // Answered No: nothing else happens.
  EXPECT_TRUE(session.performed.empty());
  EXPECT_TRUE(context.log.lines.empty());
  EXPECT_TRUE(runner.calls.empty());

  prompter.answers = {ui::Answer::kYes};
  EXPECT_EQ(S_OK, Run(c.handler, c.name));
  EXPECT_EQ(std::vector<SessionAction>{c.action}, session.performed);
  EXPECT_TRUE(context.log.lines.empty());

  prompter.answers = {ui::Answer::kYes};
  session.accept = false;
  EXPECT_EQ(S_OK, Run(c.handler, c.name));
  EXPECT_EQ(Strings{Text(kIdsCannotShutdown)}, Errors());
}

INSTANTIATE_TEST_SUITE_P(
    Actions, SessionTest,
    testing::Values(SessionCase{"logoff", RunLogoff, SessionAction::kLogoff},
                    SessionCase{"reboot", RunReboot, SessionAction::kReboot},
                    SessionCase{"shutdown", RunShutdown, SessionAction::kShutdown},
                    SessionCase{"poweroff", RunPoweroff, SessionAction::kPowerOff}),
    [](const testing::TestParamInfo<SessionCase>& info) { return info.param.name; });

// ---- mapdrive, disconnect ----

TEST_F(SystemCommandsTest, MapDriveMountsTheEnteredLocation) {
  runner.installed.insert("gio");
  EXPECT_EQ(S_OK, Run(RunMapDrive, "mapdrive"));  // the dialog is rejected: silent
  EXPECT_EQ(1, prompter.dialogCount);
  EXPECT_TRUE(runner.calls.empty());
  EnterLocation("  smb://server/my share  ");
  EXPECT_EQ(S_OK, Run(RunMapDrive, "mapdrive"));
  EXPECT_EQ((Commands{{"gio", "mount", "--", "smb://server/my share"}}), runner.Commands());
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
  EXPECT_EQ((Commands{{"gio", "mount", "-l"}, {"gio", "mount", "-u", "--", "smb://server/share/"}}),
            runner.Commands());
  EXPECT_TRUE(context.log.lines.empty());
}

}  // namespace
}  // namespace vok::cmdline
