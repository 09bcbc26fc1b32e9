#include "motion/setup/dance_request.h"

#include <utility>

#include <gtest/gtest.h>

#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

// Chart 0 is SINGLE, chart 1 COUPLE.
constexpr const char* kSong =
    "#TITLE:Setup;\n#BPM:120;\n#SINGLE:BASIC:1:2468;\n#COUPLE:MANIAC:1:24:68;\n";

TEST(MakeDanceRequest, PicksTheChartAndThePlayerOnlyACoupleChartHas) {
  const auto read = test::ReadDwi(kSong);
  const SongDocument& song = read->song;
  const struct {
    int chart;
    std::int32_t player;
    const Score* score;
    std::int32_t danced;
  } cases[] = {
      {0, 0, song.scores[0].get(), 0},
      {0, 1, song.scores[0].get(), 0},
      {1, 0, song.scores[1].get(), 0},
      {1, 1, song.scores[1].get(), 1},
      {-1, 1, nullptr, 0},
      {2, 0, nullptr, 0},
  };
  for (const auto& c : cases) {
    DanceSetup setup;
    setup.chart = c.chart;
    setup.player = c.player;
    setup.twist = false;
    const DanceRequest dance = MakeDanceRequest(song, setup);
    const GenerationRequest& request = dance.Request();
    EXPECT_EQ(request.song, &song) << c.chart;
    EXPECT_EQ(request.score, c.score) << c.chart;
    EXPECT_EQ(request.player, c.danced) << c.chart << " " << c.player;
    EXPECT_FALSE(request.twist);
  }
}

TEST(MakeDanceRequest, ClassicChoicesLeaveTheSynthesiserItsOwnRules) {
  const auto read = test::ReadDwi(kSong);
  const DanceRequest dance = MakeDanceRequest(read->song, DanceSetup{});
  EXPECT_EQ(dance.Request().timing, nullptr);
  EXPECT_EQ(dance.Request().feet, nullptr);
  EXPECT_EQ(dance.Request().motion, nullptr);
}

TEST(MakeDanceRequest, TheChosenTimingMapAndPlannerLiveAsLongAsTheRequestMoved) {
  const auto read = test::ReadDwi(kSong, ChartTiming::kGame);
  DanceSetup setup;
  setup.timing = ChartTiming::kGame;
  setup.feet = FeetChoice::kPlanned;
  setup.motion = MotionChoice::kNatural;
  DanceRequest made = MakeDanceRequest(read->song, setup);
  const TimingMap* timing = made.Request().timing;
  const FootPlanner* feet = made.Request().feet;
  const MotionStyle* motion = made.Request().motion;
  ASSERT_NE(timing, nullptr);
  ASSERT_NE(feet, nullptr);
  ASSERT_NE(motion, nullptr);
  const DanceRequest moved = std::move(made);
  EXPECT_EQ(moved.Request().timing, timing);
  EXPECT_EQ(moved.Request().feet, feet);
  EXPECT_EQ(moved.Request().motion, motion);
  // Natural motion is always written so that common readers take it.
  EXPECT_TRUE(motion->WriteOptions({}).appendEmptySections);
  EXPECT_DOUBLE_EQ(timing->BeatSeconds(48), 0.5);
}

}  // namespace
}  // namespace pavaneflow
