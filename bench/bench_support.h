#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "chart/dwi_document.h"
#include "motion/generation_request.h"

namespace pavaneflow::bench {

// The document read from DWI text held in memory.
std::unique_ptr<DWIDocument> ReadDocument(const std::string& text);

// The request the convert command makes for the first chart: player 1, twist on.
GenerationRequest FirstChartRequest(const DWIDocument& document);

// Where the benchmarks write their files: $PAVANEFLOW_BENCH_DIR, else the system's temporary
// folder. Writing speed depends on the file system, so the script puts every measured file in
// one place.
std::filesystem::path BenchDirectory();

}  // namespace pavaneflow::bench
