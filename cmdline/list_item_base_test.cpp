// What the alias, favorite, script and filter items share: clone, setter limits, record loading
// that refuses cut records, the record size and the columns.
#include "cmdline/list_item_base.h"

#include <gtest/gtest.h>

#include "cmdline/fast_list_item_alias.h"
#include "cmdline/fast_list_item_favorite.h"
#include "cmdline/fast_list_item_filter.h"
#include "cmdline/fast_list_item_script.h"
#include "cmdline/items_test_support.h"
#include "common/class_ids.h"

namespace {

using vok::test::LoadFrom;
using vok::test::Record;
using vok::test::Saved;

struct TextField {
  std::function<HRESULT(IUnknown*, const char*)> set;
  std::function<HRESULT(IUnknown*, char*, ULONG*)> get;
  size_t maxBytes;
};

// A text property of interface I given by its setter and getter.
template <class I>
TextField Field(HRESULT (STDMETHODCALLTYPE I::*set)(LPCSTR),
                HRESULT (STDMETHODCALLTYPE I::*get)(LPSTR, ULONG*), size_t maxBytes) {
  return {[set](IUnknown* o, const char* t) { return (QueryAs<I>(o).Get()->*set)(t); },
          [get](IUnknown* o, char* b, ULONG* s) { return (QueryAs<I>(o).Get()->*get)(b, s); },
          maxBytes};
}

struct ItemKind {
  const char* name;
  vok::CreateFn create;
  const CLSID* clsid;
  std::vector<TextField> texts;            // besides the key
  std::function<void(IUnknown*)> numbers;  // moves the number fields off their defaults
  bool textsCut = true;                    // false: too long a text is refused instead
};

using Alias = IvokFastListItemAlias;
using Favorite = IvokFastListItemFavorite;
using Script = IvokFastListItemScript;
using Filter = IvokFastListItemFilter;

const ItemKind kKinds[] = {
    {"Alias",
     &vok::CreateObject<vokFastListItemAlias>,
     &vok::clsid::kFastListItemAlias,
     {Field(&Alias::SetAlias, &Alias::GetAlias, 5119),
      Field(&Alias::SetDescr, &Alias::GetDescr, 511)},
     [](IUnknown*) {}},
    {"Favorite",
     &vok::CreateObject<vokFastListItemFavorite>,
     &vok::clsid::kFastListItemFavorite,
     {Field(&Favorite::SetFavorite, &Favorite::GetFavorite, 511),
      Field(&Favorite::SetDescr, &Favorite::GetDescr, 511)},
     [](IUnknown* o) { QueryAs<Favorite>(o)->put_UseExplorerTree(1); }},
    {"Script",
     &vok::CreateObject<vokFastListItemScript>,
     &vok::clsid::kFastListItemScript,
     {Field(&Script::SetDescr, &Script::GetDescr, 511),
      Field(&Script::SetScript, &Script::GetScript, 20479),
      Field(&Script::SetEntryPoint, &Script::GetEntryPoint, 255),
      Field(&Script::SetWndTitle, &Script::GetWndTitle, 255)},
     [](IUnknown* o) {
       auto script = QueryAs<Script>(o);
       script->put_ShowBrowserWindow(1);
       script->put_ShowIEToolbar(0);
       script->put_ActiveXScriptHost(0);
     }},
    {"Filter",
     &vok::CreateObject<vokFastListItemFilter>,
     &vok::clsid::kFastListItemFilter,
     {Field(&Filter::SetFilter, &Filter::GetFilter, 511),
      Field(&Filter::SetDescr, &Filter::GetDescr, 511)},
     [](IUnknown*) {},
     /*textsCut=*/false},
};

class ListItemTest : public vok::test::LeakCheckedTest,
                     public testing::WithParamInterface<ItemKind> {
 protected:
  void SetUp() override {
    LeakCheckedTest::SetUp();
    item_ = New();
  }
  void TearDown() override {
    item_ = nullptr;
    LeakCheckedTest::TearDown();
  }
  ComPtr<IvokFastListItem> Empty() {
    ComPtr<IvokFastListItem> item;
    EXPECT_EQ(GetParam().create(nullptr, IvokFastListItem::kIID, item.ReleaseAndGetVoidAddressOf()),
              S_OK);
    return item;
  }
  // A new item with every field set.
  ComPtr<IvokFastListItem> New() {
    ComPtr<IvokFastListItem> item = Empty();
    item->SetStrKey("ключ");
    item->put_ItemData(0xFEDCBA98);
    for (size_t i = 0; i < GetParam().texts.size(); ++i)
      GetParam().texts[i].set(item.Get(), ("text " + std::to_string(i)).c_str());
    GetParam().numbers(item.Get());
    return item;
  }
  // The item's whole state, as its record shows it.
  std::string State(IUnknown* item) {
    const std::vector<uint8_t> bytes = Saved(item);
    return {bytes.begin(), bytes.end()};
  }

  ComPtr<IvokFastListItem> item_;
};

TEST_P(ListItemTest, CloneIsANewItemOfTheClassWithEveryField) {
  ComPtr<IUnknown> clone;
  ASSERT_EQ(item_->Clone(clone.ReleaseAndGetAddressOf()), S_OK);
  EXPECT_NE(clone.Get(), IdentityOf(item_.Get()).Get());
  CLSID clsid{};
  QueryAs<IPersistStream>(clone.Get())->GetClassID(&clsid);
  EXPECT_EQ(clsid, *GetParam().clsid);
  const std::string original = State(item_.Get());
  EXPECT_EQ(State(clone.Get()), original);
  item_->SetStrKey("renamed");
  GetParam().texts[0].set(item_.Get(), "changed");
  EXPECT_EQ(State(clone.Get()), original) << "the clone owns its fields";
  EXPECT_EQ(item_->Clone(nullptr), E_POINTER);
}

TEST_P(ListItemTest, LoadReadsOneRecordAndRefusesCutOnes) {
  std::vector<uint8_t> record = Saved(item_.Get());
  const size_t recordSize = record.size();
  record.insert(record.end(), {7, 7, 7, 7});  // the next record stays unread
  ComPtr<IvokFastListItem> loaded = Empty();
  EXPECT_EQ(LoadFrom(loaded.Get(), record), std::make_pair(S_OK, recordSize));
  EXPECT_EQ(State(loaded.Get()), State(item_.Get()));

  ComPtr<IvokFastListItem> fresh = New();
  fresh->SetStrKey("kept");
  vok::test::ExpectCutRecordsFail(fresh.Get(), {record.begin(), record.begin() + recordSize},
                                  [&] { return State(fresh.Get()); });
  const std::string before = State(fresh.Get());
  EXPECT_EQ(LoadFrom(fresh.Get(), Record().Long(-1).Str("ignored").Bytes()),
            std::make_pair(S_OK, size_t{4}));
  EXPECT_EQ(State(fresh.Get()), before) << "a negative version reads nothing more";
  vok::test::ExpectStreamFailuresPassThrough(item_.Get(), Saved(item_.Get()));
}

TEST_P(ListItemTest, SettersCutAtTheirLimits) {
  IvokFastListItem* item = item_.Get();
  vok::test::ExpectTextLimit([&](const char* t) { return item->SetStrKey(t); },
                             [&](char* b, ULONG* s) { return item->GetStrKey(b, s); }, 511);
  if (!GetParam().textsCut) return;  // the item's own test covers the refusal
  for (const TextField& field : GetParam().texts) {
    vok::test::ExpectTextLimit([&](const char* t) { return field.set(item, t); },
                               [&](char* b, ULONG* s) { return field.get(item, b, s); },
                               field.maxBytes);
  }
}

TEST_P(ListItemTest, ThreeColumnsStartingWithTheKeyAndSizeMaxIsTheRecordSize) {
  auto columns = QueryAs<IvokFastListItemColumns>(item_.Get());
  LONG count = 0;
  columns->GetColumnCount(&count);
  EXPECT_EQ(count, 3);
  char buffer[512] = "untouched";
  EXPECT_EQ(columns->GetColumnText(3, buffer), E_INVALIDARG);
  EXPECT_EQ(columns->GetColumnText(-1, buffer), E_INVALIDARG);
  EXPECT_STREQ(buffer, "untouched");
  EXPECT_EQ(columns->GetColumnText(0, buffer), S_OK);
  EXPECT_STREQ(buffer, "ключ");

  ULARGE_INTEGER size{};
  EXPECT_EQ(QueryAs<IPersistStream>(item_.Get())->GetSizeMax(&size), S_OK);
  EXPECT_EQ(size.QuadPart, Saved(item_.Get()).size());
}

INSTANTIATE_TEST_SUITE_P(Items, ListItemTest, testing::ValuesIn(kKinds),
                         [](const testing::TestParamInfo<ItemKind>& info) {
                           return info.param.name;
                         });

}  // namespace
