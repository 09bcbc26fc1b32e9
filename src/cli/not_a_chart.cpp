#include "cli/not_a_chart.h"

#include "cli/translation.h"

namespace pavaneflow::cli {

std::string NotAChartMessage(const std::filesystem::path& file) {
  return Fill(Tr("{1} is a VMD motion, not a step chart"), {file.string()});
}

std::string NoChartMessage(const std::filesystem::path& file) {
  return Fill(Tr("no step chart found in {1} (is it a DWI file?)"), {file.string()});
}

}  // namespace pavaneflow::cli
