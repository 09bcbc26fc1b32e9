// Any bytes through the in-memory line source and the simfile reader, read once as .sm and once
// as .ssc: no crash, no undefined behaviour, no hang, whatever the file holds; every Lane's
// Frames come strictly ascending and as many as the Lane says, and every Frame's time is asked of
// its chart's timing map.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "chart/dwi_document.h"
#include "chart/text_buffer.h"
#include "motion/timing/make_timing_map.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Small chunks make every decoder state cross a chunk boundary sooner or later.
  const std::size_t chunkSize = size == 0 ? 0 : data[0] % 8;
  for (const auto format : {pavaneflow::ChartFormat::kSm, pavaneflow::ChartFormat::kSsc}) {
    pavaneflow::TextBuffer input(std::string(reinterpret_cast<const char*>(data), size), chunkSize);
    pavaneflow::DWIDocument song;
    song.SetFormat(format);
    song.ReadText(input);
    volatile double sink = 0.0;
    for (const auto& score : song.scores) {
      const auto timing = pavaneflow::MakeTimingMap(song.Timing(), song, score.get());
      if (timing == nullptr) std::abort();
      sink = timing->StartSeconds(song.gap);
      for (const auto& lane : score->lanes) {
        std::size_t count = 0;
        std::int64_t last = INT64_MIN;
        for (const pavaneflow::Frame& frame : lane->frames) {
          if (frame.tick <= last) std::abort();
          last = frame.tick;
          sink = timing->BeatSeconds(frame.tick);
          ++count;
        }
        if (count != lane->frames.size()) std::abort();
      }
    }
  }
  return 0;
}
