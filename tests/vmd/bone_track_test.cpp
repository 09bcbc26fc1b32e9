#include "vmd/bone_track.h"

#include <gtest/gtest.h>

#include <cmath>

#include "motion/classic/jump_interpolation.h"
#include "vmd/bezier_curve.h"

namespace pavaneflow {
namespace {

// The same curve on all four channels.
InterpolationBytes AllChannels(std::uint8_t x1, std::uint8_t y1, std::uint8_t x2, std::uint8_t y2) {
  InterpolationBytes bytes{};
  for (std::size_t c = 0; c < 4; ++c) {
    bytes[c] = x1;
    bytes[4 + c] = y1;
    bytes[8 + c] = x2;
    bytes[12 + c] = y2;
  }
  return bytes;
}

struct CurveCase {
  const char* label;
  BezierCurve curve;
  double x;
  double progress;
};

// Worked by hand from the control points: for the ease-in (1, 0), (1, 1) the curve's x is
// 1 - (1 - t)^3 and its y 3t^2 - 2t^3; the jump curve's height at t = 0.5 is 0.5 where x is
// 0.75 * 64/127 + 0.125.
TEST(BezierCurve, FollowsHandComputedCurves) {
  const BezierCurve linearZero(0, 0, 0, 0);
  const BezierCurve linear(20, 20, 107, 107);
  const BezierCurve easeIn(127, 0, 127, 127);
  const BezierCurve jump(64, 0, 64, 127);
  const CurveCase cases[] = {
      {"default curve is straight", linearZero, 0.3, 0.3},
      {"diagonal points are straight", linear, 0.77, 0.77},
      {"ease-in, t = 0.5", easeIn, 0.875, 0.5},
      {"ease-in, t = 0.4", easeIn, 0.784, 0.352},
      {"ease-in, t = 0.1", easeIn, 0.271, 0.028},
      {"jump, t = 0.5", jump, 0.75 * 64.0 / 127.0 + 0.125, 0.5},
      {"before the start", easeIn, -0.5, 0.0},
      {"after the end", easeIn, 1.5, 1.0},
      {"bytes above 127 count as 127", BezierCurve(255, 0, 200, 127), 0.875, 0.5},
  };
  for (const auto& c : cases) {
    EXPECT_NEAR(c.curve.Progress(c.x), c.progress, 1e-4) << c.label;
  }
}

TEST(BoneTrack, InterpolatesEachChannelAndHoldsOutsideTheKeys) {
  const BoneTrack track({
      {10, {0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f}, {}},
      // The later key's curve governs the way into it: ease-in on every channel.
      {20, {10.0f, 20.0f, -4.0f}, {0.0f, 1.0f, 0.0f, 0.0f}, AllChannels(127, 0, 127, 127)},
      {40, {10.0f, 0.0f, -4.0f}, {0.0f, 1.0f, 0.0f, 0.0f}, kJumpInterpolation},
  });
  struct Case {
    double frame;
    std::array<double, 3> position;
    double yawHalfAngle;  // of the rotation about y
  };
  const double pi = std::acos(-1.0);
  const Case cases[] = {
      {0.0, {0, 0, 0}, 0.0},            // before the first key: the first key
      {10.0, {0, 0, 0}, 0.0},           // at its own frame
      {18.75, {5, 10, -2}, pi / 4},     // ease-in halfway by value at 87.5 % of the time
      {20.0, {10, 20, -4}, pi / 2},     // at its own frame
      {30.0, {10, 10.04, -4}, pi / 2},  // jump curve: height slightly past halfway at half time
      {40.0, {10, 0, -4}, pi / 2},
      {1e9, {10, 0, -4}, pi / 2},  // after the last key: the last key
  };
  for (const auto& c : cases) {
    const BonePose pose = track.At(c.frame);
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_NEAR(pose.position[i], c.position[i], i == 1 && c.frame == 30.0 ? 0.2 : 1e-3)
          << c.frame << " channel " << i;
    }
    EXPECT_NEAR(pose.rotation[1], std::sin(c.yawHalfAngle), 1e-4) << c.frame;
    EXPECT_NEAR(pose.rotation[3], std::cos(c.yawHalfAngle), 1e-4) << c.frame;
  }
}

TEST(BoneTrack, TurnsTheShorterWayAndTakesTheLastOfEqualKeys) {
  // (0, 0, 0, 1) and (0, 0, 0, -1) are one rotation: nothing turns between them.
  const BoneTrack shorter(
      {{0, {}, {0.0f, 0.0f, 0.0f, 1.0f}, {}}, {10, {}, {0.0f, 0.0f, 0.0f, -1.0f}, {}}});
  const BonePose halfway = shorter.At(5.0);
  EXPECT_NEAR(std::fabs(halfway.rotation[3]), 1.0, 1e-9);

  const BoneTrack equal({{5, {1.0f, 0.0f, 0.0f}, {}, {}},
                         {5, {2.0f, 0.0f, 0.0f}, {}, {}},
                         {0, {0.0f, 0.0f, 0.0f}, {}, {}}});
  EXPECT_EQ(equal.Keys().front().frameNumber, 0);
  EXPECT_DOUBLE_EQ(equal.At(5.0).position[0], 2.0);
  EXPECT_DOUBLE_EQ(equal.At(2.5).position[0], 0.5);  // towards the first of the two
  EXPECT_DOUBLE_EQ(BoneTrack().At(3.0).rotation[3], 1.0);
}

}  // namespace
}  // namespace pavaneflow
