#include "motion/natural/gesture_layer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/compat.h"
#include "motion/natural/natural_curves.h"
#include "motion/rotation.h"
#include "vmd/bone_blend.h"

namespace pavaneflow {
namespace {

// Degrees, at the full gesture.
constexpr double kChestBack = 3.0;
constexpr double kChestSide = 5.0;  // towards the standing foot
constexpr double kLookUp = 7.0;
constexpr double kLookAside = 20.0;  // towards the raised hand
constexpr double kBothBack = 4.0;
constexpr double kBothLookUp = 9.0;

// How far into the gesture the body is at `frame`: 0 outside, 1 while it is held, easing in
// and out between.
double Share(const Gesture& gesture, std::int32_t frame) {
  auto ease = [](std::int32_t from, std::int32_t to, std::int32_t at) {
    const double x = static_cast<double>(at - from) / static_cast<double>(to - from);
    return x * x * (3.0 - 2.0 * x);
  };
  if (frame <= gesture.start || frame >= gesture.end) return 0.0;
  if (frame < gesture.full) return ease(gesture.start, gesture.full, frame);
  if (frame <= gesture.hold) return 1.0;
  return ease(gesture.end, gesture.hold, frame);
}

// How far the rotation's curve into `key` has come at `share` of its time.
double RotationProgress(const PendingKey& key, double share, GestureLayer::ProgressMemo& memo) {
  constexpr int kRotation = 3;  // the curve's channel
  const InterpolationBytes& bytes = *key.interpolation;
  std::uint64_t curve = 0;
  for (std::size_t i = 0; i < 4; ++i) curve = curve << 8 | bytes[4 * i + kRotation];
  const GestureLayer::ProgressMemo::Key asked{curve, compat::bit_cast<std::uint64_t>(share)};
  if (const std::optional<double> found = memo.Find(asked)) return *found;
  const double progress = ChannelCurve(bytes, kRotation).Progress(share);
  memo.Remember(asked, progress);
  return progress;
}

// The bone's rotation at `frame` as the runtime plays `keys`.
std::array<float, 4> RotationAt(const std::vector<PendingKey>& keys, std::int32_t frame,
                                GestureLayer::ProgressMemo& memo) {
  const auto after =
      std::upper_bound(keys.begin(), keys.end(), frame,
                       [](std::int32_t f, const PendingKey& key) { return f < key.frame; });
  if (after == keys.begin()) return after->rotation;
  const PendingKey& from = *(after - 1);
  if (after == keys.end() || from.frame == frame) return from.rotation;
  const double share =
      static_cast<double>(frame - from.frame) / static_cast<double>(after->frame - from.frame);
  const double progress = RotationProgress(*after, share, memo);
  const std::array<double, 4> q = RotationBlend(from.rotation, after->rotation).At(progress);
  return ToFloats(q);
}

Quaternion FromFloats(const std::array<float, 4>& q) {
  return {static_cast<double>(q[0]), static_cast<double>(q[1]), static_cast<double>(q[2]),
          static_cast<double>(q[3])};
}

// Turns about x (up; back for the chest), y (aside) and z (sideways), degrees at the full
// gesture.
struct Offset {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;

  Quaternion At(double share, GestureLayer::TurnMemo& memo) const {
    const GestureLayer::TurnMemo::Key key{
        compat::bit_cast<std::uint64_t>(x), compat::bit_cast<std::uint64_t>(y),
        compat::bit_cast<std::uint64_t>(z), compat::bit_cast<std::uint64_t>(share)};
    if (const std::optional<Quaternion> found = memo.Find(key)) return *found;
    const Quaternion turn = Compose(AxisAngle({0.0, 1.0, 0.0}, share * y * kDegree),
                                    Compose(AxisAngle({1.0, 0.0, 0.0}, share * x * kDegree),
                                            AxisAngle({0.0, 0.0, 1.0}, share * z * kDegree)));
    memo.Remember(key, turn);
    return turn;
  }
};

void LayOnTrack(const Gesture& gesture, const Offset& offset, KeyTrack& track,
                GestureLayer::TurnMemo& memo, GestureLayer::ProgressMemo& progress,
                KeyTrack& laid) {
  if (track.Empty()) return;
  const std::vector<PendingKey>& keys = track.Keys();
  // The keys before the gesture starts stay as they are: only those from its start on are laid
  // again, not the whole track held back for each gesture.
  const auto first =
      std::lower_bound(keys.begin(), keys.end(), gesture.start,
                       [](const PendingKey& key, std::int32_t frame) { return key.frame < frame; });
  laid.Clear();
  const std::array<std::int32_t, 4> corners{gesture.start, gesture.full, gesture.hold, gesture.end};
  std::size_t corner = 0;
  auto lay = [&](PendingKey key) {
    const double share = Share(gesture, key.frame);
    if (share > 0.0) {
      key.rotation = ToFloats(Compose(offset.At(share, memo), FromFloats(key.rotation)));
    }
    laid.Add(key);
  };
  // Past the gesture's end the keys stay as they are, where they are.
  auto key = first;
  for (; key != keys.end() && corner < corners.size(); ++key) {
    for (; corner < corners.size() && corners[corner] <= key->frame; ++corner) {
      if (corners[corner] == key->frame) continue;
      lay({corners[corner], key->position, RotationAt(keys, corners[corner], progress),
           &kTurnEase});
    }
    lay(*key);
  }
  for (; corner < corners.size(); ++corner) {
    lay({corners[corner], keys.back().position, keys.back().rotation, &kTurnEase});
  }
  track.Replace(static_cast<std::size_t>(first - keys.begin()),
                static_cast<std::size_t>(key - keys.begin()), laid.Keys());
}

}  // namespace

// Flattened: laying a gesture asks of each key frame it spans, in small steps.
[[gnu::flatten]] void GestureLayer::Lay(const Gesture& gesture, KeyTrack& upperBody,
                                        KeyTrack& neck) {
  Offset chest;
  Offset head;
  if (gesture.raised) {
    // The left is +x, and a turn about z leans towards -x: with the left arm raised, the chest
    // leans right, over the standing foot, and the head turns left, towards the hand.
    const double leftRaised = *gesture.raised == 0 ? 1.0 : -1.0;
    chest = {kChestBack, 0.0, leftRaised * kChestSide};
    head = {kLookUp, -leftRaised * kLookAside, -0.5 * chest.z};
  } else {
    chest = {kBothBack, 0.0, 0.0};
    head = {kBothLookUp, 0.0, 0.0};
  }
  LayOnTrack(gesture, chest, upperBody, turns_, *progress_, laid_);
  LayOnTrack(gesture, head, neck, turns_, *progress_, laid_);
}

}  // namespace pavaneflow
