#pragma once

#include <array>
#include <cstddef>

#include "motion/body_proportions.h"
#include "motion/rotation.h"

namespace pavaneflow {

// Where a two-bone leg puts its knee and ankle when its ankle is sent to a target.
struct LegPose {
  Vec3 knee;
  Vec3 ankle;
  double bendDegrees = 0.0;  // 0 with the leg straight
  double miss = 0.0;         // how far the ankle stays from the target
};

// Solves the leg from `hip` towards `target` exactly: the ankle reaches the target when it lies
// within the leg's reach, else it stops on the line towards it (the leg straight, or folded when
// the target is closer than the two bones' difference). The knee bends towards `forward` (the
// body's front), or straight ahead when that lies along the leg.
LegPose SolveLeg(Vec3 hip, Vec3 target, Vec3 forward, double thigh, double shin);

// SolveLeg's knee and ankle alone, for a figure posed on every frame of a dance: the bend and the
// miss are left 0, sparing an arc cosine and a square root each time.
LegPose PlaceLeg(Vec3 hip, Vec3 target, Vec3 forward, double thigh, double shin);

// Legs closer than this pass through each other: about the thickness of a thigh.
inline constexpr double kLegsThrough = 0.6;

// Where the hip joint of side `side` (0 left, 1 right) is, for the centre bone at `centre` turned
// by `turn`, as the model places it.
Vec3 HipAt(const BodyProportions& body, Vec3 centre, const Quaternion& turn, std::size_t side);

// Where the ankle of side `side` is sent, its foot IK bone moved by `ik`.
Vec3 FootTarget(const BodyProportions& body, Vec3 ik, std::size_t side);

// The least distance between one leg's thigh or shin and the other's, the legs hanging from
// `hip`.
double LegsGap(const std::array<Vec3, 2>& hip, const std::array<LegPose, 2>& legs);

// LegsGap where it is under `clear`; elsewhere some distance of at least `clear`, found without
// the exact gap where it can be: for a pass that only asks where the legs come too close.
// `left` is the hips' left (side 0's way) at unit length. Where two bones come closer than
// `enough`, that distance is returned at once: under `enough`, and no less than the gap, for a
// caller that only asks whether the legs come that close.
double LegsGapUnder(const BodyProportions& body, const std::array<Vec3, 2>& hip,
                    const std::array<LegPose, 2>& legs, Vec3 left, double clear,
                    double enough = 0.0);

}  // namespace pavaneflow
