#include "motion/arm_swing.h"

#include <algorithm>
#include <cmath>

#include "motion/natural_curves.h"
#include "motion/rotation.h"

namespace pavaneflow {
namespace {

constexpr double kLowered = 25.0;      // degrees below the rest pose
constexpr double kLeastSwing = 7.0;    // degrees forwards or back, for slow steps
constexpr double kSwingPerStep = 2.5;  // more for each step a second
constexpr double kWidestSwing = 20.0;
constexpr double kElbowBend = 15.0;
constexpr double kElbowFollow = 0.6;  // of the forward swing, added to the bend
constexpr std::int32_t kSettleFrames = 24;
constexpr std::int32_t kWakeFrames = 15;

class Swinger {
 public:
  // `keys`: about as many key frames as each bone will get.
  Swinger(const BodyProportions& body, std::size_t keys) {
    for (std::size_t side = 0; side < 2; ++side) {
      swing_.arms[side].Reserve(keys);
      swing_.elbows[side].Reserve(keys);
    }
    const double drop = static_cast<double>(body.upperArmDropDegrees) * kDegree;
    for (int side = 0; side < 2; ++side) {
      const double outwards = side == 0 ? 1.0 : -1.0;
      const Vec3 rest{outwards * std::cos(drop), -std::sin(drop), 0.0};
      const Vec3 bendAxis = Cross(rest, Vec3{0.0, 0.0, -1.0});
      bendAxis_[static_cast<std::size_t>(side)] = (1.0 / Length(bendAxis)) * bendAxis;
    }
  }

  // Both arms at `frame`, the left swung `forward` degrees (the right as far back).
  void Key(std::int32_t frame, double forward) {
    for (std::size_t side = 0; side < 2; ++side) {
      const double swing = (side == 0 ? forward : -forward) * kDegree;
      const double outwards = side == 0 ? 1.0 : -1.0;
      const Quaternion lowered = AxisAngle({0.0, 0.0, 1.0}, -outwards * kLowered * kDegree);
      const Quaternion arm = Compose(AxisAngle({1.0, 0.0, 0.0}, swing), lowered);
      const double bend = kElbowBend + kElbowFollow * std::max(0.0, swing / kDegree);
      const Quaternion elbow = AxisAngle(bendAxis_[side], bend * kDegree);
      swing_.arms[side].Add({frame, {}, ToFloats(arm), &kTurnEase});
      swing_.elbows[side].Add({frame, {}, ToFloats(elbow), &kTurnEase});
    }
  }

  ArmSwing Take() { return std::move(swing_); }

 private:
  std::array<Vec3, 2> bendAxis_;
  ArmSwing swing_;
};

}  // namespace

ArmSwing PlanArmSwing(const std::vector<StepRecord>& records, const BodyProportions& body) {
  std::vector<std::int32_t> steps;
  for (const StepRecord& r : records) {
    if (r.Steps() && (steps.empty() || steps.back() != r.frame)) steps.push_back(r.frame);
  }
  Swinger swinger(body, steps.size() + 1);
  swinger.Key(0, 0.0);
  double side = 1.0;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const std::int32_t frame = steps[i];
    const std::int32_t since = i > 0 ? frame - steps[i - 1] : kRestFrames + 1;
    if (since > kRestFrames) swinger.Key(std::max(0, frame - kWakeFrames), 0.0);
    const double perSecond = since > 0 ? 30.0 / static_cast<double>(since) : 30.0;
    const double width = std::min(kWidestSwing, kLeastSwing + kSwingPerStep * perSecond);
    swinger.Key(frame, side * width);
    side = -side;
    const bool rests = i + 1 == steps.size() || steps[i + 1] - frame > kRestFrames;
    if (rests) swinger.Key(frame + kSettleFrames, 0.0);
  }
  return swinger.Take();
}

}  // namespace pavaneflow
