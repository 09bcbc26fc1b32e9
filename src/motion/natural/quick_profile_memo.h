#pragma once

#include <cstdint>
#include <optional>

#include "base/compat.h"
#include "motion/floor_point.h"
#include "motion/natural/bit_keyed_memo.h"

namespace pavaneflow {

// Which quick profile a swing takes (-1: the usual curves), remembered for the last few swings.
// Quick runs repeat their few ways across the pad, and each answer works out every frame of the
// swing on a few profiles.
class QuickProfileMemo {
 public:
  struct Question {
    FloorPoint from;
    FloorPoint mid;
    FloorPoint to;
    double top = 0.0;
    std::int32_t up = 0;
    std::int32_t down = 0;
  };

  std::optional<std::int8_t> Find(const Question& question) const {
    return memo_.Find(Bits(question));
  }

  void Remember(const Question& question, std::int8_t profile) {
    memo_.Remember(Bits(question), profile);
  }

 private:
  static constexpr int kSlotBits = 8;

  using Memo = BitKeyedMemo<5, std::int8_t, kSlotBits>;
  static Memo::Key Bits(const Question& q) {
    return {PointBits(q.from), PointBits(q.mid), PointBits(q.to),
            compat::bit_cast<std::uint64_t>(q.top),
            (std::uint64_t{static_cast<std::uint32_t>(q.up)} << 32) |
                static_cast<std::uint32_t>(q.down)};
  }
  Memo memo_;
};

}  // namespace pavaneflow
