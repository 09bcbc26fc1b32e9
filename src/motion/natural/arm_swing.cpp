#include "motion/natural/arm_swing.h"

#include <algorithm>
#include <cmath>

#include "base/portable_math.h"
#include "motion/natural/natural_curves.h"
#include "motion/rotation.h"

namespace pavaneflow {
namespace {

// Degrees below horizontal the upper arms hang, whatever the rest pose: lowered from the
// reference body's 40° by 25°, raised from a steeper one, so that they never swing into the body.
constexpr double kHanging = 65.0;
// Degrees forwards or back, for slow steps: even half a swing, all a two-second window may
// hold when the steps come in bursts, is seen to swing.
constexpr double kLeastSwing = 11.5;
constexpr double kSwingPerStep = 2.0;  // more for each step a second
// From this many steps a second on, the arms pump: a smaller swing, the elbows bent more.
constexpr double kPumpRate = 4.0;
constexpr double kPumpSwing = 11.5;
constexpr double kElbowBend = 15.0;
constexpr double kBendPerStep = 4.0;  // more for each step a second, up to kBendRate of them
constexpr double kBendRate = 6.0;
constexpr double kJumpSpread = 20.0;  // the arms open out from the body as a jump lands
// The arms turn back at most every this many frames, however quick the steps: a person's arms
// keep their own rhythm in a stream rather than flapping with every step.
constexpr std::int32_t kLeastArmFrames = 9;
constexpr double kRateFollow = 0.35;  // how quickly the swing follows a change of pace
constexpr double kElbowFollow = 0.6;  // of the forward swing, added to the bend
constexpr std::int32_t kSettleFrames = 24;
constexpr std::int32_t kWakeFrames = 15;

}  // namespace

ArmSwinger::ArmSwinger(const BodyProportions& body)
    : lowered_(kHanging - static_cast<double>(body.upperArmDropDegrees)) {
  const double drop = static_cast<double>(body.upperArmDropDegrees) * kDegree;
  for (int side = 0; side < 2; ++side) {
    const double outwards = side == 0 ? 1.0 : -1.0;
    const Vec3 rest{outwards * portable::Cos(drop), -portable::Sin(drop), 0.0};
    const Vec3 bendAxis = Cross(rest, Vec3{0.0, 0.0, -1.0});
    bendAxis_[static_cast<std::size_t>(side)] = (1.0 / Length(bendAxis)) * bendAxis;
  }
}

void ArmSwinger::Key(std::int32_t frame, double forward, double bent, double spread,
                     ArmSwing& swing) const {
  for (std::size_t side = 0; side < 2; ++side) {
    const double turn = (side == 0 ? forward : -forward) * kDegree;
    const double outwards = side == 0 ? 1.0 : -1.0;
    const Quaternion lowered =
        AxisAngle({0.0, 0.0, 1.0}, -outwards * (lowered_ - spread) * kDegree);
    const Quaternion arm = Compose(AxisAngle({1.0, 0.0, 0.0}, turn), lowered);
    const double bend = bent + kElbowFollow * std::max(0.0, turn / kDegree);
    const Quaternion elbow = AxisAngle(bendAxis_[side], bend * kDegree);
    swing.arms[side].Add({frame, {}, ToFloats(arm), &kTurnEase});
    swing.elbows[side].Add({frame, {}, ToFloats(elbow), &kTurnEase});
  }
}

void ArmSwinger::Plan(const std::vector<StepRecord>& records, std::optional<std::int32_t> next,
                      ArmSwing& swing) {
  if (!started_) {
    started_ = true;
    Key(0, 0.0, kElbowBend, 0.0, swing);
  }
  std::optional<std::int32_t> pending;  // a step whose next one is not known yet
  bool jump = false;
  for (const StepRecord& r : records) {
    if (!r.Steps() || (pending ? *pending : last_.value_or(-1)) == r.frame) continue;
    if (pending) Swing(*pending, jump, r.frame, swing);
    pending = r.frame;
    jump = r.moved[0] && r.moved[1];
  }
  if (pending) Swing(*pending, jump, next, swing);
}

void ArmSwinger::Swing(std::int32_t frame, bool jump, std::optional<std::int32_t> next,
                       ArmSwing& swing) {
  const std::int32_t since = last_ ? frame - *last_ : kRestFrames + 1;
  const double perSecond = since > 0 ? 30.0 / static_cast<double>(since) : 30.0;
  if (since > kRestFrames) {
    Key(std::max(0, frame - kWakeFrames), 0.0, kElbowBend, 0.0, swing);
    rate_ = std::min(perSecond, kPumpRate);
    lastKey_.reset();
    // The arms wake with a half swing the other way, as they take up the rhythm.
    if (frame >= kWakeFrames) {
      lastKey_ = frame - kLeastArmFrames;
      Key(*lastKey_, -side_ * kLeastSwing * 0.5, kElbowBend, 0.0, swing);
    }
  } else {
    rate_ += kRateFollow * (perSecond - rate_);
  }
  last_ = frame;
  const bool settles = !next || *next - frame > kRestFrames;
  // A step too soon after the last swing is left to it, unless the steps rest after it: then
  // the arms still swing back, a little later, so that the burst is seen to swing.
  std::int32_t at = frame;
  if (lastKey_ && frame - *lastKey_ < kLeastArmFrames) {
    if (!settles) return;
    at = *lastKey_ + kLeastArmFrames;
  }
  const double width =
      rate_ <= kPumpRate
          ? kLeastSwing + kSwingPerStep * rate_
          : std::max(kPumpSwing, kLeastSwing + kSwingPerStep * (2.0 * kPumpRate - rate_));
  const double bent = kElbowBend + kBendPerStep * std::min(rate_, kBendRate);
  Key(at, side_ * width, bent, jump ? kJumpSpread : 0.0, swing);
  side_ = -side_;
  lastKey_ = at;
  if (!settles) return;
  // Swinging on through half way before they come to rest, as arms do.
  Key(at + kLeastArmFrames, side_ * width * 0.5, bent, 0.0, swing);
  Key(std::max(frame + kSettleFrames, at + 2 * kLeastArmFrames), 0.0, kElbowBend, 0.0, swing);
}

}  // namespace pavaneflow
