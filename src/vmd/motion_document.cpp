#include "vmd/motion_document.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace pavaneflow {

const std::u16string* MotionDocument::Intern(std::u16string_view name) {
  // A motion uses a handful of bones: a short linear search beats hashing the name. It starts
  // behind the name found last, as a dance names its bones in the same round for every pose.
  const std::size_t count = names_.size();
  for (std::size_t k = 0, i = nextName_; k < count; ++k, i = i + 1 == count ? 0 : i + 1) {
    if (*names_[i] == name) {
      nextName_ = i + 1 == count ? 0 : i + 1;
      return names_[i].get();
    }
  }
  names_.push_back(std::make_unique<std::u16string>(name));
  nextName_ = 0;
  return names_.back().get();
}

MotionFrame* MotionDocument::InsertFrame(std::u16string_view boneName, std::int32_t frameNumber) {
  if (frameNumber < 0) return nullptr;
  return InsertFrame(Intern(boneName), frameNumber);
}

MotionFrame* MotionDocument::InsertOutOfOrder(const std::u16string* name,
                                              std::int32_t frameNumber) {
  if (frameNumber < 0) return nullptr;
  if (order_.empty()) {
    // The first frame out of creation order: from here on the order is kept apart. Should this
    // run out of memory, the document is left as it was.
    std::deque<MotionFrame*> order;
    frames_.ForEach([&order](MotionFrame& frame) { order.push_back(&frame); });
    order_ = std::move(order);
  }
  MotionFrame* frame = frames_.Create(name, frameNumber);
  try {
    // New frames almost always belong at the end (or, as frame numbers fall, at the front);
    // otherwise bisect for the first greater number.
    if (order_.back()->frameNumber() <= frameNumber) {
      order_.push_back(frame);
    } else {
      auto it = std::upper_bound(
          order_.begin(), order_.end(), frameNumber,
          [](std::int32_t number, const MotionFrame* f) { return number < f->frameNumber(); });
      order_.insert(it, frame);
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
  order_ = {};
  last_ = nullptr;
  frames_.Clear();
  names_.clear();
  nextName_ = 0;
  MmdDocument::DeleteContents();
}

MotionFrame& MotionDocument::Frame(std::size_t index) const {
  if (index >= frames_.Count()) throw std::out_of_range("MotionDocument::At beyond the last frame");
  return order_.empty() ? frames_.At(index) : *order_[index];
}

std::vector<const std::u16string*> MotionDocument::BoneNames() const {
  std::vector<const std::u16string*> names;
  names.reserve(names_.size());
  for (const auto& name : names_) names.push_back(name.get());
  return names;
}

}  // namespace pavaneflow
