#pragma once

// The few C++20 library pieces that an older standard library lacks (the WebAssembly build's libc++
// 13), under names of their own. Where the standard library has them they are the standard's,
// so native builds use exactly the standard functions.

#include <charconv>
#include <cstdint>
#include <memory>
#include <system_error>
#include <type_traits>

#if __has_include(<bit>)
#include <bit>
#endif

#if !defined(__cpp_lib_to_chars)
#include <cerrno>
#include <cstdlib>
#include <string>
#endif

namespace pavaneflow::compat {

#if defined(__cpp_lib_bit_cast)
using std::bit_cast;
#else
template <class To, class From>
requires(sizeof(To) == sizeof(From) && std::is_trivially_copyable_v<To> &&
         std::is_trivially_copyable_v<From>) constexpr To bit_cast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}
#endif

#if defined(__cpp_lib_smart_ptr_for_overwrite)
using std::make_unique_for_overwrite;
#else
template <class T>
requires std::is_unbounded_array_v<T> std::unique_ptr<T> make_unique_for_overwrite(
    std::size_t size) {
  return std::unique_ptr<T>(new std::remove_extent_t<T>[size]);
}
#endif

// Integers: every library has them. Floating-point to_chars is left out: the core prints
// floating-point numbers only for the dance sheet, which the WebAssembly build leaves out.
using std::from_chars;

#if !defined(__cpp_lib_to_chars)
// Floating point through the C library, whose "C" locale is the only one where these builds run.
// strtod rounds correctly, so the values equal from_chars'; only the plain decimal forms that
// the core reads are accepted.
inline std::from_chars_result from_chars(const char* first, const char* last, double& value) {
  const std::string text(first, last);
  char* end = nullptr;
  errno = 0;
  const double parsed = std::strtod(text.c_str(), &end);
  if (end == text.c_str()) return {first, std::errc::invalid_argument};
  const char* stop = first + (end - text.c_str());
  if (errno == ERANGE) return {stop, std::errc::result_out_of_range};
  value = parsed;
  return {stop, std::errc{}};
}
#endif

}  // namespace pavaneflow::compat
