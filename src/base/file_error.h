#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace pavaneflow {

// A file could not be opened, read or written. Carries the path and the operating system's
// reason, and its what() is "<path>: <reason>", ready to show to the user.
class FileError : public std::runtime_error {
 public:
  FileError(std::filesystem::path path, std::string reason, int osError = 0)
      : std::runtime_error(path.string() + ": " + reason),
        path_(std::move(path)),
        reason_(std::move(reason)),
        osError_(osError) {}

  // The reason for an errno value, in the same words whatever the locale.
  static FileError FromErrno(std::filesystem::path path, int error);

  const std::filesystem::path& path() const { return path_; }
  const std::string& reason() const { return reason_; }
  // The errno value behind the reason, 0 when there is none: a front end may word it in the
  // user's language.
  int osError() const { return osError_; }

 private:
  std::filesystem::path path_;
  std::string reason_;
  int osError_;
};

}  // namespace pavaneflow
