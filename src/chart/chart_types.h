#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pavaneflow {

// Time in a chart: 48 ticks make one beat; a plain DWI step character lasts 24.
using Tick = std::int32_t;
inline constexpr Tick kTicksPerBeat = 48;

// One arrow panel as a UTF-16 code unit: U+0030..U+0033 are left, down, up and right of the
// first pad; the second pad of a DOUBLE chart adds 16 (U+0040..U+0043).
using ArrowCode = char16_t;
// A set of arrows, in order.
using ArrowCodes = std::u16string;
using ArrowCodesView = std::u16string_view;

// 16 bits keep a Note at 4 bytes and a Frame at 16.
using NoteKind = std::int16_t;
inline constexpr NoteKind kTap = 0;
inline constexpr NoteKind kFreezeStart = 1;
inline constexpr NoteKind kFreezeEnd = 2;

using ChartMode = std::int32_t;
inline constexpr ChartMode kSingle = 0;
inline constexpr ChartMode kDouble = 1;
inline constexpr ChartMode kCouple = 2;

// Chart arithmetic wraps like 32-bit two's complement instead of overflowing.
inline constexpr std::int32_t WrappingAdd(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

}  // namespace pavaneflow
