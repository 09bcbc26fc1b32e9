#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "motion/body_proportions.h"
#include "motion/natural/beat_clock.h"
#include "motion/natural/bit_keyed_memo.h"
#include "motion/natural/foot_swings.h"
#include "motion/natural/key_track.h"
#include "motion/natural/step_timeline.h"

namespace pavaneflow {

// The key frames of the centre, and with `twist` of the upper body and the neck, for the feet
// `swings` plans. At each moment the feet plan, the centre stands over the feet (over the
// standing foot while the other is lifted) as low as both planted feet need to be reached by
// the body's legs with the knees slightly bent (crossed, nearly straight), and on each beat
// while the dancer is stepping it dips a little. It turns at most kMostTurnPerFrame between two
// frames, towards where the hips aim; the twist turns the head back by as much, so that it looks
// straight ahead.
struct CentrePath {
  KeyTrack centre;
  KeyTrack upperBody;
  KeyTrack neck;
};

// The key frames of the centre in one moment of the planned feet.
struct CentreKey {
  std::int32_t frame = 0;
  CentreEvent::Kind kind = CentreEvent::kStance;
  double x = 0.0;
  double z = 0.0;
  double rise = 0.0;
  double yaw = 0.0;
  bool beat = false;  // dipped for the groove on a beat
  bool top = false;   // the groove's rise between two beats, added on the centre's way there
  int standing = -1;  // carried: the foot that stays on the floor
  // A landing that the weight follows later: how far the key frame is held from where it would
  // stand, between the feet.
  bool held = false;
  double heldX = 0.0;
  double heldZ = 0.0;
  bool flows = false;    // passed on the way without stopping (a foot's lift)
  bool crossed = false;  // the feet stand (or land) crossed
  // Carried further over the standing foot than the landing foot is reached from here: reached
  // only on the eased way back between the feet, a frame before it lands.
  bool reachedBack = false;
  // Carried: drifts on towards the held landing after it without stopping over the standing foot.
  bool drifts = false;
  double heldSink = 0.0;  // held: how much lower the hold stands than between the feet
  bool flipTop = false;   // CentreEvent::flipTop
};

// The turns that raise a body stood crossed, by where the body and both feet are and where the
// hips aim. The pad has few panels: a dance crosses the same feet from the same place again and
// again, and each answer climbs through up to fourteen turns each way, two reaches a turn.
// 1,024 questions (56 KiB).
using CrossReachTurns = BitKeyedMemo<5, double, 10>;

// Where the centre stands on the floor.
struct FloorSpot {
  double x = 0.0;
  double z = 0.0;
  bool reachedBack = false;  // CentreKey::reachedBack of the shifted key frame
};
// Where the body shifted over the standing foot goes, by where both feet stand, the hips' aim, the
// foot that stands, how far and how deep the shift may go and, carried into a crossing, how soon
// and from where the other foot lands: each answer tries up to twenty shares of the way, two or
// three reaches each. 1,024 questions (104 KiB).
using CarryShifts = BitKeyedMemo<10, FloorSpot, 10>;

// The hips', the chest's and the head's turns on a key frame, by the hips' turn, the lean forwards
// and sideways and whether it nods on a beat: a body standing still leans alike, and a dance
// keeps to a few facings, so most key frames ask what one asked before. 4,096 questions
// (352 KiB): with 1,024, the few a dance asks pushed each other out often enough to be worked
// out thousands of times.
struct BodyTurns {
  std::array<float, 4> hips{};
  std::array<float, 4> chest{};
  std::array<float, 4> head{};
};
using BodyTurnsMemo = BitKeyedMemo<4, BodyTurns, 12>;

// Plans the centre stretch by stretch, as FootSwingPlanner plans the feet. The groove dips on
// the music's beats, as `clock` gives them; that of a stretch dips on the beats of the rest after
// it, on the way to the next stretch's first key frame, so a stretch's path is complete only once a
// later stretch with a beat is planned.
class CentrePlanner {
 public:
  CentrePlanner(const BodyProportions& body, BeatClock& clock, double straightAhead, bool twist)
      : body_(body),
        clock_(clock),
        straightAhead_(straightAhead),
        twist_(twist),
        crossReachTurns_(std::make_unique<CrossReachTurns>()),
        carryShifts_(std::make_unique<CarryShifts>()),
        bodyTurns_(std::make_unique<BodyTurnsMemo>()) {}

  // Plans the stretch of `records` whose feet are `swings`, adds to `path` the key frames now
  // complete and returns the frame before which no more will be added.
  std::int32_t Plan(const FootSwings& swings, const std::vector<StepRecord>& records,
                    CentrePath& path);
  // Adds the key frames still held back to `path`.
  void Finish(CentrePath& path);

 private:
  // Dips on the first `beats` beats (the dance ends at `boundary` when that is kNoBoundary), then
  // moves the key frames before `complete` into `path` and forgets them, those beats and the
  // first `steps` steps.
  void Complete(std::int32_t boundary, std::int32_t complete, std::size_t beats, std::size_t steps,
                CentrePath& path);
  // The hips', the chest's and the head's turns for the hips turned by `yaw`, the body leaning
  // `leanForward` and `leanSideways` degrees, nodding on a `beat` or not.
  BodyTurns TurnsAt(double yaw, double leanForward, double leanSideways, bool beat) const;
  // Whether the body passes `key` (a foot's lift) without stopping, on its way from `last` (the
  // key frame added to the path before it, if any) to `next`.
  bool Flowing(const CentreKey* last, const CentreKey& key, const CentreKey& next) const;
  // The earliest early turn (see centre_path.cpp) that turns the hips out of a flip's `top` into
  // `next` within kMostTurnPerFrame on every frame; none where the even turn has to do.
  std::optional<std::size_t> TurnedOut(const CentreKey& top, const CentreKey& next);

  const BodyProportions& body_;
  BeatClock& clock_;
  double straightAhead_;
  bool twist_;
  // The stretches held back, then the one just planned.
  std::vector<CentreKey> keys_;
  std::vector<std::int32_t> steps_;
  std::vector<std::int32_t> beats_;
  std::int32_t nextBeat_ = 0;  // the frame from which the clock's beats are not yet in beats_
  // Where a foot holds a freeze arrow down: from the record's frame to the next record's.
  std::vector<std::pair<std::int32_t, std::int32_t>> holds_;
  std::vector<CentreKey> added_;
  double lastAim_ = 0.0;  // the yaw the steps aimed the last of keys_ at, before any turn
  CentreEvent::Kind written_ = CentreEvent::kStance;  // the last key frame added to the path
  bool flowed_ = false;  // the last key frame added to the path was passed without stopping
  bool topped_ = false;  // the last key frame added to the path was the groove's rise
  std::optional<CentreKey> last_;  // and that key frame
  // Out of a flip's top: the turn into the key frame after it (see TurnedOut).
  std::optional<std::size_t> turnOut_;
  // The steepest frame of each early turn over spans of a few frames, worked out when first asked
  // for (0: not yet): flips come by the hundred, over a handful of spans.
  static constexpr std::int32_t kRememberedTurnSpans = 32;
  std::array<std::array<double, kRememberedTurnSpans>, 2> steepestTurns_{};
  std::int32_t completed_ = 0;  // the frame before which `path` is complete
  // On the heap: too large for the page's small stack.
  std::unique_ptr<CrossReachTurns> crossReachTurns_;
  std::unique_ptr<CarryShifts> carryShifts_;
  std::unique_ptr<BodyTurnsMemo> bodyTurns_;
};

inline constexpr double kMostTurnPerFrame = 18.0 * 3.14159265358979323846 / 180.0;

}  // namespace pavaneflow
