#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "chart/lane.h"
#include "motion/feet/foot_planner.h"
#include "motion/floor_point.h"
#include "motion/generation_request.h"
#include "motion/pad/step_pose.h"
#include "motion/timing/timing_map.h"

namespace pavaneflow {

// Where the feet stand after one chart Frame (or at the start), as the natural motion reads
// the footing. Index 0 is the left foot, 1 the right.
struct StepRecord {
  // Motion frame; never negative, never before the record before it (so that the dance only
  // runs forwards even where the chart's times do not), and a little short of the largest
  // frame number.
  std::int32_t frame = 0;
  std::array<FloorPoint, 2>
      floor;                    // the arrows under the feet, on the floor as the dance is turned
  std::array<bool, 2> moved{};  // the foot took a Note here
  std::array<bool, 2> held{};   // the foot holds a freeze arrow down
  bool onBeat = false;
  double yaw =
      0.0;  // where the hips aim, radians from the viewer's side, before turning is limited

  bool Steps() const { return moved[0] || moved[1]; }
};

// The starting pose and then one record per Frame of `lane`, footed by `planner`, one at a time.
// Turned round (`faceViewer`), the pad lies so that the up arrow is nearest the viewer and the
// dancer's left foot is on her left. The pad is `padScale` times its size about its centre (the
// centre of both pads), for a body larger or smaller than the reference. The hips aim between the
// feet's line and straight ahead, and with crossed feet back towards straight ahead.
class StepTimeline {
 public:
  StepTimeline(const GenerationRequest& request, const Lane& lane, const TimingMap& timing,
               const FootPlanner& planner, bool faceViewer, double padScale);

  // The next record; false after the last Frame's.
  bool Next(StepRecord& record);

 private:
  StepRecord Record(const StepPose& pose, std::int32_t frame) const;
  // Where `arrow` lies on the floor as the dance is turned.
  FloorPoint FloorOf(ArrowCode arrow) const;

  // The codes from the first pad's left arrow past the second pad's right one: their floor points
  // are worked out once, not twice a record.
  static constexpr ArrowCode kFirstKnown = u'0';
  static constexpr std::size_t kKnownCount = 32;

  const GenerationRequest& request_;
  const TimingMap& timing_;
  bool faceViewer_;
  double padScale_;
  std::unique_ptr<Footing> footing_;
  FrameList::const_iterator next_;
  FrameList::const_iterator end_;
  StepPose previous_;
  std::int32_t lastFrame_ = 0;
  bool started_ = false;
  std::array<FloorPoint, kKnownCount> knownFloors_{};  // FloorOf of each of those codes
};

}  // namespace pavaneflow
