#include "base/memory_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace pavaneflow {
namespace {

TEST(MemoryFile, HoldsItsBytesOnlyOnceCommitted) {
  const std::vector<std::uint8_t> first{1, 2, 3};
  const std::vector<std::uint8_t> second{4, 5};
  MemoryFile file;
  file.Reserve(5);
  file.Write(first.data(), first.size());
  file.Write(second.data(), 0);
  file.Write(second.data(), second.size());
  // Written, not committed: a reader sees no file yet, as with a file not yet renamed in place.
  EXPECT_TRUE(file.Bytes().empty());
  file.Commit();
  EXPECT_EQ(file.Bytes(), (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace pavaneflow
