// Synthesis: the key frames of one chart, from the chart model into a MotionDocument.

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "chart_generator.h"
#include "motion/classic/run.h"

namespace pavaneflow::bench {
namespace {

void BM_Synthesize(benchmark::State& state) {
  const auto song = ReadDocument(GenerateChart(state.range(0)));
  const GenerationRequest request = FirstChartRequest(*song);
  std::size_t keyFrames = 0;
  for (auto _ : state) {
    MotionDocument motion;
    Synthesize(request, motion);
    keyFrames = motion.FrameCount();
    // Freeing the frames is part of a generation too: the document dies with the command.
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(keyFrames));
  state.counters["key_frames"] = static_cast<double>(keyFrames);
}

BENCHMARK(BM_Synthesize)
    ->Arg(1'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace pavaneflow::bench
