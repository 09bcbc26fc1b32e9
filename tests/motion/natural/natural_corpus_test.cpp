#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/dwi_document.h"
#include "motion/classic/run.h"
#include "motion/feet/whole_chart_foot_planner.h"
#include "motion/figures/body_figures.h"
#include "motion/natural/natural_motion.h"
#include "motion/timing/make_timing_map.h"
#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = PAVANEFLOW_CORPUS_DIR;

// The figures of a natural dance within their targets; those on facing the viewer only when
// `facing` (the classic footing turns the dancer away from her feet's line).
void ExpectTargets(const BodyFigures& f, bool facing) {
  EXPECT_LE(f.PlantedMissPercent(), 2.0);
  EXPECT_LE(f.landingSpeedP95, 0.12);
  EXPECT_LE(f.largestPlantedSlide, 0.05);
  EXPECT_LE(f.StraightAirborneKneePercent(), 25.0);
  EXPECT_LE(f.longestAirborneSeconds, 0.6);
  if (facing) {
    EXPECT_LE(f.HipsAwayFromViewerPercent(), 3.0);
    EXPECT_LE(f.headFromViewerP95, 40.0);
  }
  EXPECT_LE(f.largestYawStep, 20.0);
  // −1: no two-second window with two steps.
  for (const double swing : {f.leftArmLeastSwing, f.rightArmLeastSwing})
    EXPECT_TRUE(swing < 0.0 || swing >= 10.0) << swing;
}

// Every Lane of the public corpus, in both timings, danced in natural motion with planned feet:
// the figures of the reference body stay within what makes it look like dancing, and the
// motion holds at most four times the classic motion's key frames. With the classic footing
// every target holds but the two on facing the viewer.
TEST(NaturalMotionCorpus, EveryLaneHoldsTheTargets) {
  if (!fs::is_directory(kCorpus)) GTEST_SKIP() << "no corpus of DWI files at " << kCorpus;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(kCorpus)) {
    if (entry.path().extension() == ".dwi") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  const WholeChartFootPlanner planned;
  const NaturalMotion natural;
  std::size_t classicKeys = 0;
  std::size_t naturalKeys = 0;
  int lanes = 0;
  for (const ChartTiming timing : {ChartTiming::kClassic, ChartTiming::kGame}) {
    for (const fs::path& file : files) {
      DWIDocument song;
      song.SetTiming(timing);
      ASSERT_TRUE(song.OnOpenDocument(file));
      const auto map = MakeTimingMap(timing, song);
      for (const auto& score : song.scores) {
        for (std::int32_t player = 0; player < (score->mode == kCouple ? 2 : 1); ++player) {
          SCOPED_TRACE(file.filename().string() + " " + test::Utf8(score->name) + " " +
                       std::to_string(player + 1) + "P" +
                       (timing == ChartTiming::kGame ? " game timing" : ""));
          GenerationRequest request{&song, score.get(), player, true, map.get()};
          request.feet = &planned;
          MotionDocument classic;
          Synthesize(request, classic);
          request.motion = &natural;
          MotionDocument motion;
          Synthesize(request, motion);
          classicKeys += classic.FrameCount();
          naturalKeys += motion.FrameCount();
          ++lanes;

          const BodyFigures f = MeasureBody(BodyTracks::FromDocument(motion));
          ExpectTargets(f, true);
          request.feet = nullptr;
          MotionDocument classicFeet;
          Synthesize(request, classicFeet);
          SCOPED_TRACE("classic feet");
          ExpectTargets(MeasureBody(BodyTracks::FromDocument(classicFeet)), false);
        }
      }
    }
  }
  EXPECT_GT(lanes, 1000);
  EXPECT_LE(naturalKeys, 4 * classicKeys);
}

}  // namespace
}  // namespace pavaneflow
