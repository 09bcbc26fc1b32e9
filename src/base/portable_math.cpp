// The reduction and the two polynomials follow fdlibm's k_sin.c, k_cos.c and e_rem_pio2.c:
//
// Copyright (C) 1993 by Sun Microsystems, Inc. All rights reserved.
//
// Developed at SunSoft, a Sun Microsystems, Inc. business.
// Permission to use, copy, modify, and distribute this
// software is freely granted, provided that this notice
// is preserved.

#include "base/portable_math.h"

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

// The angle as a quarter (0 to 3) and what is left of it in [-pi/4, pi/4].
struct Reduced {
  int quarter;
  double rest;
};

Reduced Reduce(double x) {
  const double n = std::nearbyint(x * kTwoOverPi);
  const double rest = (((x - n * kHalfPi1) - n * kHalfPi2) - n * kHalfPi3) - n * kHalfPiRest;
  double quarter = std::fmod(n, 4.0);
  if (quarter < 0.0) quarter += 4.0;
  return {static_cast<int>(quarter), rest};
}

}  // namespace

double Sin(double radians) {
  if (!std::isfinite(radians)) return radians - radians;
  const Reduced r = Reduce(radians);
  switch (r.quarter) {
    case 0:
      return SinKernel(r.rest);
    case 1:
      return CosKernel(r.rest);
    case 2:
      return -SinKernel(r.rest);
    default:
      return -CosKernel(r.rest);
  }
}

double Cos(double radians) {
  if (!std::isfinite(radians)) return radians - radians;
  const Reduced r = Reduce(radians);
  switch (r.quarter) {
    case 0:
      return CosKernel(r.rest);
    case 1:
      return -SinKernel(r.rest);
    case 2:
      return -CosKernel(r.rest);
    default:
      return SinKernel(r.rest);
  }
}

}  // namespace pavaneflow::portable
