#pragma once

#include <exception>
#include <ostream>
#include <streambuf>

#include "base/byte_sink.h"

namespace pavaneflow {

// An output stream into a ByteSink, for libraries that write to a std::ostream. A stream
// swallows what its buffer throws; this one keeps the first error, and Check throws it again.
class SinkStream {
 public:
  explicit SinkStream(ByteSink& sink) : buffer_(sink), stream_(&buffer_) {}
  SinkStream(const SinkStream&) = delete;
  SinkStream& operator=(const SinkStream&) = delete;

  std::ostream& Stream() { return stream_; }
  // Throws the sink's first error, if any; else a std::ios_base::failure if the stream failed.
  void Check() const;

 private:
  class Buffer : public std::streambuf {
   public:
    explicit Buffer(ByteSink& sink) : sink_(sink) {}
    std::exception_ptr error;

   protected:
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int_type overflow(int_type c) override;

   private:
    ByteSink& sink_;
  };

  Buffer buffer_;
  std::ostream stream_;
};

}  // namespace pavaneflow
