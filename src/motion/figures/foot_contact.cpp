#include "motion/figures/foot_contact.h"

#include <algorithm>
#include <cmath>

namespace pavaneflow {

double FootContact(const std::vector<Vec3>& pelvis,
                   const std::vector<std::array<double, 2>>& footSpeeds, std::size_t from,
                   std::size_t to) {
  if (to < from + 3) return 0.0;
  constexpr double kFrameRate = 30.0;
  const double scale = kMetresPerUnit * kFrameRate * kFrameRate;
  std::vector<double> accelerations;
  accelerations.reserve(to - from - 2);
  double largest = 0.0;
  for (std::size_t f = from + 1; f + 1 < to; ++f) {
    const Vec3 a = scale * (pelvis[f + 1] - 2.0 * pelvis[f] + pelvis[f - 1]);
    accelerations.push_back(std::hypot(a.x, std::max(0.0, a.y), a.z));
    largest = std::max(largest, accelerations.back());
  }
  if (largest == 0.0) return 0.0;
  double sum = 0.0;
  for (std::size_t i = 0; i < accelerations.size(); ++i) {
    const std::array<double, 2>& feet = footSpeeds[from + 1 + i];
    sum += feet[0] * kMetresPerUnit * feet[1] * kMetresPerUnit * accelerations[i] / largest;
  }
  return sum / static_cast<double>(accelerations.size()) * 1e4;
}

double ClipFootContact(const std::vector<Vec3>& pelvis,
                       const std::vector<std::array<double, 2>>& footSpeeds) {
  double sum = 0.0;
  std::size_t clips = 0;
  for (std::size_t from = 0; from + kFootContactClipFrames <= pelvis.size();
       from += kFootContactClipFrames) {
    sum += FootContact(pelvis, footSpeeds, from, from + kFootContactClipFrames);
    ++clips;
  }
  return clips > 0 ? sum / static_cast<double>(clips) : -1.0;
}

}  // namespace pavaneflow
