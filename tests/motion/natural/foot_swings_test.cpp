#include "motion/natural/foot_swings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "motion/body_proportions.h"
#include "motion/segment_gap.h"
#include "vmd/bezier_curve.h"

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
      // Both feet at once, as the centre asks.
      const FootSwings::Stances both = swings.StancesAt(frame);
      EXPECT_EQ(both.at[static_cast<std::size_t>(side)], StanceByDefinition(list, frame))
          << when << ", both feet, foot " << side << ", frame " << frame;
      EXPECT_EQ(both.planted[static_cast<std::size_t>(side)],
                PlantedByDefinition(list, frame).has_value())
          << when << ", both feet, foot " << side << ", frame " << frame;
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

// The stances written down frame by frame answer as the look-up does, inside the frames written
// down and outside them, whatever the range: before the first support, across a lift on its
// landing frame, two supports starting on one frame, the last one reaching to the end of time.
TEST(FootSwings, AnswersFromItsTableAsItsSupportsSay) {
  const std::int32_t end = std::numeric_limits<std::int32_t>::max();
  FootSwings swings;
  swings.supports[0] = {{2, 4, {1.0f, 0.0f}},   {7, 7, {2.0f, 0.0f}},   {8, 12, {3.0f, 1.0f}},
                        {15, 15, {4.0f, 1.0f}}, {15, 20, {5.0f, 2.0f}}, {24, end, {6.0f, 2.0f}}};
  swings.supports[1] = {{3, 10, {-1.0f, 0.0f}}, {18, end, {-2.0f, 1.0f}}};
  struct Range {
    std::int32_t from;
    std::int32_t to;
  };
  const std::vector<Range> ranges{{-3, 40}, {0, 1}, {5, 16}, {15, 15}, {24, 30}, {12, 11}};
  for (const Range& range : ranges) {
    swings.Index(range.from, range.to);
    for (std::int32_t frame = -5; frame <= 45; ++frame) {
      for (int side = 0; side < 2; ++side) {
        const auto& list = swings.supports[static_cast<std::size_t>(side)];
        EXPECT_EQ(swings.PlantedAt(side, frame), PlantedByDefinition(list, frame))
            << "written down " << range.from << "-" << range.to << ", foot " << side << ", frame "
            << frame;
        EXPECT_EQ(swings.StanceAt(side, frame), StanceByDefinition(list, frame))
            << "written down " << range.from << "-" << range.to << ", foot " << side << ", frame "
            << frame;
        const FootSwings::Stances both = swings.StancesAt(frame);
        EXPECT_EQ(both.at[static_cast<std::size_t>(side)], StanceByDefinition(list, frame))
            << "written down " << range.from << "-" << range.to << ", both feet, foot " << side
            << ", frame " << frame;
        EXPECT_EQ(both.planted[static_cast<std::size_t>(side)],
                  PlantedByDefinition(list, frame).has_value())
            << "written down " << range.from << "-" << range.to << ", both feet, foot " << side
            << ", frame " << frame;
      }
    }
  }
  // Forgotten, the table answers nothing after the supports change.
  swings.Unindex();
  swings.supports[0] = {{0, end, {9.0f, 9.0f}}};
  EXPECT_EQ(swings.PlantedAt(0, 10), (FloorPoint{9.0f, 9.0f}));
  EXPECT_EQ(swings.StanceAt(0, 3), (FloorPoint{9.0f, 9.0f}));
}

// Where foot `side` tops its one swing: its highest key frame, on the floor's terms.
FloorPoint SwingTop(const FootSwings& swings, int side) {
  const auto& keys = swings.keys[static_cast<std::size_t>(side)].Keys();
  const auto top = std::max_element(keys.begin(), keys.end(), [](const auto& a, const auto& b) {
    return a.position[1] < b.position[1];
  });
  const float outwards = side == 0 ? kReferenceBody.ankleX : -kReferenceBody.ankleX;
  return {top->position[0] + outwards, top->position[2]};
}

// How far `p` lies in front of `standing`, for hips facing the viewer (−z).
double AheadOf(FloorPoint p, FloorPoint standing) {
  return static_cast<double>(standing.z) - static_cast<double>(p.z);
}

// Where the straight way from `from` to `to` comes nearest `standing`.
FloorPoint Nearest(FloorPoint from, FloorPoint to, FloorPoint standing) {
  const double dx = static_cast<double>(to.x) - static_cast<double>(from.x);
  const double dz = static_cast<double>(to.z) - static_cast<double>(from.z);
  const double t =
      std::clamp(((static_cast<double>(standing.x) - static_cast<double>(from.x)) * dx +
                  (static_cast<double>(standing.z) - static_cast<double>(from.z)) * dz) /
                     (dx * dx + dz * dz),
                 0.0, 1.0);
  return {static_cast<float>(static_cast<double>(from.x) + dx * t),
          static_cast<float>(static_cast<double>(from.z) + dz * t)};
}

// How near the path from `from` through `top` to `to` comes to `standing`, on the floor.
double PathGap(FloorPoint from, FloorPoint top, FloorPoint to, FloorPoint standing) {
  auto at = [](FloorPoint p) {
    return Vec3{static_cast<double>(p.x), 0.0, static_cast<double>(p.z)};
  };
  const Vec3 s = at(standing);
  return std::min(SegmentGap(at(from), at(top), s, s), SegmentGap(at(top), at(to), s, s));
}

// A foot that steps into a crossing, or out of one, passes the standing foot on the side it
// is crossed on, whichever side the straight way runs: going round the other side, the legs
// would pass through each other. With too little time for that way round, it passes closer, and
// with too little even for that, it takes the near way. The hips face the viewer throughout (the
// feet stand far enough apart front to back for the crossed legs to pass), so that in front is
// −z; the left foot stands, the right one steps.
TEST(FootSwings, PassesTheStandingFootOnTheSideTheFootIsCrossedOn) {
  struct Case {
    const char* name;
    FloorPoint from;
    FloorPoint to;
    std::int32_t frames;  // from the start to the step's landing
    double side;   // 1: the top in front of the standing foot, −1 behind it, 0 the near way
    double least;  // how near the foot's path comes to the standing foot, at least
  };
  const FloorPoint standing{2.0f, 0.0f};
  const Case cases[] = {
      // Each straight way passes on the other side of the standing foot.
      {"into a crossing in front", {-3.0f, 4.5f}, {6.0f, -2.0f}, 30, 1.0, 1.5},
      {"into a crossing behind", {-3.0f, -4.5f}, {6.0f, 2.0f}, 30, -1.0, 1.5},
      {"out of a crossing behind", {6.0f, 2.5f}, {-3.0f, -4.5f}, 30, -1.0, 1.5},
      {"out of a crossing in front", {6.0f, -2.5f}, {-3.0f, 4.5f}, 30, 1.0, 1.5},
      // Nine frames leave time to go round in front, not as far from the standing foot.
      {"into a crossing in front, in nine frames", {-3.0f, 1.0f}, {6.0f, -0.5f}, 9, 1.0, 0.6},
      // Four frames leave no time to go round: the foot goes the near way.
      {"into a crossing in front, in four frames", {-3.0f, 4.5f}, {6.0f, -2.0f}, 4, 0.0, 1.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StepRecord start;
    start.floor = {standing, c.from};
    StepRecord step = start;
    step.frame = c.frames;
    step.floor[1] = c.to;
    step.moved[1] = true;
    FootSwingPlanner planner(kReferenceBody, 0.0);
    FootSwings swings;
    planner.Plan({start, step}, swings);
    ASSERT_EQ(swings.supports[0].size(), 1u);
    ASSERT_EQ(swings.supports[1].size(), 2u);
    const FloorPoint stand = swings.supports[0].front().at;
    const FloorPoint from = swings.supports[1].front().at;
    const FloorPoint to = swings.supports[1].back().at;
    // Crossed at one end only, on the floor as the planner moves the feet inwards.
    EXPECT_LT((from.x - stand.x) * (to.x - stand.x), 0.0f);
    // The straight way passes on the other side, else the case shows nothing.
    const double straight = AheadOf(Nearest(from, to, stand), stand);
    if (c.side != 0.0) {
      EXPECT_LT(straight * c.side, 0.0);
    }
    const double side = c.side != 0.0 ? c.side : (straight > 0.0 ? 1.0 : -1.0);
    const FloorPoint top = SwingTop(swings, 1);
    EXPECT_GT(AheadOf(top, stand) * side, 0.5)
        << "top " << top.x << ", " << top.z << "; standing " << stand.x << ", " << stand.z;
    EXPECT_GE(PathGap(from, top, to, stand), c.least);
  }
}

// Where foot `side`'s key frames put it at every frame from its first key to its last, each
// channel on its own curve as the player interpolates it.
std::vector<std::array<double, 3>> FootPath(const FootSwings& swings, int side) {
  const std::vector<PendingKey>& keys = swings.keys[static_cast<std::size_t>(side)].Keys();
  std::vector<std::array<double, 3>> path;
  for (std::size_t k = 1; k < keys.size(); ++k) {
    const PendingKey& a = keys[k - 1];
    const PendingKey& b = keys[k];
    const InterpolationBytes& bytes = *b.interpolation;
    for (std::int32_t f = a.frame; f < b.frame; ++f) {
      const double x = static_cast<double>(f - a.frame) / static_cast<double>(b.frame - a.frame);
      std::array<double, 3> at{};
      for (std::size_t c = 0; c < 3; ++c) {
        const BezierCurve curve(bytes[c], bytes[4 + c], bytes[8 + c], bytes[12 + c]);
        at[c] = static_cast<double>(a.position[c]) +
                (static_cast<double>(b.position[c]) - static_cast<double>(a.position[c])) *
                    curve.Progress(x);
      }
      path.push_back(at);
    }
  }
  path.push_back({static_cast<double>(keys.back().position[0]),
                  static_cast<double>(keys.back().position[1]),
                  static_cast<double>(keys.back().position[2])});
  return path;
}

// How far a foot moves into frame `f` (from 1) along `path`.
double FrameStep(const std::vector<std::array<double, 3>>& path, std::size_t f) {
  const double dx = path[f][0] - path[f - 1][0];
  const double dy = path[f][1] - path[f - 1][1];
  const double dz = path[f][2] - path[f - 1][2];
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The fastest a foot moves in a frame along its key frames' path.
double FastestFrame(const FootSwings& swings, int side) {
  const std::vector<std::array<double, 3>> path = FootPath(swings, side);
  double fastest = 0.0;
  for (std::size_t f = 1; f < path.size(); ++f) fastest = std::max(fastest, FrameStep(path, f));
  return fastest;
}

// A foot tapping back and forth across its pad, or both feet jumping there and back, every few
// frames: on the usual curves, slow out of the lift and into the touch, a tap four or five frames
// apart peaked at 2.33 a frame, past a real foot's 2.1. It still lands slowly.
TEST(FootSwings, QuickSwingsAcrossThePadStayUnderAFootsSpeed) {
  struct Case {
    const char* name;
    std::int32_t every;  // frames between the steps
    bool jump;
    double fastest;  // most a foot moves in a frame
  };
  const Case cases[] = {
      {"taps four frames apart", 4, false, 2.1},
      {"taps five frames apart", 5, false, 2.1},
      {"taps six frames apart", 6, false, 2.1},
      {"jumps five frames apart", 5, true, 2.1},
      {"jumps six frames apart", 6, true, 2.1},
      // Time to spare: the usual curves, well under a foot's speed.
      {"steps twelve frames apart", 12, false, 1.6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StepRecord start;
    start.floor = {FloorPoint{3.5f, 0.0f}, FloorPoint{-3.5f, 0.0f}};
    std::vector<StepRecord> records{start};
    for (int i = 1; i <= 8; ++i) {
      StepRecord r = records.back();
      r.frame = 30 + i * c.every;
      const float z = i % 2 == 1 ? 5.0f : 0.0f;
      r.floor[1] = {-3.5f, z};
      if (c.jump) r.floor[0] = {3.5f, z};
      r.moved = {c.jump, true};
      records.push_back(r);
    }
    FootSwingPlanner planner(kReferenceBody, 0.0);
    FootSwings swings;
    planner.Plan(records, swings);
    for (int side = c.jump ? 0 : 1; side < 2; ++side) {
      EXPECT_LE(FastestFrame(swings, side), c.fastest) << "foot " << side;
      // The frame into each landing moves it no more than the touch a frame before.
      const std::vector<std::array<double, 3>> path = FootPath(swings, side);
      for (const Support& s : swings.supports[static_cast<std::size_t>(side)]) {
        const auto f = static_cast<std::size_t>(s.from);
        if (s.from == 0 || f >= path.size()) continue;
        EXPECT_LE(FrameStep(path, f), 0.12) << "landing at " << s.from;
      }
    }
  }
}

// A foot stepping over or round the standing one, its path bent to pass it: lifted high for the
// longer way and eased out of the lift and into the touch as a step with time to spare is, it
// crossed at up to 2.8 a frame (a step across both pads in ten frames), past a real foot's 2.1.
// It still lands slowly.
TEST(FootSwings, StepsRoundTheStandingFootAtAFootsSpeed) {
  struct Case {
    const char* name;
    FloorPoint standing;  // the left foot, which stays
    FloorPoint from;      // the right foot, which steps
    FloorPoint to;
    std::int32_t frames;  // from its last landing to the next
  };
  const Case cases[] = {
      {"over the standing foot to the front corner", {0.0f, 0.0f}, {-3.5f, 0.0f}, {7.0f, -3.5f}, 8},
      {"over the standing foot to the back corner", {0.0f, 0.0f}, {-3.5f, 0.0f}, {7.0f, 3.5f}, 8},
      {"over the standing foot across the pad", {0.0f, 0.0f}, {-3.5f, 0.0f}, {7.0f, 0.0f}, 10},
      {"round it across both pads", {-3.5f, 0.0f}, {-7.0f, 0.0f}, {7.0f, 3.5f}, 10},
      {"round it across both pads, slower", {-3.5f, 0.0f}, {-7.0f, 0.0f}, {7.0f, 0.0f}, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StepRecord start;
    start.floor = {c.standing, c.from};
    StepRecord stand = start;
    stand.frame = 30;
    stand.moved = {true, true};
    StepRecord step = stand;
    step.frame = 30 + c.frames;
    step.moved = {false, true};
    step.floor[1] = c.to;
    FootSwingPlanner planner(kReferenceBody, 0.0);
    FootSwings swings;
    planner.Plan({start, stand, step}, swings);
    EXPECT_LE(FastestFrame(swings, 1), 2.1);
    const std::vector<std::array<double, 3>> path = FootPath(swings, 1);
    const auto landing = static_cast<std::size_t>(swings.supports[1].back().from);
    ASSERT_LT(landing, path.size());
    EXPECT_LE(FrameStep(path, landing), 0.12);
  }
}

// Far too little time to cross: a foot tapping in place and then sent 9 units three frames later
// (7.6 between the narrowed stances) had two frames before its touch and crossed at 3.9 a frame;
// feet trading corners in a quick jump, their tops bowed apart where they were, crossed in the
// frame after the top at 4. A player's foot snaps at most about 3.5 a frame. A tap that makes it
// under that still touches a frame before it lands.
TEST(FootSwings, CrossesThePadNoFasterThanAFootSnapsWhenShortOfTime) {
  struct Case {
    const char* name;
    std::array<FloorPoint, 2> from;
    std::array<FloorPoint, 2> to;
    std::array<bool, 2> moved;
    std::int32_t frames;          // from the last landing to the next
    std::array<bool, 2> touches;  // each moving foot keys a touch a frame before it lands
  };
  const Case cases[] = {
      {"a tap 8 units in three frames",
       {{{3.5f, 0.0f}, {-3.5f, -4.0f}}},
       {{{3.5f, 0.0f}, {-3.5f, 4.0f}}},
       {false, true},
       3,
       {true, true}},
      {"a tap 9 units in three frames",
       {{{3.5f, 0.0f}, {-3.5f, -4.5f}}},
       {{{3.5f, 0.0f}, {-3.5f, 4.5f}}},
       {false, true},
       3,
       {true, false}},
      {"a tap 6.5 units in three frames",
       {{{3.5f, 0.0f}, {-3.5f, -3.25f}}},
       {{{3.5f, 0.0f}, {-3.5f, 3.25f}}},
       {false, true},
       3,
       {true, true}},
      {"feet trading corners in a quick jump",
       {{{-0.87f, -3.13f}, {-3.44f, -0.56f}}},
       {{{0.56f, 3.44f}, {3.13f, 0.87f}}},
       {true, true},
       4,
       {true, true}},
      {"feet trading sides in a quick jump",
       {{{-3.0f, 0.5f}, {3.0f, -0.5f}}},
       {{{3.0f, 0.5f}, {-3.0f, -0.5f}}},
       {true, true},
       4,
       {true, true}},
      {"one foot 9 units in a jump three frames on",
       {{{3.5f, -4.5f}, {-3.5f, 0.0f}}},
       {{{3.5f, 4.5f}, {-3.5f, 2.0f}}},
       {true, true},
       3,
       {false, true}},
      {"both feet across the pad in a jump three frames on",
       {{{3.5f, -3.5f}, {-3.5f, -3.5f}}},
       {{{3.5f, 3.5f}, {-3.5f, 3.5f}}},
       {true, true},
       3,
       {false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StepRecord start;
    start.floor = c.from;
    // Both feet land where they start at frame 30 (a tap in place), then go.
    StepRecord tap = start;
    tap.frame = 30;
    tap.moved = {true, true};
    StepRecord go;
    go.frame = 30 + c.frames;
    go.floor = c.to;
    go.moved = c.moved;
    FootSwingPlanner planner(kReferenceBody, 0.0);
    FootSwings swings;
    planner.Plan({start, tap, go}, swings);
    for (int side = 0; side < 2; ++side) {
      if (!c.moved[static_cast<std::size_t>(side)]) continue;
      EXPECT_LE(FastestFrame(swings, side), 3.5) << "foot " << side;
      const std::vector<PendingKey>& keys = swings.keys[static_cast<std::size_t>(side)].Keys();
      ASSERT_GE(keys.size(), 2u);
      const PendingKey& before = keys[keys.size() - 2];
      EXPECT_EQ(before.frame == go.frame - 1 && before.position[1] > 0.0f,
                c.touches[static_cast<std::size_t>(side)])
          << "foot " << side << ": key before the landing at " << before.frame;
    }
  }
}

// A jump's feet top their swings half way, unless that brings them to one spot: feet trading
// places then pass side by side, each bowed out to its own side of the way (before, they passed
// through each other at the top, ankles fused).
TEST(FootSwings, JumpingFeetTradingPlacesPassSideBySide) {
  struct Case {
    const char* name;
    std::array<FloorPoint, 2> from;
    std::array<FloorPoint, 2> to;
    bool bowed;  // else each tops its swing half way
  };
  const Case cases[] = {
      {"apart and back", {{{-3.0f, 0.0f}, {3.0f, 0.0f}}}, {{{-3.0f, 3.0f}, {3.0f, 3.0f}}}, false},
      {"across the pad", {{{-3.0f, 0.0f}, {3.0f, 0.0f}}}, {{{3.0f, 0.0f}, {-3.0f, 0.0f}}}, true},
      {"corner to corner",
       {{{-1.0f, -3.0f}, {3.0f, 3.0f}}},
       {{{3.0f, 3.0f}, {-1.0f, -3.0f}}},
       true},
      {"crossed to side by side",
       {{{1.5f, 0.4f}, {-1.5f, -0.4f}}},
       {{{-1.5f, 0.4f}, {1.5f, -0.4f}}},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StepRecord start;
    start.floor = c.from;
    StepRecord jump;
    jump.frame = 30;
    jump.floor = c.to;
    jump.moved = {true, true};
    FootSwingPlanner planner(kReferenceBody, 0.0);
    FootSwings swings;
    planner.Plan({start, jump}, swings);
    const std::array<FloorPoint, 2> tops{SwingTop(swings, 0), SwingTop(swings, 1)};
    const double dx = static_cast<double>(tops[0].x - tops[1].x);
    const double dz = static_cast<double>(tops[0].z - tops[1].z);
    const double apart = std::hypot(dx, dz);
    if (c.bowed) {
      EXPECT_GE(apart, 1.19);
      // Each on its own side of the other's way, not one behind the other along it.
      const double wayX = static_cast<double>(c.to[0].x - c.from[0].x);
      const double wayZ = static_cast<double>(c.to[0].z - c.from[0].z);
      const double along = (dx * wayX + dz * wayZ) / std::hypot(wayX, wayZ);
      EXPECT_LT(std::fabs(along), 0.1);
    } else {
      for (int side = 0; side < 2; ++side) {
        const auto& supports = swings.supports[static_cast<std::size_t>(side)];
        EXPECT_NEAR(tops[side].x, (supports.front().at.x + supports.back().at.x) / 2, 0.01);
        EXPECT_NEAR(tops[side].z, (supports.front().at.z + supports.back().at.z) / 2, 0.01);
      }
    }
  }
}

// How near each other straight legs come from hips over the middle of the feet, turned by `yaw`.
double StraightLegsGap(FloorPoint left, FloorPoint right, double yaw) {
  const BodyProportions& body = kReferenceBody;
  const double midX = (static_cast<double>(left.x) + static_cast<double>(right.x)) / 2;
  const double midZ = (static_cast<double>(left.z) + static_cast<double>(right.z)) / 2;
  const double across = static_cast<double>(body.hipX) * std::cos(yaw);
  const double along = static_cast<double>(body.hipX) * std::sin(yaw);
  const double hipY = static_cast<double>(body.hipY);
  const double ankleY = static_cast<double>(body.ankleY);
  return SegmentGap({midX + across, hipY, midZ - along},
                    {static_cast<double>(left.x), ankleY, static_cast<double>(left.z)},
                    {midX - across, hipY, midZ + along},
                    {static_cast<double>(right.x), ankleY, static_cast<double>(right.z)});
}

// Whether the left foot stands ahead of the right one for hips turned by `yaw`.
bool LeftAhead(FloorPoint left, FloorPoint right, double yaw) {
  return -static_cast<double>(left.x - right.x) * std::sin(yaw) -
             static_cast<double>(left.z - right.z) * std::cos(yaw) >=
         0.0;
}

// The search for the hips' parting turn passes by turns that the last one measured shows cannot
// part the legs, trusting that turning the hips by an angle changes the straight legs' gap by at
// most twice the hips' half width times the angle (each hip moves that far along its circle,
// the feet stay). A gap measured any less exactly, near-parallel legs or crossed ones, would
// make it pass by the turn it should have taken.
TEST(FootSwings, StraightLegsGapTurnsNoFasterThanTheHips) {
  struct Case {
    const char* name;
    FloorPoint left;
    FloorPoint right;
  };
  const Case cases[] = {
      {"square", {1.5f, 0.0f}, {-1.5f, 0.0f}},
      {"crossed in front", {-2.0f, -1.0f}, {2.0f, 1.0f}},
      {"crossed behind", {-2.5f, 2.0f}, {1.5f, -0.5f}},
      {"wide", {6.0f, 0.5f}, {-6.0f, -0.5f}},
      {"feet together", {0.3f, 0.0f}, {-0.3f, 0.0f}},
      {"one foot on the other", {0.0f, 0.0f}, {0.0f, 0.0f}},
      {"one behind the other", {0.0f, -3.0f}, {0.0f, 3.0f}},
  };
  const double slope = 2.0 * static_cast<double>(kReferenceBody.hipX);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const double step : {0.0005, 0.035, 0.35}) {
      double worst = 0.0;
      for (double yaw = -3.2; yaw < 3.2; yaw += step) {
        const double change = std::fabs(StraightLegsGap(c.left, c.right, yaw + step) -
                                        StraightLegsGap(c.left, c.right, yaw));
        worst = std::max(worst, change - slope * step);
      }
      EXPECT_LE(worst, 1e-7) << "in steps of " << step;
    }
  }
}

// Feet that stay crossed from one stance to the next keep the same leg in front: hips turned the
// other way would swing through square on the way, the legs through each other. A crossing too
// wide for the legs from any turn is still turned as far as the legs part most, not left square
// (an X of straight legs). The hips face the viewer at the start (their left is +x, in front −z).
TEST(FootSwings, CrossedFeetKeepTheLegInFrontInFront) {
  struct Step {
    int side;
    FloorPoint to;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;  // 30 frames apart
  };
  const Case cases[] = {
      // Square, then turned the other way, before: the left leg went from behind to in front.
      {"the left foot on across, behind",
       {{0, {0.0f, 3.5f}}, {1, {3.5f, 0.0f}}, {0, {-3.5f, 0.0f}}}},
      // Square before: the legs crossed in an X.
      {"across both pads", {{1, {10.5f, 0.0f}}}},
      {"across both pads and back over", {{1, {10.5f, -1.0f}}, {0, {-3.5f, 0.0f}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StepRecord start;
    start.floor = {FloorPoint{3.5f, 0.0f}, FloorPoint{-3.5f, 0.0f}};
    std::vector<StepRecord> records{start};
    for (const Step& step : c.steps) {
      StepRecord r = records.back();
      r.frame += 30;
      r.floor[static_cast<std::size_t>(step.side)] = step.to;
      r.moved = {step.side == 0, step.side == 1};
      records.push_back(r);
    }
    FootSwingPlanner planner(kReferenceBody, 0.0);
    FootSwings swings;
    planner.Plan(records, swings);
    std::optional<bool> ahead;
    int crossings = 0;
    for (const CentreEvent& e : swings.events) {
      if (e.kind != CentreEvent::kStance) continue;
      const FloorPoint left = swings.StanceAt(0, e.frame);
      const FloorPoint right = swings.StanceAt(1, e.frame);
      if (!Crossed(left, right, e.yaw)) continue;
      SCOPED_TRACE(e.frame);
      ++crossings;
      EXPECT_GE(StraightLegsGap(left, right, e.yaw), 1.0);
      if (ahead) {
        EXPECT_EQ(LeftAhead(left, right, e.yaw), *ahead);
      }
      ahead = LeftAhead(left, right, e.yaw);
    }
    EXPECT_GE(crossings, 1);
  }
}

// The left foot stands; the right one steps across in front of it, then on across behind it, 30
// frames apart: a foot going from one crossing into the other, the other leg in front at its
// landing. The hips face the viewer at the start (their left is +x, in front −z).
struct FlipCase {
  const char* name;
  FloorPoint across;  // the first step's, in front
  FloorPoint behind;  // the second step's
};
constexpr FlipCase kFlipCases[] = {
    {"straight back", {4.0f, -5.0f}, {4.0f, 2.5f}},
    {"back and out", {4.0f, -5.0f}, {6.0f, 2.5f}},
    {"a short way back", {4.0f, -2.5f}, {4.0f, 2.5f}},
};

using KeyAt = std::vector<PendingKey>::const_iterator;

// The highest key frame of the right foot's second swing.
KeyAt FlipTop(const std::vector<PendingKey>& keys) {
  auto top = std::find_if(keys.begin(), keys.end(), [](const auto& k) { return k.frame > 30; });
  for (auto k = top; k != keys.end(); ++k) {
    if (k->position[1] > top->position[1]) top = k;
  }
  return top;
}

// Plans `c` into `swings`, with `yaw` the hips' aim at the second landing and `top` the highest
// key frame of the second swing. Crossed at both stances, the other leg in front at the second,
// else the case shows nothing.
void PlanFlip(const FlipCase& c, FootSwings& swings, double& yaw, KeyAt& top) {
  StepRecord start;
  start.floor = {FloorPoint{3.5f, 0.0f}, FloorPoint{-3.5f, 0.0f}};
  StepRecord across = start;
  across.frame = 30;
  across.floor[1] = c.across;
  across.moved = {false, true};
  StepRecord behind = across;
  behind.frame = 60;
  behind.floor[1] = c.behind;
  FootSwingPlanner planner(kReferenceBody, 0.0);
  planner.Plan({start, across, behind}, swings);
  std::vector<const CentreEvent*> stances;
  for (const CentreEvent& e : swings.events) {
    if (e.kind == CentreEvent::kStance) stances.push_back(&e);
  }
  ASSERT_EQ(stances.size(), 3u);
  std::vector<bool> ahead;
  for (std::size_t i = 1; i < 3; ++i) {
    const FloorPoint left = swings.StanceAt(0, stances[i]->frame);
    const FloorPoint right = swings.StanceAt(1, stances[i]->frame);
    ASSERT_TRUE(Crossed(left, right, stances[i]->yaw));
    ahead.push_back(LeftAhead(left, right, stances[i]->yaw));
  }
  ASSERT_NE(ahead[0], ahead[1]);
  yaw = stances[2]->yaw;
  top = FlipTop(swings.keys[1].Keys());
  ASSERT_NE(top, swings.keys[1].Keys().end());
}

// The most of its top's height a foot going from one crossing into the other keeps once it is
// behind the standing foot.
constexpr double kBehindHeight = 0.5;

// How far the right foot's key `position` lies in front of `standing`, along the forward of hips
// turned by `yaw`.
double InFrontOf(const std::array<float, 3>& position, FloorPoint standing, double yaw) {
  const double x = static_cast<double>(position[0] - kReferenceBody.ankleX);
  const double z = static_cast<double>(position[2]);
  return -(x - static_cast<double>(standing.x)) * std::sin(yaw) -
         (z - static_cast<double>(standing.z)) * std::cos(yaw);
}

// Such a foot must get past the standing leg while the hips turn through square: it tops its
// swing still in front of the standing foot, and goes behind it only once the hips have turned
// (before, it topped level with the standing foot or behind it, and its bent knee swept through
// the standing shin).
TEST(FootSwings, FootGoingFromOneCrossingIntoTheOtherTopsInFrontOfTheStandingFoot) {
  for (const FlipCase& c : kFlipCases) {
    SCOPED_TRACE(c.name);
    FootSwings swings;
    double yaw = 0.0;
    KeyAt top;
    ASSERT_NO_FATAL_FAILURE(PlanFlip(c, swings, yaw, top));
    const double inFront = InFrontOf(top->position, swings.StanceAt(0, top->frame), yaw);
    EXPECT_GE(inFront, 0.5) << "top at frame " << top->frame;
  }
}

// And from that top it drops before it goes back: swept back still high, its knee bent far
// forwards comes through the standing shin while the foot is behind it and still crossed. The
// fall is played frame by frame as the player plays it, each axis on its own curve.
TEST(FootSwings, FootGoingFromOneCrossingIntoTheOtherDropsBeforeItGoesBehind) {
  for (const FlipCase& c : kFlipCases) {
    SCOPED_TRACE(c.name);
    FootSwings swings;
    double yaw = 0.0;
    KeyAt top;
    ASSERT_NO_FATAL_FAILURE(PlanFlip(c, swings, yaw, top));
    ASSERT_NE(top + 1, swings.keys[1].Keys().end());
    const PendingKey& end = *(top + 1);
    const FloorPoint standing = swings.StanceAt(0, top->frame);
    const InterpolationBytes& bytes = *end.interpolation;
    int behind = 0;
    for (std::int32_t f = top->frame + 1; f < end.frame; ++f) {
      const double t =
          static_cast<double>(f - top->frame) / static_cast<double>(end.frame - top->frame);
      std::array<float, 3> at{};
      for (std::size_t a = 0; a < 3; ++a) {
        const BezierCurve curve(bytes[a], bytes[4 + a], bytes[8 + a], bytes[12 + a]);
        const double from = static_cast<double>(top->position[a]);
        at[a] = static_cast<float>(from + (static_cast<double>(end.position[a]) - from) *
                                              curve.Progress(t));
      }
      if (InFrontOf(at, standing, yaw) >= 0.0) continue;
      ++behind;
      EXPECT_LE(static_cast<double>(at[1]), kBehindHeight * static_cast<double>(top->position[1]))
          << "frame " << f << ", top " << top->position[1];
    }
    EXPECT_GT(behind, 0) << "the fall never goes behind the standing foot";
  }
}

// Crossed decides which leg passes in front and how far the body sinks: a wrong sign on either
// axis, or feet in line counted as crossed, turns the hips the wrong way.
TEST(FootSwingsCrossed, AnswersByTheSideEachFootStandsOnForTheHipsAim) {
  constexpr double kPi = 3.14159265358979323846;
  struct Case {
    const char* name;
    FloorPoint left;
    FloorPoint right;
    double yaw;
    bool crossed;
  };
  const Case cases[] = {
      // Aimed at yaw 0 the left foot's side is +x.
      {"apart, aimed ahead", {1.0f, 0.0f}, {-1.0f, 0.0f}, 0.0, false},
      {"swapped, aimed ahead", {-1.0f, 0.0f}, {1.0f, 0.0f}, 0.0, true},
      {"apart, turned round", {1.0f, 0.0f}, {-1.0f, 0.0f}, kPi, true},
      {"apart and a little staggered", {1.0f, 0.5f}, {-1.0f, -0.5f}, 0.0, false},
      {"in line along the aim", {0.0f, 1.0f}, {0.0f, -1.0f}, 0.0, false},
      {"in line, other foot ahead", {0.0f, -1.0f}, {0.0f, 1.0f}, 0.0, false},
      // A quarter turn puts the left foot's side at −z.
      {"quarter turn, left at -z", {0.0f, -1.0f}, {0.0f, 1.0f}, kPi / 2, false},
      {"quarter turn, left at +z", {0.0f, 1.0f}, {0.0f, -1.0f}, kPi / 2, true},
      {"quarter turn back, left at +z", {0.0f, 1.0f}, {0.0f, -1.0f}, -kPi / 2, false},
      {"a full turn changes nothing", {-1.0f, 0.0f}, {1.0f, 0.0f}, 2 * kPi, true},
      {"same spot", {0.5f, 0.5f}, {0.5f, 0.5f}, 0.3, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Crossed(c.left, c.right, c.yaw), c.crossed);
  }
}

}  // namespace
}  // namespace pavaneflow
