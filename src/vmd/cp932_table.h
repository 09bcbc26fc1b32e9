#pragma once

#include <cstdint>
#include <span>

namespace pavaneflow {

// One character of code page 932: its code (one byte below 0x100, else lead byte times 256 plus
// trail byte) and its UTF-16 code unit. Every character of the code page lies in the BMP.
struct Cp932Pair {
  std::uint16_t code;
  char16_t unit;
};

// What decodes to what, ordered by code: every byte from 0x80 up that is a character alone, and
// every lead byte with the byte after it that make one. Bytes below 0x80 are ASCII.
std::span<const Cp932Pair> Cp932DecodingPairs();

// What encodes to what, ordered by unit; several units may share a code. A unit not listed has
// no encoding.
std::span<const Cp932Pair> Cp932EncodingPairs();

}  // namespace pavaneflow
