#include "motion/figures/beat_align.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pavaneflow {
namespace {

TEST(BeatAlign, SmoothsAsTheReferenceGaussianFilterDoes) {
  struct Case {
    std::string name;
    std::vector<double> values;
    double sigma;
    std::vector<double> expected;  // the reference filter's output
  };
  const Case cases[] = {
      {"an impulse, its tails mirrored back in at both ends",
       {0, 0, 0, 1, 0, 0, 0},
       1.0,
       {0.0045656922446460071, 0.053991127420704409, 0.24197144565660073, 0.39894346935609776,
        0.24197144565660073, 0.053991127420704409, 0.0045656922446460071}},
      {"a signal shorter than the kernel, mirrored again beyond its other end",
       {1, 2, 3},
       5.0,
       {1.9999740422296401, 2.0, 2.0000259577703594}},
      {"the first sample counted again as its own mirror",
       {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
       2.0,
       {1.1265312202486060, 0.89106974595041821, 0.55724227911022939, 0.27526768371607885,
        0.10728078699025415, 0.032940802606147276, 0.0079569365793100318, 0.0015097959302382716,
        0.00020074886871790658, 0.0, 0.0, 0.0}},
      {"nothing", {}, 5.0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<double> smoothed = GaussianSmoothed(c.values, c.sigma);
    ASSERT_EQ(smoothed.size(), c.expected.size());
    for (std::size_t i = 0; i < smoothed.size(); ++i)
      EXPECT_NEAR(smoothed[i], c.expected[i], 1e-15);
  }
}

TEST(BeatAlign, FindsStrictMinimaInside) {
  struct Case {
    std::string name;
    std::vector<double> values;
    std::vector<std::int32_t> minima;
  };
  const Case cases[] = {
      {"a dip", {2, 1, 2}, {1}},
      {"two dips", {3, 1, 3, 0, 3}, {1, 3}},
      {"a flat bottom is no minimum", {2, 1, 1, 2}, {}},
      {"the ends are never minima", {1, 2, 3, 2, 1}, {}},
      {"too short", {1, 0}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(LocalMinima(c.values), c.minima);
  }
}

TEST(BeatAlign, ScoresEachMusicBeatByItsNearestMotionBeat) {
  struct Case {
    std::string name;
    std::vector<std::int32_t> music;
    std::vector<std::int32_t> motion;
    double score;
  };
  const Case cases[] = {
      {"on every beat", {10, 30, 50}, {10, 30, 50}, 1.0},
      {"three frames late", {10, 30, 50}, {13, 33, 53}, std::exp(-0.5)},
      {"the nearer of two, before or after",
       {20, 40},
       {17, 41, 60},
       (std::exp(-0.5) + std::exp(-1.0 / 18.0)) / 2},
      {"one motion beat for many", {0, 30}, {0}, (1.0 + std::exp(-50.0)) / 2},
      {"a still dance", {10, 30}, {}, 0.0},
      {"no music beat", {}, {10}, -1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(BeatAlignScore(c.music, c.motion), c.score, 1e-12);
  }
}

}  // namespace
}  // namespace pavaneflow
