#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "motion/body_proportions.h"
#include "motion/figures/body_pose.h"

namespace pavaneflow {

// How much the body moves like a person dancing, over the posed frames of a dance. Distances in
// motion-file units, speeds per frame (30 a second), angles in degrees; medians and percentiles
// by nearest rank, 0 (or −1 where said) when nothing is counted.
struct DancerFigures {
  double ankleFastPercent = 0.0;  // frames with an ankle faster than kFastAnkle
  double fastestAnkle = 0.0;
  double pelvisFastPercent = 0.0;  // frames with the centre faster than kFastPelvis
  double fastestPelvis = 0.0;
  // Frames with both feet planted: the knees' bend (both legs), the centre below its rest.
  double kneeBendBothPlanted = 0.0;
  double pelvisDropBothPlanted = 0.0;
  double torsoUprightPercent = 0.0;  // frames with the upper body within 1° of vertical
  double torsoLeanP95 = 0.0;
  // With one foot planted and the other's ankle in the air (more than 0.05 above rest, at least
  // 0.5 away): where the centre stands on the line from the standing ankle (0) to the other (1).
  double weightTowardsLifted = -1.0;
  double legsThroughPercent = 0.0;  // frames with the legs' bones closer than kLegsThrough
  double feetFusedPercent = 0.0;    // frames with the ankles closer than kFeetFused sideways
  // Frames with the left ankle right of the right one (across the hips by more than 0.1).
  double crossedPercent = 0.0;
  double crossedPelvisDrop = 0.0;
  double crossedHipsFromViewer = 0.0;
  double plantedSinkP95 = 0.0;  // a planted ankle below its rest height
  double fastestArm = 0.0;      // of the upper arms' directions, degrees a frame
  // Turning points of each arm's forward swing (after moving kArmReversal back) a second,
  // median over the two-second windows with two steps; the more of the two arms. −1: none.
  double armReversalsPerSecond = -1.0;
  double headPitchRange = -1.0;  // nodding: its range in those windows, median; −1: none
  // The centre's height on the music's beats less half way between them: negative when it dips
  // on the beat. Only with beats given.
  bool hasBeats = false;
  double bounce = 0.0;
  // The dance's own beats, the local minima of its joints' mean speed smoothed over a sixth of a
  // second, against the music's (BeatAlignScore): 1 with one on every music beat; −1 with no
  // music beat in the dance. Only with beats given.
  double beatAlignScore = -1.0;
  std::int64_t motionBeats = 0;
  // Feet sliding while the pelvis accelerates (FootContact), over the whole dance and as the
  // mean over its five-second clips (−1 when shorter than one).
  double footContact = 0.0;
  double clipFootContact = -1.0;
};

inline constexpr double kFastAnkle = 2.1;
inline constexpr double kFastPelvis = 1.0;
inline constexpr double kFeetFused = 1.0;
inline constexpr double kArmReversal = 3.0;

// `planted` tells for each frame and foot whether it is planted; `landings` are the frames
// steps landed (the two feet of a jump once), `beats` the music's beat frames, if known.
DancerFigures MeasureDancer(const std::vector<BodyPose>& poses,
                            const std::vector<std::array<bool, 2>>& planted,
                            const std::vector<std::int32_t>& landings,
                            const std::vector<std::int32_t>* beats, const BodyProportions& body);

}  // namespace pavaneflow
