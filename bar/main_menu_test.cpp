#include "bar/main_menu.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bar/bar_test_fakes.h"
#include "bar/bar_window.h"
#include "bar/fake_bar_host.h"
#include "common/test_application.h"
#include "common/vok_object.h"
#include "platform/ui/scripted_prompter.h"

namespace vok::bar {
namespace {

using fakes::FakeContainer;
using fakes::FakeLog;
using Lines = std::vector<std::string>;

// One line per action: "text=id", "-" for a separator, "text>" for a popup followed by its
// items indented by a space; "[x]" / "[ ]" in front of a check item, "~" in front of a greyed one.
Lines Describe(const QMenu& menu, const std::string& indent = "") {
  Lines lines;
  for (const QAction* action : menu.actions()) {
    std::string line = indent + (action->isEnabled() ? "" : "~");
    if (action->isCheckable()) line += action->isChecked() ? "[x]" : "[ ]";
    if (action->isSeparator()) {
      lines.push_back(indent + "-");
    } else if (action->menu()) {
      lines.push_back(line + action->text().toStdString() + ">");
      const Lines items = Describe(*action->menu(), indent + " ");
      lines.insert(lines.end(), items.begin(), items.end());
    } else {
      lines.push_back(line + action->text().toStdString() + "=" +
                      std::to_string(action->data().toInt()));
    }
  }
  return lines;
}

// The check marks of Always On Top, Auto-hide, Dock and Auto-minimize ("~": greyed).
std::string Marks(const Lines& items) {
  std::string marks;
  for (const std::string& item : items) {
    const size_t begin = item.find_first_not_of(' '), end = item.find(']');
    if (end != std::string::npos) marks += item.substr(begin, end + 1 - begin);
  }
  return marks;
}

class MainMenuTest : public testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApplication();
    log_->calls = &container_->calls;  // Show is recorded among the container's calls
  }
  void TearDown() override {
    bar_.reset();
    host_.log.Reset();
    log_.Reset();
    container_.Reset();
    EXPECT_EQ(ModuleCount().load(), startCount_) << "a menu leaked a reference";
  }

  MenuState State(bool docked = false) {
    return MenuState{host_.settings, docked, host_.recentFiles, container_.Get()};
  }

  BarWindow& MakeBar() {
    host_.log = ComPtr<IvokLog>(log_.Get());
    bar_ = std::make_unique<BarWindow>(host_, container_->Identity(), true);
    host_.window = bar_.get();
    bar_->SetTrayAvailability([] { return true; });
    bar_->Initialize();
    return *bar_;
  }

  const int32_t startCount_ = ModuleCount().load();
  FakeBarHost host_;
  ComPtr<FakeContainer> container_{new FakeContainer};
  ComPtr<FakeLog> log_{new FakeLog};
  ui::ScriptedPrompter prompter_;
  ui::ScopedPrompter scoped_{&prompter_};
  std::unique_ptr<BarWindow> bar_;
};

TEST_F(MainMenuTest, MainMenuHoldsEveryCommandInOrder) {
  host_.recentFiles = {"/home/u/x.qdx", "/tmp/b&w.qdx"};
  QMenu menu;
  BuildMainMenu(menu, State());
  const Lines items = Describe(menu);
  ASSERT_EQ(items.size(), 35u);
  EXPECT_EQ(
      Lines(items.begin(), items.begin() + 17),
      (Lines{"&File>", " &Open...=57601", " &Save=57603", " Save &As,,,=48", " -",
             " &1 /home/u/x.qdx=57616", " &2 /tmp/b&&w.qdx=57617", " -", " E&xit=64", "&View>",
             " &File Management=32786", " &Command Browser=32784", " &Log File=32779", " -",
             " &Next Mode\tAlt + PgDn=32776", " &Previous Mode\tAlt + PgUp=32787", " -"}));
  EXPECT_EQ(Lines(items.begin() + 17, items.end()),
            (Lines{" [x]Always On &Top=112", " [ ]Auto-&hide=160", " [ ]&Dock=144",
                   " [ ]Auto-&minimize=32801", "&Go>", " &Back\tAlt + Left Arrow=32781",
                   " &Forward\tAlt + Right Arrow=32782", " &Up one level=32783", "&Favorites>",
                   " notes=10000", "&Tools>", " &Options...=32", "&Help>", " Quillo &Help=32788",
                   " Getting &Started=32789", " &Quillo Home Page=32790", " -",
                   " &About Quillo...=40025"}));
  EXPECT_EQ(container_->calls, Lines{"FillMenu 10000"});
}

// Without engine menus the Favorites popup is greyed and empty.
TEST_F(MainMenuTest, TrayMenuHoldsFavoritesTogglesOptionsHelpAndExit) {
  host_.settings.autoHide = true;
  for (IvokMenuCommands* engineMenus : {static_cast<IvokMenuCommands*>(container_.Get()),
                                        static_cast<IvokMenuCommands*>(nullptr)}) {
    MenuState state = State();
    state.engineMenus = engineMenus;
    QMenu menu;
    BuildTrayMenu(menu, state);
    const Lines items = Describe(menu);
    const Lines favorites =
        engineMenus ? Lines{"&Favorites>", " notes=10000"} : Lines{"~&Favorites>"};
    ASSERT_GT(items.size(), favorites.size());
    EXPECT_EQ(Lines(items.begin(), items.begin() + favorites.size()), favorites);
    EXPECT_EQ(Lines(items.begin() + favorites.size(), items.end()),
              (Lines{"-", "[x]Always On &Top=112", "[x]Auto-&hide=160", "[ ]&Dock=144", "-",
                     "&Options...=32", "&Help>", " Quillo &Help=32788", " Getting &Started=32789",
                     " &About Quillo...=40025", "-", "E&xit=64"}));
  }
}

TEST_F(MainMenuTest, ChecksFollowTheSettingsAndDockingGreysAutoMinimize) {
  const struct {
    bool onTop, autoHide, dockSetting, autoMinimize, dockedNow;
    const char* marks;
  } cases[] = {
      {true, true, false, true, false, "[x][x][ ][x]"},
      {false, false, true, true, true, "[ ][ ][x]~[x]"},
      // The desktop refused the dock: the setting stays checked, auto-minimize still works.
      {false, false, true, false, false, "[ ][ ][x][ ]"},
  };
  for (const auto& c : cases) {
    host_.settings.alwaysOnTop = c.onTop;
    host_.settings.autoHide = c.autoHide;
    host_.settings.docked = c.dockSetting;
    host_.settings.autoMinimize = c.autoMinimize;
    QMenu main;
    BuildMainMenu(main, State(c.dockedNow));
    EXPECT_EQ(Marks(Describe(main)), c.marks);
    QMenu tray;
    BuildTrayMenu(tray, State(c.dockedNow));
    EXPECT_EQ(Marks(Describe(tray)), std::string(c.marks).substr(0, 9));
  }
}

TEST_F(MainMenuTest, RecentFilesAreNumberedShortenedAndLimitedToTheirIdentifiers) {
  const std::string deep = "/home/someone/projects/quillo/configurations/2024/spring/work.qdx";
  const struct {
    size_t index;
    std::string path;
    std::string label;
  } cases[] = {
      {9, "/a.qdx", "1&0 /a.qdx"},
      {10, "/a.qdx", "11 /a.qdx"},
      // Long: the first folder, as many last folders as fit, always the file name.
      {1, deep, "&2 /home/.../configurations/2024/spring/work.qdx"},
      {0, "/home/" + std::string(60, 'n') + ".qdx", "&1 /home/" + std::string(60, 'n') + ".qdx"},
      {0, "/data/" + std::string(30, 'd') + "/" + std::string(30, 'f') + ".qdx",
       "&1 /data/.../" + std::string(30, 'f') + ".qdx"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(RecentFileLabel(c.index, c.path).toStdString(), c.label) << c.path;

  // The entries stand between the separators after Save As and before Exit.
  const struct {
    size_t files, shown;
    const char* last;
  } lists[] = {{0, 1, "~Recent File=57616"}, {20, 16, "16 /r.qdx=57631"}};
  for (const auto& list : lists) {
    host_.recentFiles.assign(list.files, "/r.qdx");
    QMenu menu;
    BuildMainMenu(menu, State());
    const Lines file = Describe(*menu.actions().front()->menu());
    ASSERT_EQ(file.size(), 4 + list.shown + 2);
    EXPECT_EQ(file[4 + list.shown - 1], list.last);
  }
}

// ---- The menus as the bar window tracks and runs them ----

// Picks the item with `id` from the tracked menu or one of its popups.
std::function<QAction*(QMenu&)> PickId(int id) {
  return [id](QMenu& menu) -> QAction* {
    for (QAction* action : menu.findChildren<QAction*>())
      if (!action->menu() && action->data() == id) return action;
    ADD_FAILURE() << "no item " << id;
    return nullptr;
  };
}

TEST_F(MainMenuTest, EveryTrackedMenuEndsWithRunMenuCommandMinusOne) {
  BarWindow& bar = MakeBar();
  const struct {
    bool tray;
    int pick;  // 0: dismissed
    Lines calls;
    Lines operations;
  } cases[] = {
      {false, 0, {"FillMenu 10000", "RunMenuCommand -1"}, {}},
      {false, 10000, {"FillMenu 10000", "RunMenuCommand 10000", "RunMenuCommand -1"}, {}},
      {true, 0, {"FillMenu 10000", "RunMenuCommand -1"}, {}},
      {true, kCmdGettingStarted, {"FillMenu 10000", "RunMenuCommand -1"}, {"help qdx_gs.htm"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.tray) + " " + std::to_string(c.pick));
    container_->calls.clear();
    host_.operations.clear();
    if (c.pick) prompter_.menus.push_back(PickId(c.pick));
    if (c.tray) {
      bar.OnTrayActivated(QSystemTrayIcon::Context);
    } else {
      bar.OpenMainMenu(false);
    }
    EXPECT_EQ(container_->calls, c.calls);
    EXPECT_EQ(host_.operations, c.operations);
  }
  EXPECT_EQ(prompter_.trackedMenus.size(), std::size(cases));
}

// Only the four toggles change the settings (and mark them changed).
TEST_F(MainMenuTest, RunCommandRoutesEveryMenuCommand) {
  const struct {
    int id;
    Lines operations;
    Lines calls;  // the container's, the log's and the about box's
    bool UiSettings::*toggled = nullptr;
    bool hostAnswer = true;
  } cases[] = {
      {kCmdOptions, {"options"}, {}},
      // Opening a recent file replaces what is in memory: the save question comes first.
      {57619, {"ask-save", "recent 3"}, {}},
      {57631, {"ask-save"}, {}, nullptr, false},
      {kCmdFileManagement, {}, {"Command *"}},
      {kCmdCommandBrowser, {}, {"Command browse cmd"}},
      {kCmdBack, {}, {"Command back"}},
      {kCmdForward, {}, {"Command forward"}},
      {kCmdUpOneLevel, {}, {"Command up"}},
      {kCmdLogFile, {}, {"log Show"}},
      {kCmdHelp, {"help qdxhelp.htm"}, {}},
      {kCmdGettingStarted, {"help qdx_gs.htm"}, {}},
      {kCmdHomePage, {"home page"}, {}},
      {kCmdAbout, {}, {"dialog About Quillo"}},
      {10000, {}, {"RunMenuCommand 10000"}},
      {25000, {}, {"RunMenuCommand 25000"}},
      // Outside every range: ignored.
      {9999, {}, {}},
      {25001, {}, {}},
      {57632, {}, {}},
      {kCmdAlwaysOnTop, {}, {}, &UiSettings::alwaysOnTop},
      {kCmdAutoHide, {}, {}, &UiSettings::autoHide},
      {kCmdAutoMinimize, {}, {}, &UiSettings::autoMinimize},
      {kCmdDock, {}, {}, &UiSettings::docked},
  };
  BarWindow& bar = MakeBar();
  prompter_.dialogs.push_back([&](QDialog& dialog) {
    container_->calls.push_back("dialog " + dialog.windowTitle().toStdString());
    return QDialog::Accepted;
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    container_->calls.clear();
    host_.operations.clear();
    host_.answer = c.hostAnswer;
    host_.changed = false;
    const UiSettings before = host_.settings;
    bar.RunCommand(c.id);
    EXPECT_EQ(host_.operations, c.operations);
    EXPECT_EQ(container_->calls, c.calls);
    if (c.toggled) {
      EXPECT_NE(host_.settings.*c.toggled, before.*c.toggled);
    } else {
      EXPECT_TRUE(host_.settings == before);
    }
    EXPECT_EQ(host_.changed, c.toggled != nullptr);
  }
}

}  // namespace
}  // namespace vok::bar
