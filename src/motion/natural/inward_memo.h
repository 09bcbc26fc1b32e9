#pragma once

#include <cstdint>
#include <optional>

#include "base/compat.h"
#include "motion/floor_point.h"
#include "motion/natural/bit_keyed_memo.h"

namespace pavaneflow {

// Where a foot stepping on one panel lands while the other stands on another, remembered for
// the last few questions. A pad has few panels and the hips few aims, so a dance asks the same
// again and again (each jump twice, for each foot), and each answer takes a square root, a
// sine and the ball's room on the panel.
class InwardMemo {
 public:
  struct Question {
    FloorPoint arrow;
    FloorPoint otherArrow;
    double yaw = 0.0;
  };

  std::optional<FloorPoint> Find(const Question& question) const {
    return memo_.Find(Bits(question));
  }

  void Remember(const Question& question, FloorPoint at) { memo_.Remember(Bits(question), at); }

 private:
  // 256 questions (10 KiB): the 40,000-step chart asks 31,000 times.
  static constexpr int kSlotBits = 8;

  using Memo = BitKeyedMemo<3, FloorPoint, kSlotBits>;
  static Memo::Key Bits(const Question& q) {
    return {PointBits(q.arrow), PointBits(q.otherArrow), compat::bit_cast<std::uint64_t>(q.yaw)};
  }
  Memo memo_;
};

}  // namespace pavaneflow
