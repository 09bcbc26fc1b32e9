// Writes a generated DWI chart for the benchmark script:
//   pavaneflow-make-chart STEPS FILE      a chart of STEPS step characters
//   pavaneflow-make-chart --bytes N FILE  a chart of about N bytes

#include <charconv>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string_view>

#include "chart_generator.h"

namespace {

bool ParseCount(std::string_view text, std::int64_t& out) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size() && out >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool bySize = argc == 4 && std::strcmp(argv[1], "--bytes") == 0;
  std::int64_t count = 0;
  if (!(argc == 3 || bySize) || !ParseCount(argv[argc - 2], count)) {
    std::cerr << "usage: pavaneflow-make-chart STEPS FILE | --bytes N FILE\n";
    return 2;
  }
  const std::string text =
      bySize ? pavaneflow::bench::GenerateChartOfSize(static_cast<std::size_t>(count))
             : pavaneflow::bench::GenerateChart(count);
  std::ofstream out(argv[argc - 1], std::ios::binary);
  out << text;
  out.close();
  if (!out) {
    std::cerr << argv[argc - 1] << ": cannot write: " << std::strerror(errno) << '\n';
    return 1;
  }
  return 0;
}
