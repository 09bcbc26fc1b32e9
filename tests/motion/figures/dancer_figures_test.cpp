#include "motion/figures/dancer_figures.h"

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "motion/figures/body_figures.h"
#include "motion/rotation.h"

namespace pavaneflow {
namespace {

BoneKey Key(std::int32_t frame, std::array<float, 3> position,
            std::array<float, 4> rotation = {0.0f, 0.0f, 0.0f, 1.0f}) {
  return {frame, position, rotation, {}};
}

BoneTrack Still(std::array<float, 3> position,
                std::array<float, 4> rotation = {0.0f, 0.0f, 0.0f, 1.0f}) {
  return BoneTrack({Key(0, position, rotation), Key(60, position, rotation)});
}

// Standing with the knees a little bent, the feet on the panels either side (4 out), from
// frame 0 to 60, as a case alters it.
BodyTracks Standing() {
  BodyTracks tracks;
  tracks.centre = Still({0, -0.6f, 0});
  tracks.leftFootIk = Still({3.1f, 0, 0});
  tracks.rightFootIk = Still({-3.1f, 0, 0});
  return tracks;
}

std::array<float, 4> Turn(Vec3 axis, double degrees) {
  return ToFloats(AxisAngle(axis, degrees * kDegree));
}

TEST(MeasureDancer, CountsHowHumanTheBodyMoves) {
  struct Case {
    std::string name;
    std::function<void(BodyTracks&)> change;
    std::function<void(const DancerFigures&)> expect;
  };
  const Case cases[] = {
      {"standing still", [](BodyTracks&) {},
       [](const DancerFigures& d) {
         EXPECT_EQ(d.fastestAnkle, 0.0);
         EXPECT_EQ(d.fastestPelvis, 0.0);
         EXPECT_NEAR(d.pelvisDropBothPlanted, 0.6, 1e-6);
         EXPECT_GT(d.kneeBendBothPlanted, 5.0);
         EXPECT_EQ(d.torsoUprightPercent, 100.0);
         EXPECT_EQ(d.feetFusedPercent, 0.0);
         EXPECT_EQ(d.legsThroughPercent, 0.0);
         EXPECT_EQ(d.crossedPercent, 0.0);
         EXPECT_EQ(d.weightTowardsLifted, -1.0);
         EXPECT_EQ(d.armReversalsPerSecond, -1.0);
         EXPECT_FALSE(d.hasBeats);
       }},
      {"the centre rushing 1.5 a frame",
       [](BodyTracks& t) {
         t.centre = BoneTrack({Key(0, {0, -0.6f, 0}), Key(2, {0, -0.6f, 3.0f})});
       },
       [](const DancerFigures& d) {
         EXPECT_NEAR(d.fastestPelvis, 1.5, 0.3);
         EXPECT_NEAR(d.pelvisFastPercent, 100.0 * 2 / 60, 1e-9);
       }},
      {"a foot across the pad in two frames",
       [](BodyTracks& t) {
         t.leftFootIk = BoneTrack(
             {Key(0, {3.1f, 0, 0}), Key(1, {3.1f, 1.0f, -3.0f}), Key(2, {3.1f, 0, -6.0f})});
       },
       [](const DancerFigures& d) {
         EXPECT_GT(d.fastestAnkle, 2.1);
         EXPECT_GT(d.ankleFastPercent, 0.0);
       }},
      {"feet together",
       [](BodyTracks& t) {
         t.leftFootIk = Still({-4.4f, 0, 0});
       },
       [](const DancerFigures& d) { EXPECT_EQ(d.feetFusedPercent, 100.0); }},
      {"legs crossed through each other",
       [](BodyTracks& t) {
         t.leftFootIk = Still({-1.8f, 0, 0});
         t.rightFootIk = Still({1.8f, 0, 0});
       },
       [](const DancerFigures& d) {
         EXPECT_EQ(d.legsThroughPercent, 100.0);
         EXPECT_EQ(d.crossedPercent, 100.0);
         EXPECT_EQ(d.crossedHipsFromViewer, 0.0);
       }},
      {"leaning forwards 10°",
       [](BodyTracks& t) {
         t.upperBody = Still({0, 0, 0}, Turn({1, 0, 0}, -10.0));
       },
       [](const DancerFigures& d) {
         EXPECT_EQ(d.torsoUprightPercent, 0.0);
         EXPECT_NEAR(d.torsoLeanP95, 10.0, 1e-3);
       }},
      {"the weight over the left foot while the right is up",
       [](BodyTracks& t) {
         t.centre = Still({2.0f, -0.6f, 0});
         t.rightFootIk = Still({-3.1f, 1.0f, 0});
       },
       [](const DancerFigures& d) { EXPECT_NEAR(d.weightTowardsLifted, 2.0 / 8.0, 1e-6); }},
      {"nodding and swinging the arms with steps",
       [](BodyTracks& t) {
         std::vector<BoneKey> neck, arm, foot;
         for (std::int32_t f = 0; f <= 60; f += 10) {
           neck.push_back(Key(f, {}, Turn({1, 0, 0}, f % 20 == 0 ? -6.0 : 0.0)));
           arm.push_back(Key(f, {}, Turn({1, 0, 0}, f % 20 == 0 ? 15.0 : -15.0)));
           foot.push_back(Key(f, {-3.1f, 0, 0}));
           if (f < 60) foot.push_back(Key(f + 5, {-3.1f, 1.0f, 0}));
         }
         t.neck = BoneTrack(neck);
         t.leftArm = BoneTrack(arm);
         t.rightFootIk = BoneTrack(foot);
       },
       [](const DancerFigures& d) {
         EXPECT_NEAR(d.headPitchRange, 6.0, 0.5);
         EXPECT_NEAR(d.armReversalsPerSecond, 3.0, 0.5);
         EXPECT_GT(d.fastestArm, 1.0);
         EXPECT_LT(d.fastestArm, 12.0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BodyTracks tracks = Standing();
    c.change(tracks);
    c.expect(MeasureBody(tracks).dancer);
  }
}

TEST(MeasureDancer, BouncesOnTheBeatWhenTheCentreDipsThere) {
  BodyTracks tracks = Standing();
  std::vector<BoneKey> centre;
  for (std::int32_t f = 0; f <= 60; f += 5)
    centre.push_back(Key(f, {0, f % 10 == 0 ? -0.9f : -0.6f, 0}));
  tracks.centre = BoneTrack(centre);
  const std::vector<std::int32_t> beats{0, 10, 20, 30, 40, 50, 60};
  const DancerFigures onBeat = MeasureBody(tracks, kReferenceBody, &beats).dancer;
  EXPECT_TRUE(onBeat.hasBeats);
  EXPECT_NEAR(onBeat.bounce, -0.3, 1e-6);
  const std::vector<std::int32_t> offBeat{5, 15, 25, 35, 45, 55};
  EXPECT_NEAR(MeasureBody(tracks, kReferenceBody, &offBeat).dancer.bounce, 0.3, 1e-6);
}

// Swaying from side to side, the whole body turning back on frames 29.5, 59.5, ...: the joints
// are slowest in the move from frame 29 to 30, which is where the dance's own beats lie.
TEST(MeasureDancer, FindsItsOwnBeatsWhereTheBodyTurnsBack) {
  BodyTracks tracks = Standing();
  std::vector<BoneKey> centre;
  for (std::int32_t f = 0; f <= 240; ++f) {
    const double x = 2.0 * std::cos(3.14159265358979323846 * (f + 0.5) / 30.0);
    centre.push_back(Key(f, {static_cast<float>(x), -0.6f, 0}));
  }
  tracks.centre = BoneTrack(centre);
  const std::vector<std::int32_t> turns{29, 59, 89, 119, 149, 179, 209, 300};
  const DancerFigures onTurns = MeasureBody(tracks, kReferenceBody, &turns).dancer;
  EXPECT_EQ(onTurns.motionBeats, 7);
  EXPECT_NEAR(onTurns.beatAlignScore, 1.0, 1e-12);  // beat 300 lies beyond the dance
  const std::vector<std::int32_t> between{44, 74, 104, 134, 164, 194};
  EXPECT_LT(MeasureBody(tracks, kReferenceBody, &between).dancer.beatAlignScore, 1e-4);
  EXPECT_EQ(MeasureBody(tracks).dancer.beatAlignScore, -1.0);
}

// The centre speeding up evenly, by 0.01 a frame each frame, standing or carried along with both
// feet gliding half a unit a frame: gliding, every frame scores as much as the hardest push.
TEST(MeasureDancer, CountsFeetSlidingWhileTheCentrePushes) {
  for (const double glide : {0.0, 0.5}) {
    SCOPED_TRACE(glide);
    BodyTracks tracks = Standing();
    std::vector<BoneKey> centre, left, right;
    for (std::int32_t f = 0; f <= 20; ++f) {
      const double x = glide * f + 0.005 * (f - 10) * (f - 10);
      centre.push_back(Key(f, {static_cast<float>(x), -1.0f, 0}));  // both feet in reach
      left.push_back(Key(f, {static_cast<float>(3.1 + glide * f), 0, 0}));
      right.push_back(Key(f, {static_cast<float>(-3.1 + glide * f), 0, 0}));
    }
    tracks.centre = BoneTrack(centre);
    tracks.leftFootIk = BoneTrack(left);
    tracks.rightFootIk = BoneTrack(right);
    const DancerFigures d = MeasureBody(tracks).dancer;
    const double metres = glide * 0.08;
    EXPECT_NEAR(d.footContact, metres * metres * 1e4, 0.01);
    EXPECT_EQ(d.clipFootContact, -1.0);  // shorter than five seconds
  }
}

}  // namespace
}  // namespace pavaneflow
