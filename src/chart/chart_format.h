#pragma once

#include <filesystem>

namespace pavaneflow {

// The kind of chart file: DWI, or a simfile of the dance games (".sm", ".ssc" from their fifth
// generation on), which read into the same chart model.
enum class ChartFormat { kDwi, kSm, kSsc };

// The format a file's name says: ".sm" and ".ssc" in any letter case, DWI for everything else.
ChartFormat ChartFormatOf(const std::filesystem::path& path);

// "dwi", "sm" or "ssc", as `info --json` and the page name the format.
const char* ChartFormatName(ChartFormat format);

// Whether the format is one of the simfiles, timed by their own lists rather than a reading rule.
inline bool IsSimfile(ChartFormat format) {
  return format != ChartFormat::kDwi;
}

}  // namespace pavaneflow
