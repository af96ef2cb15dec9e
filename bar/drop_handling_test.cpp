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

#include "bar/bar_window.h"
#include "bar/bar_test_fakes.h"
#include "bar/fake_bar_host.h"
#include "common/test_application.h"
#include "platform/ui/scripted_prompter.h"

namespace vok::bar {
namespace {

using fakes::FakeCommandLine;
using fakes::FakeContainer;

// A folder of things to drop, made once for the whole program.
const std::string& Files() {
  static const std::string root = [] {
    static QTemporaryDir dir;
    const std::string path = dir.path().toStdString();
    const auto write = [&](const char* name, const char* text) {
      std::ofstream(path + "/" + name, std::ios::binary) << text;
    };
    std::filesystem::create_directories(path + "/my folder");
    std::filesystem::create_directories(path + "/www.example.com");
    write("www.example.com/readme.txt", "");
    write("setup.exe.old", "");
    write("RUN.BAT", "");
    write("notes.txt", "");
    write("site.url", "[InternetShortcut]\r\nURL=https://Example.org/A?b=C\r\n");
    write("blank.url", "[InternetShortcut]\r\nURL=\r\nIconIndex=0\r\n");
    write("other.url", "[Other]\r\nURL=https://wrong.example/\r\n");
    write("home.desktop", "[Desktop Entry]\nType=Link\nName=Home\nURL=https://example.net/a\\sb\n");
    write("app.desktop", "[Desktop Entry]\nType=Application\nExec=app\nURL=https://no.example/\n");
    return path;
  }();
  return root;
}
std::string FilePath(const std::string& name) { return Files() + "/" + name; }

// ---- Classification ----

struct ClassifyCase {
  const char* name;
  DropSource source;
  const char* text;  // below the files' folder unless a URL or absolute
  bool extractUrl;
  int action;
  const char* result;  // null: the text itself
};

class ClassifyDropTest : public testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyDropTest, GivesTheDefaultActionAndText) {
  const ClassifyCase& c = GetParam();
  const bool onDisk = c.source != DropSource::kUrl && c.text[0] != '/';
  const std::string text = onDisk ? FilePath(c.text) : c.text;
  const DropItem item = ClassifyDrop(DropData{c.source, text}, c.extractUrl);
  EXPECT_EQ(item.action, c.action);
  EXPECT_EQ(item.text, c.result ? std::string(c.result) : text);
}

INSTANTIATE_TEST_SUITE_P(
    Drops, ClassifyDropTest,
    testing::Values(
        ClassifyCase{"Url", DropSource::kUrl, "HTTP://Example.COM/Path", true, kDropLink, nullptr},
        ClassifyCase{"Folder", DropSource::kFile, "my folder", true, kDropFolder, nullptr},
        ClassifyCase{"FolderAsText", DropSource::kText, "my folder", false, kDropFolder, nullptr},
        ClassifyCase{"ExeInsideName", DropSource::kFile, "setup.exe.old", true, kDropProgram,
                     nullptr},
        ClassifyCase{"UpperCaseBat", DropSource::kFile, "RUN.BAT", false, kDropProgram, nullptr},
        ClassifyCase{"FolderNameDoesNotCount", DropSource::kFile, "www.example.com/readme.txt",
                     true, kDropFile, nullptr},
        ClassifyCase{"PlainFile", DropSource::kFile, "notes.txt", true, kDropFile, nullptr},
        ClassifyCase{"Missing", DropSource::kText, "/no/such/path", true, kDropOther, nullptr},
        ClassifyCase{"ShortcutExtracted", DropSource::kFile, "site.url", true, kDropLink,
                     "https://Example.org/A?b=C"},
        ClassifyCase{"ShortcutKeptOff", DropSource::kFile, "site.url", false, kDropFile, nullptr},
        ClassifyCase{"ShortcutWithoutUrl", DropSource::kFile, "blank.url", true, kDropFile,
                     nullptr},
        ClassifyCase{"UrlInOtherSection", DropSource::kFile, "other.url", true, kDropFile, nullptr},
        ClassifyCase{"DesktopLink", DropSource::kFile, "home.desktop", true, kDropLink,
                     "https://example.net/a b"},
        ClassifyCase{"DesktopLinkKeptOff", DropSource::kFile, "home.desktop", false, kDropFile,
                     nullptr},
        ClassifyCase{"DesktopApplication", DropSource::kFile, "app.desktop", true, kDropFile,
                     nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InternetShortcutTest, ReadsTheValueAsTheProfileRulesDo) {
  EXPECT_EQ(InternetShortcutUrl("[internetshortcut]\nurl = \"ftp://x/\"\n"), "ftp://x/");
  EXPECT_EQ(InternetShortcutUrl("[InternetShortcut]\nURL=na\n"), std::nullopt);
}

// ---- What a drag offers ----

struct MimeCase {
  const char* name;
  std::vector<std::pair<const char*, QByteArray>> formats;
  std::optional<DropSource> source;  // nullopt: refused
  std::string text;
};

class UsableDropDataTest : public testing::TestWithParam<MimeCase> {};

TEST_P(UsableDropDataTest, TakesUrlThenOneFileThenTheFirstLineOfText) {
  const MimeCase& c = GetParam();
  QMimeData data;
  for (const auto& [format, bytes] : c.formats) data.setData(format, bytes);
  const std::optional<DropData> usable = UsableDropData(data);
  ASSERT_EQ(usable.has_value(), c.source.has_value());
  if (!usable) return;
  EXPECT_EQ(usable->source, *c.source);
  EXPECT_EQ(usable->text, c.text);
}

QByteArray Utf16(const char16_t* text) {
  return QByteArray(reinterpret_cast<const char*>(text),
                    static_cast<qsizetype>(std::char_traits<char16_t>::length(text) * 2));
}

INSTANTIATE_TEST_SUITE_P(
    Offers, UsableDropDataTest,
    testing::Values(MimeCase{"TextFirstLine",
                             {{"text/plain", "cd /tmp\r\nrm -rf /\n"}},
                             DropSource::kText,
                             "cd /tmp"},
                    MimeCase{"BlankText", {{"text/plain", "\r\nsecond"}}, std::nullopt, ""},
                    MimeCase{"OneFile",
                             {{"text/uri-list", "# dragged\r\nfile:///tmp/a%20b.txt\r\n"},
                              {"text/plain", "/tmp/a b.txt"}},
                             DropSource::kFile,
                             "/tmp/a b.txt"},
                    MimeCase{"TwoFiles",
                             {{"text/uri-list", "file:///tmp/a\r\nfile:///tmp/b\r\n"},
                              {"text/plain", "/tmp/a\n/tmp/b"}},
                             std::nullopt,
                             ""},
                    MimeCase{"WebAddressEncoded",
                             {{"text/uri-list", "https://example.com/My Path?q=\"a\"\r\n"}},
                             DropSource::kUrl,
                             "https://example.com/My%20Path?q=%22a%22"},
                    MimeCase{"MozUrlBeforeEverything",
                             {{"text/x-moz-url", Utf16(u"https://moz.example/\nTitle")},
                              {"text/uri-list", "file:///tmp/a\r\n"}},
                             DropSource::kUrl,
                             "https://moz.example/"},
                    MimeCase{"NothingUsable", {{"image/png", "\x89PNG"}}, std::nullopt, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Drops ----

class DropHandlerTest : public testing::Test {
 protected:
  void SetUp() override {
    vok::test::EnsureApplication();
    owner_ = std::make_unique<QWidget>();
  }
  void TearDown() override {
    handler_.reset();
    container_.Reset();
    EXPECT_EQ(ModuleCount().load(), startCount_) << "a reference was leaked";
  }

  DropHandler& Handler() {
    handler_ = std::make_unique<DropHandler>(host_, *owner_, container_->Identity(),
                                             [this] { ++activations_; });
    return *handler_;
  }

  static std::unique_ptr<QMimeData> FileData(const std::string& path) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    return data;
  }

  // Drops `data` as made with `buttons` and lets the queued drop step run.
  void DropWith(const QMimeData& data, Qt::MouseButtons buttons,
                Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
    QDropEvent drop(QPointF(5, 5), actions, &data, buttons, Qt::NoModifier);
    handler_->Drop(drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_TRUE(container_->commands.empty() &&
                (!container_->commandLine || commandLine().calls.empty()))
        << "the drop is carried out after the drop event";
    QCoreApplication::processEvents();
  }

  FakeCommandLine& commandLine() { return *container_->commandLine.Get(); }
  // The action picked from the next drop menu, by its id; 0 picks the menu's default item.
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

TEST_F(DropHandlerTest, LeftButtonInsertsAFolderWithASpaceInQuotes) {
  Handler();
  DropWith(*FileData(FilePath("my folder")), Qt::LeftButton);
  EXPECT_EQ(activations_, 1);
  EXPECT_EQ(commandLine().calls,
            std::vector<std::string>{"insert \"" + FilePath("my folder") + "\""});
  EXPECT_TRUE(container_->commands.empty());
  EXPECT_TRUE(prompter_.trackedMenus.empty());
}

TEST_F(DropHandlerTest, RightButtonDefaultChoiceOnAShortcutCreatesALinkFavorite) {
  Handler();
  PickFromMenu(0);
  DropWith(*FileData(FilePath("site.url")), Qt::RightButton);
  EXPECT_EQ(container_->commands,
            std::vector<std::string>{"newfavorite /link \"https://Example.org/A?b=C\""});
  ASSERT_EQ(prompter_.trackedMenus.size(), 1u);
  const std::vector<std::string> expected{"Create Favorite &Folder",
                                          "Create Favorite &Program",
                                          "Create Favorite F&ile",
                                          "Create Favorite &Link",
                                          "Create &Other Favorite Item",
                                          "",
                                          "&Copy As Text",
                                          "",
                                          "Cancel"};
  EXPECT_EQ(prompter_.trackedMenus.front(), expected) << "Change Directory is for folders only";
  EXPECT_TRUE(commandLine().calls.empty());
}

// The button is released by the time of the drop: the one seen while dragging decides.
TEST_F(DropHandlerTest, ButtonSeenWhileDraggingChoosesTheMenuAndItsChoicesRun) {
  struct Choice {
    int id;
    std::vector<std::string> commands;
    std::vector<std::string> calls;
  };
  const std::string folder = FilePath("my folder");
  const std::vector<Choice> choices{
      {kDropChangeDir, {}, {"chdir " + folder + " 1"}},
      {kDropCopyAsText, {}, {"insert \"" + folder + "\""}},
      {kDropProgram, {"newfavorite /prog \"" + folder + "\""}, {}},
      {kDropCancel, {}, {}},
  };
  for (const Choice& choice : choices) {
    SCOPED_TRACE(choice.id);
    container_->commands.clear();
    commandLine().calls.clear();
    DropHandler& handler = Handler();
    const std::unique_ptr<QMimeData> data = FileData(folder);
    QDragMoveEvent move(QPoint(5, 5), Qt::CopyAction, data.get(), Qt::RightButton, Qt::NoModifier);
    ASSERT_TRUE(handler.DragOver(move));
    EXPECT_TRUE(handler.Busy());
    PickFromMenu(choice.id);
    DropWith(*data, Qt::NoButton);
    EXPECT_FALSE(handler.Busy());
    EXPECT_EQ(container_->commands, choice.commands);
    EXPECT_EQ(commandLine().calls, choice.calls);
  }
  EXPECT_TRUE(prompter_.menus.empty()) << "every drop showed the menu";
}

// Taking a moved item would make its source delete it.
TEST_F(DropHandlerTest, RefusesMoveOnlyDragsAndLinksWhereItCannotCopy) {
  DropHandler& handler = Handler();
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

TEST_F(DropHandlerTest, DragOverTheAutoHiddenBarShowsItUntilTheDragLeaves) {
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
  EXPECT_EQ(commandLine().calls, std::vector<std::string>{"insert ls -l"});
  bar.Tick();
  EXPECT_TRUE(bar.AutoHidden());
}

}  // namespace
}  // namespace vok::bar
