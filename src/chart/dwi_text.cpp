#include "chart/dwi_text.h"

namespace pavaneflow {

bool IsDwiWhiteSpace(char16_t c) {
  return (c >= 0x0009 && c <= 0x000D) || c == 0x0020 || c == 0x00A0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x202F || c == 0x205F || c == 0x3000;
}

void TrimDwiWhiteSpace(std::u16string& text) {
  std::size_t end = text.size();
  while (end > 0 && IsDwiWhiteSpace(text[end - 1])) --end;
  std::size_t begin = 0;
  while (begin < end && IsDwiWhiteSpace(text[begin])) ++begin;
  text.erase(end);
  text.erase(0, begin);
}

bool StartsTag(std::u16string_view line) {
  const std::size_t first = line.find_first_not_of(u" \t");
  return first != std::u16string_view::npos && line[first] == u'#';
}

void UpperCaseAscii(std::u16string& text) {
  for (char16_t& c : text) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
}

}  // namespace pavaneflow
