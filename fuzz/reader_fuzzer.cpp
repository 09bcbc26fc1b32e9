// Any bytes through the in-memory line source and the DWI reader: no crash, no undefined
// behaviour, no hang, whatever the file holds; and every Lane's Frames, the beats that are not
// stored included, come strictly ascending and as many as the Lane says.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "chart/dwi_document.h"
#include "chart/text_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Small chunks make every decoder state cross a chunk boundary sooner or later.
  const std::size_t chunkSize = size == 0 ? 0 : data[0] % 8;
  pavaneflow::TextBuffer input(std::string(reinterpret_cast<const char*>(data), size), chunkSize);
  pavaneflow::DWIDocument song;
  song.ReadText(input);
  for (const auto& score : song.scores) {
    for (const auto& lane : score->lanes) {
      std::size_t count = 0;
      std::int64_t last = INT64_MIN;
      for (const pavaneflow::Frame& frame : lane->frames) {
        if (frame.tick <= last) std::abort();
        last = frame.tick;
        ++count;
      }
      if (count != lane->frames.size()) std::abort();
    }
  }
  return 0;
}
