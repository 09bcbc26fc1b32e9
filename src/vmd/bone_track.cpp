#include "vmd/bone_track.h"

#include <algorithm>

#include "vmd/bone_blend.h"

namespace pavaneflow {
namespace {

BoneKey KeyOf(const MotionFrame& frame) {
  return {frame.frameNumber(), frame.position, frame.rotation, *frame.interpolation};
}

BoneKey KeyOf(const VmdBoneFrame& frame) {
  return {frame.frameNumber, frame.position, frame.rotation, frame.interpolation};
}

}  // namespace

BoneTrack::BoneTrack(std::vector<BoneKey> keys) : keys_(std::move(keys)) {
  std::stable_sort(keys_.begin(), keys_.end(), [](const BoneKey& a, const BoneKey& b) {
    return a.frameNumber < b.frameNumber;
  });
}

BoneTrack BoneTrack::FromDocument(const MotionDocument& document, std::u16string_view bone) {
  std::vector<BoneKey> keys;
  document.ForEachFrame([&](const MotionFrame& frame) {
    if (frame.boneName() == bone) keys.push_back(KeyOf(frame));
  });
  return BoneTrack(std::move(keys));
}

BoneTrack BoneTrack::FromVmd(const VmdMotion& motion, std::u16string_view bone) {
  std::vector<BoneKey> keys;
  for (const VmdBoneFrame& frame : motion.bones) {
    if (frame.boneName == bone) keys.push_back(KeyOf(frame));
  }
  return BoneTrack(std::move(keys));
}

BonePose BoneTrack::At(double frame) const {
  if (keys_.empty()) return {};
  // The first key frame after `frame`; the one before it is the last at or before `frame`.
  const auto next = std::upper_bound(
      keys_.begin(), keys_.end(), frame,
      [](double f, const BoneKey& key) { return f < static_cast<double>(key.frameNumber); });
  if (next == keys_.begin()) return PoseAt(keys_.front().position, keys_.front().rotation);
  if (next == keys_.end()) return PoseAt(keys_.back().position, keys_.back().rotation);
  const BoneKey& from = *(next - 1);
  const BoneKey& to = *next;
  const double span = static_cast<double>(to.frameNumber) - static_cast<double>(from.frameNumber);
  const double x = (frame - static_cast<double>(from.frameNumber)) / span;
  std::array<double, 4> progress{};
  for (int c = 0; c < 4; ++c) {
    progress[static_cast<std::size_t>(c)] = ChannelCurve(to.interpolation, c).Progress(x);
  }
  return Blend(from.position, to.position, RotationBlend(from.rotation, to.rotation), progress);
}

}  // namespace pavaneflow
