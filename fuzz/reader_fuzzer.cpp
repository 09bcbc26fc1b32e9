// Any bytes through the in-memory line source and the DWI reader, in classic or game timing: no
// crash, no undefined behaviour, no hang, whatever the file holds; and every Lane's Frames, the
// beats that are not stored included, come strictly ascending and as many as the Lane says. In
// game timing every Frame's time is asked for as well.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "chart/dwi_document.h"
#include "chart/text_buffer.h"
#include "motion/timing/game_timing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Small chunks make every decoder state cross a chunk boundary sooner or later.
  const std::size_t chunkSize = size == 0 ? 0 : data[0] % 8;
  const bool game = size != 0 && (data[0] & 8) != 0;
  pavaneflow::TextBuffer input(std::string(reinterpret_cast<const char*>(data), size), chunkSize);
  pavaneflow::DWIDocument song;
  song.SetTiming(game ? pavaneflow::ChartTiming::kGame : pavaneflow::ChartTiming::kClassic);
  song.ReadText(input);
  const pavaneflow::GameTiming timing(song);
  volatile double sink = 0.0;
  for (const auto& score : song.scores) {
    for (const auto& lane : score->lanes) {
      std::size_t count = 0;
      std::int64_t last = INT64_MIN;
      for (const pavaneflow::Frame& frame : lane->frames) {
        if (frame.tick <= last) std::abort();
        last = frame.tick;
        if (game) sink = timing.BeatSeconds(frame.tick);
        ++count;
      }
      if (count != lane->frames.size()) std::abort();
    }
  }
  return 0;
}
