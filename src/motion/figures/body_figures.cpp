#include "motion/figures/body_figures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "motion/figures/beat_align.h"
#include "motion/figures/body_pose.h"
#include "motion/figures/foot_contact.h"

namespace pavaneflow {
namespace {

constexpr double kFramesPerSecond = 30.0;
constexpr std::int32_t kSwingWindowFrames = 60;
constexpr std::int32_t kSameLandingFrames = 3;  // the two feet of a jump count once

double Percent(std::int64_t part, std::int64_t whole) {
  return whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

// The nearest-rank 95th percentile; 0 for none.
double P95(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<std::size_t>(std::ceil(0.95 * static_cast<double>(values.size())));
  return values[std::max<std::size_t>(rank, 1) - 1];
}

double Degrees(double radians) {
  return std::fabs(radians) / kDegree;
}

// The turn from one yaw to another the short way round, radians.
double YawDifference(double a, double b) {
  return std::remainder(a - b, 2.0 * 3.14159265358979323846);
}

// The least swing of one arm over the windows that hold two landings: an arm's swing in a window
// is the largest angle between two of its directions there, forwards, outwards or both.
double LeastSwing(const std::vector<BodyPose>& poses, std::size_t side,
                  const std::vector<std::int32_t>& landings) {
  const auto frames = static_cast<std::int32_t>(poses.size());
  std::vector<Vec3> arm(poses.size());
  for (std::size_t f = 0; f < poses.size(); ++f) {
    const Vec3 a = poses[f].upperArm[side];
    arm[f] = (1.0 / Length(a)) * a;
  }
  // closest[i]: the least cosine between frame i and a later frame of the window, kept up to
  // date as each frame joins, so that a window costs two passes over it instead of every pair.
  std::vector<double> closest(poses.size(), 1.0);
  double leastSwing = -1.0;
  std::size_t firstLanding = 0;
  std::int32_t end = 0;
  // Whole windows only (the whole dance when it is shorter): one cut off by the end would count
  // half a swing.
  const std::int32_t lastStart = std::max(0, frames - kSwingWindowFrames);
  for (std::int32_t start = 0; start <= lastStart; ++start) {
    for (; end < std::min(frames, start + kSwingWindowFrames); ++end) {
      const Vec3 joining = arm[static_cast<std::size_t>(end)];
      for (std::int32_t i = start; i < end; ++i) {
        double& c = closest[static_cast<std::size_t>(i)];
        c = std::min(c, Dot(arm[static_cast<std::size_t>(i)], joining));
      }
    }
    while (firstLanding < landings.size() && landings[firstLanding] < start) ++firstLanding;
    const bool twoSteps = firstLanding + 1 < landings.size() &&
                          landings[firstLanding + 1] < start + kSwingWindowFrames;
    if (!twoSteps) continue;
    const auto first = closest.begin() + start;
    const double cosine = *std::min_element(first, closest.begin() + end);
    const double swing = std::acos(std::clamp(cosine, -1.0, 1.0)) / kDegree;
    leastSwing = leastSwing < 0.0 ? swing : std::min(leastSwing, swing);
  }
  return leastSwing;
}

// The mean distance the joints moved from one pose to the next, over the twenty bones the player
// places at them: the pelvis twice, as the lower and the upper body share their origin.
double MeanJointMove(const BodyPose& a, const BodyJoints& ja, const BodyPose& b,
                     const BodyJoints& jb) {
  double sum =
      2.0 * Length(jb.pelvis - ja.pelvis) + Length(jb.neck - ja.neck) + Length(jb.head - ja.head);
  for (std::size_t side = 0; side < 2; ++side) {
    sum += Length(b.hip[side] - a.hip[side]) + Length(b.legs[side].knee - a.legs[side].knee) +
           Length(b.legs[side].ankle - a.legs[side].ankle) + Length(jb.toe[side] - ja.toe[side]) +
           Length(jb.shoulder[side] - ja.shoulder[side]) + Length(jb.arm[side] - ja.arm[side]) +
           Length(jb.elbow[side] - ja.elbow[side]) + Length(jb.wrist[side] - ja.wrist[side]);
  }
  return sum / 20.0;
}

double FlatMove(Vec3 a, Vec3 b) {
  return std::hypot(b.x - a.x, b.z - a.z);
}

}  // namespace

double BodyFigures::PlantedMissPercent() const {
  return Percent(plantedMisses, plantedFootFrames);
}
double BodyFigures::StraightAirborneKneePercent() const {
  return Percent(straightAirborneLegFrames, airborneLegFrames);
}
double BodyFigures::HipsAwayFromViewerPercent() const {
  return Percent(hipsAwayFromViewerFrames, frames);
}
double BodyFigures::HipsAwayFromScreenPercent() const {
  return Percent(hipsAwayFromScreenFrames, frames);
}

BodyFigures MeasureBody(const BodyTracks& tracks, const BodyProportions& body,
                        const std::vector<std::int32_t>* beats) {
  BodyFigures figures;
  figures.keyFrames = tracks.keyFrames;
  if (tracks.centre.Keys().empty() && tracks.leftFootIk.Keys().empty()) return figures;
  const std::int32_t last = std::min(tracks.LastFrame(), kMostMeasuredFrames - 1);
  figures.cutShort = tracks.LastFrame() > last;
  std::vector<BodyPose> poses;
  poses.reserve(static_cast<std::size_t>(last) + 1);
  // Index f of the moves: from frame f to f + 1.
  std::vector<double> jointMoves;
  std::vector<std::array<double, 2>> footMoves;  // the slower of ankle and toe, sideways
  std::vector<Vec3> pelvis;
  BodyJoints previous;
  for (std::int32_t f = 0; f <= last; ++f) {
    BodyJoints joints;
    poses.push_back(PoseBody(tracks, f, body, &joints));
    pelvis.push_back(joints.pelvis);
    if (f > 0) {
      const BodyPose& from = poses[poses.size() - 2];
      const BodyPose& to = poses.back();
      jointMoves.push_back(MeanJointMove(from, previous, to, joints));
      std::array<double, 2> feet{};
      for (std::size_t side = 0; side < 2; ++side) {
        feet[side] = std::min(FlatMove(from.legs[side].ankle, to.legs[side].ankle),
                              FlatMove(previous.toe[side], joints.toe[side]));
      }
      footMoves.push_back(feet);
    }
    previous = joints;
  }
  figures.frames = static_cast<std::int64_t>(poses.size());

  auto onFloor = [](const BodyPose& p, std::size_t side) {
    return std::fabs(p.lift[side]) <= kFloorTolerance;
  };
  auto airborne = [](const BodyPose& p) { return p.centreRise > kFloorTolerance; };
  auto still = [&](std::size_t a, std::size_t b, std::size_t side) {
    return Length(poses[a].target[side] - poses[b].target[side]) < kFloorTolerance;
  };

  std::vector<double> landingSpeeds;
  std::vector<double> headTurns;
  std::vector<std::int32_t> landingFrames;
  // A landing within a few frames of the one before, itself counted or not, is the same step.
  std::int32_t lastLanding = std::numeric_limits<std::int32_t>::min() / 2;
  std::vector<std::array<bool, 2>> plantedFeet(poses.size(), {false, false});
  std::int64_t airborneRun = 0;
  std::int64_t longestAirborne = 0;
  for (std::size_t f = 0; f < poses.size(); ++f) {
    const BodyPose& p = poses[f];
    if (airborne(p)) {
      longestAirborne = std::max(longestAirborne, ++airborneRun);
    } else {
      airborneRun = 0;
    }
    const double towardsViewer = std::cos(p.hipsYaw);
    if (towardsViewer < 0.0) ++figures.hipsAwayFromViewerFrames;
    if (towardsViewer > 0.0) ++figures.hipsAwayFromScreenFrames;
    headTurns.push_back(Degrees(YawDifference(p.headYaw, 0.0)));
    if (f > 0) {
      figures.largestYawStep =
          std::max(figures.largestYawStep, Degrees(YawDifference(p.hipsYaw, poses[f - 1].hipsYaw)));
    }

    for (std::size_t side = 0; side < 2; ++side) {
      const LegPose& leg = p.legs[side];
      if (airborne(p)) {
        ++figures.airborneLegFrames;
        if (leg.bendDegrees < kStraightKneeDegrees) ++figures.straightAirborneLegFrames;
      }
      if (f == 0) continue;
      const BodyPose& before = poses[f - 1];
      const bool stillAfter = f + 1 >= poses.size() || still(f, f + 1, side);
      const bool planted = onFloor(p, side) && still(f - 1, f, side) && stillAfter && !airborne(p);
      if (planted) {
        plantedFeet[f][side] = true;
        ++figures.plantedFootFrames;
        if (leg.miss > kReachTolerance) ++figures.plantedMisses;
        figures.largestPlantedSlide =
            std::max(figures.largestPlantedSlide, Length(leg.ankle - before.legs[side].ankle));
      }
      const bool touchdown = onFloor(p, side) && !onFloor(before, side);
      const bool cameToRest =
          onFloor(p, side) && onFloor(before, side) && !still(f - 1, f, side) && stillAfter;
      if (touchdown || cameToRest) {
        landingSpeeds.push_back(Length(leg.ankle - before.legs[side].ankle));
        const auto frame = static_cast<std::int32_t>(f);
        if (frame - lastLanding > kSameLandingFrames) landingFrames.push_back(frame);
        lastLanding = frame;
      }
    }
  }
  figures.landings = static_cast<std::int64_t>(landingSpeeds.size());
  figures.landingSpeedP95 = P95(std::move(landingSpeeds));
  figures.headFromViewerP95 = P95(std::move(headTurns));
  figures.longestAirborneSeconds = static_cast<double>(longestAirborne) / kFramesPerSecond;
  figures.leftArmLeastSwing = LeastSwing(poses, 0, landingFrames);
  figures.rightArmLeastSwing = LeastSwing(poses, 1, landingFrames);
  figures.dancer = MeasureDancer(poses, plantedFeet, landingFrames, beats, body);
  const std::vector<std::int32_t> motionBeats = MotionBeats(jointMoves);
  figures.dancer.motionBeats = static_cast<std::int64_t>(motionBeats.size());
  if (beats != nullptr) {
    std::vector<std::int32_t> music;
    for (const std::int32_t beat : *beats) {
      if (beat >= 0 && beat <= last) music.push_back(beat);
    }
    figures.dancer.beatAlignScore = BeatAlignScore(music, motionBeats);
  }
  figures.dancer.footContact = FootContact(pelvis, footMoves, 0, pelvis.size());
  figures.dancer.clipFootContact = ClipFootContact(pelvis, footMoves);
  return figures;
}

}  // namespace pavaneflow
