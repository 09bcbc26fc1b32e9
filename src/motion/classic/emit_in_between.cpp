#include "motion/classic/emit_in_between.h"

#include <cstdint>

#include "motion/bone_names.h"
#include "motion/classic/crouch_height.h"
#include "motion/classic/jump_interpolation.h"
#include "motion/pad/motion_constants.h"
#include "motion/yaw_quaternion.h"

namespace pavaneflow {
namespace {

constexpr double kFullStepFrames = 15.0;
constexpr float kMaxStepFactor = 1.0f;
constexpr double kJumpHeight = 3.0;
constexpr float kLeastJumpHeight = 0.7f;
constexpr float kLeanShare = 0.7f;  // of the sideways way to the standing foot
constexpr float kLiftedFootHeight = 2.0f;

float Midpoint(float a, float b) {
  return static_cast<float>((static_cast<double>(a) + static_cast<double>(b)) * 0.5);
}

// Leans `c` towards `target` by the share `k` × `share`, in one rounding.
float Lean(float c, double target, float k, double share) {
  const double cd = static_cast<double>(c);
  return static_cast<float>(cd + (target - cd) * static_cast<double>(k) * share);
}

}  // namespace

void EmitInBetween(MotionDocument& document, const StepPose& current, const StepPose& previous) {
  // Take the shorter way round: move whichever facing lies more than π above the other down by
  // 2π before averaging.
  auto a = current.facing;
  auto b = previous.facing;
  const double pi = static_cast<double>(kPi);
  if (static_cast<double>(b) > static_cast<double>(a) + pi) {
    b = static_cast<float>(static_cast<double>(b) - (pi + pi));
  } else if (static_cast<double>(a) > static_cast<double>(b) + pi) {
    a = static_cast<float>(static_cast<double>(a) - (pi + pi));
  }
  const auto q = YawQuaternion(Midpoint(a, b));

  // In 64 bits: two extreme frame numbers overflow 32.
  const std::int64_t from = previous.frameNumber;
  const std::int64_t to = current.frameNumber;
  const auto mid = static_cast<std::int32_t>((from + to) / 2);
  if (mid < 0) return;

  MotionFrame* centre = document.InsertFrame(kCentreBone, mid);
  centre->rotation = q;
  float cx = Midpoint(previous.centre.x, current.centre.x);
  float cz = Midpoint(previous.centre.z, current.centre.z);
  auto k = static_cast<float>(static_cast<double>(to - from) / kFullStepFrames);
  if (k > kMaxStepFactor) k = kMaxStepFactor;

  const bool leftMoved = current.left.moved;
  const bool rightMoved = current.right.moved;
  if (leftMoved && rightMoved) {
    auto y = static_cast<float>(static_cast<double>(k) * kJumpHeight);
    if (kLeastJumpHeight > y) y = kLeastJumpHeight;
    centre->position = {cx, y, cz};
    centre->interpolation = &kJumpInterpolation;
    if (previous.centreFrame != nullptr) previous.centreFrame->interpolation = &kJumpInterpolation;
    return;
  }
  // Lean over the standing foot; its stored x carries the IK offset, which is taken back off.
  const double offset = static_cast<double>(kFootIkOffset);
  const double share = static_cast<double>(kLeanShare);
  if (leftMoved) {
    const FloorPoint standing = current.right.position;
    cx = Lean(cx, static_cast<double>(standing.x) - offset, k, share);
    cz = Lean(cz, static_cast<double>(standing.z), k, 1.0);
  } else if (rightMoved) {
    const FloorPoint standing = current.left.position;
    cx = Lean(cx, static_cast<double>(standing.x) + offset, k, share);
    cz = Lean(cz, static_cast<double>(standing.z), k, 1.0);
  }
  centre->position = {cx, CrouchHeight(current), cz};

  MotionFrame* left = document.InsertFrame(kLeftFootIkBone, mid);
  left->position = {Midpoint(previous.left.position.x, current.left.position.x),
                    leftMoved ? kLiftedFootHeight : 0.0f,
                    Midpoint(previous.left.position.z, current.left.position.z)};
  left->rotation = q;
  MotionFrame* right = document.InsertFrame(kRightFootIkBone, mid);
  right->position = {Midpoint(previous.right.position.x, current.right.position.x),
                     rightMoved ? kLiftedFootHeight : 0.0f,
                     Midpoint(previous.right.position.z, current.right.position.z)};
  right->rotation = q;
}

}  // namespace pavaneflow
