#pragma once

#include <cstdint>
#include <string_view>

namespace pavaneflow {

// The BPM of a header value: after leading DWI white space, the longest prefix of the form
// [+-]?([0-9]+(\.[0-9]*)?|\.[0-9]+)([eE][+-]?[0-9]+)? read as the nearest double, then rounded
// to the nearest float (±infinity beyond its range). 0 without such a prefix; no hexadecimal,
// "inf" or "nan". Independent of the locale.
float ParseBpm(std::u16string_view text);

// The number of `text` when the whole of it, with no white space, is one number of the grammar
// above, read as the nearest double (±infinity beyond its range); false otherwise.
bool ParseWholeNumber(std::u16string_view text, double& out);

// The nearest float to `value`, with ±infinity from half a unit in the last place past the
// largest float on.
float NearestFloat(double value);

// The GAP of a header value: after leading DWI white space, [+-]?[0-9]+ in decimal, saturated
// at the 32-bit limits; 0 without digits. What follows the digits is ignored.
std::int32_t ParseGap(std::u16string_view text);

}  // namespace pavaneflow
