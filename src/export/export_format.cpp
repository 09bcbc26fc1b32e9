#include "export/export_format.h"

#include <string>

namespace pavaneflow {

std::string_view ExtensionOf(ExportFormat format) {
  switch (format) {
    case ExportFormat::kVrma:
      return ".vrma";
    case ExportFormat::kBvh:
      return ".bvh";
    case ExportFormat::kVmd:
      break;
  }
  return ".vmd";
}

std::optional<ExportFormat> FormatOfName(const std::filesystem::path& name) {
  std::string extension = name.extension().string();
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  for (const ExportFormat format : {ExportFormat::kVmd, ExportFormat::kVrma, ExportFormat::kBvh}) {
    if (extension == ExtensionOf(format)) return format;
  }
  return std::nullopt;
}

}  // namespace pavaneflow
