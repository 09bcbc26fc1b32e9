#include <filesystem>
#include <map>
#include <string>

#include <gtest/gtest.h>

#include "chart/dwi_document.h"
#include "motion/classic/run.h"
#include "motion/timing/frame_number.h"
#include "motion/timing/make_timing_map.h"

namespace pavaneflow {
namespace {

const std::filesystem::path kCorpus = PAVANEFLOW_SM_CORPUS_DIR;

std::map<std::string, std::filesystem::path> CorpusFiles() {
  std::map<std::string, std::filesystem::path> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(kCorpus)) {
    if (IsSimfile(ChartFormatOf(entry.path()))) {
      files.emplace(entry.path().lexically_relative(kCorpus).generic_string(), entry.path());
    }
  }
  return files;
}

// Every chart dances, and its Frames fall on frames that never go back and lie within the song.
TEST(SimfileDanceCorpus, EveryChartDancesOnSaneFrames) {
  if (!std::filesystem::is_directory(kCorpus)) GTEST_SKIP() << "no corpus at " << kCorpus.string();
  constexpr std::int32_t kTwentyMinutes = 30 * 60 * 20;
  for (const auto& [name, path] : CorpusFiles()) {
    SCOPED_TRACE(name);
    DWIDocument song;
    ASSERT_TRUE(song.OnOpenDocument(path)) << song.OpenError();
    for (const auto& score : song.scores) {
      const auto timing = MakeTimingMap(ChartTiming::kClassic, song, score.get());
      ASSERT_NE(timing, nullptr);
      for (const auto& lane : score->lanes) {
        std::int32_t last = -kTwentyMinutes;
        for (const Frame& frame : lane->frames) {
          const std::int32_t number =
              TimeToFrameNumber(timing->BeatSeconds(frame.tick), timing->StartSeconds(song.gap));
          EXPECT_GE(number, last) << frame.tick;
          EXPECT_LT(number, kTwentyMinutes) << frame.tick;
          last = number;
        }
      }
      GenerationRequest request{&song, score.get(), 0, true, timing.get(), nullptr};
      MotionDocument motion;
      Synthesize(request, motion);
      EXPECT_EQ(motion.FrameCount() > 0, !score->lanes.empty());
    }
  }
}

}  // namespace
}  // namespace pavaneflow
