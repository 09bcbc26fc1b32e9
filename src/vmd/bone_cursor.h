#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "vmd/bone_blend.h"
#include "vmd/bone_track.h"
#include "vmd/motion_document.h"
#include "vmd/motion_frame.h"

namespace pavaneflow {

// The key frames of one bone of a MotionDocument, sampled on whole frames as BoneTrack samples
// them, for a whole dance taken frame after frame: no search (the cursor walks on from the frame
// asked for before), and each channel's curve worked out once for all the stretches between key
// frames that share it and their length. The document must outlive the cursor.
class BoneCursor {
 public:
  BoneCursor() = default;
  // The key frames in frame order, equal frame numbers in the order made, as a MotionDocument
  // holds them.
  explicit BoneCursor(std::vector<const MotionFrame*> keys) : keys_(std::move(keys)) {}
  // A copy walks the same key frames from the start, with tables of its own: one for each
  // thread.
  BoneCursor(const BoneCursor& other) : keys_(other.keys_) {}
  BoneCursor& operator=(const BoneCursor& other) {
    *this = BoneCursor(other);
    return *this;
  }
  BoneCursor(BoneCursor&&) = default;
  BoneCursor& operator=(BoneCursor&&) = default;

  // One cursor for each of `bones`, in that order, from one pass over `document`.
  static std::vector<BoneCursor> ForBones(const MotionDocument& document,
                                          std::span<const std::u16string_view> bones);

  // The pose at `frame`. Fastest for frames that never go back.
  BonePose At(std::int32_t frame);
  // The last frame number keyed; 0 with none.
  std::int32_t LastFrame() const { return keys_.empty() ? 0 : keys_.back()->frameNumber(); }

 private:
  // How far each channel has come on each frame of a stretch between two key frames.
  struct Progress {
    const InterpolationBytes* curves = nullptr;
    std::int32_t span = 0;
    std::vector<double> shares;  // 4 a frame, for frames 0 to span
  };

  // The stretch between two key frames the cursor is in.
  struct Stretch {
    std::size_t next;  // its end, as next_
    ArcBlend turn;
    const Progress* progress;  // null for a stretch too long for a table
  };

  const Progress* ProgressOf(const InterpolationBytes* curves, std::int32_t span);

  std::vector<const MotionFrame*> keys_;
  std::size_t next_ = 0;  // the first key frame after the frame asked for last
  std::optional<Stretch> stretch_;
  std::vector<std::unique_ptr<Progress>> progress_;  // the latest first
};

}  // namespace pavaneflow
