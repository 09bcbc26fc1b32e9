#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace pavaneflow {

// How motion files are named after their chart, by `convert --all` and by the application's save
// dialog.

// A chart name made fit for a file name: blanks become "_", and so do path separators ("/" and
// "\\"), control characters and unpaired surrogates. Cut to at most kMaxChartNameBytes of UTF-8, at
// a character boundary, so that the whole file name stays within the usual 255-byte limit.
std::string SafeChartName(std::u16string_view chartName);
inline constexpr std::size_t kMaxChartNameBytes = 120;

// "<stem>_<safe chart name>.vmd", with "_1P" or "_2P" before the extension when `playerSuffix`
// is not empty.
std::filesystem::path ChartFileName(const std::filesystem::path& input,
                                    std::u16string_view chartName,
                                    std::string_view playerSuffix = {});

}  // namespace pavaneflow
