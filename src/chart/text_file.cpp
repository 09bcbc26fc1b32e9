#include "chart/text_file.h"

#include <cerrno>

#include "base/file_error.h"

namespace pavaneflow {

TextFile::TextFile(const std::filesystem::path& path, bool utf8)
    : DecodingLineSource(utf8), path_(path) {
  errno = 0;
  file_.reset(std::fopen(path.c_str(), "rb"));
  if (!file_) throw FileError::FromErrno(path_, errno);
  // Reads come in large chunks already; a second buffer would only copy.
  std::setvbuf(file_.get(), nullptr, _IONBF, 0);
}

std::size_t TextFile::ReadBytes(char* buffer, std::size_t size) {
  errno = 0;
  const std::size_t count = std::fread(buffer, 1, size, file_.get());
  if (count < size && std::ferror(file_.get())) {
    const int error = errno;
    throw FileError::FromErrno(path_, error != 0 ? error : EIO);
  }
  return count;
}

}  // namespace pavaneflow
