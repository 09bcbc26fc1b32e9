#include "base/memory_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
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

TEST(MemoryFile, ExtendedRoomIsFilledInAnyOrder) {
  const std::vector<std::uint8_t> head{1, 2};
  const std::vector<std::uint8_t> piece{5, 6};
  MemoryFile file;
  file.Write(head.data(), head.size());
  file.Extend(4);
  file.Write(head.data(), 1);
  file.WriteAt(4, piece.data(), piece.size());
  file.WriteAt(2, head.data(), head.size());
  // Past the end, or overflowing the offset: refused, nothing written.
  EXPECT_THROW(file.WriteAt(6, piece.data(), piece.size()), std::logic_error);
  EXPECT_THROW(file.WriteAt(~std::uint64_t{0}, piece.data(), piece.size()), std::logic_error);
  file.Commit();
  EXPECT_EQ(file.Bytes(), (std::vector<std::uint8_t>{1, 2, 1, 2, 5, 6, 1}));
}

}  // namespace
}  // namespace pavaneflow
