#include "vmd/vmd_signature.h"

#include <array>
#include <fstream>

namespace pavaneflow {
namespace {

constexpr std::array<std::string_view, 2> kSignatures = {"Vocaloid Motion Data 0002",
                                                         "Vocaloid Motion Data file"};
constexpr std::size_t kSignatureLength = kSignatures[0].size();
static_assert(kSignatures[1].size() == kSignatureLength);

}  // namespace

bool StartsWithVmdSignature(std::string_view bytes) {
  const std::string_view start = bytes.substr(0, kSignatureLength);
  for (std::string_view signature : kSignatures) {
    if (start == signature) return true;
  }
  return false;
}

bool IsVmdFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::array<char, kSignatureLength> start{};
  file.read(start.data(), start.size());
  return StartsWithVmdSignature(
      std::string_view(start.data(), static_cast<std::size_t>(file.gcount())));
}

}  // namespace pavaneflow
