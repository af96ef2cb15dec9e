#include "cmdline/cmd_browser.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <map>

#include "cmdline/cmd_browser_dialog.h"
#include "cmdline/cmd_browser_search.h"
#include "cmdline/items_test_support.h"
#include "common/class_ids.h"
#include "common/test_libraries.h"
#include "common/text_util.h"
#include "platform/ui/scripted_prompter.h"

namespace {

using vok::cmdline::CmdBrowserDialog;
using vok::test::Record;

// A container's command information: a fixed tree and texts for some words.
class FakeCommandInfo final : public vok::ObjectRoot<IvokCommandInfo> {
 public:
  struct Node {
    std::string text;
    int data;  // 0 group, 1 command
    std::vector<Node> children = {};
  };

  HRESULT STDMETHODCALLTYPE GetCommandInfo(LPCSTR word, LPSTR name, LPSTR syntax, LPSTR description,
                                           LONG* index, LONG reserved) override {
    lastReserved = reserved;
    auto it = texts.find(word);
    if (it == texts.end()) return S_FALSE;
    vok::CopyToFixedBuffer(word, name, 127);
    vok::CopyToFixedBuffer(it->second.first, syntax, 127);
    vok::CopyToFixedBuffer(it->second.second, description, 127);
    *index = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE FillCommandTree(HWND hwndTree) override {
    auto* tree = qobject_cast<QTreeWidget*>(hwndTree);
    for (const Node& node : roots) Add(node, new QTreeWidgetItem(tree));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE MatchCommand(LPCSTR, LPSTR, LONG) override { return S_FALSE; }

  std::vector<Node> roots;
  std::map<std::string, std::pair<std::string, std::string>> texts;  // syntax, description
  LONG lastReserved = -1;

 private:
  static void Add(const Node& node, QTreeWidgetItem* item) {
    item->setText(0, QString::fromStdString(node.text));
    item->setData(0, Qt::UserRole, node.data);
    for (const Node& child : node.children) Add(child, new QTreeWidgetItem(item));
  }
};

class KeyCollector final : public vok::ObjectRoot<IvokFastListItemIterator> {
 public:
  HRESULT STDMETHODCALLTYPE Begin() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE End() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Item(IUnknown* item) override {
    auto keyed = QueryAs<IvokFastListItem>(item);
    keys.push_back(vok::test::GetText([&](char* b, ULONG* s) { return keyed->GetStrKey(b, s); }));
    return S_OK;
  }
  std::vector<std::string> keys;
};

// Oldest first.
std::vector<std::string> KeysOf(IvokFastList* list) {
  ComPtr<KeyCollector> collector(new KeyCollector);
  list->Iterate(collector->Identity());
  return collector->keys;
}

std::string SelectedText(const CmdBrowserDialog& dialog) {
  QTreeWidgetItem* item = dialog.tree()->currentItem();
  return item && item->isSelected() ? item->text(0).toStdString() : "<none>";
}

class CmdBrowserTest : public vok::test::LeakCheckedTest {
 protected:
  static void SetUpTestSuite() {
    vok::test::EnsureApplication();
    ASSERT_TRUE(vok::test::RegisterBuiltLibrary("vokTools"));
  }
  void SetUp() override {
    LeakCheckedTest::SetUp();
    info_ = ComPtr<FakeCommandInfo>(new FakeCommandInfo);
    info_->roots = {{"Command Line", 0, {{"BACK", 1}, {"CD", 1}, {"CHDIR", 1}, {"COPY", 1}}},
                    {"Aliases", 0, {{"CDX", 1}, {"ED", 1}}}};
    info_->texts = {{"CD", {"[path]", "Change directory."}}, {"ED", {"vi %1 ...", "edit"}}};
    ASSERT_EQ(vok::cmdline::CreateSearchHistory(&history_), S_OK);
  }
  void TearDown() override {
    info_ = nullptr;
    history_ = nullptr;
    LeakCheckedTest::TearDown();
  }
  void Find(CmdBrowserDialog& dialog, const std::string& text) {
    dialog.findBox()->setEditText(QString::fromStdString(text));
    dialog.FindNext();
  }
  size_t NoMatchMessages() const {
    size_t count = 0;
    for (const auto& m : prompter_.messages) {
      EXPECT_EQ(m.text, "Cannot find any other matching command.");
      EXPECT_EQ(m.caption, "Command Browser");
      EXPECT_EQ(m.icon, vok::ui::Icon::kExclamation);
      ++count;
    }
    return count;
  }

  vok::ui::ScriptedPrompter prompter_;
  vok::ui::ScopedPrompter scope_{&prompter_};
  ComPtr<FakeCommandInfo> info_;
  ComPtr<IvokFastList> history_;
};

TEST_F(CmdBrowserTest, FindNextFollowsDisplayOrderAndDoesNotWrap) {
  CmdBrowserDialog dialog(info_->Identity(), history_.Get());
  Find(dialog, "cd*");
  EXPECT_EQ(SelectedText(dialog), "CD");
  dialog.FindNext();
  EXPECT_EQ(SelectedText(dialog), "CDX");
  EXPECT_EQ(NoMatchMessages(), 0u);
  dialog.FindNext();
  EXPECT_EQ(SelectedText(dialog), "CDX") << "no match keeps the selection";
  EXPECT_EQ(NoMatchMessages(), 1u);
  // A pattern that matches only the selected command finds no other.
  dialog.tree()->setCurrentItem(dialog.tree()->topLevelItem(0)->child(2));
  Find(dialog, "chdir");
  EXPECT_EQ(SelectedText(dialog), "CHDIR");
  EXPECT_EQ(NoMatchMessages(), 2u);
}

TEST_F(CmdBrowserTest, ChildrenComeBeforeTheNextSibling) {
  info_->roots = {{"A", 0, {{"A1", 1, {{"A1X", 1}}}, {"A2", 1}}}, {"B", 0, {{"B1", 1}}}};
  CmdBrowserDialog dialog(info_->Identity(), history_.Get());
  dialog.tree()->collapseAll();
  std::vector<std::string> visited;
  Find(dialog, "*");
  for (int i = 0; i < 6; ++i, dialog.FindNext()) visited.push_back(SelectedText(dialog));
  EXPECT_EQ(visited, (std::vector<std::string>{"A", "A1", "A1X", "A2", "B", "B1"}));
  EXPECT_EQ(NoMatchMessages(), 1u);
  EXPECT_TRUE(dialog.tree()->topLevelItem(0)->child(0)->isExpanded())
      << "a found node's parents are opened";
}

TEST(FindNextMatchTest, ComparesTheFirst127BytesWithWildcards) {
  const std::vector<std::string> texts = {"CD", "chdir", "COPY", std::string(126, 'a') + "X",
                                          std::string(127, 'b') + "X"};
  struct Case {
    std::optional<size_t> current;
    const char* pattern;
    std::optional<size_t> expected;
  };
  const Case cases[] = {
      {std::nullopt, "c*", 0}, {0, "c*", 1},  {1, "c?py", 2},
      {2, "c*", std::nullopt}, {{}, "*X", 3}, {3, "*X", std::nullopt},
      {{}, "CHDIR", 1},        {{}, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(vok::cmdline::FindNextMatch(texts, c.current, c.pattern), c.expected);
  }
}

TEST_F(CmdBrowserTest, FindTextIsTrimmedAndFiledNewestFirst) {
  CmdBrowserDialog dialog(info_->Identity(), history_.Get());
  Find(dialog, "  cd  ");
  EXPECT_EQ(dialog.findBox()->currentText(), "cd");
  Find(dialog, "ed");
  Find(dialog, " \t ");
  Find(dialog, "cd");
  EXPECT_EQ(KeysOf(history_.Get()), (std::vector<std::string>{"ed", "cd"}))
      << "blank texts are not kept; a repeated text moves to the newest place";
  ASSERT_EQ(dialog.findBox()->count(), 2);
  EXPECT_EQ(dialog.findBox()->itemText(0), "cd");
  EXPECT_EQ(dialog.findBox()->itemText(1), "ed");
  EXPECT_EQ(dialog.findBox()->currentText(), "cd") << "the typed text goes back into the box";

  CmdBrowserDialog reopened(info_->Identity(), history_.Get());
  EXPECT_EQ(reopened.findBox()->count(), 2);
  EXPECT_EQ(reopened.findBox()->currentText(), "") << "opening leaves the find text empty";

  for (int i = 0; i <= 30; ++i) Find(dialog, "text" + std::to_string(i));
  std::vector<std::string> keys = KeysOf(history_.Get());
  ASSERT_EQ(keys.size(), 30u) << "the thirty-first text pushes the oldest out";
  EXPECT_EQ(keys.front(), "text1");
  EXPECT_EQ(keys.back(), "text30");
}

TEST_F(CmdBrowserTest, SelectionShowsTheCommandTextsAndEnablesCopy) {
  CmdBrowserDialog dialog(info_->Identity(), history_.Get());
  EXPECT_FALSE(dialog.copyButton()->isEnabled());
  dialog.tree()->setCurrentItem(dialog.tree()->topLevelItem(0)->child(1));
  EXPECT_EQ(dialog.descriptionText()->text(), "Change directory.");
  EXPECT_EQ(dialog.definitionText()->text(), "[path]");
  EXPECT_EQ(info_->lastReserved, 1) << "the bare definition is asked for";
  EXPECT_TRUE(dialog.copyButton()->isEnabled());
  dialog.CopyFromTree();
  EXPECT_EQ(dialog.resultEdit()->text(), "CD");

  dialog.tree()->setCurrentItem(dialog.tree()->topLevelItem(1));
  EXPECT_FALSE(dialog.copyButton()->isEnabled()) << "a group node is no command";
  EXPECT_EQ(dialog.descriptionText()->text(), "");
  dialog.CopyFromTree();
  EXPECT_EQ(dialog.resultEdit()->text(), "CD");
}

TEST_F(CmdBrowserTest, ContainerWithoutCommandInfoLeavesTheTreeEmpty) {
  auto notAContainer = vok::MemoryStream::Create();
  CmdBrowserDialog dialog(notAContainer.Get(), history_.Get());
  EXPECT_EQ(dialog.tree()->topLevelItemCount(), 0);
  Find(dialog, "cd");
  EXPECT_EQ(NoMatchMessages(), 1u);
}

TEST_F(CmdBrowserTest, BrowseForCmdHandsOverTheConfirmedCommand) {
  struct Case {
    const char* typed;
    bool confirm;
    ULONG room;
    HRESULT status;
    std::string result;
  };
  const Case cases[] = {{"  CD /tmp  ", true, 64, S_OK, "CD /tmp"},
                        {"CHDIR", true, 4, S_OK, "CHD"},
                        {"", true, 64, S_OK, ""},
                        {"CD", false, 64, S_FALSE, "untouched"}};
  ComPtr<IvokCmdBrowser> browser = vok::test::Create<vokCmdBrowser, IvokCmdBrowser>();
  ASSERT_EQ(browser->Init(info_->Identity()), S_OK);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    prompter_.dialogs.push_back([&](QDialog& d) {
      auto& dialog = dynamic_cast<CmdBrowserDialog&>(d);
      dialog.resultEdit()->setText(c.typed);
      c.confirm ? dialog.accept() : dialog.reject();
      return dialog.result();
    });
    char buffer[64] = "untouched";
    ULONG size = c.room;
    EXPECT_EQ(browser->BrowseForCmd(buffer, &size), c.status);
    EXPECT_EQ(std::string(buffer), c.result);
    if (c.status == S_OK) {
      EXPECT_EQ(size, c.result.size());
    }
  }
  EXPECT_EQ(browser->BrowseForCmd(nullptr, nullptr), E_POINTER);
  EXPECT_EQ(prompter_.dialogCount, 4) << "no dialog without a size";
}

TEST_F(CmdBrowserTest, StreamIsVersionThenHistoryList) {
  ComPtr<IvokCmdBrowser> browser = vok::test::Create<vokCmdBrowser, IvokCmdBrowser>();
  {  // Before Init there is no list: persistence touches no stream.
    auto persist = QueryAs<IPersistStream>(browser.Get());
    auto stream = vok::MemoryStream::Create(Record().Long(0).Long(0).Long(-1).Long(0).Bytes());
    EXPECT_EQ(persist->Save(stream.Get(), 1), E_UNEXPECTED);
    EXPECT_EQ(persist->Load(stream.Get()), E_UNEXPECTED);
    EXPECT_EQ(stream->Position(), 0u);
    ULARGE_INTEGER size{};
    EXPECT_EQ(persist->GetSizeMax(&size), E_UNEXPECTED);
  }
  ASSERT_EQ(browser->Init(info_->Identity()), S_OK);
  EXPECT_EQ(vok::test::Saved(browser.Get()), Record().Long(0).Long(0).Long(30).Long(0).Bytes());

  // Version, then the list: version, max size, count, item class, and per item its
  // version, text and data.
  const std::vector<uint8_t> withHistory = Record()
                                               .Long(0)
                                               .Long(0)
                                               .Long(30)
                                               .Long(2)
                                               .Guid(vok::clsid::kFastListItemString)
                                               .Long(0)
                                               .Str("cd")
                                               .ULong(0)
                                               .Long(0)
                                               .Str("e*")
                                               .ULong(0)
                                               .Bytes();
  EXPECT_EQ(vok::test::LoadFrom(browser.Get(), withHistory),
            std::make_pair(S_OK, withHistory.size()));
  EXPECT_EQ(vok::test::Saved(browser.Get()), withHistory);
  EXPECT_EQ(QueryAs<IPersistStream>(browser.Get())->IsDirty(), S_FALSE);

  EXPECT_EQ(vok::test::LoadFrom(browser.Get(), Record().Long(-1).Long(5).Bytes()),
            std::make_pair(S_OK, size_t{4}));
  EXPECT_EQ(vok::test::Saved(browser.Get()), withHistory) << "a negative version reads nothing";
  for (size_t cut = 0; cut < withHistory.size(); ++cut) {
    SCOPED_TRACE(cut);
    EXPECT_EQ(
        vok::test::LoadFrom(browser.Get(), {withHistory.begin(), withHistory.begin() + cut}).first,
        STG_E_READFAULT);
  }
}

}  // namespace
