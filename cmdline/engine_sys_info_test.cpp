// The system-settings panel engine: its answers to the container, the strip of tabs by hint
// level, what a click on each tab does, and the desktop programs behind the tabs.
#include "cmdline/engine_sys_info.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTabBar>
#include <QToolBar>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>

#include "common/class_ids.h"
#include "common/test_application.h"
#include "common/test_libraries.h"
#include "platform/com/runtime.h"
#include "platform/shell/trash.h"
#include "platform/system/recording_process_runner.h"
#include "platform/ui/scripted_prompter.h"

namespace vok::test {
namespace {

using cmdline::SysInfoAction;
using Command = std::vector<std::string>;

class RecordingActions final : public cmdline::SysInfoActions {
 public:
  std::vector<SysInfoAction> runs;
  void Run(SysInfoAction action) override { runs.push_back(action); }
};

// ---- The engine as the container sees it ----

TEST(EngineSysInfoTest, AnswersEverySlotAsAPanelWithoutCommands) {
  ASSERT_TRUE(RegisterBuiltLibrary("vokCmdLine"));
  CLSID registered = {};
  ASSERT_EQ(S_OK, CLSIDFromProgID("vokEngineSysInfo.vokEngineSysInfo.1", &registered));
  EXPECT_EQ(clsid::kEngineSysInfo, registered);
  ComPtr<IvokEngine> engine;
  ASSERT_EQ(S_OK, CoCreateInstance(clsid::kEngineSysInfo, nullptr, CLSCTX_INPROC_SERVER,
                                   IvokEngine::kIID, engine.ReleaseAndGetVoidAddressOf()));
  auto panel = QueryAs<IvokEnginePanel>(engine.Get());
  auto persist = QueryAs<IPersistStorage>(engine.Get());
  ASSERT_TRUE(panel && persist);
  ASSERT_EQ(S_OK, engine->Init(nullptr, 1));

  RECT rect;
  struct SlotCase {
    HRESULT expected;
    const char* slot;
    std::function<HRESULT()> call;
  };
  // In call order: the flag cases see the change SetFlags makes.
  const SlotCase calls[] = {
      {S_FALSE, "Command", [&] { return engine->Command(nullptr); }},
      {E_FAIL, "GetRect before Create", [&] { return panel->GetRect(&rect); }},
      {E_FAIL, "Create without a parent", [&] { return panel->Create(nullptr); }},
      {S_OK, "TestFlags(4) at the start", [&] { return panel->TestFlags(4); }},
      {S_FALSE, "TestFlags(5) at the start", [&] { return panel->TestFlags(5); }},
      {S_OK, "SetFlags(5, 1)", [&] { return panel->SetFlags(5, 1); }},
      {S_OK, "TestFlags(1) after it", [&] { return panel->TestFlags(1); }},
      {S_FALSE, "TestFlags(4) after it", [&] { return panel->TestFlags(4); }},
      {S_FALSE, "IsDirty", [&] { return persist->IsDirty(); }},
      {S_OK, "Save", [&] { return persist->Save(nullptr, 1); }},
  };
  for (const SlotCase& c : calls) EXPECT_EQ(c.expected, c.call()) << c.slot;

  LONG value = 0;
  EXPECT_EQ(S_OK, engine->get_VirtualOrder(&value));
  EXPECT_EQ(25, value);
  char command[kPanelCommandSize] = "keep";
  EXPECT_EQ(S_FALSE, panel->GetCommand(command));
  EXPECT_STREQ("keep", command);
  CLSID id = {};
  EXPECT_EQ(S_OK, persist->GetClassID(&id));
  EXPECT_EQ(clsid::kEngineSysInfo, id);
}

// Through the real container, as the bar sets it up: the toolbar gets the panel's button with
// its image and tip, the strip shows when chosen, and laying the panels out keeps the strip's
// height.
TEST(EngineSysInfoTest, ContainerPlacesThePanelWithItsButton) {
  EnsureApplication();
  ASSERT_TRUE(RegisterBuiltLibrary("vokEngine") && RegisterBuiltLibrary("vokCmdLine"));
  ComPtr<IvokEngineContainer> container;
  ASSERT_EQ(S_OK,
            CoCreateInstance(clsid::kEngineContainer, nullptr, CLSCTX_INPROC_SERVER,
                             IvokEngineContainer::kIID, container.ReleaseAndGetVoidAddressOf()));
  const CLSID* engines[] = {&clsid::kEngineSysInfo, nullptr};
  ASSERT_EQ(S_OK, container->Init(engines, 1));

  QWidget bar;
  bar.resize(900, 60);
  auto panels = QueryAs<IvokPanelBar>(container.Get());
  ASSERT_EQ(S_OK, panels->CreatePanels(&bar, 100, 100));
  HWND window = nullptr;
  ASSERT_EQ(S_OK, panels->CreateToolbar(1, &bar, &window));
  auto* toolbar = qobject_cast<QToolBar*>(window);
  ASSERT_TRUE(toolbar);
  ASSERT_EQ(1, toolbar->actions().size());
  QAction* button = toolbar->actions().front();
  EXPECT_EQ(QStringLiteral("System Settings and Info"), button->toolTip());
  const QImage expected =
      QImage(QStringLiteral(":/vokCmdLine/220.png")).convertToFormat(QImage::Format_ARGB32);
  ASSERT_FALSE(expected.isNull());
  EXPECT_EQ(expected, button->icon().pixmap(16, 15).toImage().convertToFormat(expected.format()));

  auto* tabs = bar.findChild<QTabBar*>(QStringLiteral("sysInfoTabs"));
  ASSERT_TRUE(tabs);
  EXPECT_FALSE(tabs->parentWidget()->isVisibleTo(&bar));  // hidden until chosen
  ASSERT_EQ(S_OK, panels->SelectPanel(100));
  EXPECT_TRUE(tabs->parentWidget()->isVisibleTo(&bar));
  const int height = tabs->parentWidget()->height();
  ASSERT_EQ(S_OK, panels->LayoutPanels());
  EXPECT_EQ(height, tabs->parentWidget()->height());
  EXPECT_EQ((bar.height() - height) / 2, tabs->parentWidget()->y());
  container.Reset();
}

// ---- The strip of tabs ----

// The full strip in order, with the action a click on each tab runs.
const std::pair<const char*, SysInfoAction> kFullStrip[] = {
    {"System", SysInfoAction::kSystem},      {"Control Panel", SysInfoAction::kControlPanel},
    {"Printers", SysInfoAction::kPrinters},  {"Recycle Bin", SysInfoAction::kRecycleBin},
    {"Internet", SysInfoAction::kInternet},  {"Display", SysInfoAction::kDisplay},
    {"Date/Time", SysInfoAction::kDateTime}, {"Mouse", SysInfoAction::kMouse},
    {"Keyboard", SysInfoAction::kKeyboard},  {"About Shell", SysInfoAction::kAboutShell},
};
const std::set<SysInfoAction> kReducedStrip = {SysInfoAction::kSystem, SysInfoAction::kControlPanel,
                                               SysInfoAction::kPrinters, SysInfoAction::kRecycleBin,
                                               SysInfoAction::kAboutShell};

// The panel of an engine made in this process (so that the recording actions are the ones it
// uses) at the hint level given as the parameter.
class SysInfoPanelTest : public testing::TestWithParam<LONG> {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, engine_->Init(nullptr, GetParam()));
    ASSERT_EQ(S_OK, engine_->Create(&window_));
    engine_->SetHorzPos(0, 1400);
    engine_->Show(SW_SHOW);
    window_.resize(1400, 40);
    window_.show();
    tabs_ = window_.findChild<QTabBar*>(QStringLiteral("sysInfoTabs"));
    ASSERT_TRUE(tabs_);
  }

  void Click(int index) {
    const QPointF at = tabs_->tabRect(index).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, tabs_->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, tabs_->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(tabs_, &press);
    QCoreApplication::sendEvent(tabs_, &release);
  }

  RecordingActions actions_;
  cmdline::ScopedSysInfoActions scoped_{&actions_};
  const bool application_ = (EnsureApplication(), true);  // before the widget
  QWidget window_;
  ComPtr<vokEngineSysInfo> engine_{new vokEngineSysInfo};
  QTabBar* tabs_ = nullptr;
};

// Level 1 shows every tab, the others a reduced strip. A click runs the tab's action, twice
// for two clicks, and leaves no tab looking selected; the panel takes Enter and Esc (they go
// no further) and does nothing.
TEST_P(SysInfoPanelTest, TabsOfTheHintLevelActAsButtons) {
  std::vector<std::pair<std::string, SysInfoAction>> expected, shown;
  for (const auto& tab : kFullStrip)
    if (GetParam() == 1 || kReducedStrip.count(tab.second)) expected.emplace_back(tab);
  for (int i = 0; i < tabs_->count(); ++i) {
    if (!tabs_->isTabVisible(i)) continue;
    const std::string label = tabs_->tabText(i).toStdString();
    EXPECT_FALSE(tabs_->tabIcon(i).isNull()) << label;
    actions_.runs.clear();
    for (int round = 0; round < 2; ++round) {
      Click(i);
      QCoreApplication::processEvents();
      EXPECT_FALSE(tabs_->isTabVisible(tabs_->currentIndex())) << label << " looks selected";
    }
    ASSERT_EQ(2u, actions_.runs.size()) << label;
    EXPECT_EQ(actions_.runs[0], actions_.runs[1]) << label;
    shown.emplace_back(label, actions_.runs[0]);
  }
  EXPECT_EQ(expected, shown);

  actions_.runs.clear();
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(tabs_, &press);
    EXPECT_TRUE(press.isAccepted()) << "key " << key << " reached the bar";
  }
  QCoreApplication::processEvents();
  EXPECT_TRUE(actions_.runs.empty());
}

INSTANTIATE_TEST_SUITE_P(HintLevels, SysInfoPanelTest, testing::Values(0, 1, 2));

// ---- The desktop's programs behind the tabs ----

// The program each action starts, with $XDG_CURRENT_DESKTOP `desktop`, only `installed` found
// and xdg-mime naming `schemeHandler` (when set) as the handler of trash:.
Command Started(SysInfoAction action, const char* desktop, std::set<std::string> installed,
                std::optional<std::string> schemeHandler = {}) {
  setenv("XDG_CURRENT_DESKTOP", desktop, 1);  // only these tests read it
  sys::test::RecordingProcessRunner runner;
  runner.installed = std::move(installed);
  if (schemeHandler) runner.results["xdg-mime"].push_back({0, *schemeHandler, false});
  sys::ScopedProcessRunner scoped(&runner);
  cmdline::DesktopSysInfoActions().Run(action);
  if (runner.calls.empty() || !runner.calls.back().detached) return {};
  return runner.calls.back().argv;
}

TEST(DesktopActionsTest, EachTabStartsItsSettingsProgram) {
  const std::pair<SysInfoAction, const char*> cases[] = {
      {SysInfoAction::kSystem, "kinfocenter"},
      {SysInfoAction::kControlPanel, "lxqt-config"},
      {SysInfoAction::kPrinters, "system-config-printer"},
      {SysInfoAction::kInternet, "nm-connection-editor"},
      {SysInfoAction::kDisplay, "arandr"},
      {SysInfoAction::kDateTime, "time-admin"},
      {SysInfoAction::kMouse, "xfce4-mouse-settings"},
      {SysInfoAction::kKeyboard, "mate-keyboard-properties"},
  };
  for (const auto& [action, program] : cases)
    EXPECT_EQ(Command{program}, Started(action, "", {program})) << program;
}

// trash:/// where the desktop or a registered handler opens it, else the home trash's folder.
TEST(DesktopActionsTest, RecycleBinFallsBackToTheHomeTrashFolder) {
  const Command trashUrl = {"xdg-open", "trash:///"};
  EXPECT_EQ(trashUrl, Started(SysInfoAction::kRecycleBin, "ubuntu:GNOME", {"xdg-open"}));
  EXPECT_EQ(trashUrl,
            Started(SysInfoAction::kRecycleBin, "", {"xdg-open", "xdg-mime"}, "pcmanfm.desktop\n"));
  const std::string files = (shell::HomeTrashPath() / "files").string();
  const Command trashFolder = {"xdg-open", files};
  EXPECT_EQ(trashFolder, Started(SysInfoAction::kRecycleBin, "", {"xdg-open", "xdg-mime"}, " \n"));
  EXPECT_EQ(trashFolder, Started(SysInfoAction::kRecycleBin, "LXDE", {"xdg-open"}));
  EXPECT_TRUE(std::filesystem::is_directory(files));
}

TEST(DesktopActionsTest, AboutBoxNamesTheSystemUnderItsTitle) {
  ui::ScriptedPrompter prompter;
  ui::ScopedPrompter scoped(&prompter);
  cmdline::DesktopSysInfoActions().Run(SysInfoAction::kAboutShell);
  ASSERT_EQ(1u, prompter.messages.size());
  EXPECT_EQ("Shell by Quillo", prompter.messages[0].caption);
  EXPECT_NE(std::string::npos, prompter.messages[0].text.find("Linux"));

  struct TextCase {
    const char* osRelease;
    const char* desktop;
    const char* kernel;
    const char* expected;
  };
  const TextCase cases[] = {
      {"NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n", "GNOME",
       "Linux 6.1.0 x86_64", "Debian GNU/Linux 12 (bookworm)\nGNOME\nLinux 6.1.0 x86_64"},
      {"NAME=Fedora\nVERSION='39 (Workstation)'\n", "ubuntu:GNOME", "K",
       "Fedora 39 (Workstation)\nubuntu, GNOME\nK"},
      {"PRETTY_NAME=\"Say \\\"hi\\\" \\\\o/\"\n", "", "", "Say \"hi\" \\o/"},
      {"", "", "Linux 6 x", "Linux\nLinux 6 x"},
  };
  for (const TextCase& c : cases)
    EXPECT_EQ(c.expected, cmdline::AboutShellText(c.osRelease, c.desktop, c.kernel)) << c.osRelease;
}

}  // namespace
}  // namespace vok::test
