#include "motion/classic/emit_pose.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/score.h"
#include "motion/bone_names.h"
#include "motion/pad/motion_constants.h"
#include "motion/pad/pad_geometry.h"
#include "motion/yaw_quaternion.h"

namespace pavaneflow {
namespace {

constexpr double kPiD = std::numbers::pi;

void ExpectYaw(const MotionFrame& frame, double angle) {
  EXPECT_EQ(frame.rotation[0], 0.0f);
  EXPECT_FLOAT_EQ(frame.rotation[1], static_cast<float>(std::sin(angle / 2)));
  EXPECT_EQ(frame.rotation[2], 0.0f);
  EXPECT_FLOAT_EQ(frame.rotation[3], static_cast<float>(std::cos(angle / 2)));
}

TEST(YawQuaternion, TurnsAboutTheVerticalAxis) {
  EXPECT_EQ(YawQuaternion(0.0f), (std::array<float, 4>{0, 0, 0, 1}));
  const auto half = YawQuaternion(kPi);
  EXPECT_EQ(half[1], 1.0f);
  EXPECT_FLOAT_EQ(half[3], -4.37113883e-8f);
  EXPECT_FALSE(std::signbit(half[0]));
  EXPECT_FALSE(std::signbit(half[2]));
}

TEST(YawQuaternion, RemembersNoTurnForAnotherAngle) {
  // Many angles, so that remembered turns share places; each asked several times, interleaved.
  std::vector<float> angles = {0.0f,
                               -0.0f,
                               kPi,
                               kHalfPi,
                               kThreeHalfPi,
                               std::nanf(""),
                               std::numeric_limits<float>::infinity()};
  for (int i = 0; i < 5000; ++i) angles.push_back(static_cast<float>(i) * 0.00125f - 1.0f);
  auto direct = [](float angle) {
    const auto half = static_cast<float>(static_cast<double>(angle) * 0.5);
    return std::array<float, 4>{0.0f, static_cast<float>(std::sin(static_cast<double>(half))), 0.0f,
                                static_cast<float>(std::cos(static_cast<double>(half)))};
  };
  for (int round = 0; round < 3; ++round) {
    for (std::size_t i = 0; i < angles.size(); ++i) {
      const float angle = angles[(i * 7 + static_cast<std::size_t>(round)) % angles.size()];
      const auto expected = direct(angle);
      const auto got = YawQuaternion(angle);
      EXPECT_EQ(std::memcmp(got.data(), expected.data(), sizeof got), 0) << angle;
    }
  }
}

TEST(EmitPose, StartingPoseOfASingleChart) {
  for (const bool twist : {false, true}) {
    SCOPED_TRACE(twist ? "twist" : "no twist");
    Score score;
    GenerationRequest request;
    request.score = &score;
    request.twist = twist;
    StepPose pose(0, true);
    StartPose(request, pose);
    MotionDocument document;
    EmitPose(document, pose, request);

    ASSERT_EQ(document.FrameCount(), twist ? 5u : 3u);
    const auto q = YawQuaternion(kPi);
    const MotionFrame& centre = document.At(0);
    EXPECT_EQ(centre.boneName(), kCentreBone);
    EXPECT_EQ(pose.centreFrame, &centre);
    EXPECT_EQ(centre.position[0], 0.0f);
    EXPECT_FLOAT_EQ(centre.position[1], -1.26f);
    EXPECT_EQ(centre.position[2], 0.0f);
    EXPECT_EQ(document.At(1).boneName(), kLeftFootIkBone);
    EXPECT_EQ(document.At(1).position, (std::array<float, 3>{-4.9f, 0, 0}));
    EXPECT_EQ(document.At(2).boneName(), kRightFootIkBone);
    EXPECT_EQ(document.At(2).position, (std::array<float, 3>{4.9f, 0, 0}));
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(document.At(i).rotation, q);
    if (twist) {
      EXPECT_EQ(document.At(3).boneName(), kUpperBodyBone);
      EXPECT_EQ(document.At(4).boneName(), kNeckBone);
      for (std::size_t i = 3; i < 5; ++i) {
        EXPECT_EQ(document.At(i).position, (std::array<float, 3>{0, 0, 0}));
        EXPECT_EQ(document.At(i).rotation, (std::array<float, 4>{0, 0, 0, 1}));
      }
    }
    for (std::size_t i = 0; i < document.FrameCount(); ++i) {
      EXPECT_EQ(document.At(i).frameNumber(), 0);
      EXPECT_EQ(*document.At(i).interpolation, kDefaultInterpolation);
    }
  }
}

TEST(EmitPose, DipsOnlyOnABeat) {
  StepPose pose(9, false);
  pose.left.position = {-2.9f, 0};
  pose.right.position = {2.9f, 0};
  pose.centre = {0.5f, -1};
  MotionDocument document;
  EmitPose(document, pose, GenerationRequest{});
  EXPECT_EQ(document.At(0).position, (std::array<float, 3>{0.5f, 0, -1}));
  pose.onBeat = true;
  EmitPose(document, pose, GenerationRequest{});
  EXPECT_EQ(document.At(3).position, (std::array<float, 3>{0.5f, -0.5f, -1}));
}

TEST(EmitPose, TwistsOnlyWithinAQuarterTurnOfPi) {
  struct Case {
    float facing;
    bool twisted;
    double yaw;
  };
  const Case cases[] = {
      {kPi, true, 0},
      {kHalfPi, true, kPiD / 4},
      {kThreeHalfPi, true, -kPiD / 4},
      {static_cast<float>(3 * kPiD / 4), true, kPiD / 8},
      {static_cast<float>(5 * kPiD / 4), true, -kPiD / 8},
      {std::nextafter(kThreeHalfPi, 10.0f), false, 0},
      {std::nextafter(kHalfPi, 0.0f), false, 0},
      {static_cast<float>(9 * kPiD / 4), false, 0},
      {static_cast<float>(2 * kPiD), false, 0},
      {std::nanf(""), false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "facing " << c.facing);
    StepPose pose(3, false);
    pose.facing = c.facing;
    GenerationRequest request;
    request.twist = true;
    MotionDocument document;
    EmitPose(document, pose, request);
    ASSERT_EQ(document.FrameCount(), c.twisted ? 5u : 3u);
    if (c.twisted) {
      ExpectYaw(document.At(3), c.yaw);
      EXPECT_EQ(document.At(4).rotation, document.At(3).rotation);
    }
  }
}

TEST(EmitPose, NegativeFrameEmitsNothing) {
  StepPose pose(-1, true);
  MotionDocument document;
  EmitPose(document, pose, GenerationRequest{});
  EXPECT_EQ(document.FrameCount(), 0u);
  EXPECT_EQ(pose.centreFrame, nullptr);
}

}  // namespace
}  // namespace pavaneflow
