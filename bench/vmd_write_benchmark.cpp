// VMD writing: SaveVmdFile against plain writes of as many bytes to the same path, so the cost
// of the format and of the all-or-nothing commit shows apart from the cost of the disk.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <system_error>
#include <vector>

#include "base/memory_file.h"
#include "bench_support.h"
#include "chart_generator.h"
#include "motion/classic/run.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow::bench {
namespace {

constexpr std::int64_t kSteps = 100'000;

// The motion of a kSteps chart, built once for all the writing benchmarks.
const MotionDocument& Motion() {
  static const MotionDocument* motion = [] {
    const auto song = ReadDocument(GenerateChart(kSteps));
    auto* document = new MotionDocument;
    Synthesize(FirstChartRequest(*song), *document);
    return document;
  }();
  return *motion;
}

std::filesystem::path OutputPath() {
  return BenchDirectory() / "pavaneflow-bench-write.vmd";
}

void Check(bool ok, const char* what) {
  if (!ok) throw std::system_error(errno, std::generic_category(), what);
}

// Writes `bytes` to `path` with one write call per 1 MB, as a program that holds its whole
// output in memory would, optionally syncing before the close.
void PlainWrite(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                bool sync) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  Check(fd >= 0, "open");
  constexpr std::size_t kPiece = 1 << 20;
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, std::min(kPiece, bytes.size() - done));
    Check(n > 0, "write");
    done += static_cast<std::size_t>(n);
  }
  if (sync) Check(::fsync(fd) == 0, "fsync");
  Check(::close(fd) == 0, "close");
}

void SetBytes(benchmark::State& state, std::size_t size) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
  state.counters["key_frames"] = static_cast<double>(Motion().FrameCount());
}

std::vector<std::uint8_t> VmdBytes() {
  MemoryFile file;
  WriteVmd(Motion(), file);
  return file.Bytes();
}

void BM_WriteVmdToMemory(benchmark::State& state) {
  std::size_t size = 0;
  for (auto _ : state) {
    MemoryFile file;
    WriteVmd(Motion(), file);
    size = file.Bytes().size();
    benchmark::DoNotOptimize(file.Bytes().data());
  }
  SetBytes(state, size);
}

void BM_SaveVmdFile(benchmark::State& state) {
  for (auto _ : state) SaveVmdFile(Motion(), OutputPath());
  SetBytes(state, std::filesystem::file_size(OutputPath()));
  std::filesystem::remove(OutputPath());
}

void BM_PlainWrite(benchmark::State& state) {
  const std::vector<std::uint8_t> bytes(VmdBytes().size(), 0x5A);
  for (auto _ : state) PlainWrite(OutputPath(), bytes, false);
  SetBytes(state, bytes.size());
  std::filesystem::remove(OutputPath());
}

void BM_PlainWriteSynced(benchmark::State& state) {
  const std::vector<std::uint8_t> bytes(VmdBytes().size(), 0x5A);
  for (auto _ : state) PlainWrite(OutputPath(), bytes, true);
  SetBytes(state, bytes.size());
  std::filesystem::remove(OutputPath());
}

BENCHMARK(BM_WriteVmdToMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveVmdFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainWriteSynced)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace pavaneflow::bench
