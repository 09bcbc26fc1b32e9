#include "motion/pad/pad_geometry.h"

#include <bit>
#include <cstdint>
#include <numbers>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "chart/score.h"
#include "motion/classic/crouch_height.h"
#include "motion/pad/facing_angle.h"
#include "motion/pad/motion_constants.h"

namespace pavaneflow {
namespace {

constexpr double kPiD = std::numbers::pi;

GenerationRequest RequestFor(const Score& score, std::int32_t player) {
  GenerationRequest request;
  request.score = &score;
  request.player = player;
  return request;
}

TEST(ArrowPosition, EveryCodeForEveryModeAndPlayer) {
  struct Case {
    ChartMode mode;
    std::int32_t player;
    ArrowCode code;
    FloorPoint expected;
  };
  const Case cases[] = {
      {kSingle, 0, u'0', {-4, 0}},     {kSingle, 0, u'1', {0, -4}},
      {kSingle, 0, u'2', {0, 4}},      {kSingle, 0, u'3', {4, 0}},
      {kSingle, 0, u'\u0040', {0, 0}}, {kSingle, 0, u'C', {0, 0}},
      {kDouble, 0, u'0', {-10, 0}},    {kDouble, 0, u'1', {-6, -4}},
      {kDouble, 0, u'2', {-6, 4}},     {kDouble, 0, u'3', {-2, 0}},
      {kDouble, 0, u'\u0040', {2, 0}}, {kDouble, 0, u'A', {6, -4}},
      {kDouble, 0, u'B', {6, 4}},      {kDouble, 0, u'C', {10, 0}},
      {kDouble, 0, u'4', {-6, 0}},     {kDouble, 0, u'?', {-6, 0}},
      {kDouble, 0, u'D', {6, 0}},      {kDouble, 0, u'\uFFFF', {6, 0}},
      {kCouple, 0, u'0', {-10, 0}},    {kCouple, 0, u'1', {-6, -4}},
      {kCouple, 0, u'2', {-6, 4}},     {kCouple, 0, u'3', {-2, 0}},
      {kCouple, 0, u'B', {-6, 0}},     {kCouple, 1, u'0', {2, 0}},
      {kCouple, 1, u'1', {6, -4}},     {kCouple, 1, u'2', {6, 4}},
      {kCouple, 1, u'3', {10, 0}},     {kCouple, 1, u'\u0040', {6, 0}},
      {kSingle, 1, u'0', {-4, 0}},     {7, 0, u'3', {4, 0}},
  };
  for (const Case& c : cases) {
    Score score;
    score.mode = c.mode;
    EXPECT_EQ(ArrowPosition(RequestFor(score, c.player), c.code), c.expected)
        << "mode " << c.mode << " player " << c.player << " code " << int{c.code};
  }
}

TEST(StartPose, StandsOnTheStartingArrowsOfEachMode) {
  struct Case {
    ChartMode mode;
    std::int32_t player;
    ArrowCode left;
    ArrowCode right;
    FloorPoint leftFoot;
    FloorPoint rightFoot;
    FloorPoint centre;
  };
  const Case cases[] = {
      {kSingle, 0, u'0', u'3', {-4.9f, 0}, {4.9f, 0}, {0, 0}},
      {kDouble, 0, u'3', u'\u0040', {-2.9f, 0}, {2.9f, 0}, {0, 0}},
      {kCouple, 0, u'0', u'3', {-10.9f, 0}, {-1.1f, 0}, {-6, 0}},
      {kCouple, 1, u'0', u'3', {1.1f, 0}, {10.9f, 0}, {6, 0}},
  };
  for (const Case& c : cases) {
    Score score;
    score.mode = c.mode;
    StepPose pose(0, true);
    StartPose(RequestFor(score, c.player), pose);
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " player " << c.player);
    EXPECT_EQ(pose.left.arrow, c.left);
    EXPECT_EQ(pose.right.arrow, c.right);
    EXPECT_EQ(pose.left.position, c.leftFoot);
    EXPECT_EQ(pose.right.position, c.rightFoot);
    EXPECT_EQ(pose.centre, c.centre);
    EXPECT_EQ(pose.facing, kPi);
    // Everything but the feet keeps its creation value.
    EXPECT_EQ(pose.frameNumber, 0);
    EXPECT_TRUE(pose.onBeat);
    EXPECT_FALSE(pose.leftNext);
    EXPECT_FALSE(pose.left.held || pose.left.moved || pose.right.held || pose.right.moved);
    EXPECT_EQ(pose.centreFrame, nullptr);
  }
}

TEST(FacingAngle, FollowsTheLineFromLeftFootToRightFoot) {
  struct Case {
    FloorPoint left;
    FloorPoint right;
    double expected;  // radians
  };
  const Case cases[] = {
      {{-4, 0}, {4, 0}, kPiD},         {{4, 0}, {-4, 0}, 2 * kPiD},
      {{0, -4}, {0, 4}, kPiD / 2},     {{0, 4}, {0, -4}, 3 * kPiD / 2},
      {{-4, 0}, {0, 4}, 3 * kPiD / 4}, {{-4, 0}, {0, -4}, 5 * kPiD / 4},
      {{4, 0}, {0, 4}, 9 * kPiD / 4},  {{2, 3}, {2, 3}, 3 * kPiD / 2},
      {{-10, 0}, {10, 0}, kPiD},       {{10, 0}, {-10, 0}, 2 * kPiD},
  };
  for (const Case& c : cases) {
    EXPECT_FLOAT_EQ(FacingAngle(c.left, c.right), static_cast<float>(c.expected))
        << "left (" << c.left.x << ", " << c.left.z << ") right (" << c.right.x << ", " << c.right.z
        << ")";
  }
  // Equal x uses the single-precision constants themselves.
  EXPECT_EQ(FacingAngle({0, -4}, {0, 4}), kHalfPi);
  EXPECT_EQ(FacingAngle({0, 4}, {0, -4}), kThreeHalfPi);
  EXPECT_EQ(FacingAngle({-4, 0}, {4, 0}), kPi);
}

TEST(FacingAngle, ResultDoesNotDependOnTheStancesAskedBefore) {
  // Far more stances than are remembered, asked in two orders on fresh threads: a remembered
  // angle given for the wrong stance would make the two answers differ.
  std::vector<std::pair<FloorPoint, FloorPoint>> stances;
  for (int i = 0; i < 300; ++i) {
    const auto a = static_cast<float>(i % 17) - 8.0f;
    const auto b = static_cast<float>(i % 13) * 0.5f - 3.0f;
    stances.push_back({{a, b}, {b, -a}});
  }
  stances.push_back({{0.0f, 1.0f}, {-0.0f, 2.0f}});
  stances.push_back({{-0.0f, 1.0f}, {0.0f, 2.0f}});
  auto answer = [&stances](bool backwards) {
    std::vector<std::uint32_t> bits(stances.size());
    std::thread([&] {
      for (int round = 0; round < 3; ++round) {
        for (std::size_t k = 0; k < stances.size(); ++k) {
          const std::size_t i = backwards ? stances.size() - 1 - k : k;
          bits[i] = std::bit_cast<std::uint32_t>(FacingAngle(stances[i].first, stances[i].second));
        }
      }
    }).join();
    return bits;
  };
  EXPECT_EQ(answer(false), answer(true));
}

TEST(CrouchHeight, SinksOnlyBeyondSixUnitsBetweenTheStoredFeet) {
  struct Case {
    FloorPoint left;
    FloorPoint right;
    float expected;
  };
  const Case cases[] = {
      {{-4.9f, 0}, {4.9f, 0}, -0.76f},  // SINGLE starting pose
      {{-2.9f, 0}, {2.9f, 0}, 0.0f},    // DOUBLE starting pose
      {{-3, 0}, {3, 0}, 0.0f},         {{0, -3}, {0, 3}, 0.0f},
      {{-4, 0}, {4, 0}, -0.4f},        {{0, 0}, {6, 8}, -0.8f},
  };
  for (const Case& c : cases) {
    StepPose pose;
    pose.left.position = c.left;
    pose.right.position = c.right;
    EXPECT_FLOAT_EQ(CrouchHeight(pose), c.expected) << c.left.x << " " << c.right.x;
    EXPECT_LE(CrouchHeight(pose), 0.0f);
  }
}

}  // namespace
}  // namespace pavaneflow
