#include "motion/figures/dancer_figures.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace pavaneflow {
namespace {

constexpr std::int32_t kWindowFrames = 60;
constexpr double kSecondsPerWindow = 2.0;
constexpr double kLiftedAnkle = 0.05;
constexpr double kLeastSpan = 0.5;
constexpr double kCrossMargin = 0.1;

double Percent(std::int64_t part, std::int64_t whole) {
  return whole > 0 ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

// The nearest-rank percentile `share` of `values`; 0 for none.
double Rank(std::vector<double> values, double share) {
  if (values.empty()) return 0.0;
  const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(values.size())));
  const std::size_t index = std::max<std::size_t>(rank, 1) - 1;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index),
                   values.end());
  return values[index];
}

double Flat(Vec3 a, Vec3 b) {
  return std::hypot(a.x - b.x, a.z - b.z);
}

double LegsGap(const BodyPose& p) {
  return pavaneflow::LegsGap(p.hip, p.legs);
}

double AngleBetween(Vec3 a, Vec3 b) {
  const double cosine = Dot(a, b) / (Length(a) * Length(b));
  return std::acos(std::clamp(cosine, -1.0, 1.0)) / kDegree;
}

// 1 on each frame where the arm's forward swing turned back kArmReversal from its furthest
// point, having come kArmReversal from the turn before.
std::vector<int> Reversals(const std::vector<BodyPose>& poses, std::size_t side) {
  std::vector<int> turns(poses.size(), 0);
  double extreme = 0.0;
  int direction = 0;  // 1 swinging forwards, −1 back, 0 not yet known
  double anchor = 0.0;
  for (std::size_t f = 0; f < poses.size(); ++f) {
    const Vec3 arm = poses[f].upperArm[side];
    const double forward = std::atan2(-arm.z, -arm.y) / kDegree;
    if (f == 0) {
      anchor = extreme = forward;
      continue;
    }
    if (direction == 0) {
      if (std::fabs(forward - anchor) >= kArmReversal) {
        direction = forward > anchor ? 1 : -1;
        extreme = forward;
      }
      continue;
    }
    if ((forward - extreme) * direction > 0.0) {
      extreme = forward;
    } else if ((extreme - forward) * direction >= kArmReversal) {
      turns[f] = 1;
      direction = -direction;
      extreme = forward;
    }
  }
  return turns;
}

// The median over the whole two-second windows that hold two landings of `of(start)`.
template <typename Of>
double WindowMedian(std::size_t frames, const std::vector<std::int32_t>& landings, Of of) {
  std::vector<double> values;
  std::size_t first = 0;
  const auto count = static_cast<std::int32_t>(frames);
  const std::int32_t lastStart = std::max(0, count - kWindowFrames);
  for (std::int32_t start = 0; start <= lastStart; ++start) {
    while (first < landings.size() && landings[first] < start) ++first;
    if (first + 1 < landings.size() && landings[first + 1] < start + kWindowFrames)
      values.push_back(of(start, std::min(count, start + kWindowFrames)));
  }
  return values.empty() ? -1.0 : Rank(std::move(values), 0.5);
}

// The centre's height at `frame`, between frames as a straight line.
double CentreHeightAt(const std::vector<BodyPose>& poses, double frame) {
  const double last = static_cast<double>(poses.size() - 1);
  const double f = std::clamp(frame, 0.0, last);
  const auto below = static_cast<std::size_t>(std::floor(f));
  const std::size_t above = std::min(below + 1, poses.size() - 1);
  const double t = f - static_cast<double>(below);
  return poses[below].centre.y + (poses[above].centre.y - poses[below].centre.y) * t;
}

}  // namespace

DancerFigures MeasureDancer(const std::vector<BodyPose>& poses,
                            const std::vector<std::array<bool, 2>>& planted,
                            const std::vector<std::int32_t>& landings,
                            const std::vector<std::int32_t>* beats, const BodyProportions& body) {
  DancerFigures d;
  if (poses.empty()) return d;
  const auto frames = static_cast<std::int64_t>(poses.size());
  const double ankleY = static_cast<double>(body.ankleY);
  std::int64_t fastAnkle = 0, fastPelvis = 0, upright = 0, through = 0, fused = 0, crossed = 0;
  std::vector<double> kneeBends, drops, leans, weights, crossedDrops, crossedHips, sinks;
  for (std::size_t f = 0; f < poses.size(); ++f) {
    const BodyPose& p = poses[f];
    if (f > 0) {
      const BodyPose& before = poses[f - 1];
      double ankle = 0.0;
      for (std::size_t side = 0; side < 2; ++side) {
        ankle = std::max(ankle, Length(p.legs[side].ankle - before.legs[side].ankle));
        d.fastestArm =
            std::max(d.fastestArm, AngleBetween(p.upperArm[side], before.upperArm[side]));
      }
      const double pelvis = Length(p.centre - before.centre);
      fastAnkle += ankle > kFastAnkle;
      fastPelvis += pelvis > kFastPelvis;
      d.fastestAnkle = std::max(d.fastestAnkle, ankle);
      d.fastestPelvis = std::max(d.fastestPelvis, pelvis);
    }
    const double lean = p.torsoLean / kDegree;
    leans.push_back(lean);
    upright += lean < 1.0;
    through += LegsGap(p) < kLegsThrough;
    fused += Flat(p.legs[0].ankle, p.legs[1].ankle) < kFeetFused;
    // The left ankle's place along the hips' left side, against the right one's.
    const Vec3 left{std::cos(p.hipsYaw), 0.0, -std::sin(p.hipsYaw)};
    if (Dot(p.legs[0].ankle - p.legs[1].ankle, left) < -kCrossMargin) {
      ++crossed;
      crossedDrops.push_back(-p.centreRise);
      crossedHips.push_back(std::fabs(std::remainder(p.hipsYaw, 2.0 * 3.14159265358979323846)) /
                            kDegree);
    }
    const std::array<bool, 2> down = planted[f];
    for (std::size_t side = 0; side < 2; ++side) {
      if (down[side]) sinks.push_back(std::max(0.0, ankleY - p.legs[side].ankle.y));
    }
    if (down[0] && down[1]) {
      kneeBends.push_back(p.legs[0].bendDegrees);
      kneeBends.push_back(p.legs[1].bendDegrees);
      drops.push_back(-p.centreRise);
    } else if (down[0] != down[1]) {
      const std::size_t stand = down[0] ? 0 : 1;
      const Vec3 s = p.legs[stand].ankle;
      const Vec3 o = p.legs[1 - stand].ankle;
      const double span = Flat(s, o);
      if (o.y - ankleY > kLiftedAnkle && span >= kLeastSpan) {
        const double along =
            ((p.centre.x - s.x) * (o.x - s.x) + (p.centre.z - s.z) * (o.z - s.z)) / (span * span);
        weights.push_back(along);
      }
    }
  }
  d.ankleFastPercent = Percent(fastAnkle, frames - 1);
  d.pelvisFastPercent = Percent(fastPelvis, frames - 1);
  d.kneeBendBothPlanted = Rank(kneeBends, 0.5);
  d.pelvisDropBothPlanted = Rank(drops, 0.5);
  d.torsoUprightPercent = Percent(upright, frames);
  d.torsoLeanP95 = Rank(leans, 0.95);
  if (!weights.empty()) d.weightTowardsLifted = Rank(weights, 0.5);
  d.legsThroughPercent = Percent(through, frames);
  d.feetFusedPercent = Percent(fused, frames);
  d.crossedPercent = Percent(crossed, frames);
  d.crossedPelvisDrop = Rank(crossedDrops, 0.5);
  d.crossedHipsFromViewer = Rank(crossedHips, 0.5);
  d.plantedSinkP95 = Rank(sinks, 0.95);

  for (std::size_t side = 0; side < 2; ++side) {
    const std::vector<int> turns = Reversals(poses, side);
    std::vector<std::int64_t> before(turns.size() + 1, 0);
    for (std::size_t f = 0; f < turns.size(); ++f) before[f + 1] = before[f] + turns[f];
    const double perSecond =
        WindowMedian(poses.size(), landings, [&](std::int32_t start, std::int32_t end) {
          return static_cast<double>(before[static_cast<std::size_t>(end)] -
                                     before[static_cast<std::size_t>(start)]) /
                 kSecondsPerWindow;
        });
    d.armReversalsPerSecond = std::max(d.armReversalsPerSecond, perSecond);
  }
  // The head's pitch range in each window, by monotone queues over the sliding windows.
  std::deque<std::int32_t> high;
  std::deque<std::int32_t> low;
  std::int32_t end = 0;
  auto pitch = [&](std::int32_t f) { return poses[static_cast<std::size_t>(f)].headPitch; };
  d.headPitchRange =
      WindowMedian(poses.size(), landings, [&](std::int32_t start, std::int32_t stop) {
        for (; end < stop; ++end) {
          while (!high.empty() && pitch(high.back()) <= pitch(end)) high.pop_back();
          high.push_back(end);
          while (!low.empty() && pitch(low.back()) >= pitch(end)) low.pop_back();
          low.push_back(end);
        }
        while (high.front() < start) high.pop_front();
        while (low.front() < start) low.pop_front();
        return (pitch(high.front()) - pitch(low.front())) / kDegree;
      });

  if (beats != nullptr) {
    d.hasBeats = true;
    double on = 0.0, between = 0.0;
    std::int64_t onCount = 0, betweenCount = 0;
    const auto last = static_cast<std::int32_t>(poses.size() - 1);
    for (std::size_t i = 0; i < beats->size(); ++i) {
      const std::int32_t beat = (*beats)[i];
      if (beat < 0 || beat > last) continue;
      on += CentreHeightAt(poses, beat);
      ++onCount;
      if (i + 1 < beats->size() && (*beats)[i + 1] <= last) {
        between += CentreHeightAt(poses, 0.5 * (beat + (*beats)[i + 1]));
        ++betweenCount;
      }
    }
    if (onCount > 0 && betweenCount > 0)
      d.bounce = on / static_cast<double>(onCount) - between / static_cast<double>(betweenCount);
  }
  return d;
}

}  // namespace pavaneflow
