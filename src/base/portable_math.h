#pragma once

#include <cmath>

namespace pavaneflow::portable {

// Sine and cosine with the same bits on every platform. The C libraries round the last bit
// differently (the page's WebAssembly one against the desktop's), and where a dance adds up
// terms that cancel, one bit apart becomes a different number in the motion file. These use
// only the four basic operations, which IEEE 754 rounds the same everywhere; they are within
// one unit in the last place of the true value for the angles a dance turns through.
double Sin(double radians);
double Cos(double radians);
double Atan(double x);
// For `cosine` in [-1, 1]; NaN outside.
double Acos(double cosine);

// std::remainder(radians, 2π) with the same bits, for turns: an angle within half a turn of zero
// is its own remainder (a quotient of at most one half rounds to zero, a tie to the even zero),
// and only one beyond pays for the library's exact reduction, a slow call on the planners' path.
inline double TurnRemainder(double radians) {
  constexpr double kPi = 3.14159265358979323846;
  return std::fabs(radians) <= kPi ? radians : std::remainder(radians, 2.0 * kPi);
}

// The length of (x, y), the same everywhere (the libraries' hypot differs as their sine does).
// Lengths on a dance pad are far from overflowing the squares.
inline double Hypot(double x, double y) {
  return std::sqrt(x * x + y * y);
}

}  // namespace pavaneflow::portable
