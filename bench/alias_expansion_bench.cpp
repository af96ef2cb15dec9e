// Speed of alias expansion at the largest definition an alias holds (5,120 bytes): replacing
// the %1..%9 placeholders with typed arguments, and splitting the result into command lines.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "cmdline/alias_expansion.h"

namespace {

constexpr size_t kDefinitionBytes = 5120;

// Lines like those users write ("copy %1 %2/backup\r\n"), with a placeholder about every 12
// bytes, cut to the definition's room (the zero excluded).
std::string LargeDefinition() {
  const std::string lines[] = {"copy %1 %2/backup\r\n", "# keep a log of %3\r\n",
                               "echo done with %1 at 100% load\r\n", "cd %9\r\n",
                               "rename %4 %5%6.old\r\n"};
  std::string definition;
  for (size_t i = 0; definition.size() < kDefinitionBytes; ++i)
    definition += lines[i % std::size(lines)];
  definition.resize(kDefinitionBytes - 1);
  return definition;
}

const std::vector<std::string> kArguments = {
    "report.txt", "/srv/archive",       "nightly", "\"old name\"", "draft", "-v2", "x",
    "y",          "/home/user/projects"};

void BM_ExpandLargeDefinition(benchmark::State& state) {
  const std::string definition = LargeDefinition();
  size_t bytes = 0;
  for (auto _ : state) {
    std::string expanded = vok::cmdline::ExpandAlias(definition, kArguments);
    bytes = expanded.size();
    benchmark::DoNotOptimize(expanded.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * definition.size()));
  state.counters["output_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ExpandLargeDefinition);

void BM_ExpandAndSplitLargeDefinition(benchmark::State& state) {
  const std::string definition = LargeDefinition();
  size_t lines = 0;
  for (auto _ : state) {
    std::string expanded = vok::cmdline::ExpandAlias(definition, kArguments);
    auto commandLines = vok::cmdline::AliasCommandLines(expanded, false);
    lines = commandLines.size();
    benchmark::DoNotOptimize(commandLines.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * definition.size()));
  state.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_ExpandAndSplitLargeDefinition);

}  // namespace
