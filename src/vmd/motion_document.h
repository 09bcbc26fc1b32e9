#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chart/document.h"
#include "vmd/frame_arena.h"
#include "vmd/motion_frame.h"

namespace pavaneflow {

// Base of the documents stored in the 3D animation tool's formats.
class MmdDocument : public Document {};

// One motion for one model: its name and its bone key frames, ordered by frame number, equal
// numbers in insertion order. Owns the frames; a pointer from InsertFrame stays valid until
// DeleteContents or destruction. Bone names are interned, so a million frames of a handful of
// bones hold a handful of strings.
class MotionDocument : public MmdDocument {
 public:
  // A new frame with position (0, 0, 0), rotation (0, 0, 0, 1) and zero interpolation, placed
  // after every frame whose number is the same or lower. Null for a negative frame number.
  MotionFrame* InsertFrame(std::u16string_view boneName, std::int32_t frameNumber);

  void DeleteContents() override;

  std::size_t FrameCount() const { return keyFrames_.size(); }
  const MotionFrame& At(std::size_t index) const { return *keyFrames_.at(index); }
  MotionFrame& At(std::size_t index) { return *keyFrames_.at(index); }
  const std::deque<MotionFrame*>& KeyFrames() const { return keyFrames_; }
  // The distinct bone names used so far, in order of first use.
  std::vector<const std::u16string*> BoneNames() const;

  std::u16string modelName;

 private:
  const std::u16string* Intern(std::u16string_view name);

  // Frame addresses are stable: the only per-frame cost besides the frame itself is its pointer
  // in keyFrames_.
  FrameArena frames_;
  // The order. A deque, because frame numbers that fall with the tick (a negative BPM) put every
  // new frame at the front, which a vector makes quadratic.
  std::deque<MotionFrame*> keyFrames_;
  std::vector<std::unique_ptr<std::u16string>> names_;
  std::size_t nextName_ = 0;  // where Intern starts its search
};

}  // namespace pavaneflow
