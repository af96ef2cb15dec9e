#include "engine/qt_container_widgets.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

#include "engine/container_test_support.h"

namespace vok::test {
namespace {

void EnsureApplication() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "engine_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives for the whole test program
}

std::vector<QAction*> PanelActions(QToolBar* toolbar) {
  std::vector<QAction*> actions;
  for (QAction* action : toolbar->actions())
    if (action->isCheckable()) actions.push_back(action);
  return actions;
}

std::vector<int> CheckedIds(QToolBar* toolbar) {
  std::vector<int> ids;
  for (QAction* action : PanelActions(toolbar))
    if (action->isChecked()) ids.push_back(action->data().toInt());
  return ids;
}

class QtWidgetsTest : public testing::Test {
 protected:
  void SetUp() override { EnsureApplication(); }
  QtContainerWidgets widgets_;
};

TEST_F(QtWidgetsTest, OnlyEmptyDirectSubmenusGetTheGrayedItem) {
  QMenu menu;
  menu.addAction("plain");
  QMenu* empty = menu.addMenu("empty");
  QMenu* full = menu.addMenu("full");
  full->addAction("one");
  QMenu* nested = full->addMenu("nested empty");

  widgets_.MarkEmptySubmenus(&menu, "(Empty)");

  ASSERT_EQ(1, empty->actions().size());
  EXPECT_EQ("(Empty)", empty->actions()[0]->text());
  EXPECT_FALSE(empty->actions()[0]->isEnabled());
  EXPECT_EQ(2, full->actions().size());
  EXPECT_TRUE(nested->actions().isEmpty()) << "only direct submenus are looked at";
  EXPECT_EQ(3, menu.actions().size());
}

TEST_F(QtWidgetsTest, ToolbarHasOneExclusiveCheckableButtonPerPanel) {
  QWidget parent;
  const std::vector<PanelButton> buttons = {{100, nullptr, 1, "Commands"},
                                            {101, nullptr, 2, "Settings"}};
  auto* toolbar = qobject_cast<QToolBar*>(widgets_.CreateToolbar(17, &parent, true, buttons));
  ASSERT_NE(nullptr, toolbar);
  EXPECT_EQ(&parent, toolbar->parentWidget());
  EXPECT_EQ(17u, toolbar->property("vokControlId").toUInt());
  const auto actions = PanelActions(toolbar);
  ASSERT_EQ(2u, actions.size());
  EXPECT_EQ(100, actions[0]->data().toInt());
  EXPECT_EQ("Settings", actions[1]->toolTip());
  EXPECT_FALSE(actions[0]->icon().isNull()) << "a drawn image stands in for a missing one";
  ASSERT_NE(nullptr, actions[0]->actionGroup());
  EXPECT_TRUE(actions[0]->actionGroup()->isExclusive());
  auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(actions[0]));
  ASSERT_NE(nullptr, button);
  EXPECT_TRUE(button->autoRaise()) << "flat look";

  widgets_.SetButtonChecked(100, true);
  widgets_.SetButtonChecked(101, true);
  EXPECT_EQ(std::vector<int>{101}, CheckedIds(toolbar));
  widgets_.SetButtonChecked(101, false);
  EXPECT_TRUE(CheckedIds(toolbar).empty());
}

TEST_F(QtWidgetsTest, RaisedLookWithoutFlatToolbars) {
  QWidget parent;
  auto* toolbar =
      qobject_cast<QToolBar*>(widgets_.CreateToolbar(1, &parent, false, {{5, nullptr, 1, "Only"}}));
  ASSERT_NE(nullptr, toolbar);
  auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(PanelActions(toolbar)[0]));
  ASSERT_NE(nullptr, button);
  EXPECT_FALSE(button->autoRaise());
}

TEST_F(QtWidgetsTest, CheckingAfterTheToolbarIsGoneDoesNothing) {
  auto parent = std::make_unique<QWidget>();
  ASSERT_NE(nullptr, widgets_.CreateToolbar(1, parent.get(), true, {{5, nullptr, 1, "Only"}}));
  parent.reset();
  widgets_.SetButtonChecked(5, true);  // must not touch the deleted toolbar
}

TEST_F(QtWidgetsTest, GeometryUsesTheWindowsClientArea) {
  QWidget window;
  window.setGeometry(200, 150, 320, 48);
  window.show();
  EXPECT_EQ(48, widgets_.ClientHeight(&window));
  EXPECT_EQ(0, widgets_.ClientHeight(nullptr));
  const QPoint origin = window.mapToGlobal(QPoint(0, 0));
  const RECT client = widgets_.ScreenToClient(
      &window, RECT{origin.x() + 5, origin.y() + 6, origin.x() + 50, origin.y() + 30});
  EXPECT_EQ(5, client.left);
  EXPECT_EQ(6, client.top);
  EXPECT_EQ(50, client.right);
  EXPECT_EQ(30, client.bottom);
}

class QtContainerTest : public ContainerTest {
 protected:
  void SetUp() override {
    EnsureApplication();
    ContainerTest::SetUp();
    createContainer_ = &CreateQtEngineContainer;
  }
};

TEST_F(QtContainerTest, PanelToolbarFollowsTheSelection) {
  EngineConfig first, second;
  first.name = "P0";
  first.panel = true;
  second.name = "P1";
  second.order = 1;
  second.panel = true;
  ASSERT_EQ(S_OK, Start({first, second}));
  QWidget parent;
  auto bar = As<IvokPanelBar>();
  ASSERT_EQ(S_OK, bar->CreatePanels(&parent, 10, 20));
  HWND window = nullptr;
  ASSERT_EQ(S_OK, bar->CreateToolbar(3, &parent, &window));
  auto* toolbar = qobject_cast<QToolBar*>(window);
  ASSERT_NE(nullptr, toolbar);
  EXPECT_EQ(2u, PanelActions(toolbar).size());

  ASSERT_EQ(S_OK, bar->SelectPanel(kPanelPrevious));
  EXPECT_EQ(std::vector<int>{10}, CheckedIds(toolbar));
  ASSERT_EQ(S_OK, bar->SelectPanel(kPanelPrevious));
  EXPECT_EQ(std::vector<int>{11}, CheckedIds(toolbar));
  ASSERT_EQ(S_OK, bar->SelectPanel(kPanelDeselect));
  EXPECT_TRUE(CheckedIds(toolbar).empty());
}

TEST_F(QtContainerTest, FillMenuMarksTheEmptySubmenusOfARealMenu) {
  EngineConfig engine;
  engine.name = "A";
  engine.menu = true;
  engine.menuCommands = {"one"};
  ASSERT_EQ(S_OK, Start({engine}));
  QMenu menu;
  QMenu* folders = menu.addMenu("Folders");
  ASSERT_EQ(S_OK, As<IvokMenuCommands>()->FillMenu(&menu, 1));
  ASSERT_EQ(1, folders->actions().size());
  EXPECT_EQ("(Empty)", folders->actions()[0]->text());
  EXPECT_FALSE(folders->actions()[0]->isEnabled());
}

}  // namespace
}  // namespace vok::test
