#include "bar/bar_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "bar/bar_test_fakes.h"
#include "bar/fake_bar_host.h"
#include "bar/resources/bar_strings.h"
#include "common/test_application.h"
#include "common/vok_object.h"
#include "platform/ui/dialog_items.h"
#include "platform/ui/scripted_prompter.h"

namespace vok::bar {
namespace {

using fakes::FakeLog;

std::string Str(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}
RECT ToRect(const QRect& r) { return RECT{r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }
std::string Str(const QRect& r) { return Str(ToRect(r)); }

// The container's panel machinery as the bar sees it; the first panel holds a command box.
class FakePanelBar final : public ObjectRoot<IvokPanelBar> {
 public:
  std::vector<std::string> calls;
  HRESULT createResult = S_OK;
  HRESULT runResult = S_OK;
  int panelCount = 1;
  QPointer<QComboBox> box;

  HRESULT STDMETHODCALLTYPE GetPanelCount(LONG* count) override {
    *count = box ? panelCount : 0;
    return Record("GetPanelCount");
  }
  HRESULT STDMETHODCALLTYPE GetMaxPanelHeight(LONG* height) override {
    *height = 30;
    return Record("GetMaxPanelHeight");
  }
  HRESULT STDMETHODCALLTYPE CreatePanels(HWND parent, LONG first, LONG last) override {
    Record("CreatePanels", first, last);
    if (FAILED(createResult)) return createResult;
    box = new QComboBox(new QWidget(parent));
    box->setEditable(true);
    ui::SetDialogItemId(box, kCommandBoxId);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE CreateToolbar(UINT id, HWND parent, HWND* toolbar) override {
    auto* bar = new QToolBar(parent);
    for (int i = 0; i < panelCount; ++i) bar->addAction(QString::number(i))->setData(130 + i);
    *toolbar = bar;
    return Record("CreateToolbar", id);
  }
  HRESULT STDMETHODCALLTYPE GetPanelInfo(LONG, HMODULE*, UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SelectPanel(LONG id) override { return Record("SelectPanel", id); }
  HRESULT STDMETHODCALLTYPE BroadcastA(LONG a, LONG b) override {
    return Record("BroadcastA", a, b);
  }
  HRESULT STDMETHODCALLTYPE LayoutPanels() override { return Record("LayoutPanels"); }
  HRESULT STDMETHODCALLTYPE BroadcastB(LONG a, LONG b) override {
    return Record("BroadcastB", a, b);
  }
  HRESULT STDMETHODCALLTYPE BroadcastC() override { return Record("BroadcastC"); }
  HRESULT STDMETHODCALLTYPE RunPanelCommand() override {
    Record("RunPanelCommand");
    if (box) box->setEditText(QString());  // the panel takes the line
    return runResult;
  }
  HRESULT STDMETHODCALLTYPE CurrentPanelOp() override { return Record("CurrentPanelOp"); }

 private:
  template <class... Args>
  HRESULT Record(const char* name, Args... args) {
    std::string call = name;
    ((call += " " + std::to_string(args)), ...);
    calls.push_back(std::move(call));
    return S_OK;
  }
};

class BarWindowTest : public testing::Test {
 protected:
  void SetUp() override { test::EnsureApplication(); }
  void TearDown() override {
    bar_.reset();
    host_.log.Reset();
    log_.Reset();
    panels_.Reset();
    EXPECT_EQ(ModuleCount().load(), startCount_) << "the bar leaked a reference";
  }

  BarWindow& Make() {
    bar_.reset();
    host_.log = ComPtr<IvokLog>(log_.Get());
    bar_ = std::make_unique<BarWindow>(host_, panels_->Identity(), true);
    host_.window = bar_.get();
    bar_->SetTrayAvailability([] { return true; });
    bar_->Initialize();
    return *bar_;
  }

  static RECT Screen() {
    const QRect s = QGuiApplication::primaryScreen()->geometry();
    return RECT{s.x(), s.y(), s.x() + s.width(), s.y() + s.height()};
  }
  bool Called(const std::string& call) const {
    const auto& calls = host_.desktop.calls;
    return std::find(calls.begin(), calls.end(), call) != calls.end();
  }
  std::string LastStrut() const {
    const auto& calls = host_.desktop.calls;
    const auto last = std::find_if(calls.rbegin(), calls.rend(), [](const std::string& call) {
      return call.rfind("strut", 0) == 0;
    });
    return last == calls.rend() ? std::string() : *last;
  }
  QToolButton* Button(int id) const {
    return qobject_cast<QToolButton*>(ui::DialogItem(bar_.get(), id));
  }
  static void Press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(target, &event);
  }

  const int32_t startCount_ = ModuleCount().load();
  FakeBarHost host_;
  ComPtr<FakePanelBar> panels_{new FakePanelBar};
  ComPtr<FakeLog> log_{new FakeLog};
  ui::ScriptedPrompter prompter_;
  ui::ScopedPrompter scoped_{&prompter_};
  std::unique_ptr<BarWindow> bar_;
};

TEST_F(BarWindowTest, InitializesInOrderWithThePanelHeightAndStaysHidden) {
  BarWindow& bar = Make();
  const BarLayout& layout = bar.Layout();
  const std::vector<std::string> expected = {
      "CreatePanels 130 134", "GetMaxPanelHeight", "LayoutPanels", "GetPanelCount",
      "CreateToolbar 129",
      "BroadcastA " + std::to_string(layout.panelLeft) + " " + std::to_string(layout.panelRight),
      "SelectPanel -1",
      // The settings: recording off while the bar is placed, then refresh and reselect.
      "BroadcastB 4 0", "BroadcastB 4 4", "BroadcastC", "SelectPanel -1"};
  const std::vector<std::string>& calls = panels_->calls;
  ASSERT_GE(calls.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + expected.size()), expected);

  EXPECT_EQ(bar.height(), 2 * kFrameWidth + 30 - 1);
  EXPECT_EQ(bar.InitialHeight(), bar.height());
  EXPECT_EQ(bar.minimumWidth(), MinimumWidth(layout));
  EXPECT_EQ(bar.windowTitle(), QStringLiteral("Quillo"));
  EXPECT_FALSE(bar.isVisible());
  EXPECT_TRUE(host_.operations.empty()) << "opening the last file is the program's job";
  EXPECT_EQ(Button(kCmdMinimizeToTray)->toolTip(), QStringLiteral("Minimize to tray"));
}

TEST_F(BarWindowTest, WithoutPanelsTheBarRunsAndEnterDoesNothing) {
  panels_->createResult = E_ABORT;
  BarWindow& bar = Make();
  Press(&bar, Qt::Key_Return);
  EXPECT_EQ(panels_->calls, std::vector<std::string>{"CreatePanels 130 134"});
  EXPECT_EQ(ui::DialogItem(&bar, kPanelToolbarId), nullptr);
  EXPECT_TRUE(log_->entries.empty());
}

TEST_F(BarWindowTest, DocksAtEitherEdgeAndUndocksBackToTheFloatingPlace) {
  struct Case {
    int edge;
    bool autoHide;
    const char* strut;
  } cases[] = {{1, false, "strut bottom 35"},
               {0, false, "strut top 35"},
               {1, true, "strut bottom 6"},
               {0, true, "strut top 6"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.strut);
    bar_.reset();
    host_ = FakeBarHost{};
    host_.settings.docked = true;
    host_.settings.dockEdge = c.edge;
    host_.settings.autoHide = c.autoHide;
    host_.settings.floatingRect = RECT{100, 300, 700, 335};
    BarWindow& bar = Make();
    const auto edge = c.edge == 0 ? x11::DockEdge::kTop : x11::DockEdge::kBottom;
    const RECT screen = Screen();
    const RECT full = DockedWindowRect(edge, screen.right, screen.bottom, bar.InitialHeight());
    EXPECT_TRUE(bar.Docked());
    EXPECT_TRUE(Called("dock-type 1"));
    EXPECT_EQ(LastStrut(), c.strut);
    EXPECT_EQ(bar.AutoHidden(), c.autoHide);
    EXPECT_EQ(Str(bar.geometry()), Str(c.autoHide ? HiddenDockedRect(full, edge) : full));
    EXPECT_FALSE(Button(kCmdMinimizeToTray)->isEnabled()) << "no tray while docked";

    host_.changed = false;
    bar.RunCommand(kCmdDock);
    EXPECT_FALSE(bar.Docked());
    EXPECT_TRUE(host_.changed);
    EXPECT_EQ(LastStrut(), std::string(c.edge == 0 ? "strut top 0" : "strut bottom 0"));
    EXPECT_EQ(host_.desktop.calls.back(), "dock-type 0");
    EXPECT_TRUE(Button(kCmdMinimizeToTray)->isEnabled());
    if (!c.autoHide) {
      EXPECT_EQ(Str(bar.geometry()), Str(host_.settings.floatingRect));
    }
  }
}

TEST_F(BarWindowTest, WithoutADesktopTheBarFloatsAndSaysSoOnce) {
  host_.desktop.available = false;
  host_.settings.docked = true;
  host_.settings.hotKeyCode = 65;
  BarWindow& bar = Make();
  bar.ApplySettings();
  bar.RunCommand(kCmdDock);  // off
  bar.RunCommand(kCmdDock);  // on again: still refused
  EXPECT_FALSE(bar.Docked());
  EXPECT_FALSE(Called("dock-type 1"));
  EXPECT_EQ(log_->Errors(kIdsDesktopUnavailable), 1);
  EXPECT_EQ(log_->Errors(kIdsHotKeyTaken), 0);
}

TEST_F(BarWindowTest, ASavedRectangleBelowTheScreenIsPulledUp) {
  const RECT screen = Screen();
  host_.settings.floatingRect = RECT{50, screen.bottom + 40, 650, screen.bottom + 75};
  BarWindow& bar = Make();
  EXPECT_EQ(bar.geometry().bottom() + 1, screen.bottom);
  EXPECT_EQ(bar.geometry().left(), 50);
}

TEST_F(BarWindowTest, AutoMinimizeUsesTheTrayOnlyWhileFloating) {
  for (bool docked : {false, true}) {
    SCOPED_TRACE(docked ? "docked" : "floating");
    host_.settings.docked = docked;
    host_.settings.autoMinimize = true;
    host_.settings.trayIconAlways = false;
    BarWindow& bar = Make();
    bar.show();
    bar.OnApplicationActivated(false);
    EXPECT_EQ(bar.TrayIconPresent(), !docked);
    EXPECT_EQ(bar.isHidden(), !docked);
    bar.ApplySettings();  // must not take away the only way back
    EXPECT_EQ(bar.TrayIconPresent(), !docked);

    bar.OnApplicationActivated(true);
    EXPECT_FALSE(bar.TrayIconPresent());
    EXPECT_TRUE(bar.isVisible());
  }
}

TEST_F(BarWindowTest, EnterReportsOnlyALineNobodyCouldRun) {
  struct Case {
    const char* line;
    HRESULT result;
    bool reported;
  } cases[] = {{"frobnicate", S_FALSE, true},
               {"", S_FALSE, false},
               {"   ", S_FALSE, false},
               {"dir", S_OK, false},
               {"", E_FAIL, true}};
  Make();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    log_->entries.clear();
    log_->shows = 0;
    panels_->runResult = c.result;
    panels_->box->setEditText(QString::fromUtf8(c.line));
    Press(panels_->box->lineEdit(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(panels_->calls.back(), "RunPanelCommand");
    EXPECT_EQ(log_->Errors(kIdsNotRecognized), c.reported ? 1 : 0);
    EXPECT_EQ(log_->shows, c.reported ? 1 : 0);
    EXPECT_EQ(panels_->box->count(), 0) << "the command box must not take the key itself";
  }
}

TEST_F(BarWindowTest, PanelButtonsFitTheirRoomAndSelectPanelsLikeTheKeys) {
  panels_->panelCount = 3;
  BarWindow& bar = Make();
  bar.show();
  auto* toolbar = qobject_cast<QToolBar*>(ui::DialogItem(&bar, kPanelToolbarId));
  ASSERT_NE(toolbar, nullptr);
  for (QAction* action : toolbar->actions()) {
    QWidget* button = toolbar->widgetForAction(action);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isVisible()) << "no button may move into an overflow menu";
    EXPECT_TRUE(toolbar->rect().contains(button->geometry()));
  }
  toolbar->actions().back()->trigger();
  EXPECT_EQ(panels_->calls.back(), "SelectPanel 132");
  Press(panels_->box, Qt::Key_PageDown, Qt::AltModifier);
  EXPECT_EQ(panels_->calls.back(), "SelectPanel -3");
  Press(panels_->box, Qt::Key_F1);
  EXPECT_EQ(host_.operations.back(), "help qdxhelp.htm");
}

TEST_F(BarWindowTest, HotKeyGrabFailureIsLoggedOncePerApplyAndAPressBringsTheBar) {
  host_.settings.hotKeyCode = 65;
  host_.settings.hotKeyModifiers = x11::kHotKeyCtrl | x11::kHotKeyAlt;
  host_.desktop.succeed = false;
  BarWindow& bar = Make();
  EXPECT_TRUE(Called("grab 65 6"));
  EXPECT_EQ(log_->Errors(kIdsHotKeyTaken), 1);
  bar.ApplySettings();
  EXPECT_EQ(log_->Errors(kIdsHotKeyTaken), 2);

  host_.desktop.succeed = true;
  bar.ApplySettings();
  EXPECT_EQ(log_->Errors(kIdsHotKeyTaken), 2);
  ASSERT_TRUE(host_.desktop.hotKey);
  host_.desktop.hotKey();
  EXPECT_TRUE(bar.isVisible());
}

TEST_F(BarWindowTest, MovingRecordsThePositionAndMarksTheSettingsChanged) {
  BarWindow& bar = Make();
  bar.show();
  QCoreApplication::processEvents();
  host_.changed = false;
  bar.move(bar.x() + 37, bar.y() + 11);
  QCoreApplication::processEvents();
  EXPECT_TRUE(host_.changed);
  EXPECT_EQ(Str(host_.settings.floatingRect), Str(ToRect(bar.geometry())));
}

TEST_F(BarWindowTest, AutoHideShowsOnContactAndHidesOnTheTimerWhenLeftAlone) {
  host_.settings.autoHide = true;
  host_.settings.floatingRect = RECT{100, 300, 700, 335};
  BarWindow& bar = Make();
  EXPECT_TRUE(bar.AutoHidden());
  EXPECT_EQ(Str(bar.geometry()), Str(RECT{100, 300, 100 + 2 * kFrameWidth + kGripWidth, 335}));
  bar.OnApplicationActivated(false);
  for (x11::WindowId active : {8u, 1u /* the bar itself */}) {
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(102, 302));
    QCoreApplication::sendEvent(&bar, &enter);
    ASSERT_FALSE(bar.AutoHidden());
    EXPECT_EQ(Str(bar.geometry()), Str(host_.settings.floatingRect));
    host_.desktop.active = active;
    bar.Tick();
    EXPECT_EQ(bar.AutoHidden(), active != 1) << active;
  }
}

TEST_F(BarWindowTest, EscapeReturnsToThePreviousApplicationOrTheWindowBelow) {
  BarWindow& bar = Make();
  host_.desktop.windows = {{1, "Quillo", false}, {7, "Editor", false}, {8, "Terminal", false}};
  bar.OnApplicationActivated(false);
  host_.desktop.active = 8;
  bar.Tick();
  host_.desktop.active = 1;

  Press(panels_->box, Qt::Key_Escape);
  EXPECT_EQ(panels_->calls.back(), "CurrentPanelOp");
  EXPECT_EQ(host_.desktop.calls.back(), "activate 8");
  host_.desktop.windows.pop_back();  // the terminal is gone
  Press(&bar, Qt::Key_Escape);
  EXPECT_EQ(host_.desktop.calls.back(), "activate 7");
}

// Picks `item` from the submenu `submenu` of a tracked menu, handing the submenu to `look` first.
std::function<QAction*(QMenu&)> Pick(const char* submenu, const char* item,
                                     std::function<void(QMenu&)> look = nullptr) {
  return [=](QMenu& menu) -> QAction* {
    for (QAction* top : menu.actions()) {
      if (top->text() != QString::fromUtf8(submenu) || !top->menu()) continue;
      if (look) look(*top->menu());
      for (QAction* action : top->menu()->actions())
        if (action->text() == QString::fromUtf8(item)) return action;
    }
    ADD_FAILURE() << submenu << " / " << item << " not found";
    return nullptr;
  };
}

TEST_F(BarWindowTest, MainMenuTogglesAndGreysAutoMinimizeWhileDocked) {
  BarWindow& bar = Make();
  bar.show();
  prompter_.menus.push_back(Pick("&View", "&Dock"));
  bar.OpenMainMenu(false);
  EXPECT_TRUE(bar.Docked());

  std::vector<std::pair<bool, bool>> states;  // checked, enabled of every View toggle
  prompter_.menus.push_back(Pick("&View", "Always On &Top", [&](QMenu& view) {
    for (QAction* action : view.actions())
      if (action->isCheckable()) states.emplace_back(action->isChecked(), action->isEnabled());
  }));
  host_.changed = false;
  bar.OpenMainMenu(true);
  // Always On Top, Auto-hide, Dock, Auto-minimize.
  EXPECT_EQ(states, (std::vector<std::pair<bool, bool>>{
                        {true, true}, {false, true}, {true, true}, {false, false}}));
  EXPECT_FALSE(bar.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(bar.isVisible()) << "a flag change must not unmap the bar";
  EXPECT_EQ(host_.desktop.calls.back(), "above 0");
  EXPECT_TRUE(host_.changed);
}

TEST_F(BarWindowTest, EveryExitPathAsksTheHostFromTheEventLoop) {
  BarWindow& bar = Make();
  bar.show();
  EXPECT_FALSE(bar.close()) << "the exit routine decides, not the close event";
  Button(kCmdClose)->click();
  prompter_.menus.push_back(Pick("&File", "E&xit"));
  bar.OpenMainMenu(false);
  EXPECT_TRUE(host_.operations.empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(host_.operations, (std::vector<std::string>{"exit", "exit", "exit"}));
  EXPECT_TRUE(bar.isVisible());
}

}  // namespace
}  // namespace vok::bar
