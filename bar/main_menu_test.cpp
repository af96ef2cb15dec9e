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

// One line per action: "text=id", "-" for a separator, "text>" for a popup; "[x]" / "[ ]"
// in front of a check item, "~" in front of a greyed one.
Lines Describe(const QMenu& menu) {
  Lines lines;
  for (const QAction* action : menu.actions()) {
    if (action->isSeparator()) {
      lines.push_back("-");
      continue;
    }
    std::string line = action->isEnabled() ? "" : "~";
    if (action->isCheckable()) line += action->isChecked() ? "[x]" : "[ ]";
    line += action->text().toStdString();
    line += action->menu() ? std::string(">") : "=" + std::to_string(action->data().toInt());
    lines.push_back(line);
  }
  return lines;
}

QMenu& Popup(const QMenu& menu, const char* title) {
  for (QAction* action : menu.actions())
    if (action->menu() && action->text() == QString::fromUtf8(title)) return *action->menu();
  ADD_FAILURE() << "no popup " << title;
  static QMenu none;
  return none;
}

// A log whose Show is recorded among the container's calls.
FakeLog* LogInto(Lines& calls) {
  auto* log = new FakeLog;
  log->calls = &calls;
  return log;
}

class MainMenuTest : public testing::Test {
 protected:
  void SetUp() override { test::EnsureApplication(); }
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
  ComPtr<FakeLog> log_{LogInto(container_->calls)};
  ui::ScriptedPrompter prompter_;
  ui::ScopedPrompter scoped_{&prompter_};
  std::unique_ptr<BarWindow> bar_;
};

TEST_F(MainMenuTest, MainMenuHoldsEveryCommandInOrder) {
  host_.recentFiles = {"/home/u/x.qdx", "/tmp/b&w.qdx"};
  QMenu menu;
  BuildMainMenu(menu, State());

  EXPECT_EQ(Describe(menu),
            (Lines{"&File>", "&View>", "&Go>", "&Favorites>", "&Tools>", "&Help>"}));
  const struct {
    const char* popup;
    Lines items;
  } cases[] = {
      {"&File",
       {"&Open...=57601", "&Save=57603", "Save &As,,,=48", "-", "&1 /home/u/x.qdx=57616",
        "&2 /tmp/b&&w.qdx=57617", "-", "E&xit=64"}},
      {"&View",
       {"&File Management=32786", "&Command Browser=32784", "&Log File=32779", "-",
        "&Next Mode\tAlt + PgDn=32776", "&Previous Mode\tAlt + PgUp=32787", "-",
        "[x]Always On &Top=112", "[ ]Auto-&hide=160", "[ ]&Dock=144", "[ ]Auto-&minimize=32801"}},
      {"&Go",
       {"&Back\tAlt + Left Arrow=32781", "&Forward\tAlt + Right Arrow=32782",
        "&Up one level=32783"}},
      {"&Favorites", {"notes=10000"}},
      {"&Tools", {"&Options...=32"}},
      {"&Help",
       {"Quillo &Help=32788", "Getting &Started=32789", "&Quillo Home Page=32790", "-",
        "&About Quillo...=40025"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Describe(Popup(menu, c.popup)), c.items) << c.popup;
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
    EXPECT_EQ(Describe(menu), (Lines{engineMenus ? "&Favorites>" : "~&Favorites>", "-",
                                     "[x]Always On &Top=112", "[x]Auto-&hide=160", "[ ]&Dock=144",
                                     "-", "&Options...=32", "&Help>", "-", "E&xit=64"}));
    EXPECT_EQ(Describe(Popup(menu, "&Help")),
              (Lines{"Quillo &Help=32788", "Getting &Started=32789", "&About Quillo...=40025"}));
    EXPECT_EQ(Describe(Popup(menu, "&Favorites")), engineMenus ? Lines{"notes=10000"} : Lines{});
  }
}

// The check marks of Always On Top, Auto-hide, Dock and Auto-minimize ("~": greyed).
std::string Marks(const Lines& items) {
  std::string marks;
  for (const std::string& item : items)
    if (item.find(']') != std::string::npos) marks += item.substr(0, item.find(']') + 1);
  return marks;
}

TEST_F(MainMenuTest, ChecksFollowTheSettingsAndDockingGreysAutoMinimize) {
  const struct {
    bool onTop, autoHide, dockSetting, autoMinimize, dockedNow;
    const char* marks;
  } cases[] = {
      {false, false, false, false, false, "[ ][ ][ ][ ]"},
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
    EXPECT_EQ(Marks(Describe(Popup(main, "&View"))), c.marks);
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
      {0, "/home/u/x.qdx", "&1 /home/u/x.qdx"},
      {9, "/a.qdx", "1&0 /a.qdx"},
      {10, "/a.qdx", "11 /a.qdx"},
      {3, "/srv/R&D/a.qdx", "&4 /srv/R&&D/a.qdx"},
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
  } lists[] = {
      {0, 1, "~Recent File=57616"}, {4, 4, "&4 /r.qdx=57619"}, {20, 16, "16 /r.qdx=57631"}};
  for (const auto& list : lists) {
    host_.recentFiles.assign(list.files, "/r.qdx");
    QMenu menu;
    BuildMainMenu(menu, State());
    const Lines file = Describe(Popup(menu, "&File"));
    ASSERT_EQ(file.size(), 4 + list.shown + 2);
    EXPECT_EQ(file[4 + list.shown - 1], list.last);
  }
}

// ---- The menus as the bar window tracks and runs them ----

std::function<QAction*(QMenu&)> PickId(int id) {
  return [id](QMenu& menu) -> QAction* {
    std::function<QAction*(QMenu&)> find = [&](QMenu& in) -> QAction* {
      for (QAction* action : in.actions()) {
        if (action->menu()) {
          if (QAction* inner = find(*action->menu())) return inner;
        } else if (!action->isSeparator() && action->data().toInt() == id) {
          return action;
        }
      }
      return nullptr;
    };
    QAction* action = find(menu);
    if (!action) ADD_FAILURE() << "no item " << id;
    return action;
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

TEST_F(MainMenuTest, RunCommandRoutesEveryMenuCommand) {
  const struct {
    int id;
    bool hostAnswer;
    Lines operations;
    Lines calls;  // the container's, the log's and the about box's
  } cases[] = {
      {kCmdOptions, true, {"options"}, {}},
      // Opening a recent file replaces what is in memory: the save question comes first.
      {57616, true, {"ask-save", "recent 0"}, {}},
      {57619, true, {"ask-save", "recent 3"}, {}},
      {57631, false, {"ask-save"}, {}},
      {kCmdFileManagement, true, {}, {"Command *"}},
      {kCmdCommandBrowser, true, {}, {"Command browse cmd"}},
      {kCmdBack, true, {}, {"Command back"}},
      {kCmdForward, true, {}, {"Command forward"}},
      {kCmdUpOneLevel, true, {}, {"Command up"}},
      {kCmdLogFile, true, {}, {"log Show"}},
      {kCmdHelp, true, {"help qdxhelp.htm"}, {}},
      {kCmdGettingStarted, true, {"help qdx_gs.htm"}, {}},
      {kCmdHomePage, true, {"home page"}, {}},
      {kCmdAbout, true, {}, {"dialog About Quillo"}},
      {10000, true, {}, {"RunMenuCommand 10000"}},
      {25000, true, {}, {"RunMenuCommand 25000"}},
      // Outside every range: ignored.
      {9999, true, {}, {}},
      {25001, true, {}, {}},
      {57632, true, {}, {}},
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
    bar.RunCommand(c.id);
    EXPECT_EQ(host_.operations, c.operations);
    EXPECT_EQ(container_->calls, c.calls);
  }
}

TEST_F(MainMenuTest, EveryToggleMarksTheSettingsChanged) {
  BarWindow& bar = MakeBar();
  const struct {
    int id;
    bool UiSettings::*setting;
  } cases[] = {{kCmdAlwaysOnTop, &UiSettings::alwaysOnTop},
               {kCmdAutoHide, &UiSettings::autoHide},
               {kCmdAutoMinimize, &UiSettings::autoMinimize},
               {kCmdDock, &UiSettings::docked}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    const bool before = host_.settings.*c.setting;
    host_.changed = false;
    bar.RunCommand(c.id);
    EXPECT_NE(host_.settings.*c.setting, before);
    EXPECT_TRUE(host_.changed);
  }
}

}  // namespace
}  // namespace vok::bar
