#include "bar/help_reference.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QWidget>
#include <algorithm>
#include <set>

#include "bar/application.h"
#include "bar/resources/bar_strings.h"
#include "common/test_application.h"
#include "common/test_libraries.h"
#include "common/text_util.h"
#include "platform/ui/scripted_prompter.h"

namespace vok::bar {
namespace {

using testing::HasSubstr;
using testing::Not;

// Over the program's components on the built libraries, as qdxhelpgen creates them: each
// listed word is a command, listed once with its engine's texts; and any string of the tables
// that the container accepts as a command word is listed.
TEST(ProgramReferenceTest, ListsEveryRegisteredWordOnceWithItsTexts) {
  test::EnsureApplication();
  for (const char* name : {"vokEngine", "vokTools", "vokCmdLine", "vokCtl", "vokFileView"})
    ASSERT_TRUE(test::RegisterBuiltLibrary(name));
  ui::ScriptedPrompter prompter;
  ui::ScopedPrompter scoped(&prompter);
  Application app(RunMode::kHeadless, ApplicationSeams{});
  ASSERT_TRUE(app.CreateComponents());
  IvokEngineContainer* container = app.Container();
  CommandReference reference;
  ASSERT_EQ(S_OK, ReadCommandReference(container, &reference));

  ASSERT_GE(reference.size(), 2u);
  EXPECT_EQ(BarString(kIdsUiCategory), reference.front().title);
  std::set<std::string> listed;
  for (const ReferenceGroup& group : reference) {
    EXPECT_FALSE(group.commands.empty()) << group.title;
    for (const ReferenceCommand& command : group.commands) {
      EXPECT_TRUE(listed.insert(ToUpper(command.word)).second) << command.word << " twice";
      EXPECT_EQ(S_OK, container->IsCommandRegistered(command.word.c_str())) << command.word;
      EXPECT_FALSE(command.description.empty()) << command.word;
    }
  }
  const auto& uiCommands = reference.front().commands;
  auto dock = std::find_if(uiCommands.begin(), uiCommands.end(),
                           [](const ReferenceCommand& command) { return command.word == "dock"; });
  ASSERT_NE(uiCommands.end(), dock);
  EXPECT_EQ(BarString(kIdsSynDock), dock->syntax);
  EXPECT_EQ(BarString(kIdsDescDock), dock->description);

  // The bar's table and the tables of the libraries that own a panel. The panels' windows go
  // before the container, as in the program.
  std::set<const ModuleResources*> tables = {&BarResources()};
  auto panels = QueryAs<IvokPanelBar>(container);
  QWidget parent;
  ASSERT_TRUE(panels && SUCCEEDED(panels->CreatePanels(&parent, 130, 134)));
  for (LONG id = 130; id <= 134; ++id) {
    HMODULE module = nullptr;
    UINT tip = 0;
    if (SUCCEEDED(panels->GetPanelInfo(id, &module, &tip)) && module)
      tables.insert(ResourcesOf(module));
  }
  ASSERT_GE(tables.size(), 2u) << "no panel named the command-line library's table";
  size_t registered = 0;
  for (const ModuleResources* table : tables) {
    for (size_t i = 0; i < table->stringCount; ++i) {
      const std::string text = table->strings[i].text;
      if (text.empty() || text.find_first_of(" \t\r\n") != std::string::npos ||
          container->IsCommandRegistered(text.c_str()) != S_OK)
        continue;
      ++registered;
      EXPECT_TRUE(listed.count(ToUpper(text))) << text << " is a command but not in the reference";
    }
  }
  // "cd", "dock", "=", "newfavorite" ... from both libraries.
  EXPECT_GE(registered, 60u);
  EXPECT_TRUE(listed.count("CD") && listed.count("NEWFAVORITE"));
}

// Tab and line feed stay, other control characters become blanks; bytes above 0x7F are text.
TEST(HtmlEscapeTest, EscapesMarkupAndDropsControlCharacters) {
  EXPECT_EQ("&lt;b&gt;&amp;amp;&lt;/b&gt; &quot;hi&quot; it&#39;s\tb\nc d e caf\xC3\xA9",
            HtmlEscape("<b>&amp;</b> \"hi\" it's\tb\nc\rd\x01"
                       "e\x7F"
                       "caf\xC3\xA9"));
}

TEST(RenderCommandReferenceTest, MergesSynonymsAndEscapesEveryText) {
  const CommandReference reference = {
      {"Files & <Folders>",
       {{"del", "[+rb | -rb] name", "Delete <it>."},
        {"copy", "a b", "Copy."},
        {"erase", "[+rb | -rb] name", "Delete <it>."}}},
      {"Mine", {{"x\"y", "", "Run \"x\"."}}},
  };
  const std::string page = RenderCommandReference(reference, "1.<2>");

  for (const char* part :
       {"Quillo 1.&lt;2&gt; understands, 4 in all", "<h2>Files &amp; &lt;Folders&gt;</h2>",
        "<tr><td><code>del</code>, <code>erase</code></td>"
        "<td><code>[+rb | -rb] name</code></td><td>Delete &lt;it&gt;.</td>"
        "</tr>\n<tr><td><code>copy</code>",
        "<code>x&quot;y</code>", "href=\"#group-2\">Mine</a> (1)", "<section id=\"group-2\">"})
    EXPECT_THAT(page, HasSubstr(part));
  for (const char* raw : {"<it>", "<Folders>", "\"x\""}) EXPECT_THAT(page, Not(HasSubstr(raw)));
}

}  // namespace
}  // namespace vok::bar
