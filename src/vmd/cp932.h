#pragma once

#include <string>
#include <string_view>

namespace pavaneflow {

// The code page 932 bytes of a UTF-16 text, the encoding of the names in a VMD file. A character
// without a code page 932 encoding, and an unpaired surrogate, become "?" (0x3F). Throws
// std::system_error if the C library offers no CP932 converter.
std::string EncodeCp932(std::u16string_view text);

}  // namespace pavaneflow
