#pragma once

#include <string>
#include <string_view>

namespace pavaneflow {

// Appends `codePoint` (at most U+10FFFF, not a surrogate) to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// The code point at `text[i]`, advancing `i` past it; an unpaired surrogate is returned as it
// is, alone.
char32_t NextCodePoint(std::u16string_view text, std::size_t& i);

inline bool IsSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

}  // namespace pavaneflow
