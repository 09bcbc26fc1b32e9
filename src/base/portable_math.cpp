// The reduction and the polynomials follow fdlibm's k_sin.c, k_cos.c, e_rem_pio2.c and s_atan.c:
//
// Copyright (C) 1993 by Sun Microsystems, Inc. All rights reserved.
//
// Developed at SunSoft, a Sun Microsystems, Inc. business.
// Permission to use, copy, modify, and distribute this
// software is freely granted, provided that this notice
// is preserved.

#include "base/portable_math.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "base/compat.h"

namespace pavaneflow::portable {
namespace {

// pi/2 in three parts of 33 bits each and what is left, so that n times a part is exact for
// |n| < 2^20: the angle less n quarter turns keeps its precision where the angle is near a
// multiple of pi/2.
constexpr double kTwoOverPi = 6.36619772367581382433e-01;
constexpr double kHalfPi1 = 1.57079632673412561417e+00;
constexpr double kHalfPi2 = 6.07710050630396597660e-11;
constexpr double kHalfPi3 = 2.02226624871116645580e-21;
constexpr double kHalfPiRest = 8.47842766036889956997e-32;

// On [-pi/4, pi/4].
double SinKernel(double x) {
  constexpr double s1 = -1.66666666666666324348e-01;
  constexpr double s2 = 8.33333333332248946124e-03;
  constexpr double s3 = -1.98412698298579493134e-04;
  constexpr double s4 = 2.75573137070700676789e-06;
  constexpr double s5 = -2.50507602534068634195e-08;
  constexpr double s6 = 1.58969099521155010221e-10;
  const double z = x * x;
  const double r = s2 + z * (s3 + z * (s4 + z * (s5 + z * s6)));
  return x + z * x * (s1 + z * r);
}

double CosKernel(double x) {
  constexpr double c1 = 4.16666666666666019037e-02;
  constexpr double c2 = -1.38888888888741095749e-03;
  constexpr double c3 = 2.48015872894767294178e-05;
  constexpr double c4 = -2.75573143513906633035e-07;
  constexpr double c5 = 2.08757232129817482790e-09;
  constexpr double c6 = -1.13596475577881948265e-11;
  const double z = x * x;
  const double r = z * (c1 + z * (c2 + z * (c3 + z * (c4 + z * (c5 + z * c6)))));
  const double half = 0.5 * z;
  const double w = 1.0 - half;
  return w + (((1.0 - w) - half) + z * r);
}

// On [-7/16, 7/16].
double AtanKernel(double x) {
  constexpr double a[] = {
      3.33333333333329318027e-01,  -1.99999999998764832476e-01, 1.42857142725034663711e-01,
      -1.11111104054623557880e-01, 9.09088713343650656196e-02,  -7.69187620504482999495e-02,
      6.66107313738753120669e-02,  -5.83357013379057348645e-02, 4.97687799461593236017e-02,
      -3.65315727442169155270e-02, 1.62858201153657823623e-02};
  const double z = x * x;
  const double w = z * z;
  const double odd = z * (a[0] + w * (a[2] + w * (a[4] + w * (a[6] + w * (a[8] + w * a[10])))));
  const double even = w * (a[1] + w * (a[3] + w * (a[5] + w * (a[7] + w * a[9]))));
  return x * (odd + even);
}

// The angle as a quarter (0 to 3) and what is left of it in [-pi/4, pi/4].
struct Reduced {
  int quarter;
  double rest;
};

// Doubles from 2^52 to 2^53 are exactly the whole numbers: adding this to a number of size below
// 2^51 rounds it to a whole one (ties to even, as nearbyint in the default rounding mode), and
// taking it away again is exact. A plain sum instead of a library call, on the hot path of
// every sine.
constexpr double kRoundingShift = 0x1.8p52;
constexpr double kWholeBeyond = 0x1p51;
constexpr double kQuarterByIntegerBelow = 0x1p62;

Reduced Reduce(double x) {
  const double scaled = x * kTwoOverPi;
  // Within an eighth of a turn no quarter is taken away: what the steps below give with n = ±0,
  // x itself, but +0 for either zero (x − (±0) is +0 when x is ±0).
  if (std::fabs(scaled) <= 0.5) return {0, x + 0.0};
  double n = 0.0;
  if (std::fabs(scaled) < kWholeBeyond) {
    // The sign kept for a zero, as nearbyint keeps it (−0.3 rounds to −0).
    n = std::copysign((scaled + kRoundingShift) - kRoundingShift, scaled);
  } else {
    n = std::nearbyint(scaled);
  }
  const double rest = (((x - n * kHalfPi1) - n * kHalfPi2) - n * kHalfPi3) - n * kHalfPiRest;
  if (std::fabs(n) < kQuarterByIntegerBelow) {
    // Two's complement keeps the quarter of a negative turn count too: −1 & 3 is 3.
    return {static_cast<int>(static_cast<std::int64_t>(n) & 3), rest};
  }
  double quarter = std::fmod(n, 4.0);
  if (quarter < 0.0) quarter += 4.0;
  return {static_cast<int>(quarter), rest};
}

}  // namespace

namespace detail {

thread_local constinit RecentSines recentSines;

const SineEntry& FillSine(SineEntry& entry, double radians) {
  entry.angle = radians;
  if (!std::isfinite(radians)) {
    entry.sine = radians - radians;
    entry.cosine = radians - radians;
    return entry;
  }
  const Reduced r = Reduce(radians);
  const double sine = SinKernel(r.rest);
  const double cosine = CosKernel(r.rest);
  switch (r.quarter) {
    case 0:
      entry.sine = sine;
      entry.cosine = cosine;
      break;
    case 1:
      entry.sine = cosine;
      entry.cosine = -sine;
      break;
    case 2:
      entry.sine = -sine;
      entry.cosine = -cosine;
      break;
    default:
      entry.sine = -cosine;
      entry.cosine = sine;
  }
  return entry;
}

}  // namespace detail

double Atan(double x) {
  if (std::isnan(x)) return x;
  // Far from zero the angle is a quarter turn less the arc tangent of 1/x; between, it is a
  // known angle (in two parts, high and low) plus the arc tangent of what is left.
  constexpr double high[] = {4.63647609000806093515e-01, 7.85398163397448278999e-01,
                             9.82793723247329054082e-01, 1.57079632679489655800e+00};
  constexpr double low[] = {2.26987774529616870924e-17, 3.06161699786838301793e-17,
                            1.39033110312309984516e-17, 6.12323399573676603587e-17};
  const double size = std::fabs(x);
  if (size < 0.4375) return x - AtanKernel(x);
  int part = 0;
  double rest = 0.0;
  if (size < 0.6875) {
    rest = (2.0 * size - 1.0) / (2.0 + size);
  } else if (size < 1.1875) {
    part = 1;
    rest = (size - 1.0) / (size + 1.0);
  } else if (size < 2.4375) {
    part = 2;
    rest = (size - 1.5) / (1.0 + 1.5 * size);
  } else {
    part = 3;
    rest = -1.0 / size;
  }
  const auto i = static_cast<std::size_t>(part);
  const double angle = high[i] - ((AtanKernel(rest) - low[i]) - rest);
  return x < 0.0 ? -angle : angle;
}

double Acos(double cosine) {
  if (!(cosine >= -1.0 && cosine <= 1.0)) return std::numeric_limits<double>::quiet_NaN();
  // Twice the arc tangent of the half angle's tangent; at -1 that tangent is infinite.
  if (cosine == -1.0) return 2.0 * Atan(std::numeric_limits<double>::infinity());
  return 2.0 * Atan(std::sqrt((1.0 - cosine) / (1.0 + cosine)));
}

}  // namespace pavaneflow::portable
