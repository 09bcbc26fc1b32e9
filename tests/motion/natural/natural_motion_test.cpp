#include "motion/natural/natural_motion.h"

#include <unistd.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "motion/bone_names.h"
#include "motion/classic/run.h"
#include "motion/feet/whole_chart_foot_planner.h"
#include "motion/figures/beat_frames.h"
#include "motion/figures/body_figures.h"
#include "motion/figures/body_pose.h"
#include "support/dwi_fixture.h"
#include "support/vmd_test_reader.h"
#include "vmd/vmd_reader.h"

namespace pavaneflow {
namespace {

// A small chart and what it is, for the tables below.
struct NamedChart {
  std::string name;
  std::string dwi;
};

const WholeChartFootPlanner kPlanned;

// The first chart of `dwi` danced with planned feet in `style`, and its figures.
struct Dance {
  Dance(const std::string& dwi, const NaturalMotion& style, bool twist = true,
        const FootPlanner* feet = &kPlanned)
      : read(test::ReadDwi(dwi)) {
    const SongDocument& song = read->song;
    GenerationRequest request{&song, song.scores.front().get(), 0, twist};
    request.feet = feet;
    request.motion = &style;
    Synthesize(request, motion);
    beats = BeatFrames(request);
    figures = MeasureBody(BodyTracks::FromDocument(motion), kReferenceBody, &beats);
  }

  std::unique_ptr<test::DwiRead> read;
  MotionDocument motion;
  std::vector<std::int32_t> beats;
  BodyFigures figures;
};

// A single chart at `bpm` beats a minute: `steps` over and over, `times` times.
std::string Repeated(int bpm, std::string_view steps, int times) {
  std::string chart;
  for (int i = 0; i < times; ++i) chart += steps;
  return "#BPM:" + std::to_string(bpm) + ";\n#SINGLE:BASIC:1:" + chart + ";\n";
}

std::size_t KeysOf(const MotionDocument& motion, std::u16string_view bone) {
  std::size_t count = 0;
  motion.ForEachFrame([&](const MotionFrame& frame) { count += frame.boneName() == bone; });
  return count;
}

TEST(NaturalMotion, HoldsItsShapeOnSmallCharts) {
  const NamedChart cases[] = {
      {"a stream of eighths", "#BPM:150;\n#SINGLE:BASIC:1:4826482648264826;\n"},
      {"crossing to the far side", "#BPM:120;\n#SINGLE:BASIC:1:4646464612121212;\n"},
      {"jumps across long gaps", "#BPM:60;\n#SINGLE:BASIC:1:B0000000A0000000B;\n"},
      {"a freeze under a stream", "#BPM:140;\n#SINGLE:BASIC:1:!4G8080808080808;\n"},
      {"two pads", "#BPM:130;\n#DOUBLE:BASIC:1:46466464:46646464;\n"},
  };
  const NaturalMotion style;
  for (const NamedChart& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const BodyFigures& f = dance.figures;
    ASSERT_GT(f.landings, 0);
    EXPECT_LE(f.PlantedMissPercent(), 2.0);
    EXPECT_LE(f.landingSpeedP95, 0.12);
    EXPECT_LE(f.largestPlantedSlide, 0.05);
    EXPECT_LE(f.StraightAirborneKneePercent(), 25.0);
    EXPECT_LE(f.longestAirborneSeconds, 0.6);
    EXPECT_EQ(f.hipsAwayFromViewerFrames, 0);
    EXPECT_LE(f.largestYawStep, 20.0);
    EXPECT_LE(f.headFromViewerP95, 40.0);
  }
}

// Like a person on a pad: feet and body at human speeds, the chest leaning, the head nodding,
// the arms swinging smoothly in their own rhythm, the centre dipping on the beat.
TEST(NaturalMotion, MovesAtHumanSpeedsAndBouncesOnTheBeat) {
  const char* charts[] = {
      "#BPM:150;\n#SINGLE:BASIC:1:00004826482648264826482648264000;\n",
      "#BPM:120;\n#SINGLE:BASIC:1:4646464612121212;\n",
  };
  const NaturalMotion style;
  for (const char* dwi : charts) {
    SCOPED_TRACE(dwi);
    const DancerFigures d = Dance(dwi, style).figures.dancer;
    EXPECT_LE(d.fastestAnkle, 3.5);
    EXPECT_LE(d.fastestPelvis, 1.5);
    EXPECT_LE(d.torsoUprightPercent, 40.0);
    EXPECT_GE(d.torsoLeanP95, 4.0);
    EXPECT_LE(d.fastestArm, 12.0);
    EXPECT_LE(d.armReversalsPerSecond, 4.0);
    EXPECT_GE(d.headPitchRange, 4.0);
    EXPECT_LT(d.bounce, 0.0);
    EXPECT_EQ(d.feetFusedPercent, 0.0);
  }
}

// Steps a beat apart, left and right: the weight follows each landing over the frames after it,
// and the body carried over the standing foot between the beats stays up, so that it is lower
// on the beat than between and stands tall with both feet down (held towards the foot that
// stood, the landing once sank the carried body between the beats: bounce +0.18, knees 26°).
// Held most of the way towards that foot until the next lift, it reaches the landed one a
// little lower: 0.35 when a quarter of the way.
TEST(NaturalMotion, TakesTheWeightOverAfterALandingAndStaysLowestOnTheBeat) {
  const DancerFigures d =
      Dance("#BPM:100;\n#SINGLE:BASIC:1:00004060406040604060406040604060406040600000;\n",
            NaturalMotion())
          .figures.dancer;
  EXPECT_LT(d.bounce, -0.02);
  EXPECT_LE(d.kneeBendBothPlanted, 24.0);
  EXPECT_LE(d.pelvisDropBothPlanted, 0.43);
  EXPECT_LE(d.weightTowardsLifted, 0.3);
}

// Steps on the beat with rests between: carried over the standing foot, the body drifts on from
// there rather than stopping half way through the swing, and most of the weight follows the
// landing foot once it is down, so that the body is stillest at the landing, on the beat.
// (Stopped over the standing foot, it was stillest half way between the beats: the first scored
// 0.21.)
TEST(NaturalMotion, DriftsOnOverTheStandingFootAndTakesTheWeightAfterTheLanding) {
  struct Case {
    std::string name;
    std::string dwi;
    double beatAlign;  // at least
  };
  const Case cases[] = {
      {"left and right at 120", "#BPM:120;\n#SINGLE:BASIC:1:4060406040604060406040604060;\n", 0.28},
      {"left and right every other beat at 100",
       "#BPM:100;\n#SINGLE:BASIC:1:40006000400060004000600040006000;\n", 0.16},
      {"left and right every other beat at 140",
       "#BPM:140;\n#SINGLE:BASIC:1:40006000400060004000600040006000;\n", 0.12},
      {"up and down every other beat at 120",
       "#BPM:120;\n#SINGLE:BASIC:1:20008000200080002000800020008000;\n", 0.1},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const BodyTracks tracks = BodyTracks::FromDocument(dance.motion);
    std::vector<BodyPose> poses;
    for (std::int32_t f = 0; f <= tracks.LastFrame(); ++f) poses.push_back(PoseBody(tracks, f));
    auto flat = [](Vec3 a, Vec3 b) { return std::hypot(a.x - b.x, a.z - b.z); };
    std::vector<double> held;  // at each landing, the share of the way from the foot that stood
    for (std::size_t lift = 1; lift < poses.size(); ++lift) {
      for (std::size_t side = 0; side < 2; ++side) {
        if (poses[lift - 1].lift[side] > 0.0 || poses[lift].lift[side] <= 0.0) continue;
        std::size_t land = lift;
        while (land < poses.size() && poses[land].lift[side] > 0.0) ++land;
        if (land + 1 >= poses.size() || poses[lift].lift[1 - side] > 0.0) continue;
        // The centre's stillest frame from the swing's first frames on to the landing.
        auto way = [&](std::size_t f) { return flat(poses[f].centre, poses[f + 1].centre); };
        std::size_t stillest = lift + 2;
        for (std::size_t f = stillest; f <= land; ++f)
          stillest = way(f) < way(stillest) ? f : stillest;
        EXPECT_GE(stillest + 2, land) << land;
        const Vec3 stood = poses[land].legs[1 - side].ankle;
        const Vec3 landed = poses[land].legs[side].ankle;
        const double span = flat(stood, landed);
        held.push_back(((poses[land].centre.x - stood.x) * (landed.x - stood.x) +
                        (poses[land].centre.z - stood.z) * (landed.z - stood.z)) /
                       (span * span));
      }
    }
    ASSERT_GE(held.size(), 6u);
    // At the landings the centre is still nearer the foot that stood than half way (the first
    // step, from the feet's starting places, aside).
    std::nth_element(held.begin(), held.begin() + static_cast<std::ptrdiff_t>(held.size() / 2),
                     held.end());
    EXPECT_LE(held[held.size() / 2], 0.35);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_GE(d.beatAlignScore, c.beatAlign);
    EXPECT_LE(d.weightTowardsLifted, 0.25);
  }
}

// A step on every beat, quick or slow: the lifts leave room for a rest on each, and the body stops
// on every beat alike. (Resting on the even quick beats only, passing the odd ones, a step on
// every beat at 150 scored 0.19 on the Beat Align Score, 0.35 resting on each: still on each
// step, the body is seen to keep the beat.)
TEST(NaturalMotion, RestsOnEveryBeatOfAStepABeat) {
  struct Case {
    std::string name;
    std::string steps;  // one beat of the chart, two eighths: repeated
    int bpm;
    double beatAlign;  // at least
  };
  const Case cases[] = {
      {"left and down at 150", "4020", 150, 0.30},
      {"left and down at 180", "4020", 180, 0.31},
      {"right and up at 150", "6080", 150, 0.30},
      {"left and down at 100", "4020", 100, 0.62},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(Repeated(c.bpm, c.steps, 20), style);
    const BodyTracks tracks = BodyTracks::FromDocument(dance.motion);
    // The centre's way over the frames within two of each beat, the even and the odd ones apart,
    // leaving out the first beats and the last (the dance sets off and stops there).
    std::array<double, 2> way{};
    for (std::size_t i = 2; i + 4 < dance.beats.size(); ++i) {
      for (std::int32_t f = dance.beats[i] - 2; f < dance.beats[i] + 2; ++f) {
        const BodyPose a = PoseBody(tracks, f);
        const BodyPose b = PoseBody(tracks, f + 1);
        way[i % 2] += std::hypot(b.centre.x - a.centre.x, b.centre.z - a.centre.z);
      }
    }
    // Near the even beats and near the odd ones the centre moves alike.
    EXPECT_GT(way[0], 0.8 * way[1]) << way[0] << " " << way[1];
    EXPECT_GT(way[1], 0.8 * way[0]) << way[0] << " " << way[1];
    EXPECT_LE(dance.figures.dancer.weightTowardsLifted, 0.3);
    EXPECT_GE(dance.figures.dancer.beatAlignScore, c.beatAlign);
  }
}

// Steps landing on the odd quick beats, a beat or two apart: the foot leaves three or four frames
// before the even beat between. The body rests over the standing foot as it leaves and stays
// still into that beat, rather than going on and stopping anywhere against the beats (the Beat
// Align Score and the weight in brackets while only lifts within two frames of the beat rested).
TEST(NaturalMotion, RestsAsAFootLeavesALittleBeforeAnEvenQuickBeat) {
  struct Case {
    std::string name;
    int bpm;
    std::string steps;  // repeated
    double beatAlign;   // at least
    double weight;      // towards the lifted foot, at most
  };
  const std::string runs = "0060002000400020006040200080002000400040";
  const Case cases[] = {
      {"every other beat with short runs at 135", 135, runs, 0.26, 0.19},  // (0.226, 0.202)
      // The wider quick swing outweighs the body's rest a few frames before the even beat on the
      // next two: 0.255 and 0.23 before.
      {"every other beat with short runs at 142", 142, runs, 0.254, 0.19},  // (0.214, 0.233)
      {"three beats, then every other, at 135", 135, "0060402000800020", 0.224,
       0.16},  // (0.199, 0.177)
      {"three beats, then every other, at 142", 142, "0060402000800020", 0.26,
       0.19},  // (0.221, 0.200)
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(Repeated(c.bpm, c.steps, 8), style);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_GE(d.beatAlignScore, c.beatAlign);
    EXPECT_LE(d.weightTowardsLifted, c.weight);
    EXPECT_LT(d.bounce, -0.04);
  }
}

// Eighths left and right on quick beats: a stance too wide to rest all the way over either foot.
// The body rests part of the way over on the even beats instead, and its stillness still comes
// once every two beats (stopped a tenth of the way over, as for any lift, it came every eighth:
// 0.122 and 0.228), without leaning more towards the lifting foot. (At 120, 0.19 while the body
// eased into the landings off the beat, half way back before each foot came down.)
TEST(NaturalMotion, RestsPartOfTheWayOverAWideStance) {
  struct Case {
    int bpm;
    double beatAlign;
  };
  // The arms turning on the even beats, wider, weigh against the rest on this short chart:
  // 0.169 and 0.246 (0.19 and 0.264 before).
  const Case cases[] = {{120, 0.165}, {135, 0.24}};
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bpm);
    const Dance dance(Repeated(c.bpm, "46", 20), style);
    EXPECT_GE(dance.figures.dancer.beatAlignScore, c.beatAlign);
    EXPECT_LE(dance.figures.dancer.weightTowardsLifted, 0.25);
  }
}

// Left and right over a wide stance, on eighths and quarters: the weight goes over the standing
// foot in the middle of each swing and comes back as the other foot reaches down. (Held between
// the feet until the landing foot could be reached from the carry itself, with that foot still in
// the air, it leant 0.20 to 0.21 towards the lifted foot on each of these.)
TEST(NaturalMotion, CarriesOverTheStandingFootOfAWideStance) {
  struct Case {
    int bpm;
    std::string steps;  // repeated
    double weight;      // towards the lifted foot, median, at most
  };
  const Case cases[] = {
      {80, "46", 0.13},    {90, "46", 0.13},    {100, "46", 0.18},   {120, "4060", 0.17},
      {135, "4060", 0.17}, {150, "4060", 0.15}, {170, "4060", 0.13},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.bpm) + " " + c.steps);
    const Dance dance(Repeated(c.bpm, c.steps, 20), style, true, &kPlanned);
    EXPECT_LE(dance.figures.dancer.weightTowardsLifted, c.weight);
    EXPECT_LE(dance.figures.dancer.pelvisDropBothPlanted, 0.42);
  }
}

// Left, right, down and up, a step a beat at 150 and more: the way back between the feet reaches
// the landing foot as deep as the carry's own limit, so the body goes over the standing foot in
// the middle of each swing, still lowest on the beat and no deeper with both feet down (the
// weight 0.189, 0.178 and 0.206 and Beat Align 0.289, 0.314 and 0.346 while the way back was held
// to nine tenths of that depth).
TEST(NaturalMotion, CarriesOverTheStandingFootRoundThePadOnQuickBeats) {
  struct Case {
    int bpm;
    double weight;     // towards the lifted foot, median, at most
    double beatAlign;  // at least
  };
  const Case cases[] = {{150, 0.18, 0.33}, {160, 0.165, 0.37}, {170, 0.18, 0.37}};
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bpm);
    const Dance dance(Repeated(c.bpm, "40602080", 20), style);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_LE(d.weightTowardsLifted, c.weight);
    EXPECT_GE(d.beatAlignScore, c.beatAlign);
    EXPECT_LT(d.bounce, -0.1);
    EXPECT_LE(d.pelvisDropBothPlanted, 0.36);
  }
}

// Round the pad with the classic footing, which crosses a foot over on every turn: the carry into
// the crossing is asked whether it reaches the landing foot where the eased run into the landing
// brings the body a frame before it, and goes further over the standing foot (0.352, 0.394 and
// 0.475 towards the lifted foot while it was asked on the straight run), no lower crossed.
TEST(NaturalMotion, CarriesIntoACrossingAsFarAsItsEasedRunReaches) {
  struct Case {
    int bpm;
    double weight;  // towards the lifted foot, median, at most
  };
  const Case cases[] = {{100, 0.335}, {120, 0.389}, {140, 0.468}};
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bpm);
    const Dance dance(Repeated(c.bpm, "4268", 20), style, true, nullptr);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_GT(d.crossedPercent, 30.0);
    EXPECT_LE(d.weightTowardsLifted, c.weight);
    EXPECT_LE(d.crossedPelvisDrop, 0.6);
    EXPECT_LT(d.bounce, 0.0);
  }
}

// A step every other quick beat: the foot leaves earlier than a beat before it lands, so that the
// body stands still over the landing beat rather than half way to the next one (0.136, 0.139 and
// 0.081 when it left a beat before). After longer waits it leaves as the beats place the stillness
// before it (0.139, 0.167 and 0.289 on the last three when it left a set time before its landing).
TEST(NaturalMotion, StandsStillOverTheLandingBeatOfAStepEveryOtherQuickBeat) {
  struct Case {
    std::string name;
    int bpm;
    std::string steps;  // two beats of the chart: repeated
    double beatAlign;   // at least
  };
  const Case cases[] = {
      {"left and right at 142", 142, "40006000", 0.4},
      {"up and down at 142", 142, "80002000", 0.4},
      {"left and right at 125", 125, "40006000", 0.15},
      {"left and right at 110", 110, "40006000", 0.155},
      {"left and right at 100", 100, "40006000", 0.2},
      {"left, right a beat later, then two beats' wait, at 140", 140, "4000600000006000", 0.31},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(Repeated(c.bpm, c.steps, 12), style);
    EXPECT_GE(dance.figures.dancer.beatAlignScore, c.beatAlign);
    EXPECT_LE(dance.figures.dancer.weightTowardsLifted, 0.26);
  }
}

// Steps on quick beats, the body's own beats no stiller on the even beats than on the odd ones:
// the arms' turn on every other beat is what marks them there, and swung as wide as on slower
// beats it was outweighed by the legs, whose stillness falls half a beat later (the Beat Align
// Score in brackets at 1.28 times the swing).
TEST(NaturalMotion, SwingsTheArmsWideEnoughToMarkEveryOtherQuickBeat) {
  struct Case {
    std::string name;
    int bpm;
    std::string steps;  // repeated
    double beatAlign;   // at least
  };
  const Case cases[] = {
      {"every other beat at 130", 130, "40002000", 0.27},                          // (0.238)
      {"a stream of eighths at 145", 145, "4268", 0.25},                           // (0.239)
      {"steps, a pause and a turn round at 145", 145, "4600800020604000", 0.23},   // (0.214)
      {"steps, a pause and a turn round at 160", 160, "4600800020604000", 0.255},  // (0.234)
      {"a jump between steps at 145", 145, "4020A020", 0.218},                     // (0.209)
      // Under 12 frames a beat the legs outweigh the arms the more (0.279, 0.211 and 0.276 swung
      // 1.6 times as wide).
      {"every other beat at 180", 180, "40002000", 0.29},
      {"a jump between steps at 160", 160, "4020A020", 0.225},
      {"two steps and a pause at 150", 150, "40200000", 0.285},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(Repeated(c.bpm, c.steps, 16), style);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_GE(d.beatAlignScore, c.beatAlign);
    EXPECT_LT(d.bounce, -0.08);
    EXPECT_LE(d.fastestArm, 12.0);
  }
}

// Resting between steps on a quick beat, the body marks the beat: down on it and up between,
// turning at the top without stopping, so that it is stillest only on the beat (0.363 and 0.44
// at 150 and 140 while it paused as long at the top). A slower beat keeps its pause at the top.
TEST(NaturalMotion, MarksAQuickBeatStillestOnTheBeat) {
  struct Case {
    int bpm;
    double beatAlign;  // at least
  };
  const Case cases[] = {{150, 0.38}, {140, 0.45}, {110, 0.59}};
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bpm);
    // A step every eight beats, each foot in turn.
    const Dance dance(Repeated(c.bpm, "40000000000000006000000000000000", 6), style);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_GE(d.beatAlignScore, c.beatAlign);
    // Still lowest on the beat, and no deeper for the longer stay down.
    EXPECT_LT(d.bounce, -0.09);
    EXPECT_LE(d.pelvisDropBothPlanted, 0.39);
  }
}

// Bursts of notes a couple of frames apart round the pad, as gimmick charts have them: a foot
// short of time taps its panel and goes on, rather than standing a frame there and crossing the
// pad in the two frames left (5.7–6.7 units a frame, and a landing that slams).
TEST(NaturalMotion, TapsThroughBurstsWithoutDashingAcrossThePad) {
  const char* charts[] = {
      "#BPM:345;\n#SINGLE:BASIC:1:0000(4826482648264826)0000;\n",
      "#BPM:345;\n#SINGLE:BASIC:1:0000(4268426842684268)0000;\n",
  };
  const NaturalMotion style;
  for (const char* dwi : charts) {
    SCOPED_TRACE(dwi);
    const BodyFigures f = Dance(dwi, style).figures;
    EXPECT_LE(f.dancer.fastestAnkle, 3.5);
    EXPECT_LE(f.landingSpeedP95, 0.12);
    EXPECT_LE(f.PlantedMissPercent(), 2.0);
    EXPECT_LE(f.largestPlantedSlide, 0.05);
  }
}

// Jumps round the pad on eighths: with time to spare a jump stays up a frame longer than its
// feet's pace needs, as they rise to tuck and fall again; short of time the feet take off as they
// land rather than standing a frame and crossing the pad in the frames left, and rise only part
// of their tuck (tucked all the way, they went 2.84 a frame at 200 beats a minute, 3.0 between
// steps on sixteenths). Quick runs of far steps, a foot tapping its panel and crossing the pad in
// four to six frames: on the usual curves, slow out of the lift and into the touch, the foot
// passed 2.1 a frame on 3 to 21 % of the frames, at up to 2.95 (2.8 in the frame into the touch of
// a four-frame swing, whose top came half way along with one frame left for the other half).
TEST(NaturalMotion, JumpsAndRunsRoundThePadAtAFootsPace) {
  struct Case {
    const char* dwi;
    double fastPercent;  // of frames with an ankle faster than a real foot's 2.1 a frame
    double fastest;
  };
  const Case cases[] = {
      {"#BPM:150;\n#SINGLE:BASIC:1:0000ABABABABABAB0000;\n", 0.0, 2.1},
      {"#BPM:200;\n#SINGLE:BASIC:1:0000ABABABABABAB0000;\n", 6.0, 2.5},
      // The same frames too fast, in a dance 5 frames shorter now that the arms' last swing
      // ends on an even beat (4.9 % before).
      {"#BPM:180;\n#SINGLE:BASIC:1:0000(8B2B8B2B)0000;\n", 5.3, 2.6},
      {"#BPM:150;\n#SINGLE:BASIC:1:0000(4268426842684268)0000;\n", 0.0, 2.1},
      {"#BPM:150;\n#SINGLE:BASIC:1:0000(2684268426842684)0000;\n", 0.0, 2.1},
      {"#BPM:180;\n#SINGLE:BASIC:1:0000(2684268426842684)0000;\n", 0.0, 2.1},
      {"#BPM:180;\n#SINGLE:BASIC:1:0000(4682468246824682)0000;\n", 0.0, 2.1},
      // Two notes a foot at 225 a minute: one swing into the run still passes a real foot's
      // speed on two frames.
      {"#BPM:225;\n#SINGLE:BASIC:1:0000(4682468246824682)0000;\n", 2.5, 2.2},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dwi);
    const BodyFigures f = Dance(c.dwi, style).figures;
    EXPECT_LE(f.dancer.ankleFastPercent, c.fastPercent);
    EXPECT_LE(f.dancer.fastestAnkle, c.fastest);
    EXPECT_LE(f.landingSpeedP95, 0.12);
    EXPECT_LE(f.largestPlantedSlide, 0.05);
  }
}

// A chart whose first step comes a few frames into the dance: the foot stands ready on that
// panel from the start instead of dashing there from the starting stance (2.97 a frame onto the
// up arrow two frames in).
TEST(NaturalMotion, StartsOnThePanelOfAStepThatComesAtOnce) {
  const char* charts[] = {
      "#BPM:120;\n#GAP:66;\n#SINGLE:BASIC:1:80000000;\n",
      "#BPM:120;\n#GAP:66;\n#SINGLE:BASIC:1:20000000;\n",
      "#BPM:140;\n#GAP:66;\n#SINGLE:BASIC:1:86868686;\n",
  };
  const NaturalMotion style;
  for (const char* dwi : charts) {
    SCOPED_TRACE(dwi);
    const BodyFigures f = Dance(dwi, style).figures;
    EXPECT_LE(f.dancer.fastestAnkle, 2.1);
    EXPECT_LE(f.dancer.feetFusedPercent, 0.0);
  }
}

// A quick jump from the inner panels of two pads out to the outer ones lands in a stance so wide
// that the body sinks deep to reach it: it falls from the jump's top no faster than a dancer's
// pelvis moves (from the full height of the top it dropped 3.7 units in a frame).
TEST(NaturalMotion, FallsFromAQuickJumpNoFasterThanABody) {
  const NaturalMotion style;
  const BodyFigures f =
      Dance("#BPM:150;\n#DOUBLE:MANIAC:9:000064000000:000046000000;\n", style).figures;
  EXPECT_LE(f.dancer.fastestPelvis, 1.5);
  EXPECT_LE(f.landingSpeedP95, 0.12);
  EXPECT_LE(f.largestPlantedSlide, 0.05);
}

// The top of such a jump is lowered only as far as its fall needs: the body falls from it exactly
// as fast as the limit lets it, 1.2 units in its steepest frame (as a float), whatever the
// fall's length. A top lowered for the steepest frame of a fall a frame shorter or longer falls
// slower or faster than that.
TEST(NaturalMotion, FallsFromAQuickJumpAsFastAsTheLimitLetsIt) {
  const NaturalMotion style;
  for (const char* bpm : {"100", "120", "150"}) {
    SCOPED_TRACE(bpm);
    const BodyFigures f =
        Dance(std::string("#BPM:") + bpm + ";\n#DOUBLE:MANIAC:9:000064000000:000046000000;\n",
              style)
            .figures;
    EXPECT_NEAR(f.dancer.fastestPelvis, 1.2, 1e-6);
  }
}

// Between take-off and touch-down nothing but its fall pulls the body: it goes across at an even
// speed and is never pushed up, nor sideways, while both feet are off the floor. Out of a deep
// wide stance it rises no faster than a body.
TEST(NaturalMotion, IsThrownThroughTheAirOfAJump) {
  const NamedChart cases[] = {
      {"slow jumps across the pad", "#BPM:60;\n#SINGLE:BASIC:1:B0000000A0000000B;\n"},
      {"quick jumps across the pad", "#BPM:150;\n#SINGLE:BASIC:1:B0A0B0A0B0A0B0A0;\n"},
      {"jumps round the pad", "#BPM:120;\n#SINGLE:BASIC:1:A070B090A070B090;\n"},
      {"from the outer panels inwards", "#BPM:150;\n#DOUBLE:MANIAC:9:000004600000:000006400000;\n"},
  };
  const NaturalMotion style;
  for (const NamedChart& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const BodyTracks tracks = BodyTracks::FromDocument(dance.motion);
    int flight = 0;
    double sideways = 0.0;
    double upwards = 0.0;
    std::array<BodyPose, 3> p{PoseBody(tracks, 0.0), PoseBody(tracks, 1.0), PoseBody(tracks, 2.0)};
    for (double f = 3.0; f < 400.0; f += 1.0) {
      const bool inAir = std::all_of(
          p.begin(), p.end(), [](const BodyPose& q) { return q.lift[0] > 0.0 && q.lift[1] > 0.0; });
      if (inAir) {
        ++flight;
        const Vec3 a = p[2].centre - 2.0 * p[1].centre + p[0].centre;
        sideways = std::max(sideways, std::hypot(a.x, a.z));
        upwards = std::max(upwards, a.y);
      }
      p = {p[1], p[2], PoseBody(tracks, f)};
    }
    ASSERT_GT(flight, 0);
    EXPECT_LE(sideways, 0.02);
    // The fall eases a little into the touch-down of a long jump, where the feet reach down for
    // the floor (most after a fall from high into a deep stance).
    EXPECT_LE(upwards, 0.12);
    EXPECT_LE(dance.figures.dancer.fastestPelvis, 1.5);
    EXPECT_LE(dance.figures.landingSpeedP95, 0.12);
  }
}

// The groove follows the music, not the notes: the centre dips on the beats where no note falls
// (eighths all off the beat) and all through a freeze held for bars, where no foot steps.
TEST(NaturalMotion, DipsOnTheMusicsBeatsWithoutNotesOnThem) {
  const NamedChart cases[] = {
      {"off-beat eighths", "#BPM:140;\n#SINGLE:BASIC:1:0406040604060406040604060406040604060;\n"},
      {"a freeze held for two bars", "#BPM:120;\n#SINGLE:BASIC:1:4!40000000000000004646;\n"},
      // Carried over the standing foot between the beats, the body is not sunk there for the
      // landing to come.
      {"a step on every beat round the pad",
       "#BPM:170;\n#SINGLE:BASIC:1:40804060402040804060402040804060;\n"},
  };
  const NaturalMotion style;
  for (const NamedChart& c : cases) {
    SCOPED_TRACE(c.name);
    const DancerFigures d = Dance(c.dwi, style).figures.dancer;
    EXPECT_LT(d.bounce, -0.02);
    EXPECT_LE(d.fastestPelvis, 1.5);
  }
}

// Where the chart rests (before its first step, between stretches), the body still marks the
// beat: lowest on each beat and stillest there, not half way between.
TEST(NaturalMotion, MarksTheBeatWhereTheChartRests) {
  const NamedChart cases[] = {
      {"two bars before the first step",
       "#BPM:120;\n#SINGLE:BASIC:1:00000000000000004646464646464646;\n"},
      {"two bars between two stretches",
       "#BPM:120;\n#SINGLE:BASIC:1:4646464600000000000000004646464646;\n"},
      {"quick beats", "#BPM:190;\n#SINGLE:BASIC:1:000000000000000046464646464646464646;\n"},
  };
  const NaturalMotion style;
  for (const NamedChart& c : cases) {
    SCOPED_TRACE(c.name);
    const auto read = test::ReadDwi(c.dwi);
    const SongDocument& song = read->song;
    GenerationRequest request{&song, song.scores.front().get(), 0, true};
    request.feet = &kPlanned;
    request.motion = &style;
    MotionDocument motion;
    Synthesize(request, motion);
    const BodyTracks tracks = BodyTracks::FromDocument(motion);
    const std::vector<std::int32_t> beats = BeatFrames(request);
    int marked = 0;
    for (std::size_t i = 1; i + 1 < beats.size(); ++i) {
      const std::int32_t beat = beats[i];
      const std::int32_t half = (beats[i + 1] - beat) / 2;
      const BodyPose on = PoseBody(tracks, beat);
      // Only the beats where no foot moves, nor the body across, for a beat either side.
      bool still = true;
      for (std::int32_t f = beats[i - 1]; f < beats[i + 1] && still; ++f) {
        const BodyPose p = PoseBody(tracks, f);
        const BodyPose q = PoseBody(tracks, f + 1);
        still = p.lift[0] == 0.0 && p.lift[1] == 0.0 &&
                std::hypot(q.centre.x - p.centre.x, q.centre.z - p.centre.z) < 0.02;
      }
      if (!still) continue;
      ++marked;
      const double onBeat = PoseBody(tracks, beat + 1).centreRise - on.centreRise;
      const double between = PoseBody(tracks, beat + half / 2 + 1).centreRise -
                             PoseBody(tracks, beat + half / 2).centreRise;
      EXPECT_LT(on.centreRise, PoseBody(tracks, beat + half).centreRise - 0.05) << beat;
      EXPECT_LT(std::abs(onBeat), std::abs(between)) << beat;
    }
    EXPECT_GE(marked, 4);
  }
}

// The dance is made in stretches cut where a step comes a second or more after the one before:
// around such rests, every bone's key frames still come in frame order, one at a time, and the
// body keeps its shape.
TEST(NaturalMotion, RestsBetweenStretchesKeepEveryBoneInOrder) {
  struct Case {
    std::string name;
    std::string dwi;
  };
  // At 150 BPM an eighth is 6 frames.
  const Case cases[] = {
      {"rests just under a stretch's gap", "#BPM:150;\n#SINGLE:BASIC:1:4000846000826;\n"},
      {"rests of exactly a stretch's gap", "#BPM:150;\n#SINGLE:BASIC:1:40000846000002;\n"},
      {"a jump after a rest", "#BPM:150;\n#SINGLE:BASIC:1:4826000000B0000000A48;\n"},
      {"rests long enough for the arms to settle",
       "#BPM:150;\n#SINGLE:BASIC:1:48260000000000000000000048260000000000000000000082;\n"},
      {"quick steps joined after a rest", "#BPM:150;\n#SINGLE:BASIC:1:40000000[4646]000[8282];\n"},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    EXPECT_TRUE(dance.motion.InCreationOrder());
    std::map<std::u16string, std::int32_t> last;
    dance.motion.ForEachFrame([&](const MotionFrame& frame) {
      const auto [it, first] = last.emplace(frame.boneName(), frame.frameNumber());
      if (!first) {
        EXPECT_LT(it->second, frame.frameNumber());
        it->second = frame.frameNumber();
      }
    });
    EXPECT_EQ(last.size(), 11u);
    const BodyFigures& f = dance.figures;
    EXPECT_LE(f.PlantedMissPercent(), 2.0);
    EXPECT_LE(f.largestPlantedSlide, 0.05);
    EXPECT_LE(f.largestYawStep, 20.0);
    EXPECT_LE(f.longestAirborneSeconds, 0.6);
  }
}

// The centre's key frames from `from` on.
std::vector<std::pair<std::int32_t, std::array<float, 7>>> KeysFrom(const MotionDocument& motion,
                                                                    std::u16string_view bone,
                                                                    std::int32_t from) {
  std::vector<std::pair<std::int32_t, std::array<float, 7>>> keys;
  motion.ForEachFrame([&](const MotionFrame& frame) {
    if (frame.boneName() != bone || frame.frameNumber() < from) return;
    const auto& p = frame.position;
    const auto& r = frame.rotation;
    keys.push_back({frame.frameNumber(), {p[0], p[1], p[2], r[0], r[1], r[2], r[3]}});
  });
  return keys;
}

// The centre's planner remembers where it shifted and turned the body by what each answer
// depends on. A pattern danced after a long rest must come out as it does after the same rest
// alone, whatever was danced before that rest: the same arrows twice as fast (other shares of
// the shift, other landings into a crossing), or mirrored (the other foot standing).
TEST(NaturalMotion, DancesAStretchAsItWouldWhateverWasDancedBefore) {
  struct Case {
    std::string name;
    std::string before;  // four beats
    std::string pattern;
  };
  // Planned feet: the classic footing keeps its own facing from before the rest.
  const Case cases[] = {
      {"crossing twice as fast before", "(4262426242624262)", "4262426242624262"},
      {"crossing mirrored before", "62426242", "4262426242624262"},
      {"up crossing twice as fast before", "(4868486848684868)", "4868486848684868"},
      {"up crossing mirrored before", "68486848", "4868486848684868"},
      {"steps round the pad twice as fast before", "(4826482648264826)", "4826482648264826"},
  };
  const NaturalMotion style;
  // At 120 BPM a beat is 15 frames. Both dances jump onto the left and right arrows on the same
  // beat and rest eight beats after it: the pattern starts on beat 16, an even one, in both.
  const std::string rest(16, '0');
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto chart = [&](const std::string& first) {
      return "#BPM:120;\n#SINGLE:BASIC:1:" + first + rest.substr(0, 7) + "B" + rest + c.pattern +
             ";\n";
    };
    const Dance alone(chart(rest.substr(0, 8)), style);
    const Dance after(chart(c.before), style);
    // From a beat before the pattern, standing after the jump.
    const std::int32_t from = 15 * 15;
    // The chest and the head turn with the hips and lean as the centre goes.
    for (const std::u16string_view bone : {kCentreBone, kUpperBodyBone, kNeckBone}) {
      const auto expected = KeysFrom(alone.motion, bone, from);
      ASSERT_GT(expected.size(), 20u);
      EXPECT_EQ(KeysFrom(after.motion, bone, from), expected);
    }
  }
}

// The head nods down on the beat and a little up off it, on top of the chest's lean: key frames
// that turn the hips and the chest alike differ in the head's turn only by that nod, and a
// dance standing alike on and off its beats shows both.
TEST(NaturalMotion, NodsOnTheBeatWhereverTheBodyStandsAlike) {
  const NamedChart charts[] = {
      {"stepping left and right", Repeated(120, "46464646", 8)},
      {"stepping on every other beat", Repeated(120, "40006000", 8)},
  };
  const NaturalMotion style;
  for (const NamedChart& chart : charts) {
    SCOPED_TRACE(chart.name);
    const Dance dance(chart.dwi, style);
    std::map<std::int32_t, std::array<float, 8>> bodyAt;  // hips', then chest's turn
    std::map<std::int32_t, std::array<float, 4>> headAt;
    dance.motion.ForEachFrame([&](const MotionFrame& frame) {
      const auto& r = frame.rotation;
      auto& body = bodyAt[frame.frameNumber()];
      if (frame.boneName() == kCentreBone) std::copy(r.begin(), r.end(), body.begin());
      if (frame.boneName() == kUpperBodyBone) std::copy(r.begin(), r.end(), body.begin() + 4);
      if (frame.boneName() == kNeckBone) headAt[frame.frameNumber()] = r;
    });
    std::map<std::array<float, 8>, std::map<std::array<float, 4>, int>> headsOf;
    for (const auto& [frame, head] : headAt) ++headsOf[bodyAt.at(frame)][head];
    std::size_t nodding = 0;
    for (const auto& [body, heads] : headsOf) {
      EXPECT_LE(heads.size(), 2u);
      nodding += heads.size() == 2;
    }
    EXPECT_GT(nodding, 0u);
  }
}

// A leg as a player's foot IK solves it, in the leg's own plane (x forward, y up, the hip at the
// origin): from the keyed thigh swung `thighStart` radians forward and the knee at rest, a round
// turns the knee (which bends only backwards) to aim the ankle at the target, then the hip; 40
// rounds. Returns how far the ankle ends above the target (below: negative).
double AnkleAboveTargetAfterIk(double thighStart, double forward, double down) {
  const BodyProportions& body = kReferenceBody;
  const double knee = body.kneeForward;
  auto turn = [](double x, double y, double a) {
    return std::array<double, 2>{x * std::cos(a) - y * std::sin(a),
                                 x * std::sin(a) + y * std::cos(a)};
  };
  auto angle = [](std::array<double, 2> u, std::array<double, 2> v) {
    return std::atan2(u[0] * v[1] - u[1] * v[0], u[0] * v[0] + u[1] * v[1]);
  };
  const std::array<double, 2> target{forward, -down};
  double thigh = thighStart;
  double bend = 0.0;  // the knee's turn from rest, negative bending it
  auto joints = [&] {
    const auto k = turn(knee, -body.thigh, thigh);
    const auto s = turn(-knee, -body.shin, thigh + bend);
    return std::array<std::array<double, 2>, 2>{k, {k[0] + s[0], k[1] + s[1]}};
  };
  constexpr double kLeastBend = -0.5 * kDegree;
  for (int round = 0; round < 40; ++round) {
    auto [k, a] = joints();
    bend += angle({a[0] - k[0], a[1] - k[1]}, {target[0] - k[0], target[1] - k[1]});
    // Bent the wrong way, the knee is mirrored back in the first half of the rounds.
    if (bend > kLeastBend) bend = round < 20 ? 2.0 * kLeastBend - bend : kLeastBend;
    a = joints()[1];
    thigh += angle(a, target);
  }
  return joints()[1][1] - target[1];
}

// A player's foot IK starts from the keyed thigh and turns the knee first: from a thigh hanging
// straight down, a standing leg bent 15–35° is solved so slowly that the ankle ends inside the
// floor. The dance keys the thighs where the solve reaches the floor.
TEST(NaturalMotion, KeysTheThighsWhereThePlayersIkReachesTheFloor) {
  const Dance dance("#BPM:150;\n#SINGLE:BASIC:1:4826482648264826;\n", NaturalMotion());
  for (const std::u16string_view bone : {kLeftLegBone, kRightLegBone}) {
    ASSERT_EQ(KeysOf(dance.motion, bone), 1u);
  }
  double thighStart = 0.0;
  dance.motion.ForEachFrame([&](const MotionFrame& frame) {
    if (frame.boneName() != kLeftLegBone) return;
    EXPECT_EQ(frame.frameNumber(), 0);
    EXPECT_FLOAT_EQ(frame.rotation[1], 0.0f);
    EXPECT_FLOAT_EQ(frame.rotation[2], 0.0f);
    thighStart = 2.0 * static_cast<double>(std::atan2(frame.rotation[0], frame.rotation[3]));
  });
  double hanging = 0.0;  // the deepest sink from a hanging thigh
  for (const double down : {9.1, 9.0, 8.9, 8.8, 8.7, 8.6, 8.5}) {
    for (const double forward : {-0.5, 0.0, 0.5}) {
      SCOPED_TRACE(testing::Message() << "down " << down << ", forward " << forward);
      EXPECT_GE(AnkleAboveTargetAfterIk(thighStart, forward, down), -0.02);
      EXPECT_LE(AnkleAboveTargetAfterIk(thighStart, forward, down), 0.06);
      hanging = std::min(hanging, AnkleAboveTargetAfterIk(0.0, forward, down));
    }
  }
  EXPECT_LT(hanging, -0.1);
}

// Standing on two panels, the dancer stands tall in the middle of the pad with the balls of her
// feet on the inner parts of the panels, her legs never straight down under her hips.
TEST(NaturalMotion, StandsTallWithTheFeetOnTheInnerPartsOfThePanels) {
  struct Case {
    std::string name;
    std::string dwi;
    std::vector<std::pair<double, double>> arrows;  // the panels' centres
  };
  const std::vector<std::pair<double, double>> pad{
      {4.0, 0.0}, {-4.0, 0.0}, {0.0, 4.0}, {0.0, -4.0}};
  std::vector<std::pair<double, double>> pads;
  for (const double x : {-6.0, 6.0}) {
    for (const auto& [ax, az] : pad) pads.emplace_back(x + ax, az);
  }
  const Case cases[] = {
      {"left and right", "#BPM:120;\n#SINGLE:BASIC:1:46464646;\n", pad},
      {"up and down", "#BPM:120;\n#SINGLE:BASIC:1:28282828;\n", pad},
      {"round the corners", "#BPM:120;\n#SINGLE:BASIC:1:48624862;\n", pad},
      {"jumps across", "#BPM:60;\n#SINGLE:BASIC:1:B0A0B0A0;\n", pad},
      {"the middle panels of two pads", "#BPM:130;\n#DOUBLE:BASIC:1:60606060:04040404;\n", pads},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const BodyTracks tracks = BodyTracks::FromDocument(dance.motion);
    const std::array<const BoneTrack*, 2> ik{&tracks.leftFootIk, &tracks.rightFootIk};
    int planted = 0;
    for (std::int32_t frame = 0; frame <= tracks.LastFrame(); ++frame) {
      const BodyPose pose = PoseBody(tracks, frame);
      if (std::fabs(pose.lift[0]) > kFloorTolerance || std::fabs(pose.lift[1]) > kFloorTolerance)
        continue;
      ++planted;
      const Vec3 apart = pose.target[0] - pose.target[1];
      EXPECT_GE(std::hypot(apart.x, apart.z), 3.2 - 1e-4) << frame;
      for (std::size_t side = 0; side < 2; ++side) {
        // The ball of the foot, 0.8 ahead of the ankle, lies 0.4 inside its 3.4-wide panel.
        const auto q = ik[side]->At(frame).rotation;
        const double yaw = 2.0 * std::atan2(q[1], q[3]);
        const double ballX = pose.target[side].x - 0.8 * std::sin(yaw);
        const double ballZ = pose.target[side].z - 0.8 * std::cos(yaw);
        double inside = 1e9;
        for (const auto& [x, z] : c.arrows)
          inside = std::min(inside, std::max(std::fabs(ballX - x), std::fabs(ballZ - z)));
        EXPECT_LE(inside, 1.3 + 1e-4) << frame << " side " << side;
      }
    }
    EXPECT_GT(planted, 0);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_LE(d.pelvisDropBothPlanted, 0.45);
    EXPECT_GE(d.kneeBendBothPlanted, 8.0);
    EXPECT_LE(d.kneeBendBothPlanted, 25.0);
  }
}

// While a foot is in the air the weight is over the standing one; crossed, the body is not
// lowered to carry it. (Paused between the feet as a foot lifted: 0.26-0.28 left and right and up
// and down, 0.36-0.39 round the corners and in a stream, 0.30 at 140.)
TEST(NaturalMotion, CarriesTheWeightOverTheStandingFoot) {
  struct Case {
    std::string name;
    std::string dwi;
    double weight;       // towards the lifted foot, at most
    double crossedDrop;  // at most
  };
  const Case cases[] = {
      {"left and right", "#BPM:100;\n#SINGLE:BASIC:1:46464646;\n", 0.25, 0.0},
      {"up and down", "#BPM:100;\n#SINGLE:BASIC:1:28282828;\n", 0.25, 0.0},
      {"round the corners", "#BPM:100;\n#SINGLE:BASIC:1:48624862;\n", 0.35, 0.65},
      {"a stream of eighths", "#BPM:150;\n#SINGLE:BASIC:1:4826482648264826;\n", 0.37, 0.0},
      {"left and right at 140", "#BPM:140;\n#SINGLE:BASIC:1:46464646;\n", 0.28, 0.0},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_GE(d.weightTowardsLifted, 0.0);
    EXPECT_LE(d.weightTowardsLifted, c.weight);
    EXPECT_LE(d.crossedPelvisDrop, c.crossedDrop);
  }
}

// Over a wide stance the whole shift would sink the body to reach the other foot: carried, it
// still goes as far over the standing foot as the legs reach, not a whole quarter of the shift
// short of that. Per swing, the pelvis's nearest way to the standing foot (a share of the way
// to the lifted one). (Shifted by quarters: 0.100 on average and 0.328 at the worst swing on the
// right pad, 0.318 and 0.453 across both.)
TEST(NaturalMotion, CarriesTheWeightAsFarOverAWideStanceAsTheLegsReach) {
  struct Case {
    std::string name;
    std::string dwi;
    double mean;   // of the swings' nearest, at most
    double worst;  // the farthest swing's nearest, at most
  };
  const Case cases[] = {
      {"round the right pad", "#BPM:125;\n#DOUBLE:BASIC:1:0000000000000000:2060806040208060;\n",
       0.095, 0.28},
      {"across both pads", "#BPM:125;\n#DOUBLE:BASIC:1:60006000:00080008;\n", 0.313, 0.44},
      {"round the right pad from the left",
       "#BPM:125;\n#DOUBLE:BASIC:1:0000000000000000:4020806040208060;\n", 0.168, 0.41},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const BodyTracks tracks = BodyTracks::FromDocument(dance.motion);
    std::vector<double> nearest;
    int swinging = -1;  // the foot in the air the frame before
    for (double f = 0.0; f < 300.0; f += 1.0) {
      const BodyPose p = PoseBody(tracks, f);
      const int lifted = p.lift[0] > 0.0 && p.lift[1] <= 0.0   ? 0
                         : p.lift[1] > 0.0 && p.lift[0] <= 0.0 ? 1
                                                               : -1;
      const Vec3 s = p.legs[static_cast<std::size_t>(1 - std::max(lifted, 0))].ankle;
      const Vec3 o = p.legs[static_cast<std::size_t>(std::max(lifted, 0))].ankle;
      const double span = std::hypot(o.x - s.x, o.z - s.z);
      if (lifted < 0 || span < 0.5) {
        swinging = -1;
        continue;
      }
      const double along =
          ((p.centre.x - s.x) * (o.x - s.x) + (p.centre.z - s.z) * (o.z - s.z)) / (span * span);
      if (lifted != swinging) nearest.push_back(along);
      nearest.back() = std::min(nearest.back(), along);
      swinging = lifted;
    }
    ASSERT_GE(nearest.size(), 3U);
    double sum = 0.0;
    for (const double n : nearest) sum += n;
    EXPECT_LE(sum / static_cast<double>(nearest.size()), c.mean);
    EXPECT_LE(*std::max_element(nearest.begin(), nearest.end()), c.worst);
  }
}

// Stepping into a crossing, the body is carried over the standing foot as far as the landing
// foot is still reached on the way back and the lifted leg passes the standing one: not left
// between the feet for the whole swing (as it was, at the weights in brackets).
TEST(NaturalMotion, CarriesTheWeightOverTheStandingFootIntoACrossing) {
  struct Case {
    std::string name;
    std::string dwi;
    bool classicFeet;
    double weight;  // towards the lifted foot, at most
  };
  const Case cases[] = {
      {"crossing over the up arrow", "#BPM:150;\n#SINGLE:BASIC:1:4868486848684868;\n", false,
       0.41},  // (0.421)
      {"crossing on the left pad", "#BPM:130;\n#DOUBLE:BASIC:1:4080608040806080:00000000;\n", false,
       0.26},  // (0.287)
      {"crossing on the left pad, classic feet",
       "#BPM:130;\n#DOUBLE:BASIC:1:4080608040806080:00000000;\n", true, 0.30},  // (0.347)
      {"crossing over the down arrow", "#BPM:120;\n#SINGLE:BASIC:1:4262426242624262;\n", false,
       0.305},  // (0.326)
      {"crossing over the down arrow, classic feet",
       "#BPM:120;\n#SINGLE:BASIC:1:4262426242624262;\n", true, 0.33},  // (0.345)
      {"crossing over the up arrow slower", "#BPM:120;\n#SINGLE:BASIC:1:4868486848684868;\n", false,
       0.315},  // (0.339)
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style, true, c.classicFeet ? nullptr : &kPlanned);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_GE(d.crossedPercent, 10.0);
    EXPECT_LE(d.weightTowardsLifted, c.weight);
    EXPECT_EQ(d.legsThroughPercent, 0.0);
    EXPECT_LE(d.crossedPelvisDrop, 0.6);
  }
}

// Into a crossing with the standing foot crossed too, the body goes as far over the standing
// foot as the crossing's checks allow, not a whole quarter of the shift short of that (often
// none of it): the weight as it was in brackets. The legs pass no closer than they did.
TEST(NaturalMotion, CarriesTheWeightAsFarIntoACrossingAsItFits) {
  struct Case {
    std::string name;
    std::string dwi;
    double weight;       // towards the lifted foot, at most
    double legsThrough;  // percent of frames, at most: as it was
  };
  const Case cases[] = {
      {"round the right pad", "#BPM:120;\n#DOUBLE:BASIC:1:0000000000000000:2060806040208060;\n",
       0.335, 0.7},  // (0.357)
      {"crossing from the corners", "#BPM:120;\n#SINGLE:BASIC:1:7838783878387838;\n", 0.415,
       1.35},  // (0.424)
      {"crossing the up arrow from the corners", "#BPM:120;\n#SINGLE:BASIC:1:4689468946894689;\n",
       0.35, 1.35},  // (0.361)
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DancerFigures d = Dance(c.dwi, style, true, nullptr).figures.dancer;
    EXPECT_GE(d.crossedPercent, 50.0);
    EXPECT_LE(d.weightTowardsLifted, c.weight);
    EXPECT_LE(d.legsThroughPercent, c.legsThrough);
    EXPECT_LE(d.crossedPelvisDrop, 0.5);
  }
}

// Crossed feet with the hips square to the viewer put one leg through the other: the hips turn
// until the legs pass apart, and no further than a dancer turns for a crossover.
TEST(NaturalMotion, TurnsTheHipsSoThatCrossedLegsPassEachOther) {
  const NamedChart cases[] = {
      {"crossing over the up arrow", "#BPM:150;\n#SINGLE:BASIC:1:4868486848684868;\n"},
      {"crossing on the left pad", "#BPM:130;\n#DOUBLE:BASIC:1:4080608040806080:00000000;\n"},
  };
  const NaturalMotion style;
  for (const NamedChart& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const BodyFigures& f = dance.figures;
    const DancerFigures& d = f.dancer;
    EXPECT_GE(d.crossedPercent, 10.0);
    EXPECT_EQ(d.legsThroughPercent, 0.0);
    EXPECT_GE(d.crossedHipsFromViewer, 20.0);
    EXPECT_LE(d.crossedHipsFromViewer, 60.0);
    EXPECT_LE(d.crossedPelvisDrop, 0.7);
    EXPECT_EQ(f.hipsAwayFromViewerFrames, 0);
    EXPECT_LE(f.largestYawStep, 20.0);
  }
}

// Standing on crossed feet, the legs reach across the body: the dancer straightens them, nearly
// all the way, and turns the hips on towards square across the feet, rather than sink into a
// squat, and still reaches the floor. (With the knees bent as over uncrossed feet, the centre
// stood 0.53-0.74 below rest on these, the knees bent 22-28°; with the hips turned only as the
// steps aimed them, 75-82° off the line between the feet, it stood 0.48-0.68 below.)
TEST(NaturalMotion, StraightensTheLegsOverCrossedFeet) {
  struct Case {
    std::string name;
    std::string dwi;
    double drop;  // the centre below rest, median over the frames stood crossed, at most
    double bend;  // the knees' bend over those frames, median, degrees, at most
    double turn;  // the hips' line off the line between the feet there, median, degrees, at least
  };
  const Case cases[] = {
      {"over the up arrow, standing crossed",
       "#BPM:120;\n#SINGLE:BASIC:1:48600000684000004860000068400000;\n", 0.62, 25.0, 85.0},
      {"over the down arrow, standing crossed",
       "#BPM:120;\n#SINGLE:BASIC:1:42600000624000004260000062400000;\n", 0.55, 25.0, 85.0},
      {"over the up arrow at 100", "#BPM:100;\n#SINGLE:BASIC:1:486000486000;\n", 0.63, 25.5, 85.0},
      {"from the down arrow", "#BPM:120;\n#SINGLE:BASIC:1:2460000028600000;\n", 0.465, 25.0, 85.0},
      {"from the up arrow at 100", "#BPM:100;\n#SINGLE:BASIC:1:8426000086240000;\n", 0.455, 19.5,
       85.0},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const BodyTracks tracks = BodyTracks::FromDocument(dance.motion);
    std::vector<double> drops;
    std::vector<double> bends;
    std::vector<double> turns;
    for (std::int32_t frame = 0; frame <= tracks.LastFrame(); ++frame) {
      const BodyPose pose = PoseBody(tracks, frame);
      if (std::fabs(pose.lift[0]) > kFloorTolerance || std::fabs(pose.lift[1]) > kFloorTolerance)
        continue;
      // The left ankle on the right of the right one, along the hips' left side.
      const Vec3 apart = pose.legs[0].ankle - pose.legs[1].ankle;
      const double along = apart.x * std::cos(pose.hipsYaw) - apart.z * std::sin(pose.hipsYaw);
      if (along >= -0.1) continue;
      drops.push_back(-pose.centreRise);
      turns.push_back(std::acos(std::min(1.0, -along / std::hypot(apart.x, apart.z))) / kDegree);
      for (const LegPose& leg : pose.legs) {
        bends.push_back(leg.bendDegrees);
        EXPECT_LE(leg.miss, 1e-3) << frame;
      }
    }
    ASSERT_GE(drops.size(), 30u);
    std::nth_element(drops.begin(), drops.begin() + static_cast<std::ptrdiff_t>(drops.size() / 2),
                     drops.end());
    std::nth_element(bends.begin(), bends.begin() + static_cast<std::ptrdiff_t>(bends.size() / 2),
                     bends.end());
    std::nth_element(turns.begin(), turns.begin() + static_cast<std::ptrdiff_t>(turns.size() / 2),
                     turns.end());
    EXPECT_LE(drops[drops.size() / 2], c.drop);
    EXPECT_LE(bends[bends.size() / 2], c.bend);
    EXPECT_GE(turns[turns.size() / 2], c.turn);
  }
}

// A crossing stood on for a while (a beat or more before the next foot lifts) already stands the
// body half a unit below rest, the legs nearly straight: the groove's dip on its landing beat is
// taken mostly in the knees' give, not as a squat, and the beat is still marked lower than
// between the beats. Both footings. (Dipped in full: 0.58 to 0.74 below rest.)
TEST(NaturalMotion, StandsTallOnTheBeatOfACrossingItStandsOn) {
  struct Case {
    std::string name;
    std::string dwi;
    bool planned;  // the planned footing, else the classic one
    double drop;   // the centre below rest, median over the crossed frames, at most
  };
  const std::string upArrow = "#SINGLE:BASIC:1:48600000684000004860000068400000;\n";
  const Case cases[] = {
      {"over the up arrow", "#BPM:120;\n" + upArrow, true, 0.53},                      // (0.611)
      {"over the up arrow at 90", "#BPM:90;\n" + upArrow, true, 0.62},                 // (0.739)
      {"over the up arrow every beat", Repeated(100, "486000", 2), true, 0.52},        // (0.624)
      {"in and out every half beat", Repeated(120, "4860", 2), true, 0.52},            // (0.594)
      {"over the up arrow, classic feet", "#BPM:120;\n" + upArrow, false, 0.54},       // (0.583)
      {"over the up arrow at 90, classic feet", "#BPM:90;\n" + upArrow, false, 0.55},  // (0.622)
      {"over the up arrow every beat, classic feet", Repeated(100, "486000", 2), false,
       0.56},  // (0.614)
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style, true, c.planned ? &kPlanned : nullptr);
    const BodyFigures& f = dance.figures;
    EXPECT_GE(f.dancer.crossedPercent, 15.0);
    EXPECT_LE(f.dancer.crossedPelvisDrop, c.drop);
    EXPECT_LE(f.dancer.bounce, -0.12);
    EXPECT_EQ(f.PlantedMissPercent(), 0.0);
    EXPECT_LE(f.largestPlantedSlide, 0.01);
  }
}

// Landing crossed and lifting out again a couple of frames later, the hips stay turned across
// the feet from the landing to the lift, and the body carried in between the beats still stands
// higher than on them. (With the hips as the steps aimed them at the landing and the lift: round
// the corners the legs passed through each other on 3.3 % and 5.9 % of the frames; over the
// arrows the body stood 0.524 and 0.386 below rest while crossed.)
TEST(NaturalMotion, KeepsTheHipsTurnedFromACrossedLandingToItsLift) {
  struct Case {
    std::string name;
    std::string dwi;
    double crossedDrop;  // at most
    double through;      // legs through each other, percent of the frames, at most
  };
  const Case cases[] = {
      {"round the corners", "#BPM:120;\n#SINGLE:BASIC:1:48624862486248624862486248624862;\n", 0.63,
       2.7},
      {"round the corners at 130", "#BPM:130;\n#SINGLE:BASIC:1:48624862486248624862486248624862;\n",
       0.6, 3.7},
      {"over the up arrow and back at 130",
       "#BPM:130;\n#SINGLE:BASIC:1:"
       "4868486848684868486848684868486848684868486848684868486848684868;\n",
       0.49, 0.0},
      {"over the down arrow and back",
       "#BPM:120;\n#SINGLE:BASIC:1:42624262426242624262426242624262;\n", 0.375, 0.0},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_GT(d.crossedPercent, 20.0);
    EXPECT_LE(d.crossedPelvisDrop, c.crossedDrop);
    EXPECT_LE(d.legsThroughPercent, c.through);
    EXPECT_LT(d.bounce, 0.0);
  }
}

// Stood crossed for a while before a foot lifts out, the hips stay turned across the feet up to
// the lift, as over a quick crossing: the body stands as high through the end of the stance as
// through its start, and a crossing held over a rest, the lift out of it planned with the steps
// after the rest, as well. (Turned back to where the steps aimed them at the lift, the body sank
// there: 0.486, 0.562, 0.497, 0.374 and 0.508 below rest while crossed on the first five; over
// the rests, 0.543 and 0.547 standing and crossed, 0.568 and 0.563, 0.517 and 0.577. The first
// step after a rest leaves as the beats place the stillness before it, a little earlier on the
// classic footing's two: the crossed stance before it ends lower, 0.546 (0.542 before) and 0.5625
// (0.558), both still under the sinking turned back.)
TEST(NaturalMotion, KeepsTheHipsTurnedThroughAHeldCrossing) {
  struct Case {
    std::string name;
    std::string dwi;
    bool classicFeet;
    double drop;         // with both feet down, at most
    double crossedDrop;  // at most
    double through;      // legs through each other, percent of the frames, at most
  };
  const Case cases[] = {
      {"round the corners at 80, classic feet", "#BPM:80;\n#SINGLE:BASIC:1:48624862486248624862;\n",
       true, 0.44, 0.455, 1.95},
      {"over the up arrow and back at 80, classic feet",
       "#BPM:80;\n#SINGLE:BASIC:1:48684868486848684868;\n", true, 0.27, 0.455, 0.0},
      {"over the up arrow and back at 80", "#BPM:80;\n#SINGLE:BASIC:1:48684868486848684868;\n",
       false, 0.2, 0.455, 0.0},
      {"over the down arrow and back at 80, classic feet",
       "#BPM:80;\n#SINGLE:BASIC:1:42624262426242624262;\n", true, 0.28, 0.36, 0.0},
      {"over the up arrow and back at 100", "#BPM:100;\n#SINGLE:BASIC:1:48684868486848684868;\n",
       false, 0.2, 0.45, 0.0},
      {"round the corners, resting between, classic feet",
       "#BPM:120;\n#SINGLE:BASIC:1:48620000000048620000000048620000;\n", true, 0.537, 0.5465, 1.2},
      {"round the corners at 90, resting between, classic feet",
       "#BPM:90;\n#SINGLE:BASIC:1:4862000000004862000000004862000000;\n", true, 0.5630, 0.552,
       0.95},
      {"round the corners, resting between",
       "#BPM:120;\n#SINGLE:BASIC:1:48620000000048620000000048620000;\n", false, 0.505, 0.566, 0.8},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style, true, c.classicFeet ? nullptr : &kPlanned);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_GT(d.crossedPercent, 15.0);
    EXPECT_LE(d.pelvisDropBothPlanted, c.drop);
    EXPECT_LE(d.crossedPelvisDrop, c.crossedDrop);
    // Turned further across the feet, not towards the viewer, and the legs still apart.
    EXPECT_GE(d.crossedHipsFromViewer, 30.0);
    EXPECT_LE(d.legsThroughPercent, c.through);
    EXPECT_LT(d.bounce, 0.0);
  }
}

// How far the ball of a planted foot (0.8 ahead of its ankle) stands from the nearest of the panels
// centred at `panels`, measured along the pad's axes (a panel is 3.4 wide), at its worst.
double WorstPlantedBallOffPanel(const MotionDocument& motion,
                                const std::vector<std::pair<double, double>>& panels) {
  const BodyTracks tracks = BodyTracks::FromDocument(motion);
  const std::array<const BoneTrack*, 2> ik{&tracks.leftFootIk, &tracks.rightFootIk};
  double worst = 0.0;
  for (std::int32_t frame = 0; frame <= tracks.LastFrame(); ++frame) {
    const BodyPose pose = PoseBody(tracks, frame);
    for (std::size_t side = 0; side < 2; ++side) {
      if (std::fabs(pose.lift[side]) > kFloorTolerance) continue;
      const auto q = ik[side]->At(frame).rotation;
      const double yaw = 2.0 * std::atan2(q[1], q[3]);
      const double ballX = pose.target[side].x - 0.8 * std::sin(yaw);
      const double ballZ = pose.target[side].z - 0.8 * std::cos(yaw);
      double off = 1e9;
      for (const auto& [x, z] : panels)
        off = std::min(off, std::max(std::fabs(ballX - x), std::fabs(ballZ - z)));
      worst = std::max(worst, off);
    }
  }
  return worst;
}

// A foot that the other is about to cross over, across two pads, stands on the side of its panel
// that the other comes to, still on the panel: standing on the inner part towards where the other
// foot stood before, it left a crossing 9 wide, a lunge (crossed 1.28, 0.87 and 0.82 below rest,
// the legs through each other on 5.5 % and 3.3 % of the frames).
TEST(NaturalMotion, StandsReadyForAFootCrossingOverFromTheOtherPad) {
  struct Case {
    std::string name;
    std::string dwi;
    double crossedDrop;  // at most
  };
  const Case cases[] = {
      {"along both pads over the down arrow",
       "#BPM:120;\n#DOUBLE:BASIC:1:00240024002400240024:64006400640064006400;\n", 0.8},
      {"along both pads over the up arrow",
       "#BPM:100;\n#DOUBLE:BASIC:1:00840084008400840084:64006400640064006400;\n", 0.56},
      {"along both pads and back",
       "#BPM:120;\n#DOUBLE:BASIC:1:0024200000242000002420000024200000242000:"
       "6400046464000464640004646400046464000464;\n",
       0.7},
  };
  std::vector<std::pair<double, double>> panels;
  for (const double x : {-6.0, 6.0}) {
    for (const auto& [ax, az] : {std::pair{4.0, 0.0}, {-4.0, 0.0}, {0.0, 4.0}, {0.0, -4.0}})
      panels.emplace_back(x + ax, az);
  }
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_GT(d.crossedPercent, 5.0);
    EXPECT_LE(d.crossedPelvisDrop, c.crossedDrop);
    EXPECT_LE(d.legsThroughPercent, 0.0);
    EXPECT_LE(d.pelvisDropBothPlanted, 0.3);
    EXPECT_LE(WorstPlantedBallOffPanel(dance.motion, panels), 1.7);
  }
}

// The hips turned to part crossed legs, a foot landing near its panel's edge turns only as far
// as the ball stays on the panel: turned all the way with them, its ball stood up to 0.3 off it,
// on the floor between the panels, in crossed jumps of the classic footing.
TEST(NaturalMotion, KeepsTheBallOfATurnedFootOnItsPanel) {
  struct Case {
    std::string name;
    std::string dwi;
    bool classicFeet;
  };
  const Case cases[] = {
      {"jumps across with the classic footing", "#BPM:60;\n#SINGLE:BASIC:1:B0A0B0A0;\n", true},
      {"jumps across", "#BPM:60;\n#SINGLE:BASIC:1:B0A0B0A0;\n", false},
      {"standing crossed with the classic footing",
       "#BPM:120;\n#SINGLE:BASIC:1:48600000684000004860000068400000;\n", true},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style, true, c.classicFeet ? nullptr : &kPlanned);
    EXPECT_LE(
        WorstPlantedBallOffPanel(dance.motion, {{4.0, 0.0}, {-4.0, 0.0}, {0.0, 4.0}, {0.0, -4.0}}),
        1.7);
  }
}

// A crossing after a rest starts the next planned stretch, but the foot to be crossed over still
// stands ready for it through the rest: with it on the far side of its panel the crossed stance
// stood 8.5 wide (0.98 and 1.03 down). The stance held through the rest widens only so far,
// as the body stands in it for a second or more.
TEST(NaturalMotion, StandsReadyThroughARestForACrossingAfterIt) {
  struct Case {
    std::string name;
    std::string dwi;
    double crossedDrop;  // at most
  };
  const Case cases[] = {
      {"over the down arrow",
       "#BPM:120;\n#DOUBLE:BASIC:1:00000024000000240000002400000024:"
       "64000000640000006400000064000000;\n",
       0.95},
      {"over the up arrow",
       "#BPM:100;\n#DOUBLE:BASIC:1:00000084000000840000008400000084:"
       "64000000640000006400000064000000;\n",
       0.94},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_GT(d.crossedPercent, 5.0);
    EXPECT_LE(d.crossedPelvisDrop, c.crossedDrop);
    EXPECT_LE(d.legsThroughPercent, 0.0);
    EXPECT_LE(d.pelvisDropBothPlanted, 0.4);
  }
}

// Out of a deep stance (a straddle over a pad, a wide step across both) the body carried over the
// standing foot rises as high as the next landing stands: it stays lowest on the beat. (Held
// down at the stance's height, the body was lowest between the beats and came up into the beat:
// -0.001 and 0.162.)
TEST(NaturalMotion, RisesBetweenTheBeatsOutOfADeepStance) {
  struct Case {
    std::string name;
    std::string dwi;
    double bounce;  // the centre on the beat less between the beats, below
  };
  const Case cases[] = {
      {"wide steps and straddles at 124",
       "#BPM:124.03;\n#DOUBLE:BASIC:1:"
       "0000000000000060804022204040666022000000000000000000000000802220"
       "6080604040600000000000000080444060604020000000000060000060006660"
       "8040200000000000000000000000000000000000602040206622402044226020"
       "0000000000000000000000000000000060804040606022206010603040106030:"
       "6020402066602000000000000000000000448060446620206040222040000000"
       "0000000000002060404066604000000000000000406044402000444000400000"
       "0000004060204422604020806644802040402020000000000000000000000000"
       "40806060402060204030401080A0B02000000000000000000000000000000000;\n",
       -0.007},
      {"wide steps and jumps at 165",
       "#BPM:165;\n#DOUBLE:BASIC:1:"
       "000000000000000000006000B0000000B0000000A00000002060000020600000"
       "8060000080600000000020000000200080600000000020600000206080600000"
       "8060000000002060806000000000206080600000000020608060000000002060"
       "8060806000000000006000600040004000600060806020600000000000000000:"
       "B0000000A0000000B00040000000000000000000000000000000204000008000"
       "0000200000002000804000008040000000002040804000002040000000002000"
       "0000204080400000000020408040000000002040804000000000204080400000"
       "0000000040204020000000000000000000000000000000008040204000000000;\n",
       0.08},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_LT(d.bounce, c.bounce);
    // Risen sooner, it springs up no faster than a dancer's pelvis, nor lands the next foot hard.
    EXPECT_LE(d.fastestPelvis, 1.5);
    EXPECT_LE(dance.figures.landingSpeedP95, 0.12);
    // A held landing reached from the risen carry sinks no deeper with both feet down.
    EXPECT_LE(d.pelvisDropBothPlanted, 0.37);
  }
}

// Stood with both feet down nearly 0.45 below rest (a crossing, a wide stance), the body dips on
// the beat only down to there: the knees, already bent, take part of the bob. Dipped all the way,
// the centre stood lower with both feet down: 0.459, 0.427 and 0.381.
TEST(NaturalMotion, BobsOnlyDownToADancersDepthOutOfADeepStance) {
  struct Case {
    std::string name;
    std::string dwi;
    bool classicFeet;
    double drop;  // the centre below rest with both feet down, median, at most
  };
  const std::string crossings = Repeated(90, "4800000062000000", 4);
  const Case cases[] = {
      {"left and up, right and down at 90, classic feet", crossings, true, 0.452},
      {"left and up, right and down at 90", crossings, false, 0.42},
      {"left and right, resting, at 90", Repeated(90, "4600000000000000", 4), false, 0.372},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style, true, c.classicFeet ? nullptr : &kPlanned);
    const BodyFigures& f = dance.figures;
    EXPECT_LE(f.dancer.pelvisDropBothPlanted, c.drop);
    // Still lowest on the beat, the knees still bent, and the feet reached.
    EXPECT_LT(f.dancer.bounce, -0.1);
    EXPECT_GE(f.dancer.kneeBendBothPlanted, 18.0);
    EXPECT_LE(f.landingSpeedP95, 0.12);
    EXPECT_LE(f.largestPlantedSlide, 0.01);
  }
}

// Through an intro, the body stands where it starts until half a beat before the first beat it
// marks, and rises back there between the beats it marks. (Eased all the way from the first frame
// to that beat, it sank for seconds, as much as 0.18 by a beat before it, the knees ever more bent;
// and each beat it marked took it further down towards the first step.)
TEST(NaturalMotion, StandsThroughTheIntroUntilTheFirstBeat) {
  const NamedChart cases[] = {
      {"five seconds at 90",
       "#BPM:90;\n#GAP:5000;\n#SINGLE:BASIC:1:0000000046000000460000004600;\n"},
      {"three seconds at 150",
       "#BPM:150;\n#GAP:3000;\n#SINGLE:BASIC:1:00000000460046004600460046004600;\n"},
  };
  const NaturalMotion style;
  for (const NamedChart& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const BodyTracks tracks = BodyTracks::FromDocument(dance.motion);
    ASSERT_GE(dance.beats.size(), 2u);
    const std::int32_t beat = dance.beats[1] - dance.beats[0];
    const double standing = PoseBody(tracks, 0).centreRise;
    for (std::int32_t frame = 1; frame <= dance.beats[0] - beat; ++frame)
      EXPECT_NEAR(PoseBody(tracks, frame).centreRise, standing, 0.01) << frame;
    // And between the first two beats it marks, back where it stood, not on its way down to the
    // first step.
    for (std::size_t i = 0; i < 2; ++i) {
      const std::int32_t between = dance.beats[i] + (dance.beats[i + 1] - dance.beats[i]) / 2;
      EXPECT_NEAR(PoseBody(tracks, between).centreRise, standing, 0.01) << i;
    }
    EXPECT_LT(dance.figures.dancer.bounce, 0.0);
  }
}

// Standing wide, the legs reach out to the feet nearly straight rather than the body squatting
// between them, and still reach the floor; a straddle over two pads, out of the legs' reach, keeps
// its knees bent as ever. (With the knees as bent over a wide stance as over a narrow one, the
// centre stood 0.37-0.46 below rest on the first four, the knees bent 23°.)
TEST(NaturalMotion, StandsAWideStanceOnLongLegs) {
  struct Case {
    std::string name;
    std::string dwi;
    double drop;  // the centre below rest with both feet down, median, at most
  };
  const Case cases[] = {
      {"jumps onto left and right", "#BPM:120;\n#SINGLE:BASIC:1:B0000000B0000000B0000000;\n", 0.35},
      {"jumps onto up and down", "#BPM:120;\n#SINGLE:BASIC:1:A0000000A0000000A0000000;\n", 0.42},
      {"left, then right", "#BPM:120;\n#SINGLE:BASIC:1:460000004600000046000000;\n", 0.355},
      {"down, then up", "#BPM:120;\n#SINGLE:BASIC:1:280000002800000028000000;\n", 0.43},
      {"a straddle over two pads",
       "#BPM:120;\n#DOUBLE:BASIC:1:4000000040000000:6000000060000000;\n", 4.3},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const BodyFigures& f = dance.figures;
    EXPECT_LE(f.dancer.pelvisDropBothPlanted, c.drop);
    // Nearly straight, not locked: with the groove's dip the knees still bend about 20° (the
    // straddle's 16° with its legs as straight as over a wide stance on one pad).
    EXPECT_GE(f.dancer.kneeBendBothPlanted, 18.0);
    EXPECT_EQ(f.PlantedMissPercent(), 0.0);
    EXPECT_LE(f.largestPlantedSlide, 0.01);
  }
}

// Out of a split across both pads the body stands deep between the feet; as one foot comes in
// and the other lifts, the centre goes over the foot that stays. It could not set off any
// earlier without sinking deeper than a pull may, and it rose and crossed in two frames at 1.56
// a frame, past a dancer's pelvis: pulled back, it may now sink as deep as it stood.
TEST(NaturalMotion, ComesOutOfASplitNoFasterThanADancersPelvis) {
  const NamedChart cases[] = {
      {"a run across the right pad into a split, then the left pad",
       "#BPM:142.37;\n#DOUBLE:MANIAC:8:00000000000000000000204082604000:"
       "00008280242024600000000000000000;\n"},
  };
  const NaturalMotion style;
  for (const NamedChart& c : cases) {
    SCOPED_TRACE(c.name);
    const BodyFigures f = Dance(c.dwi, style).figures;
    EXPECT_LE(f.dancer.fastestPelvis, 1.5);
    EXPECT_EQ(f.PlantedMissPercent(), 0.0);
    EXPECT_LE(f.largestPlantedSlide, 0.05);
  }
}

// A foot crossing behind the standing one keeps low, its knee out of the standing leg, and the
// hips keep turning the way they already turn from one crossing to the next, not through square;
// where they must turn through square, the foot tops its swing in front of the standing leg.
TEST(NaturalMotion, PassesACrossingFootWithoutTheLegsMeeting) {
  struct Case {
    std::string name;
    std::string dwi;
    double through;  // % of frames, at most; 2.4–6.4 when the knee came high and forwards
    bool crosses;
  };
  const Case cases[] = {
      // A long step behind: 1.4 % at half its lift, the knee still coming forwards. The jacks on
      // the up arrow now set each foot down beside the other on its own side, and the feet no
      // longer cross there at all (stood crossed on the one panel, the hips turned 84°).
      {"behind and back at 100", "#BPM:100;\n#SINGLE:BASIC:1:824644488886;\n", 0.8, false},
      {"behind and back at 120", "#BPM:120;\n#SINGLE:BASIC:1:428488828688;\n", 1.7, false},
      {"round the up arrow at 140", "#BPM:140;\n#SINGLE:BASIC:1:84866884;\n", 1.3, true},
      // The hips turn through square while the foot passes: 1.2 % when it passed straight.
      {"from one crossing into the other at 156",
       "#BPM:155.88;\n#SINGLE:BASIC:1:802040808006!6000620406020;\n", 0.6, true},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_EQ(d.crossedPercent > 0.0, c.crosses);
    EXPECT_LE(d.legsThroughPercent, c.through);
    EXPECT_LE(dance.figures.largestYawStep, 20.0);
  }
}

// A foot stepping onto the panel the other stands on, where the other goes on to a panel on
// its own side next, is set down beside it on its own side: put on the part of the panel towards
// that next panel, it swung round the standing foot and stood crossed with it on one panel (the
// feet closer than a foot's width on 0.7-1.2 % of the frames, the legs through each other on up
// to 2.4 %).
TEST(NaturalMotion, SetsAFootDownBesideTheOtherOnItsPanel) {
  const std::string jacks = "000000004040(88)0702020(66)0308020406";
  const NamedChart cases[] = {
      {"at 100", "#BPM:100;\n#SINGLE:BASIC:1:" + jacks + jacks + jacks + ";\n"},
      {"at 125", "#BPM:125;\n#SINGLE:BASIC:1:" + jacks + jacks + jacks + ";\n"},
      {"at 150", "#BPM:150;\n#SINGLE:BASIC:1:" + jacks + jacks + jacks + ";\n"},
      {"without the rests at 125",
       "#BPM:125;\n#SINGLE:BASIC:1:4040(88)0702020(66)030802044040(88)0702020(66)03080204;\n"},
  };
  const NaturalMotion style;
  for (const NamedChart& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const DancerFigures& d = dance.figures.dancer;
    EXPECT_LE(d.feetFusedPercent, 0.0);
    EXPECT_LE(d.legsThroughPercent, 0.0);
    EXPECT_LE(d.crossedPercent, 0.0);
    EXPECT_EQ(dance.figures.plantedMisses, 0);
    EXPECT_LE(dance.figures.largestPlantedSlide, 0.01);
  }
}

// The body is on its way over the standing foot as the other lifts and goes on without a pause,
// no faster than a dancer's pelvis: eased to a stop at the lift, it stood between the feet
// through the swing's first frames (0.32-0.35 a frame as the foot left at 100 beats a minute, 0.52
// at 140).
TEST(NaturalMotion, GoesOnOverTheStandingFootAsTheOtherLifts) {
  struct Case {
    std::string name;
    std::string dwi;
    double leaving;  // the centre's mean way in the frame a foot leaves the floor, at least
  };
  const Case cases[] = {
      {"left and right", "#BPM:100;\n#SINGLE:BASIC:1:46464646;\n", 0.5},
      {"up and down", "#BPM:100;\n#SINGLE:BASIC:1:28282828;\n", 0.5},
      {"left and right at 140", "#BPM:140;\n#SINGLE:BASIC:1:46464646;\n", 0.7},
  };
  const NaturalMotion style;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Dance dance(c.dwi, style);
    const BodyTracks tracks = BodyTracks::FromDocument(dance.motion);
    int lifts = 0;
    double way = 0.0;
    BodyPose before = PoseBody(tracks, 0.0);
    for (double f = 1.0; f < 200.0; f += 1.0) {
      const BodyPose p = PoseBody(tracks, f);
      for (std::size_t side = 0; side < 2; ++side) {
        if (before.lift[side] > 0.0 || p.lift[side] <= 0.0 || p.lift[1 - side] > 0.0) continue;
        ++lifts;
        way += std::hypot(p.centre.x - before.centre.x, p.centre.z - before.centre.z);
      }
      before = p;
    }
    ASSERT_GE(lifts, 6);
    EXPECT_GE(way / lifts, c.leaving);
    EXPECT_LE(dance.figures.dancer.fastestPelvis, 1.0);
  }
}

TEST(NaturalMotion, JumpsBendTheKneesInTheAirAndDoNotFloat) {
  const Dance dance("#BPM:60;\n#SINGLE:BASIC:1:B0000000A0000000B;\n", NaturalMotion());
  const BodyFigures& f = dance.figures;
  EXPECT_GT(f.airborneLegFrames, 0);
  EXPECT_GT(f.longestAirborneSeconds, 0.1);
  EXPECT_LE(f.longestAirborneSeconds, 0.6);
  EXPECT_EQ(f.straightAirborneLegFrames, 0);
}

TEST(NaturalMotion, FacesTheChosenSide) {
  const std::string dwi = "#BPM:150;\n#SINGLE:BASIC:1:4826482648264826;\n";
  const Dance viewer(dwi, NaturalMotion(Facing::kViewer));
  const Dance screen(dwi, NaturalMotion(Facing::kScreen));
  EXPECT_EQ(viewer.figures.hipsAwayFromViewerFrames, 0);
  EXPECT_EQ(screen.figures.hipsAwayFromScreenFrames, 0);
  EXPECT_EQ(screen.figures.hipsAwayFromViewerFrames, screen.figures.frames);
  // Turned round, the up arrow lies towards the viewer (−z) and the left foot on her left (+x),
  // on the inner part of the panel, 1.3 from its centre.
  const auto left = BoneTrack::FromDocument(viewer.motion, kLeftFootIkBone).At(0);
  EXPECT_NEAR(left.position[0], 4.0 - 1.3 - 0.9, 1e-5);
}

TEST(NaturalMotion, SwingsBothArmsAndTwistsOnlyWhenAsked) {
  const std::string dwi = "#BPM:150;\n#SINGLE:BASIC:1:4826482648264826;\n";
  const Dance twisted(dwi, NaturalMotion());
  const Dance plain(dwi, NaturalMotion(), false);
  EXPECT_GE(twisted.figures.leftArmLeastSwing, 10.0);
  EXPECT_GE(twisted.figures.rightArmLeastSwing, 10.0);
  EXPECT_GT(KeysOf(twisted.motion, kUpperBodyBone), 0u);
  EXPECT_GT(KeysOf(twisted.motion, kNeckBone), 0u);
  EXPECT_EQ(KeysOf(plain.motion, kUpperBodyBone), 0u);
  EXPECT_EQ(KeysOf(plain.motion, kNeckBone), 0u);
  EXPECT_GT(KeysOf(plain.motion, kLeftElbowBone), 0u);
}

TEST(NaturalMotion, WritesAFileThatReadsBackWithTheFourSectionCounts) {
  const std::string dwi = "#BPM:150;\n#SINGLE:BASIC:1:4826482648264826;\n";
  const auto read = test::ReadDwi(dwi);
  const NaturalMotion style;
  GenerationRequest request{&read->song, read->song.scores.front().get(), 0, true};
  request.motion = &style;
  const auto path = std::filesystem::temp_directory_path() /
                    ("pavaneflow-natural-" + std::to_string(::getpid()) + ".vmd");
  MotionDocument motion;
  pavaneflow::Run(request, motion, path);  // the four counts without being asked for them
  const std::vector<std::uint8_t> bytes = test::ReadFileBytes(path);
  const VmdMotion back = ReadVmdFile(path);
  std::filesystem::remove(path);

  EXPECT_EQ(bytes.size(), 54 + 111 * motion.FrameCount() + 16);
  const auto contents = test::ReadVmd(bytes);
  ASSERT_TRUE(contents.has_value());
  EXPECT_EQ(contents->trailing, std::vector<std::uint8_t>(16, 0));
  ASSERT_EQ(back.bones.size(), motion.FrameCount());
  EXPECT_TRUE(back.morphs.empty());
  EXPECT_TRUE(back.cameras.empty());
  for (std::size_t i = 0; i < back.bones.size(); ++i) {
    EXPECT_EQ(back.bones[i].frameNumber, motion.At(i).frameNumber());
    EXPECT_EQ(back.bones[i].interpolation, *motion.At(i).interpolation);
  }
  // Read from the file or taken from the document, the body moves alike.
  const BodyFigures fromFile = MeasureBody(BodyTracks::FromVmd(back));
  const BodyFigures fromDocument = MeasureBody(BodyTracks::FromDocument(motion));
  EXPECT_EQ(fromFile.landings, fromDocument.landings);
  EXPECT_EQ(fromFile.landingSpeedP95, fromDocument.landingSpeedP95);
}

}  // namespace
}  // namespace pavaneflow
