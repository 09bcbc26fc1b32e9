#include "motion/figures/body_tracks.h"

#include <algorithm>

#include "motion/bone_names.h"

namespace pavaneflow {
namespace {

template <typename Motion, typename Track>
BodyTracks Tracks(const Motion& motion, Track track) {
  BodyTracks tracks;
  tracks.centre = track(motion, kCentreBone);
  tracks.leftFootIk = track(motion, kLeftFootIkBone);
  tracks.rightFootIk = track(motion, kRightFootIkBone);
  tracks.upperBody = track(motion, kUpperBodyBone);
  tracks.neck = track(motion, kNeckBone);
  tracks.leftArm = track(motion, kLeftArmBone);
  tracks.rightArm = track(motion, kRightArmBone);
  tracks.leftElbow = track(motion, kLeftElbowBone);
  tracks.rightElbow = track(motion, kRightElbowBone);
  return tracks;
}

}  // namespace

BodyTracks BodyTracks::FromDocument(const MotionDocument& document) {
  BodyTracks tracks = Tracks(document, BoneTrack::FromDocument);
  tracks.keyFrames = static_cast<std::int64_t>(document.FrameCount());
  return tracks;
}

BodyTracks BodyTracks::FromVmd(const VmdMotion& motion) {
  BodyTracks tracks = Tracks(motion, BoneTrack::FromVmd);
  tracks.keyFrames = static_cast<std::int64_t>(motion.bones.size());
  return tracks;
}

std::int32_t BodyTracks::LastFrame() const {
  std::int32_t last = 0;
  for (const BoneTrack* track : {&centre, &leftFootIk, &rightFootIk, &upperBody, &neck, &leftArm,
                                 &rightArm, &leftElbow, &rightElbow}) {
    if (!track->Keys().empty()) last = std::max(last, track->Keys().back().frameNumber);
  }
  return last;
}

}  // namespace pavaneflow
