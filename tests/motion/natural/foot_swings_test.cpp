#include "motion/natural/foot_swings.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

namespace pavaneflow {
namespace {

// Where a foot stands at `frame` by its definition, read off the whole list.
std::optional<FloorPoint> PlantedByDefinition(const std::vector<Support>& supports,
                                              std::int32_t frame) {
  const Support* last = nullptr;
  for (const Support& s : supports) {
    if (s.from <= frame) last = &s;
  }
  if (last == nullptr || frame > last->to) return std::nullopt;
  return last->at;
}

FloorPoint StanceByDefinition(const std::vector<Support>& supports, std::int32_t frame) {
  for (std::size_t i = supports.size(); i-- > 0;) {
    if (supports[i].from > frame) continue;
    if (frame <= supports[i].to || i + 1 == supports.size()) return supports[i].at;
    return supports[i + 1].at;
  }
  return supports.front().at;
}

// The answers must not depend on what was asked before: the planners ask mostly in frame
// order, but also back, far ahead, twice and after the lists changed.
TEST(FootSwings, FindsWhereAFootStandsWhateverWasAskedBefore) {
  const std::int32_t end = std::numeric_limits<std::int32_t>::max();
  FootSwings swings;
  // The left foot steps often (in the air between supports, and once landing on the frame it
  // lifted); the right one twice, standing from a later frame on.
  swings.supports[0] = {{0, 4, {1.0f, 0.0f}},   {7, 7, {2.0f, 0.0f}},   {8, 12, {3.0f, 1.0f}},
                        {15, 15, {4.0f, 1.0f}}, {15, 20, {5.0f, 2.0f}}, {24, end, {6.0f, 2.0f}}};
  swings.supports[1] = {{3, 10, {-1.0f, 0.0f}}, {18, end, {-2.0f, 1.0f}}};

  auto expectAsDefined = [&swings](std::int32_t frame, const char* when) {
    for (int side = 0; side < 2; ++side) {
      const auto& list = swings.supports[static_cast<std::size_t>(side)];
      EXPECT_EQ(swings.PlantedAt(side, frame), PlantedByDefinition(list, frame))
          << when << ", foot " << side << ", frame " << frame;
      EXPECT_EQ(swings.StanceAt(side, frame), StanceByDefinition(list, frame))
          << when << ", foot " << side << ", frame " << frame;
    }
  };

  std::vector<std::int32_t> forwards;
  for (std::int32_t f = -2; f <= 30; ++f) forwards.push_back(f);
  std::vector<std::int32_t> backwards(forwards.rbegin(), forwards.rend());
  std::vector<std::int32_t> interleaved;  // a key frame, then the next one, as the centre asks
  for (std::int32_t f = 0; f + 3 <= 30; ++f) interleaved.insert(interleaved.end(), {f, f + 3, f});
  const std::vector<std::int32_t> jumping{29, 0, 15, 14, 16, 7, 8, 1000, -5, 24, 23, 3, 3, 12};
  for (const auto& order : {forwards, backwards, interleaved, jumping}) {
    for (const std::int32_t frame : order) expectAsDefined(frame, "planned");
  }

  // A step undone and another planned in its place; then the next stretch's list.
  const std::int32_t lastFrame = 29;
  EXPECT_EQ(swings.PlantedAt(0, lastFrame), (FloorPoint{6.0f, 2.0f}));
  swings.supports[0].resize(3);
  swings.supports[0].push_back({14, end, {7.0f, 3.0f}});
  swings.supports[1] = {{40, end, {-3.0f, 2.0f}}};
  for (const std::int32_t frame : {lastFrame, 13, 14, 9, 50, 39, 40}) {
    expectAsDefined(frame, "changed");
  }
}

}  // namespace
}  // namespace pavaneflow
