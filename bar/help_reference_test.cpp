#include "bar/help_reference.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QWidget>
#include <memory>
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

// The program's components over the built libraries, as qdxhelpgen creates them.
class ProgramReferenceTest : public testing::Test {
 protected:
  void SetUp() override {
    test::EnsureApplication();
    for (const char* name : {"vokEngine", "vokTools", "vokCmdLine", "vokCtl", "vokFileView"})
      ASSERT_TRUE(test::RegisterBuiltLibrary(name));
    app_ = std::make_unique<Application>(RunMode::kHeadless, ApplicationSeams{});
    ASSERT_TRUE(app_->CreateComponents());
    ASSERT_EQ(S_OK, ReadCommandReference(app_->Container(), &reference_));
  }
  void TearDown() override {
    // The panels' windows go before the container, as in the program.
    panels_.Reset();
    parent_.reset();
    app_.reset();
  }

  // Every string of the bar's table and of the tables of the libraries that own a panel.
  std::vector<std::string> StringsOfTheTables() {
    std::set<const ModuleResources*> tables = {&BarResources()};
    panels_ = QueryAs<IvokPanelBar>(app_->Container());
    parent_ = std::make_unique<QWidget>();
    if (panels_ && SUCCEEDED(panels_->CreatePanels(parent_.get(), 130, 134))) {
      for (LONG id = 130; id <= 134; ++id) {
        HMODULE module = nullptr;
        UINT tip = 0;
        if (SUCCEEDED(panels_->GetPanelInfo(id, &module, &tip)) && module)
          tables.insert(ResourcesOf(module));
      }
    }
    EXPECT_GE(tables.size(), 2u) << "no panel named the command-line library's table";
    std::vector<std::string> strings;
    for (const ModuleResources* table : tables)
      for (size_t i = 0; i < table->stringCount; ++i) strings.push_back(table->strings[i].text);
    return strings;
  }

  std::set<std::string> ListedWords() const {
    std::set<std::string> words;
    for (const ReferenceGroup& group : reference_)
      for (const ReferenceCommand& command : group.commands) words.insert(ToUpper(command.word));
    return words;
  }

  ui::ScriptedPrompter prompter_;
  ui::ScopedPrompter scoped_{&prompter_};
  std::unique_ptr<Application> app_;
  CommandReference reference_;
  ComPtr<IvokPanelBar> panels_;
  std::unique_ptr<QWidget> parent_;
};

// Any string of the tables the container accepts as a command word is in the reference.
TEST_F(ProgramReferenceTest, EveryRegisteredWordOfTheStringTablesIsListed) {
  const std::set<std::string> listed = ListedWords();
  size_t registered = 0;
  for (const std::string& text : StringsOfTheTables()) {
    if (text.empty() || text.find_first_of(" \t\r\n") != std::string::npos) continue;
    if (app_->Container()->IsCommandRegistered(text.c_str()) != S_OK) continue;
    ++registered;
    EXPECT_TRUE(listed.count(ToUpper(text))) << text << " is a command but not in the reference";
  }
  // "cd", "dock", "=", "newfavorite" ... from both libraries.
  EXPECT_GE(registered, 60u);
  EXPECT_TRUE(listed.count("DOCK") && listed.count("CD") && listed.count("NEWFAVORITE"));
}

TEST_F(ProgramReferenceTest, ListsEachWordOnceWithItsEngineTextsInDispatchOrder) {
  ASSERT_GE(reference_.size(), 2u);
  EXPECT_EQ(BarString(kIdsUiCategory), reference_.front().title);
  std::set<std::string> seen;
  for (const ReferenceGroup& group : reference_) {
    EXPECT_FALSE(group.commands.empty()) << group.title;
    for (const ReferenceCommand& command : group.commands) {
      EXPECT_TRUE(seen.insert(ToUpper(command.word)).second) << command.word << " twice";
      EXPECT_EQ(S_OK, app_->Container()->IsCommandRegistered(command.word.c_str())) << command.word;
      EXPECT_FALSE(command.description.empty()) << command.word;
    }
  }
  const ReferenceCommand* dock = nullptr;
  for (const ReferenceCommand& command : reference_.front().commands)
    if (command.word == "dock") dock = &command;
  ASSERT_NE(nullptr, dock);
  EXPECT_EQ(BarString(kIdsSynDock), dock->syntax);
  EXPECT_EQ(BarString(kIdsDescDock), dock->description);
}

struct EscapeCase {
  const char* text;
  const char* html;
};

void PrintTo(const EscapeCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class HtmlEscapeTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(HtmlEscapeTest, EscapesMarkupAndDropsControlCharacters) {
  EXPECT_EQ(GetParam().html, HtmlEscape(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HtmlEscapeTest,
    testing::Values(EscapeCase{"[drive:][path] | name", "[drive:][path] | name"},
                    EscapeCase{"<b>&amp;</b>", "&lt;b&gt;&amp;amp;&lt;/b&gt;"},
                    EscapeCase{"say \"hi\" it's", "say &quot;hi&quot; it&#39;s"},
                    EscapeCase{"a\tb\nc\rd\x01"
                               "e\x7F",
                               "a\tb\nc d e "},
                    EscapeCase{"caf\xC3\xA9", "caf\xC3\xA9"}));

TEST(RenderCommandReferenceTest, MergesSynonymsAndEscapesEveryText) {
  const CommandReference reference = {
      {"Files & <Folders>",
       {{"del", "[+rb | -rb] name", "Delete <it>."},
        {"copy", "a b", "Copy."},
        {"erase", "[+rb | -rb] name", "Delete <it>."}}},
      {"Mine", {{"x\"y", "", "Run \"x\"."}}},
  };
  const std::string page = RenderCommandReference(reference, "1.<2>");

  EXPECT_THAT(page, HasSubstr("<!DOCTYPE html>"));
  EXPECT_THAT(page, HasSubstr("Quillo 1.&lt;2&gt; understands, 4 in all"));
  EXPECT_THAT(page, HasSubstr("<h2>Files &amp; &lt;Folders&gt;</h2>"));
  EXPECT_THAT(page, HasSubstr("<tr><td><code>del</code>, <code>erase</code></td>"
                              "<td><code>[+rb | -rb] name</code></td><td>Delete &lt;it&gt;.</td>"
                              "</tr>\n<tr><td><code>copy</code>"));
  EXPECT_THAT(page, HasSubstr("<code>x&quot;y</code>"));
  EXPECT_THAT(page, Not(HasSubstr("<it>")));
  EXPECT_THAT(page, Not(HasSubstr("<Folders>")));
  EXPECT_THAT(page, HasSubstr("href=\"#group-2\">Mine</a> (1)"));
  EXPECT_THAT(page, HasSubstr("<section id=\"group-2\">"));
}

}  // namespace
}  // namespace vok::bar
