// Reading: DWI text in memory through the line source and the reader into the chart model.

#include <benchmark/benchmark.h>

#include <optional>

#include "chart/dwi_document.h"
#include "chart/text_buffer.h"
#include "chart_generator.h"

namespace pavaneflow::bench {
namespace {

void BM_Read(benchmark::State& state) {
  const std::string text = GenerateChartOfSize(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    // Copying the text into the line source and freeing the model are not reading.
    state.PauseTiming();
    std::optional<DWIDocument> document(std::in_place);
    document->DeleteContents();
    std::optional<TextBuffer> input(std::in_place, text);
    state.ResumeTiming();

    document->ReadText(*input);
    benchmark::DoNotOptimize(document->scores.data());

    state.PauseTiming();
    input.reset();
    document.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

BENCHMARK(BM_Read)
    ->Arg(10 << 10)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace pavaneflow::bench
