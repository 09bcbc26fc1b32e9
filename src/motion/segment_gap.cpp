#include "motion/segment_gap.h"

#include <algorithm>

namespace pavaneflow {

double SegmentGap(Vec3 a, Vec3 b, Vec3 c, Vec3 d) {
  const Vec3 u = b - a;
  const Vec3 v = d - c;
  const Vec3 w = a - c;
  const double uu = Dot(u, u);
  const double uv = Dot(u, v);
  const double vv = Dot(v, v);
  const double uw = Dot(u, w);
  const double vw = Dot(v, w);
  const double det = uu * vv - uv * uv;
  double s = det > 1e-12 ? std::clamp((uv * vw - vv * uw) / det, 0.0, 1.0) : 0.0;
  double t = vv > 1e-12 ? std::clamp((uv * s + vw) / vv, 0.0, 1.0) : 0.0;
  if (uu > 1e-12) s = std::clamp((uv * t - uw) / uu, 0.0, 1.0);
  return Length((a + s * u) - (c + t * v));
}

}  // namespace pavaneflow
