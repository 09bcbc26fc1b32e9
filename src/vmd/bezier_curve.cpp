#include "vmd/bezier_curve.h"

#include <algorithm>

namespace pavaneflow {
namespace {

constexpr double kByteScale = 127.0;

double Coordinate(std::uint8_t byte) {
  return static_cast<double>(std::min<std::uint8_t>(byte, 127)) / kByteScale;
}

// One coordinate of the curve at parameter t, from its two inner control values.
double Cubic(double a, double b, double t) {
  const double s = 1.0 - t;
  return 3.0 * s * s * t * a + 3.0 * s * t * t * b + t * t * t;
}

}  // namespace

BezierCurve::BezierCurve(std::uint8_t x1, std::uint8_t y1, std::uint8_t x2, std::uint8_t y2)
    : x1_(Coordinate(x1)),
      y1_(Coordinate(y1)),
      x2_(Coordinate(x2)),
      y2_(Coordinate(y2)),
      linear_(x1 == y1 && x2 == y2) {}

double BezierCurve::Progress(double x) const {
  if (!(x > 0.0)) return 0.0;
  if (x >= 1.0) return 1.0;
  if (linear_) return x;
  // With both inner x values in [0, 1] the curve's x never falls as t grows, so bisection always
  // finds the parameter; Newton's method can stall where the curve is flat (an all-zero curve).
  double low = 0.0;
  double high = 1.0;
  double t = x;
  for (int i = 0; i < 64; ++i) {
    const double error = Cubic(x1_, x2_, t) - x;
    if (error > kTolerance) {
      high = t;
    } else if (error < -kTolerance) {
      low = t;
    } else {
      break;
    }
    t = (low + high) * 0.5;
  }
  return Cubic(y1_, y2_, t);
}

}  // namespace pavaneflow
