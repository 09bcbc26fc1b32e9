#include "chart/dwi_numbers.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

#include "base/compat.h"
#include "chart/dwi_text.h"

namespace pavaneflow {

namespace {

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

std::size_t SkipWhiteSpace(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsDwiWhiteSpace(text[i])) ++i;
  return i;
}

std::size_t SkipDigits(std::u16string_view text, std::size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

// Whether a decimal number too large or too small for a double is large: its first significant
// digit stands at a power of ten of 0 or more. Only called for from_chars' out-of-range
// results, which lie beyond 1e308 or below 1e-323, so a rough exponent decides.
bool IsHuge(std::string_view number) {
  const std::size_t e = number.find_first_of("eE");
  const std::string_view mantissa = number.substr(0, e);
  std::int64_t exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view digits = number.substr(e + 1);
    const bool negative = digits.front() == '-';
    if (digits.front() == '-' || digits.front() == '+') digits.remove_prefix(1);
    for (char c : digits) {
      exponent = std::min<std::int64_t>(exponent * 10 + (c - '0'), std::int64_t{1} << 40);
    }
    if (negative) exponent = -exponent;
  }
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_not_of("0.");
  if (first == std::string_view::npos) return false;  // zero never overflows
  // Power of ten of the first significant digit, before the exponent.
  const std::int64_t position = first < point ? static_cast<std::int64_t>(point - first - 1)
                                              : -static_cast<std::int64_t>(first - point);
  return position + exponent >= 0;
}

// The end of the number of the BPM grammar that starts at `start` (after a sign, if any); `start`
// itself when no digit comes.
std::size_t NumberEnd(std::u16string_view text, std::size_t start) {
  const std::size_t integerEnd = SkipDigits(text, start);
  std::size_t end = integerEnd;
  bool anyDigit = integerEnd > start;
  if (end < text.size() && text[end] == u'.') {
    const std::size_t fractionEnd = SkipDigits(text, end + 1);
    anyDigit = anyDigit || fractionEnd > end + 1;
    if (anyDigit) end = fractionEnd;
  }
  if (!anyDigit) return start;
  // An exponent counts only when digits follow it.
  if (end < text.size() && (text[end] == u'e' || text[end] == u'E')) {
    std::size_t j = end + 1;
    if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) ++j;
    const std::size_t exponentEnd = SkipDigits(text, j);
    if (exponentEnd > j) end = exponentEnd;
  }
  return end;
}

// The nearest double of the unsigned number text[start, end), ±infinity beyond its range.
double NearestDouble(std::u16string_view text, std::size_t start, std::size_t end) {
  // from_chars takes no "+"; the sign is applied by the caller.
  std::string number;
  number.reserve(end - start);
  for (std::size_t k = start; k < end; ++k) number.push_back(static_cast<char>(text[k]));
  double value = 0.0;
  const auto result = compat::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    value = IsHuge(number) ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return value;
}

}  // namespace

float NearestFloat(double value) {
  constexpr double kMax = static_cast<double>(std::numeric_limits<float>::max());
  constexpr double kOverflow = 0x1.FFFFFFp+127;
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  if (value >= kOverflow) return kInfinity;
  if (value <= -kOverflow) return -kInfinity;
  if (value > kMax) return std::numeric_limits<float>::max();
  if (value < -kMax) return -std::numeric_limits<float>::max();
  return static_cast<float>(value);
}

float ParseBpm(std::u16string_view text) {
  const std::size_t start = SkipWhiteSpace(text);
  std::size_t i = start;
  const bool negative = i < text.size() && text[i] == u'-';
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  const std::size_t end = NumberEnd(text, i);
  if (end == i) return 0.0f;
  const double value = NearestDouble(text, i, end);
  return NearestFloat(negative ? -value : value);
}

bool ParseWholeNumber(std::u16string_view text, double& out) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == u'-';
  if (!text.empty() && (text[0] == u'+' || text[0] == u'-')) ++i;
  const std::size_t end = NumberEnd(text, i);
  if (end == i || end != text.size()) return false;
  const double value = NearestDouble(text, i, end);
  out = negative ? -value : value;
  return true;
}

std::int32_t ParseGap(std::u16string_view text) {
  std::size_t i = SkipWhiteSpace(text);
  const bool negative = i < text.size() && text[i] == u'-';
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) ++i;
  // The magnitude stops growing just past the limits; that is enough to saturate.
  constexpr std::int64_t kCeiling = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    magnitude = std::min(magnitude * 10 + (text[i] - u'0'), kCeiling);
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace pavaneflow
