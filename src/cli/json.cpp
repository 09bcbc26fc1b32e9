#include "cli/json.h"

#include <charconv>
#include <cmath>

#include "chart/utf8.h"

namespace pavaneflow::cli {

namespace {

void AppendEscape(std::string& out, char32_t unit) {
  constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
}

// Not a number and the infinities have no JSON form: they are written as strings.
template <typename Number>
void AppendJsonNumber(std::string& out, Number value) {
  if (std::isnan(value)) {
    out += "\"nan\"";
  } else if (std::isinf(value)) {
    out += value > 0 ? "\"inf\"" : "\"-inf\"";
  } else {
    char digits[32];
    out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
  }
}

}  // namespace

void AppendJsonString(std::string& out, std::u16string_view text) {
  out += '"';
  for (std::size_t i = 0; i < text.size();) {
    const char32_t c = NextCodePoint(text, i);
    switch (c) {
      case U'"':
        out += "\\\"";
        break;
      case U'\\':
        out += "\\\\";
        break;
      case U'\n':
        out += "\\n";
        break;
      case U'\r':
        out += "\\r";
        break;
      case U'\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || IsSurrogate(c)) {
          AppendEscape(out, c);
        } else {
          AppendUtf8(out, c);
        }
    }
  }
  out += '"';
}

void AppendJsonDouble(std::string& out, double value) {
  AppendJsonNumber(out, value);
}

void AppendJsonFloat(std::string& out, float value) {
  AppendJsonNumber(out, value);
}

}  // namespace pavaneflow::cli
