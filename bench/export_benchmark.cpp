// The natural dance written for players without IK: baked on every frame (the legs solved from
// the foot IK targets) and written as VRM Animation or BVH, against the same dance's VMD file.
// The dance is made once; what is timed is what the format adds to it.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "base/atomic_file.h"
#include "bench_support.h"
#include "chart_generator.h"
#include "export/bvh_writer.h"
#include "export/export_format.h"
#include "export/humanoid_baker.h"
#include "export/reference_skeleton.h"
#include "export/vrma_writer.h"
#include "motion/classic/run.h"
#include "motion/natural/natural_motion.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow::bench {
namespace {

namespace fs = std::filesystem;

// Makes the natural dance of a generated chart of `steps` steps in `dance`.
void MakeNaturalDance(std::int64_t steps, MotionDocument& dance) {
  const auto document = ReadDocument(GenerateChart(steps));
  GenerationRequest request = FirstChartRequest(*document);
  const NaturalMotion natural;
  request.motion = &natural;
  Synthesize(request, dance);
}

void BM_WriteDance(benchmark::State& state, ExportFormat format) {
  MotionDocument dance;
  MakeNaturalDance(state.range(0), dance);
  const fs::path path =
      BenchDirectory() / ("pavaneflow-bench-export" + std::string(ExtensionOf(format)));
  std::int32_t frames = 0;
  for (auto _ : state) {
    if (format == ExportFormat::kVmd) {
      SaveVmdFile(dance, path);
      continue;
    }
    AtomicFile file(path);
    HumanoidBaker baker(dance, ReferenceSkeleton(), kReferenceBody);
    frames = baker.FrameCount();
    if (format == ExportFormat::kVrma) {
      WriteVrma(baker, file);
    } else {
      WriteBvh(baker, file);
    }
  }
  if (frames > 0) state.counters["frames"] = static_cast<double>(frames);
  state.counters["file_bytes"] = static_cast<double>(fs::file_size(path));
  fs::remove(path);
}

BENCHMARK_CAPTURE(BM_WriteDance, vmd, ExportFormat::kVmd)
    ->Arg(400'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_WriteDance, vrma, ExportFormat::kVrma)
    ->Arg(400'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_WriteDance, bvh, ExportFormat::kBvh)
    ->Arg(400'000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace pavaneflow::bench
