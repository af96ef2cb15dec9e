#include "platform/ui/accelerator_hook.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <vector>

#include "common/test_application.h"

namespace {

using vok::ui::AcceleratorRegistration;
using vok::ui::CurrentAccelerators;
using vok::ui::ScopedAccelerators;
using vok::ui::SetAccelerators;

// Sends `key` to a line edit holding "ab" with the cursor at the start; returns its text.
std::string TypeInto(QLineEdit* edit, Qt::Key key, Qt::KeyboardModifiers modifiers = {},
                     const QString& text = {}) {
  edit->setText("ab");
  edit->setCursorPosition(0);
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(edit, &press);
  return edit->text().toStdString();
}

class AcceleratorHookTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { vok::test::EnsureApplication(); }
  AcceleratorRegistration Registration(QWidget* window) {
    return {window,
            {{QKeySequence(Qt::CTRL | Qt::Key_K), 1}, {QKeySequence(Qt::Key_Delete), 2}},
            [this](int command) { commands_.push_back(command); }};
  }

  QWidget window_;
  QLineEdit* inside_ = new QLineEdit(&window_);
  QLineEdit outside_;
  std::vector<int> commands_;
};

TEST_F(AcceleratorHookTest, TableKeysOfTheRegisteredWindowRunItsCommandInstead) {
  ScopedAccelerators keys(Registration(&window_));
  EXPECT_EQ(TypeInto(inside_, Qt::Key_Delete), "ab");
  EXPECT_EQ(TypeInto(inside_, Qt::Key_K, Qt::ControlModifier), "ab");
  EXPECT_EQ(commands_, (std::vector<int>{2, 1}));
  // Other keys, and table keys in a widget outside the window, go their usual way.
  EXPECT_EQ(TypeInto(inside_, Qt::Key_X, {}, "x"), "xab");
  EXPECT_EQ(TypeInto(&outside_, Qt::Key_Delete), "b");
  EXPECT_EQ(commands_.size(), 2u);
}

TEST_F(AcceleratorHookTest, ScopedRegistrationsGiveThePreviousOneBack) {
  QWidget panel;
  AcceleratorRegistration before = SetAccelerators(Registration(&panel));
  {
    ScopedAccelerators keys(Registration(&window_));
    EXPECT_EQ(CurrentAccelerators().window, &window_);
    // Switched off (an entry renamed in place): the keys reach the edit again.
    ScopedAccelerators off(AcceleratorRegistration{});
    EXPECT_EQ(TypeInto(inside_, Qt::Key_Delete), "b");
  }
  EXPECT_EQ(CurrentAccelerators().window, &panel);
  EXPECT_EQ(CurrentAccelerators().table.size(), 2u);
  EXPECT_TRUE(commands_.empty());

  // A command may replace the registration while it runs (a window closed by its own key).
  AcceleratorRegistration closing = Registration(&window_);
  closing.onCommand = [this](int command) {
    commands_.push_back(command);
    SetAccelerators({});
  };
  SetAccelerators(std::move(closing));
  TypeInto(inside_, Qt::Key_K, Qt::ControlModifier);
  TypeInto(inside_, Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(commands_, std::vector<int>{1});
  SetAccelerators(std::move(before));
}

}  // namespace
