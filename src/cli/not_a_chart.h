#pragma once

#include <filesystem>
#include <string>

namespace pavaneflow::cli {

// "FILE is a VMD motion, not a step chart": the refusal of a motion given where a chart is read.
std::string NotAChartMessage(const std::filesystem::path& file);

// "no step chart found in FILE (is it a DWI, .sm or .ssc file?)": a file that read into no chart
// at all.
std::string NoChartMessage(const std::filesystem::path& file);
// The refusal of a file whose charts have no tempo to be timed by (SongDocument::HasUsableTempo).
std::string NoTempoMessage(const std::filesystem::path& file);

// "FOLDER: no .ssc, .sm or .dwi file in this folder or beneath": a folder given without songs.
std::string NoSongsMessage(const std::filesystem::path& folder);

}  // namespace pavaneflow::cli
