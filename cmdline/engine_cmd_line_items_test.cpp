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
  EXPECT_EQ(std::vector<std::string>{"\"/bin/other\""}, RecordedLines());
}

TEST_F(CmdLineEngineTest, FavoritesAreCommandsOnlyAtHintOne) {
  ASSERT_EQ(S_OK, Start(0));
  AddFavorite("ed", kFavoriteProgram, "/usr/bin/ed");
  AddAlias("ll", "ls -l");
  Reregister();
  auto table = EngineAs<IvokEngineCmdTable>();
  EXPECT_EQ(S_FALSE, table->IsCommandRegistered("ed"));
  EXPECT_EQ(S_OK, table->IsCommandRegistered("ll"));
  EXPECT_EQ(S_OK, Run("ed x"));
  EXPECT_EQ(std::vector<std::string>{"ed x"}, RecordedLines());
}

struct MatchCase {
  const char* name;
  const char* pattern;
  LONG firstWord;
  const char* expected;  // null: no match
};

class FirstWordMatchTest : public CmdLineEngineTest,
                           public testing::WithParamInterface<MatchCase> {};

// Only folder favorites complete past the first word of a line.
TEST_P(FirstWordMatchTest, CompletesItemsByPosition) {
  ASSERT_EQ(S_OK, Start(1));
  AddFavorite("projects", kFavoriteFolder, "/srv/projects");
  AddFavorite("pyrun", kFavoriteProgram, "/usr/bin/python3");
  AddAlias("pack", "tar cf %1");
  AddScript("ping2", kScriptVBScript);
  Reregister();
  const MatchCase& c = GetParam();
  char out[128] = {};
  HRESULT hr = EngineAs<IvokCommandInfo>()->MatchCommand(c.pattern, out, c.firstWord);
  if (c.expected) {
    EXPECT_EQ(S_OK, hr);
    EXPECT_STREQ(c.expected, out);
  } else {
    EXPECT_EQ(S_FALSE, hr);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, FirstWordMatchTest,
                         testing::Values(MatchCase{"FolderAnywhere", "PROJ*", 0, "projects"},
                                         MatchCase{"ProgramFirstWord", "PYR*", 1, "pyrun"},
                                         MatchCase{"ProgramLaterWord", "PYR*", 0, nullptr},
                                         MatchCase{"AliasFirstWord", "PAC*", 1, "pack"},
                                         MatchCase{"AliasLaterWord", "PAC*", 0, nullptr},
                                         MatchCase{"ScriptLaterWord", "PIN*", 0, nullptr},
                                         MatchCase{"ScriptFirstWord", "PIN*", 1, "ping2"},
                                         MatchCase{"BuiltInLaterWord", "PRINT*", 0, "print"}),
                         [](const testing::TestParamInfo<MatchCase>& info) {
                           return info.param.name;
                         });

TEST_F(CmdLineEngineTest, QuickHelpDescribesItemsByTheirDefinition) {
  ASSERT_EQ(S_OK, Start(1));
  AddAlias("Build", "make all\r\nmake install", "build and install");
  AddFavorite("Ed", kFavoriteProgram, "/usr/bin/ed", "line editor");
  Reregister();
  auto info = EngineAs<IvokCommandInfo>();
  char name[127], syntax[127], description[127];
  LONG index = 0;
  ASSERT_EQ(S_OK, info->GetCommandInfo("BUILD", name, syntax, description, &index, 0));
  EXPECT_STREQ("Build", name);
  EXPECT_STREQ("make all ...", syntax);
  EXPECT_STREQ("build and install", description);
  ASSERT_EQ(S_OK, info->GetCommandInfo("ED", name, syntax, description, &index, 0));
  EXPECT_STREQ("Ed", name);
  EXPECT_STREQ("/usr/bin/ed", syntax);
  EXPECT_STREQ("line editor", description);
}

// ---- Aliases

struct AliasCase {
  const char* name;
  std::string definition;
  std::string line;
  std::vector<std::string> sent;
};

class AliasRunTest : public CmdLineEngineTest, public testing::WithParamInterface<AliasCase> {};

TEST_P(AliasRunTest, SendsTheExpandedLines) {
  ASSERT_EQ(S_OK, Start(1));
  AddAlias("al", GetParam().definition);
  Reregister();
  EXPECT_EQ(S_OK, Run(GetParam().line));
  EXPECT_EQ(GetParam().sent, RecordedLines());
  EXPECT_TRUE(Errors().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AliasRunTest,
    testing::Values(
        AliasCase{"Placeholder", "notepad %1", "al readme.txt", {"notepad readme.txt "}},
        AliasCase{"PlaceholderFirst", "%1 x", "al a", {"a  x"}},
        AliasCase{"MissingArgument", "cpy %1 %2", "al a", {"cpy a   "}},
        AliasCase{"LonePercent", "100% sure", "al", {"100 sure"}},
        // Paths keep their letter case and blanks: Linux file names are case-sensitive.
        AliasCase{"ArgumentAsTyped", "view %1", "al ReadMe.TXT", {"view ReadMe.TXT "}},
        AliasCase{"ArgumentWithBlank", "view %1", "al \"my file\"", {"view \"my file\" "}},
        AliasCase{"LinesAndComment",
                  "echo1 one\r\n# comment\r\n\r\n   echo2 two",
                  "al",
                  {"echo1 one\r", "echo2 two"}},
        AliasCase{"CommentOnly", "# nothing", "al", {}}),
    [](const testing::TestParamInfo<AliasCase>& info) { return info.param.name; });

TEST_F(CmdLineEngineTest, HintZeroRunsOnlyTheFirstAliasLine) {
  ASSERT_EQ(S_OK, Start(0));
  AddAlias("al", "echo1 one\r\necho2 two");
  Reregister();
  EXPECT_EQ(S_OK, Run("al"));
  EXPECT_EQ(std::vector<std::string>{"echo1 one\r"}, RecordedLines());
}

TEST_F(CmdLineEngineTest, AliasResultIsTheLastLinesResult) {
  ASSERT_EQ(S_OK, Start(1));
  AddAlias("al", "first\r\nsecond");
  AddAlias("empty", "# only a comment");
  Reregister();
  RecorderResult() = E_ACCESSDENIED;
  EXPECT_EQ(E_ACCESSDENIED, Run("al"));
  EXPECT_EQ(2u, RecordedLines().size());
  // A last line no engine took is a failure that ends the dispatch (the alias's own line never
  // reaches the next engine); no line at all is done.
  RecorderResult() = S_FALSE;
  EXPECT_EQ(E_FAIL, Run("al"));
  EXPECT_EQ(S_OK, Run("empty"));
  EXPECT_EQ((std::vector<std::string>{"first\r", "second", "first\r", "second"}), RecordedLines());
}

TEST_F(CmdLineEngineTest, AliasesCallOtherAliasesAndBuiltIns) {
  ASSERT_EQ(S_OK, Start(1));
  std::filesystem::path sub = MakeDir("sub");
  AddAlias("inner", "cd %1\r\nmark inner");
  AddAlias("outer", "inner sub\r\nmark outer %1");
  Reregister();
  EXPECT_EQ(S_OK, Run("outer x"));
  EXPECT_EQ(sub.string(), CurrentDir());
  EXPECT_EQ((std::vector<std::string>{"mark inner", "mark outer x "}), RecordedLines());
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
  EXPECT_EQ((std::vector<std::string>{"after b", "after a"}), RecordedLines());
  // Nothing is left marked as running.
  EXPECT_EQ(S_OK, Run("b"));
  EXPECT_EQ(2u, prompter_.messages.size());
  EXPECT_NE(std::string::npos, prompter_.messages[1].text.find("alias B"));
}

// ---- Favorites

TEST_F(CmdLineEngineTest, ProgramFavoriteRunsTheQuotedDefinitionWithArguments) {
  ASSERT_EQ(S_OK, Start(1));
  AddFavorite("editor", kFavoriteProgram, "/opt/tools/ed");
  AddFavorite("notes", kFavoriteOther, "my notes");
  Reregister();
  RecorderResult() = S_FALSE;  // no engine takes the built line: a failure, not S_FALSE
  EXPECT_EQ(E_FAIL, Run("editor a.txt \"b c.txt\""));
  EXPECT_EQ(E_FAIL, Run("notes"));
  EXPECT_EQ((std::vector<std::string>{"\"/opt/tools/ed\" a.txt \"b c.txt\"", "\"my notes\""}),
            RecordedLines());
  EXPECT_TRUE(runner_.started.empty());
}

TEST_F(CmdLineEngineTest, FolderFavoriteOpensTheFolder) {
  ASSERT_EQ(S_OK, Start(1));
  std::filesystem::path folder = MakeDir("docs");
  AddFavorite("docs", kFavoriteFolder, folder.string());
  AddFavorite("tree", kFavoriteFolder, folder.string(), "", 1);
  AddFavorite("lost", kFavoriteFolder, (temp_ / "missing").string());
  Reregister();
  EXPECT_EQ(S_OK, Run("docs"));
  EXPECT_EQ(S_OK, Run("tree"));
  EXPECT_EQ(S_OK, Run("lost"));  // the shell has nothing to open; still S_OK, no message
  EXPECT_EQ((std::vector<std::vector<std::string>>{{"xdg-open", folder.string()},
                                                   {"xdg-open", folder.string()}}),
            runner_.started);
  EXPECT_TRUE(RecordedLines().empty());
  EXPECT_TRUE(Errors().empty());
}

TEST_F(CmdLineEngineTest, ScriptsSayTheyCannotRun) {
  ASSERT_EQ(S_OK, Start(1));
  AddScript("hello", kScriptPython);
  Reregister();
  EXPECT_EQ(S_OK, Run("hello"));
  EXPECT_EQ(std::vector<std::string>{CmdLineText(kIdsScriptCannotRun)}, Errors());
  EXPECT_EQ(1, log_->shows);
}

// The submenu titled `title` of `menu`.
QMenu* Submenu(QMenu& menu, const QString& title) {
  for (QAction* action : menu.actions())
    if (action->menu() && action->text() == title) return action->menu();
  return nullptr;
}

QStringList Texts(QMenu* menu) {
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

  QMenu* folders = Submenu(menu, "&Folders");
  ASSERT_NE(nullptr, folders);
  QStringList expected{"f0 - first"};
  for (int i = 1; i < 20; ++i) expected << QString("f%1").arg(i);
  EXPECT_EQ(expected, Texts(folders));
  EXPECT_EQ(QStringList{"web"}, Texts(Submenu(menu, "&Links")));
  EXPECT_EQ(QStringList{"ll - long list"}, Texts(Submenu(menu, "&Aliases")));
  EXPECT_EQ(QStringList{"js - a script"}, Texts(Submenu(menu, "&Scripts")));
  EXPECT_EQ(QStringList{"(Empty)"}, Texts(Submenu(menu, "&Programs")));

  // Every entry runs its key through the container.
  QAction* alias = Submenu(menu, "&Aliases")->actions().at(0);
  EXPECT_EQ(S_OK, commands->RunMenuCommand(alias->data().toInt()));
  EXPECT_EQ(std::vector<std::string>{"list -l"}, RecordedLines());
}

TEST_F(CmdLineEngineTest, FavoritesCommandRunsTheChosenEntry) {
  ASSERT_EQ(S_OK, Start(1));
  AddFavorite("editor", kFavoriteProgram, "/opt/tools/ed");
  Reregister();
  prompter_.menus.push_back([](QMenu& menu) { return Submenu(menu, "&Programs")->actions()[0]; });
  prompter_.menus.push_back([](QMenu&) { return nullptr; });  // dismissed the second time
  EXPECT_EQ(S_OK, Run("favorites"));
  EXPECT_EQ(std::vector<std::string>{"\"/opt/tools/ed\""}, RecordedLines());
  EXPECT_EQ(S_OK, Run("favorites"));
  EXPECT_EQ(1u, RecordedLines().size());
  EXPECT_EQ(2u, prompter_.trackedMenus.size());
}

// ---- newfavorite

TEST_F(CmdLineEngineTest, NewFavoriteNeedsAKnownTypeAndAConfirmation) {
  ASSERT_EQ(S_OK, Start(1));
  for (const char* line : {"newfavorite", "newfavorite /bogus", "newfavorite folder"}) {
    log_->lines.clear();
    EXPECT_EQ(S_OK, Run(line));
    EXPECT_EQ(std::vector<std::string>{CmdLineText(kIdsWrongParameters)}, Errors()) << line;
  }
  EXPECT_EQ(0, prompter_.dialogCount);
  EXPECT_EQ(S_OK, Run("newfavorite /prog"));  // the scripted prompter cancels the dialog
  EXPECT_EQ(1, prompter_.dialogCount);
  LONG count = -1;
  Favorites()->get_ItemCount(&count);
  EXPECT_EQ(0, count);
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
  LONG count = 0;
  Favorites()->get_ItemCount(&count);
  EXPECT_EQ(1, count);
}

}  // namespace
}  // namespace vok::test
