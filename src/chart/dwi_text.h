#pragma once

#include <string>
#include <string_view>

namespace pavaneflow {

// White space as the DWI reader trims it: U+0009..U+000D, U+0020, U+00A0, U+1680,
// U+2000..U+200A, U+202F, U+205F and U+3000.
bool IsDwiWhiteSpace(char16_t c);
// Removes DWI white space at both ends.
void TrimDwiWhiteSpace(std::u16string& text);
// Whether `line` starts a tag: its first character other than space and TAB is "#".
bool StartsTag(std::u16string_view line);
// Upper-cases a..z; every other code unit stays.
void UpperCaseAscii(std::u16string& text);

}  // namespace pavaneflow
