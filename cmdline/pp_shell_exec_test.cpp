#include "cmdline/pp_shell_exec.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <memory>
#include <set>

#include "cmdline/fast_list_item_filter.h"
#include "cmdline/filter_properties_dialog.h"
#include "cmdline/items_test_support.h"
#include "common/class_ids.h"
#include "common/container_ifaces.h"
#include "common/engine_ifaces.h"
#include "common/test_libraries.h"
#include "common/text_util.h"
#include "platform/ui/scripted_prompter.h"

namespace {

using Strings = std::vector<std::string>;

class KeyCollector final : public vok::ObjectRoot<IvokFastListItemIterator> {
 public:
  HRESULT STDMETHODCALLTYPE Begin() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE End() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Item(IUnknown* item) override {
    keys.push_back(vok::test::GetText(
        [&](char* b, ULONG* s) { return QueryAs<IvokFastListItem>(item)->GetStrKey(b, s); }));
    return S_OK;
  }
  Strings keys;
};

Strings KeysOf(IvokFastList* list) {
  ComPtr<KeyCollector> collector(new KeyCollector);
  list->Iterate(collector->Identity());
  return collector->keys;
}

// The shell-execution engine as the page sees it, with a real filter list; it is its own
// container (GetEngineContainer hands out itself) and records what the page asks of it.
class FakeEngine final : public vok::ObjectRoot<IvokEngineShellExecProp, IvokEngine,
                                                IvokEngineCmdTable, IvokEngineContainer> {
 public:
  FakeEngine() {
    CoCreateInstance(vok::clsid::kFastList, nullptr, CLSCTX_INPROC_SERVER, IvokFastList::kIID,
                     list.ReleaseAndGetVoidAddressOf());
    list->Init(1);
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IvokEngineCmdTable::kIID && !hasCmdTable) return *ppv = nullptr, E_NOINTERFACE;
    return ObjectRoot::QueryInterface(riid, ppv);
  }
  HRESULT STDMETHODCALLTYPE get_ListViewType(int, LONG* v) override { return *v = view, S_OK; }
  HRESULT STDMETHODCALLTYPE put_ListViewType(int, LONG v) override { return view = v, S_OK; }
  HRESULT STDMETHODCALLTYPE get_FilterList(IUnknown** v) override {
    *v = IdentityOf(list.Get()).Detach();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_LastFilter(LONG* v) override { return *v = lastFilter, S_OK; }
  HRESULT STDMETHODCALLTYPE put_LastFilter(LONG v) override {
    calls.push_back("LastFilter " + std::to_string(lastFilter = v));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RemoveItemCommands() override {
    calls.push_back("RemoveItemCommands");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RegisterItemCommands() override {
    std::string keys;
    for (const std::string& key : KeysOf(list.Get())) keys += " " + key;
    calls.push_back("RegisterItemCommands" + keys);
    return S_OK;
  }
  // The container's command check (the table's one is not used by the page).
  HRESULT STDMETHODCALLTYPE IsCommandRegistered(LPCSTR word) override {
    return commands.count(vok::ToUpper(word)) ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE GetEngineContainer(IUnknown** v) override {
    return *v = Identity(), S_OK;
  }
  // Not used by the page.
  HRESULT STDMETHODCALLTYPE get_ShowFolders(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_ShowFolders(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_ChDirCtlUnk(IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_ChDirCtlUnk(IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_FMListViewType(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_FMListViewType(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_VirtualOrder(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_AppHint(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Init(IUnknown*, LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Exit() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Command(IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_CaseSensitive(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_CaseSensitive(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RegisterCommands(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Init(const CLSID* const*, LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Properties(HWND, UINT, UINT, LPCSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Command(LPCSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetEngineByIface(REFIID, IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Log(IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Log(IUnknown*) override { return E_NOTIMPL; }

  ComPtr<IvokFastList> list;
  LONG view = kViewDetails;
  LONG lastFilter = 4;
  bool hasCmdTable = true;
  std::set<std::string> commands;  // upper case
  Strings calls;
};

// The Filter Properties dialog as the scripted prompter fills it in.
std::function<int(QDialog&)> TypeFilter(std::string shortcut, std::string definition) {
  return [=](QDialog& d) {
    auto& dialog = dynamic_cast<vok::cmdline::FilterPropertiesDialog&>(d);
    dialog.shortcutEdit()->setText(QString::fromStdString(shortcut));
    dialog.definitionEdit()->setText(QString::fromStdString(definition));
    dialog.accept();
    return dialog.result();
  };
}

class FiltersPageTest : public vok::test::LeakCheckedTest {
 protected:
  void SetUp() override {
    vok::test::EnsureApplication();
    ASSERT_TRUE(vok::test::RegisterBuiltLibrary("vokTools"));
    LeakCheckedTest::SetUp();
    frame_ = std::make_unique<QWidget>();
    engine_ = ComPtr<FakeEngine>(new FakeEngine);
  }
  void TearDown() override {
    if (page_) page_->Deactivate();
    if (page_) page_->SetObjects(0, nullptr);
    page_ = nullptr;
    engine_ = nullptr;
    frame_.reset();
    LeakCheckedTest::TearDown();
  }

  void Open(const Strings& keys) {
    for (const std::string& key : keys) {
      auto item = vok::test::Create<vokFastListItemFilter, IvokFastListItem>();
      item->SetStrKey(key.c_str());
      QueryAs<IvokFastListItemFilter>(item.Get())->SetFilter(("*." + key).c_str());
      ASSERT_EQ(engine_->list->Add(item.Get(), 0), S_OK);
      item.Detach();  // the list took the reference
    }
    page_ = vok::test::Create<vokPPShellExec, IPropertyPage>();
    IUnknown* objects[] = {engine_->Identity()};
    ASSERT_EQ(page_->SetObjects(1, objects), S_OK);
    const RECT rect = {0, 0, 600, 360};
    ASSERT_EQ(page_->Activate(frame_.get(), &rect, 1), S_OK);
    page()->Show(5);
  }
  vokPPShellExec* page() { return static_cast<vokPPShellExec*>(page_.Get()); }
  template <class W = QPushButton>
  W* Find(const char* name) {
    W* widget = frame_->findChild<W*>(name);
    EXPECT_TRUE(widget) << name;
    return widget;
  }
  QTreeWidget* Tree() { return Find<QTreeWidget>("filterList"); }
  Strings Rows() {
    Strings rows;
    for (int i = 0; i < Tree()->topLevelItemCount(); ++i)
      rows.push_back(Tree()->topLevelItem(i)->text(0).toStdString());
    return rows;
  }
  void Select(int row) { Tree()->setCurrentItem(Tree()->topLevelItem(row)); }
  int SelectedRow() {
    auto selected = Tree()->selectedItems();
    return selected.size() == 1 ? Tree()->indexOfTopLevelItem(selected[0]) : -1;
  }
  void RemoveRow(int row) {
    Select(row);
    prompter_.answers.push_back(vok::ui::Answer::kYes);
    Find("removeButton")->click();
  }
  Strings Messages() {
    Strings texts;
    for (const auto& m : prompter_.messages) texts.push_back(m.text);
    prompter_.messages.clear();
    return texts;
  }

  vok::ui::ScriptedPrompter prompter_;
  vok::ui::ScopedPrompter scope_{&prompter_};
  std::unique_ptr<QWidget> frame_;
  ComPtr<FakeEngine> engine_;
  ComPtr<IPropertyPage> page_;
};

TEST_F(FiltersPageTest, OpensWithTheEngineViewAndEnablesButtonsPerViewAndRowCount) {
  engine_->view = kViewList;
  Open({"docs", "pics", "src"});
  EXPECT_EQ(Rows(), (Strings{"docs", "pics", "src"}));
  QTreeWidget* tree = Tree();
  EXPECT_EQ(tree->topLevelItem(1)->text(1), "*.pics");
  EXPECT_EQ(tree->headerItem()->text(0) + tree->headerItem()->text(1) + tree->headerItem()->text(2),
            "ShortcutDefinitionDescription");
  // The list's width split 1 : 2 : 2; the remainder of the fifths goes to the shortcut.
  const int spare = tree->columnWidth(0) - tree->columnWidth(1) / 2;
  EXPECT_TRUE(spare >= 0 && spare < 5 && tree->columnWidth(1) == tree->columnWidth(2)) << spare;
  EXPECT_TRUE(Find<QAbstractButton>("listButton")->isChecked());
  EXPECT_EQ(Find<QStackedWidget>("filterViews")->currentWidget()->objectName(), "filterIconView");
  EXPECT_EQ(Find<QAbstractButton>("listButton")->toolTip(), "List");

  const struct {
    const char* viewButton;
    LONG view;
    int rows;
    bool editing, reordering;
  } cases[] = {
      {"detailsButton", kViewDetails, 3, true, true},
      {"largeIconsButton", kViewLargeIcons, 3, true, false},
      {"smallIconsButton", kViewSmallIcons, 3, true, false},
      {"listButton", kViewList, 3, true, true},
      {"listButton", kViewList, 1, true, false},
      {"detailsButton", kViewDetails, 0, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.viewButton) + " " + std::to_string(c.rows));
    while (Tree()->topLevelItemCount() > c.rows) RemoveRow(0);
    Find<QAbstractButton>(c.viewButton)->click();
    EXPECT_EQ(engine_->view, c.view) << "the view is written at once";
    EXPECT_TRUE(Find("addNewButton")->isEnabled());
    for (const char* name : {"editButton", "addCopyButton", "removeButton"})
      EXPECT_EQ(Find(name)->isEnabled(), c.editing) << name;
    for (const char* name : {"upButton", "downButton"})
      EXPECT_EQ(Find(name)->isEnabled(), c.reordering) << name;
  }
}

TEST_F(FiltersPageTest, NameCheckFreesRemovedNamesThenAsksRowsAndTheContainer) {
  engine_->commands = {"DOCS", "PICS", "CD"};  // filter commands stay until Apply
  Open({"docs", "pics", "src"});
  EXPECT_TRUE(page()->IsNameTaken("Src"));
  EXPECT_TRUE(page()->IsNameTaken("cd"));
  EXPECT_FALSE(page()->IsNameTaken("zip"));
  RemoveRow(0);
  EXPECT_EQ(Rows(), (Strings{"pics", "src"}));
  EXPECT_EQ(SelectedRow(), 0) << "the next row takes the place";
  Messages();
  prompter_.dialogs.push_back(TypeFilter("DOCS", "*.doc"));
  prompter_.dialogs.push_back(TypeFilter("src", "*.c"));
  Find("addNewButton")->click();
  EXPECT_TRUE(Messages().empty()) << "a removed filter's name is free again";
  Find("addNewButton")->click();
  EXPECT_EQ(Messages(), Strings{"Filter or other command with such name is already defined."});
  EXPECT_EQ(Rows(), (Strings{"pics", "src", "DOCS"}));
}

TEST_F(FiltersPageTest, ApplyRewritesTheLiveListInRowOrderAndReregisters) {
  Open({"docs", "pics", "src"});
  EXPECT_EQ(page_->IsPageDirty(), S_FALSE);
  Select(2);
  Find("upButton")->click();  // docs src pics
  RemoveRow(2);               // docs src
  EXPECT_EQ(SelectedRow(), 1) << "the new last row is selected";
  Select(0);
  prompter_.dialogs.push_back(TypeFilter("docs2", "*.odt"));
  Find("addCopyButton")->click();  // docs src docs2
  Select(1);
  prompter_.dialogs.push_back(TypeFilter("c", "*.c"));
  Find("editButton")->click();  // docs c docs2
  EXPECT_EQ(Rows(), (Strings{"docs", "c", "docs2"}));
  EXPECT_EQ(Tree()->topLevelItem(1)->text(1), "*.c") << "an edit rewrites the row";
  EXPECT_EQ(Tree()->topLevelItem(2)->text(1), "*.odt");
  EXPECT_EQ(KeysOf(engine_->list.Get()), (Strings{"docs", "pics", "c"}))
      << "membership and order wait for Apply; the edited item is live";
  EXPECT_EQ(page_->IsPageDirty(), S_OK);

  engine_->hasCmdTable = false;
  EXPECT_EQ(page_->Apply(), E_NOINTERFACE);
  EXPECT_TRUE(engine_->calls.empty());
  EXPECT_EQ(KeysOf(engine_->list.Get()), (Strings{"docs", "pics", "c"}));
  EXPECT_EQ(page_->IsPageDirty(), S_OK);

  engine_->hasCmdTable = true;
  EXPECT_EQ(page_->Apply(), S_OK);
  EXPECT_EQ(engine_->calls,
            (Strings{"RemoveItemCommands", "RegisterItemCommands docs c docs2", "LastFilter -1"}));
  EXPECT_EQ(page_->IsPageDirty(), S_FALSE);
  engine_->commands = {"PICS"};
  EXPECT_TRUE(page()->IsNameTaken("pics")) << "Apply empties the removed list";
}

TEST_F(FiltersPageTest, ReorderingStopsAtTheEndsAndActionsNeedASelection) {
  Open({"a", "b", "c"});
  const struct {
    int selected;
    const char* button;
    Strings rows;
    int selectedAfter;
  } moves[] = {{0, "upButton", {"a", "b", "c"}, 0},
               {2, "downButton", {"a", "b", "c"}, 2},
               {0, "downButton", {"b", "a", "c"}, 1},
               {2, "upButton", {"b", "c", "a"}, 1}};
  for (const auto& m : moves) {
    Select(m.selected);
    Find(m.button)->click();
    EXPECT_EQ(Rows(), m.rows);
    EXPECT_EQ(SelectedRow(), m.selectedAfter);
  }
  Tree()->clearSelection();
  for (const char* name : {"editButton", "addCopyButton", "removeButton", "upButton"}) {
    Find(name)->click();
    EXPECT_EQ(Messages(), Strings{"No item is selected."}) << name;
  }
  Select(1);
  Find("removeButton")->click();  // the script answers No
  ASSERT_EQ(prompter_.messages.size(), 1u);
  EXPECT_EQ(prompter_.messages[0].icon, vok::ui::Icon::kQuestion);
  EXPECT_EQ(prompter_.messages[0].text, "Do you want to delete the selected item ?");
  EXPECT_EQ(Rows(), (Strings{"b", "c", "a"}));
  EXPECT_EQ(prompter_.dialogCount, 0);
}

TEST_F(FiltersPageTest, NoMoreThan1500Filters) {
  Strings keys;
  for (int i = 0; i < vokPPShellExec::kMaxFilters; ++i) keys.push_back("f" + std::to_string(i));
  Open(keys);
  Select(0);
  Find("addNewButton")->click();
  Find("addCopyButton")->click();
  EXPECT_EQ(Messages(), Strings(2, "Maximal number of items -- 1500 -- cannot be exceeded."));
  EXPECT_EQ(prompter_.dialogCount, 0);
}

}  // namespace
