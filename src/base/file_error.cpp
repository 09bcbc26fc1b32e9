#include "base/file_error.h"

#include <locale.h>
#include <string.h>

namespace pavaneflow {

FileError FileError::FromErrno(std::filesystem::path path, int error) {
  // strerror (and std::generic_category, which uses it) follows LC_MESSAGES; the "C" locale
  // gives the C library's English text whatever the user's locale.
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  if (cLocale == locale_t{}) {
    return FileError(std::move(path), "error " + std::to_string(error), error);
  }
  return FileError(std::move(path), strerror_l(error, cLocale), error);
}

}  // namespace pavaneflow
