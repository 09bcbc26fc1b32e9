#include "motion/natural/arm_swing.h"

#include <algorithm>
#include <cmath>

#include "motion/natural/natural_curves.h"
#include "motion/rotation.h"

namespace pavaneflow {
namespace {

// Degrees below horizontal the upper arms hang, whatever the rest pose: lowered from the
// reference body's 40° by 25°, raised from a steeper one, so that they never swing into the body.
constexpr double kHanging = 65.0;
constexpr double kLeastSwing = 7.0;    // degrees forwards or back, for slow steps
constexpr double kSwingPerStep = 2.5;  // more for each step a second
constexpr double kWidestSwing = 20.0;
constexpr double kElbowBend = 15.0;
constexpr double kElbowFollow = 0.6;  // of the forward swing, added to the bend
constexpr std::int32_t kSettleFrames = 24;
constexpr std::int32_t kWakeFrames = 15;

}  // namespace

ArmSwinger::ArmSwinger(const BodyProportions& body)
    : lowered_(kHanging - static_cast<double>(body.upperArmDropDegrees)) {
  const double drop = static_cast<double>(body.upperArmDropDegrees) * kDegree;
  for (int side = 0; side < 2; ++side) {
    const double outwards = side == 0 ? 1.0 : -1.0;
    const Vec3 rest{outwards * std::cos(drop), -std::sin(drop), 0.0};
    const Vec3 bendAxis = Cross(rest, Vec3{0.0, 0.0, -1.0});
    bendAxis_[static_cast<std::size_t>(side)] = (1.0 / Length(bendAxis)) * bendAxis;
  }
}

void ArmSwinger::Key(std::int32_t frame, double forward, ArmSwing& swing) const {
  for (std::size_t side = 0; side < 2; ++side) {
    const double turn = (side == 0 ? forward : -forward) * kDegree;
    const double outwards = side == 0 ? 1.0 : -1.0;
    const Quaternion lowered = AxisAngle({0.0, 0.0, 1.0}, -outwards * lowered_ * kDegree);
    const Quaternion arm = Compose(AxisAngle({1.0, 0.0, 0.0}, turn), lowered);
    const double bend = kElbowBend + kElbowFollow * std::max(0.0, turn / kDegree);
    const Quaternion elbow = AxisAngle(bendAxis_[side], bend * kDegree);
    swing.arms[side].Add({frame, {}, ToFloats(arm), &kTurnEase});
    swing.elbows[side].Add({frame, {}, ToFloats(elbow), &kTurnEase});
  }
}

void ArmSwinger::Plan(const std::vector<StepRecord>& records, std::optional<std::int32_t> next,
                      ArmSwing& swing) {
  if (!started_) {
    started_ = true;
    Key(0, 0.0, swing);
  }
  std::optional<std::int32_t> pending;  // a step whose next one is not known yet
  for (const StepRecord& r : records) {
    if (!r.Steps() || (pending ? *pending : last_.value_or(-1)) == r.frame) continue;
    if (pending) Swing(*pending, r.frame, swing);
    pending = r.frame;
  }
  if (pending) Swing(*pending, next, swing);
}

void ArmSwinger::Swing(std::int32_t frame, std::optional<std::int32_t> next, ArmSwing& swing) {
  const std::int32_t since = last_ ? frame - *last_ : kRestFrames + 1;
  if (since > kRestFrames) Key(std::max(0, frame - kWakeFrames), 0.0, swing);
  const double perSecond = since > 0 ? 30.0 / static_cast<double>(since) : 30.0;
  const double width = std::min(kWidestSwing, kLeastSwing + kSwingPerStep * perSecond);
  Key(frame, side_ * width, swing);
  side_ = -side_;
  if (!next || *next - frame > kRestFrames) Key(frame + kSettleFrames, 0.0, swing);
  last_ = frame;
}

}  // namespace pavaneflow
