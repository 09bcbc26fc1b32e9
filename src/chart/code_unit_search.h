#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace pavaneflow {

// The first `unit` in [first, last), or `last`. Every character of a file is searched twice, for
// the end of its line and for NUL, so eight code units are compared at once where the processor
// has 16-byte vectors, and four where the byte order allows.
inline const char16_t* FindCodeUnit(const char16_t* first, const char16_t* last, char16_t unit) {
#ifdef __SSE2__
  const __m128i units = _mm_set1_epi16(static_cast<short>(unit));
  for (; last - first >= 8; first += 8) {
    const __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first));
    // Two mask bits per matching code unit.
    const auto matches = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(text, units)));
    if (matches != 0) return first + std::countr_zero(matches) / 2;
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0001000100010001;
    constexpr std::uint64_t kHighs = 0x8000800080008000;
    const std::uint64_t pattern = kOnes * unit;
    for (; last - first >= 4; first += 4) {
      std::uint64_t word;
      std::memcpy(&word, first, sizeof word);
      // A code unit equal to `unit` is a zero lane of x; borrows can only mark lanes above the
      // first zero one, so the lowest mark is exact.
      const std::uint64_t x = word ^ pattern;
      const std::uint64_t zero = (x - kOnes) & ~x & kHighs;
      if (zero != 0) return first + std::countr_zero(zero) / 16;
    }
  }
  for (; first != last; ++first) {
    if (*first == unit) return first;
  }
  return last;
}

}  // namespace pavaneflow
