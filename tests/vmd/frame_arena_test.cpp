#include "vmd/frame_arena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace pavaneflow {
namespace {

TEST(FrameArena, FramesKeepTheirPlaceAndValuesWhileTheArenaGrows) {
  // Counts around the end of the first block and far into the large blocks.
  const std::size_t counts[] = {1, 629, 630, 631, 70'000};
  const std::u16string bones[] = {u"センター", u"首"};
  for (const std::size_t count : counts) {
    FrameArena arena;
    std::vector<MotionFrame*> frames;
    for (std::size_t i = 0; i < count; ++i) {
      MotionFrame* frame = arena.Create(&bones[i % 2], static_cast<std::int32_t>(i));
      frame->position[0] = static_cast<float>(i);
      frames.push_back(frame);
    }
    EXPECT_EQ(std::set<MotionFrame*>(frames.begin(), frames.end()).size(), count) << count;
    for (std::size_t i = 0; i < count; ++i) {
      const MotionFrame& frame = *frames[i];
      EXPECT_EQ(reinterpret_cast<std::uintptr_t>(&frame) % alignof(MotionFrame), 0u);
      EXPECT_EQ(frame.internedBoneName(), &bones[i % 2]);
      EXPECT_EQ(frame.frameNumber(), static_cast<std::int32_t>(i));
      EXPECT_EQ(frame.position[0], static_cast<float>(i));
      EXPECT_EQ(frame.rotation[3], 1.0f);
      EXPECT_EQ(*frame.interpolation, kDefaultInterpolation);
      if (HasFailure()) FAIL() << count << " frames, frame " << i;
    }
  }
}

TEST(FrameArena, DroppedAndClearedFramesMakeRoomForNewOnes) {
  const std::u16string bone = u"首";
  FrameArena arena;
  MotionFrame* first = arena.Create(&bone, 1);
  MotionFrame* dropped = arena.Create(&bone, 2);
  arena.DropLast();
  MotionFrame* again = arena.Create(&bone, 3);
  EXPECT_EQ(again, dropped);
  EXPECT_EQ(again->frameNumber(), 3);
  EXPECT_EQ(first->frameNumber(), 1);

  for (int i = 0; i < 50'000; ++i) arena.Create(&bone, i);
  arena.Clear();
  MotionFrame* fresh = arena.Create(&bone, 7);
  EXPECT_EQ(fresh->frameNumber(), 7);
  EXPECT_EQ(fresh->position[1], 0.0f);
}

}  // namespace
}  // namespace pavaneflow
