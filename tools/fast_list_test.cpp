#include "tools/fast_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/class_ids.h"
#include "common/memory_stream.h"
#include "common/stream_util.h"
#include "common/text_util.h"
#include "tools/fast_list_item_string.h"
#include "tools/fast_list_test_util.h"

namespace {

using vok::test::Bytes;
using vok::test::DataOf;
using vok::test::FunctionComparer;
using vok::test::KeyOf;
using vok::test::KeysOf;
using vok::test::RecordingVisitor;
using vok::test::RefCount;
using Keys = std::vector<std::string>;

// An object that is neither a keyed item nor persistable nor a visitor.
class PlainObject final : public vok::ObjectRoot<IPersist> {
 public:
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
};

// A persistable item whose size and save result the test chooses.
class ScriptedItem final : public vok::ObjectRoot<IvokFastListItem, IPersistStream> {
 public:
  HRESULT STDMETHODCALLTYPE GetStrKey(LPSTR key, ULONG* size) override {
    return vok::CopyToBuffer("scripted", key, size);
  }
  HRESULT STDMETHODCALLTYPE SetStrKey(LPCSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IUnknown**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_ItemData(ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_ItemData(ULONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) override {
    *clsid = vok::clsid::kFastListItemString;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(IStream*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Save(IStream*, BOOL) override { return saveResult; }
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override {
    size->QuadPart = sizeMax;
    return S_OK;
  }

  HRESULT saveResult = S_OK;
  uint64_t sizeMax = 0;
};

// Every test runs with the string item class served in-process (as Load needs it) and checks
// at the end that no object is left alive.
class FastListTest : public testing::Test {
 protected:
  void SetUp() override {
    startCount_ = vok::ModuleCount().load();
    Serve(vok::clsid::kFastListItemString, &vok::CreateObject<vokFastListItemString>);
  }
  void TearDown() override {
    for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
    EXPECT_EQ(vok::ModuleCount().load(), startCount_) << "objects leaked";
  }

  void Serve(const CLSID& clsid, vok::CreateFn create) {
    ComPtr<vok::ClassFactory> factory(new vok::ClassFactory(create));
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(clsid, factory->Identity(), CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    cookies_.push_back(cookie);
  }

  static ComPtr<IvokFastList> NewList(bool unique = false) {
    ComPtr<IvokFastList> list;
    EXPECT_EQ(vok::CreateObject<vokFastList>(nullptr, IvokFastList::kIID,
                                             list.ReleaseAndGetVoidAddressOf()),
              S_OK);
    list->Init(unique);
    return list;
  }
  static ComPtr<IUnknown> Item(const std::string& key, ULONG data = 0) {
    return vok::test::MakeItem(&vok::CreateObject<vokFastListItemString>, key, data);
  }
  // Adds a new item; the list keeps the reference when it takes the item.
  static HRESULT AddKey(IvokFastList* list, const std::string& key, ULONG data = 0,
                        LONG moveFront = 0) {
    ComPtr<IUnknown> item = Item(key, data);
    HRESULT hr = list->Add(item.Get(), moveFront);
    if (hr == S_OK) item.Detach();
    return hr;
  }
  static LONG Count(IvokFastList* list) {
    LONG count = -1;
    EXPECT_EQ(list->get_ItemCount(&count), S_OK);
    return count;
  }
  static HRESULT Dirty(IvokFastList* list) { return QueryAs<IPersistStream>(list)->IsDirty(); }
  static IUnknown* Found(IvokFastList* list, const char* key, LONG caseSensitive) {
    IUnknown* item = reinterpret_cast<IUnknown*>(1);
    HRESULT hr = list->Find(key, &item, caseSensitive);
    EXPECT_EQ(hr == S_OK, item != nullptr);
    return item;
  }
  static std::vector<uint8_t> Saved(IvokFastList* list, BOOL clearDirty = 1) {
    auto stream = vok::MemoryStream::Create();
    EXPECT_EQ(QueryAs<IPersistStream>(list)->Save(stream.Get(), clearDirty), S_OK);
    return stream->Bytes();
  }
  static HRESULT LoadBytes(IvokFastList* list, std::vector<uint8_t> bytes) {
    auto stream = vok::MemoryStream::Create(std::move(bytes));
    return QueryAs<IPersistStream>(list)->Load(stream.Get());
  }

 private:
  std::vector<DWORD> cookies_;
  int32_t startCount_ = 0;
};

// --- Adding and the reference hand-over ---

TEST_F(FastListTest, AddTakesTheReferenceAndARefusedDuplicateStaysWithTheCaller) {
  auto list = NewList(true);
  IUnknown* first = Item("key").Detach();
  ASSERT_EQ(list->Add(first, 0), S_OK);
  EXPECT_EQ(RefCount(first), 1u) << "the list owns the caller's reference, no more";

  IUnknown* duplicate = Item("key").Detach();
  EXPECT_EQ(list->Add(duplicate, 0), E_INVALIDARG);
  EXPECT_EQ(duplicate->Release(), 0u) << "a refused item stays with the caller";
  EXPECT_EQ(Count(list.Get()), 1);
}

TEST_F(FastListTest, UniquenessIsCaseSensitive) {
  auto list = NewList(true);
  EXPECT_EQ(AddKey(list.Get(), "Name"), S_OK);
  EXPECT_EQ(AddKey(list.Get(), "name"), S_OK);
  EXPECT_EQ(AddKey(list.Get(), "NAME"), S_OK);
  EXPECT_EQ(AddKey(list.Get(), "name"), E_INVALIDARG);
  EXPECT_EQ(KeysOf(list.Get()), (Keys{"Name", "name", "NAME"}));
}

TEST_F(FastListTest, NonUniqueListKeepsDuplicates) {
  auto list = NewList(false);
  EXPECT_EQ(AddKey(list.Get(), "a"), S_OK);
  EXPECT_EQ(AddKey(list.Get(), "a", 0, 1), S_OK);
  EXPECT_EQ(KeysOf(list.Get()), (Keys{"a", "a"}));
}

TEST_F(FastListTest, MoveFrontMovesTheExistingItemToTheBack) {
  auto list = NewList(true);
  ComPtr<IUnknown> original = Item("a", 1);
  ASSERT_EQ(list->Add(original.Get(), 0), S_OK);
  original->AddRef();  // the list's reference
  AddKey(list.Get(), "b");
  AddKey(list.Get(), "c");
  QueryAs<IPersistStream>(list.Get())->Save(vok::MemoryStream::Create().Get(), 1);

  IUnknown* newcomer = Item("a", 2).Detach();
  EXPECT_EQ(list->Add(newcomer, 1), S_FALSE);
  EXPECT_EQ(newcomer->Release(), 0u) << "the new item is not stored";
  EXPECT_EQ(KeysOf(list.Get()), (Keys{"b", "c", "a"}));
  IUnknown* back = nullptr;
  EXPECT_EQ(list->Back(&back), S_OK);
  EXPECT_EQ(back, original.Get());
  EXPECT_EQ(RefCount(original.Get()), 2u);
  EXPECT_EQ(Dirty(list.Get()), S_OK);
}

TEST_F(FastListTest, ItemWithoutKeyIsRefusedByUniqueListOnly) {
  ComPtr<PlainObject> keyless(new PlainObject);
  auto unique = NewList(true);
  EXPECT_EQ(unique->Add(keyless->Identity(), 0), E_INVALIDARG);
  EXPECT_EQ(unique->Add(keyless->Identity(), 1), E_FAIL);
  EXPECT_EQ(Count(unique.Get()), 0);
  EXPECT_EQ(Dirty(unique.Get()), S_FALSE) << "a failed Add changes nothing";
  EXPECT_EQ(unique->Add(nullptr, 0), E_POINTER);

  auto plain = NewList(false);
  keyless->AddRef();  // handed to the list
  EXPECT_EQ(plain->Add(keyless->Identity(), 0), S_OK);
  EXPECT_EQ(plain->IsInside("", 0), E_FAIL) << "items without a key are skipped";
}

TEST_F(FastListTest, KeyLongerThanTheKeyBufferIsSeenCut) {
  auto list = NewList(true);
  ComPtr<IUnknown> item = Item(std::string(511, 'k'));
  ASSERT_EQ(list->Add(item.Get(), 0), S_OK);
  item.Detach();
  EXPECT_EQ(list->IsInside(std::string(511, 'k').c_str(), 1), S_OK);
  EXPECT_EQ(list->IsInside(std::string(512, 'k').c_str(), 1), E_FAIL);
  EXPECT_EQ(list->IsInside(std::string(512, 'k').c_str(), 0), E_FAIL);
}

// --- Maximum size ---

TEST_F(FastListTest, MaximumDropsAndReleasesTheOldest) {
  auto list = NewList(true);
  ASSERT_EQ(list->put_MaxSize(3), S_OK);
  ComPtr<IUnknown> oldest = Item("1");
  ASSERT_EQ(list->Add(oldest.Get(), 0), S_OK);
  oldest->AddRef();  // the list's reference
  AddKey(list.Get(), "2");
  AddKey(list.Get(), "3");
  EXPECT_EQ(RefCount(oldest.Get()), 2u);
  EXPECT_EQ(AddKey(list.Get(), "4"), S_OK);
  EXPECT_EQ(KeysOf(list.Get()), (Keys{"2", "3", "4"}));
  EXPECT_EQ(RefCount(oldest.Get()), 1u) << "the dropped item was released";
  EXPECT_EQ(AddKey(list.Get(), "1"), S_OK) << "its key left the index";
}

TEST_F(FastListTest, LoweringTheMaximumKeepsTheNewest) {
  auto list = NewList(false);
  for (const char* key : {"a", "b", "c", "d", "e"}) AddKey(list.Get(), key);
  QueryAs<IPersistStream>(list.Get())->Save(vok::MemoryStream::Create().Get(), 1);
  EXPECT_EQ(list->put_MaxSize(1), S_OK);
  EXPECT_EQ(KeysOf(list.Get()), (Keys{"e"}));
  LONG max = 0;
  EXPECT_EQ(list->get_MaxSize(&max), S_OK);
  EXPECT_EQ(max, 1);
  EXPECT_EQ(Dirty(list.Get()), S_OK);
}

TEST_F(FastListTest, MaximumOfZeroKeepsNothingAndNegativeMeansNoLimit) {
  auto list = NewList(false);
  list->put_MaxSize(0);
  ComPtr<IUnknown> item = Item("x");
  item->AddRef();  // handed to the list
  EXPECT_EQ(list->Add(item.Get(), 0), S_OK);
  EXPECT_EQ(Count(list.Get()), 0);
  EXPECT_EQ(RefCount(item.Get()), 1u);

  for (LONG unlimited : {-1, -2, INT32_MIN}) {
    list->put_MaxSize(unlimited);
    AddKey(list.Get(), "y");
    EXPECT_GE(Count(list.Get()), 1) << unlimited;
  }
}

// --- Lookup ---

TEST_F(FastListTest, CaseInsensitiveLookupScansFromTheOldest) {
  for (bool unique : {false, true}) {
    SCOPED_TRACE(unique);
    auto list = NewList(unique);
    AddKey(list.Get(), "Alpha", 1);
    AddKey(list.Get(), "ALPHA", 2);
    AddKey(list.Get(), "alpha", 3);
    AddKey(list.Get(), "Ärger", 4);
    EXPECT_EQ(DataOf(Found(list.Get(), "aLpHa", 0)), 1u);
    EXPECT_EQ(DataOf(Found(list.Get(), "ALPHA", 1)), 2u);
    EXPECT_EQ(DataOf(Found(list.Get(), "alpha", 1)), 3u);
    EXPECT_EQ(DataOf(Found(list.Get(), "ärGER", 0)), 4u);
    EXPECT_EQ(Found(list.Get(), "aLpHa", 1), nullptr);
    EXPECT_EQ(Found(list.Get(), "beta", 0), nullptr);
    EXPECT_EQ(list->IsInside("ALPHA", 1), S_OK);
    EXPECT_EQ(list->IsInside("alphA", 1), E_FAIL);
    EXPECT_EQ(list->IsInside("alphA", 0), S_OK);
  }
}

// --- Removing ---

TEST_F(FastListTest, DeleteRemovesTheOldestEqualKeyAndHandsOverTheReference) {
  auto list = NewList(false);
  AddKey(list.Get(), "k", 1);
  AddKey(list.Get(), "K", 2);
  AddKey(list.Get(), "k", 3);
  QueryAs<IPersistStream>(list.Get())->Save(vok::MemoryStream::Create().Get(), 1);

  IUnknown* victim = Found(list.Get(), "k", 1);
  ASSERT_EQ(DataOf(victim), 1u);
  EXPECT_EQ(list->Delete("k"), S_OK);
  EXPECT_EQ(Dirty(list.Get()), S_OK);
  EXPECT_EQ(victim->Release(), 0u) << "the caller held the only reference";
  EXPECT_EQ(DataOf(Found(list.Get(), "k", 1)), 3u);
  EXPECT_EQ(Count(list.Get()), 2);
}

TEST_F(FastListTest, DeleteOfAMissingKeyChangesNothing) {
  auto list = NewList(true);
  AddKey(list.Get(), "k");
  QueryAs<IPersistStream>(list.Get())->Save(vok::MemoryStream::Create().Get(), 1);
  EXPECT_EQ(list->Delete("K"), E_INVALIDARG);
  EXPECT_EQ(list->Delete("missing"), E_INVALIDARG);
  EXPECT_EQ(Count(list.Get()), 1);
  EXPECT_EQ(Dirty(list.Get()), S_FALSE);
}

TEST_F(FastListTest, DeleteAndPopUpdateTheIndex) {
  auto list = NewList(true);
  AddKey(list.Get(), "first");
  AddKey(list.Get(), "middle");
  AddKey(list.Get(), "last");

  IUnknown* item = Found(list.Get(), "middle", 1);
  ASSERT_EQ(list->Delete("middle"), S_OK);
  item->Release();
  EXPECT_EQ(list->IsInside("middle", 1), E_FAIL);

  ASSERT_EQ(list->Back(&item), S_OK);
  ASSERT_EQ(list->PopBack(), S_OK);
  EXPECT_EQ(item->Release(), 0u);
  ASSERT_EQ(list->Front(&item), S_OK);
  ASSERT_EQ(list->PopFront(), S_OK);
  EXPECT_EQ(item->Release(), 0u);
  EXPECT_EQ(Count(list.Get()), 0);
  for (const char* key : {"first", "middle", "last"}) EXPECT_EQ(AddKey(list.Get(), key), S_OK);
}

// An item whose key changes while it is in the list must not leave an index entry behind that
// outlives it.
TEST_F(FastListTest, RemovingAnItemWhoseKeyChangedClearsItsIndexEntry) {
  auto list = NewList(true);
  AddKey(list.Get(), "old");
  IUnknown* item = Found(list.Get(), "old", 1);
  QueryAs<IvokFastListItem>(item)->SetStrKey("new");
  ASSERT_EQ(list->Delete("new"), S_OK);
  item->Release();
  EXPECT_EQ(Found(list.Get(), "old", 1), nullptr);
  EXPECT_EQ(AddKey(list.Get(), "old"), S_OK);
}

TEST_F(FastListTest, BackAndFrontOfAnEmptyListChangeNothing) {
  auto list = NewList(false);
  IUnknown* item = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(list->Back(&item), S_FALSE);
  EXPECT_EQ(item, nullptr);
  item = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(list->Front(&item), S_FALSE);
  EXPECT_EQ(item, nullptr);
  EXPECT_EQ(list->PopBack(), S_FALSE);
  EXPECT_EQ(list->PopFront(), S_FALSE);
  EXPECT_EQ(Count(list.Get()), 0);
  EXPECT_EQ(Dirty(list.Get()), S_FALSE);
  EXPECT_EQ(list->Back(nullptr), E_POINTER);
}

TEST_F(FastListTest, ClearReleasesEveryItemAndRemoveAllNone) {
  auto list = NewList(true);
  std::vector<ComPtr<IUnknown>> held;
  for (const char* key : {"a", "b", "c"}) {
    held.push_back(Item(key));
    held.back()->AddRef();  // handed to the list
    ASSERT_EQ(list->Add(held.back().Get(), 0), S_OK);
  }
  ASSERT_EQ(list->RemoveAll(), S_OK);
  EXPECT_EQ(Count(list.Get()), 0);
  for (auto& item : held) EXPECT_EQ(item->Release(), 1u) << "RemoveAll released nothing";

  for (auto& item : held) {
    item->AddRef();
    ASSERT_EQ(list->Add(item.Get(), 0), S_OK) << "the index was emptied too";
  }
  ASSERT_EQ(list->Clear(), S_OK);
  EXPECT_EQ(Count(list.Get()), 0);
  for (auto& item : held) EXPECT_EQ(RefCount(item.Get()), 1u);
}

TEST_F(FastListTest, DestroyingTheListReleasesItsItems) {
  ComPtr<IUnknown> item = Item("a");
  {
    auto list = NewList(false);
    item->AddRef();
    list->Add(item.Get(), 0);
  }
  EXPECT_EQ(RefCount(item.Get()), 1u);
}

// --- Walking ---

TEST_F(FastListTest, IterateVisitsOldestFirstAndReverseNewestFirst) {
  auto list = NewList(false);
  for (const char* key : {"a", "b", "c"}) AddKey(list.Get(), key);
  ComPtr<RecordingVisitor> forward(new RecordingVisitor);
  EXPECT_EQ(list->Iterate(forward->Identity()), S_OK);
  EXPECT_EQ(forward->keys, (Keys{"a", "b", "c"}));
  EXPECT_EQ(forward->begins, 1);
  EXPECT_EQ(forward->ends, 1);
  ComPtr<RecordingVisitor> backward(new RecordingVisitor);
  EXPECT_EQ(list->ReverseIterate(backward->Identity()), S_OK);
  EXPECT_EQ(backward->keys, (Keys{"c", "b", "a"}));
}

TEST_F(FastListTest, NegativeItemResultStopsTheWalkButEndIsCalled) {
  auto list = NewList(false);
  for (const char* key : {"a", "b", "c", "d"}) AddKey(list.Get(), key);
  ComPtr<RecordingVisitor> visitor(new RecordingVisitor);
  visitor->onItem = [](IUnknown* item) { return KeyOf(item) == "b" ? E_ABORT : S_FALSE; };
  EXPECT_EQ(list->Iterate(visitor->Identity()), S_OK);
  EXPECT_EQ(visitor->keys, (Keys{"a", "b"}));
  EXPECT_EQ(visitor->ends, 1);
  visitor->keys.clear();
  EXPECT_EQ(list->ReverseIterate(visitor->Identity()), S_OK);
  EXPECT_EQ(visitor->keys, (Keys{"d", "c", "b"}));
}

TEST_F(FastListTest, WalkWithANonVisitorVisitsNothing) {
  auto list = NewList(false);
  AddKey(list.Get(), "a");
  ComPtr<IUnknown> notAVisitor = Item("visitor?");
  EXPECT_EQ(list->Iterate(notAVisitor.Get()), S_OK);
  EXPECT_EQ(list->ReverseIterate(notAVisitor.Get()), S_OK);
  EXPECT_EQ(list->Iterate(nullptr), S_OK);
  EXPECT_EQ(RefCount(notAVisitor.Get()), 1u);
}

TEST_F(FastListTest, VisitorMayDeleteItemsDuringTheWalk) {
  auto list = NewList(true);
  for (const char* key : {"a", "b", "c"}) AddKey(list.Get(), key);
  ComPtr<RecordingVisitor> visitor(new RecordingVisitor);
  visitor->onItem = [&](IUnknown* item) {
    // Deletes the next item; the list's reference passes to us and is dropped at once.
    std::string next = KeyOf(item) == "a" ? "b" : "c";
    IUnknown* found = Found(list.Get(), next.c_str(), 1);
    if (found && list->Delete(next.c_str()) == S_OK) found->Release();
    return S_OK;
  };
  EXPECT_EQ(list->Iterate(visitor->Identity()), S_OK);
  EXPECT_EQ(visitor->keys, (Keys{"a", "b", "c"})) << "the walk covers the items it started with";
  EXPECT_EQ(KeysOf(list.Get()), (Keys{"a"}));
}

// --- Sorting ---

HRESULT ByFirstByte(IUnknown* a, IUnknown* b) { return KeyOf(a)[0] <= KeyOf(b)[0] ? S_OK : E_FAIL; }

TEST_F(FastListTest, SortOfUpToSixteenItemsIsStable) {
  for (int n : {0, 1, 2, 5, 16}) {
    SCOPED_TRACE(n);
    auto list = NewList(false);
    for (int i = 0; i < n; ++i)
      AddKey(list.Get(), std::string(1, "cab"[i % 3]) + std::to_string(i));
    ComPtr<FunctionComparer> comparer(new FunctionComparer(ByFirstByte));
    ASSERT_EQ(list->Sort(comparer->Identity()), S_OK);
    // Ties keep their insertion order, which the numbers show.
    Keys expected;
    for (int i = 0; i < n; ++i)
      expected.push_back(std::string(1, "cab"[i % 3]) + std::to_string(i));
    std::stable_sort(expected.begin(), expected.end(),
                     [](const std::string& x, const std::string& y) { return x[0] < y[0]; });
    EXPECT_EQ(KeysOf(list.Get()), expected);
  }
}

TEST_F(FastListTest, SortOrdersLargeListsCorrectly) {
  std::mt19937 random(12345);
  for (int n : {17, 100, 1000}) {
    SCOPED_TRACE(n);
    auto list = NewList(true);
    Keys inserted;
    while (static_cast<int>(inserted.size()) < n) {
      std::string key = std::to_string(random() % 100000);
      if (AddKey(list.Get(), key) == S_OK) inserted.push_back(key);
    }
    ComPtr<FunctionComparer> comparer(new FunctionComparer(
        [](IUnknown* a, IUnknown* b) { return KeyOf(a) <= KeyOf(b) ? S_OK : E_FAIL; }));
    QueryAs<IPersistStream>(list.Get())->Save(vok::MemoryStream::Create().Get(), 1);
    ASSERT_EQ(list->Sort(comparer->Identity()), S_OK);
    std::sort(inserted.begin(), inserted.end());
    EXPECT_EQ(KeysOf(list.Get()), inserted);
    EXPECT_EQ(Dirty(list.Get()), S_FALSE) << "sorting is no change to save";
    EXPECT_EQ(list->IsInside(inserted[n / 2].c_str(), 1), S_OK) << "the index still answers";
    if (n == 1000) {
      EXPECT_LT(comparer->calls, 40000u) << "no quadratic behaviour";
    }
  }
}

TEST_F(FastListTest, SortOfManyEqualKeysStaysFast) {
  auto list = NewList(false);
  for (int i = 0; i < 1000; ++i) AddKey(list.Get(), "same");
  ComPtr<FunctionComparer> comparer(
      new FunctionComparer([](IUnknown*, IUnknown*) { return S_OK; }));
  ASSERT_EQ(list->Sort(comparer->Identity()), S_OK);
  EXPECT_EQ(Count(list.Get()), 1000);
  EXPECT_LT(comparer->calls, 40000u);
}

TEST_F(FastListTest, InconsistentComparerNeitherCrashesNorLosesItems) {
  std::mt19937 random(7);
  const std::function<HRESULT(IUnknown*, IUnknown*)> comparers[] = {
      [](IUnknown*, IUnknown*) { return E_FAIL; },
      [&](IUnknown*, IUnknown*) { return random() % 2 ? S_OK : E_FAIL; },
  };
  for (const auto& compare : comparers) {
    auto list = NewList(false);
    Keys inserted;
    for (int i = 0; i < 200; ++i) {
      inserted.push_back(std::to_string(i));
      AddKey(list.Get(), inserted.back());
    }
    ComPtr<FunctionComparer> comparer(new FunctionComparer(compare));
    ASSERT_EQ(list->Sort(comparer->Identity()), S_OK);
    Keys keys = KeysOf(list.Get());
    std::sort(keys.begin(), keys.end());
    std::sort(inserted.begin(), inserted.end());
    EXPECT_EQ(keys, inserted);
  }
}

TEST_F(FastListTest, SortWithoutAComparerLeavesTheOrder) {
  auto list = NewList(false);
  for (const char* key : {"b", "a"}) AddKey(list.Get(), key);
  ComPtr<IUnknown> notAComparer = Item("x");
  EXPECT_EQ(list->Sort(notAComparer.Get()), S_OK);
  EXPECT_EQ(list->Sort(nullptr), S_OK);
  EXPECT_EQ(KeysOf(list.Get()), (Keys{"b", "a"}));
}

TEST_F(FastListTest, ComparerThatChangesTheListStopsTheSort) {
  auto list = NewList(false);
  for (int i = 0; i < 40; ++i) AddKey(list.Get(), std::to_string(i));
  ComPtr<FunctionComparer> comparer(new FunctionComparer([&](IUnknown*, IUnknown*) {
    list->Clear();
    return S_OK;
  }));
  EXPECT_EQ(list->Sort(comparer->Identity()), E_UNEXPECTED);
  EXPECT_EQ(Count(list.Get()), 0);
}

// --- Unsaved-changes flag ---

TEST_F(FastListTest, UnsavedChangesFlagFollowsTheChanges) {
  struct Case {
    const char* name;
    std::function<void(IvokFastList*)> act;
    HRESULT dirty;
  };
  ComPtr<FunctionComparer> comparer(new FunctionComparer(ByFirstByte));
  const Case cases[] = {
      {"add", [](IvokFastList* l) { AddKey(l, "new"); }, S_OK},
      {"move", [](IvokFastList* l) { AddKey(l, "a", 0, 1); }, S_OK},
      {"refused add", [](IvokFastList* l) { AddKey(l, "a"); }, S_FALSE},
      {"delete",
       [](IvokFastList* l) {
         IUnknown* i = Found(l, "a", 1);
         l->Delete("a");
         i->Release();
       },
       S_OK},
      {"max size", [](IvokFastList* l) { l->put_MaxSize(10); }, S_OK},
      {"clear", [](IvokFastList* l) { l->Clear(); }, S_FALSE},
      {"sort", [&](IvokFastList* l) { l->Sort(comparer->Identity()); }, S_FALSE},
      {"pop back",
       [](IvokFastList* l) {
         IUnknown* i;
         l->Back(&i);
         l->PopBack();
         i->Release();
       },
       S_FALSE},
      {"pop front",
       [](IvokFastList* l) {
         IUnknown* i;
         l->Front(&i);
         l->PopFront();
         i->Release();
       },
       S_FALSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto list = NewList(true);
    EXPECT_EQ(Dirty(list.Get()), S_FALSE) << "a new list is unchanged";
    AddKey(list.Get(), "a");
    AddKey(list.Get(), "b");
    Saved(list.Get());
    ASSERT_EQ(Dirty(list.Get()), S_FALSE);
    c.act(list.Get());
    EXPECT_EQ(Dirty(list.Get()), c.dirty);
  }
}

TEST_F(FastListTest, SaveWithoutClearDirtyKeepsTheFlag) {
  auto list = NewList(false);
  AddKey(list.Get(), "a");
  Saved(list.Get(), 0);
  EXPECT_EQ(Dirty(list.Get()), S_OK);
}

// --- Stream format ---

TEST_F(FastListTest, EmptyListIsTwelveBytes) {
  auto list = NewList(false);
  EXPECT_EQ(Saved(list.Get()), Bytes({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));
}

TEST_F(FastListTest, ListRecordHoldsHeaderClassIdAndItems) {
  auto list = NewList(false);
  list->put_MaxSize(10);
  AddKey(list.Get(), "abcdefg", 5);
  AddKey(list.Get(), "", 0x01020304);
  EXPECT_EQ(Saved(list.Get()),
            Bytes({0,    0,    0,    0,    10,   0,    0,    0,    2,    0,    0,    0,
                   0xB0, 0xB2, 0x6E, 0xDA, 0xE9, 0x74, 0xD2, 0x11, 0xA3, 0xED, 0x96, 0xD5,
                   0x32, 0x0C, 0xFE, 0x83, 0,    0,    0,    0,    7,    0,    0,    0,
                   'a',  'b',  'c',  'd',  'e',  'f',  'g',  5,    0,    0,    0,    0,
                   0,    0,    0,    0,    0,    0,    0,    4,    3,    2,    1}));
}

TEST_F(FastListTest, RoundTripKeepsKeysDataOrderAndMaximum) {
  auto list = NewList(true);
  list->put_MaxSize(50);
  const std::pair<std::string, ULONG> items[] = {
      {"zeta", 1}, {"Ärger", 2}, {"", 3}, {std::string(511, 'x'), 0xFFFFFFFF}, {"alpha", 0}};
  for (const auto& [key, data] : items) ASSERT_EQ(AddKey(list.Get(), key, data), S_OK);
  std::vector<uint8_t> bytes = Saved(list.Get());

  auto loaded = NewList(true);
  AddKey(loaded.Get(), "stale");
  ASSERT_EQ(LoadBytes(loaded.Get(), bytes), S_OK);
  ASSERT_EQ(Count(loaded.Get()), 5);
  for (const auto& [key, data] : items)
    EXPECT_EQ(DataOf(Found(loaded.Get(), key.c_str(), 1)), data);
  EXPECT_EQ(KeysOf(loaded.Get()), KeysOf(list.Get()));
  LONG max = 0;
  loaded->get_MaxSize(&max);
  EXPECT_EQ(max, 50);
  EXPECT_EQ(Dirty(loaded.Get()), S_FALSE);
  EXPECT_EQ(Saved(loaded.Get()), bytes);
  CLSID clsid;
  EXPECT_EQ(QueryAs<IPersistStream>(loaded.Get())->GetClassID(&clsid), S_OK);
  EXPECT_EQ(clsid, vok::clsid::kFastList);
}

TEST_F(FastListTest, LoadingADuplicateIntoAUniqueListStopsAfterTheFirst) {
  auto source = NewList(false);
  AddKey(source.Get(), "twin", 1);
  AddKey(source.Get(), "twin", 2);
  AddKey(source.Get(), "other", 3);
  std::vector<uint8_t> bytes = Saved(source.Get());

  auto unique = NewList(true);
  EXPECT_EQ(LoadBytes(unique.Get(), bytes), E_INVALIDARG);
  EXPECT_EQ(KeysOf(unique.Get()), (Keys{"twin"}));
  EXPECT_EQ(Dirty(unique.Get()), S_FALSE);
  auto plain = NewList(false);
  EXPECT_EQ(LoadBytes(plain.Get(), bytes), S_OK);
  EXPECT_EQ(Count(plain.Get()), 3);
}

TEST_F(FastListTest, StoredMaximumBelowTheCountKeepsTheNewest) {
  auto source = NewList(false);
  for (const char* key : {"1", "2", "3", "4"}) AddKey(source.Get(), key);
  std::vector<uint8_t> bytes = Saved(source.Get());
  bytes[4] = 2;  // maximum size 2
  for (int i = 5; i < 8; ++i) bytes[i] = 0;
  auto list = NewList(true);
  EXPECT_EQ(LoadBytes(list.Get(), bytes), S_OK);
  EXPECT_EQ(KeysOf(list.Get()), (Keys{"3", "4"}));
  EXPECT_EQ(Dirty(list.Get()), S_FALSE);
}

TEST_F(FastListTest, UnknownClassFailsWithTheCreationStatusAndLeavesTheListEmpty) {
  auto source = NewList(false);
  AddKey(source.Get(), "a");
  std::vector<uint8_t> bytes = Saved(source.Get());
  bytes[12] ^= 0xFF;  // another class identifier
  auto list = NewList(false);
  AddKey(list.Get(), "before");
  EXPECT_EQ(LoadBytes(list.Get(), bytes), REGDB_E_CLASSNOTREG);
  EXPECT_EQ(Count(list.Get()), 0);
  EXPECT_EQ(Dirty(list.Get()), S_FALSE);
}

TEST_F(FastListTest, NegativeFormatOrNoItemsLoadsAnEmptyList) {
  auto list = NewList(false);
  list->put_MaxSize(7);
  AddKey(list.Get(), "a");
  EXPECT_EQ(LoadBytes(list.Get(), Bytes({0xFF, 0xFF, 0xFF, 0xFF})), S_OK);
  EXPECT_EQ(Count(list.Get()), 0);
  LONG max = 0;
  list->get_MaxSize(&max);
  EXPECT_EQ(max, 7) << "nothing after a negative format value is read";
  EXPECT_EQ(LoadBytes(list.Get(), Bytes({0, 0, 0, 0, 3, 0, 0, 0, 0xF6, 0xFF, 0xFF, 0xFF})), S_OK);
  list->get_MaxSize(&max);
  EXPECT_EQ(max, 3);
  EXPECT_EQ(Count(list.Get()), 0);
}

TEST_F(FastListTest, WriteFailureEndsTheSaveWithItsStatus) {
  auto list = NewList(false);
  AddKey(list.Get(), "abc", 1);
  AddKey(list.Get(), "defg", 2);
  const size_t total = Saved(list.Get(), 0).size();
  for (size_t budget = 0; budget < total; ++budget) {
    SCOPED_TRACE(budget);
    auto stream = vok::MemoryStream::Create();
    stream->FailAfter(budget, STG_E_MEDIUMFULL);
    EXPECT_EQ(QueryAs<IPersistStream>(list.Get())->Save(stream.Get(), 1), STG_E_MEDIUMFULL);
    EXPECT_EQ(Dirty(list.Get()), S_FALSE) << "cleared also after a failure";
    list->put_MaxSize(-1);  // changed again for the next round
  }
}

TEST_F(FastListTest, ItemFailuresEndTheSaveWithTheirStatus) {
  auto list = NewList(false);
  ComPtr<ScriptedItem> failing(new ScriptedItem);
  failing->saveResult = STG_E_ACCESSDENIED;
  failing->AddRef();
  list->Add(failing->Identity(), 0);
  auto stream = vok::MemoryStream::Create();
  EXPECT_EQ(QueryAs<IPersistStream>(list.Get())->Save(stream.Get(), 1), STG_E_ACCESSDENIED);

  list->Clear();
  ComPtr<PlainObject> notPersistable(new PlainObject);
  notPersistable->AddRef();
  list->Add(notPersistable->Identity(), 0);
  EXPECT_EQ(QueryAs<IPersistStream>(list.Get())->Save(stream.Get(), 1), E_NOINTERFACE);
  ULARGE_INTEGER size;
  EXPECT_EQ(QueryAs<IPersistStream>(list.Get())->GetSizeMax(&size), E_NOINTERFACE);
}

TEST_F(FastListTest, SizeMaxIsTheSumOfTheItemsLowParts) {
  auto list = NewList(false);
  ULARGE_INTEGER size = {99};
  auto persist = QueryAs<IPersistStream>(list.Get());
  EXPECT_EQ(persist->GetSizeMax(&size), S_OK);
  EXPECT_EQ(size.QuadPart, 0u);
  for (uint64_t itemSize : {uint64_t{7}, uint64_t{0x100000005}}) {
    ComPtr<ScriptedItem> item(new ScriptedItem);
    item->sizeMax = itemSize;
    item->AddRef();
    list->Add(item->Identity(), 0);
  }
  AddKey(list.Get(), "string items report 0");
  EXPECT_EQ(persist->GetSizeMax(&size), S_OK);
  EXPECT_EQ(size.QuadPart, 12u);
}

// A stream cut anywhere must fail to load, never crash, and keep only whole items.
TEST_F(FastListTest, EveryTruncationFailsCleanly) {
  auto source = NewList(false);
  AddKey(source.Get(), "first", 1);
  AddKey(source.Get(), "second", 2);
  AddKey(source.Get(), "third", 3);
  const std::vector<uint8_t> bytes = Saved(source.Get());
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    SCOPED_TRACE(cut);
    auto list = NewList(true);
    EXPECT_EQ(LoadBytes(list.Get(), {bytes.begin(), bytes.begin() + cut}), STG_E_READFAULT);
    // Header 28 bytes, then items of 12 + key bytes each.
    size_t whole = cut < 28 + 17 ? 0 : cut < 28 + 17 + 18 ? 1 : 2;
    EXPECT_EQ(Count(list.Get()), static_cast<LONG>(whole));
    EXPECT_EQ(Dirty(list.Get()), S_FALSE);
  }
}

TEST_F(FastListTest, HugeStoredCountEndsWithTheData) {
  auto source = NewList(false);
  AddKey(source.Get(), "only");
  std::vector<uint8_t> bytes = Saved(source.Get());
  for (int i = 8; i < 12; ++i) bytes[i] = 0xFF;
  bytes[11] = 0x7F;  // 2^31 - 1 items announced
  auto list = NewList(false);
  EXPECT_EQ(LoadBytes(list.Get(), bytes), STG_E_READFAULT);
  EXPECT_EQ(KeysOf(list.Get()), (Keys{"only"}));
}

TEST_F(FastListTest, ListsOfListsLoadUpToABoundedDepth) {
  Serve(vok::clsid::kFastList, &vok::CreateObject<vokFastList>);
  // One list record announcing one nested list, `depth` times, then an empty list.
  auto nested = [](int depth) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < depth; ++i) {
      auto header = Bytes({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0});
      bytes.insert(bytes.end(), header.begin(), header.end());
      auto stream = vok::MemoryStream::Create();
      vok::WriteGuid(stream.Get(), vok::clsid::kFastList);
      bytes.insert(bytes.end(), stream->Bytes().begin(), stream->Bytes().end());
    }
    auto empty = Bytes({0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0});
    bytes.insert(bytes.end(), empty.begin(), empty.end());
    return bytes;
  };
  auto list = NewList(false);
  EXPECT_EQ(LoadBytes(list.Get(), nested(3)), S_OK);
  EXPECT_EQ(Saved(list.Get()), nested(3));
  // nested(d) holds d + 1 lists, one inside the other.
  EXPECT_EQ(LoadBytes(list.Get(), nested(vokFastList::kMaxLoadDepth - 1)), S_OK);
  EXPECT_EQ(LoadBytes(list.Get(), nested(vokFastList::kMaxLoadDepth)), STG_E_DOCFILECORRUPT);
  EXPECT_EQ(LoadBytes(list.Get(), nested(100000)), STG_E_DOCFILECORRUPT);
  EXPECT_EQ(Count(list.Get()), 0);
}

}  // namespace
