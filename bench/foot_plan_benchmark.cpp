// The whole-chart foot planner against the whole convert it is part of: planning the feet of a
// chart must stay a small share (at most a fifth) of converting it with planned feet. Both run
// on the same generated chart; BM_ConvertPlannedFeet does everything `pavaneflow-cli convert
// --feet planned` does, BM_PlanFeet only the plan.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "bench_support.h"
#include "chart_generator.h"
#include "motion/classic/run.h"
#include "motion/feet/foot_plan.h"
#include "motion/feet/whole_chart_foot_planner.h"
#include "motion/timing/timing_map.h"

namespace pavaneflow::bench {
namespace {

namespace fs = std::filesystem;

fs::path ChartPath(std::int64_t steps) {
  return BenchDirectory() / ("pavaneflow-feet-" + std::to_string(steps) + ".dwi");
}

void BM_ConvertPlannedFeet(benchmark::State& state) {
  const std::int64_t steps = state.range(0);
  const fs::path input = ChartPath(steps);
  const fs::path output = BenchDirectory() / "pavaneflow-feet.vmd";
  std::ofstream(input, std::ios::binary) << GenerateChart(steps);
  const WholeChartFootPlanner planner;
  for (auto _ : state) {
    DWIDocument song;
    if (!song.OnOpenDocument(input)) throw std::runtime_error(song.OpenError());
    GenerationRequest request = FirstChartRequest(song);
    request.feet = &planner;
    pavaneflow::Run(request, output);
  }
  fs::remove(input);
  fs::remove(output);
}

void BM_PlanFeet(benchmark::State& state) {
  const auto song = ReadDocument(GenerateChart(state.range(0)));
  const GenerationRequest request = FirstChartRequest(*song);
  const ClassicTiming timing(song->bpm);
  const Lane& lane = *request.score->lanes.front();
  std::size_t rows = 0;
  for (auto _ : state) {
    const auto plan = PlanFeet(request, lane, timing, FootCosts{});
    rows = plan ? plan->size() : 0;
    benchmark::DoNotOptimize(plan);
  }
  state.counters["rows"] = static_cast<double>(rows);
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(rows));
}

BENCHMARK(BM_ConvertPlannedFeet)
    ->Arg(50'000)
    ->Arg(400'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_PlanFeet)->Arg(50'000)->Arg(400'000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace pavaneflow::bench
