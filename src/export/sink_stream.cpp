#include "export/sink_stream.h"

#include <cstdint>
#include <ios>

namespace pavaneflow {

std::streamsize SinkStream::Buffer::xsputn(const char* data, std::streamsize size) {
  if (error) return 0;
  try {
    sink_.Write(reinterpret_cast<const std::uint8_t*>(data), static_cast<std::size_t>(size));
  } catch (...) {
    error = std::current_exception();
    return 0;
  }
  return size;
}

SinkStream::Buffer::int_type SinkStream::Buffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char byte = traits_type::to_char_type(c);
  return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

void SinkStream::Check() const {
  if (buffer_.error) std::rethrow_exception(buffer_.error);
  if (!stream_) throw std::ios_base::failure("the stream failed");
}

}  // namespace pavaneflow
