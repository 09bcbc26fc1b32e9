#include "motion/model_proportions.h"

#include <gtest/gtest.h>

#include "model/model_file.h"
#include "support/model_bytes.h"

namespace pavaneflow {
namespace {

BodyProportions OfPmx(float legX, float legScale, float scale) {
  test::PmxFile file;
  file.bones = test::StandardBones(legX, legScale, scale);
  return ProportionsOf(ReadModel(test::PmxBytes(file), "m.pmx"));
}

void ExpectBody(const BodyProportions& read, const BodyProportions& expected) {
  EXPECT_NEAR(read.centreY, expected.centreY, 1e-4);
  EXPECT_NEAR(read.hipX, expected.hipX, 1e-4);
  EXPECT_NEAR(read.hipY, expected.hipY, 1e-4);
  EXPECT_NEAR(read.kneeForward, expected.kneeForward, 1e-4);
  EXPECT_NEAR(read.ankleX, expected.ankleX, 1e-4);
  EXPECT_NEAR(read.ankleY, expected.ankleY, 1e-4);
  EXPECT_NEAR(read.ankleZ, expected.ankleZ, 1e-4);
  // The reference body rounds its segments, which lean 0.15 forwards, to 4.70 and 4.50.
  EXPECT_NEAR(read.thigh, expected.thigh, 0.01);
  EXPECT_NEAR(read.shin, expected.shin, 0.01);
  EXPECT_NEAR(read.shoulderX, expected.shoulderX, 1e-4);
  EXPECT_NEAR(read.shoulderY, expected.shoulderY, 1e-4);
  EXPECT_NEAR(read.upperArmDropDegrees, expected.upperArmDropDegrees, 1e-3);
  EXPECT_NEAR(read.upperArmForwardDegrees, expected.upperArmForwardDegrees, 1e-3);
}

TEST(ModelProportions, TheStandardFigureHasTheReferenceBody) {
  const BodyProportions body = OfPmx(0.9f, 1.0f, 1.0f);
  ExpectBody(body, kReferenceBody);
  EXPECT_NEAR(body.PadScale(), 1.0, 1e-6);
}

TEST(ModelProportions, OtherFiguresGiveTheirOwn) {
  struct Case {
    float legX, legScale, scale;
    double expectedScale;
  };
  const Case cases[] = {{1.1f, 1.0f, 1.0f, 1.0},
                        {0.6f, 0.75f, 1.0f, 0.75},
                        {1.3f, 1.25f, 1.0f, 1.25},
                        {0.9f, 1.0f, 0.6f, 0.6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.legX << " " << c.legScale << " " << c.scale);
    const BodyProportions body = OfPmx(c.legX, c.legScale, c.scale);
    BodyProportions expected;
    const float drop = 9.2f * (1.0f - c.legScale);
    expected.centreY = (8.0f - drop) * c.scale;
    expected.hipX = expected.ankleX = c.legX * c.scale;
    expected.hipY = (1.3f + 9.2f * c.legScale) * c.scale;
    expected.ankleY = 1.3f * c.scale;
    expected.kneeForward = 0.15f * c.scale;
    expected.thigh = 4.7f * c.legScale * c.scale;
    expected.shin = 4.5f * c.legScale * c.scale;
    expected.shoulderX = 1.7f * c.scale;
    expected.shoulderY = (15.3f - drop) * c.scale;
    ExpectBody(body, expected);
    EXPECT_NEAR(body.PadScale(), c.expectedScale, 1e-5);
  }
}

TEST(ModelProportions, AVrmFigureInTPoseHasLevelArmsAndAScaledCentre) {
  for (const int major : {0, 1}) {
    const BodyProportions body =
        ProportionsOf(ReadModel(test::GlbBytes(test::VrmJson(major, "v", 0.8)), "v.vrm"));
    BodyProportions expected;
    const float drop = 9.2f * 0.2f;
    expected.hipY = 1.3f + 9.2f * 0.8f;
    expected.thigh = 4.7f * 0.8f;
    expected.shin = 4.5f * 0.8f;
    expected.kneeForward = 0.15f;
    expected.centreY = 1.3f + 6.7f * 0.8f;  // no centre bone: the reference's, with the legs
    expected.shoulderY = 15.3f - drop;
    expected.upperArmDropDegrees = 0.0f;
    ExpectBody(body, expected);
  }
}

}  // namespace
}  // namespace pavaneflow
