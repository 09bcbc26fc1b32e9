#include "motion/setup/chart_outputs.h"

#include <gtest/gtest.h>

#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

// Two charts of one name, and a COUPLE chart danced once for each player.
constexpr const char* kSong =
    "#BPM:120;\n#SINGLE:BASIC:1:2468;\n#SINGLE:BASIC:2:8642;\n#COUPLE:MANIAC:1:24:68;\n";

TEST(EveryChartOutput, NamesEachChartAndPlayerApartAsConvertAllDoes) {
  const auto read = test::ReadDwi(kSong);
  DanceSetup setup;
  setup.twist = false;
  setup.player = 1;
  OutputNames names;
  const std::vector<ChartOutput> outputs =
      EveryChartOutput(read->song, "in/song.dwi", "out", setup, names);
  const struct {
    int chart;
    int player;
    const char* path;
  } expected[] = {
      {0, 0, "out/song_SINGLE_BASIC.vmd"},
      {1, 0, "out/song_SINGLE_BASIC-2.vmd"},
      {2, 0, "out/song_COUPLE_MANIAC_1P.vmd"},
      {2, 1, "out/song_COUPLE_MANIAC_2P.vmd"},
  };
  ASSERT_EQ(outputs.size(), std::size(expected));
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    EXPECT_EQ(outputs[i].setup.chart, expected[i].chart);
    EXPECT_EQ(outputs[i].setup.player, expected[i].player);
    EXPECT_FALSE(outputs[i].setup.twist);
    EXPECT_EQ(outputs[i].path, expected[i].path);
  }
  // The names are kept for the rest of the run: the same song again gets the next numbers, and
  // another extension keeps its own.
  EXPECT_EQ(EveryChartOutput(read->song, "song.sm", "out", setup, names)[0].path,
            "out/song_SINGLE_BASIC-3.vmd");
  EXPECT_EQ(names.Unique("out/./song_SINGLE_BASIC.bvh"), "out/./song_SINGLE_BASIC.bvh");
  EXPECT_EQ(names.Unique("out/song_SINGLE_BASIC.bvh"), "out/song_SINGLE_BASIC-2.bvh");
}

}  // namespace
}  // namespace pavaneflow
