#include "motion/natural_motion.h"

#include <array>
#include <string_view>
#include <utility>

#include "motion/arm_swing.h"
#include "motion/bone_names.h"
#include "motion/centre_path.h"
#include "motion/foot_swings.h"
#include "motion/step_timeline.h"

namespace pavaneflow {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::size_t kSettleBatch = 1 << 16;

struct Bone {
  std::u16string_view name;
  const std::vector<PendingKey>* keys;
  std::size_t next = 0;
};

}  // namespace

void NaturalMotion::Synthesize(const GenerationRequest& request, const Lane& lane,
                               const TimingMap& timing, const FootPlanner& planner,
                               MotionDocument& document, const SettledFrames& settled) const {
  const bool faceViewer = facing_ == Facing::kViewer;
  const std::vector<StepRecord> records = StepTimeline(request, lane, timing, planner, faceViewer);
  const FootSwings feet = PlanFootSwings(records, body_);
  const CentrePath centre = PlanCentre(feet, records, body_, faceViewer ? 0.0 : kPi, request.twist);
  const ArmSwing arms = PlanArmSwing(records, body_);

  // Every track is in frame order: merging them puts each new key frame behind all before it.
  std::array<Bone, 9> bones{{{kCentreBone, &centre.centre.Keys()},
                             {kLeftFootIkBone, &feet.keys[0].Keys()},
                             {kRightFootIkBone, &feet.keys[1].Keys()},
                             {kUpperBodyBone, &centre.upperBody.Keys()},
                             {kNeckBone, &centre.neck.Keys()},
                             {kLeftArmBone, &arms.arms[0].Keys()},
                             {kRightArmBone, &arms.arms[1].Keys()},
                             {kLeftElbowBone, &arms.elbows[0].Keys()},
                             {kRightElbowBone, &arms.elbows[1].Keys()}}};
  for (;;) {
    Bone* first = nullptr;
    for (Bone& bone : bones) {
      if (bone.next == bone.keys->size()) continue;
      if (first == nullptr || (*bone.keys)[bone.next].frame < (*first->keys)[first->next].frame)
        first = &bone;
    }
    if (first == nullptr) break;
    const PendingKey& key = (*first->keys)[first->next++];
    MotionFrame* frame = document.InsertFrame(first->name, key.frame);
    frame->position = key.position;
    frame->rotation = key.rotation;
    frame->interpolation = key.interpolation;
    if (settled && document.FrameCount() % kSettleBatch == 0) settled(document.FrameCount());
  }
  if (settled) settled(document.FrameCount());
}

VmdWriteOptions NaturalMotion::WriteOptions(VmdWriteOptions asked) const {
  asked.appendEmptySections = true;
  return asked;
}

}  // namespace pavaneflow
