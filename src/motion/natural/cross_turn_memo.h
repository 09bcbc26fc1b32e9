#pragma once

#include <cstdint>
#include <optional>

#include "base/compat.h"
#include "motion/floor_point.h"
#include "motion/natural/bit_keyed_memo.h"

namespace pavaneflow {

// The hips' turn that parts a crossing, remembered for the last few questions. A pad has few
// panels, so a dance crosses the same pair of feet from the same turns again and again, and the
// search behind each answer tries up to sixty turns, each with the legs' gap and reach.
class CrossTurnMemo {
 public:
  struct Question {
    double yaw = 0.0;
    double from = 0.0;   // where the search starts
    double front = 0.0;  // the side the left foot is first looked for on
    FloorPoint left;
    FloorPoint right;
  };

  std::optional<double> Find(const Question& question) const { return memo_.Find(Bits(question)); }

  void Remember(const Question& question, double turn) { memo_.Remember(Bits(question), turn); }

 private:
  // 256 questions (12 KiB). A chart's crossings come from a few panel pairs and turns, but with
  // 64 slots they pushed each other out: the 40,000-step chart searched 769 times; now 16, as
  // with 1,024 slots.
  static constexpr int kSlotBits = 8;

  using Memo = BitKeyedMemo<5, double, kSlotBits>;
  static Memo::Key Bits(const Question& q) {
    return {compat::bit_cast<std::uint64_t>(q.yaw), compat::bit_cast<std::uint64_t>(q.from),
            compat::bit_cast<std::uint64_t>(q.front), PointBits(q.left), PointBits(q.right)};
  }
  Memo memo_;
};

}  // namespace pavaneflow
