#include "motion/natural/centre_path.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "motion/natural/natural_curves.h"
#include "motion/yaw_quaternion.h"

namespace pavaneflow {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kReachShare = 0.985;  // of the straight leg: the knees stay a little bent
constexpr double kLowestRise = -5.5;   // the centre never sinks further, reached or not
constexpr double kWeightShift = 0.35;  // towards the standing foot, while the other lifts
constexpr double kLandingDip = 0.5;    // a jump's landing, taken in the knees
constexpr double kGrooveDip = 0.3;
constexpr std::int32_t kGrooveReach = 20;  // a beat this close to a step is danced
constexpr std::int32_t kNearFrames = 2;    // a key frame this close to a beat carries its dip
constexpr std::int32_t kNoBoundary = std::numeric_limits<std::int32_t>::max();

double Lerp(double a, double b, double t) {
  return a + (b - a) * t;
}

class Builder {
 public:
  Builder(const FootSwings& swings, const BodyProportions& body)
      : swings_(swings), body_(body), lowest_(kLowestRise * body.PadScale()) {}

  // How high the centre may stand at (x, z) turned by `yaw` for the foot `side` planted on `at`
  // to be reached with the knee a little bent.
  double ReachRise(double x, double z, double yaw, int side, FloorPoint at) const {
    const double outwards = (side == 0 ? 1.0 : -1.0) * static_cast<double>(body_.hipX);
    const double hipX = x + outwards * std::cos(yaw);
    const double hipZ = z - outwards * std::sin(yaw);
    const double r = std::hypot(hipX - static_cast<double>(at.x), hipZ - static_cast<double>(at.z));
    const double leg = kReachShare * body_.LegLength();
    const double height = r < leg ? std::sqrt(leg * leg - r * r) : 0.0;
    return static_cast<double>(body_.ankleY) + height - static_cast<double>(body_.hipY);
  }

  // The highest rise at which every planted foot is reached, never above rest.
  double StandingRise(const CentreKey& key) const {
    double rise = 0.0;
    for (int side = 0; side < 2; ++side) {
      const auto at = swings_.PlantedAt(side, key.frame);
      if (at) rise = std::min(rise, ReachRise(key.x, key.z, key.yaw, side, *at));
    }
    return std::max(rise, lowest_);
  }

  // The highest rise at which both feet, where they stand or are about to land, are reached.
  double LandingRise(const CentreKey& key) const {
    double rise = 0.0;
    for (int side = 0; side < 2; ++side)
      rise =
          std::min(rise, ReachRise(key.x, key.z, key.yaw, side, swings_.StanceAt(side, key.frame)));
    return std::max(rise, lowest_);
  }

  // Whether the centre at (x, z) reaches both feet at some height.
  bool Reaches(double x, double z, double yaw, FloorPoint left, FloorPoint right) const {
    return ReachRise(x, z, yaw, 0, left) > lowest_ && ReachRise(x, z, yaw, 1, right) > lowest_;
  }

  // Replaces `keys` with the key frames of the stretch.
  void Keys(std::vector<CentreKey>& keys) const {
    const std::vector<CentreEvent>& events = swings_.events;
    keys.clear();
    for (const CentreEvent& e : events) {
      CentreKey key;
      key.frame = e.frame;
      key.kind = e.kind;
      key.yaw = e.yaw;
      const FloorPoint left = swings_.StanceAt(0, e.frame);
      const FloorPoint right = swings_.StanceAt(1, e.frame);
      key.x = (static_cast<double>(left.x) + static_cast<double>(right.x)) * 0.5;
      key.z = (static_cast<double>(left.z) + static_cast<double>(right.z)) * 0.5;
      if (e.kind == CentreEvent::kLift) {
        // Over the standing foot, as far as the lifting one is still reached.
        const FloorPoint s = e.standing == 0 ? left : right;
        for (double share = kWeightShift; share > 0.0; share -= kWeightShift / 4) {
          const double x = Lerp(key.x, static_cast<double>(s.x), share);
          const double z = Lerp(key.z, static_cast<double>(s.z), share);
          if (Reaches(x, z, e.yaw, left, right)) {
            key.x = x;
            key.z = z;
            break;
          }
        }
      }
      key.rise = e.rise;
      // A foot that was left standing (its part of the jump joined a quicker step) keeps the
      // body down.
      if (e.kind == CentreEvent::kApex &&
          (swings_.PlantedAt(0, e.frame) || swings_.PlantedAt(1, e.frame)))
        key.kind = CentreEvent::kStance;
      if (!keys.empty() && keys.back().frame == key.frame) {
        if (key.kind < keys.back().kind) continue;
        keys.pop_back();
      }
      keys.push_back(key);
    }
    // A jump's top lies halfway between where it leaves and where it lands.
    for (std::size_t i = 1; i + 1 < keys.size(); ++i) {
      if (keys[i].kind != CentreEvent::kApex) continue;
      keys[i].x = (keys[i - 1].x + keys[i + 1].x) * 0.5;
      keys[i].z = (keys[i - 1].z + keys[i + 1].z) * 0.5;
    }
    LimitTurning(keys);
    for (CentreKey& key : keys) {
      switch (key.kind) {
        case CentreEvent::kApex:
          break;
        case CentreEvent::kTakeOff:
          key.rise = StandingRise(key) - key.rise;
          break;
        case CentreEvent::kJumpLanding:
          key.rise = StandingRise(key) - kLandingDip * body_.PadScale();
          break;
        case CentreEvent::kTouchDown:
          key.rise = LandingRise(key) - kLandingDip * body_.PadScale() * 0.5;
          break;
        default:
          key.rise = StandingRise(key);
      }
    }
  }

 private:
  // No more than kMostTurnPerFrame between two key frames' frames; the backward pass turns
  // early into a turn the forward pass would take late. A key frame within the limit keeps its
  // yaw as it is, so that a turn limited here changes nothing far from it.
  static void LimitTurning(std::vector<CentreKey>& keys) {
    auto limit = [](CentreKey& key, const CentreKey& neighbour) {
      const double most =
          kMostTurnPerFrame * static_cast<double>(std::abs(key.frame - neighbour.frame));
      const double turn = std::remainder(key.yaw - neighbour.yaw, 2.0 * kPi);
      if (std::fabs(turn) > most) key.yaw = neighbour.yaw + std::clamp(turn, -most, most);
    };
    for (std::size_t i = 1; i < keys.size(); ++i) limit(keys[i], keys[i - 1]);
    for (std::size_t i = keys.size(); i-- > 1;) limit(keys[i - 1], keys[i]);
  }

  const FootSwings& swings_;
  const BodyProportions& body_;
  double lowest_;  // the centre never sinks further, reached or not
};

bool Dips(CentreEvent::Kind kind) {
  return kind == CentreEvent::kStance || kind == CentreEvent::kLift ||
         kind == CentreEvent::kRecover || kind == CentreEvent::kCrouchStart;
}

// Adds the groove: a dip of `depth` on each of the first `count` beats near a step, and a rise back
// between two beats, carried by the key frame already at the beat or by a new one on the centre's
// way (gathered in `added`).
void Groove(std::vector<CentreKey>& keys, const std::vector<std::int32_t>& steps,
            const std::vector<std::int32_t>& beats, std::size_t count, double depth,
            std::vector<CentreKey>& added) {
  added.clear();
  auto danced = [&](std::int32_t frame) {
    auto next = std::lower_bound(steps.begin(), steps.end(), frame - kGrooveReach);
    return next != steps.end() && *next <= frame + kGrooveReach;
  };
  // The key frame within kNearFrames of `frame`, or a new one on the way there; null in a jump.
  auto at = [&](std::int32_t frame, double dip) {
    auto next = std::lower_bound(keys.begin(), keys.end(), frame,
                                 [](const CentreKey& k, std::int32_t f) { return k.frame < f; });
    for (auto near : {next, next == keys.begin() ? next : next - 1}) {
      if (near != keys.end() && std::abs(near->frame - frame) <= kNearFrames) {
        if (Dips(near->kind)) near->rise -= dip;
        return;
      }
    }
    if (next == keys.begin() || next == keys.end()) return;
    const CentreKey& a = *(next - 1);
    const CentreKey& b = *next;
    if (!Dips(a.kind) || !Dips(b.kind)) return;
    const double t = static_cast<double>(frame - a.frame) / static_cast<double>(b.frame - a.frame);
    added.push_back({frame, CentreEvent::kStance, Lerp(a.x, b.x, t), Lerp(a.z, b.z, t),
                     Lerp(a.rise, b.rise, t) - dip,
                     a.yaw + std::remainder(b.yaw - a.yaw, 2.0 * kPi) * t});
  };
  for (std::size_t i = 0; i < count; ++i) {
    if (!danced(beats[i])) continue;
    at(beats[i], depth);
    if (i + 1 < beats.size() && beats[i + 1] - beats[i] > 4 * kNearFrames)
      at(beats[i] + (beats[i + 1] - beats[i]) / 2, 0.0);
  }
  if (added.empty()) return;
  // Both lists are in frame order: merged, the new key frames go behind those at their frame.
  const auto middle = static_cast<std::ptrdiff_t>(keys.size());
  keys.insert(keys.end(), added.begin(), added.end());
  std::inplace_merge(keys.begin(), keys.begin() + middle, keys.end(),
                     [](const CentreKey& a, const CentreKey& b) { return a.frame < b.frame; });
}

}  // namespace

std::int32_t CentrePlanner::Plan(const FootSwings& swings, const std::vector<StepRecord>& records,
                                 CentrePath& path) {
  Builder(swings, body_).Keys(added_);
  const std::int32_t boundary = added_.empty() ? kNoBoundary : added_.front().frame;
  keys_.insert(keys_.end(), added_.begin(), added_.end());
  const std::size_t heldBeats = beats_.size();
  const std::size_t heldSteps = steps_.size();
  for (const StepRecord& r : records) {
    if (r.Steps()) steps_.push_back(r.frame);
    if (r.onBeat && (beats_.empty() || beats_.back() != r.frame)) beats_.push_back(r.frame);
  }
  // The last beat held back rises half way to the next beat: without one in this stretch (a
  // stop, a slow song), all wait for the next.
  if (beats_.size() == heldBeats) return completed_;
  Complete(boundary, heldBeats, heldSteps, path);
  completed_ = boundary;
  return completed_;
}

void CentrePlanner::Finish(CentrePath& path) {
  Complete(kNoBoundary, beats_.size(), steps_.size(), path);
}

void CentrePlanner::Complete(std::int32_t boundary, std::size_t heldBeats, std::size_t heldSteps,
                             CentrePath& path) {
  Groove(keys_, steps_, beats_, heldBeats, kGrooveDip * body_.PadScale(), added_);
  std::size_t i = 0;
  for (; i < keys_.size() && keys_[i].frame < boundary; ++i) {
    const CentreKey& key = keys_[i];
    path.centre.Add(
        {key.frame,
         {static_cast<float>(key.x), static_cast<float>(key.rise), static_cast<float>(key.z)},
         YawQuaternion(static_cast<float>(key.yaw)),
         &kCentreEase});
    // The twist runs straight between its key frames: inside a run of one yaw none is needed.
    const bool sameAsBefore = emitted_ && lastYaw_ == key.yaw;
    const bool sameAfter = i + 1 < keys_.size() && keys_[i + 1].yaw == key.yaw;
    emitted_ = true;
    lastYaw_ = key.yaw;
    if (!twist_ || (sameAsBefore && sameAfter)) continue;
    const double back = -0.5 * std::remainder(key.yaw - straightAhead_, 2.0 * kPi);
    const auto turn = YawQuaternion(static_cast<float>(back));
    path.upperBody.Add({key.frame, {}, turn, &kDefaultInterpolation});
    path.neck.Add({key.frame, {}, turn, &kDefaultInterpolation});
  }
  keys_.erase(keys_.begin(), keys_.begin() + static_cast<std::ptrdiff_t>(i));
  beats_.erase(beats_.begin(), beats_.begin() + static_cast<std::ptrdiff_t>(heldBeats));
  steps_.erase(steps_.begin(), steps_.begin() + static_cast<std::ptrdiff_t>(heldSteps));
}

}  // namespace pavaneflow
