#include "vmd/cp932.h"

#include <algorithm>
#include <optional>

#include "vmd/cp932_table.h"

namespace pavaneflow {

namespace {

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// A lead byte of a double-byte character in code page 932.
bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::optional<char16_t> Decode(std::uint16_t code) {
  const auto pairs = Cp932DecodingPairs();
  const auto found = std::lower_bound(
      pairs.begin(), pairs.end(), code,
      [](const Cp932Pair& pair, std::uint16_t wanted) { return pair.code < wanted; });
  if (found == pairs.end() || found->code != code) return std::nullopt;
  return found->unit;
}

std::optional<std::uint16_t> Encode(char16_t unit) {
  const auto pairs = Cp932EncodingPairs();
  const auto found =
      std::lower_bound(pairs.begin(), pairs.end(), unit,
                       [](const Cp932Pair& pair, char16_t wanted) { return pair.unit < wanted; });
  if (found == pairs.end() || found->unit != unit) return std::nullopt;
  return found->code;
}

}  // namespace

std::u16string DecodeCp932(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80) {
      text.push_back(static_cast<char16_t>(byte));
      ++i;
      continue;
    }
    const bool pair = IsLeadByte(byte) && i + 1 < bytes.size();
    const auto code = static_cast<std::uint16_t>(
        pair ? byte << 8 | static_cast<unsigned char>(bytes[i + 1]) : byte);
    if (const auto unit = Decode(code)) {
      text.push_back(*unit);
      i += pair ? 2 : 1;
    } else {
      text.push_back(u'\uFFFD');
      ++i;
    }
  }
  return text;
}

std::string EncodeCp932(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size();) {
    // No character beyond the BMP has an encoding: a surrogate pair is one "?", as is a lone
    // surrogate.
    if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      bytes.push_back('?');
      i += 2;
      continue;
    }
    const auto code =
        IsHighSurrogate(text[i]) || IsLowSurrogate(text[i]) ? std::nullopt : Encode(text[i]);
    if (!code) {
      bytes.push_back('?');
    } else if (*code < 0x100) {
      bytes.push_back(static_cast<char>(*code));
    } else {
      bytes.push_back(static_cast<char>(*code >> 8));
      bytes.push_back(static_cast<char>(*code & 0xFF));
    }
    ++i;
  }
  return bytes;
}

}  // namespace pavaneflow
