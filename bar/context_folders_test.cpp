#include "bar/context_folders.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bar/bar_test_fakes.h"
#include "bar/fake_bar_host.h"
#include "bar/resources/bar_strings.h"

namespace vok::bar {
namespace {

using Lines = std::vector<std::string>;

TEST(MatchContextFolderTest, FindsTheFirstEntryThatMatches) {
  const std::vector<ContextFolder> folders{
      {"Editor", "/a", false, false},        // 0: anywhere, any case
      {"Terminal", "/b", true, true},        // 1: whole title, exact case
      {"Élan", "/c", false, true},           // 2: whole title, any case (beyond ASCII)
      {"editor - notes", "/d", true, true},  // 3: shadowed by 0 for any title 0 matches
      {"", "/e", false, false},              // 4: an empty pattern matches nothing
  };
  const struct {
    const char* title;
    int expected;  // index into `folders`, -1 for none
  } cases[] = {
      {"notes - EDITOR 2", 0}, {"editor - notes", 0}, {"Terminal", 1},    {"terminal", -1},
      {"Terminal 2", -1},      {"ÉLAN", 2},           {"Calculator", -1},
  };
  for (const auto& c : cases) {
    const ContextFolder* found = MatchContextFolder(folders, c.title);
    EXPECT_EQ(found ? static_cast<int>(found - folders.data()) : -1, c.expected) << c.title;
  }
}

// ---- Following the active window ----

class ContextFoldersTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& folder : {folderA_, folderB_})
      std::filesystem::create_directory(folder);
    host_.settings.contextFolders = {{"Editor", folderA_, false, false},
                                     {"Terminal", folderB_, false, false}};
    host_.log = ComPtr<IvokLog>(log_.Get());
  }
  void TearDown() override {
    host_.log.Reset();
    log_.Reset();
    container_.Reset();
    EXPECT_EQ(ModuleCount().load(), startCount_) << "a reference was leaked";
  }

  // Feeds the titles, one per tick, and returns the command line's calls.
  const Lines& Ticks(ContextFolders& folders, const Lines& titles) {
    for (const std::string& title : titles) folders.OnActiveTitle(title);
    return container_->commandLine->calls;
  }
  static std::string ChangeTo(const std::string& folder) { return "chdir " + folder + " 1"; }

  const int32_t startCount_ = ModuleCount().load();
  QTemporaryDir dir_;
  const std::string folderA_ = dir_.path().toStdString() + "/a";
  const std::string folderB_ = dir_.path().toStdString() + "/b";
  FakeBarHost host_;
  ComPtr<fakes::FakeContainer> container_{new fakes::FakeContainer};
  ComPtr<fakes::FakeLog> log_{new fakes::FakeLog};
};

// Only a change of title counts: the same title on later ticks, or after a blank one, does
// not; a title seen before the last one (matching or not) does.
TEST_F(ContextFoldersTest, ChangesOnlyWhenTheTitleChanges) {
  ContextFolders folders(host_, container_->Identity());
  EXPECT_EQ(Ticks(folders, {"My Editor", "My Editor", "", "My Editor", "Calculator", "My Editor",
                            "Terminal"}),
            (Lines{ChangeTo(folderA_), ChangeTo(folderA_), ChangeTo(folderB_)}));
  EXPECT_TRUE(log_->entries.empty());
}

// Reported once while missing; used again once it is back; reported again when gone again.
TEST_F(ContextFoldersTest, MissingFolderChangesNothingAndIsReportedOnce) {
  const std::string missing = dir_.path().toStdString() + "/gone";
  host_.settings.contextFolders.front().folder = missing;
  ContextFolders folders(host_, container_->Identity());
  EXPECT_EQ(Ticks(folders, {"Editor", "Terminal", "Editor", "Calculator", "Editor"}),
            Lines{ChangeTo(folderB_)});
  std::string message = BarString(kIdsContextFolderNotFound);
  message.replace(message.find("%s"), 2, missing);
  EXPECT_EQ(log_->entries, (std::vector<std::pair<std::string, LONG>>{{message, kLogError}}));

  std::filesystem::create_directory(missing);
  EXPECT_EQ(Ticks(folders, {"Terminal", "Editor"}).back(), ChangeTo(missing));
  std::filesystem::remove(missing);
  Ticks(folders, {"Terminal", "Editor"});
  EXPECT_EQ(log_->entries, (std::vector<std::pair<std::string, LONG>>(2, {message, kLogError})));
}

// "~/..." is a folder of the home folder; the command line gets it as the user wrote it.
TEST_F(ContextFoldersTest, HomeRelativeFolderIsFound) {
  std::filesystem::create_directories(std::string(std::getenv("HOME")) + "/src");
  host_.settings.contextFolders.front().folder = "~/src";
  ContextFolders folders(host_, container_->Identity());
  EXPECT_EQ(Ticks(folders, {"Editor"}), Lines{ChangeTo("~/src")});
  EXPECT_TRUE(log_->entries.empty());
}

}  // namespace
}  // namespace vok::bar
