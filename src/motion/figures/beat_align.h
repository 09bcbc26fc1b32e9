#pragma once

#include <cstdint>
#include <vector>

namespace pavaneflow {

// How well a motion's own beats fall on the music's, as music-to-dance research scores it: the
// motion beats are the local minima of the joints' mean speed smoothed over kBeatSmoothing
// frames, and each music beat scores exp(−d²/18), d the frames to the nearest motion beat.

inline constexpr double kBeatSmoothing = 5.0;  // the Gaussian's sigma, frames

// `values` smoothed by a Gaussian of `sigma` samples, cut at 4 sigma, the signal mirrored at
// both ends (a b c | c b a): as the scientific libraries' one-dimensional Gaussian filter does.
std::vector<double> GaussianSmoothed(const std::vector<double>& values, double sigma);

// The indices of the strict local minima, the two ends never among them.
std::vector<std::int32_t> LocalMinima(const std::vector<double>& values);

// The mean over `musicBeats` of exp(−d²/18); 0 without motion beats, −1 without music beats.
double BeatAlignScore(const std::vector<std::int32_t>& musicBeats,
                      const std::vector<std::int32_t>& motionBeats);

// The motion beats of a speed series (index i: the move from frame i to frame i + 1): the minima
// of the smoothed series, each on frame i.
std::vector<std::int32_t> MotionBeats(const std::vector<double>& meanJointSpeeds);

}  // namespace pavaneflow
