#include "chart/chart_format.h"

#include <string>

namespace pavaneflow {

ChartFormat ChartFormatOf(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (extension == ".sm") return ChartFormat::kSm;
  if (extension == ".ssc") return ChartFormat::kSsc;
  return ChartFormat::kDwi;
}

const char* ChartFormatName(ChartFormat format) {
  switch (format) {
    case ChartFormat::kSm:
      return "sm";
    case ChartFormat::kSsc:
      return "ssc";
    case ChartFormat::kDwi:
      break;
  }
  return "dwi";
}

}  // namespace pavaneflow
