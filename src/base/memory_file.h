#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/durable_file.h"

namespace pavaneflow {

// A durable file held in memory, where there is no file system to keep it (the web page): the
// bytes written are the file's contents once committed, and none of them before.
class MemoryFile : public DurableFile {
 public:
  void Write(const std::uint8_t* data, std::size_t size) override;
  void Reserve(std::uint64_t size) override;
  void Extend(std::uint64_t size) override;
  void WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t size) override;
  void Commit() override;

  // The committed contents: empty until Commit.
  const std::vector<std::uint8_t>& Bytes() const { return committed_; }

 private:
  std::vector<std::uint8_t> pending_;
  std::vector<std::uint8_t> committed_;
};

}  // namespace pavaneflow
