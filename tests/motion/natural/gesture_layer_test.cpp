#include "motion/natural/gesture_layer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "motion/natural/natural_curves.h"

namespace pavaneflow {
namespace {

// A track turned a little further at each key, so that every key's pose is its own.
KeyTrack TrackAt(const std::vector<std::int32_t>& frames) {
  KeyTrack track;
  for (const std::int32_t frame : frames) {
    const float turn = 0.01f * static_cast<float>(frame);
    track.Add({frame, {0.0f, 0.0f, 0.0f}, {0.0f, turn, 0.0f, 1.0f - turn * turn * 0.5f}});
  }
  return track;
}

struct LayCase {
  std::string name;
  std::vector<std::int32_t> frames;
  Gesture gesture;
};

// Keys before the gesture and from its end on keep their frame and pose, those inside it turn
// with it, and a key is added at each corner the track has none at, once: laid from the
// gesture's start on, the keys after it must come out where they were, neither lost nor twice.
TEST(LayGesture, TurnsOnlyTheKeysInsideAndKeepsTheRestInPlace) {
  const std::vector<LayCase> cases = {
      {"keys before, inside and long after",
       {0, 10, 20, 35, 50, 80, 90, 120, 150},
       {20, 30, 60, 70, std::size_t{0}}},
      {"keys end inside the gesture", {0, 10, 25}, {20, 30, 60, 70, std::size_t{1}}},
      {"full and hold on one frame", {0, 40, 100, 130}, {20, 45, 45, 70, std::nullopt}},
      {"corners on keys", {0, 20, 30, 60, 70, 71}, {20, 30, 60, 70, std::size_t{0}}},
      {"gesture after every key", {0, 5}, {20, 30, 60, 70, std::nullopt}},
  };
  for (const LayCase& c : cases) {
    SCOPED_TRACE(c.name);
    KeyTrack chest = TrackAt(c.frames);
    KeyTrack head = TrackAt(c.frames);
    const KeyTrack before = TrackAt(c.frames);
    GestureLayer().Lay(c.gesture, chest, head);

    std::map<std::int32_t, std::array<float, 4>> original;
    for (const PendingKey& key : before.Keys()) original[key.frame] = key.rotation;
    std::vector<std::int32_t> expected = c.frames;
    for (const std::int32_t corner :
         {c.gesture.start, c.gesture.full, c.gesture.hold, c.gesture.end}) {
      if (!original.count(corner)) expected.push_back(corner);
    }
    std::sort(expected.begin(), expected.end());
    expected.erase(std::unique(expected.begin(), expected.end()), expected.end());

    for (const KeyTrack* track : {&chest, &head}) {
      std::vector<std::int32_t> frames;
      for (const PendingKey& key : track->Keys()) {
        frames.push_back(key.frame);
        const auto was = original.find(key.frame);
        if (was == original.end()) continue;
        const bool inside = key.frame > c.gesture.start && key.frame < c.gesture.end;
        if (inside) {
          EXPECT_NE(key.rotation, was->second) << "frame " << key.frame;
        } else {
          EXPECT_EQ(key.rotation, was->second) << "frame " << key.frame;
        }
      }
      EXPECT_EQ(frames, expected);
    }
  }
}

// A layer remembers the chest's and head's turns from gesture to gesture: laid one after another
// through one layer, gestures that ease over the same frames but raise another arm (or both, or
// none) must turn the keys exactly as a fresh layer does, each by its own turn.
TEST(LayGesture, RemembersNoTurnForAnotherGesture) {
  const std::vector<std::vector<Gesture>> runs = {
      {{20, 38, 60, 78, std::size_t{0}},
       {120, 138, 160, 178, std::size_t{1}},
       {220, 238, 260, 278, std::nullopt},
       {320, 338, 360, 378, std::size_t{0}}},
      {{20, 38, 60, 78, std::nullopt}, {120, 138, 170, 188, std::nullopt}},
      {{20, 38, 60, 78, std::size_t{1}}, {121, 139, 161, 179, std::size_t{1}}},
  };
  std::vector<std::int32_t> frames;
  for (std::int32_t frame = 0; frame < 400; frame += 3) frames.push_back(frame);
  for (std::size_t run = 0; run < runs.size(); ++run) {
    SCOPED_TRACE(run);
    GestureLayer shared;
    KeyTrack chest = TrackAt(frames);
    KeyTrack head = TrackAt(frames);
    KeyTrack freshChest = TrackAt(frames);
    KeyTrack freshHead = TrackAt(frames);
    for (const Gesture& gesture : runs[run]) {
      shared.Lay(gesture, chest, head);
      GestureLayer().Lay(gesture, freshChest, freshHead);
    }
    ASSERT_EQ(chest.Keys().size(), freshChest.Keys().size());
    for (std::size_t k = 0; k < chest.Keys().size(); ++k) {
      EXPECT_EQ(chest.Keys()[k].frame, freshChest.Keys()[k].frame);
      EXPECT_EQ(chest.Keys()[k].rotation, freshChest.Keys()[k].rotation) << "chest key " << k;
      EXPECT_EQ(head.Keys()[k].rotation, freshHead.Keys()[k].rotation) << "head key " << k;
    }
  }
}

// A layer remembers how far a key's turn has come at a corner between two keys by the curve and
// the share of its time: laid over tracks whose keys turn on other curves (only the turn's curve
// differs, or only the others'), the corners at the same shares must come out as a fresh layer
// lays them, each on its own curve.
TEST(LayGesture, RemembersNoProgressForAnotherCurve) {
  static constexpr InterpolationBytes kTurnGentle =
      MakeInterpolation(kStraight, kStraight, kStraight, kGentle);
  static constexpr InterpolationBytes kTurnEasedEnd =
      MakeInterpolation(kStraight, kStraight, kStraight, kEasedEnd);
  static constexpr InterpolationBytes kMovesGentle =
      MakeInterpolation(kGentle, kGentle, kGentle, kStraight);
  const std::vector<const InterpolationBytes*> curves = {&kTurnGentle, &kTurnEasedEnd,
                                                         &kMovesGentle, &kTurnGentle};
  // Keys every seven frames: each corner falls a few sevenths into the way between two keys.
  std::vector<std::int32_t> frames;
  for (std::int32_t frame = 0; frame < 120; frame += 7) frames.push_back(frame);
  auto onCurve = [&frames](const InterpolationBytes* curve) {
    KeyTrack track = TrackAt(frames);
    KeyTrack turning;
    for (PendingKey key : track.Keys()) {
      key.interpolation = curve;
      turning.Add(key);
    }
    return turning;
  };
  const Gesture gesture{24, 41, 66, 87, std::size_t{0}};
  GestureLayer shared;
  for (std::size_t c = 0; c < curves.size(); ++c) {
    SCOPED_TRACE(c);
    KeyTrack chest = onCurve(curves[c]);
    KeyTrack head = onCurve(curves[c]);
    KeyTrack freshChest = onCurve(curves[c]);
    KeyTrack freshHead = onCurve(curves[c]);
    shared.Lay(gesture, chest, head);
    GestureLayer().Lay(gesture, freshChest, freshHead);
    ASSERT_EQ(chest.Keys().size(), freshChest.Keys().size());
    for (std::size_t k = 0; k < chest.Keys().size(); ++k) {
      EXPECT_EQ(chest.Keys()[k].rotation, freshChest.Keys()[k].rotation) << "chest key " << k;
      EXPECT_EQ(head.Keys()[k].rotation, freshHead.Keys()[k].rotation) << "head key " << k;
    }
  }
}

TEST(LayGesture, LeavesEmptyTracksEmpty) {
  KeyTrack chest;
  KeyTrack head;
  GestureLayer().Lay({20, 30, 60, 70, std::size_t{0}}, chest, head);
  EXPECT_TRUE(chest.Empty());
  EXPECT_TRUE(head.Empty());
}

}  // namespace
}  // namespace pavaneflow
