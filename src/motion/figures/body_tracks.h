#pragma once

#include <cstdint>

#include "vmd/bone_track.h"
#include "vmd/motion_document.h"
#include "vmd/vmd_motion.h"

namespace pavaneflow {

// The key frames of the bones a dance moves, each sampled as a VMD player samples it.
struct BodyTracks {
  BoneTrack centre;
  BoneTrack leftFootIk;
  BoneTrack rightFootIk;
  BoneTrack upperBody;
  BoneTrack neck;
  BoneTrack leftArm;
  BoneTrack rightArm;
  BoneTrack leftElbow;
  BoneTrack rightElbow;
  std::int64_t keyFrames = 0;  // of all bones, these and any other

  static BodyTracks FromDocument(const MotionDocument& document);
  static BodyTracks FromVmd(const VmdMotion& motion);

  // The last frame number keyed on any of the tracks; 0 with none.
  std::int32_t LastFrame() const;
};

}  // namespace pavaneflow
