// Reading: DWI text in memory through the line source and the reader into the chart model.

#include <benchmark/benchmark.h>

#include <optional>

#include "chart/dwi_document.h"
#include "chart/text_buffer.h"
#include "chart_generator.h"

namespace pavaneflow::bench {
namespace {

void Read(benchmark::State& state, const std::string& text,
          ChartTiming timing = ChartTiming::kClassic, ChartFormat format = ChartFormat::kDwi) {
  for (auto _ : state) {
    // Copying the text into the line source and freeing the model are not reading.
    state.PauseTiming();
    std::optional<DWIDocument> document(std::in_place);
    document->DeleteContents();
    document->SetTiming(timing);
    document->SetFormat(format);
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

void BM_Read(benchmark::State& state) {
  Read(state, GenerateChartOfSize(static_cast<std::size_t>(state.range(0))));
}

BENCHMARK(BM_Read)
    ->Arg(10 << 10)
    ->Arg(1 << 20)
    ->Arg(10 << 20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A DOUBLE chart reads its second pad from the start again: linear only if inserting Frames
// between those already read costs little.
void BM_ReadDouble(benchmark::State& state) {
  Read(state, GenerateDoubleChartOfSize(static_cast<std::size_t>(state.range(0))));
}

BENCHMARK(BM_ReadDouble)->Arg(1 << 20)->Arg(8 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same charts in game timing, which takes its own, plainer path through chart bodies.
void BM_ReadGameTiming(benchmark::State& state) {
  Read(state, GenerateChartOfSize(static_cast<std::size_t>(state.range(0))), ChartTiming::kGame);
}

BENCHMARK(BM_ReadGameTiming)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

// An .ssc simfile of many charts, through the one tokenizer and the simfile reader.
void BM_ReadSimfile(benchmark::State& state) {
  Read(state, GenerateSscOfSize(static_cast<std::size_t>(state.range(0))), ChartTiming::kClassic,
       ChartFormat::kSsc);
}

BENCHMARK(BM_ReadSimfile)->Arg(16 << 20)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace pavaneflow::bench
