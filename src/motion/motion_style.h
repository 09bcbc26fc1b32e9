#pragma once

#include <cstddef>
#include <functional>

#include "chart/lane.h"
#include "motion/generation_request.h"
#include "vmd/motion_document.h"
#include "vmd/vmd_writer.h"

namespace pavaneflow {

class FootPlanner;
class TimingMap;

// Told while a dance is made that the first `count` key frames, in order of creation, are final.
using SettledFrames = std::function<void(std::size_t count)>;

// How a dance moves the body, given where the feet go. The synthesiser asks the style chosen
// where the GenerationRequest was built (none: the classic motion) and never which one it is.
class MotionStyle {
 public:
  virtual ~MotionStyle() = default;
  // Adds the key frames of the dance of `lane` to `document`, which is empty but for its model
  // name. The feet go where `planner` puts them, at the times `timing` gives.
  virtual void Synthesize(const GenerationRequest& request, const Lane& lane,
                          const TimingMap& timing, const FootPlanner& planner,
                          MotionDocument& document, const SettledFrames& settled) const = 0;
  // The options to write the dance with, given those the caller asked for.
  virtual VmdWriteOptions WriteOptions(VmdWriteOptions asked) const = 0;
};

}  // namespace pavaneflow
