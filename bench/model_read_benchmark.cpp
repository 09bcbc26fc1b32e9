// Reading a user's model: a PMX file of about 30 MiB (half a million vertices of every weight
// type, their faces, the standard bones), from memory and from a file, to the body's proportions.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "model/model_file.h"
#include "motion/model_proportions.h"
#include "support/model_bytes.h"

namespace pavaneflow::bench {
namespace {

const std::vector<std::uint8_t>& LargeModel() {
  static const std::vector<std::uint8_t> bytes = [] {
    test::PmxFile file;
    file.vertexIndex = 4;
    file.boneIndex = 2;
    file.vertexGroups = 100000;
    file.bones = test::StandardBones();
    return test::PmxBytes(file);
  }();
  return bytes;
}

void BM_ReadModel(benchmark::State& state) {
  const std::vector<std::uint8_t>& bytes = LargeModel();
  for (auto _ : state) {
    const BodyProportions body = ProportionsOf(ReadModel(bytes, "large.pmx"));
    benchmark::DoNotOptimize(body);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

BENCHMARK(BM_ReadModel)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same from a file: the one the command line and the application read.
void BM_ReadModelFile(benchmark::State& state) {
  const char* folder = std::getenv("PAVANEFLOW_BENCH_DIR");
  const std::filesystem::path path =
      std::filesystem::path(folder != nullptr ? folder : std::filesystem::temp_directory_path()) /
      "large.pmx";
  const std::vector<std::uint8_t>& bytes = LargeModel();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  for (auto _ : state) {
    const BodyProportions body = ProportionsOf(ReadModelFile(path));
    benchmark::DoNotOptimize(body);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
  state.counters["file_bytes"] = static_cast<double>(bytes.size());
  std::filesystem::remove(path);
}

BENCHMARK(BM_ReadModelFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace pavaneflow::bench
