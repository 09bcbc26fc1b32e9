#include "vmd/motion_document.h"

#include <algorithm>

namespace pavaneflow {

const std::u16string* MotionDocument::Intern(std::u16string_view name) {
  // A motion uses a handful of bones: a short linear search beats hashing the name.
  for (const auto& interned : names_) {
    if (*interned == name) return interned.get();
  }
  names_.push_back(std::make_unique<std::u16string>(name));
  return names_.back().get();
}

MotionFrame* MotionDocument::InsertFrame(std::u16string_view boneName, std::int32_t frameNumber) {
  if (frameNumber < 0) return nullptr;
  MotionFrame* frame = frames_.Create(Intern(boneName), frameNumber);
  try {
    // New frames almost always belong at the end (or, as frame numbers fall, at the front);
    // otherwise bisect for the first greater number.
    if (keyFrames_.empty() || keyFrames_.back()->frameNumber() <= frameNumber) {
      keyFrames_.push_back(frame);
    } else {
      auto it = std::upper_bound(
          keyFrames_.begin(), keyFrames_.end(), frameNumber,
          [](std::int32_t number, const MotionFrame* f) { return number < f->frameNumber(); });
      keyFrames_.insert(it, frame);
    }
  } catch (...) {
    // Out of memory growing the order: the frame was never inserted.
    frames_.DropLast();
    throw;
  }
  return frame;
}

void MotionDocument::DeleteContents() {
  modelName.clear();
  keyFrames_ = {};
  frames_.Clear();
  names_.clear();
  MmdDocument::DeleteContents();
}

std::vector<const std::u16string*> MotionDocument::BoneNames() const {
  std::vector<const std::u16string*> names;
  names.reserve(names_.size());
  for (const auto& name : names_) names.push_back(name.get());
  return names;
}

}  // namespace pavaneflow
