// Any bytes through the whole pipeline in memory: read the chart file, dance its first and last
// charts (both players of a COUPLE chart), with and without twist, with planned feet and in
// natural motion, and serialise the VMD bytes. The first byte's lowest bit chooses classic or game
// timing for reading and dancing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/memory_file.h"
#include "chart/dwi_document.h"
#include "chart/text_buffer.h"
#include "motion/classic/run.h"
#include "motion/feet/whole_chart_foot_planner.h"
#include "motion/figures/footwork_figures.h"
#include "motion/natural/natural_motion.h"
#include "motion/timing/make_timing_map.h"
#include "vmd/vmd_writer.h"

namespace {

void Dance(const pavaneflow::SongDocument& song, const pavaneflow::Score& score,
           const pavaneflow::TimingMap* timing) {
  const int players = score.mode == pavaneflow::kCouple ? 2 : 1;
  for (int player = 0; player < players; ++player) {
    for (bool twist : {true, false}) {
      pavaneflow::GenerationRequest request{&song, &score, player, twist, timing};
      pavaneflow::MotionDocument motion;
      pavaneflow::Synthesize(request, motion);
      pavaneflow::MemoryFile file;
      pavaneflow::WriteVmd(motion, file, {.appendEmptySections = twist});
      // Every key frame is one 111-byte record after the 54-byte header.
      if ((file.Bytes().size() - 54 - (twist ? 16 : 0)) % 111 != 0) std::abort();
    }
    // The planned footing drops no more than the classic rule, and dances like any other.
    static const pavaneflow::WholeChartFootPlanner planned;
    pavaneflow::GenerationRequest request{&song, &score, player, true, timing};
    const auto classicFigures = pavaneflow::MeasureFootwork(request);
    request.feet = &planned;
    if (pavaneflow::MeasureFootwork(request).droppedNotes > classicFigures.droppedNotes) {
      std::abort();
    }
    pavaneflow::MotionDocument motion;
    pavaneflow::Synthesize(request, motion);
    // Natural motion keys each bone in frame order from the frames it was given.
    static const pavaneflow::NaturalMotion natural;
    request.motion = &natural;
    pavaneflow::MotionDocument naturalMotion;
    pavaneflow::Synthesize(request, naturalMotion);
    if (!naturalMotion.InCreationOrder()) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  pavaneflow::TextBuffer input(std::string(reinterpret_cast<const char*>(data), size));
  pavaneflow::DWIDocument song;
  song.SetTiming(size != 0 && (data[0] & 1) != 0 ? pavaneflow::ChartTiming::kGame
                                                 : pavaneflow::ChartTiming::kClassic);
  song.ReadText(input);
  if (song.scores.empty()) return 0;
  const auto timing = pavaneflow::MakeTimingMap(song.Timing(), song);
  Dance(song, *song.scores.front(), timing.get());
  if (song.scores.size() > 1) Dance(song, *song.scores.back(), timing.get());
  return 0;
}
