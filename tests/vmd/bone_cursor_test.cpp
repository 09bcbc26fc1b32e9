#include "vmd/bone_cursor.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string_view>

#include "motion/classic/jump_interpolation.h"

namespace pavaneflow {
namespace {

constexpr InterpolationBytes kEaseIn = [] {
  InterpolationBytes bytes{};
  for (std::size_t c = 0; c < 4; ++c) {
    bytes[c] = 127;
    bytes[8 + c] = 127;
    bytes[12 + c] = 127;
  }
  return bytes;
}();

// A cursor walking the frames gives what a track searching for each one gives: the same curves,
// the last of several keys on one frame, holding before the first key and after the last,
// stretches too long for a table, and frames asked for again out of order. Positions to the
// bit; rotations, blended the same way but worked out differently, far below a float's
// precision.
TEST(BoneCursor, SamplesAsTheTrackDoes) {
  MotionDocument document;
  struct Key {
    std::u16string_view bone;
    std::int32_t frame;
    float x;
    float yaw;  // the rotation's y
    const InterpolationBytes* curves;
  };
  const Key keys[] = {
      {u"a", 3, 1.0f, 0.0f, &kDefaultInterpolation},
      {u"b", 3, 5.0f, 0.3f, &kEaseIn},
      {u"a", 10, 4.0f, 0.5f, &kEaseIn},
      {u"a", 10, 6.0f, 0.7f, &kJumpInterpolation},
      {u"b", 12, -2.0f, -0.6f, &kJumpInterpolation},
      {u"a", 17, 2.0f, 0.9f, &kEaseIn},
      {u"a", 2000, -3.0f, -0.9f, &kEaseIn},
      {u"b", 2100, 0.0f, 0.0f, &kEaseIn},
  };
  for (const Key& k : keys) {
    MotionFrame* frame = document.InsertFrame(k.bone, k.frame);
    frame->position = {k.x, k.x * 0.5f, -k.x};
    const float w = std::sqrt(1.0f - k.yaw * k.yaw);
    frame->rotation = {0.0f, k.yaw, 0.0f, w};
    frame->interpolation = k.curves;
  }
  constexpr std::u16string_view bones[] = {u"a", u"b", u"none"};
  std::vector<BoneCursor> cursors = BoneCursor::ForBones(document, bones);
  ASSERT_EQ(cursors.size(), 3u);
  EXPECT_EQ(cursors[0].LastFrame(), 2000);
  EXPECT_EQ(cursors[2].LastFrame(), 0);
  std::vector<std::int32_t> frames;
  for (std::int32_t f = 0; f <= 2200; ++f) frames.push_back(f);
  for (const std::int32_t f : {15, 11, 2050, 0, 12}) frames.push_back(f);  // going back
  for (std::size_t b = 0; b < 3; ++b) {
    const BoneTrack track = BoneTrack::FromDocument(document, bones[b]);
    for (const std::int32_t f : frames) {
      const BonePose expected = track.At(static_cast<double>(f));
      const BonePose actual = cursors[b].At(f);
      EXPECT_EQ(actual.position, expected.position) << "bone " << b << ", frame " << f;
      for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_NEAR(actual.rotation[i], expected.rotation[i], 1e-8)
            << "bone " << b << ", frame " << f << ", component " << i;
      }
    }
  }
}

}  // namespace
}  // namespace pavaneflow
