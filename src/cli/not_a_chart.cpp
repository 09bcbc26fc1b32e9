#include "cli/not_a_chart.h"

#include "cli/translation.h"

namespace pavaneflow::cli {

std::string NotAChartMessage(const std::filesystem::path& file) {
  return Fill(Tr("{1} is a VMD motion, not a step chart"), {file.string()});
}

std::string NoChartMessage(const std::filesystem::path& file) {
  return Fill(Tr("no step chart found in {1} (is it a DWI, .sm or .ssc file?)"), {file.string()});
}

std::string NoTempoMessage(const std::filesystem::path& file) {
  return Fill(Tr("{1}: no usable tempo (#BPM is missing or not a positive number): nothing can be "
                 "danced"),
              {file.string()});
}

std::string NoSongsMessage(const std::filesystem::path& folder) {
  return Fill(Tr("{1}: no .ssc, .sm or .dwi file in this folder or beneath"), {folder.string()});
}

}  // namespace pavaneflow::cli
