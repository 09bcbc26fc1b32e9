#include "motion/natural/gesture_layer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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
    LayGesture(c.gesture, chest, head);

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

TEST(LayGesture, LeavesEmptyTracksEmpty) {
  KeyTrack chest;
  KeyTrack head;
  LayGesture({20, 30, 60, 70, std::size_t{0}}, chest, head);
  EXPECT_TRUE(chest.Empty());
  EXPECT_TRUE(head.Empty());
}

}  // namespace
}  // namespace pavaneflow
