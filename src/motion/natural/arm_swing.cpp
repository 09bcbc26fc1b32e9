#include "motion/natural/arm_swing.h"

#include <algorithm>
#include <cmath>

#include "base/portable_math.h"
#include "motion/natural/natural_curves.h"
#include "motion/rotation.h"

namespace pavaneflow {
namespace {

// Degrees below horizontal the upper arms hang, whatever the rest pose: lowered from the
// reference body's 40° by 25°, raised from a steeper one, so that they never swing into the body.
constexpr double kHanging = 65.0;
// Degrees forwards or back, for slow steps: even half a swing, all a two-second window may
// hold when the steps come in bursts, is seen to swing.
constexpr double kLeastSwing = 14.0;
constexpr double kSwingPerStep = 2.5;  // more for each step a second
// From this many steps a second on, the arms pump: a smaller swing, the elbows bent more.
constexpr double kPumpRate = 4.0;
constexpr double kPumpSwing = 11.5;
constexpr double kElbowBend = 15.0;
constexpr double kBendPerStep = 4.0;  // more for each step a second, up to kBendRate of them
constexpr double kBendRate = 6.0;
// Turning on every other quick beat, where the body rests, the arms swing this much wider: their
// swing then marks those beats along with the body (as wide as on slower beats, 10 more lanes of
// the corpus, 21 with the classic footing, were stillest off the beat). Only 1.28 times as wide,
// the turn was outweighed by the legs, whose stillness falls half a beat after it: 25 more lanes,
// 20 with the classic footing, were stillest off the beat. Not as they settle or wake: on a beat
// marked in a rest, a wider swing moved the body off its stillness.
constexpr double kQuickSwingShare = 1.6;
// On beats under this many frames apart the arms swing wider still: there the legs' stillness
// outweighed the arms' turn the more (24 more lanes of the corpus, 17 with the classic footing,
// were stillest off the beat). It costs a step on every beat at 160 or 180 beats a minute some of
// its stillness on each (0.52 to 0.48, 0.40 to 0.36 on the Beat Align Score); sparing the odd
// beats a step lands on a beat from the steps either side, where the body rests, gave back 4 to
// 9 of those lanes, 10 to 11 with the classic footing.
constexpr std::int32_t kQuickestBeat = 12;
constexpr double kQuickestSwingShare = 1.9;
constexpr double kJumpSpread = 30.0;  // the arms open out from the body as a jump lands
// The arms turn back at most every this many frames, however quick the beats: a person's arms
// keep their own rhythm rather than flapping with every step.
constexpr std::int32_t kLeastArmFrames = 16;
constexpr std::int32_t kMostArmFrames = 30;
// A beat this many frames before a step is the step's: the arms turn on it.
constexpr std::int32_t kTurnLead = 3;
// The pace is the steps of the last two seconds, followed smoothly from step to step.
constexpr std::int32_t kIntensityFrames = 60;
constexpr double kRateFollow = 0.35;
constexpr double kElbowFollow = 0.6;  // of the forward swing, added to the bend
constexpr std::int32_t kSettleFrames = 24;
constexpr std::int32_t kWakeFrames = 15;

// A freeze held this long is danced with a gesture: the arms take kGestureRise frames to rise
// (a slow lift, well within the arms' speed), start down kGestureFall before the freeze ends and
// hang again kGestureRelease after it.
constexpr std::int32_t kLongHold = 45;
constexpr std::int32_t kGestureRise = 18;
constexpr std::int32_t kGestureFall = 10;
constexpr std::int32_t kGestureRelease = 8;
// The arm on the side of the free foot lifts out and forwards, the other opens a little and
// swings across; both open out when both feet hold. While held, the arms reach out further and
// back on the beats.
constexpr double kRaisedSpread = 40.0;
constexpr double kRaisedReach = 25.0;
constexpr double kBothSpread = 35.0;
constexpr double kBothReach = 20.0;
constexpr double kReachSpread = 5.0;  // more, reaching out
constexpr double kReachFurther = 25.0;
constexpr double kOtherSpread = 12.0;
constexpr double kOtherForward = 15.0;
constexpr double kOtherSway = 25.0;
constexpr double kGestureBend = 20.0;

}  // namespace

ArmSwinger::ArmSwinger(const BodyProportions& body, BeatClock& beats)
    : lowered_(kHanging - static_cast<double>(body.upperArmDropDegrees)), beats_(beats) {
  const double drop = static_cast<double>(body.upperArmDropDegrees) * kDegree;
  for (int side = 0; side < 2; ++side) {
    const double outwards = side == 0 ? 1.0 : -1.0;
    const Vec3 rest{outwards * portable::Cos(drop), -portable::Sin(drop), 0.0};
    const Vec3 bendAxis = Cross(rest, Vec3{0.0, 0.0, -1.0});
    bendAxis_[static_cast<std::size_t>(side)] = (1.0 / Length(bendAxis)) * bendAxis;
  }
}

void ArmSwinger::Key(std::int32_t frame, const std::array<Pose, 2>& arms, ArmSwing& swing) const {
  for (std::size_t side = 0; side < 2; ++side) {
    const Pose& pose = arms[side];
    const double outwards = side == 0 ? 1.0 : -1.0;
    const Quaternion lowered =
        AxisAngle({0.0, 0.0, 1.0}, -outwards * (lowered_ - pose.spread) * kDegree);
    const Quaternion swung = Compose(AxisAngle({1.0, 0.0, 0.0}, pose.forward * kDegree), lowered);
    const Quaternion arm =
        pose.reach == 0.0
            ? swung
            : Compose(AxisAngle({0.0, 1.0, 0.0}, outwards * pose.reach * kDegree), swung);
    const double bend = pose.bent + kElbowFollow * std::max(0.0, pose.forward);
    const Quaternion elbow = AxisAngle(bendAxis_[side], bend * kDegree);
    swing.arms[side].Add({frame, {}, ToFloats(arm), &kTurnEase});
    swing.elbows[side].Add({frame, {}, ToFloats(elbow), &kTurnEase});
  }
}

void ArmSwinger::SwingKey(std::int32_t frame, double forward, double bent, double spread,
                          ArmSwing& swing) const {
  Key(frame, {Pose{forward, spread, bent}, Pose{-forward, spread, bent}}, swing);
}

void ArmSwinger::Plan(const std::vector<StepRecord>& records, std::optional<std::int32_t> next,
                      ArmSwing& swing) {
  if (!started_) {
    started_ = true;
    SwingKey(0, 0.0, kElbowBend, 0.0, swing);
  }
  // A freeze begun before this stretch has its first key frames written already.
  for (std::size_t foot = 0; foot < 2; ++foot) holdOld_[foot] = holdFrom_[foot].has_value();
  std::optional<std::size_t> pending;  // a step whose next one is not known yet
  for (std::size_t i = 0; i < records.size(); ++i) {
    const StepRecord& r = records[i];
    for (std::size_t foot = 0; foot < 2; ++foot) {
      if (r.held[foot] && !holdFrom_[foot]) {
        holdFrom_[foot] = r.frame;
        holdOld_[foot] = false;
      } else if (!r.held[foot] && holdFrom_[foot]) {
        const std::optional<std::int32_t>& other = holdFrom_[1 - foot];
        const bool both = other && std::abs(*other - *holdFrom_[foot]) <= kTurnLead;
        if (!holdOld_[foot]) Hold(foot, *holdFrom_[foot], r.frame, both, swing);
        holdFrom_[foot].reset();
      }
    }
    if (!r.Steps() || (pending ? records[*pending].frame : last_.value_or(-1)) == r.frame) {
      continue;
    }
    if (pending) Step(records[*pending], r.frame, swing);
    pending = i;
  }
  if (pending) Step(records[*pending], next, swing);
}

std::int32_t ArmSwinger::NextTurn(std::int32_t frame, bool even) {
  const std::int32_t earliest =
      std::max(0, lastKey_ ? std::max(frame, *lastKey_ + kLeastArmFrames) : frame);
  std::optional<std::int32_t> found = beats_.From(earliest);
  // On beats too quick for a turn on each, the arms turn on the even ones, where the body rests
  // over the standing foot: the arms' still moment and the body's then fall together, every two
  // beats, on the beat.
  if (even && found && beats_.LastNumber() % 2 != 0 &&
      (!lastKey_ || *found <= *lastKey_ + kMostArmFrames)) {
    const std::optional<std::int32_t> after = beats_.From(*found + 1);
    // Not on beats so quick that the arms turn every third beat or so anyway.
    if (after && *after - *found<kLeastArmFrames&& * after - *found> kLeastArmFrames / 2) {
      return *after;
    }
  }
  const std::int32_t beat = found.value_or(earliest);
  // Where the beats are slow or stopped, the arms keep their own pace.
  return lastKey_ ? std::min(beat, std::max(earliest, *lastKey_ + kMostArmFrames)) : beat;
}

void ArmSwinger::Turn(std::int32_t frame, double spread, bool steps, ArmSwing& swing) {
  const std::optional<std::int32_t> after = beats_.From(frame + 1);
  // How quick, over the two beats to the next turn: one at a time, beats at 150 a minute fall
  // 12 and 11 frames apart by turns.
  const std::optional<std::int32_t> turn = after ? beats_.From(*after + 1) : std::nullopt;
  const double wide = !steps || !after || *after - frame >= kLeastArmFrames ? 1.0
                      : turn && *turn - frame < 2 * kQuickestBeat           ? kQuickestSwingShare
                                                                            : kQuickSwingShare;
  const double width =
      wide * (rate_ <= kPumpRate
                  ? kLeastSwing + kSwingPerStep * rate_
                  : std::max(kPumpSwing, kLeastSwing + kSwingPerStep * (2.0 * kPumpRate - rate_)));
  const double bent = kElbowBend + kBendPerStep * std::min(rate_, kBendRate);
  SwingKey(frame, side_ * width, bent, spread, swing);
  side_ = -side_;
  lastKey_ = frame;
}

// Flattened: its turns, holds and keys are small asks made at every step.
[[gnu::flatten]] void ArmSwinger::Step(const StepRecord& record, std::optional<std::int32_t> next,
                                       ArmSwing& swing) {
  const std::int32_t frame = record.frame;
  const bool rested = !last_ || frame - *last_ > kRestFrames;
  recent_.push_back(frame);
  while (recent_.front() <= frame - kIntensityFrames) recent_.pop_front();
  const double pace =
      static_cast<double>(recent_.size()) * 30.0 / static_cast<double>(kIntensityFrames);
  if (rested) {
    rate_ = std::min(pace, kPumpRate);
    lastKey_.reset();
  } else {
    rate_ += kRateFollow * (pace - rate_);
  }
  last_ = frame;
  const std::int32_t written = swing.arms[0].Empty() ? -1 : swing.arms[0].Last().frame;
  // The arms settling or ending a gesture a moment ago turn no sooner than from a turn.
  if (!lastKey_ && written > frame - kTurnLead - kLeastArmFrames) lastKey_ = written;
  std::optional<std::int32_t> woken;  // the first turn after waking
  if (!lastKey_) {
    // Waking from hanging still, the arms take up the rhythm with a half swing the other way
    // before their first turn, on the step or a beat before it, as the body gets ready.
    const std::int32_t first = NextTurn(frame - kLeastArmFrames, true);
    const std::int32_t wake = std::max(written + 1, first - kWakeFrames);
    if (first - wake >= kLeastArmFrames / 2) {
      SwingKey(wake, -side_ * kLeastSwing * 0.5, kElbowBend, 0.0, swing);
    }
    woken = first;
  }
  const bool settles = !next || *next - frame > kRestFrames;
  const bool jump = record.moved[0] && record.moved[1];
  // The arms turn on each beat up to the next step's; before a rest, on the step's own and once
  // more half way before they hang still, as arms swing on.
  bool first = true;
  for (;;) {
    // The first turn after waking is made even past the next step: on an even beat, it may
    // come a beat after a step's, and left out, the arms waited at their half swing.
    const bool waking = woken.has_value();
    const std::int32_t at = woken ? *woken : NextTurn(frame - kTurnLead, true);
    woken.reset();
    if (!settles && !waking && at >= *next - kTurnLead) break;
    const bool landing = at >= frame - kTurnLead && at - frame < kLeastArmFrames;
    Turn(at, first && jump && landing ? kJumpSpread : 0.0, !settles, swing);
    first = false;
    if (settles) break;
  }
  if (!settles) return;
  const double width = kLeastSwing + kSwingPerStep * std::min(rate_, kPumpRate);
  const double bent = kElbowBend + kBendPerStep * std::min(rate_, kBendRate);
  const std::int32_t half = NextTurn(frame);
  SwingKey(half, side_ * width * 0.5, bent, 0.0, swing);
  SwingKey(std::max(frame + kSettleFrames, half + kLeastArmFrames), 0.0, kElbowBend, 0.0, swing);
}

void ArmSwinger::Hold(std::size_t foot, std::int32_t start, std::int32_t end, bool both,
                      ArmSwing& swing) {
  if (end - start < kLongHold || start <= gestureEnd_) return;
  // The swing planned over the freeze gives way to the gesture.
  for (std::size_t side = 0; side < 2; ++side) {
    for (KeyTrack* track : {&swing.arms[side], &swing.elbows[side]}) {
      const std::vector<PendingKey>& keys = track->Keys();
      const auto after = std::upper_bound(
          keys.begin(), keys.end(), start,
          [](std::int32_t frame, const PendingKey& key) { return frame < key.frame; });
      track->Truncate(static_cast<std::size_t>(after - keys.begin()));
    }
  }
  Gesture gesture;
  gesture.start = start;
  gesture.full = start + kGestureRise;
  gesture.hold = end - kGestureFall;
  gesture.end = end + kGestureRelease;
  std::array<Pose, 2> pose;
  std::array<Pose, 2> reaching;
  if (both) {
    pose.fill(Pose{0.0, kBothSpread, kGestureBend, kBothReach});
    reaching.fill(Pose{0.0, kBothSpread + kReachSpread, kGestureBend, kBothReach + kReachFurther});
  } else {
    const std::size_t raised = 1 - foot;
    gesture.raised = raised;
    pose[raised] = Pose{0.0, kRaisedSpread, kGestureBend, kRaisedReach};
    // The other arm swings across from where its swing last took it, so that it is seen to move.
    const double lastSwing = foot == 0 ? -side_ : side_;
    pose[foot] = Pose{-lastSwing * kOtherForward, kOtherSpread, kGestureBend};
    reaching = pose;
    reaching[raised].spread += kReachSpread;
    reaching[raised].reach += kReachFurther;
    reaching[foot].forward += lastSwing * kOtherSway;
  }
  Key(gesture.full, pose, swing);
  // Held, the gesture still moves with the music: the arms reach out and back on the beats.
  lastKey_ = gesture.full;
  bool out = true;
  for (;;) {
    const std::int32_t at = NextTurn(gesture.full);
    if (at + kGestureFall > gesture.hold) break;
    Key(at, out ? reaching : pose, swing);
    lastKey_ = at;
    out = !out;
  }
  Key(gesture.hold, out ? reaching : pose, swing);
  SwingKey(gesture.end, 0.0, kElbowBend, 0.0, swing);
  swing.gestures.push_back(gesture);
  gestureEnd_ = gesture.end;
  lastKey_ = gesture.end;
}

}  // namespace pavaneflow
