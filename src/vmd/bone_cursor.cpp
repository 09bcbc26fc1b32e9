#include "vmd/bone_cursor.h"

#include <algorithm>

namespace pavaneflow {
namespace {

// Stretches longer than this are worked out frame by frame: their tables would be large and are
// rarely shared.
constexpr std::int32_t kLongestTable = 1024;
// Tables kept: the few curves and step lengths a dance repeats.
constexpr std::size_t kTables = 16;

}  // namespace

std::vector<BoneCursor> BoneCursor::ForBones(const MotionDocument& document,
                                             std::span<const std::u16string_view> bones) {
  std::vector<std::vector<const MotionFrame*>> keys(bones.size());
  // Names are interned: each bone is known by one pointer once its name has been seen.
  std::vector<const std::u16string*> names(bones.size(), nullptr);
  document.ForEachFrame([&](const MotionFrame& frame) {
    const std::u16string* name = frame.internedBoneName();
    for (std::size_t i = 0; i < bones.size(); ++i) {
      if (names[i] == nullptr && *name == bones[i]) names[i] = name;
      if (names[i] == name) {
        keys[i].push_back(&frame);
        break;
      }
    }
  });
  std::vector<BoneCursor> cursors;
  for (auto& k : keys) cursors.emplace_back(std::move(k));
  return cursors;
}

BonePose BoneCursor::At(std::int32_t frame) {
  if (keys_.empty()) return {};
  if (next_ > 0 && keys_[next_ - 1]->frameNumber() > frame) next_ = 0;
  while (next_ < keys_.size() && keys_[next_]->frameNumber() <= frame) ++next_;
  if (next_ == 0) return PoseAt(keys_.front()->position, keys_.front()->rotation);
  if (next_ == keys_.size()) return PoseAt(keys_.back()->position, keys_.back()->rotation);
  const MotionFrame& from = *keys_[next_ - 1];
  const MotionFrame& to = *keys_[next_];
  const std::int32_t span = to.frameNumber() - from.frameNumber();
  if (!stretch_ || stretch_->next != next_) {
    stretch_.emplace(
        Stretch{next_, ArcBlend(from.rotation, to.rotation), ProgressOf(to.interpolation, span)});
  }
  const std::int32_t into = frame - from.frameNumber();
  std::array<double, 4> progress{};
  if (stretch_->progress != nullptr) {
    std::copy_n(stretch_->progress->shares.begin() + 4 * into, 4, progress.begin());
  } else {
    const double x = static_cast<double>(into) / static_cast<double>(span);
    for (int c = 0; c < 4; ++c) {
      progress[static_cast<std::size_t>(c)] = ChannelCurve(*to.interpolation, c).Progress(x);
    }
  }
  return Blend(from.position, to.position, stretch_->turn, progress);
}

const BoneCursor::Progress* BoneCursor::ProgressOf(const InterpolationBytes* curves,
                                                   std::int32_t span) {
  if (span > kLongestTable) return nullptr;
  const auto found = std::find_if(progress_.begin(), progress_.end(), [&](const auto& p) {
    return p->curves == curves && p->span == span;
  });
  if (found != progress_.end()) {
    std::rotate(progress_.begin(), found, found + 1);
    return progress_.front().get();
  }
  auto p = std::make_unique<Progress>(
      Progress{curves, span, std::vector<double>(4 * static_cast<std::size_t>(span + 1))});
  for (int c = 0; c < 4; ++c) {
    const BezierCurve curve = ChannelCurve(*curves, c);
    for (std::int32_t f = 0; f <= span; ++f) {
      p->shares[4 * static_cast<std::size_t>(f) + static_cast<std::size_t>(c)] =
          curve.Progress(static_cast<double>(f) / static_cast<double>(span));
    }
  }
  if (progress_.size() == kTables) progress_.pop_back();
  progress_.insert(progress_.begin(), std::move(p));
  return progress_.front().get();
}

}  // namespace pavaneflow
