#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "motion/body_proportions.h"
#include "motion/natural/key_track.h"
#include "motion/natural/step_timeline.h"
#include "motion/rotation.h"

namespace pavaneflow {

// The key frames of the upper arms and elbows (index 0 the left): the arms hang from the body's
// rest pose down to 65° below horizontal and swing forwards and back, one against the other,
// turning with the steps but never sooner than their own rhythm allows, with the elbows a little
// bent, more when the arm is forward and the quicker the steps. The swing widens with the pace,
// turns into a small pump in streams, opens out as a jump lands and settles when the chart rests
// for more than kRestFrames.
struct ArmSwing {
  std::array<KeyTrack, 2> arms;
  std::array<KeyTrack, 2> elbows;
};

// Plans the arms stretch by stretch, adding to an ArmSwing.
class ArmSwinger {
 public:
  explicit ArmSwinger(const BodyProportions& body);

  // Adds to `swing` the key frames of the steps of `records`, the next step landing at `next`
  // (none after the last).
  void Plan(const std::vector<StepRecord>& records, std::optional<std::int32_t> next,
            ArmSwing& swing);

 private:
  // Both arms at `frame`, the left swung `forward` degrees (the right as far back), the elbows
  // `bent` degrees and the arms `spread` degrees out from hanging.
  void Key(std::int32_t frame, double forward, double bent, double spread, ArmSwing& swing) const;
  void Swing(std::int32_t frame, bool jump, std::optional<std::int32_t> next, ArmSwing& swing);

  double lowered_;  // degrees, from the rest pose down to hanging
  std::array<Vec3, 2> bendAxis_;
  bool started_ = false;
  std::optional<std::int32_t> last_;     // the last step planned
  std::optional<std::int32_t> lastKey_;  // the last swing keyed
  double rate_ = 0.0;                    // steps a second, followed smoothly
  double side_ = 1.0;                    // the left arm swings forwards (1) or back (-1) next
};

inline constexpr std::int32_t kRestFrames = 60;

}  // namespace pavaneflow
