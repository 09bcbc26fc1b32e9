#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/compat.h"
#include "motion/floor_point.h"

namespace pavaneflow {

// The hips' turn that parts a crossing, remembered for the last few questions. A pad has few
// panels, so a dance crosses the same pair of feet from the same turns again and again, and the
// search behind each answer tries up to sixty turns, each with the legs' gap and reach. Keys are
// compared by their bits, so a remembered answer is the very double the search would give
// (+0 and -0 are two keys; NaN is one key, as its bits are).
class CrossTurnMemo {
 public:
  struct Question {
    double yaw = 0.0;
    double from = 0.0;   // where the search starts
    double front = 0.0;  // the side the left foot is first looked for on
    FloorPoint left;
    FloorPoint right;
  };

  std::optional<double> Find(const Question& question) const {
    const Key key = Bits(question);
    const Entry& entry = entries_[Slot(key)];
    if (!entry.used || entry.key != key) return std::nullopt;
    return entry.turn;
  }

  void Remember(const Question& question, double turn) {
    const Key key = Bits(question);
    entries_[Slot(key)] = {key, turn, true};
  }

 private:
  using Key = std::array<std::uint64_t, 5>;
  struct Entry {
    Key key{};
    double turn = 0.0;
    bool used = false;
  };
  // 256 questions (12 KiB). A chart's crossings come from a few panel pairs and turns, but with
  // 64 slots they pushed each other out: the 40,000-step chart searched 769 times; now 16, as
  // with 1,024 slots.
  static constexpr int kSlotBits = 8;

  static std::uint64_t Pair(float a, float b) {
    return (std::uint64_t{compat::bit_cast<std::uint32_t>(a)} << 32) |
           compat::bit_cast<std::uint32_t>(b);
  }
  static Key Bits(const Question& q) {
    return {compat::bit_cast<std::uint64_t>(q.yaw), compat::bit_cast<std::uint64_t>(q.from),
            compat::bit_cast<std::uint64_t>(q.front), Pair(q.left.x, q.left.z),
            Pair(q.right.x, q.right.z)};
  }
  static std::size_t Slot(const Key& key) {
    std::uint64_t mixed = 0;
    for (const std::uint64_t part : key) mixed = (mixed ^ part) * 0x9E3779B97F4A7C15u;
    return static_cast<std::size_t>(mixed >> (64 - kSlotBits));
  }

  std::array<Entry, std::size_t{1} << kSlotBits> entries_{};
};

}  // namespace pavaneflow
