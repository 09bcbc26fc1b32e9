#pragma once

#include <cstdint>

namespace pavaneflow {

// One VMD interpolation curve: the cubic Bézier through (0, 0), (x1, y1), (x2, y2) and (1, 1),
// the inner points given as bytes from 0 to 127 (larger bytes count as 127). Tells how far a
// value has moved (0 to 1) when a share x of the time between two key frames has passed.
class BezierCurve {
 public:
  BezierCurve(std::uint8_t x1, std::uint8_t y1, std::uint8_t x2, std::uint8_t y2);

  // The progress at time share `x`, 0 at or below 0, 1 at or above 1. The curve parameter is
  // found to within kTolerance of `x`.
  double Progress(double x) const;

  static constexpr double kTolerance = 1e-5;

 private:
  double x1_, y1_, x2_, y2_;
  bool linear_;  // both inner points on the diagonal: progress equals time
};

}  // namespace pavaneflow
