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

struct ReplaceCase {
  std::string name;
  std::size_t from;                  // the first key replaced
  std::size_t to;                    // the first key kept after them
  std::vector<std::int32_t> frames;  // of the keys put in their place
};

// Replacing keys writes over as many as it can and moves the rest of the track once: whether
// the new keys outnumber the old, match them or fall short, the track must read as the keys
// before, the new ones, then the keys after, none lost or doubled. A swing re-keyed by the legs'
// parting only ever grows, so a dance checks the other ways little.
TEST(KeyTrack, ReplacesKeysAsAnEraseAndAnInsertWould) {
  const std::vector<std::int32_t> held = {0, 5, 10, 15, 20};
  const std::vector<ReplaceCase> cases = {
      {"more keys in place of one", 1, 2, {4, 5, 6, 7}},
      {"as many", 1, 4, {6, 11, 14}},
      {"fewer", 1, 4, {8}},
      {"none", 1, 4, {}},
      {"into a gap between two keys", 2, 2, {11, 12}},
      {"at the front", 0, 2, {-1, 2, 3}},
      {"at the end", 3, 5, {16, 17, 18, 19}},
      {"the whole track", 0, 5, {1, 2}},
  };
  for (const ReplaceCase& c : cases) {
    SCOPED_TRACE(c.name);
    KeyTrack track = TrackAt(held, 1.0f);
    const std::vector<PendingKey> put = TrackAt(c.frames, 2.0f).Keys();
    track.Replace(c.from, c.to, put);
    std::vector<PendingKey> expected(held.size());
    for (std::size_t i = 0; i < held.size(); ++i) expected[i] = TrackAt({held[i]}, 1.0f).Keys()[0];
    expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(c.from),
                   expected.begin() + static_cast<std::ptrdiff_t>(c.to));
    expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(c.from), put.begin(), put.end());
    ASSERT_EQ(track.Keys().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(track.Keys()[i].frame, expected[i].frame) << "key " << i;
      EXPECT_EQ(track.Keys()[i].position, expected[i].position) << "key " << i;
    }
  }
}

}  // namespace
}  // namespace pavaneflow
