#include "motion/natural/natural_motion.h"

#include <algorithm>
#include <array>
#include <bit>
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
#include "motion/natural/leg_parting.h"
#include "motion/natural/step_timeline.h"
#include "motion/rotation.h"

namespace pavaneflow {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::size_t kSettleBatch = 1 << 16;
constexpr std::size_t kBoneCount = 11;
// How many frames Emit puts in order at a time.
constexpr std::int64_t kEmitWindow = 256;

// How far each thigh is swung forward (about the hips' left-right axis) before the runtime's foot
// IK moves it. A player's IK solves the leg iteratively from the keyed pose, knee first: from a
// thigh hanging straight down under its hip, a standing leg that must bend 15–35° converges so
// slowly that its ankle ends up to 0.12 below the floor after the solver's iterations. From a
// thigh already swung forward about as far as a bent standing leg's, the first knee step bends
// the knee nearly as far as it must, and the ankle meets its target. 15° brought the standing
// ankles' sinking (95th percentile) from 0.056 to 0.013 on the reference model; 10° was worse
// (more misses), 20° left nearly straight legs further short of the floor.
constexpr double kThighStartRadians = 15.0 * kPi / 180.0;

struct Bone {
  std::u16string_view name;
  KeyTrack* keys;
};

// Each bone's name in the document, interned at the bone's first key (so that the document meets
// the names in the same order), null before.
using BoneNames = std::array<const std::u16string*, kBoneCount>;

// Moves the key frames before `boundary` of every bone into `document`, in frame order, the
// bones of one frame in the order of `bones`. Every track is in frame order with at most one key
// a frame, so the bones with a key at each frame of a short window can be marked in a table, a
// bit a bone, and the table read in frame order: no frame is looked for among the tracks.
void Emit(const std::array<Bone, kBoneCount>& bones, std::int32_t boundary, BoneNames& names,
          MotionDocument& document, const SettledFrames& settled) {
  std::array<const PendingKey*, kBoneCount> next{};
  std::array<const PendingKey*, kBoneCount> end{};  // each track's first key from `boundary` on
  for (std::size_t i = 0; i < bones.size(); ++i) {
    const std::vector<PendingKey>& keys = bones[i].keys->Keys();
    next[i] = keys.data();
    end[i] = keys.data() + keys.size();
    // Few keys lie beyond the stretch: they are counted off from the end.
    while (end[i] != next[i] && end[i][-1].frame >= boundary) --end[i];
  }
  const bool reports = static_cast<bool>(settled);
  std::array<std::uint16_t, kEmitWindow> bonesAt{};
  static_assert(kBoneCount <= 16, "a bit a bone");
  for (;;) {
    // Each window starts at the earliest key left.
    std::int32_t from = boundary;
    for (std::size_t i = 0; i < bones.size(); ++i) {
      if (next[i] != end[i]) from = std::min(from, next[i]->frame);
    }
    if (from == boundary) break;
    const auto span = static_cast<std::size_t>(
        std::min<std::int64_t>(kEmitWindow, std::int64_t{boundary} - from));
    std::fill_n(bonesAt.begin(), span, std::uint16_t{0});
    for (std::size_t i = 0; i < bones.size(); ++i) {
      for (const PendingKey* key = next[i];
           key != end[i] && static_cast<std::size_t>(std::int64_t{key->frame} - from) < span;
           ++key) {
        bonesAt[static_cast<std::size_t>(key->frame - from)] |= static_cast<std::uint16_t>(1u << i);
      }
    }
    for (std::size_t k = 0; k < span; ++k) {
      unsigned at = bonesAt[k];
      if (at == 0) continue;
      const auto frame = static_cast<std::int32_t>(from + static_cast<std::int64_t>(k));
      // The keys of a frame go behind the document's frames or not all alike: asked once.
      const bool appends = document.AppendsAt(frame);
      for (; at != 0; at &= at - 1) {
        const auto i = static_cast<std::size_t>(std::countr_zero(at));
        const PendingKey& key = *next[i]++;
        if (names[i] == nullptr) names[i] = document.InternBoneName(bones[i].name);
        auto fill = [&key](MotionFrame* added) {
          added->position = key.position;
          added->rotation = key.rotation;
          added->interpolation = key.interpolation;
        };
        // Filled on each way apart, so that the compiler drops a new frame's defaults, which the
        // key's fields overwrite at once.
        if (appends) {
          fill(document.AppendFrame(names[i], frame));
        } else {
          fill(document.InsertFrame(names[i], frame));
        }
        if (reports && document.FrameCount() % kSettleBatch == 0) settled(document.FrameCount());
      }
    }
  }
  for (std::size_t i = 0; i < bones.size(); ++i) {
    bones[i].keys->DropFront(static_cast<std::size_t>(next[i] - bones[i].keys->Keys().data()));
  }
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
  Tick lastTick = 0;
  for (const Frame& frame : lane.frames) lastTick = std::max(lastTick, frame.tick);
  BeatClock beats(timing, request.song->gap, lastTick);
  // The feet plan each stretch before the centre and the arms do: a clock of their own is asked
  // in frame order, as the clock expects.
  BeatClock feetBeats = beats.Alongside();
  FootSwingPlanner feetPlanner(body_, faceViewer ? 0.0 : kPi, &feetBeats);
  CentrePlanner centrePlanner(body_, beats, faceViewer ? 0.0 : kPi, request.twist);
  ArmSwinger armSwinger(body_, beats);

  FootSwings stretchFeet;
  std::array<KeyTrack, 2> feet;
  CentrePath centre;
  ArmSwing arms;
  // One key holds both thighs where the foot IK starts from for the whole dance.
  std::array<KeyTrack, 2> thighs;
  const Quaternion thighStart = AxisAngle({1.0, 0.0, 0.0}, kThighStartRadians);
  for (KeyTrack& thigh : thighs) {
    PendingKey key;
    key.rotation = ToFloats(thighStart);
    thigh.Add(key);
  }
  const std::array<Bone, kBoneCount> bones{{{kCentreBone, &centre.centre},
                                            {kLeftFootIkBone, &feet[0]},
                                            {kRightFootIkBone, &feet[1]},
                                            {kUpperBodyBone, &centre.upperBody},
                                            {kNeckBone, &centre.neck},
                                            {kLeftArmBone, &arms.arms[0]},
                                            {kRightArmBone, &arms.arms[1]},
                                            {kLeftElbowBone, &arms.elbows[0]},
                                            {kRightElbowBone, &arms.elbows[1]},
                                            {kLeftLegBone, &thighs[0]},
                                            {kRightLegBone, &thighs[1]}}};
  BoneNames names{};

  std::vector<StepRecord> stretch;
  GestureLayer gestureLayer;
  std::size_t laid = 0;  // the gestures laid over the chest and head
  // Lays the gestures that end before `boundary`, where the chest's and the head's key frames
  // are complete, and returns the frame before which every bone's key frames are complete.
  auto layGestures = [&](std::int32_t boundary) {
    for (; laid < arms.gestures.size() && arms.gestures[laid].end < boundary; ++laid) {
      gestureLayer.Lay(arms.gestures[laid], centre.upperBody, centre.neck);
    }
    return laid < arms.gestures.size() ? std::min(boundary, arms.gestures[laid].start) : boundary;
  };
  // Plans `stretch`, `next` the next stretch's first step if there is one; returns the frame
  // before which every bone's key frames are complete.
  auto plan = [&](const StepRecord* next) {
    feetPlanner.Plan(stretch, stretchFeet, next);
    for (int side = 0; side < 2; ++side) feet[side].AddAll(stretchFeet.keys[side]);
    armSwinger.Plan(
        stretch, next != nullptr ? std::optional<std::int32_t>(next->frame) : std::nullopt, arms);
    return layGestures(centrePlanner.Plan(stretchFeet, stretch, centre));
  };
  std::optional<std::int32_t> lastStep;
  StepRecord record;
  while (timeline.Next(record)) {
    if (record.Steps()) {
      if (lastStep && record.frame - *lastStep >= kStretchGap) {
        const std::int32_t boundary = plan(&record);
        PartLegs(body_, centre.centre, feet, boundary);
        Emit(bones, boundary, names, document, settled);
        stretch.clear();
      }
      lastStep = record.frame;
    }
    stretch.push_back(record);
  }
  plan(nullptr);
  centrePlanner.Finish(centre);
  layGestures(std::numeric_limits<std::int32_t>::max());
  PartLegs(body_, centre.centre, feet, std::numeric_limits<std::int32_t>::max());
  Emit(bones, std::numeric_limits<std::int32_t>::max(), names, document, settled);
}

VmdWriteOptions NaturalMotion::WriteOptions(VmdWriteOptions asked) const {
  asked.appendEmptySections = true;
  return asked;
}

}  // namespace pavaneflow
