#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/compat.h"
#include "motion/floor_point.h"

namespace pavaneflow {

// The last answers to a question asked again and again, each in the slot its key's bits hash
// to, a later answer pushing out an earlier one. Keys are the questions' bits, so a remembered
// answer is the very value the working out would give (+0 and -0 are two keys; NaN is one key,
// as its bits are).
template <std::size_t KeyWords, typename Answer, int SlotBits>
class BitKeyedMemo {
 public:
  using Key = std::array<std::uint64_t, KeyWords>;

  std::optional<Answer> Find(const Key& key) const {
    const Entry& entry = entries_[Slot(key)];
    if (!entry.used || entry.key != key) return std::nullopt;
    return entry.answer;
  }

  void Remember(const Key& key, Answer answer) { entries_[Slot(key)] = {key, answer, true}; }

 private:
  struct Entry {
    Key key{};
    Answer answer{};
    bool used = false;
  };

  static std::size_t Slot(const Key& key) {
    std::uint64_t mixed = 0;
    for (const std::uint64_t part : key) mixed = (mixed ^ part) * 0x9E3779B97F4A7C15u;
    return static_cast<std::size_t>(mixed >> (64 - SlotBits));
  }

  std::array<Entry, std::size_t{1} << SlotBits> entries_{};
};

// A point on the floor as one word of a key.
inline std::uint64_t PointBits(FloorPoint p) {
  return (std::uint64_t{compat::bit_cast<std::uint32_t>(p.x)} << 32) |
         compat::bit_cast<std::uint32_t>(p.z);
}

}  // namespace pavaneflow
