// BlockPool hands out distinct, aligned blocks across chunk boundaries and takes freed ones back
// first.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <set>
#include <utility>
#include <vector>

#include "chart/block_pool.h"

namespace pavaneflow {
namespace {

constexpr std::size_t kBlockBytes = 4096;

// Enough blocks to pass from operator new chunks into the large mapped ones.
constexpr std::size_t kManyBlocks = 3000;

TEST(BlockPool, BlocksAreDistinctAlignedAndKeepTheirBytes) {
  BlockPool pool(kBlockBytes);
  std::vector<unsigned char*> blocks;
  std::set<std::uintptr_t> starts;
  for (std::size_t i = 0; i < kManyBlocks; ++i) {
    auto* block = static_cast<unsigned char*>(pool.Allocate());
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(block) % 16, 0u);
    std::memset(block, static_cast<int>(i % 251), kBlockBytes);
    starts.insert(reinterpret_cast<std::uintptr_t>(block));
    blocks.push_back(block);
  }
  // Distinct starts a whole block apart: no two blocks overlap.
  ASSERT_EQ(starts.size(), kManyBlocks);
  for (auto it = starts.begin(); std::next(it) != starts.end(); ++it) {
    ASSERT_GE(*std::next(it) - *it, kBlockBytes);
  }
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    ASSERT_EQ(blocks[i][0], i % 251);
    ASSERT_EQ(blocks[i][kBlockBytes - 1], i % 251);
  }
}

TEST(BlockPool, FreedBlocksComeBackBeforeNewMemory) {
  struct Case {
    const char* name;
    std::size_t allocated;
    std::vector<std::size_t> freed;  // indexes into the allocated blocks, in order of freeing
  };
  const Case cases[] = {
      {"one", 4, {2}},
      {"several, last freed first back", 20, {0, 19, 7}},
      {"across chunks", kManyBlocks, {0, 15, 16, kManyBlocks - 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BlockPool pool(kBlockBytes);
    std::vector<void*> blocks;
    for (std::size_t i = 0; i < c.allocated; ++i) blocks.push_back(pool.Allocate());
    for (std::size_t i : c.freed) pool.Free(blocks[i]);
    for (auto it = c.freed.rbegin(); it != c.freed.rend(); ++it) {
      EXPECT_EQ(pool.Allocate(), blocks[*it]);
    }
    const void* fresh = pool.Allocate();
    for (void* block : blocks) EXPECT_NE(fresh, block);
  }
}

TEST(BlockPool, MovedAndReleasedPoolsStartAfresh) {
  BlockPool pool(kBlockBytes);
  void* first = pool.Allocate();
  pool.Free(first);
  BlockPool moved(std::move(pool));
  EXPECT_EQ(moved.Allocate(), first);  // the free block moved along
  // The pool moved from and a released one are empty and work as new.
  for (BlockPool* empty : {&pool, &moved}) {
    if (empty == &moved) moved.Release();
    auto* block = static_cast<unsigned char*>(empty->Allocate());
    std::memset(block, 1, kBlockBytes);
    EXPECT_NE(empty->Allocate(), block);
  }
}

TEST(BlockPool, ANewPoolReusesTheChunksOfOneReleasedBefore) {
  void* first;
  {
    BlockPool pool(kBlockBytes);
    first = pool.Allocate();
  }
  BlockPool next(kBlockBytes);
  EXPECT_EQ(next.Allocate(), first);
}

}  // namespace
}  // namespace pavaneflow
