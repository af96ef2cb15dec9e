#include "cmdline/cmdline_panel.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QToolBar>
#include <fstream>
#include <functional>
#include <memory>

#include "cmdline/engine_cmd_line_test_support.h"
#include "cmdline/quick_help.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/memory_storage.h"
#include "common/string_table.h"
#include "platform/ui/dialog_items.h"
#include "platform/ui/fake_cursor_device.h"

namespace vok::test {
namespace {

using cmdline::CmdLinePanel;

constexpr LONG kFirstPanelId = 130, kLastPanelId = 134;

using ui::FakeCursor;

// Processes events until `done` holds; false after two seconds.
bool Await(const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > 2000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// The entry reading `text` in `menu` or its submenus.
QAction* FindAction(QMenu& menu, const QString& text) {
  for (QAction* action : menu.actions()) {
    if (QMenu* submenu = action->menu()) {
      if (QAction* found = FindAction(*submenu, text)) return found;
    } else if (action->text() == text) {
      return action;
    }
  }
  return nullptr;
}

// The panel placed in a bar window by the real container, as the bar does it.
class CmdLinePanelTest : public CmdLineEngineTest {
 protected:
  void TearDown() override {
    bar_.Reset();
    window_.reset();
    CmdLineEngineTest::TearDown();
  }

  void StartPanel(LONG hint = 1) {
    ASSERT_EQ(S_OK, Start(hint));
    window_ = std::make_unique<QWidget>();
    window_->resize(900, 40);
    bar_ = QueryAs<IvokPanelBar>(container_.Get());
    ASSERT_TRUE(bar_);
    ASSERT_EQ(S_OK, bar_->CreatePanels(window_.get(), kFirstPanelId, kLastPanelId));
    ASSERT_EQ(S_OK, bar_->SelectPanel(kPanelShowSelected));
    ASSERT_EQ(S_OK, bar_->BroadcastA(0, 900));
    window_->show();
    ASSERT_TRUE(panel());
  }

  CmdLinePanel* panel() { return engine().Panel(); }
  QLineEdit* edit() { return panel()->CommandBox()->lineEdit(); }
  std::string Text() { return edit()->text().toStdString(); }
  std::string Selected() { return edit()->selectedText().toStdString(); }
  bool QuickHelpShown() { return panel()->QuickHelpShown(); }

  // Types `keys` into the command box as key presses.
  void Type(const std::string& keys) {
    for (QChar c : QString::fromStdString(keys)) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QCoreApplication::sendEvent(edit(), &press);
    }
  }
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(edit(), &press);
  }
  void Clear() { engine().PanelData().SetText(""); }

  std::string TakeCommand() {
    char line[kPanelCommandSize] = {};
    EXPECT_EQ(S_OK, EngineAs<IvokEnginePanel>()->GetCommand(line));
    return line;
  }
  std::vector<std::string> ListEntries() {
    std::vector<std::string> entries;
    for (int i = 0; i < panel()->CommandBox()->count(); ++i)
      entries.push_back(panel()->CommandBox()->itemText(i).toStdString());
    return entries;
  }
  HRESULT Dirty() { return EngineAs<IPersistStorage>()->IsDirty(); }

  std::unique_ptr<QWidget> window_;
  ComPtr<IvokPanelBar> bar_;
};

TEST_F(CmdLinePanelTest, QuickHelpFollowsTheCommandWord) {
  ASSERT_NO_FATAL_FAILURE(StartPanel());
  Type("cd");
  ASSERT_TRUE(QuickHelpShown());
  EXPECT_EQ("cd", panel()->QuickHelp()->Line(0).toStdString());
  EXPECT_EQ(CmdLineText(cmdline::kIdsSyntaxCd), panel()->QuickHelp()->Line(1).toStdString());
  Type("x");
  EXPECT_FALSE(QuickHelpShown()) << "no command is named cdx";

  Clear();
  Type("up");
  ASSERT_TRUE(QuickHelpShown());
  EXPECT_EQ(S_OK, bar_->CurrentPanelOp());
  EXPECT_FALSE(QuickHelpShown()) << "Escape in the bar hides it";
  Type(" ");
  ASSERT_TRUE(QuickHelpShown());
  TakeCommand();
  EXPECT_FALSE(QuickHelpShown()) << "taking the line hides it";

  EngineAs<IvokEngineCmdLineProp>()->put_UseQuickHelp(0);
  Type("cd");
  EXPECT_FALSE(QuickHelpShown()) << "switched off";
}

// Typing into the box completes from the history, the commands and the file names.
TEST_F(CmdLinePanelTest, TypingCompletesFromEachSource) {
  std::ofstream(MakeDir("files") / "zz top.txt").put('x');
  std::ofstream(temp_ / "files" / "yyplain").put('x');
  ASSERT_NO_FATAL_FAILURE(StartPanel());
  AddAlias("chalias", "cd /");
  Reregister();
  ASSERT_EQ(S_OK, Run("cd files"));
  ASSERT_EQ(S_OK, engine().PanelData().AddHistoryLine("copy a b"));
  panel()->RefillHistory();

  const struct {
    const char* keys;
    const char* text;
    const char* selected;
  } kCases[] = {
      {"co", "copy a b", "py a b"},                    // history while the line is one word
      {"x co", "x contextmenu", "ntextmenu"},          // a later word: commands only
      {"ch", "chalias", "alias"},                      // an alias completes the first word ...
      {"x ch", "x chdir", "dir"},                      // ... but not a later one
      {"ls zz", "ls \"zz top.txt\"", " top.txt\""},    // a name with a blank gets quotes
      {"ls \"zz", "ls \"zz top.txt\"", " top.txt\""},  // the open quote is the name's
      {"ls \"y", "ls yyplain", "yplain"},              // a plain name replaces the open quote
      {"ls yq", "ls yq", ""},                          // nothing matches
  };
  for (const auto& c : kCases) {
    Clear();
    Type(c.keys);
    EXPECT_EQ(c.text, Text()) << c.keys;
    EXPECT_EQ(c.selected, Selected()) << c.keys;
    EXPECT_EQ(c.text, engine().PanelData().Text()) << "the engine holds what the box shows";
  }

  // Deleting never completes: the first Backspace takes the completed part away.
  Clear();
  Type("cop");
  ASSERT_EQ("copy a b", Text());
  for (int i = 0; i < 2; ++i) Press(Qt::Key_Backspace);
  EXPECT_EQ("co", Text());
}

TEST_F(CmdLinePanelTest, TakingALineFilesItOnceAndEchoesIt) {
  ASSERT_NO_FATAL_FAILURE(StartPanel());
  EXPECT_EQ(S_OK, EngineAs<IvokCmdLineUI>()->InsertText("first"));
  EXPECT_EQ("first", Text()) << "text inserted by a command shows in the box";
  EXPECT_EQ("first", TakeCommand());
  EXPECT_EQ("", Text());
  Type("second");
  EXPECT_EQ("second", TakeCommand());
  EXPECT_EQ((std::vector<std::string>{"second", "first"}), ListEntries());

  ComPtr<MemoryStorage> storage(new MemoryStorage);
  ASSERT_EQ(S_OK, EngineAs<IPersistStorage>()->Save(storage.Get(), 1));
  ASSERT_EQ(S_FALSE, Dirty());
  Type("first");
  EXPECT_EQ("first", TakeCommand());
  EXPECT_EQ((std::vector<std::string>{"first", "second"}), ListEntries()) << "moved to the top";
  EXPECT_EQ(S_FALSE, Dirty()) << "a repeated line is no change";

  // An empty line is taken as such and filed nowhere; the container runs nothing.
  EXPECT_EQ(S_FALSE, bar_->RunPanelCommand());
  EXPECT_EQ("", TakeCommand());
  EXPECT_EQ(2u, ListEntries().size());
  EXPECT_TRUE(RecordedLines().empty());

  std::vector<std::string> echoed;
  for (const auto& line : log_->lines)
    if (line.type == 0) echoed.push_back(line.text);
  EXPECT_EQ((std::vector<std::string>{"first", "second", "first", "", ""}), echoed);
}

// Without a panel window the container still takes lines from the engine's text.
TEST_F(CmdLinePanelTest, WindowlessEngineHandsOverItsText) {
  ASSERT_EQ(S_OK, Start());
  EngineAs<IvokCmdLineUI>()->InsertText("echo hi");
  EXPECT_EQ("echo hi", TakeCommand());
  EXPECT_EQ("", engine().PanelData().Text());
  LONG count = 0;
  engine().PanelData().History()->get_ItemCount(&count);
  EXPECT_EQ(1, count);
}

TEST_F(CmdLinePanelTest, BandDragIsSavedAndRestored) {
  ASSERT_NO_FATAL_FAILURE(StartPanel());
  FakeCursor cursor;
  ui::ScopedCursorDevice scopedCursor(cursor);
  QWidget* directory = panel()->DirectoryField();
  QWidget* tracker = ui::DialogItem(panel(), cmdline::kPanelFirstTracker);
  ASSERT_TRUE(tracker);
  const int before = directory->width();
  ASSERT_EQ(S_FALSE, Dirty());

  cursor.pos = tracker->mapToGlobal(tracker->rect().center());
  cursor.buttons = Qt::LeftButton;
  QMouseEvent move(QEvent::MouseMove, QPointF(tracker->geometry().center()), QPointF(cursor.pos),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(panel(), &move);
  cursor.pos.rx() += 40;
  ASSERT_TRUE(Await([&] { return directory->width() == before + 40; }));
  cursor.buttons = Qt::NoButton;
  ASSERT_TRUE(Await([&] { return Dirty() == S_OK; })) << "the band-moved command marks a change";
  EXPECT_EQ(before + 40,
            engine().PanelData().Rectangles()[0].right - engine().PanelData().Rectangles()[0].left);

  ComPtr<MemoryStorage> storage(new MemoryStorage);
  ASSERT_EQ(S_OK, EngineAs<IPersistStorage>()->Save(storage.Get(), 1));
  bar_.Reset();
  window_.reset();
  // A new bar: the panel exists before the data file is loaded, as at start.
  ASSERT_NO_FATAL_FAILURE(StartPanel());
  ASSERT_EQ(before, panel()->DirectoryField()->width());
  // While the bar does not record positions the loaded ones are not applied.
  ASSERT_EQ(S_OK, bar_->BroadcastB(4, 0));
  ASSERT_EQ(S_OK, EngineAs<IPersistStorage>()->Load(storage.Get()));
  EXPECT_EQ(before, panel()->DirectoryField()->width());
  ASSERT_EQ(S_OK, bar_->BroadcastB(4, 4));
  ASSERT_EQ(S_OK, EngineAs<IPersistStorage>()->Load(storage.Get()));
  EXPECT_EQ(before + 40, panel()->DirectoryField()->width());
}

TEST_F(CmdLinePanelTest, NavigationButtonsFollowTheHistories) {
  MakeDir("sub");
  ASSERT_NO_FATAL_FAILURE(StartPanel());
  const auto state = [&] {
    std::string s;
    for (int command : {cmdline::kPanelBack, cmdline::kPanelForward, cmdline::kPanelUp})
      s += panel()->Action(command)->isEnabled() ? '1' : '0';
    return s + " " + panel()->DirectoryField()->text().toStdString();
  };
  const std::string top = temp_.string(), sub = (temp_ / "sub").string();
  EXPECT_EQ("001 " + top, state());

  ASSERT_EQ(S_OK, Run("cd sub"));
  EXPECT_EQ("101 " + sub, state()) << "a typed command";
  panel()->Action(cmdline::kPanelBack)->trigger();
  EXPECT_EQ("011 " + top, state()) << "the Back button";
  Press(Qt::Key_Right, Qt::AltModifier);
  EXPECT_EQ("101 " + sub, state()) << "Alt+Right";
  Press(Qt::Key_Right, Qt::AltModifier);
  ASSERT_FALSE(Errors().empty());
  EXPECT_EQ(CmdLineText(cmdline::kIdsForwardListShort), Errors().back()) << "nothing ahead";
}

TEST_F(CmdLinePanelTest, ToolbarMenusRunThroughThePrompter) {
  MakeDir("sub");
  ASSERT_NO_FATAL_FAILURE(StartPanel());
  AddAlias("gosub", "cd sub");
  Reregister();

  // Browse: the menu's first entry asks for a file, which becomes the line.
  prompter_.menus.push_back([](QMenu& menu) { return menu.actions().value(0); });
  prompter_.files.push_back("/data/my notes.txt");
  panel()->Action(cmdline::kPanelBrowse)->trigger();
  ASSERT_EQ(1u, prompter_.fileRequests.size());
  EXPECT_EQ(CmdLineText(cmdline::kIdsBrowseForFile), prompter_.fileRequests[0].title);
  EXPECT_EQ(3u, prompter_.fileRequests[0].filters.size());
  EXPECT_EQ("\"/data/my notes.txt\"", Text());

  // Favorites: the container fills the menu and runs the chosen entry's line.
  prompter_.menus.push_back([](QMenu& menu) { return FindAction(menu, "gosub"); });
  panel()->Action(cmdline::kPanelFavorites)->trigger();
  EXPECT_EQ((temp_ / "sub").string(), panel()->DirectoryField()->text().toStdString());
}

TEST_F(CmdLinePanelTest, ButtonsFollowTheHintLevel) {
  for (LONG hint : {0, 1}) {
    bar_.Reset();
    window_.reset();
    ASSERT_NO_FATAL_FAILURE(StartPanel(hint));
    EXPECT_EQ(hint == 1, panel()->Action(cmdline::kPanelFavorites) != nullptr) << hint;
    EXPECT_TRUE(panel()->Action(cmdline::kPanelCommandBrowser)) << hint;
  }
  // The container's panel button shows the library's image 201.
  HMODULE module = nullptr;
  UINT bitmap = 0, tip = 0;
  ASSERT_EQ(S_OK, EngineAs<IvokEnginePanel>()->GetButtonInfo(&module, &bitmap, &tip));
  EXPECT_EQ("Command Line", LoadStringResource(ResourcesOf(module), tip));
  EXPECT_EQ(QSize(16, 15),
            QImage(QString(":/%1/%2.png").arg(ResourcesOf(module)->name).arg(bitmap)).size());
}

}  // namespace
}  // namespace vok::test
