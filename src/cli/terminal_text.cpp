#include "cli/terminal_text.h"

#include "chart/utf8.h"

namespace pavaneflow::cli {
namespace {

bool IsControl(char16_t c) {
  return (c < 0x20 && c != u'\t') || (c >= 0x7F && c <= 0x9F);
}

}  // namespace

std::string TerminalText(std::u16string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsControl(text[i])) continue;
    out += ToUtf8(text.substr(start, i - start));
    out += text[i] < 0x80 ? "\\x" : "\\u00";
    out += kHex[(text[i] >> 4) & 0xF];
    out += kHex[text[i] & 0xF];
    start = i + 1;
  }
  out += ToUtf8(text.substr(start));
  return out;
}

}  // namespace pavaneflow::cli
