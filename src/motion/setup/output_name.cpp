#include "motion/setup/output_name.h"

#include "chart/utf8.h"

namespace pavaneflow {
namespace {

bool IsUnsafe(char32_t c) {
  if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0)) return true;  // control characters
  switch (c) {
    case U' ':
    case U'/':
    case U'\\':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string SafeChartName(std::u16string_view chartName) {
  std::string out;
  for (std::size_t i = 0; i < chartName.size();) {
    char32_t c = NextCodePoint(chartName, i);
    if (IsSurrogate(c) || IsUnsafe(c)) c = U'_';
    std::string encoded;
    AppendUtf8(encoded, c);
    if (out.size() + encoded.size() > kMaxChartNameBytes) break;
    out += encoded;
  }
  return out;
}

std::filesystem::path ChartFileName(const std::filesystem::path& input,
                                    std::u16string_view chartName, std::string_view playerSuffix) {
  std::string name = input.stem().string();
  name += '_';
  name += SafeChartName(chartName);
  name += playerSuffix;
  name += ".vmd";
  return name;
}

}  // namespace pavaneflow
