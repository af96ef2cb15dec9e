#include "bar/drop_handling.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bar/bar_test_fakes.h"
#include "bar/bar_window.h"
#include "bar/fake_bar_host.h"
#include "common/test_application.h"
#include "platform/ui/scripted_prompter.h"

namespace vok::bar {
namespace {

using fakes::FakeContainer;
using Lines = std::vector<std::string>;

// `name` in a folder of things to drop, made once for the whole program.
std::string FilePath(const std::string& name) {
  static const std::string root = [] {
    static QTemporaryDir dir;
    const std::string path = dir.path().toStdString();
    const auto write = [&](const char* file, const char* text) {
      std::ofstream(path + "/" + file, std::ios::binary) << text;
    };
    std::filesystem::create_directories(path + "/my folder");
    std::filesystem::create_directories(path + "/www.example.com");
    write("www.example.com/readme.txt", "");
    write("setup.exe.old", "");
    write("RUN.BAT", "");
    write("site.url", "[InternetShortcut]\r\nURL=https://Example.org/A?b=C\r\n");
    write("blank.url", "[InternetShortcut]\r\nURL=\r\nIconIndex=0\r\n");
    write("home.desktop", "[Desktop Entry]\nType=Link\nName=Home\nURL=https://example.net/a\\sb\n");
    write("app.desktop", "[Desktop Entry]\nType=Application\nExec=app\nURL=https://no.example/\n");
    return path;
  }();
  return root + "/" + name;
}

// ---- Classification ----

TEST(ClassifyDropTest, GivesTheDefaultActionAndText) {
  const struct {
    DropSource source;
    const char* text;  // below the files' folder unless a URL or absolute
    bool extractUrl;
    int action;
    const char* result;  // null: the text itself
  } cases[] = {
      {DropSource::kUrl, "HTTP://Example.COM/Path", true, kDropLink, nullptr},
      {DropSource::kFile, "my folder", true, kDropFolder, nullptr},
      {DropSource::kText, "my folder", false, kDropFolder, nullptr},
      {DropSource::kText, "/no/such/path", true, kDropOther, nullptr},
      {DropSource::kFile, "setup.exe.old", true, kDropProgram, nullptr},
      {DropSource::kFile, "RUN.BAT", false, kDropProgram, nullptr},
      // ".com" in a folder's name does not make a program.
      {DropSource::kFile, "www.example.com/readme.txt", true, kDropFile, nullptr},
      {DropSource::kFile, "site.url", true, kDropLink, "https://Example.org/A?b=C"},
      {DropSource::kFile, "site.url", false, kDropFile, nullptr},
      {DropSource::kFile, "blank.url", true, kDropFile, nullptr},
      {DropSource::kFile, "home.desktop", true, kDropLink, "https://example.net/a b"},
      {DropSource::kFile, "app.desktop", true, kDropFile, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + (c.extractUrl ? " extracting" : ""));
    const bool onDisk = c.source != DropSource::kUrl && c.text[0] != '/';
    const std::string text = onDisk ? FilePath(c.text) : c.text;
    const DropItem item = ClassifyDrop(DropData{c.source, text}, c.extractUrl);
    EXPECT_EQ(item.action, c.action);
    EXPECT_EQ(item.text, c.result ? std::string(c.result) : text);
  }
}

TEST(InternetShortcutTest, ReadsUrlOfItsOwnSectionOnly) {
  const struct {
    const char* text;
    std::optional<std::string> url;
  } cases[] = {
      {"[internetshortcut]\nurl = \"ftp://x/\"\n", "ftp://x/"},
      {"\xEF\xBB\xBF[InternetShortcut]\r\n; note\r\nURL=https://a/\r\n", "https://a/"},
      {"[Other]\r\nURL=https://wrong.example/\r\n", std::nullopt},
      {"[InternetShortcut]\nURL=na\n", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(InternetShortcutUrl(c.text), c.url) << c.text;
}

// ---- What a drag offers ----

TEST(UsableDropDataTest, TakesUrlThenOneFileThenTheFirstLineOfText) {
  const struct {
    std::u16string_view mozUrl;  // as Firefox writes it, UTF-16
    const char* uriList;
    const char* plain;
    std::optional<DropSource> source;  // nullopt: refused
    const char* text;
  } cases[] = {
      {u"", nullptr, "cd /tmp\r\nrm -rf /\n", DropSource::kText, "cd /tmp"},
      {u"", nullptr, "\r\nsecond", std::nullopt, ""},
      {u"", "# dragged\r\nfile:///tmp/a%20b.txt\r\n", "/tmp/a b.txt", DropSource::kFile,
       "/tmp/a b.txt"},
      {u"", "file:///tmp/a\r\nfile:///tmp/b\r\n", "/tmp/a\n/tmp/b", std::nullopt, ""},
      {u"", "https://example.com/My Path?q=\"a\"\r\n", nullptr, DropSource::kUrl,
       "https://example.com/My%20Path?q=%22a%22"},
      {u"https://moz.example/\nTitle", "file:///tmp/a\r\n", "x", DropSource::kUrl,
       "https://moz.example/"},
      {u"", nullptr, nullptr, std::nullopt, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    QMimeData data;
    if (!c.mozUrl.empty())
      data.setData("text/x-moz-url", QByteArray(reinterpret_cast<const char*>(c.mozUrl.data()),
                                                static_cast<qsizetype>(c.mozUrl.size() * 2)));
    if (c.uriList) data.setData("text/uri-list", c.uriList);
    if (c.plain) data.setData("text/plain", c.plain);
    const std::optional<DropData> usable = UsableDropData(data);
    ASSERT_EQ(usable.has_value(), c.source.has_value());
    if (!usable) continue;
    EXPECT_EQ(usable->source, *c.source);
    EXPECT_EQ(usable->text, c.text);
  }
}

// ---- Drops ----

class DropHandlerTest : public testing::Test {
 protected:
  void SetUp() override {
    vok::test::EnsureApplication();
    owner_ = std::make_unique<QWidget>();
    handler_ = std::make_unique<DropHandler>(host_, *owner_, container_->Identity(),
                                             [this] { ++activations_; });
  }
  void TearDown() override {
    handler_.reset();
    container_.Reset();
    EXPECT_EQ(ModuleCount().load(), startCount_) << "a reference was leaked";
  }

  static std::unique_ptr<QMimeData> FileData(const std::string& path) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    return data;
  }

  // Drops `data` as made with `buttons` and lets the queued drop step run.
  void DropWith(const QMimeData& data, Qt::MouseButtons buttons) {
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, buttons, Qt::NoModifier);
    handler_->Drop(drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_TRUE(container_->commands.empty() && commandLine().calls.empty())
        << "the drop is carried out after the drop event";
    QCoreApplication::processEvents();
  }

  fakes::FakeCommandLine& commandLine() { return *container_->commandLine.Get(); }
  // Picks from the next drop menu the item with `id`; 0 picks the menu's default item.
  void PickFromMenu(int id) {
    prompter_.menus.push_back([id](QMenu& menu) -> QAction* {
      if (id == 0) return menu.defaultAction();
      for (QAction* action : menu.actions())
        if (!action->isSeparator() && action->data().toInt() == id) return action;
      return nullptr;
    });
  }

  const int32_t startCount_ = ModuleCount().load();
  FakeBarHost host_;
  std::unique_ptr<QWidget> owner_;
  ComPtr<FakeContainer> container_{new FakeContainer};
  ui::ScriptedPrompter prompter_;
  ui::ScopedPrompter scoped_{&prompter_};
  std::unique_ptr<DropHandler> handler_;
  int activations_ = 0;
};

// The button is released by the time of the drop: the one seen while dragging decides. The
// left one inserts the text (a path with a space in quotes); right and middle show the menu
// ("Change Directory" only for a folder) and carry out its choice.
TEST_F(DropHandlerTest, ButtonSeenWhileDraggingChoosesBetweenTextAndMenu) {
  const std::string folder = FilePath("my folder");
  const struct {
    Qt::MouseButton button;
    int pick;  // -1: no menu; 0: the menu's default item
    Lines commands, calls;
  } cases[] = {
      {Qt::LeftButton, -1, {}, {"insert \"" + folder + "\""}},
      {Qt::RightButton, kDropChangeDir, {}, {"chdir " + folder + " 1"}},
      {Qt::RightButton, 0, {"newfavorite /folder \"" + folder + "\""}, {}},
      {Qt::MiddleButton, kDropProgram, {"newfavorite /prog \"" + folder + "\""}, {}},
      {Qt::RightButton, kDropCancel, {}, {}},
  };
  DropHandler& handler = *handler_;
  const std::unique_ptr<QMimeData> data = FileData(folder);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.button)) + " " + std::to_string(c.pick));
    container_->commands.clear();
    commandLine().calls.clear();
    const size_t menus = prompter_.trackedMenus.size();
    QDragMoveEvent move(QPoint(5, 5), Qt::CopyAction, data.get(), c.button, Qt::NoModifier);
    ASSERT_TRUE(handler.DragOver(move));
    EXPECT_TRUE(handler.Busy());
    if (c.pick >= 0) PickFromMenu(c.pick);
    DropWith(*data, Qt::NoButton);
    EXPECT_FALSE(handler.Busy());
    EXPECT_EQ(prompter_.trackedMenus.size() - menus, c.pick >= 0 ? 1u : 0u);
    EXPECT_EQ(container_->commands, c.commands);
    EXPECT_EQ(commandLine().calls, c.calls);
  }
  EXPECT_EQ(activations_, static_cast<int>(std::size(cases)));
}

TEST_F(DropHandlerTest, RightButtonDefaultChoiceOnAShortcutCreatesALinkFavorite) {
  PickFromMenu(0);
  DropWith(*FileData(FilePath("site.url")), Qt::RightButton);
  EXPECT_EQ(container_->commands, Lines{"newfavorite /link \"https://Example.org/A?b=C\""});
  ASSERT_EQ(prompter_.trackedMenus.size(), 1u);
  EXPECT_EQ(prompter_.trackedMenus.front(),
            (Lines{"Create Favorite &Folder", "Create Favorite &Program", "Create Favorite F&ile",
                   "Create Favorite &Link", "Create &Other Favorite Item", "", "&Copy As Text", "",
                   "Cancel"}));
  EXPECT_TRUE(commandLine().calls.empty());
}

// Taking a moved item would make its source delete it.
TEST_F(DropHandlerTest, RefusesMoveOnlyDragsAndLinksWhereItCannotCopy) {
  DropHandler& handler = *handler_;
  QMimeData text;
  text.setText("hello");
  QDragEnterEvent moveOnly(QPoint(1, 1), Qt::MoveAction, &text, Qt::LeftButton, Qt::NoModifier);
  EXPECT_FALSE(handler.DragOver(moveOnly));
  EXPECT_FALSE(moveOnly.isAccepted());
  QDragEnterEvent linkOrMove(QPoint(1, 1), Qt::LinkAction | Qt::MoveAction, &text, Qt::LeftButton,
                             Qt::NoModifier);
  EXPECT_TRUE(handler.DragOver(linkOrMove));
  EXPECT_EQ(linkOrMove.dropAction(), Qt::LinkAction);
}

// ---- The bar window as the drop target ----

TEST_F(DropHandlerTest, DragOverTheAutoHiddenBarShowsItUntilTheDropIsDone) {
  host_.settings.autoHide = true;
  BarWindow bar(host_, container_->Identity(), true);
  bar.SetTrayAvailability([] { return false; });
  bar.Initialize();
  bar.OnApplicationActivated(false);
  ASSERT_TRUE(bar.AutoHidden());

  QMimeData text;
  text.setText("ls -l");
  QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&bar, &enter);
  EXPECT_TRUE(enter.isAccepted());
  EXPECT_FALSE(bar.AutoHidden());
  bar.Tick();
  EXPECT_FALSE(bar.AutoHidden()) << "hidden under the drag";

  QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&bar, &drop);
  QCoreApplication::processEvents();
  EXPECT_EQ(commandLine().calls, Lines{"insert ls -l"});
  bar.Tick();
  EXPECT_TRUE(bar.AutoHidden());
}

}  // namespace
}  // namespace vok::bar
