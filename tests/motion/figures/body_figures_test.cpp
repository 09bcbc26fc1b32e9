#include "motion/figures/body_figures.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "motion/rotation.h"
#include "motion/yaw_quaternion.h"

namespace pavaneflow {
namespace {

BoneKey Key(std::int32_t frame, std::array<float, 3> position,
            std::array<float, 4> rotation = {0.0f, 0.0f, 0.0f, 1.0f}) {
  return {frame, position, rotation, {}};
}

// The body standing at rest, feet flat, from frame 0 to 60, as `change` alters it.
BodyTracks Standing() {
  BodyTracks tracks;
  tracks.centre = BoneTrack({Key(0, {0, -0.2f, 0}), Key(60, {0, -0.2f, 0})});
  tracks.leftFootIk = BoneTrack({Key(0, {0, 0, 0}), Key(60, {0, 0, 0})});
  tracks.rightFootIk = BoneTrack({Key(0, {0, 0, 0}), Key(60, {0, 0, 0})});
  return tracks;
}

// The left foot stepping on the spot every 10 frames: up 1 at 5, 15, ..., down at 10, 20, ....
BoneTrack SteppingOnTheSpot() {
  std::vector<BoneKey> keys;
  for (std::int32_t f = 0; f <= 60; f += 5)
    keys.push_back(Key(f, {0, f % 10 == 0 ? 0.0f : 1.0f, 0}));
  return BoneTrack(keys);
}

TEST(MeasureBody, CountsEachFigureFromThePosedBody) {
  struct Case {
    std::string name;
    void (*change)(BodyTracks&);
    BodyFigures expected;
  };
  BodyFigures still;
  still.frames = 61;
  still.plantedFootFrames = 120;  // frames 1 to 60, both feet
  const Case cases[] = {
      {"standing still", [](BodyTracks&) {}, still},
      {"turned to the screen",
       [](BodyTracks& t) {
         t.centre = BoneTrack({Key(0, {0, -0.2f, 0}, YawQuaternion(3.14159265f)),
                               Key(60, {0, -0.2f, 0}, YawQuaternion(3.14159265f))});
       },
       [] {
         BodyFigures f;
         f.frames = 61;
         f.plantedFootFrames = 120;
         f.hipsAwayFromViewerFrames = 61;
         f.headFromViewerP95 = 180.0;
         return f;
       }()},
      {"raised: straight legs in the air",
       [](BodyTracks& t) {
         t.centre = BoneTrack({Key(0, {0, 1, 0}), Key(60, {0, 1, 0})});
       },
       [] {
         BodyFigures f;
         f.frames = 61;
         f.airborneLegFrames = 122;
         f.straightAirborneLegFrames = 122;
         f.longestAirborneSeconds = 61.0 / 30.0;
         return f;
       }()},
      {"a foot beyond reach",
       [](BodyTracks& t) {
         t.leftFootIk = BoneTrack({Key(0, {12, 0, 0}), Key(60, {12, 0, 0})});
       },
       [] {
         BodyFigures f;
         f.frames = 61;
         f.plantedFootFrames = 120;
         f.plantedMisses = 60;
         return f;
       }()},
      {"a quarter turn from one frame to the next",
       [](BodyTracks& t) {
         t.centre =
             BoneTrack({Key(0, {0, -0.2f, 0}), Key(1, {0, -0.2f, 0}, YawQuaternion(1.5707964f)),
                        Key(60, {0, -0.2f, 0}, YawQuaternion(1.5707964f))});
       },
       [] {
         BodyFigures f;
         f.frames = 61;
         f.plantedFootFrames = 120;
         f.largestYawStep = 90.0;
         f.headFromViewerP95 = 90.0;
         return f;
       }()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BodyTracks tracks = Standing();
    c.change(tracks);
    const BodyFigures f = MeasureBody(tracks);
    const BodyFigures& e = c.expected;
    EXPECT_EQ(f.frames, e.frames);
    EXPECT_EQ(f.plantedFootFrames, e.plantedFootFrames);
    EXPECT_EQ(f.plantedMisses, e.plantedMisses);
    EXPECT_NEAR(f.largestPlantedSlide, e.largestPlantedSlide, 1e-6);
    EXPECT_EQ(f.landings, e.landings);
    EXPECT_EQ(f.airborneLegFrames, e.airborneLegFrames);
    EXPECT_EQ(f.straightAirborneLegFrames, e.straightAirborneLegFrames);
    EXPECT_NEAR(f.longestAirborneSeconds, e.longestAirborneSeconds, 1e-9);
    EXPECT_EQ(f.hipsAwayFromViewerFrames, e.hipsAwayFromViewerFrames);
    EXPECT_NEAR(f.largestYawStep, e.largestYawStep, 1e-3);
    EXPECT_NEAR(f.headFromViewerP95, e.headFromViewerP95, 1e-3);
    EXPECT_EQ(f.leftArmLeastSwing, -1.0);
  }
}

TEST(MeasureBody, TimesEachLandingAndTheArmsSwingBetweenThem) {
  BodyTracks tracks = Standing();
  tracks.leftFootIk = SteppingOnTheSpot();
  // Every 15 frames the left arm swings 10° forwards and back, the right one 10° outwards and in:
  // a swing that keeps the arm's forward angle still is a swing all the same.
  auto swinging = [](Vec3 axis) {
    const Quaternion one = AxisAngle(axis, 10.0 * kDegree);
    const Quaternion other = AxisAngle(axis, -10.0 * kDegree);
    std::vector<BoneKey> arm;
    for (std::int32_t f = 0; f <= 60; f += 15)
      arm.push_back(Key(f, {0, 0, 0}, ToFloats(f % 30 == 0 ? one : other)));
    return BoneTrack(arm);
  };
  tracks.leftArm = swinging({1, 0, 0});
  tracks.rightArm = swinging({0, 0, 1});

  const BodyFigures f = MeasureBody(tracks);
  EXPECT_EQ(f.landings, 6);
  // Straight down from 1 in 5 frames: 0.2 a frame into each landing.
  EXPECT_NEAR(f.landingSpeedP95, 0.2, 1e-6);
  // A 20° turn about the left-right axis of an arm 40° below horizontal.
  const double drop = 40.0 * kDegree;
  const double swing = std::acos(std::cos(drop) * std::cos(drop) +
                                 std::sin(drop) * std::sin(drop) * std::cos(20.0 * kDegree)) /
                       kDegree;
  EXPECT_NEAR(f.leftArmLeastSwing, swing, 1e-3);
  // About the forward axis, to which the arm is square.
  EXPECT_NEAR(f.rightArmLeastSwing, 20.0, 1e-3);

  tracks.rightArm = BoneTrack();
  EXPECT_NEAR(MeasureBody(tracks).rightArmLeastSwing, 0.0, 1e-9);
}

}  // namespace
}  // namespace pavaneflow
