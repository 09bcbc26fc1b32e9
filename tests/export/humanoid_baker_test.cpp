#include "export/humanoid_baker.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <stdexcept>
#include <string>

#include "dance_keys.h"
#include "export/reference_skeleton.h"
#include "humanoid_joints.h"
#include "vmd/bezier_curve.h"

namespace pavaneflow {
namespace {

// Key frames hold 32-bit floats: a millionth of a unit (0.08 µm) is exact here.
constexpr double kExact = 1e-6;
const Vec3 kFront{0.0, 0.0, -1.0};

void ExpectAt(Vec3 actual, Vec3 expected, double tolerance = kExact) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

PosedFigure Bake(const MotionDocument& dance, std::int32_t frame,
                 const HumanoidSkeleton& skeleton = ReferenceSkeleton()) {
  HumanoidBaker baker(dance, skeleton, kReferenceBody);
  return Pose(baker.Rest(), baker.Pose(frame));
}

// The figure in a dance of one frame: the centre moved and turned, the left foot IK bone moved.
PosedFigure Stance(Vec3 centre, double yawDegrees, Vec3 leftFoot) {
  MotionDocument dance;
  AddKeys(dance, std::array<DanceKey, 2>{
                     {{kCentreBone, 0, centre, Yaw(yawDegrees)}, {kLeftFootIkBone, 0, leftFoot}}});
  return Bake(dance, 0);
}

TEST(HumanoidBaker, SolvesEachLegSoThatItsAnkleReachesTheFootTarget) {
  struct Case {
    std::string name;
    Vec3 centre;
    double yaw;
    Vec3 foot;  // the left foot IK bone's move
  };
  const Case cases[] = {
      {"standing at rest", {}, 0.0, {}},
      {"crouching", {0.0, -2.0, 0.0}, 0.0, {}},
      {"stepping forward and out", {0.0, -1.0, -1.0}, 0.0, {0.5, 0.0, -3.0}},
      {"foot lifted behind", {0.0, -0.5, 0.0}, 0.0, {0.0, 3.0, 2.0}},
      {"turned to the side", {0.3, -1.5, 0.0}, 90.0, {1.0, 0.0, 1.0}},
      {"turned to the screen", {0.0, -1.0, 0.0}, 180.0, {-1.8, 0.0, 0.0}},
  };
  const Vec3 restAnkle{0.9, 1.3, 0.0};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PosedFigure figure = Stance(c.centre, c.yaw, c.foot);
    const Vec3 hip = figure.Joint(HumanoidBone::kLeftUpperLeg);
    const Vec3 knee = figure.Joint(HumanoidBone::kLeftLowerLeg);
    const Vec3 ankle = figure.Joint(HumanoidBone::kLeftFoot);
    ExpectAt(ankle, restAnkle + c.foot);
    // The hip joint turns with the centre, about the centre bone.
    const Vec3 centre{0.0, 8.0, 0.0};
    ExpectAt(hip, centre + c.centre + Rotate(Yaw(c.yaw), Vec3{0.9, 2.5, 0.0}));
    EXPECT_NEAR(Distance(hip, knee), 4.7, kExact);
    EXPECT_NEAR(Distance(knee, ankle), 4.5, kExact);
    // A bent knee points to the body's front.
    const Vec3 front = Rotate(Yaw(c.yaw), kFront);
    if (Distance(hip, ankle) < 9.2 - 1e-6) {
      EXPECT_GT(Dot(knee - 0.5 * (hip + ankle), front), 0.1);
    }
  }
}

TEST(HumanoidBaker, StretchesALegStraightTowardsATargetBeyondReach) {
  const Vec3 foot{0.0, -1.0, -4.0};
  const PosedFigure figure = Stance({0.0, 1.0, 0.0}, 0.0, foot);
  const Vec3 hip = figure.Joint(HumanoidBone::kLeftUpperLeg);
  const Vec3 target = Vec3{0.9, 1.3, 0.0} + foot;
  ExpectAt(figure.Joint(HumanoidBone::kLeftFoot),
           hip + (9.2 / Distance(hip, target)) * (target - hip));
  // Straight: the knee lies on the line.
  EXPECT_NEAR(Distance(hip, figure.Joint(HumanoidBone::kLeftLowerLeg)), 4.7, kExact);
  EXPECT_NEAR(
      Distance(figure.Joint(HumanoidBone::kLeftLowerLeg), figure.Joint(HumanoidBone::kLeftFoot)),
      4.5, kExact);
}

TEST(HumanoidBaker, KeepsTheFeetLevelUnlessTheDanceTiltsThem) {
  struct Case {
    std::string name;
    Quaternion foot;  // the left foot IK bone's rotation
  };
  const Case cases[] = {
      {"level", {0.0, 0.0, 0.0, 1.0}},
      {"turned out", Yaw(30.0)},
      {"tilted onto the toes", AxisAngle({1.0, 0.0, 0.0}, 0.35)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MotionDocument dance;
    // Crouched and turned, so that the shin is far from upright.
    AddKeys(dance, std::array<DanceKey, 2>{{{kCentreBone, 0, {0.0, -2.5, 0.0}, Yaw(50.0)},
                                            {kLeftFootIkBone, 0, {0.0, 0.0, -1.0}, c.foot}}});
    const PosedFigure figure = Bake(dance, 0);
    const Vec3 toes = figure.Joint(HumanoidBone::kLeftToes) - figure.Joint(HumanoidBone::kLeftFoot);
    ExpectAt(toes, Rotate(c.foot, Vec3{0.0, 0.15 - 1.3, -1.5}));
  }
}

TEST(HumanoidBaker, SamplesEachAxisOnTheCurveOfTheLaterKeyFrame) {
  // X and the rotation ease in (at 7/8 of the time they are halfway), Y and Z run straight.
  static constexpr InterpolationBytes kEaseInXAndTurn = [] {
    InterpolationBytes bytes{};
    for (const std::size_t c : {0u, 3u}) {
      bytes[c] = 127;
      bytes[4 + c] = 0;
      bytes[8 + c] = 127;
      bytes[12 + c] = 127;
    }
    return bytes;
  }();
  ASSERT_NEAR(BezierCurve(127, 0, 127, 127).Progress(0.875), 0.5, 1e-4);
  MotionDocument dance;
  AddKeys(dance, std::array<DanceKey, 2>{
                     {{kCentreBone, 0, {0.0, 0.0, 0.0}, Yaw(0.0)},
                      {kCentreBone, 8, {2.0, -4.0, 1.5}, Yaw(90.0), &kEaseInXAndTurn}}});
  HumanoidBaker baker(dance, ReferenceSkeleton(), kReferenceBody);
  const HumanoidPose pose = baker.Pose(7);
  const double half = BezierCurve(127, 0, 127, 127).Progress(0.875);
  // The hips stand on the centre's turning axis, 3.25 above it.
  ExpectAt(pose.hips, {2.0 * half, 11.25 - 4.0 * 0.875, 1.5 * 0.875});
  const Quaternion turn = pose.Turn(HumanoidBone::kHips);
  const Quaternion expected = Yaw(90.0 * half);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(turn[i], expected[i], kExact);
  // Before the first key frame and after the last the dance holds still.
  EXPECT_EQ(baker.FrameCount(), 9);
  ExpectAt(baker.Pose(8).hips, {2.0, 7.25, 1.5});
}

TEST(HumanoidBaker, TurnsTheArmsFromTheFiguresOwnRestPose) {
  const HumanoidSkeleton skeleton = ReferenceSkeleton();
  const auto rest = [&](HumanoidBone bone) {
    const ModelPoint& p = skeleton.Joint(bone);
    return Vec3{p.x, p.y, p.z};
  };
  // Unkeyed arms hang as the figure's own arms rest, not in the T-pose.
  const PosedFigure still = Bake(MotionDocument(), 0);
  for (const HumanoidBone bone : {HumanoidBone::kLeftLowerArm, HumanoidBone::kLeftHand,
                                  HumanoidBone::kRightLowerArm, HumanoidBone::kRightHand}) {
    ExpectAt(still.Joint(bone), rest(bone));
  }
  // A keyed arm turns from there, after the centre and the upper body.
  const Quaternion arm = AxisAngle({1.0, 0.0, 0.0}, 0.5);
  const Quaternion elbow = AxisAngle({0.0, 1.0, 0.0}, 0.7);
  MotionDocument dance;
  AddKeys(dance, std::array<DanceKey, 4>{{{kCentreBone, 0, {}, Yaw(30.0)},
                                          {kUpperBodyBone, 0, {}, Yaw(-10.0)},
                                          {kRightArmBone, 0, {}, arm},
                                          {kRightElbowBone, 0, {}, elbow}}});
  const PosedFigure figure = Bake(dance, 0);
  const Quaternion body = Compose(Yaw(30.0), Yaw(-10.0));
  const Vec3 shoulder = figure.Joint(HumanoidBone::kRightUpperArm);
  const Vec3 elbowAt =
      shoulder + Rotate(Compose(body, arm),
                        rest(HumanoidBone::kRightLowerArm) - rest(HumanoidBone::kRightUpperArm));
  ExpectAt(figure.Joint(HumanoidBone::kRightLowerArm), elbowAt);
  ExpectAt(figure.Joint(HumanoidBone::kRightHand),
           elbowAt + Rotate(Compose(body, Compose(arm, elbow)),
                            rest(HumanoidBone::kRightHand) - rest(HumanoidBone::kRightLowerArm)));
}

TEST(HumanoidBaker, StandsInTheFiguresRestPoseWithoutKeyFrames) {
  const HumanoidSkeleton skeleton = ReferenceSkeleton();
  const MotionDocument still;
  HumanoidBaker baker(still, skeleton, kReferenceBody);
  EXPECT_EQ(baker.FrameCount(), 1);
  const PosedFigure figure = Pose(baker.Rest(), baker.Pose(0));
  for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
    const ModelPoint& p = skeleton.joints[i];
    SCOPED_TRACE(std::string(kHumanoidBoneNames[i]));
    ExpectAt(figure.joints[i], {p.x, p.y, p.z});
  }
}

TEST(HumanoidBaker, RefusesADanceTooLongToWriteEveryFrameOf) {
  MotionDocument dance;
  AddKeys(dance, std::array<DanceKey, 1>{{{kCentreBone, HumanoidBaker::kMostFrames - 1}}});
  EXPECT_EQ(HumanoidBaker(dance, ReferenceSkeleton(), kReferenceBody).FrameCount(),
            HumanoidBaker::kMostFrames);
  AddKeys(dance, std::array<DanceKey, 1>{{{kCentreBone, HumanoidBaker::kMostFrames}}});
  EXPECT_THROW(HumanoidBaker(dance, ReferenceSkeleton(), kReferenceBody), std::length_error);
}

}  // namespace
}  // namespace pavaneflow
