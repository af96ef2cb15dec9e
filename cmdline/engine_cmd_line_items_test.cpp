// Aliases, favorites and scripts as commands of the command-line engine: registration rules,
// running them, the favorites menu and newfavorite.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>

#include "cmdline/engine_cmd_line_test_support.h"
#include "cmdline/favorite_properties_dialog.h"
#include "cmdline/resources/cmdline_strings.h"

namespace vok::test {
namespace {

using namespace vok::cmdline;
using Lines = std::vector<std::string>;

// ---- Registration

TEST_F(CmdLineEngineTest, ItemsBecomeCommandsButNeverReplaceBuiltIns) {
  ASSERT_EQ(S_OK, Start(1));
  MakeDir("sub");
  AddAlias("cd", "never runs");
  AddAlias("ll", "ls -l");
  AddScript("greet", kScriptJavaScript);
  // Favorites are registered first: the alias of the same name stays out.
  AddFavorite("ll", kFavoriteProgram, "/bin/other");
  AddFavorite("ed", kFavoriteProgram, "/usr/bin/ed");
  Reregister();
  auto table = EngineAs<IvokEngineCmdTable>();
  for (const char* word : {"ll", "LL", "greet", "ed"})
    EXPECT_EQ(S_OK, table->IsCommandRegistered(word)) << word;
  EXPECT_EQ(62u + 3u, engine().commands().size());

  EXPECT_EQ(S_OK, Run("cd sub"));  // still the built-in command
  EXPECT_EQ((temp_ / "sub").string(), CurrentDir());
  EXPECT_EQ(S_OK, Run("ll"));
  EXPECT_EQ(Lines{"\"/bin/other\""}, RecordedLines());
}

// At hint zero favorites are no commands (not even the favorites menu) but cd still finds folder
// favorites, and an alias runs only its first line.
TEST_F(CmdLineEngineTest, HintZeroKeepsFavoritesOutAndRunsOneAliasLine) {
  ASSERT_EQ(S_OK, Start(0));
  std::filesystem::path target = MakeDir("deep/target");
  AddFavorite("ed", kFavoriteProgram, "/usr/bin/ed");
  AddFavorite("Proj", kFavoriteFolder, target.string());
  AddAlias("al", "echo1 one\r\necho2 two");
  Reregister();
  auto table = EngineAs<IvokEngineCmdTable>();
  for (const char* word : {"ed", "favorites"}) EXPECT_EQ(S_FALSE, table->IsCommandRegistered(word));
  EXPECT_EQ(S_OK, table->IsCommandRegistered("newfavorite"));
  EXPECT_EQ(61u + 1u, engine().commands().size());
  // Lines that are not the engine's fall through to the next engine.
  for (const char* line : {"favorites", "ed x", "al"}) EXPECT_EQ(S_OK, Run(line)) << line;
  EXPECT_EQ((Lines{"favorites", "ed x", "echo1 one\r"}), RecordedLines());
  EXPECT_EQ(S_OK, Run("cd pROJ"));
  EXPECT_EQ(target.string(), CurrentDir());
  EXPECT_TRUE(Errors().empty());
}

// Only folder favorites complete past the first word of a line.
TEST_F(CmdLineEngineTest, CompletesItemsByPosition) {
  ASSERT_EQ(S_OK, Start(1));
  AddFavorite("projects", kFavoriteFolder, "/srv/projects");
  AddFavorite("pyrun", kFavoriteProgram, "/usr/bin/python3");
  AddAlias("pack", "tar cf %1");
  AddScript("ping2", kScriptVBScript);
  Reregister();
  const struct {
    const char* pattern;
    LONG firstWord;
    const char* expected;  // null: no match
  } cases[] = {{"PROJ*", 0, "projects"}, {"PYR*", 1, "pyrun"},  {"PYR*", 0, nullptr},
               {"PAC*", 1, "pack"},      {"PAC*", 0, nullptr},  {"PIN*", 0, nullptr},
               {"PIN*", 1, "ping2"},     {"PRINT*", 0, "print"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pattern << " " << c.firstWord);
    char out[128] = {};
    HRESULT hr = EngineAs<IvokCommandInfo>()->MatchCommand(c.pattern, out, c.firstWord);
    EXPECT_EQ(c.expected ? S_OK : S_FALSE, hr);
    EXPECT_STREQ(c.expected ? c.expected : "", c.expected ? out : "");
  }
}

TEST_F(CmdLineEngineTest, QuickHelpDescribesItemsByTheirDefinition) {
  ASSERT_EQ(S_OK, Start(1));
  AddAlias("Build", "make all\r\nmake install", "build and install");
  AddFavorite("Ed", kFavoriteProgram, "/usr/bin/ed", "line editor");
  Reregister();
  auto info = EngineAs<IvokCommandInfo>();
  char name[127], syntax[127], description[127];
  LONG index = 0;
  ASSERT_EQ(S_OK, info->GetCommandInfo("BUILD", name, syntax, description, &index, 0));
  EXPECT_EQ((Lines{"Build", "make all ...", "build and install"}),
            (Lines{name, syntax, description}));
  ASSERT_EQ(S_OK, info->GetCommandInfo("ED", name, syntax, description, &index, 0));
  EXPECT_EQ((Lines{"Ed", "/usr/bin/ed", "line editor"}), (Lines{name, syntax, description}));
}

// ---- Aliases

TEST_F(CmdLineEngineTest, AliasSendsTheExpandedLines) {
  ASSERT_EQ(S_OK, Start(1));
  const struct {
    std::string definition, arguments;
    Lines sent;
  } cases[] = {{"cpy %1 %2", " readme.txt", {"cpy readme.txt   "}},
               // Paths keep their letter case and blanks: Linux file names are case-sensitive.
               {"view %1", " ReadMe.TXT", {"view ReadMe.TXT "}},
               {"view %1", " \"my file\"", {"view \"my file\" "}},
               {"echo1 one\r\n# comment\r\n\r\n   echo2 two", "", {"echo1 one\r", "echo2 two"}},
               {"# nothing", "", {}}};
  for (size_t i = 0; i < std::size(cases); ++i)
    AddAlias("al" + std::to_string(i), cases[i].definition);
  Reregister();
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].definition);
    RecordedLines().clear();
    EXPECT_EQ(S_OK, Run("al" + std::to_string(i) + cases[i].arguments));
    EXPECT_EQ(cases[i].sent, RecordedLines());
  }
  EXPECT_TRUE(Errors().empty());
}

TEST_F(CmdLineEngineTest, AliasesCallOthersAndAnswerWithTheLastLinesResult) {
  ASSERT_EQ(S_OK, Start(1));
  std::filesystem::path sub = MakeDir("sub");
  AddAlias("inner", "cd %1\r\nmark inner");
  AddAlias("outer", "inner sub\r\nmark outer %1");
  AddAlias("al", "first\r\nsecond");
  AddAlias("empty", "# only a comment");
  Reregister();
  EXPECT_EQ(S_OK, Run("outer x"));
  EXPECT_EQ(sub.string(), CurrentDir());
  EXPECT_EQ((Lines{"mark inner", "mark outer x "}), RecordedLines());

  RecordedLines().clear();
  RecorderResult() = E_ACCESSDENIED;
  EXPECT_EQ(E_ACCESSDENIED, Run("al"));
  EXPECT_EQ(2u, RecordedLines().size());
  // A last line no engine took is a failure that ends the dispatch (the alias's own line never
  // reaches the next engine); no line at all is done.
  RecorderResult() = S_FALSE;
  EXPECT_EQ(E_FAIL, Run("al"));
  EXPECT_EQ(S_OK, Run("empty"));
  EXPECT_EQ((Lines{"first\r", "second", "first\r", "second"}), RecordedLines());
}

TEST_F(CmdLineEngineTest, RecursiveAliasIsStoppedWithAMessage) {
  ASSERT_EQ(S_OK, Start(1));
  AddAlias("a", "b\r\nafter a");
  AddAlias("b", "a\r\nafter b");
  Reregister();
  EXPECT_EQ(S_OK, Run("a"));
  ASSERT_EQ(1u, prompter_.messages.size());
  const ui::Message& box = prompter_.messages[0];
  EXPECT_EQ(
      "Attempt to run alias A recursively.  Neither direct nor non-direct recursion is "
      "allowed.",
      box.text);
  EXPECT_EQ("Aliases", box.caption);
  EXPECT_EQ(ui::Icon::kError, box.icon);
  // The inner run of `a` stops; `b` and the outer `a` go on with their remaining lines.
  EXPECT_EQ((Lines{"after b", "after a"}), RecordedLines());
  // Nothing is left marked as running.
  EXPECT_EQ(S_OK, Run("b"));
  EXPECT_EQ(2u, prompter_.messages.size());
  EXPECT_NE(std::string::npos, prompter_.messages[1].text.find("alias B"));
}

// ---- Favorites and scripts

TEST_F(CmdLineEngineTest, FavoritesRunTheirDefinitionAndScriptsSayTheyCannot) {
  ASSERT_EQ(S_OK, Start(1));
  std::filesystem::path folder = MakeDir("docs");
  AddFavorite("editor", kFavoriteProgram, "/opt/tools/ed");
  AddFavorite("notes", kFavoriteOther, "my notes");
  AddFavorite("docs", kFavoriteFolder, folder.string());
  AddFavorite("tree", kFavoriteFolder, folder.string(), "", 1);
  AddFavorite("lost", kFavoriteFolder, (temp_ / "missing").string());
  AddScript("hello", kScriptPython);
  Reregister();
  RecorderResult() = S_FALSE;  // no engine takes the built line: a failure, not S_FALSE
  EXPECT_EQ(E_FAIL, Run("editor a.txt \"b c.txt\""));
  EXPECT_EQ(E_FAIL, Run("notes"));
  EXPECT_EQ((Lines{"\"/opt/tools/ed\" a.txt \"b c.txt\"", "\"my notes\""}), RecordedLines());
  EXPECT_TRUE(runner_.started.empty());

  // Folders open through the shell; a missing one has nothing to open: S_OK, no message.
  for (const char* line : {"docs", "tree", "lost"}) EXPECT_EQ(S_OK, Run(line)) << line;
  EXPECT_EQ((std::vector<Lines>{{"xdg-open", folder.string()}, {"xdg-open", folder.string()}}),
            runner_.started);
  EXPECT_TRUE(Errors().empty());
  EXPECT_EQ(0, log_->shows);

  EXPECT_EQ(S_OK, Run("hello"));
  EXPECT_EQ(Lines{CmdLineText(kIdsScriptCannotRun)}, Errors());
  EXPECT_EQ(1, log_->shows);
  EXPECT_EQ(2u, RecordedLines().size());
}

// The submenu titled `title` of `menu`.
QMenu* Submenu(QMenu& menu, const QString& title) {
  for (QAction* action : menu.actions())
    if (action->menu() && action->text() == title) return action->menu();
  return nullptr;
}

QStringList Texts(QMenu* menu) {
  if (!menu) return {"<no such submenu>"};
  QStringList texts;
  for (QAction* action : menu->actions()) texts << action->text();
  return texts;
}

TEST_F(CmdLineEngineTest, FavoritesMenuListsItemsByTypeUpToTwenty) {
  ASSERT_EQ(S_OK, Start(1));
  for (int i = 0; i < 25; ++i)
    AddFavorite("f" + std::to_string(i), kFavoriteFolder, "/tmp", i == 0 ? "first" : "");
  AddFavorite("web", kFavoriteLink, "https://example.org", "  ");
  AddAlias("ll", "list -l", "long list");
  AddScript("js", kScriptJavaScript, "a script");
  Reregister();
  auto commands = QueryAs<IvokMenuCommands>(container_.Get());
  QMenu menu;
  ASSERT_EQ(S_OK, commands->FillMenu(&menu, 1000));

  QStringList folders = Texts(Submenu(menu, "&Folders"));
  ASSERT_EQ(20, folders.size());
  EXPECT_EQ("f0 - first", folders.front());
  EXPECT_EQ("f19", folders.back());
  EXPECT_EQ(QStringList{"web"}, Texts(Submenu(menu, "&Links")));
  EXPECT_EQ(QStringList{"ll - long list"}, Texts(Submenu(menu, "&Aliases")));
  EXPECT_EQ(QStringList{"js - a script"}, Texts(Submenu(menu, "&Scripts")));
  EXPECT_EQ(QStringList{"(Empty)"}, Texts(Submenu(menu, "&Programs")));

  // Every entry runs its key through the container.
  QAction* alias = Submenu(menu, "&Aliases")->actions().at(0);
  EXPECT_EQ(S_OK, commands->RunMenuCommand(alias->data().toInt()));
  EXPECT_EQ(Lines{"list -l"}, RecordedLines());
}

TEST_F(CmdLineEngineTest, FavoritesCommandRunsTheChosenEntry) {
  ASSERT_EQ(S_OK, Start(1));
  AddFavorite("editor", kFavoriteProgram, "/opt/tools/ed");
  Reregister();
  prompter_.menus.push_back([](QMenu& menu) { return Submenu(menu, "&Programs")->actions()[0]; });
  prompter_.menus.push_back([](QMenu&) { return nullptr; });  // dismissed the second time
  EXPECT_EQ(S_OK, Run("favorites"));
  EXPECT_EQ(Lines{"\"/opt/tools/ed\""}, RecordedLines());
  EXPECT_EQ(S_OK, Run("favorites"));
  EXPECT_EQ(1u, RecordedLines().size());
  EXPECT_EQ(2u, prompter_.trackedMenus.size());
}

// ---- newfavorite

LONG ItemCount(IvokFastList* list) {
  LONG count = -1;
  list->get_ItemCount(&count);
  return count;
}

// Fills the favorite dialog with `name` and confirms it; records the definition it showed.
std::function<int(QDialog&)> ConfirmFavorite(const std::string& name, std::string* shown) {
  return [name, shown](QDialog& dialog) {
    auto* favorite = dynamic_cast<FavoritePropertiesDialog*>(&dialog);
    if (!favorite) return 0;
    *shown = favorite->definitionEdit()->text().toStdString();
    favorite->shortcutEdit()->setText(QString::fromStdString(name));
    favorite->accept();
    return dialog.result();
  };
}

TEST_F(CmdLineEngineTest, NewFavoriteAddsAndRegistersTheConfirmedItem) {
  ASSERT_EQ(S_OK, Start(1));
  // A known type and a confirmation are needed.
  for (const char* line : {"newfavorite", "newfavorite /bogus", "newfavorite folder"}) {
    log_->lines.clear();
    EXPECT_EQ(S_OK, Run(line));
    EXPECT_EQ(Lines{CmdLineText(kIdsWrongParameters)}, Errors()) << line;
  }
  EXPECT_EQ(0, prompter_.dialogCount);
  EXPECT_EQ(S_OK, Run("newfavorite /prog"));  // the scripted prompter cancels the dialog
  EXPECT_EQ(1, prompter_.dialogCount);
  EXPECT_EQ(0, ItemCount(Favorites().Get()));

  auto persist = EngineAs<IPersistStorage>();
  ComPtr<MemoryStorage> storage(new MemoryStorage);
  ASSERT_EQ(S_OK, persist->Save(storage.Get(), 1));

  std::string shown;
  prompter_.dialogs.push_back(ConfirmFavorite("web", &shown));
  EXPECT_EQ(S_OK, Run("newfavorite /LINK"));
  EXPECT_EQ("http://", shown);
  EXPECT_EQ(S_OK, Favorites()->IsInside("web", 1));
  EXPECT_EQ(S_OK, EngineAs<IvokEngineCmdTable>()->IsCommandRegistered("web"));
  EXPECT_EQ(S_OK, persist->IsDirty());

  prompter_.dialogs.push_back(ConfirmFavorite("src", &shown));
  EXPECT_EQ(S_OK, Run("newfavorite /folder /Data/Src"));
  EXPECT_EQ("/Data/Src", shown);  // as typed
  IUnknown* item = nullptr;
  ASSERT_EQ(S_OK, Favorites()->Find("src", &item, 1));
  ULONG type = 99;
  QueryAs<IvokFastListItem>(item)->get_ItemData(&type);
  EXPECT_EQ(kFavoriteFolder, type);
}

TEST_F(CmdLineEngineTest, NewFavoriteRefusesTakenNames) {
  ASSERT_EQ(S_OK, Start(0));  // favorites are no commands here, but still unique
  AddFavorite("Home", kFavoriteFolder, "/home");
  std::string shown;
  for (const char* taken : {"cd", "home"}) {
    prompter_.dialogs.push_back(ConfirmFavorite(taken, &shown));
    EXPECT_EQ(S_OK, Run("newfavorite /file /etc/hosts"));
  }
  ASSERT_EQ(2u, prompter_.messages.size());
  for (const ui::Message& message : prompter_.messages)
    EXPECT_EQ(CmdLineText(kIdsFavoriteNameTaken), message.text);
  EXPECT_EQ(1, ItemCount(Favorites().Get()));
}

}  // namespace
}  // namespace vok::test
