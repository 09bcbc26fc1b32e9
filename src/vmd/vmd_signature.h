#pragma once

#include <filesystem>
#include <string_view>

namespace pavaneflow {

// Whether `bytes` begin with one of the two VMD signatures ("Vocaloid Motion Data 0002" or the
// older "Vocaloid Motion Data file"): a motion, which a chart reader would read as an empty song.
bool StartsWithVmdSignature(std::string_view bytes);

// Whether the file at `path` begins with a VMD signature. False also when it cannot be read: the
// open that follows then names the reason.
bool IsVmdFile(const std::filesystem::path& path);

}  // namespace pavaneflow
