#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace pavaneflow {

// The file formats a dance is written in: VMD for the motion tools (the dance as it is made, with
// its IK bones), VRM Animation and BVH for everything else (the legs solved on every frame).
enum class ExportFormat { kVmd, kVrma, kBvh };

// The extension of a format's files, with its dot: ".vmd", ".vrma" or ".bvh".
std::string_view ExtensionOf(ExportFormat format);

// The format that a file name's extension names (in any letter case); none for any other name.
std::optional<ExportFormat> FormatOfName(const std::filesystem::path& name);

}  // namespace pavaneflow
