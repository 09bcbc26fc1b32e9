#include "motion/natural/leg_parting.h"

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "motion/leg_ik.h"
#include "vmd/bone_track.h"

namespace pavaneflow {
namespace {

constexpr std::int32_t kLift = 10;
constexpr std::int32_t kLand = 22;
constexpr std::int32_t kLast = 40;

PendingKey KeyAt(std::int32_t frame, Vec3 at) {
  PendingKey key;
  key.frame = frame;
  key.position = {static_cast<float>(at.x), static_cast<float>(at.y), static_cast<float>(at.z)};
  return key;
}

BoneTrack Sampled(const KeyTrack& track) {
  std::vector<BoneKey> keys;
  for (const PendingKey& key : track.Keys()) {
    keys.push_back({key.frame, key.position, key.rotation, *key.interpolation});
  }
  return BoneTrack(std::move(keys));
}

Vec3 At(const BoneTrack& track, std::int32_t frame) {
  const BonePose pose = track.At(static_cast<double>(frame));
  return {pose.position[0], pose.position[1], pose.position[2]};
}

// The legs' gap at `frame`, the hips turned by `turn` over the feet's middle.
double GapAt(const std::array<BoneTrack, 2>& feet, std::int32_t frame, const Quaternion& turn) {
  const BodyProportions& body = kReferenceBody;
  const Vec3 centre{0.0, static_cast<double>(body.centreY), 0.0};
  std::array<Vec3, 2> hip;
  std::array<LegPose, 2> legs;
  for (std::size_t side = 0; side < 2; ++side) {
    hip[side] = HipAt(body, centre, turn, side);
    legs[side] = PlaceLeg(hip[side], FootTarget(body, At(feet[side], frame), side),
                          Rotate(turn, {0.0, 0.0, -1.0}), static_cast<double>(body.thigh),
                          static_cast<double>(body.shin));
  }
  return LegsGap(hip, legs);
}

struct PartingCase {
  std::string name;
  Vec3 apex;                  // the right foot's top, its IK bone's offset
  Vec3 landing;               // where it lands
  bool meets;                 // whether the legs meet as planned
  std::int32_t land = kLand;  // the landing's frame, the top half way there
};

// Where the foot IK bone of `side` goes for its ankle to be where `ik` puts it with the body
// square, once the whole body is turned by `turn` about the centre's vertical: the ankles'
// offset from their IK bones does not turn.
Vec3 Turned(const Quaternion& turn, Vec3 ik, std::size_t side) {
  const BodyProportions& body = kReferenceBody;
  const Vec3 offset = FootTarget(body, {}, side);
  return Rotate(turn, ik + offset) - offset;
}

// Dances `c` `times` times in a row, each over kLast + 1 frames, the body turned by `turn`,
// and checks the parted swings.
void ExpectParted(const PartingCase& c, const Quaternion& turn, std::int32_t times) {
  constexpr std::int32_t kSpan = kLast + 1;
  const std::int32_t last = times * kSpan - 1;
  KeyTrack centre;
  for (const std::int32_t frame : {0, last}) {
    PendingKey key = KeyAt(frame, {});
    key.rotation = ToFloats(turn);
    centre.Add(key);
  }
  std::array<KeyTrack, 2> feet;
  feet[0].Add(KeyAt(0, Turned(turn, {}, 0)));
  feet[0].Add(KeyAt(last, Turned(turn, {}, 0)));
  for (std::int32_t start = 0; start < last; start += kSpan) {
    for (const PendingKey& key :
         {KeyAt(start, Turned(turn, {}, 1)), KeyAt(start + kLift, Turned(turn, {}, 1)),
          KeyAt(start + (kLift + c.land) / 2, Turned(turn, c.apex, 1)),
          KeyAt(start + c.land, Turned(turn, c.landing, 1)),
          KeyAt(start + kLast, Turned(turn, c.landing, 1))}) {
      feet[1].Add(key);
    }
  }
  const std::array<BoneTrack, 2> planned{Sampled(feet[0]), Sampled(feet[1])};
  double least = std::numeric_limits<double>::max();
  for (std::int32_t f = 0; f <= last; ++f) least = std::min(least, GapAt(planned, f, turn));
  ASSERT_EQ(least < kLegsThrough, c.meets) << "the case must be what it says";

  PartLegs(kReferenceBody, centre, feet, std::numeric_limits<std::int32_t>::max());
  const std::array<BoneTrack, 2> parted{Sampled(feet[0]), Sampled(feet[1])};
  for (std::int32_t f = 0; f <= last; ++f) {
    SCOPED_TRACE(f);
    const std::int32_t in = f % kSpan;  // the frame within its dance
    EXPECT_GE(GapAt(parted, f, turn), kLegsThrough);
    const Vec3 moved = At(parted[0], f) - At(planned[0], f);
    EXPECT_EQ(Length(moved), 0.0) << "the standing foot moved";
    if (in > 0) {
      EXPECT_LE(Length(At(parted[1], f) - At(parted[1], f - 1)), 2.1);
    }
    if (in <= kLift || in >= c.land || !c.meets) {
      EXPECT_LT(Length(At(parted[1], f) - At(planned[1], f)), 1e-6);
    }
  }
}

// The right foot swings over to the left while the left one stands: where its path takes its
// leg through the standing one, the pass must part them on every frame at a foot's pace, and
// leave the lift, the landing and the standing foot where they were; a swing clear of the other
// leg must be left as it is. The same holds with the whole body turned about the vertical, the
// legs' across and forward then being the hips' and not the floor's.
TEST(LegParting, MovesALiftedFootOutOfTheStandingLeg) {
  const std::vector<PartingCase> cases = {
      {"crossing in front, topping in the standing shin", {1.8, 1.0, 0.0}, {2.4, 0.0, -1.2}, true},
      {"crossing behind, topping in the standing shin", {1.6, 0.8, 0.5}, {2.4, 0.0, 1.2}, true},
      {"crossing in front over the standing foot", {1.6, 1.6, -0.3}, {2.6, 0.0, -1.6}, true},
      {"crossing wide in front, far over the standing foot",
       {2.4, 1.2, -0.6},
       {3.6, 0.0, -2.0},
       true},
      {"crossing wide behind, far over the standing foot", {2.2, 1.0, 0.6}, {3.6, 0.0, 2.0}, true},
      // Slow swings, far from the standing leg at both ends: only the frames about the top come
      // near it, yet the bump moves the foot from the lift on.
      {"slowly crossing in front", {1.8, 1.0, 0.0}, {3.2, 0.0, -2.4}, true, 34},
      {"slowly crossing behind", {1.6, 0.8, 0.5}, {3.2, 0.0, 2.4}, true, 34},
      {"stepping forward on its own side", {0.0, 1.0, -1.0}, {0.0, 0.0, -2.0}, false},
  };
  // Each case is danced once, then twice in a row in one call (the foot back home at once), so
  // that the second swing is looked at after the first one's keys were replaced.
  for (const std::int32_t times : {1, 2}) {
    for (const double degrees : {0.0, 90.0, 180.0, -60.0}) {
      const Quaternion turn = AxisAngle({0.0, 1.0, 0.0}, degrees * kDegree);
      for (const PartingCase& c : cases) {
        SCOPED_TRACE(c.name + " turned " + std::to_string(degrees) + " times " +
                     std::to_string(times));
        ExpectParted(c, turn, times);
      }
    }
  }
}

// Both feet jump at once, the right one crossing behind the left leg. Of two feet in the air the
// higher one makes way: with the left foot the lower, the right one is moved off the left leg as
// off a standing one, the left foot left as it was; with both as high all the way (the same keys'
// heights on the same frames), neither foot is moved.
TEST(LegParting, InAJumpTheHigherFootMakesWay) {
  struct JumpCase {
    std::string name;
    double leftTop;  // how high the left foot jumps; the right one tops at 0.8
    bool parts;
  };
  const std::vector<JumpCase> cases = {
      {"the left foot lower", 0.5, true},
      {"the left foot a little lower", 0.7, true},
      {"both feet as high", 0.8, false},
  };
  const Quaternion square{0.0, 0.0, 0.0, 1.0};
  constexpr std::int32_t kTop = (kLift + kLand) / 2;
  const Vec3 landing{2.4, 0.0, 1.2};
  for (const JumpCase& c : cases) {
    SCOPED_TRACE(c.name);
    KeyTrack centre;
    centre.Add(KeyAt(0, {}));
    centre.Add(KeyAt(kLast, {}));
    std::array<KeyTrack, 2> feet;
    for (const PendingKey& key :
         {KeyAt(0, {}), KeyAt(kLift, {}), KeyAt(kTop, {0.0, c.leftTop, 0.0}), KeyAt(kLand, {}),
          KeyAt(kLast, {})}) {
      feet[0].Add(key);
    }
    for (const PendingKey& key : {KeyAt(0, {}), KeyAt(kLift, {}), KeyAt(kTop, {1.6, 0.8, 0.5}),
                                  KeyAt(kLand, landing), KeyAt(kLast, landing)}) {
      feet[1].Add(key);
    }
    const std::array<BoneTrack, 2> planned{Sampled(feet[0]), Sampled(feet[1])};
    double least = std::numeric_limits<double>::max();
    for (std::int32_t f = 0; f <= kLast; ++f) least = std::min(least, GapAt(planned, f, square));
    ASSERT_LT(least, kLegsThrough) << "the legs must meet as planned";

    PartLegs(kReferenceBody, centre, feet, std::numeric_limits<std::int32_t>::max());
    const std::array<BoneTrack, 2> parted{Sampled(feet[0]), Sampled(feet[1])};
    for (std::int32_t f = 0; f <= kLast; ++f) {
      SCOPED_TRACE(f);
      EXPECT_EQ(Length(At(parted[0], f) - At(planned[0], f)), 0.0) << "the left foot moved";
      if (c.parts) {
        EXPECT_GE(GapAt(parted, f, square), kLegsThrough);
      } else {
        EXPECT_EQ(Length(At(parted[1], f) - At(planned[1], f)), 0.0) << "the right foot moved";
      }
    }
  }
}

// Both feet jump at once, as high all the way, while the hips turn: out of a crossing, into one,
// from one into the other. Neither foot is the higher to make way, yet the legs pass through
// each other in the air as the hips swing through square; one foot must make way so that they
// part on every frame, at a foot's pace, taking off and landing where planned. A jump whose hips
// turn as far with the feet wide apart is left as it is.
TEST(LegParting, FeetJumpingAsHighPartWhereTheHipsTurnAcross) {
  struct TurningJump {
    std::string name;
    double fromDegrees;  // the hips' turn at the take-off, and at the landing
    double toDegrees;
    Vec3 rightFrom;  // the right foot's IK bone at the take-off and the landing; the left one
    Vec3 rightTo;    // stands at its own rest at both
    Vec3 rightTop;
    bool parts;
  };
  const std::vector<TurningJump> cases = {
      {"out of a crossing behind", 40.0, -20.0, {2.4, 0.0, 1.2}, {}, {1.6, 0.8, 0.5}, true},
      {"into a crossing behind", -20.0, 40.0, {}, {2.4, 0.0, 1.2}, {1.6, 0.8, 0.5}, true},
      {"from behind into a crossing in front",
       40.0,
       -40.0,
       {2.4, 0.0, 1.2},
       {2.4, 0.0, -1.2},
       {1.8, 0.8, 0.0},
       true},
      {"turning with the feet wide apart",
       -40.0,
       40.0,
       {-1.0, 0.0, 0.0},
       {-1.0, 0.0, 0.0},
       {-1.0, 0.8, 0.0},
       false},
  };
  constexpr std::int32_t kTop = (kLift + kLand) / 2;
  for (const TurningJump& c : cases) {
    SCOPED_TRACE(c.name);
    KeyTrack centre;
    for (const auto& [frame, degrees] :
         std::vector<std::pair<std::int32_t, double>>{{0, c.fromDegrees},
                                                      {kLift, c.fromDegrees},
                                                      {kLand, c.toDegrees},
                                                      {kLast, c.toDegrees}}) {
      PendingKey key = KeyAt(frame, {});
      key.rotation = ToFloats(AxisAngle({0.0, 1.0, 0.0}, degrees * kDegree));
      centre.Add(key);
    }
    std::array<KeyTrack, 2> feet;
    for (const PendingKey& key : {KeyAt(0, {}), KeyAt(kLift, {}), KeyAt(kTop, {0.0, 0.8, 0.0}),
                                  KeyAt(kLand, {}), KeyAt(kLast, {})}) {
      feet[0].Add(key);
    }
    for (const PendingKey& key :
         {KeyAt(0, c.rightFrom), KeyAt(kLift, c.rightFrom), KeyAt(kTop, c.rightTop),
          KeyAt(kLand, c.rightTo), KeyAt(kLast, c.rightTo)}) {
      feet[1].Add(key);
    }
    const BoneTrack hips = Sampled(centre);
    const auto gap = [&hips](const std::array<BoneTrack, 2>& on, std::int32_t f) {
      return GapAt(on, f, hips.At(static_cast<double>(f)).rotation);
    };
    const std::array<BoneTrack, 2> planned{Sampled(feet[0]), Sampled(feet[1])};
    double least = std::numeric_limits<double>::max();
    double onFloor = std::numeric_limits<double>::max();
    for (std::int32_t f = 0; f <= kLast; ++f) {
      double& of = f > kLift && f < kLand ? least : onFloor;
      of = std::min(of, gap(planned, f));
    }
    ASSERT_GE(onFloor, kLegsThrough) << "the legs must stand apart";
    ASSERT_EQ(least < kLegsThrough, c.parts) << "the legs must meet in the air where parted";

    PartLegs(kReferenceBody, centre, feet, std::numeric_limits<std::int32_t>::max());
    const std::array<BoneTrack, 2> parted{Sampled(feet[0]), Sampled(feet[1])};
    double moved = 0.0;
    for (std::int32_t f = 0; f <= kLast; ++f) {
      SCOPED_TRACE(f);
      for (std::size_t side = 0; side < 2; ++side) {
        const double by = Length(At(parted[side], f) - At(planned[side], f));
        moved = std::max(moved, by);
        if (f <= kLift || f >= kLand) {
          EXPECT_LT(by, 1e-6) << "a foot moved on the floor";
        }
        if (f > 0) {
          EXPECT_LE(Length(At(parted[side], f) - At(parted[side], f - 1)), 2.1);
        }
      }
      if (c.parts) {
        EXPECT_GE(gap(parted, f), kLegsThrough);
      }
    }
    EXPECT_EQ(moved > 0.0, c.parts);
  }
}

// One foot swinging past the other, standing, one: by default the right foot across the left leg.
// Places are the feet's IK bones' offsets.
struct Dance {
  Vec3 apex{1.8, 1.0, 0.0};
  Vec3 landing{2.4, 0.0, -1.2};
  Vec3 standing{};
  std::size_t swinging = 1;
  float thigh = kReferenceBody.thigh;
  Vec3 hips{};  // the centre's place
  double hipsDegrees = 0.0;
};

// A dance's swing from `start` on, parted: its keys, and how far parting moved each foot on
// each frame.
struct PartedDance {
  std::array<std::vector<PendingKey>, 2> keys;
  std::array<std::vector<Vec3>, 2> moved;
};

PartedDance Parted(const Dance& dance, std::int32_t start) {
  BodyProportions body = kReferenceBody;
  body.thigh = dance.thigh;
  KeyTrack centre;
  for (const std::int32_t frame : {start, start + kLast}) {
    PendingKey key = KeyAt(frame, dance.hips);
    key.rotation = ToFloats(AxisAngle({0.0, 1.0, 0.0}, dance.hipsDegrees * kDegree));
    centre.Add(key);
  }
  std::array<KeyTrack, 2> feet;
  for (const std::int32_t frame : {start, start + kLast}) {
    feet[1 - dance.swinging].Add(KeyAt(frame, dance.standing));
  }
  for (const PendingKey& key :
       {KeyAt(start, {}), KeyAt(start + kLift, {}), KeyAt(start + (kLift + kLand) / 2, dance.apex),
        KeyAt(start + kLand, dance.landing), KeyAt(start + kLast, dance.landing)}) {
    feet[dance.swinging].Add(key);
  }
  const std::array<BoneTrack, 2> planned{Sampled(feet[0]), Sampled(feet[1])};
  PartLegs(body, centre, feet, std::numeric_limits<std::int32_t>::max());
  const std::array<BoneTrack, 2> parted{Sampled(feet[0]), Sampled(feet[1])};
  PartedDance result{{feet[0].Keys(), feet[1].Keys()}, {}};
  for (std::size_t side = 0; side < 2; ++side) {
    for (std::int32_t f = start; f <= start + kLast; ++f) {
      result.moved[side].push_back(At(parted[side], f) - At(planned[side], f));
    }
  }
  return result;
}

bool SameKeys(const std::array<std::vector<PendingKey>, 2>& a,
              const std::array<std::vector<PendingKey>, 2>& b) {
  for (std::size_t side = 0; side < 2; ++side) {
    if (a[side].size() != b[side].size()) return false;
    for (std::size_t k = 0; k < a[side].size(); ++k) {
      if (a[side][k].frame != b[side][k].frame || a[side][k].position != b[side][k].position ||
          a[side][k].rotation != b[side][k].rotation)
        return false;
    }
  }
  return true;
}

bool MovedAlike(const PartedDance& a, const PartedDance& b) {
  for (std::size_t side = 0; side < 2; ++side) {
    for (std::size_t i = 0; i < a.moved[side].size(); ++i) {
      if (Length(a.moved[side][i] - b.moved[side][i]) > 1e-4) return false;
    }
  }
  return true;
}

// A swing parted after another one, planned alike but for one thing (and later in the dance),
// must come out as it does parted on its own: what the pass remembers of earlier swings is
// only ever used for one planned the same to the bit.
TEST(LegParting, ASwingComesOutAsOnItsOwnWhateverWasPartedBefore) {
  struct FollowCase {
    std::string name;
    Dance later;
    bool alike;  // whether it is the first swing again, to be moved the same way
  };
  const Dance first;
  // The right foot swinging across a left foot standing wide, and the left foot swinging the
  // same offsets across a right foot standing as far in: the same places, the other foot.
  const Dance swapped{{3.4, 1.0, 0.0}, {4.0, 0.0, 1.2}, {1.8, 0.0, 0.0}, 1};
  const std::vector<FollowCase> cases = {
      {"the same swing", first, true},
      {"topping further over the standing foot", {{1.6, 1.6, -0.3}, first.landing}, false},
      {"the standing foot further back", {first.apex, first.landing, {0.0, 0.0, 0.3}}, false},
      {"longer thighs", {first.apex, first.landing, {}, 1, 4.9f}, false},
      {"the hips further forward",
       {first.apex, first.landing, {}, 1, first.thigh, {0.0, 0.0, -1.0}},
       false},
      {"the hips turned", {first.apex, first.landing, {}, 1, first.thigh, {}, 10.0}, false},
  };
  const auto check = [](const Dance& earlier, const FollowCase& c) {
    SCOPED_TRACE(c.name);
    // A thread of their own remembers nothing of the swings parted before.
    PartedDance alone;
    std::thread([&] { alone = Parted(c.later, 100); }).join();
    PartedDance earlierAlone;
    std::thread([&] { earlierAlone = Parted(earlier, 0); }).join();
    PartedDance after;
    std::thread([&] {
      Parted(earlier, 0);
      after = Parted(c.later, 100);
    }).join();
    EXPECT_TRUE(SameKeys(after.keys, alone.keys));
    // Unless it is the same swing again, it must be moved otherwise than the earlier one, or
    // the case tells nothing.
    EXPECT_EQ(MovedAlike(alone, earlierAlone), c.alike);
  };
  for (const FollowCase& c : cases) check(first, c);
  Dance leftSwings = swapped;
  leftSwings.swinging = 0;
  check(swapped, {"the left foot swinging instead", leftSwings, false});
}

// A jump with both feet as high out of a crossing behind, the hips turning across, from `start`
// on: the centre's and both feet's keys, parted.
struct Jump {
  Vec3 rightFrom{2.4, 0.0, 1.2};
  Vec3 rightTop{1.6, 0.8, 0.5};
  double toDegrees = -20.0;
  double feetDegrees = 0.0;  // both feet's keys' turn
};

std::array<std::vector<PendingKey>, 2> PartedJump(const Jump& jump, std::int32_t start) {
  constexpr std::int32_t kTop = (kLift + kLand) / 2;
  KeyTrack centre;
  for (const auto& [frame, degrees] : std::vector<std::pair<std::int32_t, double>>{
           {0, 40.0}, {kLift, 40.0}, {kLand, jump.toDegrees}, {kLast, jump.toDegrees}}) {
    PendingKey key = KeyAt(start + frame, {});
    key.rotation = ToFloats(AxisAngle({0.0, 1.0, 0.0}, degrees * kDegree));
    centre.Add(key);
  }
  std::array<KeyTrack, 2> feet;
  const std::array<std::array<Vec3, 3>, 2> places{
      {{Vec3{}, Vec3{0.0, 0.8, 0.0}, Vec3{}}, {jump.rightFrom, jump.rightTop, Vec3{}}}};
  for (std::size_t side = 0; side < 2; ++side) {
    for (const auto& [frame, at] :
         std::vector<std::pair<std::int32_t, Vec3>>{{0, places[side][0]},
                                                    {kLift, places[side][0]},
                                                    {kTop, places[side][1]},
                                                    {kLand, places[side][2]},
                                                    {kLast, places[side][2]}}) {
      PendingKey key = KeyAt(start + frame, at);
      key.rotation = ToFloats(AxisAngle({0.0, 1.0, 0.0}, jump.feetDegrees * kDegree));
      feet[side].Add(key);
    }
  }
  PartLegs(kReferenceBody, centre, feet, std::numeric_limits<std::int32_t>::max());
  return {feet[0].Keys(), feet[1].Keys()};
}

// The same for a jump with both feet as high, whose swings are remembered together: a jump
// parted after another one must come out as it does on its own, turns of the feet and all.
TEST(LegParting, AJumpComesOutAsOnItsOwnWhateverWasPartedBefore) {
  struct FollowCase {
    std::string name;
    Jump later;
  };
  const Jump first;
  const std::vector<FollowCase> cases = {
      {"the same jump", first},
      {"from further behind", {{2.4, 0.0, 1.4}, first.rightTop, first.toDegrees}},
      {"topping further over", {first.rightFrom, {1.4, 0.8, 0.5}, first.toDegrees}},
      {"the hips turning further", {first.rightFrom, first.rightTop, -30.0}},
      {"the feet turned", {first.rightFrom, first.rightTop, first.toDegrees, 30.0}},
  };
  for (const FollowCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::array<std::vector<PendingKey>, 2> alone;
    std::thread([&] { alone = PartedJump(c.later, 100); }).join();
    std::array<std::vector<PendingKey>, 2> after;
    std::thread([&] {
      PartedJump(first, 0);
      after = PartedJump(c.later, 100);
    }).join();
    EXPECT_GT(alone[0].size() + alone[1].size(), 10u)
        << "the jump must be parted, or the case tells nothing";
    EXPECT_TRUE(SameKeys(after, alone));
  }
}

}  // namespace
}  // namespace pavaneflow
