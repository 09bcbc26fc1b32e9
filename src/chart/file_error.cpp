#include "chart/file_error.h"

#include <system_error>

namespace pavaneflow {

FileError FileError::FromErrno(std::filesystem::path path, int error) {
  // std::generic_category gives the C library's English text, not the user's locale.
  return FileError(std::move(path), std::generic_category().message(error));
}

}  // namespace pavaneflow
