#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "base/compat.h"

namespace pavaneflow::portable {

namespace detail {

// Recent angles with their sine and cosine, by the angle's bits. A dance asks of the same few
// headings, leans and half turns again and again (each leg, each place a planner tries, each key
// frame of a pose held), mostly for both the sine and the cosine of one angle, so the answer is
// often one already worked out and one reduction serves both. Equal angles have equal answers,
// +0 and -0 included (both reduce to +0); NaN never equals, so it is never found. The look-up is
// inline: the planners ask a few million times a dance, most often for an angle just asked.
struct SineEntry {
  double angle = std::numeric_limits<double>::quiet_NaN();
  double sine = 0.0;
  double cosine = 0.0;
};

struct RecentSines {
  // 4096 angles (96 KiB, within the second-level cache): with 256, a dance's headings, leans and
  // half turns pushed each other out, and a 40,000-step dance worked out 200,000 sines, most of
  // them again; with 1024, 56,000, most of them still asked before; with 4096, 11,000.
  static constexpr int kSlotBits = 12;
  std::array<SineEntry, std::size_t{1} << kSlotBits> entries{};

  // Where `angle` is kept if it was asked lately.
  SineEntry& Slot(double angle) {
    return entries[(compat::bit_cast<std::uint64_t>(angle) * 0x9E3779B97F4A7C15u) >>
                   (64 - kSlotBits)];
  }
};

// Constant-initialised, so that each call reaches it without a check for a first use.
extern thread_local constinit RecentSines recentSines;

// Works out `radians` into `entry`. Out of line, so that an angle found pays for no more than
// the look-up.
[[gnu::noinline]] const SineEntry& FillSine(SineEntry& entry, double radians);

}  // namespace detail

// Sine and cosine with the same bits on every platform. The C libraries round the last bit
// differently (the page's WebAssembly one against the desktop's), and where a dance adds up
// terms that cancel, one bit apart becomes a different number in the motion file. These use
// only the four basic operations, which IEEE 754 rounds the same everywhere; they are within
// one unit in the last place of the true value for the angles a dance turns through.
inline double Sin(double radians) {
  detail::SineEntry& entry = detail::recentSines.Slot(radians);
  return entry.angle == radians ? entry.sine : detail::FillSine(entry, radians).sine;
}
inline double Cos(double radians) {
  detail::SineEntry& entry = detail::recentSines.Slot(radians);
  return entry.angle == radians ? entry.cosine : detail::FillSine(entry, radians).cosine;
}
// Both of one angle, the same bits as Sin and Cos, for one look-up: most callers need both.
struct SineCosine {
  double sine;
  double cosine;
};
inline SineCosine SinCos(double radians) {
  detail::SineEntry& entry = detail::recentSines.Slot(radians);
  const detail::SineEntry& found =
      entry.angle == radians ? entry : detail::FillSine(entry, radians);
  return {found.sine, found.cosine};
}
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
