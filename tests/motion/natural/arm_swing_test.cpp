#include "motion/natural/arm_swing.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "motion/bone_names.h"
#include "motion/classic/run.h"
#include "motion/feet/whole_chart_foot_planner.h"
#include "motion/figures/beat_frames.h"
#include "motion/figures/body_figures.h"
#include "motion/natural/natural_motion.h"
#include "motion/rotation.h"
#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

const WholeChartFootPlanner kPlanned;

struct Key {
  std::int32_t frame;
  Quaternion rotation;
};

// The first chart of `dwi` danced naturally with planned feet.
struct Dance {
  explicit Dance(const std::string& dwi) : read(test::ReadDwi(dwi)) {
    request = {&read->song, read->song.scores.front().get(), 0, true};
    request.feet = &kPlanned;
    request.motion = &style;
    Synthesize(request, motion);
    beats = BeatFrames(request);
    dancer = MeasureBody(BodyTracks::FromDocument(motion), kReferenceBody, &beats).dancer;
  }

  std::vector<Key> Keys(std::u16string_view bone) const {
    std::vector<Key> keys;
    motion.ForEachFrame([&](const MotionFrame& frame) {
      if (frame.boneName() != bone) return;
      const auto& q = frame.rotation;
      keys.push_back({frame.frameNumber(),
                      {static_cast<double>(q[0]), static_cast<double>(q[1]),
                       static_cast<double>(q[2]), static_cast<double>(q[3])}});
    });
    std::sort(keys.begin(), keys.end(),
              [](const Key& a, const Key& b) { return a.frame < b.frame; });
    return keys;
  }

  NaturalMotion style;
  std::unique_ptr<test::DwiRead> read;
  GenerationRequest request;
  MotionDocument motion;
  std::vector<std::int32_t> beats;
  DancerFigures dancer;
};

// Where the upper arm points at a key frame, from its rest direction (40° below horizontal).
Vec3 ArmDirection(std::size_t side, const Quaternion& rotation) {
  const double drop = 40.0 * kDegree;
  const Vec3 rest{(side == 0 ? 1.0 : -1.0) * std::cos(drop), -std::sin(drop), 0.0};
  return Rotate(rotation, rest);
}

// Degrees above horizontal: the highest the arm is keyed in [from, to].
double HighestArm(const Dance& dance, std::size_t side, std::int32_t from, std::int32_t to) {
  double highest = -90.0;
  for (const Key& key : dance.Keys(side == 0 ? kLeftArmBone : kRightArmBone)) {
    if (key.frame < from || key.frame > to) continue;
    highest = std::max(highest, std::asin(ArmDirection(side, key.rotation).y) / kDegree);
  }
  return highest;
}

// At 120 beats a minute an eighth is 7.5 frames: the freezes start on frame 30.
TEST(ArmSwing, LongFreezesAreDancedWithAGesture) {
  struct Case {
    std::string name;
    std::string dwi;
    bool leftRaised;
    bool rightRaised;
  };
  const Case cases[] = {
      {"the left foot holds two seconds", "#BPM:120;\n#SINGLE:BASIC:1:46464!400000004646464;\n",
       false, true},
      {"the right foot holds two seconds", "#BPM:120;\n#SINGLE:BASIC:1:64646!600000006464646;\n",
       true, false},
      {"both feet hold", "#BPM:120;\n#SINGLE:BASIC:1:46464B!B0000000B4646464;\n", true, true},
      {"a short freeze", "#BPM:120;\n#SINGLE:BASIC:1:46464!40464646464646;\n", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi);
    // Raised: about level with the shoulder; hanging: more than 45° down.
    EXPECT_EQ(HighestArm(dance, 0, 48, 80) > -25.0, c.leftRaised);
    EXPECT_EQ(HighestArm(dance, 1, 48, 80) > -25.0, c.rightRaised);
    EXPECT_LT(HighestArm(dance, 0, 0, 20), -45.0);
    EXPECT_LT(HighestArm(dance, 1, 0, 20), -45.0);
    // Every arm back down after the freeze.
    EXPECT_LT(HighestArm(dance, 0, 100, 1000), -40.0);
    EXPECT_LT(HighestArm(dance, 1, 100, 1000), -40.0);
    EXPECT_LE(dance.dancer.fastestArm, 12.0);
    EXPECT_LE(dance.dancer.armReversalsPerSecond, 4.0);
    // The head looks towards the one raised hand (the left is +x).
    if (c.leftRaised != c.rightRaised) {
      for (const Key& key : dance.Keys(kNeckBone)) {
        if (key.frame < 50 || key.frame > 78) continue;
        const double aside = Rotate(key.rotation, {0.0, 0.0, -1.0}).x;
        EXPECT_GT(c.leftRaised ? aside : -aside, 0.2) << "frame " << key.frame;
      }
    }
  }
}

// The arms turn on the music's beats, on every other one when the beats are quicker than the
// arms swing, and never twice in 16 frames: their swing follows the music, not each step.
TEST(ArmSwing, TurnsOnTheBeats) {
  struct Case {
    std::string name;
    std::string dwi;
  };
  const Case cases[] = {
      {"eighths at 150", "#BPM:150;\n#SINGLE:BASIC:1:48264826482648264826482648264826;\n"},
      {"quarters at 230", "#BPM:230;\n#SINGLE:BASIC:1:4080206040802060408020604080206;\n"},
      {"sixteenths at 100", "#BPM:100;\n#SINGLE:BASIC:1:(48264826482648264826482648264826);\n"},
      {"quarters at 90, off the beat",
       "#BPM:90;\n#SINGLE:BASIC:1:0408020604080206040802060408020;\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi);
    const std::vector<Key> keys = dance.Keys(kLeftArmBone);
    ASSERT_GE(keys.size(), 6u);
    std::size_t onBeat = 0;
    std::int32_t lastTurn = -100;
    for (const Key& key : keys) {
      if (!std::binary_search(dance.beats.begin(), dance.beats.end(), key.frame)) continue;
      ++onBeat;
      if (key.frame > 0) {
        EXPECT_GE(key.frame - lastTurn, 16) << "frame " << key.frame;
      }
      lastTurn = key.frame;
    }
    // All but the first key frame, the one waking the arms and the one where they hang still.
    EXPECT_GE(onBeat + 3, keys.size());
    EXPECT_LE(dance.dancer.fastestArm, 12.0);
    EXPECT_LE(dance.dancer.armReversalsPerSecond, 4.0);
  }
}

// The swing widens as the steps come quicker, then narrows to a pump with bent elbows.
TEST(ArmSwing, SwingAndElbowsFollowThePace) {
  struct Pace {
    double swing = 0.0;  // the furthest forward, degrees
    double bend = 0.0;   // the most bent elbow, degrees
  };
  auto pace = [](const std::string& steps) {
    const Dance dance("#BPM:120;\n#SINGLE:BASIC:1:" + steps + ";\n");
    Pace p;
    // Once the pace has settled: from 4 s on.
    for (const Key& key : dance.Keys(kLeftArmBone)) {
      if (key.frame < 120) continue;
      const Vec3 d = ArmDirection(0, key.rotation);
      p.swing = std::max(p.swing, std::atan2(-d.z, -d.y) / kDegree);
    }
    for (const Key& key : dance.Keys(kLeftElbowBone)) {
      if (key.frame < 120) continue;
      p.bend =
          std::max(p.bend, 2.0 * std::acos(std::min(1.0, std::fabs(key.rotation[3]))) / kDegree);
    }
    return p;
  };
  std::string quarters, eighths, sixteenths;
  for (int i = 0; i < 12; ++i) {
    quarters += "4060";
    eighths += "4646";
    sixteenths += "(46464646)";
  }
  const Pace slow = pace(quarters);      // 2 steps a second
  const Pace quick = pace(eighths);      // 4
  const Pace stream = pace(sixteenths);  // 8
  EXPECT_GT(quick.swing, slow.swing + 3.0);
  EXPECT_LT(stream.swing, quick.swing - 3.0);
  EXPECT_GT(stream.bend, slow.bend + 10.0);
}

}  // namespace
}  // namespace pavaneflow
