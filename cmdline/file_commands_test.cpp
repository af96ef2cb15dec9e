// The file commands end to end: real command lines through the real parser, real files in a
// private current directory, the log lines they leave, and the questions they ask. No program
// is started (a recording runner stands in) and no command line reaches a shell.
#include "cmdline/file_commands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>

#include "cmdline/commands_test_support.h"
#include "cmdline/resources/cmdline_strings.h"
#include "common/text_util.h"
#include "platform/shell/context_menu.h"
#include "platform/shell/properties_dialog.h"
#include "platform/shell/trash.h"

namespace vok::cmdline {
namespace {

namespace fs = std::filesystem;
using shell::test::Exists;
using shell::test::Names;
using shell::test::ReadFile;
using shell::test::WriteFile;
using Strings = std::vector<std::string>;
using Command = std::vector<std::string>;

class FileCommandsTest : public test::CommandsTest {
 protected:
  void SetUp() override {
    CommandsTest::SetUp();
    std::error_code error;
    fs::remove_all(shell::HomeTrashPath(), error);
    WriteFile(dir / "a.txt", "A");
    WriteFile(dir / "b.txt", "B");
    WriteFile(dir / "c.log", "C");
    fs::create_directories(dir / "sub");
  }

  Strings Trashed() const { return Names(shell::HomeTrashPath() / "files"); }

  // Picks the menu entry with text `text` when the context menu is shown.
  void PickMenuEntry(const char* text) {
    prompter.menus.push_back([text](QMenu& menu) -> QAction* {
      for (QAction* action : menu.actions())
        if (action->text() == QString::fromUtf8(text)) return action;
      return nullptr;
    });
  }

  // Types `name` into the rename dialog and accepts it.
  void TypeNewName(const std::string& name) {
    prompter.dialogs.push_back([name](QDialog& dialog) {
      auto* box = dialog.findChild<QLineEdit*>(shell::kNewNameBox);
      if (!box) return int(QDialog::Rejected);
      box->setText(QString::fromStdString(name));
      return int(QDialog::Accepted);
    });
  }
};

// ---- del ----

TEST_F(FileCommandsTest, DeleteGoesToTheTrashByDefault) {
  EXPECT_EQ(S_OK, Run(RunDelete, "del a.txt"));
  EXPECT_FALSE(Exists(dir / "a.txt"));
  EXPECT_EQ(Strings{"a.txt"}, Trashed());
  EXPECT_EQ(Strings{Text(kIdsFileOperationDone)}, Infos());
  EXPECT_EQ(0, context.log.shows);
  EXPECT_TRUE(prompter.messages.empty());
  WriteFile(dir / ".hidden.txt", "H");  // wildcards skip hidden names
  ASSERT_EQ(S_OK, Run(RunDelete, "del *.txt"));
  EXPECT_EQ((Strings{"a.txt", "b.txt"}), Trashed());
  EXPECT_EQ((Strings{".hidden.txt", "c.log", "sub"}), Names(dir.path()));
}

TEST_F(FileCommandsTest, AFinalDeleteIsAskedAndSwitchesOverrideTheSetting) {
  context.deleteToRecycleBin = false;
  ASSERT_EQ(S_OK, Run(RunDelete, "del b.txt"));  // declined
  EXPECT_EQ("B", ReadFile(dir / "b.txt"));
  EXPECT_TRUE(context.log.lines.empty());
  ASSERT_EQ(S_OK, Run(RunDelete, "del +RB a.txt"));
  EXPECT_EQ(Strings{"a.txt"}, Trashed());

  context.deleteToRecycleBin = true;
  prompter.answers = {ui::Answer::kYes};
  ASSERT_EQ(S_OK, Run(RunDelete, "del -Rb b.txt"));
  EXPECT_FALSE(Exists(dir / "b.txt"));
  EXPECT_EQ(Strings{"a.txt"}, Trashed());
  ASSERT_EQ(2u, prompter.messages.size());
  const ui::Message& question = prompter.messages[1];
  EXPECT_EQ("Do you want to permanently delete '" + In("b.txt") + "' ?", question.text);
  EXPECT_EQ("Quillo", question.caption);
  EXPECT_EQ(ui::Buttons::kYesNo, question.buttons);
  EXPECT_EQ(ui::Icon::kQuestion, question.icon);
}

TEST_F(FileCommandsTest, DeleteReportsMissingArgumentsAndFiles) {
  const std::pair<const char*, UINT> cases[] = {
      {"del", kIdsWrongParameters},           {"del +rb", kIdsWrongParameters},
      {"del missing.txt", kIdsFilesNotFound}, {"del *.doc", kIdsFilesNotFound},
      {"del A.TXT", kIdsFilesNotFound},  // names keep their case: there is only a.txt
  };
  for (const auto& [line, id] : cases) {
    context.log.lines.clear();
    EXPECT_EQ(S_OK, Run(RunDelete, line));
    EXPECT_EQ(Strings{Text(id)}, Errors()) << line;
  }
  EXPECT_GT(context.log.shows, 0);
  EXPECT_EQ((Strings{"a.txt", "b.txt", "c.log", "sub"}), Names(dir.path()));
}

TEST_F(FileCommandsTest, AwkwardNamesOnlyEverNameThemselves) {
  for (const char* name : shell::test::kAwkwardNames) WriteFile(dir / name, name);
  for (const char* name : shell::test::kAwkwardNames) {
    context.log.lines.clear();
    // Quoted as in any Unix shell; a quote cannot be typed inside a word (it splits it), so
    // that name is given by a pattern. The name is never read as an option or a command.
    std::string quoted = "\"" + std::string(name) + "\"";
    if (std::string(name).find('"') != std::string::npos) {
      quoted = name;
      std::replace(quoted.begin(), quoted.end(), '"', '?');
    }
    ASSERT_EQ(S_OK, Run(RunDelete, "del " + quoted));
    EXPECT_EQ(Strings{Text(kIdsFileOperationDone)}, Infos()) << name;
    EXPECT_FALSE(Exists(dir / name)) << name;
  }
  EXPECT_EQ((Strings{"a.txt", "b.txt", "c.log", "sub"}), Names(dir.path()));
  EXPECT_EQ(std::size(shell::test::kAwkwardNames), Trashed().size());
  EXPECT_TRUE(runner.calls.empty());
  EXPECT_FALSE(Exists(dir / "pwned"));
  EXPECT_FALSE(Exists("pwned"));
}

TEST_F(FileCommandsTest, AFailedTrashMoveNeverDeletes) {
  WriteFile(dir / "data/Trash", "a file where the trash should be");
  {
    shell::test::ScopedEnv data("XDG_DATA_HOME", (dir / "data").c_str());
    EXPECT_EQ(S_OK, Run(RunDelete, "del a.txt"));
  }
  EXPECT_EQ("A", ReadFile(dir / "a.txt"));
  EXPECT_EQ(Strings{Text(kIdsFilesNotFound)}, Errors());
  EXPECT_TRUE(prompter.messages.empty());  // no fallback to a final delete either
}

// ---- ren ----

TEST_F(FileCommandsTest, RenameKeepsTheTypedCase) {
  ASSERT_EQ(S_OK, Run(RunRename, "ren a.txt MiXeD.TXT"));
  EXPECT_EQ("A", ReadFile(dir / "MiXeD.TXT"));
  EXPECT_FALSE(Exists(dir / "a.txt"));
  EXPECT_EQ(Strings{Text(kIdsFileOperationDone)}, Infos());
}

TEST_F(FileCommandsTest, RenameReportsProblems) {
  const std::pair<const char*, UINT> cases[] = {
      {"ren", kIdsWrongParameters},
      {"ren a.txt", kIdsWrongParameters},
      {"ren missing.txt x.txt", kIdsCannotRename},
      {"ren a.txt ..", kIdsCannotRename},
      {"ren a.txt sub", kIdsCannotRename},  // a folder is never replaced
      {"ren a.txt sub/b.txt", kIdsNewNameHasPath},
  };
  for (const auto& [line, id] : cases) {
    context.log.lines.clear();
    ASSERT_EQ(S_OK, Run(RunRename, line));
    EXPECT_EQ(Strings{Text(id)}, Errors()) << line;
  }
  EXPECT_EQ("A", ReadFile(dir / "a.txt"));
  EXPECT_TRUE(Names(dir / "sub").empty());
}

TEST_F(FileCommandsTest, ReplacingAnExistingFileIsAsked) {
  ASSERT_EQ(S_OK, Run(RunRename, "ren a.txt b.txt"));
  ASSERT_EQ(1u, prompter.messages.size());
  EXPECT_EQ("'" + In("b.txt") + "' already exists.  Do you want to replace it ?",
            prompter.messages[0].text);
  EXPECT_EQ("A", ReadFile(dir / "a.txt"));  // declined: nothing happened, nothing logged
  EXPECT_EQ("B", ReadFile(dir / "b.txt"));
  EXPECT_TRUE(context.log.lines.empty());

  prompter.answers = {ui::Answer::kYes};
  ASSERT_EQ(S_OK, Run(RunRename, "ren a.txt b.txt"));
  EXPECT_EQ("A", ReadFile(dir / "b.txt"));
  EXPECT_FALSE(Exists(dir / "a.txt"));
}

// ---- copy, move ----

TEST_F(FileCommandsTest, CopyDestinations) {
  WriteFile(dir / "sub/deep.txt", "D");
  ASSERT_EQ(S_OK, Run(RunCopy, "copy sub/deep.txt"));  // none: here
  EXPECT_EQ("D", ReadFile(dir / "deep.txt"));
  EXPECT_EQ("D", ReadFile(dir / "sub/deep.txt"));
  EXPECT_EQ(Strings{Text(kIdsFileOperationDone)}, Infos());
  ASSERT_EQ(S_OK, Run(RunCopy, "cp a.txt sub/../sub/B.TXT"));  // keeps its capitals
  EXPECT_EQ((Strings{"B.TXT", "deep.txt"}), Names(dir / "sub"));
  // "d:" names no drive here: it is a relative name like any other.
  ASSERT_EQ(S_OK, Run(RunCopy, "copy a.txt d:x"));
  EXPECT_EQ("A", ReadFile(dir / "d:x"));
}

TEST_F(FileCommandsTest, CopyAndMoveMatchesIntoAFolder) {
  ASSERT_EQ(S_OK, Run(RunCopy, "copy *.txt sub"));
  EXPECT_EQ((Strings{"a.txt", "b.txt"}), Names(dir / "sub"));
  ASSERT_EQ(S_OK, Run(RunMove, "move *.log ~"));
  EXPECT_EQ("C", ReadFile(fs::path(std::getenv("HOME")) / "c.log"));
  EXPECT_FALSE(Exists(dir / "c.log"));
  EXPECT_EQ(2u, Infos().size());
  fs::remove(fs::path(std::getenv("HOME")) / "c.log");
}

TEST_F(FileCommandsTest, CopyAndMoveReportTheirOwnFailures) {
  const std::tuple<test::Handler, const char*, UINT> cases[] = {
      {RunCopy, "copy", kIdsWrongParameters},
      {RunMove, "move", kIdsWrongParameters},
      {RunCopy, "copy missing.txt sub", kIdsCannotCopy},
      {RunMove, "move missing.txt sub", kIdsCannotMove},
      {RunCopy, "copy a.txt", kIdsCannotCopy},  // onto itself
      {RunMove, "mv *.txt none", kIdsCannotMove},
      {RunMove, "mv sub sub/inner", kIdsCannotMove},
  };
  for (const auto& [handler, line, id] : cases) {
    context.log.lines.clear();
    ASSERT_EQ(S_OK, Run(handler, line));
    EXPECT_EQ(Strings{Text(id)}, Errors()) << line;
  }
  EXPECT_EQ((Strings{"a.txt", "b.txt", "c.log", "sub"}), Names(dir.path()));
  EXPECT_TRUE(Names(dir / "sub").empty());
}

// ---- md ----

TEST_F(FileCommandsTest, MakeDirCreatesEveryLevel) {
  ASSERT_EQ(S_OK, Run(RunMakeDir, "md x/y/z"));
  EXPECT_TRUE(fs::is_directory(dir / "x/y/z"));
  ASSERT_EQ(S_OK, Run(RunMakeDir, "mkdir x/y/w"));
  EXPECT_TRUE(fs::is_directory(dir / "x/y/w"));
  EXPECT_EQ(2u, Infos().size());
  ASSERT_EQ(S_OK, Run(RunMakeDir, "md a.txt/q"));
  ASSERT_EQ(S_OK, Run(RunMakeDir, "md"));
  EXPECT_EQ((Strings{Text(kIdsCannotCreateDir), Text(kIdsWrongParameters)}), Errors());
}

// ---- dir ----

TEST_F(FileCommandsTest, DirSwitchesOpenShellFolders) {
  ASSERT_EQ(S_OK, Run(RunExplore, "dir /RB"));
  ASSERT_EQ(S_OK, Run(RunExplore, "ls /nn"));
  ASSERT_EQ(S_OK, Run(RunExplore, "explore /Mc"));
  EXPECT_EQ(
      (std::vector<Command>{
          {"xdg-open", "trash:///"}, {"xdg-open", "network:///"}, {"xdg-open", "computer:///"}}),
      runner.Commands());
  // Nothing installed for the control panel: silent.
  ASSERT_EQ(S_OK, Run(RunExplore, "dir /cp"));
  EXPECT_TRUE(context.log.lines.empty());
}

TEST_F(FileCommandsTest, DirPatternGoesToTheContainer) {
  ASSERT_EQ(S_OK, Run(RunExplore, "dir *.txt"));
  ASSERT_EQ(S_OK, Run(RunExplore, "dir \"my docs/?.txt\""));
  EXPECT_EQ((Strings{"*.txt", "\"my docs/?.txt\""}), context.container.commands);
  EXPECT_TRUE(runner.calls.empty());
}

TEST_F(FileCommandsTest, DirOpensOrExploresTheTarget) {
  ASSERT_EQ(S_OK, Run(RunExplore, "dir"));
  ASSERT_EQ(S_OK, Run(RunExplore, "dir sub"));
  context.explorerTree = true;
  ASSERT_EQ(S_OK, Run(RunExplore, "explore a.txt"));
  EXPECT_EQ((std::vector<Command>{
                {"xdg-open", dir.str()}, {"xdg-open", In("sub")}, {"xdg-open", dir.str()}}),
            runner.Commands());
  ASSERT_EQ(S_OK, Run(RunExplore, "dir missing"));
  EXPECT_EQ(Strings{Text(kIdsFilesNotFound)}, Errors());
  context.currentDirectory.clear();  // above the root: the volumes
  ASSERT_EQ(S_OK, Run(RunExplore, "dir"));
  EXPECT_EQ((Command{"xdg-open", "computer:///"}), runner.calls.back().argv);
}

// ---- rbin ----

TEST_F(FileCommandsTest, RecycleBinInfoAndEmpty) {
  ASSERT_EQ(S_OK, Run(RunRecycleBin, "rbin purge"));
  EXPECT_EQ(Strings{Text(kIdsWrongParameters)}, Errors());
  context.log.lines.clear();
  ASSERT_EQ(S_OK, Run(RunRecycleBin, "rbin"));
  EXPECT_EQ((Command{"xdg-open", "trash:///"}), runner.calls.back().argv);

  ASSERT_EQ(S_OK, Run(RunRecycleBin, "rbin INFO"));
  ASSERT_EQ(S_OK, Run(RunRecycleBin, "rbin empty"));  // nothing to empty: not asked
  EXPECT_EQ((Strings{Text(kIdsRecycleBinEmpty), Text(kIdsRecycleBinEmpty)}), Infos());
  EXPECT_TRUE(prompter.messages.empty());

  ASSERT_EQ(S_OK, Run(RunDelete, "del *.txt"));
  context.log.lines.clear();
  context.log.shows = 0;
  ASSERT_EQ(S_OK, Run(RunRecycleBin, "rbin info"));
  EXPECT_EQ(Strings{"Recycle Bin contains 2 item(s)."}, Infos());
  EXPECT_EQ(1, context.log.shows);

  ASSERT_EQ(S_OK, Run(RunRecycleBin, "rbin empty"));  // declined
  EXPECT_EQ(2u, Trashed().size());
  ASSERT_EQ(1u, prompter.messages.size());
  EXPECT_EQ(Text(kIdsConfirmEmptyTrash), prompter.messages[0].text);
  prompter.answers = {ui::Answer::kYes};
  ASSERT_EQ(S_OK, Run(RunRecycleBin, "rbin Empty"));
  EXPECT_TRUE(Trashed().empty());
  EXPECT_EQ(1u, context.log.lines.size());  // emptying is silent
}

// ---- print ----

TEST_F(FileCommandsTest, PrintHandsTheWholeArgumentToLp) {
  WriteFile(dir / "my file.txt", "x");
  runner.installed.insert("lp");
  ASSERT_EQ(S_OK, Run(RunPrint, "print my file.txt"));
  EXPECT_EQ((Command{"lp", "--", In("my file.txt")}), runner.calls.back().argv);
  EXPECT_TRUE(context.log.lines.empty());

  ASSERT_EQ(S_OK, Run(RunPrint, "print"));
  ASSERT_EQ(S_OK, Run(RunPrint, "print missing.txt"));
  runner.installed.erase("lp");
  ASSERT_EQ(S_OK, Run(RunPrint, "print a.txt"));
  EXPECT_EQ(Strings(3, Text(kIdsCannotPrint)), Errors());
}

// ---- listfiles ----

TEST_F(FileCommandsTest, ListFilesLogsNamesOnly) {
  ASSERT_EQ(S_OK, Run(RunListFiles, "listfiles *.txt"));
  EXPECT_EQ((Strings{"a.txt", "b.txt"}), Infos());
  EXPECT_EQ(1, context.log.shows);
  context.log.lines.clear();
  ASSERT_EQ(S_OK, Run(RunListFiles, "listfiles"));
  EXPECT_TRUE(context.log.lines.empty());
  ASSERT_EQ(S_OK, Run(RunListFiles, "listfiles *.none"));
  EXPECT_EQ(Strings{Text(kIdsNoFileFound)}, Errors());
}

// ---- contextmenu, properties ----

TEST_F(FileCommandsTest, ContextMenuOffersTheItemActions) {
  ASSERT_EQ(S_OK, Run(RunContextMenu, "ctxmenu a.txt"));  // dismissed
  ASSERT_EQ(1u, prompter.trackedMenus.size());
  EXPECT_EQ((Strings{shell::kMenuOpen, shell::kMenuOpenWith, "", shell::kMenuCopyPath,
                     shell::kMenuRename, shell::kMenuDelete, "", shell::kMenuProperties}),
            prompter.trackedMenus[0]);
  EXPECT_TRUE(context.log.lines.empty());
  EXPECT_TRUE(runner.calls.empty());

  PickMenuEntry(shell::kMenuOpen);
  ASSERT_EQ(S_OK, Run(RunContextMenu, "contextmenu a.txt"));
  EXPECT_EQ((Command{"xdg-open", In("a.txt")}), runner.calls.back().argv);

  PickMenuEntry(shell::kMenuCopyPath);
  ASSERT_EQ(S_OK, Run(RunContextMenu, "contextmenu sub/"));
  EXPECT_EQ(QString::fromStdString(In("sub")), QGuiApplication::clipboard()->text());

  PickMenuEntry(shell::kMenuRename);
  TypeNewName("renamed.txt");
  ASSERT_EQ(S_OK, Run(RunContextMenu, "ctxmenu b.txt"));
  EXPECT_EQ("B", ReadFile(dir / "renamed.txt"));

  PickMenuEntry(shell::kMenuRename);
  TypeNewName("sub/x.txt");
  ASSERT_EQ(S_OK, Run(RunContextMenu, "ctxmenu a.txt"));
  EXPECT_EQ(Strings{Text(kIdsNewNameHasPath)}, Errors());

  PickMenuEntry(shell::kMenuDelete);
  ASSERT_EQ(S_OK, Run(RunContextMenu, "ctxmenu a.txt"));
  EXPECT_EQ(Strings{"a.txt"}, Trashed());

  PickMenuEntry(shell::kMenuProperties);
  ASSERT_EQ(S_OK, Run(RunContextMenu, "ctxmenu c.log"));
  EXPECT_EQ(3, prompter.dialogCount);  // two rename dialogs, then properties
}

TEST_F(FileCommandsTest, ContextMenuDeletesTheNamedItemOnly) {
  // A name holding "*" is the item's own name here, not a pattern.
  WriteFile(dir / "x*y", "star");
  WriteFile(dir / "xay", "other");
  PickMenuEntry(shell::kMenuDelete);
  ASSERT_EQ(S_OK, Run(RunContextMenu, "ctxmenu x*y"));
  EXPECT_EQ(Strings{"x*y"}, Trashed());
  EXPECT_EQ("other", ReadFile(dir / "xay"));
}

TEST_F(FileCommandsTest, PropertiesShowTheItemAndMissingItemsHaveNone) {
  std::string shownName;
  prompter.dialogs.push_back([&](QDialog& dialog) {
    if (auto* name = dialog.findChild<QLabel*>("Name")) shownName = name->text().toStdString();
    return int(QDialog::Rejected);
  });
  ASSERT_EQ(S_OK, Run(RunProperties, "properties   a.txt  "));
  EXPECT_EQ("a.txt", shownName);
  EXPECT_TRUE(context.log.lines.empty());
  ASSERT_EQ(S_OK, Run(RunContextMenu, "ctxmenu missing.txt"));
  ASSERT_EQ(S_OK, Run(RunProperties, "properties missing.txt"));
  EXPECT_EQ((Strings{Text(kIdsNoContextMenu), Text(kIdsNoProperties)}), Errors());
  EXPECT_TRUE(prompter.trackedMenus.empty());
  EXPECT_EQ(1, prompter.dialogCount);
}

TEST(FileCommandHelpersTest, TrimsAndSubstitutes) {
  EXPECT_EQ("a b", TrimBlanks(" \t a b \r\n"));
  EXPECT_EQ("", TrimBlanks(" \t\n"));
  EXPECT_EQ("x 100%s y", Substitute("x %s y", "%s", "100%s"));
  EXPECT_EQ("n=%li", Substitute("n=%li", "%s", "1"));
  EXPECT_EQ("Recycle Bin contains 7 item(s).",
            Substitute(LoadMessage(kIdsRecycleBinCount), "%li", "7"));
}

}  // namespace
}  // namespace vok::cmdline
