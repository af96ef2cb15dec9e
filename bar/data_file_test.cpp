#include "bar/data_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "bar/application_test_support.h"
#include "bar/log.h"
#include "bar/resources/bar_strings.h"
#include "platform/storage/storage.h"

namespace vok::bar::test {
namespace {

using Bytes = std::vector<uint8_t>;

ComPtr<IvokEngineCmdLineProp> CommandLineSettings(Application& app) {
  ComPtr<IUnknown> engine;
  app.Container()->GetEngineByIface(IvokEngineCmdLineProp::kIID, engine.ReleaseAndGetAddressOf());
  return QueryAs<IvokEngineCmdLineProp>(engine.Get());
}

// Settings a new bar does not have, in the bar's record and in the command-line engine's.
void ChangeSettings(Application& app) {
  app.Settings().docked = true;
  app.Settings().dockEdge = 0;
  app.Settings().saveOnExit = kExitWithoutSaving;
  app.Settings().contextFolders = {{"Terminal", "/tmp", true, false}};
  app.SetSettingsChanged(true);
  ASSERT_EQ(S_OK, CommandLineSettings(app)->put_UseQuickHelp(0));
}

LONG UseQuickHelp(Application& app) {
  LONG value = -1;
  CommandLineSettings(app)->get_UseQuickHelp(&value);
  return value;
}

// Records the entries the logs add while it lives.
class LogRecorder {
 public:
  LogRecorder() {
    previous_ = SetLogObserver([this](const std::string& text, LONG type) {
      entries.push_back((type == kLogError ? "E " : "I ") + text);
    });
  }
  ~LogRecorder() { SetLogObserver(std::move(previous_)); }
  std::vector<std::string> entries;

 private:
  LogObserver previous_;
};

class DataFileTest : public ApplicationTest {};

TEST_F(DataFileTest, SaveAndLoadCarryTheWholeConfiguration) {
  ChangeSettings(Start());
  const UiSettings saved = app_->Settings();
  const std::string path = SavedFile("round.qdx");
  EXPECT_EQ(path, app_->CurrentFile());
  EXPECT_EQ(path, app_->Recent().Entry(0));
  EXPECT_FALSE(app_->HasUnsavedChanges());

  Start();
  ASSERT_EQ(UiSettings{}, app_->Settings());
  ASSERT_TRUE(app_->LoadLastDataFile());
  EXPECT_EQ(saved.docked, app_->Settings().docked);
  EXPECT_EQ(saved.dockEdge, app_->Settings().dockEdge);
  EXPECT_EQ(saved.saveOnExit, app_->Settings().saveOnExit);
  EXPECT_EQ(saved.contextFolders, app_->Settings().contextFolders);
  EXPECT_EQ(0, UseQuickHelp(*app_));
  EXPECT_EQ(path, app_->CurrentFile());
  EXPECT_FALSE(app_->HasUnsavedChanges());
}

// A valid file whose command-line stream is cut short: the bar's record before it reads fine,
// so the load fails half-way.
void CutCommandLineStream(const std::string& path) {
  ComPtr<IStorage> storage;
  ASSERT_EQ(S_OK, StgOpenStorage(path.c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                 nullptr, 0, storage.ReleaseAndGetAddressOf()));
  ComPtr<IStream> stream;
  ASSERT_EQ(S_OK, storage->CreateStream("ENG_CMD_LINE", STGM_CREATE | 0x12, 0, 0,
                                        stream.ReleaseAndGetAddressOf()));
  const char cut[] = {5, 0, 0};
  ASSERT_EQ(S_OK, stream->Write(cut, sizeof cut, nullptr));
  stream.Reset();
  ASSERT_EQ(S_OK, storage->Commit(STGC_DEFAULT));
}

// One bit of the container stream's name flipped in the directory: the stream is gone.
void FlipContainerStreamName(Bytes& bytes) {
  const std::u16string name = u"ENG_CONTAINER";
  const auto* pattern = reinterpret_cast<const uint8_t*>(name.data());
  auto at = std::search(bytes.begin(), bytes.end(), pattern, pattern + name.size() * 2);
  ASSERT_NE(bytes.end(), at);
  *at ^= 0x01;
}

struct CorruptCase {
  const char* name;
  std::function<void(const std::string& path, Bytes& bytes)> corrupt;
};
void PrintTo(const CorruptCase& c, std::ostream* out) { *out << c.name; }

class CorruptDataFileTest : public ApplicationTest,
                            public testing::WithParamInterface<CorruptCase> {};

TEST_P(CorruptDataFileTest, AutomaticLoadFailsAndStartsWithDefaultsLeavingTheFile) {
  // A file written with settings a new bar does not have, then damaged.
  ChangeSettings(Start());
  const std::string path = SavedFile("damaged.qdx");
  Bytes bytes = ReadBytes(path);
  GetParam().corrupt(path, bytes);
  if (!bytes.empty()) WriteBytes(path, bytes);
  bytes = ReadBytes(path);

  Start();
  ASSERT_EQ(path, app_->Recent().Entry(0));
  LogRecorder log;
  EXPECT_FALSE(app_->LoadLastDataFile());

  EXPECT_EQ(bytes, ReadBytes(path));
  EXPECT_EQ(UiSettings{}, app_->Settings());
  EXPECT_EQ(1, UseQuickHelp(*app_));
  EXPECT_EQ("", app_->CurrentFile());
  EXPECT_TRUE(app_->Recent().Entries().empty());
  EXPECT_FALSE(app_->HasUnsavedChanges());
  std::string expected = BarString(kIdsDataFileDefaults);
  expected.replace(expected.find("%s"), 2, path);
  EXPECT_EQ(std::vector<std::string>{"E " + expected}, log.entries);
  EXPECT_TRUE(prompter_.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Damage, CorruptDataFileTest,
    testing::Values(
        CorruptCase{"Truncated", [](const std::string&, Bytes& b) { b.resize(b.size() / 2); }},
        CorruptCase{"Flipped", [](const std::string&, Bytes& b) { FlipContainerStreamName(b); }},
        CorruptCase{"NotCompound",
                    [](const std::string&, Bytes& b) {
                      const std::string text = "Quillo settings, but not a compound file\n";
                      b.assign(text.begin(), text.end());
                    }},
        CorruptCase{"EngineStreamCutShort",
                    [](const std::string& path, Bytes& b) {
                      CutCommandLineStream(path);
                      b.clear();
                    }}),
    [](const testing::TestParamInfo<CorruptCase>& info) { return std::string(info.param.name); });

TEST_F(DataFileTest, FailedOpenChangesNothingAndKeepsUnsavedChanges) {
  Start();
  const std::string good = SavedFile("good.qdx");
  const std::string bad = Path("bad.qdx");
  WriteBytes(bad, Bytes(1024, 0xAB));
  app_->Settings().docked = true;
  app_->SetSettingsChanged(true);

  prompter_.answers = {ui::Answer::kNo};  // do not save the changes first
  prompter_.files = {bad};
  EXPECT_FALSE(app_->OpenDataFileWithDialog());

  ASSERT_EQ(2u, prompter_.messages.size());
  EXPECT_EQ(BarString(kIdsSaveQuestion), prompter_.messages[0].text);
  EXPECT_NE(std::string::npos, prompter_.messages[1].text.find(bad));
  EXPECT_EQ(ui::Icon::kExclamation, prompter_.messages[1].icon);
  EXPECT_EQ(good, app_->CurrentFile());
  EXPECT_EQ(std::vector<std::string>{good}, app_->Recent().Entries());
  EXPECT_TRUE(app_->Settings().docked);
  EXPECT_TRUE(app_->SettingsChanged());
  EXPECT_TRUE(app_->HasUnsavedChanges());
}

TEST_F(DataFileTest, OpenWithDialogLoadsTheChosenFile) {
  ChangeSettings(Start());
  const std::string path = SavedFile("chosen.qdx");
  Start();
  prompter_.files = {path};
  EXPECT_TRUE(app_->OpenDataFileWithDialog());
  ASSERT_EQ(1u, prompter_.fileRequests.size());
  EXPECT_EQ(DataFileFilters(), prompter_.fileRequests[0].filters);
  EXPECT_TRUE(app_->Settings().docked);
  EXPECT_FALSE(app_->SettingsChanged());
  EXPECT_EQ(path, app_->CurrentFile());

  // Cancelling the dialog changes nothing.
  EXPECT_FALSE(app_->OpenDataFileWithDialog());
  EXPECT_EQ(path, app_->CurrentFile());
}

TEST(DataFileFiltersTest, AllFilesMeansEveryNameHere) {
  EXPECT_EQ((std::vector<std::string>{"Quillo Files (*.qdx)", "All Files (*)"}), DataFileFilters());
}

}  // namespace
}  // namespace vok::bar::test
