// Collecting pad and net values in the classifier, in the two shapes that
// stress it: every name in one group (a board whose pads all share a
// value) and every name with a value of its own (one group per name); and
// counting the rules of a family of that size. Reports names per second;
// the ratio of times between sizes shows whether collecting stays linear.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "rules/Classifier.h"

namespace {

using pcb9::TClassifier;
using pcb9::TRuleFamily;

std::vector<std::string> PadNames(int64_t count) {
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(count));
  for (int64_t i = 0; i < count; ++i)
    names.push_back("U" + std::to_string(i / 64) + "-" + std::to_string(i % 64));
  return names;
}

// Freeing is not collecting.
void Free(benchmark::State& state, std::unique_ptr<TClassifier>& classifier) {
  state.PauseTiming();
  classifier.reset();
  state.ResumeTiming();
}

void CollectOneGroup(benchmark::State& state) {
  const std::vector<std::string> names = PadNames(state.range(0));
  for (auto _ : state) {
    auto classifier = std::make_unique<TClassifier>(nullptr);
    for (const std::string& name : names) classifier->AddSolderMaskExpansion(40000, name);
    benchmark::DoNotOptimize(classifier->Groups(TRuleFamily::SolderMaskExpansion).GroupCount());
    Free(state, classifier);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void CollectDistinctValues(benchmark::State& state) {
  const std::vector<std::string> names = PadNames(state.range(0));
  for (auto _ : state) {
    auto classifier = std::make_unique<TClassifier>(nullptr);
    int32_t value = 0;
    for (const std::string& name : names) classifier->AddTrackWidth(value++, name);
    benchmark::DoNotOptimize(classifier->Groups(TRuleFamily::TrackWidth).GroupCount());
    Free(state, classifier);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void CountDistinctValues(benchmark::State& state) {
  const std::vector<std::string> names = PadNames(state.range(0));
  TClassifier classifier(nullptr);
  int32_t value = 0;
  for (const std::string& name : names) classifier.AddTrackWidth(value++ / 2, name);
  for (auto _ : state) benchmark::DoNotOptimize(classifier.CountRules(TRuleFamily::TrackWidth));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// For comparison: the same names into a bare hash set, the least any
// indexed collecting can cost on this machine.
void ReferenceStringSet(benchmark::State& state) {
  const std::vector<std::string> names = PadNames(state.range(0));
  for (auto _ : state) {
    auto set = std::make_unique<std::unordered_set<std::string>>();
    for (const std::string& name : names) set->insert(name);
    benchmark::DoNotOptimize(set->size());
    state.PauseTiming();
    set.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(CollectOneGroup)->RangeMultiplier(10)->Range(10000, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(CollectDistinctValues)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ReferenceStringSet)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(CountDistinctValues)
    ->RangeMultiplier(10)
    ->Range(10000, 1000000)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
