#pragma once

#include <filesystem>
#include <string>

#include "base/file_error.h"
#include "chart/text_document.h"

namespace pavaneflow::cli {

// "<path>: <reason>", the operating system's reason in the user's language where the system has
// it (UseUserLanguage), else in the words the error carries.
std::string FileProblem(const FileError& error);

// "<path>: cannot write here: <why>" for an output that could not be written: a missing folder is
// named as such, so that it is not taken for a missing input.
std::string WriteProblem(const FileError& error);

// The same for the failed open of `path` into `document`.
std::string OpenProblem(const std::filesystem::path& path, const TextDocument& document);

}  // namespace pavaneflow::cli
