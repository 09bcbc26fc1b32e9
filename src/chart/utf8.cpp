#include "chart/utf8.h"

namespace pavaneflow {

void AppendUtf8(std::string& out, char32_t codePoint) {
  auto byte = [&out](char32_t value) { out.push_back(static_cast<char>(value)); };
  if (codePoint < 0x80) {
    byte(codePoint);
  } else if (codePoint < 0x800) {
    byte(0xC0 | (codePoint >> 6));
    byte(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    byte(0xE0 | (codePoint >> 12));
    byte(0x80 | ((codePoint >> 6) & 0x3F));
    byte(0x80 | (codePoint & 0x3F));
  } else {
    byte(0xF0 | (codePoint >> 18));
    byte(0x80 | ((codePoint >> 12) & 0x3F));
    byte(0x80 | ((codePoint >> 6) & 0x3F));
    byte(0x80 | (codePoint & 0x3F));
  }
}

char32_t NextCodePoint(std::u16string_view text, std::size_t& i) {
  const char16_t unit = text[i++];
  if (unit >= 0xD800 && unit <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 &&
      text[i] <= 0xDFFF) {
    return 0x10000 + ((unit - 0xD800) << 10) + (text[i++] - 0xDC00);
  }
  return unit;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char32_t codePoint = NextCodePoint(text, i);
    AppendUtf8(out, IsSurrogate(codePoint) ? U'\uFFFD' : codePoint);
  }
  return out;
}

}  // namespace pavaneflow
