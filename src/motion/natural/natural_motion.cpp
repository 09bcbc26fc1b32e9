#include "motion/natural/natural_motion.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "chart/song_document.h"
#include "motion/bone_names.h"
#include "motion/natural/arm_swing.h"
#include "motion/natural/beat_clock.h"
#include "motion/natural/centre_path.h"
#include "motion/natural/foot_swings.h"
#include "motion/natural/gesture_layer.h"
#include "motion/natural/step_timeline.h"

namespace pavaneflow {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::size_t kSettleBatch = 1 << 16;

struct Bone {
  std::u16string_view name;
  KeyTrack* keys;
};

// Moves the key frames before `boundary` of every bone into `document`, in frame order. Every
// track is in frame order: merging them puts each new key frame behind all before it.
void Emit(const std::array<Bone, 9>& bones, std::int32_t boundary, MotionDocument& document,
          const SettledFrames& settled) {
  std::array<std::size_t, 9> next{};
  for (;;) {
    std::size_t first = bones.size();
    std::int32_t firstFrame = boundary;
    for (std::size_t i = 0; i < bones.size(); ++i) {
      const std::vector<PendingKey>& keys = bones[i].keys->Keys();
      if (next[i] < keys.size() && keys[next[i]].frame < firstFrame) {
        first = i;
        firstFrame = keys[next[i]].frame;
      }
    }
    if (first == bones.size()) break;
    const PendingKey& key = bones[first].keys->Keys()[next[first]++];
    MotionFrame* frame = document.InsertFrame(bones[first].name, key.frame);
    frame->position = key.position;
    frame->rotation = key.rotation;
    frame->interpolation = key.interpolation;
    if (settled && document.FrameCount() % kSettleBatch == 0) settled(document.FrameCount());
  }
  for (std::size_t i = 0; i < bones.size(); ++i) bones[i].keys->DropFront(next[i]);
  if (settled) settled(document.FrameCount());
}

}  // namespace

void NaturalMotion::Synthesize(const GenerationRequest& request, const Lane& lane,
                               const TimingMap& timing, const FootPlanner& planner,
                               MotionDocument& document, const SettledFrames& settled) const {
  // The dance is planned and written in stretches, so that the key frames go to the file while
  // the rest is planned, and the planners' lists stay short.
  const bool faceViewer = facing_ == Facing::kViewer;
  StepTimeline timeline(request, lane, timing, planner, faceViewer, body_.PadScale());
  FootSwingPlanner feetPlanner(body_);
  Tick lastTick = 0;
  for (const Frame& frame : lane.frames) lastTick = std::max(lastTick, frame.tick);
  BeatClock beats(timing, request.song->gap, lastTick);
  CentrePlanner centrePlanner(body_, beats, faceViewer ? 0.0 : kPi, request.twist);
  ArmSwinger armSwinger(body_, beats);

  FootSwings stretchFeet;
  std::array<KeyTrack, 2> feet;
  CentrePath centre;
  ArmSwing arms;
  const std::array<Bone, 9> bones{{{kCentreBone, &centre.centre},
                                   {kLeftFootIkBone, &feet[0]},
                                   {kRightFootIkBone, &feet[1]},
                                   {kUpperBodyBone, &centre.upperBody},
                                   {kNeckBone, &centre.neck},
                                   {kLeftArmBone, &arms.arms[0]},
                                   {kRightArmBone, &arms.arms[1]},
                                   {kLeftElbowBone, &arms.elbows[0]},
                                   {kRightElbowBone, &arms.elbows[1]}}};

  std::vector<StepRecord> stretch;
  std::size_t laid = 0;  // the gestures laid over the chest and head
  // Lays the gestures that end before `boundary`, where the chest's and the head's key frames
  // are complete, and returns the frame before which every bone's key frames are complete.
  auto layGestures = [&](std::int32_t boundary) {
    for (; laid < arms.gestures.size() && arms.gestures[laid].end < boundary; ++laid) {
      LayGesture(arms.gestures[laid], centre.upperBody, centre.neck);
    }
    return laid < arms.gestures.size() ? std::min(boundary, arms.gestures[laid].start) : boundary;
  };
  // Plans `stretch`, the next step landing at `next`; returns the frame before which every
  // bone's key frames are complete.
  auto plan = [&](std::optional<std::int32_t> next) {
    feetPlanner.Plan(stretch, stretchFeet);
    for (int side = 0; side < 2; ++side) {
      for (const PendingKey& key : stretchFeet.keys[side].Keys()) feet[side].Add(key);
    }
    armSwinger.Plan(stretch, next, arms);
    return layGestures(centrePlanner.Plan(stretchFeet, stretch, centre));
  };
  std::optional<std::int32_t> lastStep;
  StepRecord record;
  while (timeline.Next(record)) {
    if (record.Steps()) {
      if (lastStep && record.frame - *lastStep >= kStretchGap) {
        Emit(bones, plan(record.frame), document, settled);
        stretch.clear();
      }
      lastStep = record.frame;
    }
    stretch.push_back(record);
  }
  plan(std::nullopt);
  centrePlanner.Finish(centre);
  layGestures(std::numeric_limits<std::int32_t>::max());
  Emit(bones, std::numeric_limits<std::int32_t>::max(), document, settled);
}

VmdWriteOptions NaturalMotion::WriteOptions(VmdWriteOptions asked) const {
  asked.appendEmptySections = true;
  return asked;
}

}  // namespace pavaneflow
