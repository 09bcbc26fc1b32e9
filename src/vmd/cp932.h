#pragma once

#include <string>
#include <string_view>

namespace pavaneflow {

// The code page 932 bytes of a UTF-16 text, the encoding of the names in a VMD file. A character
// without a code page 932 encoding, and an unpaired surrogate, become "?" (0x3F). The tables are
// built in (the C library's converter as made on Linux), so this works wherever the core runs.
std::string EncodeCp932(std::u16string_view text);

// The UTF-16 text of code page 932 bytes, as VMD files store names. A byte sequence that is not
// code page 932 (a lead byte without its trail byte, say, where a name was cut to its field)
// becomes U+FFFD, one per byte, and decoding goes on behind it.
std::u16string DecodeCp932(std::string_view bytes);

}  // namespace pavaneflow
