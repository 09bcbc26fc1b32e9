#include "motion/step_timeline.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "chart/song_document.h"
#include "motion/frame_number.h"
#include "motion/pad_geometry.h"
#include "motion/step_pose.h"

namespace pavaneflow {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Key frames reach a little beyond the last pose (a jump's recovery, the arms settling): the
// poses stop short of the largest frame number by more than that.
constexpr std::int32_t kLastFrame = std::numeric_limits<std::int32_t>::max() - 1000;
// The hips turn this share of the way from straight ahead towards the feet's facing.
constexpr double kTurnShare = 0.5;

// The hips' aim for the classic facing of a pose, from the screen's side: half the facing's
// turn from straight ahead, a turn past the side folded back (the feet are crossed then).
double AimFromScreen(float facing) {
  const double turn = std::remainder(static_cast<double>(facing) - kPi, 2.0 * kPi);
  const double folded =
      std::fabs(turn) <= kPi / 2 ? turn : std::copysign(kPi - std::fabs(turn), turn);
  return kTurnShare * folded;
}

}  // namespace

std::vector<StepRecord> StepTimeline(const GenerationRequest& request, const Lane& lane,
                                     const TimingMap& timing, const FootPlanner& planner,
                                     bool faceViewer) {
  const double baseYaw = faceViewer ? 0.0 : kPi;
  auto floorOf = [&](ArrowCode arrow) {
    const FloorPoint p = ArrowPosition(request, arrow);
    return faceViewer ? FloorPoint{-p.x, -p.z} : p;
  };
  std::vector<StepRecord> records;
  records.reserve(lane.frames.size() + 1);
  auto record = [&](const StepPose& pose, std::int32_t frame) {
    StepRecord r;
    r.frame = records.empty() ? 0 : std::clamp(frame, records.back().frame, kLastFrame);
    r.floor = {floorOf(pose.left.arrow), floorOf(pose.right.arrow)};
    r.moved = {pose.left.moved, pose.right.moved};
    r.onBeat = pose.onBeat;
    r.yaw = baseYaw + AimFromScreen(pose.facing);
    records.push_back(r);
  };

  const std::unique_ptr<Footing> footing = planner.Start(request, lane, timing);
  StepPose previous(0, true);
  StartPose(request, previous);
  record(previous, 0);
  for (const Frame& frame : lane.frames) {
    StepPose current(SecondsToFrameNumber(timing.BeatSeconds(frame.tick), request.song->gap),
                     frame.tick % kTicksPerBeat == 0);
    footing->Step(previous, frame, current);
    record(current, current.frameNumber);
    previous = current;
  }
  return records;
}

}  // namespace pavaneflow
