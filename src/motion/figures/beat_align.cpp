#include "motion/figures/beat_align.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pavaneflow {

std::vector<double> GaussianSmoothed(const std::vector<double>& values, double sigma) {
  const auto n = static_cast<std::int64_t>(values.size());
  if (n == 0) return {};
  const auto radius = static_cast<std::int64_t>(4.0 * sigma + 0.5);
  std::vector<double> weights;
  double sum = 0.0;
  for (std::int64_t i = -radius; i <= radius; ++i) {
    const auto x = static_cast<double>(i);
    weights.push_back(std::exp(-0.5 * x * x / (sigma * sigma)));
    sum += weights.back();
  }
  for (double& w : weights) w /= sum;
  // Mirrored with the end sample repeated, and again beyond a short signal's other end.
  auto at = [&](std::int64_t i) {
    const std::int64_t period = 2 * n;
    const std::int64_t k = ((i % period) + period) % period;
    return values[static_cast<std::size_t>(k < n ? k : period - 1 - k)];
  };
  std::vector<double> out(values.size());
  for (std::int64_t i = 0; i < n; ++i) {
    double acc = 0.0;
    for (std::int64_t j = -radius; j <= radius; ++j)
      acc += weights[static_cast<std::size_t>(j + radius)] * at(i + j);
    out[static_cast<std::size_t>(i)] = acc;
  }
  return out;
}

std::vector<std::int32_t> LocalMinima(const std::vector<double>& values) {
  std::vector<std::int32_t> minima;
  for (std::size_t i = 1; i + 1 < values.size(); ++i) {
    if (values[i] < values[i - 1] && values[i] < values[i + 1])
      minima.push_back(static_cast<std::int32_t>(i));
  }
  return minima;
}

double BeatAlignScore(const std::vector<std::int32_t>& musicBeats,
                      const std::vector<std::int32_t>& motionBeats) {
  if (musicBeats.empty()) return -1.0;
  if (motionBeats.empty()) return 0.0;
  double sum = 0.0;
  for (const std::int32_t beat : musicBeats) {
    // The nearest motion beat: the first at or after the beat, or the one before it.
    const auto after = std::lower_bound(motionBeats.begin(), motionBeats.end(), beat);
    double d = std::numeric_limits<double>::infinity();
    if (after != motionBeats.end()) d = static_cast<double>(*after - beat);
    if (after != motionBeats.begin()) d = std::min(d, static_cast<double>(beat - *(after - 1)));
    sum += std::exp(-d * d / 18.0);
  }
  return sum / static_cast<double>(musicBeats.size());
}

std::vector<std::int32_t> MotionBeats(const std::vector<double>& meanJointSpeeds) {
  return LocalMinima(GaussianSmoothed(meanJointSpeeds, kBeatSmoothing));
}

}  // namespace pavaneflow
