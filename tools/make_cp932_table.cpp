// Writes src/vmd/cp932_table.cpp: code page 932 as the C library's iconv converts it, both
// directions, so that the core carries the same conversion on platforms whose C library has
// none (the browser's). Run by the test that keeps the table current:
//   make_cp932_table > src/vmd/cp932_table.cpp
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      std::fprintf(stderr, "no converter from %s to %s: %s\n", from, to, std::strerror(errno));
      std::exit(1);
    }
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() { iconv_close(handle_); }

  // The whole of `in` as one conversion from the initial state; empty if it fails or leaves
  // bytes unconverted.
  std::vector<unsigned char> Convert(const unsigned char* in, std::size_t size) {
    char buffer[16];
    char* input = const_cast<char*>(reinterpret_cast<const char*>(in));
    char* output = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(handle_, &input, &size, &output, &outLeft) == static_cast<std::size_t>(-1) ||
        size != 0) {
      return {};
    }
    return {buffer, output};
  }

 private:
  iconv_t handle_;
};

bool IsLeadByte(unsigned byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

[[noreturn]] void Unexpected(const char* what, unsigned value) {
  std::fprintf(stderr, "unexpected conversion: %s %X\n", what, value);
  std::exit(1);
}

using Pair = std::pair<unsigned, unsigned>;  // code, UTF-16 unit

void Print(const char* name, const std::vector<Pair>& pairs) {
  std::printf("const Cp932Pair %s[] = {\n", name);
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    std::printf("%s{0x%04X, 0x%04X},", i % 5 == 0 ? "    " : " ", pairs[i].first, pairs[i].second);
    if (i % 5 == 4 || i + 1 == pairs.size()) std::printf("\n");
  }
  std::printf("};\n\n");
}

}  // namespace

int main() {
  // Decoding: what the core converts at all is one byte from 0x80 up, or a lead byte with the
  // byte after it; bytes below 0x80 are ASCII.
  Converter decoder("UTF-16LE", "CP932");
  std::vector<Pair> decoding;
  auto decode = [&](const unsigned char* bytes, std::size_t size, unsigned code) {
    const std::vector<unsigned char> units = decoder.Convert(bytes, size);
    if (units.empty()) return;
    if (units.size() != 2) Unexpected("decoding gives more than one unit for", code);
    decoding.emplace_back(code, units[0] | units[1] << 8);
  };
  for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
    const unsigned char one[] = {static_cast<unsigned char>(lead)};
    decode(one, 1, lead);
  }
  for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
    if (!IsLeadByte(lead)) continue;
    for (unsigned trail = 0; trail <= 0xFF; ++trail) {
      const unsigned char two[] = {static_cast<unsigned char>(lead),
                                   static_cast<unsigned char>(trail)};
      decode(two, 2, lead << 8 | trail);
    }
  }

  // Encoding: every code unit that is no surrogate; no character beyond the BMP may have an
  // encoding, since the core gives every surrogate pair a "?".
  Converter encoder("CP932", "UTF-16LE");
  std::vector<Pair> encoding;
  for (unsigned unit = 0; unit <= 0xFFFF; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    const unsigned char in[] = {static_cast<unsigned char>(unit & 0xFF),
                                static_cast<unsigned char>(unit >> 8)};
    const std::vector<unsigned char> bytes = encoder.Convert(in, 2);
    if (bytes.empty()) continue;
    if (bytes.size() == 1) {
      encoding.emplace_back(bytes[0], unit);
    } else if (bytes.size() == 2 && IsLeadByte(bytes[0])) {
      encoding.emplace_back(bytes[0] << 8 | bytes[1], unit);
    } else {
      Unexpected("encoding of", unit);
    }
  }
  for (unsigned point = 0x10000; point <= 0x10FFFF; ++point) {
    const unsigned high = 0xD800 + ((point - 0x10000) >> 10);
    const unsigned low = 0xDC00 + ((point - 0x10000) & 0x3FF);
    const unsigned char in[] = {
        static_cast<unsigned char>(high & 0xFF), static_cast<unsigned char>(high >> 8),
        static_cast<unsigned char>(low & 0xFF), static_cast<unsigned char>(low >> 8)};
    if (!encoder.Convert(in, 4).empty()) Unexpected("encoding of", point);
  }

  std::printf(
      "// Made by tools/make_cp932_table.cpp from the C library's CP932 converter; not to be "
      "edited.\n"
      "// clang-format off\n"
      "#include \"vmd/cp932_table.h\"\n\n"
      "namespace pavaneflow {\n\n"
      "namespace {\n\n");
  Print("kDecoding", decoding);
  // Already in order of code unit, as the search needs.
  Print("kEncoding", encoding);
  std::printf(
      "}  // namespace\n\n"
      "std::span<const Cp932Pair> Cp932DecodingPairs() {\n  return kDecoding;\n}\n\n"
      "std::span<const Cp932Pair> Cp932EncodingPairs() {\n  return kEncoding;\n}\n\n"
      "}  // namespace pavaneflow\n");
  return 0;
}
