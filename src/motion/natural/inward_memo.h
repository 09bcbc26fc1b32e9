#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/compat.h"
#include "motion/floor_point.h"

namespace pavaneflow {

// Where a foot stepping on one panel lands while the other stands on another, remembered for
// the last few questions. A pad has few panels and the hips few aims, so a dance asks the same
// again and again (each jump twice, for each foot), and each answer takes a square root, a
// sine and the ball's room on the panel. Keys are compared by their bits, so a remembered answer
// is the very point the working out would give (+0 and -0 are two keys).
class InwardMemo {
 public:
  struct Question {
    FloorPoint arrow;
    FloorPoint otherArrow;
    double yaw = 0.0;
  };

  std::optional<FloorPoint> Find(const Question& question) const {
    const Key key = Bits(question);
    const Entry& entry = entries_[Slot(key)];
    if (!entry.used || entry.key != key) return std::nullopt;
    return entry.at;
  }

  void Remember(const Question& question, FloorPoint at) {
    const Key key = Bits(question);
    entries_[Slot(key)] = {key, at, true};
  }

 private:
  using Key = std::array<std::uint64_t, 3>;
  struct Entry {
    Key key{};
    FloorPoint at;
    bool used = false;
  };
  // 256 questions (10 KiB): the 40,000-step chart asks 31,000 times.
  static constexpr int kSlotBits = 8;

  static std::uint64_t Pair(FloorPoint p) {
    return (std::uint64_t{compat::bit_cast<std::uint32_t>(p.x)} << 32) |
           compat::bit_cast<std::uint32_t>(p.z);
  }
  static Key Bits(const Question& q) {
    return {Pair(q.arrow), Pair(q.otherArrow), compat::bit_cast<std::uint64_t>(q.yaw)};
  }
  static std::size_t Slot(const Key& key) {
    std::uint64_t mixed = 0;
    for (const std::uint64_t part : key) mixed = (mixed ^ part) * 0x9E3779B97F4A7C15u;
    return static_cast<std::size_t>(mixed >> (64 - kSlotBits));
  }

  std::array<Entry, std::size_t{1} << kSlotBits> entries_{};
};

}  // namespace pavaneflow
