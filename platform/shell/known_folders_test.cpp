// Known folders from a written user-dirs.dirs and the XDG base folders, and what opening
// each one starts.
#include "platform/shell/known_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/shell/shell_test_support.h"
#include "platform/system/recording_process_runner.h"

namespace vok::shell {
namespace {

namespace fs = std::filesystem;
using Command = std::vector<std::string>;
using sys::test::RecordingProcessRunner;
using test::Exists;
using test::WriteFile;

std::string Env(const char* name) { return std::getenv(name); }

struct UserDirCase {
  const char* text;
  const char* key;
  std::optional<std::string> expected;
};

class ParseUserDirTest : public testing::TestWithParam<UserDirCase> {};

TEST_P(ParseUserDirTest, ReadsTheValue) {
  const UserDirCase& c = GetParam();
  EXPECT_EQ(c.expected, ParseUserDir(c.text, c.key, "/home/ann")) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ParseUserDirTest,
    testing::Values(UserDirCase{"XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n", "DESKTOP",
                                "/home/ann/Schreibtisch"},
                    UserDirCase{"# comment\nXDG_DOCUMENTS_DIR=\"/data/My Docs/\"\n", "DOCUMENTS",
                                "/data/My Docs"},
                    UserDirCase{"XDG_DESKTOP_DIR=\"$HOME\"\n", "DESKTOP", "/home/ann"},
                    UserDirCase{"XDG_DESKTOP_DIR=\"$HOME/a\"\nXDG_DESKTOP_DIR=\"$HOME/b\"\n",
                                "DESKTOP", "/home/ann/b"},
                    UserDirCase{"XDG_DESKTOP_DIR=\"$HOME/say \\\"hi\\\"\"\n", "DESKTOP",
                                "/home/ann/say \"hi\""},
                    UserDirCase{"  XDG_DESKTOP_DIR = \"$HOME/x\"  \n", "DESKTOP", "/home/ann/x"},
                    UserDirCase{"XDG_DESKTOP_DIR=\"relative/x\"\n", "DESKTOP", std::nullopt},
                    UserDirCase{"XDG_DESKTOP_DIR=\"$HOMEx/y\"\n", "DESKTOP", std::nullopt},
                    UserDirCase{"XDG_DESKTOP_DIR=$HOME/unquoted\n", "DESKTOP", std::nullopt},
                    UserDirCase{"XDG_MUSIC_DIR=\"$HOME/Music\"\n", "DESKTOP", std::nullopt}));

class KnownFoldersTest : public testing::Test {
 protected:
  KnownFoldersTest() : scoped_(&runner_) {
    runner_.installed = {"xdg-open"};
    std::error_code error;
    fs::remove(Env("XDG_CONFIG_HOME") + "/user-dirs.dirs", error);
  }
  ~KnownFoldersTest() override {
    std::error_code error;
    fs::remove(Env("XDG_CONFIG_HOME") + "/user-dirs.dirs", error);
  }

  RecordingProcessRunner runner_;
  sys::ScopedProcessRunner scoped_;
};

TEST_F(KnownFoldersTest, DefaultsOrTheWrittenUserDirs) {
  EXPECT_EQ(Env("HOME") + "/Desktop", KnownFolderPath(KnownFolder::kDesktop));
  EXPECT_EQ(Env("HOME"), KnownFolderPath(KnownFolder::kDocuments));
  EXPECT_EQ(Env("QUILLO_HOME") + "/bookmarks", KnownFolderPath(KnownFolder::kFavorites));
  EXPECT_EQ(Env("XDG_DATA_HOME") + "/applications", KnownFolderPath(KnownFolder::kStartMenu));
  EXPECT_EQ(Env("XDG_CONFIG_HOME") + "/autostart", KnownFolderPath(KnownFolder::kStartup));
  EXPECT_FALSE(KnownFolderPath(KnownFolder::kRecycleBin));
  WriteFile(Env("XDG_CONFIG_HOME") + "/user-dirs.dirs",
            "XDG_DESKTOP_DIR=\"$HOME/Bureau\"\nXDG_DOCUMENTS_DIR=\"$HOME/Papiers\"\n");
  EXPECT_EQ(Env("HOME") + "/Bureau", KnownFolderPath(KnownFolder::kDesktop));
  EXPECT_EQ(Env("HOME") + "/Papiers", KnownFolderPath(KnownFolder::kDocuments));
}

TEST_F(KnownFoldersTest, OpensDesktopLocationsOrProgramsStandingInForThem) {
  const std::pair<KnownFolder, const char*> cases[] = {
      {KnownFolder::kRecycleBin, "trash:///"},
      {KnownFolder::kNetwork, "network:///"},
      {KnownFolder::kMyComputer, "computer:///"},
  };
  for (const auto& [folder, uri] : cases) {
    EXPECT_TRUE(OpenKnownFolder(folder)) << uri;
    EXPECT_EQ((Command{"xdg-open", uri}), runner_.calls.back().argv);
  }
  EXPECT_FALSE(OpenKnownFolder(KnownFolder::kControlPanel));  // none installed
  runner_.installed.insert("system-config-printer");
  runner_.installed.insert("xfce4-settings-manager");
  EXPECT_TRUE(OpenKnownFolder(KnownFolder::kPrinters));
  EXPECT_EQ(Command{"system-config-printer"}, runner_.calls.back().argv);
  EXPECT_TRUE(OpenKnownFolder(KnownFolder::kControlPanel));
  EXPECT_EQ(Command{"xfce4-settings-manager"}, runner_.calls.back().argv);
}

TEST_F(KnownFoldersTest, MakesItsOwnFoldersButNotTheUsers) {
  const std::string startup = Env("XDG_CONFIG_HOME") + "/autostart";
  std::error_code error;
  fs::remove_all(startup, error);
  EXPECT_TRUE(OpenKnownFolder(KnownFolder::kStartup));
  EXPECT_TRUE(fs::is_directory(startup));
  EXPECT_EQ((Command{"xdg-open", startup}), runner_.calls.back().argv);

  // A missing desktop folder is not made up.
  size_t calls = runner_.calls.size();
  EXPECT_FALSE(OpenKnownFolder(KnownFolder::kDesktop));
  EXPECT_FALSE(Exists(Env("HOME") + "/Desktop"));
  EXPECT_EQ(calls, runner_.calls.size());
}

}  // namespace
}  // namespace vok::shell
