#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "motion/rotation.h"

namespace pavaneflow {

// Physical foot contact, as music-to-dance research scores it (lower is better): feet that slide
// while the pelvis accelerates. For each frame f from 1 to n − 2, the pelvis's acceleration (the
// second difference over 1/30 s, its upward part kept only when positive), over the largest in
// the stretch, times the left and the right foot's horizontal speed from f to f + 1 in metres a
// frame; the mean over those frames times 10⁴. Positions in motion-file units, kMetresPerUnit
// each.
inline constexpr double kMetresPerUnit = 0.08;
inline constexpr std::size_t kFootContactClipFrames = 150;  // five seconds

// Over frames [from, to) of `pelvis`; `footSpeeds[f]` is each foot's horizontal move from f to
// f + 1 in units (the slower of its ankle and toe). 0 for a stretch of fewer than 3 frames or one
// whose pelvis never accelerates.
double FootContact(const std::vector<Vec3>& pelvis,
                   const std::vector<std::array<double, 2>>& footSpeeds, std::size_t from,
                   std::size_t to);

// The mean of FootContact over the whole five-second clips from frame 0: one jerk of the pelvis
// in a long dance sets the scale of every frame's acceleration, so short clips score otherwise.
// −1 for a dance shorter than one clip.
double ClipFootContact(const std::vector<Vec3>& pelvis,
                       const std::vector<std::array<double, 2>>& footSpeeds);

}  // namespace pavaneflow
