#include "chart/text_decoder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace pavaneflow {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16leBom = "\xFF\xFE";

void AppendCodePoint(std::u16string& out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out.push_back(static_cast<char16_t>(codePoint));
  } else {
    codePoint -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
  }
}

// Where the run of ASCII bytes from `i` ends: eight bytes are looked at at once.
std::size_t AsciiRunEnd(std::string_view bytes, std::size_t i) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080;
  for (std::uint64_t word; i + sizeof word <= bytes.size(); i += sizeof word) {
    std::memcpy(&word, bytes.data() + i, sizeof word);
    if ((word & kHighBits) != 0) break;
  }
  while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
  return i;
}

}  // namespace

void TextDecoder::Decode(std::string_view bytes, std::u16string& out) {
  if (state_ == State::kStart) {
    const std::size_t take = std::min(bytes.size(), kUtf8Bom.size() - head_.size());
    head_.append(bytes.substr(0, take));
    bytes.remove_prefix(take);
    if (head_.size() < kUtf8Bom.size()) return;
    Settle(out);
  }
  switch (state_) {
    case State::kUtf8:
      DecodeUtf8(bytes, out);
      break;
    case State::kUtf16le:
      DecodeUtf16le(bytes, out);
      break;
    case State::kLatin1:
      for (char byte : bytes) out.push_back(static_cast<unsigned char>(byte));
      break;
    case State::kStart:
      break;
  }
}

void TextDecoder::Finish(std::u16string& out) {
  if (state_ == State::kStart) Settle(out);
  if (state_ == State::kUtf8 && needed_ > 0) {
    out.push_back(kReplacement);
    needed_ = 0;
  }
  pendingByte_ = -1;
}

void TextDecoder::Settle(std::u16string& out) {
  const std::string_view head = head_;
  if (head.starts_with(kUtf16leBom)) {
    state_ = State::kUtf16le;
    DecodeUtf16le(head.substr(kUtf16leBom.size()), out);
  } else {
    state_ = State::kUtf8;
    DecodeUtf8(head.substr(head.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0), out);
  }
  head_.clear();
}

void TextDecoder::DecodeUtf8(std::string_view bytes, std::u16string& out) {
  out.reserve(out.size() + bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (needed_ > 0) {
      if (byte < lower_ || byte > upper_) {
        // The subpart so far is one error; the byte starts afresh.
        out.push_back(kReplacement);
        needed_ = 0;
        continue;
      }
      codePoint_ = (codePoint_ << 6) | (byte & 0x3F);
      lower_ = 0x80;
      upper_ = 0xBF;
      if (--needed_ == 0) AppendCodePoint(out, codePoint_);
      ++i;
      continue;
    }
    if (byte < 0x80) {
      // DWI text is nearly all ASCII: widen a whole run at once instead of byte by byte.
      const std::size_t end = AsciiRunEnd(bytes, i + 1);
      const std::size_t start = out.size();
      out.resize(start + (end - i));
      std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(i),
                bytes.begin() + static_cast<std::ptrdiff_t>(end), out.begin() + start);
      i = end;
      continue;
    }
    ++i;
    if (byte >= 0xC2 && byte <= 0xDF) {
      needed_ = 1;
      codePoint_ = byte & 0x1F;
      lower_ = 0x80;
      upper_ = 0xBF;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      // E0 would be overlong below A0; ED would encode a surrogate above 9F.
      needed_ = 2;
      codePoint_ = byte & 0x0F;
      lower_ = byte == 0xE0 ? 0xA0 : 0x80;
      upper_ = byte == 0xED ? 0x9F : 0xBF;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
      // F0 would be overlong below 90; F4 would pass U+10FFFF above 8F.
      needed_ = 3;
      codePoint_ = byte & 0x07;
      lower_ = byte == 0xF0 ? 0x90 : 0x80;
      upper_ = byte == 0xF4 ? 0x8F : 0xBF;
    } else {
      out.push_back(kReplacement);
    }
  }
}

void TextDecoder::DecodeUtf16le(std::string_view bytes, std::u16string& out) {
  out.reserve(out.size() + bytes.size() / 2 + 1);
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (pendingByte_ < 0) {
      pendingByte_ = byte;
    } else {
      out.push_back(static_cast<char16_t>(pendingByte_ | (byte << 8)));
      pendingByte_ = -1;
    }
  }
}

}  // namespace pavaneflow
