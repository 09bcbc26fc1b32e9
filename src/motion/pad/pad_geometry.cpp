#include "motion/pad/pad_geometry.h"

#include "chart/score.h"
#include "motion/pad/facing_angle.h"
#include "motion/pad/motion_constants.h"

namespace pavaneflow {
namespace {

constexpr float kArrowOffset = 4.0f;
constexpr float kPadCentreOffset = 6.0f;  // DOUBLE and COUPLE pads lie this far from x = 0
constexpr float kCouplePadSpacing = 12.0f;
constexpr ArrowCode kSecondPadFirstCode = u'\u0040';
constexpr ArrowCode kSecondPadShift = 16;

ChartMode ModeOf(const GenerationRequest& request) {
  return request.score != nullptr ? request.score->mode : kSingle;
}

}  // namespace

FloorPoint ArrowPosition(const GenerationRequest& request, ArrowCode code) {
  const ChartMode mode = ModeOf(request);
  FloorPoint p;
  if (mode == kDouble) {
    p.x = -kPadCentreOffset;
    if (code >= kSecondPadFirstCode) {
      code = static_cast<ArrowCode>(code - kSecondPadShift);
      p.x = kPadCentreOffset;
    }
  }
  switch (code) {
    case u'0':
      p.x = static_cast<float>(static_cast<double>(p.x) - static_cast<double>(kArrowOffset));
      break;
    case u'1':
      p.z = -kArrowOffset;
      break;
    case u'2':
      p.z = kArrowOffset;
      break;
    case u'3':
      p.x = static_cast<float>(static_cast<double>(p.x) + static_cast<double>(kArrowOffset));
      break;
    default:
      break;
  }
  if (mode == kCouple) {
    p.x = static_cast<float>(static_cast<double>(kCouplePadSpacing) * request.player +
                             (static_cast<double>(p.x) - static_cast<double>(kPadCentreOffset)));
  }
  return p;
}

void StartPose(const GenerationRequest& request, StepPose& pose) {
  if (ModeOf(request) == kDouble) {
    pose.left.arrow = u'3';                  // right arrow of the first pad
    pose.right.arrow = kSecondPadFirstCode;  // left arrow of the second pad
  } else {
    pose.left.arrow = u'0';
    pose.right.arrow = u'3';
  }
  PlaceFeet(request, pose);
}

void PlaceFeet(const GenerationRequest& request, StepPose& pose) {
  const FloorPoint left = ArrowPosition(request, pose.left.arrow);
  const FloorPoint right = ArrowPosition(request, pose.right.arrow);
  pose.centre.x =
      static_cast<float>((static_cast<double>(left.x) + static_cast<double>(right.x)) * 0.5);
  pose.centre.z =
      static_cast<float>((static_cast<double>(left.z) + static_cast<double>(right.z)) * 0.5);
  pose.facing = FacingAngle(left, right);
  pose.left.position = {
      static_cast<float>(static_cast<double>(left.x) - static_cast<double>(kFootIkOffset)), left.z};
  pose.right.position = {
      static_cast<float>(static_cast<double>(right.x) + static_cast<double>(kFootIkOffset)),
      right.z};
}

}  // namespace pavaneflow
