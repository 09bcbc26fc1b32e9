// The whole convert, as `pavaneflow-cli convert` does it: open and read the DWI file, synthesise
// the first chart, write the VMD file. Copying the output file is measured beside it, in the
// same run, as the floor that no converter can go below.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "bench_support.h"
#include "chart_generator.h"
#include "motion/classic/run.h"
#include "motion/natural/natural_motion.h"

namespace pavaneflow::bench {
namespace {

namespace fs = std::filesystem;

fs::path ChartPath(std::int64_t steps) {
  return BenchDirectory() / ("pavaneflow-bench-" + std::to_string(steps) + ".dwi");
}

fs::path OutputPath(std::int64_t steps) {
  return BenchDirectory() / ("pavaneflow-bench-" + std::to_string(steps) + ".vmd");
}

void WriteChart(std::int64_t steps) {
  std::ofstream(ChartPath(steps), std::ios::binary) << GenerateChart(steps);
}

void Convert(const fs::path& input, const fs::path& output, const MotionStyle* motion = nullptr) {
  DWIDocument song;
  if (!song.OnOpenDocument(input)) throw std::runtime_error(song.OpenError());
  GenerationRequest request = FirstChartRequest(song);
  request.motion = motion;
  pavaneflow::Run(request, output);
}

void BM_Convert(benchmark::State& state) {
  const std::int64_t steps = state.range(0);
  WriteChart(steps);
  for (auto _ : state) Convert(ChartPath(steps), OutputPath(steps));
  state.counters["key_frames"] = static_cast<double>((fs::file_size(OutputPath(steps)) - 54) / 111);
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(fs::file_size(OutputPath(steps))));
  fs::remove(ChartPath(steps));
}

// The same with natural motion, which has more to plan and more key frames to write.
void BM_ConvertNaturalMotion(benchmark::State& state) {
  const std::int64_t steps = state.range(0);
  const NaturalMotion natural;
  WriteChart(steps);
  const fs::path output = BenchDirectory() / "pavaneflow-bench-natural.vmd";
  for (auto _ : state) Convert(ChartPath(steps), output, &natural);
  state.counters["key_frames"] = static_cast<double>((fs::file_size(output) - 54 - 16) / 111);
  fs::remove(ChartPath(steps));
  fs::remove(output);
}

// Runs after BM_Convert of the same size, whose output it copies.
void BM_CopyOutput(benchmark::State& state) {
  const fs::path source = OutputPath(state.range(0));
  const fs::path copy = BenchDirectory() / "pavaneflow-bench-copy.vmd";
  if (!fs::exists(source)) {
    state.SkipWithError("no output to copy: run BM_Convert first");
    return;
  }
  for (auto _ : state) fs::copy_file(source, copy, fs::copy_options::overwrite_existing);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(source)));
  fs::remove(copy);
  fs::remove(source);
}

BENCHMARK(BM_Convert)->Arg(50'000)->Arg(400'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertNaturalMotion)->Arg(400'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyOutput)->Arg(400'000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace pavaneflow::bench
