#pragma once

namespace pavaneflow {

// Angles are single-precision values, and so is every result derived from them.
inline constexpr float kPi = 3.14159274f;
inline constexpr float kHalfPi = static_cast<float>(static_cast<double>(kPi) * 0.5);
inline constexpr float kThreeHalfPi = static_cast<float>(static_cast<double>(kPi) * 1.5);

// Subtracted from the left foot's x and added to the right foot's: the foot IK bones stand a
// little outside the arrow they step on.
inline constexpr float kFootIkOffset = 0.9f;

}  // namespace pavaneflow
