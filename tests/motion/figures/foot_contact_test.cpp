#include "motion/figures/foot_contact.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace pavaneflow {
namespace {

// Both feet sliding half a unit a frame (0.04 m): with the pelvis pushing as hard on every frame,
// each frame scores 0.04² · 10⁴.
constexpr double kSlide = 0.5;
constexpr double kBothSliding = 0.04 * 0.04 * 1e4;

TEST(FootContact, CountsFeetSlidingWhileThePelvisPushes) {
  struct Case {
    std::string name;
    std::function<Vec3(double)> pelvis;  // by frame
    std::array<double, 2> feet;          // each foot's move a frame
    double score;
  };
  const Case cases[] = {
      {"speeding up sideways, feet sliding",
       [](double f) {
         return Vec3{0.5 * f * f, 10, 0};
       },
       {kSlide, kSlide},
       kBothSliding},
      {"speeding up sideways, feet planted",
       [](double f) {
         return Vec3{0.5 * f * f, 10, 0};
       },
       {0, 0},
       0.0},
      {"speeding up, one foot sliding",
       [](double f) {
         return Vec3{0, 10, 0.5 * f * f};
       },
       {kSlide, 0},
       0.0},
      {"gliding at an even speed",
       [](double f) {
         return Vec3{0.5 * f, 10, 0};
       },
       {kSlide, kSlide},
       0.0},
      {"pushed upwards",
       [](double f) {
         return Vec3{0, 10 + 0.1 * f * f, 0};
       },
       {kSlide, kSlide},
       kBothSliding},
      {"falling: a downward pull is no push",
       [](double f) {
         return Vec3{0, 10 - 0.1 * f * f, 0};
       },
       {kSlide, kSlide},
       0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Vec3> pelvis;
    for (int f = 0; f < 40; ++f) pelvis.push_back(c.pelvis(f));
    const std::vector<std::array<double, 2>> feet(pelvis.size() - 1, c.feet);
    EXPECT_NEAR(FootContact(pelvis, feet, 0, pelvis.size()), c.score, 1e-9);
  }
}

TEST(FootContact, ScalesByTheHardestPushOfTheStretch) {
  // Frames 0–149 speed up gently with the feet sliding, 150–299 twice as hard with them planted.
  std::vector<Vec3> pelvis;
  std::vector<std::array<double, 2>> feet;
  for (int f = 0; f < 300; ++f) {
    const double t = f < 150 ? f : f - 150;
    pelvis.push_back({f < 150 ? 0.5 * t * t : 20000.0 + t * t, 10, 0});
    if (f + 1 < 300) feet.push_back(f < 149 ? std::array{kSlide, kSlide} : std::array{0.0, 0.0});
  }
  // Each five-second clip is scaled by its own hardest push.
  EXPECT_NEAR(FootContact(pelvis, feet, 0, 150), kBothSliding, 1e-9);
  EXPECT_NEAR(FootContact(pelvis, feet, 150, 300), 0.0, 1e-9);
  EXPECT_NEAR(ClipFootContact(pelvis, feet), kBothSliding / 2, 1e-9);
  // Over the whole dance the second clip's push halves the first one's share, and the jump
  // from one clip to the next is harder still.
  EXPECT_LT(FootContact(pelvis, feet, 0, 300), kBothSliding / 4);
  // Shorter than one clip: no clip.
  pelvis.resize(149);
  EXPECT_EQ(ClipFootContact(pelvis, feet), -1.0);
}

}  // namespace
}  // namespace pavaneflow
