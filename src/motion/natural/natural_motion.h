#pragma once

#include "motion/body_proportions.h"
#include "motion/facing.h"
#include "motion/motion_style.h"

namespace pavaneflow {

// A dance that looks like dancing, for the body `body`: steps with weight that lift late and
// land softly on eased curves while the other foot stays; the centre as low as the body's legs
// need to reach both planted feet, with a small dip on each beat; jumps with a crouch before and
// after and knees bent in the air, never long in the air; turning limited and biased towards
// `facing`; arms that swing with the steps. Written with the four empty section counts, which
// common readers require.
class NaturalMotion : public MotionStyle {
 public:
  explicit NaturalMotion(Facing facing = Facing::kViewer,
                         const BodyProportions& body = kReferenceBody)
      : facing_(facing), body_(body) {}

  void Synthesize(const GenerationRequest& request, const Lane& lane, const TimingMap& timing,
                  const FootPlanner& planner, MotionDocument& document,
                  const SettledFrames& settled) const override;
  VmdWriteOptions WriteOptions(VmdWriteOptions asked) const override;

 private:
  Facing facing_;
  BodyProportions body_;
};

}  // namespace pavaneflow
