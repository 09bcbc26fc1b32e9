#include "cli/file_problem.h"

#include <cstring>

namespace pavaneflow::cli {
namespace {

std::string Describe(const std::filesystem::path& path, int osError, const std::string& fallback) {
  if (osError == 0) return fallback;
  // strerror follows LC_MESSAGES, which UseUserLanguage took from the environment.
  return path.string() + ": " + std::strerror(osError);
}

}  // namespace

std::string FileProblem(const FileError& error) {
  return Describe(error.path(), error.osError(), error.what());
}

std::string OpenProblem(const std::filesystem::path& path, const TextDocument& document) {
  return Describe(path, document.OpenOsError(), document.OpenError());
}

}  // namespace pavaneflow::cli
