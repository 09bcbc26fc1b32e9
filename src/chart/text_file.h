#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>

#include "chart/decoding_line_source.h"

namespace pavaneflow {

// A text file opened for reading, line by line (see DecodingLineSource for the decoding and
// line rules). Closed when destroyed.
class TextFile : public DecodingLineSource {
 public:
  // Opens `path`; throws FileError with the path and the reason when it cannot be opened.
  explicit TextFile(const std::filesystem::path& path, bool utf8 = true);

 protected:
  std::size_t ReadBytes(char* buffer, std::size_t size) override;

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  std::filesystem::path path_;
  std::unique_ptr<std::FILE, Closer> file_;
};

}  // namespace pavaneflow
