#include "export/dance_figure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "export/humanoid_baker.h"
#include "export/reference_skeleton.h"
#include "humanoid_joints.h"
#include "motion/classic/run.h"
#include "motion/figures/body_pose.h"
#include "motion/setup/dance_request.h"
#include "support/dwi_fixture.h"
#include "support/model_bytes.h"

namespace pavaneflow {
namespace {

// Steps to every arrow and back, with a jump: the legs reach out, cross and fold.
constexpr const char* kSong = "#TITLE:Steps;\n#BPM:150;\n#SINGLE:BASIC:1:24682486A0B0;\n";

DanceSetup NaturalSetup() {
  DanceSetup setup;
  setup.chart = 0;
  setup.motion = MotionChoice::kNatural;
  return setup;
}

DanceModel ShortLeggedVrm() {
  return DanceModelFromBytes(test::GlbBytes(test::VrmJson(1, "Short", 0.75)), "short.vrm");
}

TEST(FigureOf, IsTheUsersModelWhenThereIsOneElseTheReferenceFigureOfTheBody) {
  DanceSetup setup = NaturalSetup();
  const HumanoidSkeleton reference = ReferenceSkeleton(setup.body);
  const DanceFigure plain = FigureOf(setup);
  for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
    EXPECT_EQ(plain.skeleton.joints[i].y, reference.joints[i].y) << kHumanoidBoneNames[i];
  }

  const DanceModel model = ShortLeggedVrm();
  FitTo(setup, model);
  const DanceFigure fitted = FigureOf(setup);
  EXPECT_EQ(fitted.skeleton.name, "Short");
  EXPECT_EQ(fitted.body.hipY, model.body.hipY);
  for (std::size_t i = 0; i < kHumanoidBoneCount; ++i) {
    EXPECT_EQ(fitted.skeleton.joints[i].y, model.skeleton.joints[i].y) << kHumanoidBoneNames[i];
  }
  EXPECT_LT(fitted.body.PadScale(), 0.9);
}

// The dance fitted to a model, baked for that model, puts its ankles on every frame where the
// dance's foot IK bones put them on that model (or on the straight leg towards them): the feet
// land on the model's own, scaled arrows in a player without IK.
TEST(FigureOf, AModelsDanceBakesWithTheAnklesWhereTheDancesFootIkPutsThem) {
  const auto read = test::ReadDwi(kSong);
  for (const bool withModel : {false, true}) {
    SCOPED_TRACE(withModel ? "short-legged VRM" : "reference body");
    DanceSetup setup = NaturalSetup();
    if (withModel) FitTo(setup, ShortLeggedVrm());
    const DanceRequest dance = MakeDanceRequest(read->song, setup);
    MotionDocument motion;
    Synthesize(dance.Request(), motion);
    const DanceFigure figure = FigureOf(setup);
    HumanoidBaker baker(motion, figure.skeleton, figure.body);
    const BodyTracks tracks = BodyTracks::FromDocument(motion);
    ASSERT_GT(baker.FrameCount(), 30);
    double worst = 0.0;
    for (std::int32_t frame = 0; frame < baker.FrameCount(); ++frame) {
      const PosedFigure posed = Pose(baker.Rest(), baker.Pose(frame));
      const BodyPose body = PoseBody(tracks, frame, figure.body);
      worst = std::max(worst, Distance(posed.Joint(HumanoidBone::kLeftFoot), body.legs[0].ankle));
      worst = std::max(worst, Distance(posed.Joint(HumanoidBone::kRightFoot), body.legs[1].ankle));
    }
    // A hundredth of a millimetre.
    EXPECT_LT(worst, 1e-4 / 0.08);
  }
}

}  // namespace
}  // namespace pavaneflow
