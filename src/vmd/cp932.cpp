#include "vmd/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <system_error>

namespace pavaneflow {

namespace {

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

class Converter {
 public:
  Converter() : handle_(iconv_open("CP932", "UTF-16LE")) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::system_error(errno, std::generic_category(), "no CP932 converter");
    }
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() { iconv_close(handle_); }

  // Converts one character (one code unit, or a surrogate pair); false if it has no encoding.
  bool Convert(const char* in, std::size_t inSize, std::string& out) {
    char buffer[8];
    char* input = const_cast<char*>(in);
    char* output = buffer;
    std::size_t outLeft = sizeof buffer;
    if (iconv(handle_, &input, &inSize, &output, &outLeft) == static_cast<std::size_t>(-1)) {
      return false;
    }
    out.append(buffer, output);
    return true;
  }

 private:
  iconv_t handle_;
};

// Code page 932 to UTF-16, one character (one or two bytes) at a time.
class Decoder {
 public:
  Decoder() : handle_(iconv_open("UTF-16LE", "CP932")) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::system_error(errno, std::generic_category(), "no CP932 converter");
    }
  }
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;
  ~Decoder() { iconv_close(handle_); }

  // Appends the character of `size` bytes at `in`; false if they are not one character.
  bool Convert(const char* in, std::size_t size, std::u16string& out) {
    char buffer[8];
    char* input = const_cast<char*>(in);
    char* output = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(handle_, &input, &size, &output, &outLeft) == static_cast<std::size_t>(-1) ||
        size != 0) {
      return false;
    }
    for (const char* p = buffer; p + 1 < output; p += 2) {
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[0]) |
                                          static_cast<unsigned char>(p[1]) << 8));
    }
    return true;
  }

 private:
  iconv_t handle_;
};

// A lead byte of a double-byte character in code page 932.
bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace

std::u16string DecodeCp932(std::string_view bytes) {
  Decoder decoder;
  std::u16string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      text.push_back(static_cast<char16_t>(byte));
      ++i;
      continue;
    }
    const std::size_t size = IsLeadByte(byte) && i + 1 < bytes.size() ? 2 : 1;
    if (decoder.Convert(bytes.data() + i, size, text)) {
      i += size;
    } else {
      text.push_back(u'\uFFFD');
      ++i;
    }
  }
  return text;
}

std::string EncodeCp932(std::u16string_view text) {
  Converter converter;
  std::string bytes;
  bytes.reserve(text.size() * 2);
  // One character at a time, so that a failure is pinned to its character and the rest
  // converts normally. The input is spelled out little-endian to be independent of the host.
  for (std::size_t i = 0; i < text.size();) {
    std::size_t units = 1;
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) units = 2;
    char input[4];
    for (std::size_t k = 0; k < units; ++k) {
      input[2 * k] = static_cast<char>(text[i + k] & 0xFF);
      input[2 * k + 1] = static_cast<char>(text[i + k] >> 8);
    }
    const bool lone = units == 1 && (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i]));
    if (lone || !converter.Convert(input, 2 * units, bytes)) bytes.push_back('?');
    i += units;
  }
  return bytes;
}

}  // namespace pavaneflow
