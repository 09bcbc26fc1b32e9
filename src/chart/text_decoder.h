#pragma once

#include <string>
#include <string_view>

namespace pavaneflow {

// Turns the bytes of a text file into UTF-16 code units, chunk by chunk.
//
// In UTF-8 mode a byte-order mark at the very start is skipped, and a stream that starts with
// FF FE is taken as UTF-16LE instead (unpaired surrogates are kept, an odd last byte is dropped).
// Invalid UTF-8 becomes U+FFFD, one per maximal invalid subpart; overlong forms and encoded
// surrogates are invalid. In the other mode every byte is one code unit (ISO 8859-1).
class TextDecoder {
 public:
  explicit TextDecoder(bool utf8 = true) : state_(utf8 ? State::kStart : State::kLatin1) {}

  // Appends the code units of the next `bytes` of the stream to `out`. A sequence cut by the end
  // of `bytes` is completed by the next call.
  void Decode(std::string_view bytes, std::u16string& out);
  // Ends the stream, appending what an unfinished sequence stands for.
  void Finish(std::u16string& out);

 private:
  enum class State { kStart, kUtf8, kUtf16le, kLatin1 };

  // Decides the encoding from the first bytes and decodes them.
  void Settle(std::u16string& out);
  void DecodeUtf8(std::string_view bytes, std::u16string& out);
  void DecodeUtf16le(std::string_view bytes, std::u16string& out);

  State state_;
  // The first bytes, held until the byte-order mark can be told.
  std::string head_;
  // UTF-8: continuation bytes still needed, the code point so far, and the range the next byte
  // must fall in.
  int needed_ = 0;
  char32_t codePoint_ = 0;
  unsigned char lower_ = 0x80;
  unsigned char upper_ = 0xBF;
  // UTF-16LE: the low byte of a code unit whose high byte has not come yet.
  int pendingByte_ = -1;
};

}  // namespace pavaneflow
