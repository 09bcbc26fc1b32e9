#include "cli/file_problem.h"

#include <cerrno>
#include <cstring>

#include "cli/translation.h"

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

std::string WriteProblem(const FileError& error) {
  const int code = error.osError();
  const std::filesystem::path folder = error.path().parent_path();
  std::string why;
  if (code == ENOENT) {
    why = Fill(Tr("the folder {1} does not exist"), {folder.empty() ? "." : folder.string()});
  } else if (code == ENOTDIR) {
    why = Fill(Tr("{1} is not a folder"), {folder.string()});
  } else {
    why = code != 0 ? std::strerror(code) : error.reason();
  }
  return Fill(Tr("{1}: cannot write here: {2}"), {error.path().string(), why});
}

std::string OpenProblem(const std::filesystem::path& path, const TextDocument& document) {
  return Describe(path, document.OpenOsError(), document.OpenError());
}

}  // namespace pavaneflow::cli
