#include "bar/engine_ui.h"

#include <gtest/gtest.h>

#include <QWidget>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "bar/fake_bar_host.h"
#include "bar/fast_list_item_log.h"
#include "bar/log.h"
#include "bar/log_test_support.h"
#include "bar/ui_settings.h"
#include "common/class_ids.h"
#include "common/container_ifaces.h"
#include "common/memory_storage.h"
#include "common/test_libraries.h"
#include "platform/ui/scripted_prompter.h"

namespace vok::bar {
namespace {

// The bar window as the engine drives it: records every request.
class RecordingWindow final : public BarWindowControl {
 public:
  std::vector<std::string> calls;
  QWidget widget;  // the owner of message boxes

  void ApplySettings() override { calls.push_back("apply"); }
  void LeaveAutoHide() override { calls.push_back("leave-autohide"); }
  void SetTopmost(bool on) override { calls.push_back(on ? "topmost 1" : "topmost 0"); }
  void MinimizeToTray() override { calls.push_back("tray-minimize"); }
  void RestoreFromTray() override { calls.push_back("tray-restore"); }
  void OpenMainMenu(bool keyboard) override { calls.push_back(keyboard ? "menu key" : "menu"); }
  int InitialHeight() const override { return 26; }
  QWidget* Widget() override { return &widget; }
};

// The engine inside a real container (libvokEngine.so) with a real log (its list from
// libvokTools.so), a fake host and desktop, a recording window and a scripted prompter.
class EngineUiTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::EnsureApplication();
    ASSERT_TRUE(test::RegisterBuiltLibrary("vokEngine"));
    ASSERT_TRUE(test::RegisterBuiltLibrary("vokTools"));
  }

  void SetUp() override {
    startCount_ = ModuleCount().load();
    entryClass_ = std::make_unique<test::ScopedClassObject>(clsid::kFastListItemLog,
                                                            &CreateObject<vokFastListItemLog>);
    engineClass_ = std::make_unique<test::ScopedClassObject>(clsid::kEngineUI, &CreateEngineUI);
    ASSERT_EQ(CreateObject<vokLog>(nullptr, IvokLog::kIID, host.log.ReleaseAndGetVoidAddressOf()),
              S_OK);
    ASSERT_EQ(host.log->Init(), S_OK);
    host.window = &window;
    host.desktop.windows = {{11, "Terminal - bash", false},
                            {12, "Mozilla Firefox", true},
                            {13, "firefox downloads", false}};
    SetEngineUiHost(&host);
  }

  void TearDown() override {
    container_ = nullptr;
    host.log = nullptr;
    SetEngineUiHost(nullptr);
    engineClass_.reset();
    entryClass_.reset();
    EXPECT_EQ(ModuleCount().load(), startCount_) << "objects leaked";
  }

  HRESULT Start(LONG hint = 1) {
    HRESULT hr =
        CoCreateInstance(clsid::kEngineContainer, nullptr, CLSCTX_INPROC_SERVER,
                         IvokEngineContainer::kIID, container_.ReleaseAndGetVoidAddressOf());
    if (FAILED(hr)) return hr;
    container_->put_Log(host.log.Get());
    const CLSID* engines[] = {&clsid::kEngineUI, nullptr};
    return container_->Init(engines, hint);
  }
  HRESULT Run(const std::string& line) { return container_->Command(line.c_str()); }

  template <class I>
  ComPtr<I> Engine() {
    ComPtr<IUnknown> engine;
    EXPECT_EQ(container_->GetEngineByIface(I::kIID, engine.ReleaseAndGetAddressOf()), S_OK);
    return QueryAs<I>(engine.Get());
  }

  // What happened, in this order: log entries ("I text", "E text"), window requests
  // ("window apply"), desktop requests ("desktop minimize 12"), program operations ("host save").
  std::vector<std::string> Effects() {
    std::vector<std::string> effects;
    auto stream = MemoryStream::Create();
    EXPECT_EQ(QueryAs<IPersistStream>(host.log.Get())->Save(stream.Get(), 0), S_OK);
    ComPtr<MemoryStream> in = MemoryStream::Create(stream->Bytes());
    ReadLong(in.Get());  // list version
    ReadLong(in.Get());  // maximum size
    const LONG count = ReadLong(in.Get());
    if (count > 0) ReadGuid(in.Get());
    for (LONG i = 0; i < count; ++i) {
      ReadLong(in.Get());  // entry version
      std::string text = ReadStr32(in.Get());
      effects.push_back((ReadLong(in.Get()) == kLogError ? "E " : "I ") + text);
    }
    for (const auto& call : window.calls) effects.push_back("window " + call);
    for (const auto& call : host.desktop.calls) effects.push_back("desktop " + call);
    for (const auto& operation : host.operations) effects.push_back("host " + operation);
    return effects;
  }
  // The log window runs through the prompter.
  int LogShows() const { return prompter.dialogCount; }

  FakeBarHost host;
  RecordingWindow window;
  ui::ScriptedPrompter prompter;
  ui::ScopedPrompter scopedPrompter{&prompter};
  ComPtr<IvokEngineContainer> container_;

 private:
  std::unique_ptr<test::ScopedClassObject> entryClass_;
  std::unique_ptr<test::ScopedClassObject> engineClass_;
  int32_t startCount_ = 0;
};

// ---- Every command: the settings, the changed flag and the effects ----

void Nothing(FakeBarHost&) {}
void Same(UiSettings&) {}
void Docked(FakeBarHost& h) { h.settings.docked = true; }
void DockedTop(FakeBarHost& h) { h.settings.docked = true, h.settings.dockEdge = 0; }
void AutoHidden(FakeBarHost& h) { h.settings.autoHide = true; }
void HostDeclines(FakeBarHost& h) { h.answer = false; }
void NoDesktop(FakeBarHost& h) { h.desktop.available = false; }

struct CommandCase {
  const char* name;
  const char* line;
  void (*given)(FakeBarHost&);  // the state before the command
  void (*expect)(UiSettings&);  // what the command changes in the settings
  bool changed;                 // the settings-changed flag after the command
  const char* effects;          // Effects() joined by "; "
};
void PrintTo(const CommandCase& c, std::ostream* out) { *out << '"' << c.line << '"'; }

#define WRONG "E Missing or wrong parameter(s).  See help or use quick help."
#define NO_DESKTOP "E This needs an X11 desktop with a window manager; none is available."
#define DOCKED_NO_TRAY "E Window cannot be minimized or restored when docked."
#define APPLY_SHOW "window apply; window leave-autohide"

const CommandCase kCommandCases[] = {
    {"AutohideReport", "autohide", AutoHidden, Same, false, "I Autohide is on."},
    {"AutohideOn", "AutoHide ON", Nothing, [](UiSettings& s) { s.autoHide = true; }, true,
     APPLY_SHOW},
    {"DockReportFloating", "dock", Nothing, Same, false, "I Toolbar is floating."},
    {"DockReportTop", "dock", DockedTop, Same, false, "I Toolbar is docked on top."},
    {"DockOnUsesSavedEdge", "dock on", [](FakeBarHost& h) { h.settings.dockEdge = 0; },
     [](UiSettings& s) { s.docked = true; }, true, APPLY_SHOW},
    {"DockTopMovesToTop", "dock top", Nothing,
     [](UiSettings& s) { s.docked = true, s.dockEdge = 0; }, true, APPLY_SHOW},
    {"DockOffKeepsEdge", "dock off", DockedTop, [](UiSettings& s) { s.docked = false; }, true,
     APPLY_SHOW},
    {"DockWrong", "dock left", Nothing, Same, false, WRONG},
    {"OntopReport", "ontop", Nothing, Same, false, "I Always on top is on."},
    {"OntopOff", "ontop off", Nothing, [](UiSettings& s) { s.alwaysOnTop = false; }, true,
     "window apply"},
    {"AutominimizeReport", "autominimize", Docked, Same, false, "I Auto-minimize is off."},
    {"AutominimizeMarksButDoesNotApply", "autominimize on", Nothing,
     [](UiSettings& s) { s.autoMinimize = true; }, true, ""},
    {"AutominimizeRefusedDocked", "autominimize on", Docked, Same, false,
     "E Auto-minimize cannot be set or reset when window is docked."},
    {"AutominimizeWrong", "autominimize yes", Nothing, Same, false, WRONG},
    {"LogIsLowerCased", "log Hello", Nothing, Same, false, "I hello"},
    {"LogKeepsEveryWord", "log Build Done", Nothing, Same, false, "I build done"},
    {"LogShowsWindow", "log", Nothing, Same, false, ""},
    {"MinimizeBarToTray", "minimize", Nothing, Same, false, "window tray-minimize"},
    {"RestoreBarFromTray", "restore", Nothing, Same, false, "window tray-restore"},
    {"MinimizeRefusedDocked", "minimize", Docked, Same, false, DOCKED_NO_TRAY},
    {"RestoreRefusedDocked", "restore", Docked, Same, false, DOCKED_NO_TRAY},
    {"Menu", "menu", Nothing, Same, false, "window menu key"},
    {"MinimizeFirstMatchOnly", "minimize FIREFOX", Nothing, Same, false, "desktop minimize 12"},
    {"MinimizeAll", "minimize all", Nothing, Same, false, "desktop show-desktop 1"},
    {"RestoreWindow", "restore fox", Nothing, Same, false, "desktop restore 12"},
    {"WinmoveWithoutTitleDoesNothing", "winmove", Nothing, Same, false, ""},
    {"Winmove", "winmove Terminal", Nothing, Same, false, "desktop activate 11; desktop move 11"},
    {"Winsize", "winsize firefox", Nothing, Same, false,
     "desktop restore 12; desktop activate 12; desktop size 12"},
    {"Maximize", "maximize downloads", Nothing, Same, false, "desktop maximize 13"},
    {"Close", "close bash", Nothing, Same, false, "desktop activate 11; desktop close 11"},
    {"CloseNoMatch", "close calc", Nothing, Same, false,
     "E Window with the specifed string inside window title was not found."},
    {"ShowDesktop", "showdesktop", Nothing, Same, false, "desktop show-desktop 1"},
    {"ScreenSaver", "scrsaver", Nothing, Same, false, "desktop screensaver"},
    {"CloseNoDesktop", "close bash", NoDesktop, Same, false, NO_DESKTOP},
    {"MinimizeAllNoDesktop", "minimize all", NoDesktop, Same, false, NO_DESKTOP},
    {"ScreenSaverNoDesktop", "scrsaver", NoDesktop, Same, false, NO_DESKTOP},
    {"Exit", "exit", Nothing, Same, false, "host exit"},
    {"Quit", "QUIT", Nothing, Same, false, "host exit"},
    {"Options", "options", Nothing, Same, false, "host options"},
    {"Help", "help", Nothing, Same, false, "host help qdxhelp.htm"},
    {"FileOpenAsksOnlyThroughTheHost", "file open", Nothing, Same, false, APPLY_SHOW "; host open"},
    {"FileSaveCancelledChangesNothing", "file save", HostDeclines, Same, false,
     APPLY_SHOW "; host save"},
    {"FileSaveAs", "file SaveAs", Nothing, Same, false, APPLY_SHOW "; host saveas"},
    {"FileWithoutWord", "file", Nothing, Same, false, WRONG},
};

class EngineUiCommand : public EngineUiTest, public testing::WithParamInterface<CommandCase> {};

TEST_P(EngineUiCommand, Runs) {
  const CommandCase& c = GetParam();
  ASSERT_EQ(Start(), S_OK);
  c.given(host);
  UiSettings expected = host.settings;
  c.expect(expected);

  EXPECT_EQ(Run(c.line), S_OK) << "a recognised command never fails";
  EXPECT_EQ(host.settings, expected);
  EXPECT_EQ(host.changed, c.changed);
  std::string effects;
  for (const std::string& effect : Effects()) effects += (effects.empty() ? "" : "; ") + effect;
  EXPECT_EQ(effects, c.effects);
  const bool shown = effects.starts_with("E ") || std::string(c.line).starts_with("log");
  EXPECT_EQ(LogShows(), shown ? 1 : 0) << "the log window is shown after an error";
}

INSTANTIATE_TEST_SUITE_P(Table, EngineUiCommand, testing::ValuesIn(kCommandCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EngineUiTest, PauseAndHeadlessCommands) {
  ASSERT_EQ(Start(), S_OK);
  EXPECT_EQ(Run("pause"), S_OK);
  host.window = nullptr;  // headless: settings still change
  host.log->Add("earlier", kLogInfo);
  for (const char* line : {"log CLEAR", "dock top", "ontop off", "menu", "pause Insert Disk 2"})
    EXPECT_EQ(Run(line), S_OK) << line;
  EXPECT_TRUE(host.settings.docked);
  EXPECT_FALSE(host.settings.alwaysOnTop);
  EXPECT_TRUE(host.changed);
  EXPECT_TRUE(Effects().empty());
  EXPECT_EQ(LogShows(), 0);

  ASSERT_EQ(prompter.messages.size(), 2u);
  const ui::Message& first = prompter.messages[0];
  EXPECT_EQ(first.text, "Press Enter to continue ...");
  EXPECT_EQ(first.caption, "Pause");
  EXPECT_EQ(first.icon, ui::Icon::kInformation);
  EXPECT_EQ(first.buttons, ui::Buttons::kOk);
  EXPECT_EQ(first.owner, &window.widget);
  EXPECT_EQ(prompter.messages[1].text, "Insert Disk 2") << "the text as typed";
  EXPECT_EQ(prompter.messages[1].owner, nullptr);
}

TEST_F(EngineUiTest, FileNeedsHintLevelOneAndInitNeedsAHost) {
  for (LONG hint : {0, 1}) {
    ASSERT_EQ(Start(hint), S_OK);
    auto table = Engine<IvokEngineCmdTable>();
    EXPECT_EQ(table->IsCommandRegistered("file"), hint == 1 ? S_OK : S_FALSE);
    EXPECT_EQ(table->IsCommandRegistered("autominimize"), S_OK);
    EXPECT_EQ(table->IsCommandRegistered("uiexper"), S_FALSE) << "not a command";
    EXPECT_EQ(Run("nonsense"), S_FALSE) << "a word that is not the engine's is declined";
  }
  container_ = nullptr;
  SetEngineUiHost(nullptr);
  EXPECT_EQ(Start(), E_UNEXPECTED);
}

TEST_F(EngineUiTest, ServicesOfferedToOthers) {
  ASSERT_EQ(Start(), S_OK);
  LONG order = -1;
  EXPECT_EQ(Engine<IvokEngine>()->get_VirtualOrder(&order), S_OK);
  EXPECT_EQ(order, 0);
  CAUUID pages{};
  ASSERT_EQ(Engine<ISpecifyPropertyPages>()->GetPages(&pages), S_OK);
  ASSERT_EQ(pages.cElems, 1u);
  EXPECT_EQ(pages.pElems[0], clsid::kPPUI);
  CoTaskMemFree(pages.pElems);

  auto bar = Engine<IvokBarWindow>();
  EXPECT_EQ(bar->SetTopmost(0), S_OK);
  EXPECT_EQ(bar->SetTopmost(5), S_OK);
  EXPECT_EQ(bar->LeaveAutoHide(), S_OK);
  host.settings.alwaysOnTop = false;
  EXPECT_EQ(bar->SetTopmost(1), S_OK);
  EXPECT_EQ(window.calls, (std::vector<std::string>{"topmost 0", "topmost 1", "leave-autohide"}))
      << "topmost follows requests only while always on top is set";
}

// ---- The "UI_DATA" stream ----

std::vector<uint8_t> RecordOf(const UiSettings& settings) {
  auto stream = MemoryStream::Create();
  SaveUiSettings(stream.Get(), settings);
  return stream->Bytes();
}

TEST_F(EngineUiTest, SaveWritesTheRecordAndClearsTheChangedFlagOnSuccess) {
  ASSERT_EQ(Start(), S_OK);
  auto persist = Engine<IPersistStorage>();
  ComPtr<test::MemoryStorage> storage(new test::MemoryStorage);
  host.settings.docked = true;
  host.changed = true;
  EXPECT_EQ(persist->IsDirty(), S_OK);
  EXPECT_EQ(persist->Save(storage.Get(), 1), S_OK);
  EXPECT_EQ(storage->streams["UI_DATA"]->Bytes(), RecordOf(host.settings));
  EXPECT_EQ(persist->IsDirty(), S_FALSE);

  host.changed = true;
  storage->createResult = STG_E_ACCESSDENIED;
  EXPECT_EQ(persist->Save(storage.Get(), 1), STG_E_ACCESSDENIED);
  EXPECT_TRUE(host.changed) << "a failed save leaves the changes unsaved";
}

TEST_F(EngineUiTest, LoadRebasesTheFloatingRectangleAndClearsTheChangedFlagOnSuccess) {
  ASSERT_EQ(Start(), S_OK);
  auto persist = Engine<IPersistStorage>();
  ComPtr<test::MemoryStorage> storage(new test::MemoryStorage);
  host.settings.autoHide = true;
  host.changed = true;
  EXPECT_EQ(persist->Load(storage.Get()), STG_E_FILENOTFOUND) << "no UI_DATA stream";
  EXPECT_TRUE(host.settings.autoHide);
  storage->streams["UI_DATA"] = MemoryStream::Create({1, 0, 0});
  EXPECT_EQ(persist->Load(storage.Get()), STG_E_READFAULT);
  EXPECT_TRUE(host.changed) << "failed loads keep the flag";

  UiSettings stored;
  stored.floatingRect = {100, 200, 600, 290};
  storage->streams["UI_DATA"] = MemoryStream::Create(RecordOf(stored));
  EXPECT_EQ(persist->Load(storage.Get()), S_OK);
  EXPECT_FALSE(host.changed);
  UiSettings expected = stored;
  expected.floatingRect.bottom = 200 + window.InitialHeight();
  EXPECT_EQ(host.settings, expected);

  // A rectangle never recorded stays empty, so the window keeps its first place.
  storage->streams["UI_DATA"] = MemoryStream::Create(RecordOf(UiSettings{}));
  EXPECT_EQ(persist->Load(storage.Get()), S_OK);
  EXPECT_EQ(host.settings, UiSettings{});
}

}  // namespace
}  // namespace vok::bar
