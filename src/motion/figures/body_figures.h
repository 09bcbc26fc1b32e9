#pragma once

#include <cstdint>

#include <vector>

#include "motion/body_proportions.h"
#include "motion/figures/body_tracks.h"
#include "motion/figures/dancer_figures.h"

namespace pavaneflow {

// How the reference body moves through a dance, posed on every frame from 0 to the last key
// frame (or for the first two hours of a longer one). Distances in motion-file units, speeds per
// frame (30 a second), angles in degrees.
//
// A foot is planted on a frame when its IK target is on the floor (within kFloorTolerance of its
// rest height) and does not move into or out of that frame, and the centre is not raised. The
// body is airborne while its centre is above its rest height by more than kFloorTolerance. A
// foot lands on the first frame its target is on the floor again after being above it, or on
// the frame a target that slid along the floor comes to rest.
struct BodyFigures {
  std::int64_t frames = 0;  // measured: at most kMostMeasuredFrames
  bool cutShort = false;    // the dance goes on beyond them
  std::int64_t keyFrames = 0;
  std::int64_t plantedFootFrames = 0;
  std::int64_t plantedMisses = 0;    // planted foot-frames whose ankle misses by more than 0.1
  double largestPlantedSlide = 0.0;  // ankle movement into a planted frame
  std::int64_t landings = 0;
  double landingSpeedP95 = 0.0;  // the ankle's 3D speed into the landing frame
  std::int64_t airborneLegFrames = 0;
  std::int64_t straightAirborneLegFrames = 0;  // knee bent less than 10°
  double longestAirborneSeconds = 0.0;
  std::int64_t hipsAwayFromViewerFrames = 0;  // hips turned more than 90° from −z
  std::int64_t hipsAwayFromScreenFrames = 0;  // from +z
  double largestYawStep = 0.0;                // of the hips, between two frames
  double headFromViewerP95 = 0.0;
  // Each arm's swing: the angle between its directions of most and least forward swing in a
  // two-second window, least over the windows that hold two landings more than 3 frames apart
  // (windows start on every frame and end inside the dance).
  // −1 when no window holds two.
  double leftArmLeastSwing = -1.0;
  double rightArmLeastSwing = -1.0;
  DancerFigures dancer;

  double PlantedMissPercent() const;
  double StraightAirborneKneePercent() const;
  double HipsAwayFromViewerPercent() const;
  double HipsAwayFromScreenPercent() const;
};

inline constexpr double kFloorTolerance = 0.01;
inline constexpr std::int32_t kMostMeasuredFrames = 30 * 60 * 60 * 2;  // two hours
inline constexpr double kReachTolerance = 0.1;
inline constexpr double kStraightKneeDegrees = 10.0;

// `beats`, the music's beat frames, if known, for the bounce on the beat.
BodyFigures MeasureBody(const BodyTracks& tracks, const BodyProportions& body = kReferenceBody,
                        const std::vector<std::int32_t>* beats = nullptr);

}  // namespace pavaneflow
