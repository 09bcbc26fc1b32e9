// Any bytes through the whole pipeline in memory: read the chart file, dance its first and last
// charts (both players of a COUPLE chart), with and without twist and with planned feet, and
// serialise the VMD bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "chart/dwi_document.h"
#include "chart/text_buffer.h"
#include "motion/footwork_figures.h"
#include "motion/run.h"
#include "motion/whole_chart_foot_planner.h"
#include "vmd/vmd_writer.h"

namespace {

void Dance(const pavaneflow::SongDocument& song, const pavaneflow::Score& score) {
  const int players = score.mode == pavaneflow::kCouple ? 2 : 1;
  for (int player = 0; player < players; ++player) {
    for (bool twist : {true, false}) {
      pavaneflow::GenerationRequest request{&song, &score, player, twist};
      pavaneflow::MotionDocument motion;
      pavaneflow::Synthesize(request, motion);
      const auto bytes = pavaneflow::SerializeVmd(motion, {.appendEmptySections = twist});
      // Every key frame is one 111-byte record after the 54-byte header.
      if ((bytes.size() - 54 - (twist ? 16 : 0)) % 111 != 0) std::abort();
    }
    // The planned footing drops no more than the classic rule, and dances like any other.
    static const pavaneflow::WholeChartFootPlanner planned;
    pavaneflow::GenerationRequest request{&song, &score, player, true};
    const auto classicFigures = pavaneflow::MeasureFootwork(request);
    request.feet = &planned;
    if (pavaneflow::MeasureFootwork(request).droppedNotes > classicFigures.droppedNotes) {
      std::abort();
    }
    pavaneflow::MotionDocument motion;
    pavaneflow::Synthesize(request, motion);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pavaneflow::TextBuffer input(std::string(reinterpret_cast<const char*>(data), size));
  pavaneflow::DWIDocument song;
  song.ReadText(input);
  if (song.scores.empty()) return 0;
  Dance(song, *song.scores.front());
  if (song.scores.size() > 1) Dance(song, *song.scores.back());
  return 0;
}
