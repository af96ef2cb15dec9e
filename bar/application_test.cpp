#include "bar/application.h"

#include <gtest/gtest.h>

#include <optional>

#include "bar/application_test_support.h"
#include "bar/bar_window.h"
#include "bar/resources/bar_strings.h"
#include "platform/storage/storage.h"

namespace vok::bar::test {
namespace {

struct ExitCase {
  const char* name;
  int32_t saveOnExit;
  bool dirty;
  bool hasCurrentFile;
  std::optional<ui::Answer> answer;     // the answer to the save question, when it is asked
  std::optional<std::string> saveName;  // the save dialog's answer (relative to the test folder)
  bool expectClosing;
  bool expectSaved;  // the current file (or the chosen name) was written
};
void PrintTo(const ExitCase& c, std::ostream* out) { *out << c.name; }

class ExitRoutineTest : public ApplicationTest, public testing::WithParamInterface<ExitCase> {};

TEST_P(ExitRoutineTest, AsksSavesAndClosesBySetting) {
  const ExitCase& c = GetParam();
  Start();
  int closeCalls = 0;
  app_->SetCloseHandler([&] { ++closeCalls; });
  const std::string current = Path("current.qdx");
  if (c.hasCurrentFile) app_->SetCurrentFile(current);
  app_->Settings().saveOnExit = c.saveOnExit;
  app_->SetSettingsChanged(c.dirty);
  if (c.answer) prompter_.answers = {*c.answer};
  if (c.saveName) prompter_.saveFiles = {Path(*c.saveName)};

  EXPECT_EQ(c.expectClosing, app_->Exit());
  EXPECT_EQ(c.expectClosing, app_->Closing());
  EXPECT_EQ(c.expectClosing ? 1 : 0, closeCalls);

  const bool asked =
      !prompter_.messages.empty() && prompter_.messages[0].text == BarString(kIdsSaveQuestion);
  EXPECT_EQ(c.answer.has_value(), asked);
  if (asked) {
    EXPECT_EQ(ui::Buttons::kYesNoCancel, prompter_.messages[0].buttons);
    EXPECT_EQ(ui::Icon::kQuestion, prompter_.messages[0].icon);
  }
  if (!prompter_.saveRequests.empty()) {
    EXPECT_EQ("qdx", prompter_.saveRequests[0].defaultSuffix);
    EXPECT_EQ(DataFileFilters(), prompter_.saveRequests[0].filters);
  }
  const std::string written = c.hasCurrentFile ? current : Path(c.saveName.value_or("none"));
  EXPECT_EQ(c.expectSaved, StgIsStorageFile(written.c_str()) == S_OK);
  // Leaving without closing keeps what is unsaved.
  if (!c.expectClosing) {
    EXPECT_TRUE(app_->HasUnsavedChanges());
  }
}

using ui::Answer;
INSTANTIATE_TEST_SUITE_P(
    Settings, ExitRoutineTest,
    testing::Values(
        ExitCase{"NothingChanged", kAskBeforeSaving, false, true, {}, {}, true, false},
        ExitCase{"SaveWithoutAsking", kSaveWithoutAsking, true, true, {}, {}, true, true},
        ExitCase{"ExitWithoutSaving", kExitWithoutSaving, true, true, {}, {}, true, false},
        ExitCase{"AskYes", kAskBeforeSaving, true, true, Answer::kYes, {}, true, true},
        ExitCase{"AskNo", kAskBeforeSaving, true, true, Answer::kNo, {}, true, false},
        ExitCase{"AskCancel", kAskBeforeSaving, true, true, Answer::kCancel, {}, false, false},
        ExitCase{"YesWithoutFileAsksName", kAskBeforeSaving, true, false, Answer::kYes, "named.qdx",
                 true, true},
        ExitCase{"YesNameDialogCancelled",
                 kAskBeforeSaving,
                 true,
                 false,
                 Answer::kYes,
                 {},
                 false,
                 false},
        ExitCase{"SaveWithoutAskingNoFileCancelled",
                 kSaveWithoutAsking,
                 true,
                 false,
                 {},
                 {},
                 false,
                 false},
        ExitCase{"UnknownSettingAsks", 7, true, true, Answer::kNo, {}, true, false}),
    [](const testing::TestParamInfo<ExitCase>& info) { return std::string(info.param.name); });

TEST_F(ApplicationTest, FailedSaveAtExitIsReportedAndKeepsRunning) {
  Start();
  const std::string unreachable = Path("no-such-folder/current.qdx");
  app_->SetCurrentFile(unreachable);
  app_->Settings().saveOnExit = kSaveWithoutAsking;
  app_->SetSettingsChanged(true);
  EXPECT_FALSE(app_->Exit());
  EXPECT_FALSE(app_->Closing());
  ASSERT_EQ(1u, prompter_.messages.size());
  EXPECT_NE(std::string::npos, prompter_.messages[0].text.find(unreachable));
  EXPECT_EQ(ui::Icon::kExclamation, prompter_.messages[0].icon);
  EXPECT_EQ(unreachable, app_->CurrentFile());
  EXPECT_TRUE(app_->Recent().Entries().empty());
  EXPECT_TRUE(app_->HasUnsavedChanges());
}

TEST_F(ApplicationTest, SessionEndWithoutQuestionsSavesOnlyToTheCurrentFile) {
  Start();
  app_->SetSettingsChanged(true);
  EXPECT_TRUE(app_->ExitForSessionEnd(false));
  EXPECT_TRUE(prompter_.messages.empty());
  EXPECT_TRUE(prompter_.saveRequests.empty());

  Start();
  app_->SetCurrentFile(Path("session.qdx"));
  app_->SetSettingsChanged(true);
  EXPECT_TRUE(app_->ExitForSessionEnd(false));
  EXPECT_TRUE(prompter_.messages.empty());
  EXPECT_EQ(S_OK, StgIsStorageFile(Path("session.qdx").c_str()));
}

TEST_F(ApplicationTest, AfterAFailedAutomaticLoadTheFileIsNotOverwrittenWithoutAName) {
  Start();
  const std::string damaged = Path("damaged.qdx");
  WriteBytes(damaged, std::vector<uint8_t>(600, 0x11));
  app_->Recent().PutAtHead(damaged);
  ASSERT_FALSE(app_->LoadLastDataFile());

  app_->Settings().saveOnExit = kSaveWithoutAsking;
  app_->SetSettingsChanged(true);
  EXPECT_FALSE(app_->Exit());  // the save dialog was cancelled
  EXPECT_EQ(1u, prompter_.saveRequests.size());
  EXPECT_EQ(std::vector<uint8_t>(600, 0x11), ReadBytes(damaged));
}

TEST_F(ApplicationTest, FirstRunMarkerOpensTheGettingStartedPageOnce) {
  WriteBytes(dir_ + "/bin/" + kFirstRunMarker, {'x'});
  Start();
  EXPECT_TRUE(app_->HandleFirstRun());
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/bin/" + kFirstRunMarker));
  EXPECT_EQ(std::vector<std::string>{dir_ + "/share/quillo/help/qdx_gs.htm"}, opened_);

  EXPECT_FALSE(app_->HandleFirstRun());
  EXPECT_EQ(1u, opened_.size());
}

// The program's order: window created and initialised, last file loaded, shown; exit; window
// destroyed before the components are released, leaving no object of the program behind.
TEST_F(ApplicationTest, BarWindowFollowsTheLoadedFileFromStartToExit) {
  Start();
  app_->Settings().docked = true;
  app_->Settings().dockEdge = 0;
  app_->SetSettingsChanged(true);
  const std::string path = SavedFile("last.qdx");

  Start();
  auto window = std::make_unique<BarWindow>(*app_, app_->Container(), false);
  app_->AttachWindow(window.get());
  window->Initialize();
  EXPECT_FALSE(window->Docked());
  ASSERT_TRUE(app_->LoadLastDataFile());
  window->show();
  EXPECT_TRUE(window->Docked());
  EXPECT_EQ(path, app_->CurrentFile());
  EXPECT_FALSE(app_->SettingsChanged());

  app_->Settings().alwaysOnTop = false;
  app_->SetSettingsChanged(true);
  prompter_.answers = {ui::Answer::kNo};
  EXPECT_TRUE(app_->Exit());
  EXPECT_EQ(window.get(), prompter_.messages.at(0).owner);
  app_->AttachWindow(nullptr);
  window.reset();
  app_->ReleaseComponents();
  EXPECT_EQ(nullptr, app_->Container());
}

TEST_F(ApplicationTest, MissingComponentsAreReportedAsAnInstallationProblem) {
  const vok::ClassEntry noClasses[] = {{nullptr, nullptr, nullptr, nullptr}};
  ApplicationSeams seams;
  seams.desktop = std::make_unique<x11::FakeDesktop>();
  seams.classes = noClasses;  // no log, no user-interface engine
  Application app(RunMode::kWindow, std::move(seams));
  EXPECT_FALSE(app.CreateComponents());
  ASSERT_EQ(1u, prompter_.messages.size());
  EXPECT_EQ(BarString(kIdsNotInstalled), prompter_.messages[0].text);
  EXPECT_EQ(ui::Icon::kError, prompter_.messages[0].icon);
  EXPECT_EQ(nullptr, app.Container());
  EXPECT_EQ(nullptr, app.Log());
}

}  // namespace
}  // namespace vok::bar::test
