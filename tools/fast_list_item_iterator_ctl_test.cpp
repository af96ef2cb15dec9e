#include "tools/fast_list_item_iterator_ctl.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPixmap>
#include <QTreeWidget>
#include <cstdlib>
#include <functional>
#include <memory>

#include "common/text_util.h"
#include "tools/fast_list.h"
#include "tools/fast_list_item_string.h"
#include "tools/fast_list_test_util.h"

namespace {

using vok::test::MakeItem;

void EnsureApplication() {
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "tools_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // lives for the whole test program
}

template <class T>
HRESULT Put(T* out, T value) {
  *out = value;
  return S_OK;
}

// An item whose optional interfaces are switched on one by one. GetText may be told to fill
// the whole buffer without a terminator, as a careless item could.
class TestItem final
    : public vok::ObjectRoot<IvokFastListItem, IvokFastListItemText, IvokFastListItemColumns> {
 public:
  explicit TestItem(std::string k) : key(std::move(k)) {}
  bool keyed = true, texted = false, columned = false, runawayText = false;
  std::string key, text;
  std::vector<std::string> columns;
  LONG image = -1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if ((riid == IvokFastListItem::kIID && !keyed) ||
        (riid == IvokFastListItemText::kIID && !texted) ||
        (riid == IvokFastListItemColumns::kIID && !columned)) {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    return ObjectRoot::QueryInterface(riid, ppv);
  }
  HRESULT STDMETHODCALLTYPE GetStrKey(LPSTR buffer, ULONG* size) override {
    return vok::CopyToBuffer(key, buffer, size);
  }
  HRESULT STDMETHODCALLTYPE SetStrKey(LPCSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_ItemData(ULONG* value) override { return Put(value, 0u); }
  HRESULT STDMETHODCALLTYPE put_ItemData(ULONG) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetText(LPSTR buffer) override {
    if (runawayText)
      std::memset(buffer, 'r', kFastListKeySize);
    else
      vok::CopyToFixedBuffer(text, buffer, kFastListKeySize);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetColumnCount(LONG* count) override {
    return Put(count, static_cast<LONG>(columns.size()));
  }
  HRESULT STDMETHODCALLTYPE GetColumnText(LONG column, LPSTR buffer) override {
    if (column < 0 || column >= static_cast<LONG>(columns.size())) return E_INVALIDARG;
    vok::CopyToFixedBuffer(columns[column], buffer, kFastListKeySize);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetImage(LONG* value) override { return Put(value, image); }
};

// Text and identity data of each entry of a target (menus keep their identifier instead).
struct Entries {
  QStringList texts;
  std::vector<quintptr> ids;
  void Add(const QString& text, const QVariant& id) {
    texts << text;
    ids.push_back(id.value<quintptr>());
  }
};

Entries EntriesOf(QWidget* w) {
  Entries out;
  if (auto* list = qobject_cast<QListWidget*>(w)) {
    for (int i = 0; i < list->count(); ++i)
      out.Add(list->item(i)->text(), list->item(i)->data(kIteratorCtlItemRole));
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    for (int i = 0; i < combo->count(); ++i)
      out.Add(combo->itemText(i), combo->itemData(i, kIteratorCtlItemRole));
  } else if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
      out.Add(tree->topLevelItem(i)->text(0), tree->topLevelItem(i)->data(0, kIteratorCtlItemRole));
  } else {
    for (QAction* action : w->actions()) out.texts << action->text();
  }
  return out;
}
QStringList Texts(QWidget* w) { return EntriesOf(w).texts; }

struct Target {
  const char* name;
  LONG type;
  std::function<std::unique_ptr<QWidget>()> make;
};

const Target kTargets[] = {
    {"ListBox", kIteratorCtlListBox, [] { return std::make_unique<QListWidget>(); }},
    {"ComboBox", kIteratorCtlComboBox, [] { return std::make_unique<QComboBox>(); }},
    {"ListView", kIteratorCtlListView, [] { return std::make_unique<QTreeWidget>(); }},
    {"Menu", kIteratorCtlMenu, [] { return std::make_unique<QMenu>(); }},
};

class IteratorCtlTest : public testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    startCount_ = vok::ModuleCount().load();
    ASSERT_EQ(vok::CreateObject<vokFastList>(nullptr, IvokFastList::kIID,
                                             list_.ReleaseAndGetVoidAddressOf()),
              S_OK);
    ASSERT_EQ(vok::CreateObject<vokFastListItemIteratorCtl>(
                  nullptr, IvokFastListItemIteratorCtl::kIID, ctl_.ReleaseAndGetVoidAddressOf()),
              S_OK);
  }
  void TearDown() override {
    ctl_ = nullptr;
    list_ = nullptr;
    EXPECT_EQ(vok::ModuleCount().load(), startCount_) << "objects leaked";
  }

  // Adds string items with these keys; returns their identities in order.
  std::vector<quintptr> AddKeys(std::initializer_list<const char*> keys) {
    std::vector<quintptr> identities;
    for (const char* key : keys) identities.push_back(Add(MakeItem(&MakeString, key)));
    return identities;
  }
  template <class T>
  quintptr Add(const ComPtr<T>& item) {
    ComPtr<IUnknown> identity = IdentityOf(item.Get());
    EXPECT_EQ(list_->Add(identity.Get(), 0), S_OK);
    return reinterpret_cast<quintptr>(identity.Detach());  // the list took this reference
  }
  static HRESULT MakeString(IUnknown* outer, REFIID riid, void** ppv) {
    return vok::CreateObject<vokFastListItemString>(outer, riid, ppv);
  }
  void Fill(QWidget* target, LONG type, bool reverse = false) {
    ASSERT_EQ(ctl_->Init(target, type), S_OK);
    ASSERT_EQ(reverse ? list_->ReverseIterate(ctl_.Get()) : list_->Iterate(ctl_.Get()), S_OK);
  }

  ComPtr<IvokFastList> list_;
  ComPtr<IvokFastListItemIteratorCtl> ctl_;

 private:
  int32_t startCount_ = 0;
};

class IteratorCtlTargetTest : public IteratorCtlTest, public testing::WithParamInterface<Target> {};

TEST_P(IteratorCtlTargetTest, FillsInOrderAndASecondFillReplacesExceptInAMenu) {
  const Target& target = GetParam();
  std::vector<quintptr> ids = AddKeys({"alpha", "beta", "gamma"});
  const QStringList once = {"alpha", "beta", "gamma"};
  QStringList texts = once;
  for (bool reverse : {false, true}) {  // in reverse the newest comes first
    auto widget = target.make();
    Fill(widget.get(), target.type, reverse);
    const Entries entries = EntriesOf(widget.get());
    EXPECT_EQ(entries.texts, texts);
    if (target.type != kIteratorCtlMenu) EXPECT_EQ(entries.ids, ids);
    std::reverse(ids.begin(), ids.end());
    std::reverse(texts.begin(), texts.end());
  }
  auto widget = target.make();
  Fill(widget.get(), target.type);
  Fill(widget.get(), target.type);
  EXPECT_EQ(Texts(widget.get()), target.type == kIteratorCtlMenu ? once + once : once);
}

TEST_P(IteratorCtlTargetTest, ItemWithNeitherKeyNorTextEndsTheWalk) {
  const Target& target = GetParam();
  AddKeys({"first"});
  ComPtr<TestItem> bare(new TestItem("hidden"));
  bare->keyed = false;
  Add(bare);
  AddKeys({"never reached"});
  auto widget = target.make();
  ASSERT_EQ(ctl_->Init(widget.get(), target.type), S_OK);
  EXPECT_EQ(ctl_->Item(bare->Identity()), E_FAIL);
  Fill(widget.get(), target.type);
  EXPECT_EQ(Texts(widget.get()), (QStringList{"first"}));
}

TEST_P(IteratorCtlTargetTest, MismatchedOrDestroyedTargetFailsWithoutTouchingIt) {
  const Target& target = GetParam();
  AddKeys({"entry"});
  QLabel label("not a list");
  ASSERT_EQ(ctl_->Init(&label, target.type), S_OK);
  EXPECT_EQ(ctl_->Begin(), E_FAIL);
  EXPECT_EQ(ctl_->Item(IdentityOf(list_.Get()).Get()), E_FAIL);
  EXPECT_EQ(ctl_->End(), S_OK);

  auto widget = target.make();
  ASSERT_EQ(ctl_->Init(widget.get(), target.type), S_OK);
  widget.reset();
  EXPECT_EQ(ctl_->Begin(), E_FAIL);
  EXPECT_EQ(list_->Iterate(ctl_.Get()), S_OK) << "the walk itself still completes";
}

INSTANTIATE_TEST_SUITE_P(AllTargets, IteratorCtlTargetTest, testing::ValuesIn(kTargets),
                         [](const testing::TestParamInfo<Target>& info) {
                           return std::string(info.param.name);
                         });

// List boxes, combos and menus show the display text in preference to the key.
TEST_F(IteratorCtlTest, EntryTextPrefersTheDisplayText) {
  const struct {
    const char* name;
    bool keyed, texted, runaway;
    QString expected;
  } cases[] = {
      {"key only", true, false, false, "the key"},
      {"text and key", true, true, false, "shown text"},
      {"text only", false, true, false, "shown text"},
      {"unterminated text", true, true, true, QString(kFastListKeySize - 1, 'r')},
  };
  for (const Target& target : kTargets) {
    if (target.type == kIteratorCtlListView) continue;
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(target.name) + ": " + c.name);
      ComPtr<TestItem> item(new TestItem("the key"));
      item->keyed = c.keyed;
      item->texted = c.texted;
      item->runawayText = c.runaway;
      item->text = "shown text";
      auto widget = target.make();
      ASSERT_EQ(ctl_->Init(widget.get(), target.type), S_OK);
      ASSERT_EQ(ctl_->Begin(), S_OK);
      EXPECT_EQ(ctl_->Item(item->Identity()), S_OK);
      EXPECT_EQ(ctl_->End(), S_OK);
      EXPECT_EQ(Texts(widget.get()), QStringList{c.expected});
    }
  }
}

TEST_F(IteratorCtlTest, MenuKeepsItsEntriesAndNumbersTheNewOnesFromOne) {
  QMenu menu;
  menu.addAction("Existing")->setData(99);
  menu.addSeparator();
  AddKeys({"a", "b", "R&D"});
  Fill(&menu, kIteratorCtlMenu);
  Fill(&menu, kIteratorCtlMenu);
  const QList<QAction*> actions = menu.actions();
  ASSERT_EQ(actions.size(), 8);
  EXPECT_EQ(actions[0]->text(), "Existing");
  EXPECT_EQ(actions[0]->data().toInt(), 99);
  EXPECT_EQ(actions[4]->text(), "R&&D") << "shown literally, no mnemonic";
  std::vector<int> ids;
  for (int i = 2; i < actions.size(); ++i) ids.push_back(actions[i]->data().toInt());
  EXPECT_EQ(ids, (std::vector<int>{1, 2, 3, 1, 2, 3})) << "the counter restarts at every Begin";
}

TEST_F(IteratorCtlTest, ListViewRowsTakeColumnsAndImagesFromTheItem) {
  QTreeWidget tree;
  tree.setColumnCount(3);
  QPixmap red(16, 16), blue(16, 16);
  red.fill(Qt::red);
  blue.fill(Qt::blue);
  tree.setProperty(kIteratorCtlImagesProperty, QVariant::fromValue(QList<QIcon>{red, blue}));

  ComPtr<TestItem> columned(new TestItem("key not shown"));
  columned->columned = columned->texted = true;
  columned->text = "text not shown";
  columned->columns = {"name", "value", "extra"};
  columned->image = 1;
  const quintptr columnedId = Add(columned);
  const quintptr plainId = AddKeys({"plain key"})[0];
  ComPtr<TestItem> unknownImage(new TestItem("x"));
  unknownImage->columned = true;
  unknownImage->columns = {"far", "more", "and", "more", "columns"};
  unknownImage->image = 7;
  Add(unknownImage);

  Fill(&tree, kIteratorCtlListView);
  ASSERT_EQ(tree.topLevelItemCount(), 3);
  auto texts = [](QTreeWidgetItem* row) {
    return QStringList({row->text(0), row->text(1), row->text(2)});
  };
  QTreeWidgetItem* row = tree.topLevelItem(0);
  EXPECT_EQ(texts(row), (QStringList{"name", "value", "extra"}));
  EXPECT_EQ(row->data(0, kIteratorCtlImageRole).toInt(), 1);
  EXPECT_EQ(row->icon(0).pixmap(16).toImage().pixelColor(8, 8), QColor(Qt::blue));
  row = tree.topLevelItem(1);
  EXPECT_EQ(texts(row), (QStringList{"plain key", "", ""}));
  EXPECT_EQ(row->data(0, kIteratorCtlImageRole).toInt(), -1);
  EXPECT_TRUE(row->icon(0).isNull());
  EXPECT_EQ(EntriesOf(&tree).ids[0], columnedId);
  EXPECT_EQ(EntriesOf(&tree).ids[1], plainId);

  row = tree.topLevelItem(2);
  EXPECT_EQ(row->data(0, kIteratorCtlImageRole).toInt(), 7) << "kept for the owner to map";
  EXPECT_TRUE(row->icon(0).isNull()) << "no seventh image attached";
  EXPECT_EQ(tree.columnCount(), 3) << "extra item columns do not widen the view";
}

TEST_F(IteratorCtlTest, ListViewSelectsOnlyTheFirstRowAfterFilling) {
  QTreeWidget tree;
  tree.setSelectionMode(QAbstractItemView::ExtendedSelection);
  Fill(&tree, kIteratorCtlListView);
  EXPECT_TRUE(tree.selectedItems().isEmpty()) << "an empty list selects nothing";

  AddKeys({"first", "second", "third"});
  Fill(&tree, kIteratorCtlListView);
  tree.topLevelItem(2)->setSelected(true);
  Fill(&tree, kIteratorCtlListView);
  ASSERT_EQ(tree.selectedItems().size(), 1);
  EXPECT_EQ(tree.selectedItems()[0], tree.topLevelItem(0));

  list_->Clear();
  Fill(&tree, kIteratorCtlListView);
  EXPECT_EQ(tree.topLevelItemCount(), 0);
  EXPECT_TRUE(tree.selectedItems().isEmpty());
}

TEST_F(IteratorCtlTest, UnknownTypeFailsAndBothInterfaceIdsNameOneInterface) {
  QListWidget widget;
  ASSERT_EQ(ctl_->Init(&widget, 4), S_OK);
  EXPECT_EQ(ctl_->Begin(), E_FAIL);
  EXPECT_EQ(ctl_->Item(MakeItem(&MakeString, "k").Get()), E_FAIL);
  EXPECT_EQ(ctl_->Item(nullptr), E_POINTER);
  EXPECT_EQ(widget.count(), 0);
  EXPECT_EQ(QueryAs<IvokFastListItemIterator>(ctl_.Get()).Get(),
            static_cast<IvokFastListItemIterator*>(ctl_.Get()));
}

}  // namespace
