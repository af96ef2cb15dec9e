// Speed of the fast list at the size of a long history (1,500 items): adding with the unique
// index and without, and finding by key through the index and by scanning.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "common/fast_list_ifaces.h"
#include "tools/fast_list.h"
#include "tools/fast_list_item_string.h"

namespace {

constexpr int kItems = 1500;

std::string KeyFor(int i) { return "C:/Programs/Tool " + std::to_string(i * 7919 % 100003); }

ComPtr<IvokFastList> NewList(bool unique) {
  ComPtr<IvokFastList> list;
  vok::CreateObject<vokFastList>(nullptr, IvokFastList::kIID, list.ReleaseAndGetVoidAddressOf());
  list->Init(unique);
  return list;
}

ComPtr<IUnknown> NewItem(const std::string& key) {
  ComPtr<IvokFastListItem> item;
  vok::CreateObject<vokFastListItemString>(nullptr, IvokFastListItem::kIID,
                                           item.ReleaseAndGetVoidAddressOf());
  item->SetStrKey(key.c_str());
  return IdentityOf(item.Get());
}

ComPtr<IvokFastList> FilledList(bool unique) {
  ComPtr<IvokFastList> list = NewList(unique);
  for (int i = 0; i < kItems; ++i) {
    ComPtr<IUnknown> item = NewItem(KeyFor(i));
    if (list->Add(item.Get(), 0) == S_OK) item.Detach();
  }
  return list;
}

// Fills a list with 1,500 new items (item creation included).
void BM_Add(benchmark::State& state) {
  const bool unique = state.range(0) != 0;
  for (auto _ : state) {
    ComPtr<IvokFastList> list = FilledList(unique);
    benchmark::DoNotOptimize(list.Get());
  }
  state.SetItemsProcessed(state.iterations() * kItems);
  state.SetLabel(unique ? "unique, indexed" : "not unique");
}
BENCHMARK(BM_Add)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// Finds every key once; case-sensitive in a unique list uses the index, everything else scans.
void BM_Find(benchmark::State& state) {
  const bool unique = state.range(0) != 0;
  const LONG caseSensitive = static_cast<LONG>(state.range(1));
  ComPtr<IvokFastList> list = FilledList(unique);
  std::vector<std::string> keys;
  for (int i = 0; i < kItems; ++i)
    keys.push_back(caseSensitive ? KeyFor(i) : "c:/PROGRAMS/tool " + KeyFor(i).substr(17));
  size_t next = 0;
  for (auto _ : state) {
    IUnknown* item = nullptr;
    list->Find(keys[next].c_str(), &item, caseSensitive);
    benchmark::DoNotOptimize(item);
    if (++next == keys.size()) next = 0;
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(std::string(unique ? "unique" : "not unique") +
                 (caseSensitive ? (unique ? ", case-sensitive (index)" : ", case-sensitive (scan)")
                                : ", case-insensitive (scan)"));
}
BENCHMARK(BM_Find)->Args({1, 1})->Args({1, 0})->Args({0, 1})->Args({0, 0});

}  // namespace
