// Cost of routing one command line through the engine container to the engine that owns its
// word (five engines on the common engine base, the word in the third), of a word no engine
// owns, and of a bare map lookup of the same word for comparison.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "common/class_ids.h"
#include "common/engine_base.h"
#include "engine/command_parser.h"
#include "engine/engine_container.h"

namespace {

constexpr int kEngineCount = 5;
constexpr int kOwningEngine = 2;  // the third engine in dispatch order
constexpr int kWordsPerEngine = 40;

// String ids: engine * 100 + word for the engine's own words, kOwnedWordId for "chdir".
constexpr UINT kOwnedWordId = kOwningEngine * 100 + 99;

const vok::ModuleResources& BenchStrings() {
  static const auto* strings = [] {
    struct Table {
      std::vector<std::string> texts;
      std::vector<vok::StringResource> rows;
      vok::ModuleResources module;
    };
    auto* table = new Table;
    std::vector<std::pair<UINT, std::string>> entries;
    for (int e = 0; e < kEngineCount; ++e)
      for (int w = 0; w < kWordsPerEngine; ++w)
        entries.emplace_back(e * 100 + w, "word" + std::to_string(e) + "_" + std::to_string(w));
    entries.emplace_back(kOwnedWordId, "chdir");
    std::sort(entries.begin(), entries.end());
    table->texts.reserve(entries.size());
    for (auto& [id, text] : entries) {
      table->texts.push_back(text);
      table->rows.push_back({id, table->texts.back().c_str()});
    }
    table->module = {"bench", table->rows.data(), table->rows.size()};
    return table;
  }();
  return strings->module;
}

// An engine on the common engine base with kWordsPerEngine commands (and "chdir" for the
// owning engine), in dispatch place N.
template <int N>
class BenchEngine final : public vok::EngineBase<BenchEngine<N>> {
  using Engine = vok::EngineBase<BenchEngine<N>>;

 public:
  BenchEngine() : Engine(BenchStrings(), Table(), N * 5) {}
  HRESULT OnCommand(IvokCommandParser*) { return S_OK; }

 private:
  static const typename Engine::CommandEntry* Table() {
    static const std::vector<typename Engine::CommandEntry> table = [] {
      std::vector<typename Engine::CommandEntry> rows;
      for (int w = 0; w < kWordsPerEngine; ++w)
        rows.push_back({&BenchEngine::OnCommand, static_cast<UINT>(N * 100 + w), 0, 0, 0});
      if (N == kOwningEngine) rows.push_back({&BenchEngine::OnCommand, kOwnedWordId, 0, 0, 0});
      rows.push_back({});
      return rows;
    }();
    return table.data();
  }
};

CLSID EngineClsid(int n) {
  return CLSID{0xBE7C0000u + static_cast<uint32_t>(n), 0, 0, {0x80, 0, 0, 0, 0, 0, 0, 1}};
}

// A started container over five map engines; the classes stay registered while it lives.
class DispatchSetup {
 public:
  DispatchSetup() {
    Register(vok::clsid::kCommandParser, new vok::ClassFactory(&vok::CreateCommandParser));
    std::vector<CLSID> ids;
    const vok::CreateFn creators[kEngineCount] = {
        &vok::CreateObject<BenchEngine<0>>, &vok::CreateObject<BenchEngine<1>>,
        &vok::CreateObject<BenchEngine<2>>, &vok::CreateObject<BenchEngine<3>>,
        &vok::CreateObject<BenchEngine<4>>};
    for (int i = 0; i < kEngineCount; ++i) {
      ids.push_back(EngineClsid(i));
      Register(ids.back(), new vok::ClassFactory(creators[i]));
    }
    std::vector<const CLSID*> list;
    for (const CLSID& id : ids) list.push_back(&id);
    list.push_back(nullptr);
    vok::CreateEngineContainer(nullptr, nullptr, IvokEngineContainer::kIID,
                               container.ReleaseAndGetVoidAddressOf());
    if (!container || FAILED(container->Init(list.data(), 1))) std::abort();
  }
  ~DispatchSetup() {
    container.Reset();
    for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
  }

  ComPtr<IvokEngineContainer> container;

 private:
  template <class Factory>
  void Register(const CLSID& clsid, Factory* factory) {
    ComPtr<IUnknown> hold(factory->Identity());
    DWORD cookie = 0;
    CoRegisterClassObject(clsid, hold.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
    cookies_.push_back(cookie);
  }
  std::vector<DWORD> cookies_;
};

void BM_ContainerDispatchHit(benchmark::State& state) {
  DispatchSetup setup;
  for (auto _ : state) {
    HRESULT hr = setup.container->Command("chdir /usr/share");
    benchmark::DoNotOptimize(hr);
    if (hr != S_OK) state.SkipWithError("the third engine did not take the word");
  }
}
BENCHMARK(BM_ContainerDispatchHit);

void BM_ContainerDispatchMiss(benchmark::State& state) {
  DispatchSetup setup;
  for (auto _ : state) {
    HRESULT hr = setup.container->Command("nosuchword /usr/share");
    benchmark::DoNotOptimize(hr);
    if (hr != S_FALSE) state.SkipWithError("an engine took an unknown word");
  }
}
BENCHMARK(BM_ContainerDispatchMiss);

// The parser's share of a dispatch: tokenising the same line.
void BM_ParseOnly(benchmark::State& state) {
  ComPtr<IvokCommandParser> parser;
  if (FAILED(vok::CreateCommandParser(nullptr, IvokCommandParser::kIID,
                                      parser.ReleaseAndGetVoidAddressOf())))
    std::abort();
  for (auto _ : state) benchmark::DoNotOptimize(parser->Parse("chdir /usr/share"));
}
BENCHMARK(BM_ParseOnly);

void BM_BareMapLookup(benchmark::State& state) {
  std::map<std::string, int> commands;
  for (int i = 0; i < kWordsPerEngine; ++i) commands.emplace("WORD2_" + std::to_string(i), i);
  commands.emplace("CHDIR", 1);
  const std::string word = "CHDIR";
  for (auto _ : state) {
    auto it = commands.find(word);
    benchmark::DoNotOptimize(it);
  }
}
BENCHMARK(BM_BareMapLookup);

}  // namespace
