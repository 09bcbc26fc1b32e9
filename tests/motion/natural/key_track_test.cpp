#include "motion/natural/key_track.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pavaneflow {
namespace {

// A track with a key at each of `frames`, each key marked by where it came from, so that a key
// kept and a key replaced at the same frame tell apart.
KeyTrack TrackAt(const std::vector<std::int32_t>& frames, float mark) {
  KeyTrack track;
  for (const std::int32_t frame : frames) {
    track.Add({frame, {mark, static_cast<float>(frame), 0.0f}});
  }
  return track;
}

struct AddAllCase {
  std::string name;
  std::vector<std::int32_t> held;   // the track's keys
  std::vector<std::int32_t> added;  // the keys added to it
};

// Adding a whole track must leave what adding its keys one by one leaves: the first key added
// replaces the held keys from its frame on, and none of the others may be lost or doubled.
TEST(KeyTrack, AddsAWholeTrackAsItsKeysOneByOne) {
  const std::vector<AddAllCase> cases = {
      {"nothing added", {0, 5, 10}, {}},
      {"to an empty track", {}, {3, 4, 9}},
      {"after the last key", {0, 5, 10}, {12, 15, 40}},
      {"from the last key's frame", {0, 5, 10}, {10, 12}},
      {"from inside the track", {0, 5, 10}, {3, 4, 20}},
      {"before every key", {2, 5, 10}, {-1, 30}},
      {"one key, between two", {0, 5, 10}, {7}},
  };
  for (const AddAllCase& c : cases) {
    SCOPED_TRACE(c.name);
    const KeyTrack added = TrackAt(c.added, 2.0f);
    KeyTrack whole = TrackAt(c.held, 1.0f);
    whole.AddAll(added);
    KeyTrack oneByOne = TrackAt(c.held, 1.0f);
    for (const PendingKey& key : added.Keys()) oneByOne.Add(key);
    ASSERT_EQ(whole.Keys().size(), oneByOne.Keys().size());
    for (std::size_t i = 0; i < whole.Keys().size(); ++i) {
      EXPECT_EQ(whole.Keys()[i].frame, oneByOne.Keys()[i].frame) << "key " << i;
      EXPECT_EQ(whole.Keys()[i].position, oneByOne.Keys()[i].position) << "key " << i;
    }
  }
}

}  // namespace
}  // namespace pavaneflow
