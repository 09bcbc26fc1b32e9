#include "motion/natural/step_timeline.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/portable_math.h"
#include "chart/song_document.h"
#include "motion/pad/pad_geometry.h"
#include "motion/timing/frame_number.h"

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
  const double turn = portable::TurnRemainder(static_cast<double>(facing) - kPi);
  const double folded =
      std::fabs(turn) <= kPi / 2 ? turn : std::copysign(kPi - std::fabs(turn), turn);
  return kTurnShare * folded;
}

}  // namespace

StepTimeline::StepTimeline(const GenerationRequest& request, const Lane& lane,
                           const TimingMap& timing, const FootPlanner& planner, bool faceViewer,
                           double padScale)
    : request_(request),
      timing_(timing),
      faceViewer_(faceViewer),
      padScale_(padScale),
      footing_(planner.Start(request, lane, timing)),
      next_(lane.frames.begin()),
      end_(lane.frames.end()),
      previous_(0, true) {
  StartPose(request, previous_);
  for (std::size_t i = 0; i < kKnownCount; ++i) {
    knownFloors_[i] = FloorOf(static_cast<ArrowCode>(kFirstKnown + i));
  }
}

// Flattened: each record's floors, turns and times are small asks.
[[gnu::flatten]] bool StepTimeline::Next(StepRecord& record) {
  if (!started_) {
    started_ = true;
    record = Record(previous_, 0);
    return true;
  }
  if (next_ == end_) return false;
  const Frame& frame = *next_;
  StepPose current(SecondsToFrameNumber(timing_.BeatSeconds(frame.tick), request_.song->gap),
                   frame.tick % kTicksPerBeat == 0);
  footing_->Step(previous_, frame, current);
  ++next_;
  record = Record(current, std::clamp(current.frameNumber, lastFrame_, kLastFrame));
  lastFrame_ = record.frame;
  previous_ = current;
  return true;
}

FloorPoint StepTimeline::FloorOf(ArrowCode arrow) const {
  const FloorPoint a = ArrowPosition(request_, arrow);
  const FloorPoint p{static_cast<float>(static_cast<double>(a.x) * padScale_),
                     static_cast<float>(static_cast<double>(a.z) * padScale_)};
  return faceViewer_ ? FloorPoint{-p.x, -p.z} : p;
}

StepRecord StepTimeline::Record(const StepPose& pose, std::int32_t frame) const {
  auto floorOf = [&](ArrowCode arrow) {
    const auto known = static_cast<std::size_t>(arrow - kFirstKnown);
    return known < kKnownCount ? knownFloors_[known] : FloorOf(arrow);
  };
  StepRecord r;
  r.frame = frame;
  r.floor = {floorOf(pose.left.arrow), floorOf(pose.right.arrow)};
  r.moved = {pose.left.moved, pose.right.moved};
  r.held = {pose.left.held, pose.right.held};
  r.onBeat = pose.onBeat;
  r.yaw = (faceViewer_ ? 0.0 : kPi) + AimFromScreen(pose.facing);
  return r;
}

}  // namespace pavaneflow
