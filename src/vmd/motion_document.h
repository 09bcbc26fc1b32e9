#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/document.h"
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
  // The same for a name from InternBoneName of this document: no search for the name, for
  // callers that add many frames to a few bones.
  MotionFrame* InsertFrame(const std::u16string* internedName, std::int32_t frameNumber) {
    // The way of almost every frame of a dance, kept inline: behind all others in creation order.
    if (AppendsAt(frameNumber)) return AppendFrame(internedName, frameNumber);
    return InsertOutOfOrder(internedName, frameNumber);
  }
  // Whether a frame numbered `frameNumber` goes behind every frame so far, in creation order.
  bool AppendsAt(std::int32_t frameNumber) const {
    return order_.empty() && frameNumber >= 0 &&
           (last_ == nullptr || last_->frameNumber() <= frameNumber);
  }
  // InsertFrame for a number that AppendsAt accepts, without asking again: a caller adding the
  // frames of many bones at one number asks once for them all.
  MotionFrame* AppendFrame(const std::u16string* internedName, std::int32_t frameNumber) {
    last_ = frames_.Create(internedName, frameNumber);
    return last_;
  }
  // This document's copy of `name`, valid until DeleteContents or destruction; a new name counts
  // as used from here on (BoneNames).
  const std::u16string* InternBoneName(std::u16string_view name) { return Intern(name); }

  void DeleteContents() override;

  std::size_t FrameCount() const { return frames_.Count(); }
  // The index-th frame in order; throws std::out_of_range beyond the last.
  const MotionFrame& At(std::size_t index) const { return Frame(index); }
  MotionFrame& At(std::size_t index) { return Frame(index); }
  // Calls visit(frame) for every frame, in order.
  template <typename Visit>
  void ForEachFrame(Visit visit) const {
    if (order_.empty()) {
      frames_.ForEach([&visit](const MotionFrame& frame) { visit(frame); });
    } else {
      for (const MotionFrame* frame : order_) visit(*frame);
    }
  }
  // Whether every frame was created after those before it in order, so that the order is the
  // order of creation.
  bool InCreationOrder() const { return order_.empty(); }
  // Calls visit(first, count) for runs of consecutive frames that together are the frames
  // created `begin`-th up to `end`-th (excluded); end <= FrameCount(). The pointers stay valid
  // while frames are created, so another thread may read frames that are no longer changed.
  template <typename Visit>
  void ForEachRun(std::size_t begin, std::size_t end, Visit visit) const {
    frames_.ForEachRun(begin, end, visit);
  }
  // The distinct bone names used so far, in order of first use.
  std::vector<const std::u16string*> BoneNames() const;

  std::u16string modelName;

 private:
  const std::u16string* Intern(std::u16string_view name);
  MotionFrame* InsertOutOfOrder(const std::u16string* name, std::int32_t frameNumber);
  MotionFrame& Frame(std::size_t index) const;

  // In order of creation, with stable addresses. As long as every frame comes after the ones
  // before it, which is how a dance is made, this is also the order and costs nothing more.
  FrameArena frames_;
  MotionFrame* last_ = nullptr;  // the frame created last, while order_ is empty
  // The order once a frame came out of creation order, empty before. A deque, because frame
  // numbers that fall with the tick (a negative BPM) put every new frame at the front, which a
  // vector makes quadratic.
  std::deque<MotionFrame*> order_;
  std::vector<std::unique_ptr<std::u16string>> names_;
  std::size_t nextName_ = 0;  // where Intern starts its search
};

}  // namespace pavaneflow
