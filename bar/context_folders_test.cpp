#include "bar/context_folders.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <string>
#include <vector>

#include "bar/bar_test_fakes.h"
#include "bar/fake_bar_host.h"
#include "bar/resources/bar_strings.h"

namespace vok::bar {
namespace {

using fakes::FakeContainer;
using fakes::FakeLog;

// ---- Matching ----

struct MatchCase {
  const char* name;
  const char* title;
  int expected;  // index into kFolders, -1 for none
};

const std::vector<ContextFolder> kFolders{
    {"Editor", "/a", false, false},        // 0: anywhere, any case
    {"Terminal", "/b", true, true},        // 1: whole title, exact case
    {"Élan", "/c", false, true},           // 2: whole title, any case (beyond ASCII)
    {"editor - notes", "/d", true, true},  // 3: shadowed by 0 for any title 0 matches
    {"", "/e", false, false},              // 4: an empty pattern matches nothing
};

class MatchContextFolderTest : public testing::TestWithParam<MatchCase> {};

TEST_P(MatchContextFolderTest, FindsTheFirstEntryThatMatches) {
  const MatchCase& c = GetParam();
  const ContextFolder* found = MatchContextFolder(kFolders, c.title);
  const int index = found ? static_cast<int>(found - kFolders.data()) : -1;
  EXPECT_EQ(index, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Titles, MatchContextFolderTest,
                         testing::Values(MatchCase{"SubstringAnyCase", "notes - EDITOR 2", 0},
                                         MatchCase{"FirstMatchWins", "editor - notes", 0},
                                         MatchCase{"WholeTitleExact", "Terminal", 1},
                                         MatchCase{"WholeTitleWrongCase", "terminal", -1},
                                         MatchCase{"WholeTitleNotPart", "Terminal 2", -1},
                                         MatchCase{"WholeTitleOtherCaseUtf8", "ÉLAN", 2},
                                         MatchCase{"Nothing", "Calculator", -1}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Following the active window ----

class ContextFoldersTest : public testing::Test {
 protected:
  void SetUp() override {
    folderA_ = dir_.path().toStdString() + "/a";
    folderB_ = dir_.path().toStdString() + "/b";
    std::filesystem::create_directories(folderA_);
    std::filesystem::create_directories(folderB_);
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
  std::vector<std::string> Ticks(const std::vector<std::string>& titles) {
    ContextFolders folders(host_, container_->Identity());
    for (const std::string& title : titles) folders.OnActiveTitle(title);
    return container_->commandLine->calls;
  }
  std::string ChangeTo(const std::string& folder) { return "chdir " + folder + " 1"; }

  const int32_t startCount_ = ModuleCount().load();
  QTemporaryDir dir_;
  std::string folderA_, folderB_;
  FakeBarHost host_;
  ComPtr<FakeContainer> container_{new FakeContainer};
  ComPtr<FakeLog> log_{new FakeLog};
};

// Only a change of title counts: the same title on later ticks, or after a blank one, does
// not; a title seen before the last one (matching or not) does.
TEST_F(ContextFoldersTest, ChangesOnlyWhenTheTitleChanges) {
  EXPECT_EQ(
      Ticks({"My Editor", "My Editor", "", "My Editor", "Calculator", "My Editor", "Terminal"}),
      (std::vector<std::string>{ChangeTo(folderA_), ChangeTo(folderA_), ChangeTo(folderB_)}));
  EXPECT_TRUE(log_->entries.empty());
}

TEST_F(ContextFoldersTest, MissingFolderChangesNothingAndIsReportedOnce) {
  const std::string missing = dir_.path().toStdString() + "/gone";
  host_.settings.contextFolders.front().folder = missing;
  ContextFolders folders(host_, container_->Identity());
  for (const char* title : {"Editor", "Terminal", "Editor", "Calculator", "Editor"})
    folders.OnActiveTitle(title);
  EXPECT_EQ(container_->commandLine->calls, std::vector<std::string>{ChangeTo(folderB_)});
  std::string message = BarString(kIdsContextFolderNotFound);
  message.replace(message.find("%s"), 2, missing);
  EXPECT_EQ(log_->entries, (std::vector<std::pair<std::string, LONG>>{{message, kLogError}}));

  // Once it is there again it is used; gone once more, it is reported again.
  std::filesystem::create_directories(missing);
  folders.OnActiveTitle("Terminal");
  folders.OnActiveTitle("Editor");
  EXPECT_EQ(container_->commandLine->calls.back(), ChangeTo(missing));
  std::filesystem::remove(missing);
  folders.OnActiveTitle("Terminal");
  folders.OnActiveTitle("Editor");
  EXPECT_EQ(log_->entries.size(), 2u);
}

}  // namespace
}  // namespace vok::bar
