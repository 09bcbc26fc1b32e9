#include "motion/classic/emit_in_between.h"

#include <cmath>
#include <limits>
#include <numbers>

#include <gtest/gtest.h>

#include "motion/bone_names.h"
#include "motion/classic/crouch_height.h"
#include "motion/classic/jump_interpolation.h"
#include "motion/pad/motion_constants.h"
#include "motion/yaw_quaternion.h"

namespace pavaneflow {
namespace {

constexpr double kPiD = std::numbers::pi;
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();

// Two poses on the SINGLE pad: left on the left arrow, right on the right one.
StepPose Standing(std::int32_t frame) {
  StepPose pose(frame, false);
  pose.left.position = {-4.9f, 0};
  pose.right.position = {4.9f, 0};
  pose.facing = kPi;
  return pose;
}

TEST(EmitInBetween, WritesHalfwayBackToThePreviousPose) {
  struct Case {
    std::int32_t previous;
    std::int32_t current;
    std::int32_t mid;  // -1: nothing written
  };
  const Case cases[] = {
      {10, 15, 12},
      {10, 11, 10},
      {-3, 2, 0},
      {-5, 2, -1},
      {kIntMin, kIntMin, -1},
      {kIntMax, kIntMax, kIntMax},
      {kIntMin, kIntMax, 0},
      {4, 4, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.previous << " to " << c.current);
    MotionDocument document;
    EmitInBetween(document, Standing(c.current), Standing(c.previous));
    if (c.mid < 0) {
      EXPECT_EQ(document.FrameCount(), 0u);
      continue;
    }
    ASSERT_EQ(document.FrameCount(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(document.At(i).frameNumber(), c.mid);
  }
}

TEST(EmitInBetween, JumpHeightGrowsWithTheFramesBetween) {
  struct Case {
    std::int32_t frames;
    float height;
  };
  const Case cases[] = {
      {0, 0.7f},  {3, 0.7f},  {4, 0.80000007f}, {5, 1.0f},   {6, 1.2f},
      {10, 2.0f}, {15, 3.0f}, {40, 3.0f},       {-30, 0.7f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.frames << " frames");
    MotionDocument document;
    StepPose previous = Standing(100);
    MotionFrame* previousCentre = document.InsertFrame(kCentreBone, 100);
    previous.centreFrame = previousCentre;
    StepPose current = Standing(100 + c.frames);
    current.left.moved = current.right.moved = true;
    EmitInBetween(document, current, previous);
    // A jump writes only the centre, with the jump interpolation on both centre key frames.
    ASSERT_EQ(document.FrameCount(), 2u);
    const MotionFrame& centre = document.At(c.frames < 0 ? 0 : 1);
    EXPECT_EQ(centre.boneName(), kCentreBone);
    EXPECT_EQ(centre.position[1], c.height);
    EXPECT_EQ(*centre.interpolation, kJumpInterpolation);
    EXPECT_EQ(*previousCentre->interpolation, kJumpInterpolation);
  }
}

TEST(EmitInBetween, JumpAfterAPoseWithoutCentreKeyFrame) {
  MotionDocument document;
  StepPose current = Standing(4);
  current.left.moved = current.right.moved = true;
  EmitInBetween(document, current, Standing(-2));
  ASSERT_EQ(document.FrameCount(), 1u);
  EXPECT_EQ(*document.At(0).interpolation, kJumpInterpolation);
}

TEST(EmitInBetween, JumpInterpolationBytes) {
  // Rows two and three are row one shifted; row four is its own.
  for (std::size_t i = 0; i < 15; ++i)
    EXPECT_EQ(kJumpInterpolation[16 + i], kJumpInterpolation[i + 1]);
  for (std::size_t i = 0; i < 14; ++i)
    EXPECT_EQ(kJumpInterpolation[32 + i], kJumpInterpolation[i + 2]);
  EXPECT_EQ(kJumpInterpolation[31], 0x01);
  EXPECT_EQ(kJumpInterpolation[47], 0x00);
  const std::uint8_t lastRow[16] = {0x14, 0x14, 0x00, 0x14, 0x14, 0x6B, 0x40, 0x6B,
                                    0x6B, 0x6B, 0x6B, 0x7F, 0x6B, 0x6B, 0x01, 0x00};
  for (std::size_t i = 0; i < 16; ++i) EXPECT_EQ(kJumpInterpolation[48 + i], lastRow[i]);
}

TEST(EmitInBetween, AveragesFacingsTheShortWayRound) {
  struct Case {
    double previous;
    double current;
    double mid;
  };
  const Case cases[] = {
      {9 * kPiD / 4, 3 * kPiD / 4, kPiD / 2},  // previous lowered by 2π
      {3 * kPiD / 4, 9 * kPiD / 4, kPiD / 2},  // current lowered by 2π
      {kPiD, 5 * kPiD / 4, 9 * kPiD / 8},
      {kPiD / 2, 3 * kPiD / 2, kPiD},  // exactly π apart: no wrap
      {2 * kPiD, kPiD, 3 * kPiD / 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.previous << " to " << c.current);
    StepPose previous = Standing(0);
    previous.facing = static_cast<float>(c.previous);
    StepPose current = Standing(10);
    current.facing = static_cast<float>(c.current);
    MotionDocument document;
    EmitInBetween(document, current, previous);
    ASSERT_EQ(document.FrameCount(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_NEAR(document.At(i).rotation[1], std::sin(c.mid / 2), 1e-6);
      EXPECT_NEAR(document.At(i).rotation[3], std::cos(c.mid / 2), 1e-6);
    }
  }
}

TEST(EmitInBetween, LeansOverTheStandingFootAndLiftsTheMovingOne) {
  struct Case {
    const char* name;
    bool leftMoved;
    bool rightMoved;
    std::int32_t frames;
    float cx;
    float cz;
    float leftY;
    float rightY;
  };
  // From the SINGLE start to left on the left arrow, right on the down arrow (centre (-2, -2)),
  // or with the feet swapped round for a left step onto the up arrow (centre (2, 2)).
  const Case cases[] = {
      {"right foot steps, full factor", false, true, 30, -3.1f, 0.0f, 0, 2},
      {"right foot steps, factor 0", false, true, 0, -1.0f, -1.0f, 0, 2},
      {"right foot steps, factor 1/3", false, true, 5, -1.7f, -0.6666667f, 0, 2},
      {"left foot steps, full factor", true, false, 15, 3.1f, 0.0f, 2, 0},
      {"neither moved", false, false, 15, -1.0f, -1.0f, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StepPose previous = Standing(0);
    StepPose current(c.frames, false);
    if (c.leftMoved) {
      current.left.position = {-0.9f, 4};
      current.right.position = {4.9f, 0};
      current.centre = {2, 2};
    } else {
      current.left.position = {-4.9f, 0};
      current.right.position = {0.9f, -4};
      current.centre = {-2, -2};
    }
    current.left.moved = c.leftMoved;
    current.right.moved = c.rightMoved;
    MotionDocument document;
    EmitInBetween(document, current, previous);
    ASSERT_EQ(document.FrameCount(), 3u);
    const MotionFrame& centre = document.At(0);
    EXPECT_FLOAT_EQ(centre.position[0], c.cx);
    EXPECT_EQ(centre.position[1], CrouchHeight(current));
    EXPECT_FLOAT_EQ(centre.position[2], c.cz);
    EXPECT_EQ(document.At(1).boneName(), kLeftFootIkBone);
    EXPECT_EQ(document.At(1).position[1], c.leftY);
    EXPECT_EQ(document.At(2).boneName(), kRightFootIkBone);
    EXPECT_EQ(document.At(2).position[1], c.rightY);
    EXPECT_EQ(*document.At(1).interpolation, kDefaultInterpolation);
  }
}

}  // namespace
}  // namespace pavaneflow
