#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "motion/body_proportions.h"
#include "motion/classic/run.h"
#include "motion/feet/whole_chart_foot_planner.h"
#include "motion/figures/body_figures.h"
#include "motion/figures/body_pose.h"
#include "motion/natural/natural_motion.h"
#include "support/dwi_fixture.h"

namespace pavaneflow {
namespace {

// A body as the runtime's test models are made: hips, knees and ankles at x = ±legX, the legs'
// heights `legScale` times the reference's with the body lowered as much, and then the whole
// figure `scale` times as large.
BodyProportions Variant(float legX, float legScale, float scale) {
  BodyProportions b;
  const float drop = 9.2f * (1.0f - legScale);
  b.hipX = legX * scale;
  b.ankleX = legX * scale;
  b.hipY = (1.3f + 9.2f * legScale) * scale;
  b.ankleY = 1.3f * scale;
  b.centreY = (8.0f - drop) * scale;
  b.thigh = 4.70f * legScale * scale;
  b.shin = 4.50f * legScale * scale;
  b.kneeForward = 0.15f * scale;
  return b;
}

double Percentile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(values.size())));
  return values[std::max<std::size_t>(rank, 1) - 1];
}

TEST(BodyFitting, TheReferenceBodyHasScaleOne) {
  EXPECT_EQ(kReferenceBody.PadScale(), 1.0);
  EXPECT_DOUBLE_EQ(Variant(0.9f, 0.75f, 1.0f).PadScale(), 0.75);
  EXPECT_NEAR(Variant(0.9f, 1.0f, 0.6f).PadScale(), 0.6, 1e-6);
}

// Danced for a body of other proportions, the steps land on a pad scaled with the legs: the
// planted ankles as far from the scaled arrow centres, in units of the scale, as the reference
// body's from the arrows (the feet stand on the inner parts of the panels), the feet reached and
// landing softly for that body's size.
TEST(BodyFitting, PlantsTheAnklesOnTheScaledArrows) {
  struct Body {
    const char* name;
    BodyProportions body;
  };
  const Body bodies[] = {
      {"the reference body", kReferenceBody},
      {"ankles at ±1.1", Variant(1.1f, 1.0f, 1.0f)},
      {"ankles at ±0.6", Variant(0.6f, 1.0f, 1.0f)},
      {"legs 0.75 times", Variant(0.9f, 0.75f, 1.0f)},
      {"legs 1.25 times", Variant(0.9f, 1.25f, 1.0f)},
      {"a figure 0.6 times as large", Variant(0.9f, 1.0f, 0.6f)},
  };
  const char* charts[] = {
      "#BPM:150;\n#SINGLE:BASIC:1:4826482648264826;\n",
      "#BPM:120;\n#SINGLE:BASIC:1:4646464612121212;\n",
      "#BPM:60;\n#SINGLE:BASIC:1:B0000000A0000000B;\n",
      "#BPM:140;\n#SINGLE:BASIC:1:!4G8080808080808;\n",
  };
  const WholeChartFootPlanner planned;
  double referenceMedian = -1.0;
  for (const Body& b : bodies) {
    SCOPED_TRACE(b.name);
    const double scale = b.body.PadScale();
    const NaturalMotion style(Facing::kViewer, b.body);
    std::vector<double> off;
    for (const char* dwi : charts) {
      SCOPED_TRACE(dwi);
      const auto read = test::ReadDwi(dwi);
      GenerationRequest request{&read->song, read->song.scores.front().get(), 0, true};
      request.feet = &planned;
      request.motion = &style;
      MotionDocument motion;
      Synthesize(request, motion);
      const BodyTracks tracks = BodyTracks::FromDocument(motion);
      const BodyFigures f = MeasureBody(tracks, b.body);
      EXPECT_LE(f.PlantedMissPercent(), 1.0);
      EXPECT_LE(f.landingSpeedP95, 0.15 * scale);
      EXPECT_LE(f.StraightAirborneKneePercent(), 30.0);
      for (std::int32_t frame = 0; frame <= tracks.LastFrame(); ++frame) {
        const BodyPose pose = PoseBody(tracks, frame, b.body);
        if (pose.centreRise > kFloorTolerance) continue;
        for (std::size_t side = 0; side < 2; ++side) {
          if (std::fabs(pose.lift[side]) > kFloorTolerance) continue;
          const Vec3 ankle = pose.legs[side].ankle;
          double nearest = 1e9;
          // Facing the viewer, the pad is turned round; its arrows are the same four points.
          for (const auto& [x, z] : {std::pair{4.0, 0.0}, {-4.0, 0.0}, {0.0, 4.0}, {0.0, -4.0}})
            nearest = std::min(nearest, std::hypot(ankle.x - x * scale, ankle.z - z * scale));
          off.push_back(nearest / scale);
        }
      }
    }
    ASSERT_FALSE(off.empty());
    const double median = Percentile(off, 0.5);
    if (referenceMedian < 0.0) referenceMedian = median;
    EXPECT_NEAR(median, referenceMedian, 0.05);
    EXPECT_LE(Percentile(off, 1.0), 2.3 + 1e-3);
  }
}

}  // namespace
}  // namespace pavaneflow
