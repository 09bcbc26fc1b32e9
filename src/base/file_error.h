#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace pavaneflow {

// A file could not be opened, read or written. Carries the path and the operating system's
// reason, and its what() is "<path>: <reason>", ready to show to the user.
class FileError : public std::runtime_error {
 public:
  FileError(std::filesystem::path path, std::string reason)
      : std::runtime_error(path.string() + ": " + reason),
        path_(std::move(path)),
        reason_(std::move(reason)) {}

  // The reason for an errno value, in the same words whatever the locale.
  static FileError FromErrno(std::filesystem::path path, int error);

  const std::filesystem::path& path() const { return path_; }
  const std::string& reason() const { return reason_; }

 private:
  std::filesystem::path path_;
  std::string reason_;
};

}  // namespace pavaneflow
