// FillBeats moves a Lane's Frames into fresh blocks with the beats between them; the result must
// not depend on where the block boundaries fall.

#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>
#include <string>

#include "chart/score.h"
#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

TEST(FillBeats, MergeIsTheSameWhereverBlocksEnd) {
  struct Case {
    std::initializer_list<Tick> ticks;  // Frames with a tap, in order
    Tick end;
    const char* lane;
  };
  const Case cases[] = {
      {{}, 97, "0: 48: 96:"},
      {{0, 48}, 97, "0:1 48:1 96:"},
      {{12, 60}, 100, "0: 12:1 48: 60:1 96:"},
      {{47, 49, 95}, 96, "0: 47:1 48: 49:1 95:1"},
      // Frames past the end tick keep their place behind the last beat.
      {{200, 300}, 50, "0: 48: 200:1 300:1"},
      {{-24, 24}, 49, "-24:1 0: 24:1 48:"},
  };
  // Frames far before tick 0 push the case's Frames to the end of a block or a group of blocks,
  // or just past it.
  constexpr std::size_t kBlock = FrameList::kBlockFrames;
  for (const Case& c : cases) {
    for (std::size_t earlier : {std::size_t{0}, kBlock - 1, kBlock, 3 * kBlock - 2,
                                kBlock * FrameList::kGroupBlocks - 1}) {
      SCOPED_TRACE(std::string(c.lane) + ", after " + std::to_string(earlier) + " Frames");
      Score score;
      Lane* lane = score.GetLane(0);
      std::string expected;
      for (std::size_t i = 0; i < earlier; ++i) {
        const Tick tick = -1000000 + static_cast<Tick>(i);
        lane->frames.emplace_back(tick);
        expected += std::to_string(tick) + ": ";
      }
      for (Tick t : c.ticks) lane->GetFrame(t)->AddNotes(u"1");
      score.FillBeats(0, c.end);
      EXPECT_EQ(test::LaneText(*lane), expected + c.lane);
      EXPECT_EQ(lane->frames.size(),
                static_cast<std::size_t>(std::distance(lane->frames.begin(), lane->frames.end())));
    }
  }
}

}  // namespace
}  // namespace pavaneflow
