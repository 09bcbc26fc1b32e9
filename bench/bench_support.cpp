#include "bench_support.h"

#include <cstdlib>
#include <stdexcept>

#include "chart/text_buffer.h"

namespace pavaneflow::bench {

std::unique_ptr<DWIDocument> ReadDocument(const std::string& text) {
  auto document = std::make_unique<DWIDocument>();
  document->DeleteContents();
  TextBuffer input(text);
  document->ReadText(input);
  return document;
}

GenerationRequest FirstChartRequest(const DWIDocument& document) {
  if (document.scores.empty()) throw std::runtime_error("the generated chart has no Score");
  return GenerationRequest{&document, document.scores.front().get(), 0, true};
}

std::filesystem::path BenchDirectory() {
  const char* dir = std::getenv("PAVANEFLOW_BENCH_DIR");
  return dir != nullptr && *dir != '\0' ? std::filesystem::path(dir)
                                        : std::filesystem::temp_directory_path();
}

}  // namespace pavaneflow::bench
