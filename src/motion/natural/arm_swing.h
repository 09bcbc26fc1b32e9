#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "motion/body_proportions.h"
#include "motion/natural/beat_clock.h"
#include "motion/natural/key_track.h"
#include "motion/natural/step_timeline.h"
#include "motion/rotation.h"

namespace pavaneflow {

// A gesture over a long freeze: the body moves into it from `start` to `full`, holds it (still
// moving a little) until `hold`, and is out of it again at `end`. `raised` is the arm lifted out
// (0 the left, 1 the right), none when both arms open out.
struct Gesture {
  std::int32_t start = 0;
  std::int32_t full = 0;
  std::int32_t hold = 0;
  std::int32_t end = 0;
  std::optional<std::size_t> raised;
};

// The key frames of the upper arms and elbows (index 0 the left): the arms hang from the body's
// rest pose down to 65° below horizontal and, while the dancer steps, swing forwards and back,
// one against the other, turning on the music's beats (on every other one when the beats come
// quicker than the arms turn), with the elbows a little bent, more when the arm is forward. How
// far they swing and how much the elbows bend follow how many steps the last two seconds held:
// wider as the steps come quicker, then a small pump with bent elbows in streams. They open out
// as a jump lands, make a gesture over a long freeze and settle when the chart rests for more
// than kRestFrames.
struct ArmSwing {
  std::array<KeyTrack, 2> arms;
  std::array<KeyTrack, 2> elbows;
  std::vector<Gesture> gestures;  // in frame order, for the upper body to join in
};

// Plans the arms stretch by stretch, adding to an ArmSwing.
class ArmSwinger {
 public:
  ArmSwinger(const BodyProportions& body, BeatClock& beats);

  // Adds to `swing` the key frames of the steps of `records`, the next step landing at `next`
  // (none after the last).
  void Plan(const std::vector<StepRecord>& records, std::optional<std::int32_t> next,
            ArmSwing& swing);

 private:
  // One arm: swung `forward` degrees (back when negative), `spread` degrees out from hanging,
  // the elbow bent `bent` degrees, and turned `reach` degrees forwards about the vertical (how an
  // arm lifted out to the side comes forwards).
  struct Pose {
    double forward = 0.0;
    double spread = 0.0;
    double bent = 0.0;
    double reach = 0.0;
  };

  void Key(std::int32_t frame, const std::array<Pose, 2>& arms, ArmSwing& swing) const;
  // The left arm swung `forward` degrees, the right as far back.
  void SwingKey(std::int32_t frame, double forward, double bent, double spread,
                ArmSwing& swing) const;
  void Step(const StepRecord& record, std::optional<std::int32_t> next, ArmSwing& swing);
  // The arms' next turn at or after `frame`: the first beat at least kLeastArmFrames after the
  // last turn, but no more than kMostArmFrames after it (the frame itself without beats).
  // `even`: on beats too quick for a turn on each, an even one (a swing while stepping; the
  // half swing into hanging still and a gesture's reach keep to the first beat).
  std::int32_t NextTurn(std::int32_t frame, bool even = false);
  // `steps`: more steps follow before the arms settle.
  void Turn(std::int32_t frame, double spread, bool steps, ArmSwing& swing);
  void Hold(std::size_t foot, std::int32_t start, std::int32_t end, bool both, ArmSwing& swing);

  double lowered_;  // degrees, from the rest pose down to hanging
  std::array<Vec3, 2> bendAxis_;
  BeatClock& beats_;
  bool started_ = false;
  std::optional<std::int32_t> last_;     // the last step planned
  std::optional<std::int32_t> lastKey_;  // the last turn keyed
  std::deque<std::int32_t> recent_;      // the steps of the last kIntensityFrames
  double rate_ = 0.0;                    // steps a second, followed smoothly
  double side_ = 1.0;                    // the left arm swings forwards (1) or back (-1) next
  std::array<std::optional<std::int32_t>, 2> holdFrom_;  // the freeze each foot holds
  std::array<bool, 2> holdOld_{};                        // begun in a stretch already written
  std::int32_t gestureEnd_ = -1;  // no gesture begins before the last one is over
};

inline constexpr std::int32_t kRestFrames = 60;

}  // namespace pavaneflow
