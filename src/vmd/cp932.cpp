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

}  // namespace

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
