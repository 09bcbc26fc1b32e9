#include "motion/natural/foot_swings.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <optional>
#include <utility>

#include "base/portable_math.h"
#include "motion/natural/natural_curves.h"
#include "motion/segment_gap.h"
#include "motion/yaw_quaternion.h"
#include "vmd/bezier_curve.h"

namespace pavaneflow {
namespace {

constexpr double kLeastLift = 0.35;   // a step on the spot
constexpr double kLiftPerUnit = 0.2;  // more for each unit the foot travels
constexpr double kHighestLift = 2.0;
constexpr double kFullLiftFrames = 9.0;  // quicker steps lift less
constexpr double kTuck = 1.6;        // a jumping foot rises at least this much more than the centre
constexpr double kTuckedLeg = 0.85;  // of the straight leg, at the top of a jump
constexpr double kLowestJump = 0.4;
constexpr double kFullJumpFrames = 8.0;
constexpr double kJumpPerFrame = 0.07;  // the centre rises more the longer the jump
constexpr double kTakeOffCrouch = 0.5;
constexpr double kLastFrameTravel = 0.1;  // most a foot may move in the frame it lands
constexpr float kTouchHeight = 0.05f;     // just above the floor, a frame before landing
constexpr std::int32_t kCrouchFrames = 5;
// How many frames after a stretch's last moment the feet's stances are written down for: the
// centre keys a landing's weight settling a few frames after it.
constexpr std::int32_t kIndexedAfter = 8;
constexpr double kContactShare = 0.3;  // of the time between two steps of one foot
// A foot stepping at least kLongWaitFrames after the other landed leaves it standing still from
// that landing to its own lift, long enough for the stillness to be the motion's calm moment
// (where the music wants one: on a beat). Its swing takes one of kTimedSwings' lengths (up to
// kLongSwingFrames), the first that puts the middle of the stillness nearest kStillAfterBeat
// half frames after a beat: the body's speed, smoothed as the eye sees it, is lowest about a frame
// before that middle, as the landing foot still slows into it. Left a set time before its landing,
// the foot put the stillness wherever the wait happened to end: half a beat off on a step every
// other quick beat, for one.
constexpr std::int32_t kLongWaitFrames = 22;
constexpr std::int32_t kLongSwingFrames = 16;
constexpr std::array<std::int32_t, 6> kTimedSwings{kMaxSwingFrames,     kMaxSwingFrames - 1,
                                                   kMaxSwingFrames + 1, kMaxSwingFrames + 2,
                                                   kMaxSwingFrames + 3, kLongSwingFrames};
constexpr std::int32_t kStillAfterBeat = 2;
// A step of one foot needs a frame on the floor and two in the air; one that follows sooner
// joins the step before it, so that the foot goes straight on to the later panel.
constexpr std::int32_t kLeastStepFrames = 3;
constexpr std::int32_t kLeastJumpFrames = 3;
// A foot crosses the pad at most this fast on average, units a frame: its eased curve peaks at
// about 1.6 times that, under the 2.1 (5 m/s) a real foot reaches.
constexpr double kSwingSpeed = 1.15;
constexpr double kFullShiftFrames = 8.0;  // a swing this long carries the whole weight across

// A stance wider than this is narrowed by stepping on the near side of the panels: the legs
// reach no further. Crossed over both pads (as the classic footing may stand), even the near
// side is out of reach: the foot then stays short of its panel, where it is reached.
constexpr double kWidestStance = 14.0;
constexpr double kPanelSlack = 1.5;  // how far from its centre a foot may stand on a panel

// A foot that the other will cross over before it steps again stands on its panel where the
// widest of its stances up to that crossing is least wide, not on the inner part towards where
// the other foot stands now: crossing over a foot on the far side of its panel, across two pads,
// the feet stand 9 apart, a lunge at any turn of the hips. The part of the panel towards the
// crossing foot is tried in kSpotTrials steps, over kStancesAhead stances at most; no stance
// narrower than kCrossedApart (at 4 to 4.5 the crossed legs met on more frames).
constexpr int kSpotTrials = 8;
constexpr std::size_t kStancesAhead = 4;
constexpr double kCrossedApart = 4.8;
// A crossing after a rest is stood ready for through the rest, but the stance held there is
// under the body for a second or more with both feet down: it widens to no more than this (at
// 6.4 to 8.5 wide the body sank through the whole rest for a crossing of a few beats).
constexpr double kRestWidest = 6.0;

// Two feet on one panel stand side by side, their ankles this far apart (the feet are 1 wide).
constexpr double kSideBySide = 1.2;
// The longest swing that sets a foot down beside the other rather than across it.
constexpr double kOnePadSwing = 6.0;

// Players stand in the middle of the pad with the balls of their feet on the inner part of the
// panels, not on the arrows: a straight-legged stance across the panels' centres would drop
// the body into a crouch. The ball of the foot is this far ahead of the ankle; it stays this
// far inside the panel (3.4 wide), and the ankle moves at most kInnermost from the arrow.
constexpr double kBallAhead = 0.8;
constexpr double kPanelHalf = 1.7;
constexpr double kPanelMargin = 0.4;
constexpr double kInnermost = 2.3;
// The spot on the panel is found for the hips as the steps aim them; where they turn further
// to part crossed legs, a foot turned all the way with them swings its ball round the ankle, off
// the panel of a foot stood near its edge (0.3 off it, on the floor between the panels, in
// crossed jumps of the classic footing). Like a player's, the foot then turns only as far as its
// ball stays this far inside the panel, the leg twisting a little under the turned hips; moving
// the ankle back out instead widened the crossings, and the body sank into them. The share of
// the turn is found in kTurnHalvings halvings (to a 64th: the ball within 0.02 of the mark).
constexpr double kTurnedMargin = 0.0;
constexpr int kTurnHalvings = 6;
// Two feet moved in stay this much wider apart than the hips: a leg straight down under its
// hip is one the runtime's iterative IK solves poorly, short of the floor.
constexpr double kInnerSplay = 1.4;

// A swinging foot passes the standing one at least this far apart, ankle to ankle, unless it
// sets off or lands within kPassFrom of its path beside it.
constexpr double kPassBy = 1.6;
constexpr double kPassFrom = 0.15;
// A path closer than this (the cosine of its angle) to the hips' forward passes the standing
// foot on its near side, not in front or behind.
constexpr double kLeastAcross = 0.3;
// A foot goes round the standing one on the side it is crossed on only where it has the time
// to, at most this much faster than its usual pace across the pad: the swing then lifts earlier
// for its longer way, and its eased curve stays under a real foot's speed.
constexpr double kRoundPace = 1.25;
// A foot crossing behind the standing one, into a crossing or out of it, rises this share of a
// step's lift: lifted high, its knee comes forwards into the standing leg (lower, it skims the
// floor and reads as sliding). Not where the hips
// turn more than kLowTurn on the way: the standing leg then turns out of the knee's way, and a
// low foot would sweep through its shin instead.
constexpr double kBehindLift = 0.5;
// And at most this high: a long step behind, at half its lift, still bends its knee forwards
// into the standing leg. Lower steps keep their half (lower still, they would skim the floor).
constexpr double kBehindTop = 0.6;
constexpr double kLowTurn = 1.0;  // 57°
// A foot going from one crossing into the other (the other leg in front once it lands, as no turn
// of the hips parts the legs with the same one) passes the standing leg on the side it is
// crossed on while the hips turn through square, and at a step's lift its bent knee sweeps
// through the standing shin. Lifted kFlipLift times as high (at most kFlipTop), its knee comes
// up and the legs meet on fewer frames; lower, as a foot crossing behind goes, on more.
// Only a swing of kFlipFrames or more: a quicker one, lifted higher, would move the foot faster
// than a real one.
constexpr double kFlipLift = 1.5;
constexpr double kFlipTop = 2.5;
constexpr std::int32_t kFlipFrames = 8;
// A foot stepping into a crossing or out of one while the hips turn more than kLowTurn (from one
// crossing into the opposite one, the hips through square) tops its swing this far in front of
// half way, along the hips' forward: its bent knee then passes ahead of the standing leg's
// instead of through it. Only as far as its path stays within kAheadPace of the pace a foot
// keeps across the pad: a longer path, fast, would make the foot faster than a real one.
constexpr double kTurningAhead = 1.0;
constexpr double kAheadPace = 0.6;
// A foot going from one crossing into the other (Flips) must get past the standing leg on its
// crossed side while the hips turn through square: topped further in front still, it stays ahead
// of the standing leg until the hips have turned, and then drops behind it. Only in swings of
// kFlipFrames or more, like the higher lift: quicker ones would pass a real foot's speed.
constexpr double kFlipAhead = 2.0;
// And from that top it falls before it goes back: on kFootFall it would sweep back still high,
// and its knee, bent 70° and more, would pass through the standing shin while the foot is still
// crossed; dropped first, it goes behind the standing leg with the knee less bent. Both curves end
// on kFootFall's slope, so that LastFrameTravel still judges its landing.
constexpr InterpolationBytes kFlipFall =
    MakeInterpolation({40, 0, 64, 127}, {20, 40, 64, 127}, {40, 0, 64, 127}, kStraight);

// Crossed feet need the hips turned so that one leg passes in front of the other: straight
// legs this far apart leave room for the knees, which bend by different amounts; the turn
// goes at most kMostCrossTurn from straight ahead, in steps of kCrossTurnStep.
constexpr double kLegsApart = 1.5;
// Short of that with the leg in front kept in front, straight legs this far apart still beat
// turning the hips through square, where the legs meet for certain.
constexpr double kLeastApart = 0.6;
constexpr double kMostCrossTurn = 1.05;  // 60°
constexpr double kCrossTurnStep = 0.035;
constexpr double kStanceDrop = 0.8;  // as low as the centre goes for a foot to reach

double Distance(FloorPoint a, FloorPoint b) {
  return portable::Hypot(static_cast<double>(a.x) - static_cast<double>(b.x),
                         static_cast<double>(a.z) - static_cast<double>(b.z));
}

// Whether `a` lies closer than `radius` to `b`, without a square root: asked of every step.
bool Within(FloorPoint a, FloorPoint b, double radius) {
  const double dx = static_cast<double>(a.x) - static_cast<double>(b.x);
  const double dz = static_cast<double>(a.z) - static_cast<double>(b.z);
  return dx * dx + dz * dz < radius * radius;
}

// How close the straight way from `from` to `to` comes to `point`.
double PassesAt(FloorPoint from, FloorPoint to, FloorPoint point) {
  const double dx = static_cast<double>(to.x) - static_cast<double>(from.x);
  const double dz = static_cast<double>(to.z) - static_cast<double>(from.z);
  const double px = static_cast<double>(point.x) - static_cast<double>(from.x);
  const double pz = static_cast<double>(point.z) - static_cast<double>(from.z);
  const double length2 = dx * dx + dz * dz;
  const double t = length2 > 0.0 ? std::clamp((px * dx + pz * dz) / length2, 0.0, 1.0) : 0.0;
  return portable::Hypot(px - t * dx, pz - t * dz);
}

FloorPoint Between(FloorPoint a, FloorPoint b) {
  return {static_cast<float>((static_cast<double>(a.x) + static_cast<double>(b.x)) * 0.5),
          static_cast<float>((static_cast<double>(a.z) + static_cast<double>(b.z)) * 0.5)};
}

// The middle of four points, rounded once: an average of two averages, each rounded to a
// float, is not the same number from every compiler (one may keep the inner ones unrounded).
FloorPoint MiddleOf(const std::array<FloorPoint, 4>& points) {
  double x = 0.0;
  double z = 0.0;
  for (const FloorPoint& p : points) {
    x += static_cast<double>(p.x);
    z += static_cast<double>(p.z);
  }
  return {static_cast<float>(x * 0.25), static_cast<float>(z * 0.25)};
}

// `to`, moved towards `other` by its `share` of the stance's excess width, at most kPanelSlack
// unless the legs are `crossed`; both lengths `scale` times as long.
FloorPoint Narrowed(FloorPoint to, FloorPoint other, double share, bool crossed, double scale) {
  const double width = Distance(to, other);
  if (width <= kWidestStance * scale) return to;
  const double excess = (width - kWidestStance * scale) * share;
  const double move = (crossed ? excess : std::min(kPanelSlack * scale, excess)) / width;
  return {static_cast<float>(static_cast<double>(to.x) +
                             (static_cast<double>(other.x) - static_cast<double>(to.x)) * move),
          static_cast<float>(static_cast<double>(to.z) +
                             (static_cast<double>(other.z) - static_cast<double>(to.z)) * move)};
}

// How far, at most `most`, a foot may move along the unit (ux, uz) while the ball of the foot,
// (ballX, ballZ) from the centre of its panel, stays on the panel (`scale` times the reference's).
double BallRoom(double ux, double uz, double ballX, double ballZ, double most, double scale) {
  const double inside = (kPanelHalf - kPanelMargin) * scale;
  double room = most;
  auto keep = [&](double towards, double ball) {
    if (towards > 0.0) room = std::min(room, (inside - ball) / towards);
    if (towards < 0.0) room = std::min(room, (inside + ball) / -towards);
  };
  keep(ux, ballX);
  keep(uz, ballZ);
  return room;
}

// Where a foot for hips aiming at `yaw` stands on the panel of `arrow` while the other foot
// is on the panel of `otherArrow`: as far towards that one as the ball of the foot stays on its
// own panel and the feet `closest` apart; on the arrow itself when both are on one panel.
// Lengths `scale` times as long.
FloorPoint Inner(FloorPoint arrow, FloorPoint otherArrow, double yaw, double closest,
                 double scale) {
  const double dx = static_cast<double>(otherArrow.x) - static_cast<double>(arrow.x);
  const double dz = static_cast<double>(otherArrow.z) - static_cast<double>(arrow.z);
  const double length = portable::Hypot(dx, dz);
  if (length < kPanelHalf * scale) return arrow;
  const auto [sine, cosine] = portable::SinCos(yaw);
  const double shift = std::max(
      BallRoom(dx / length, dz / length, -kBallAhead * scale * sine, -kBallAhead * scale * cosine,
               std::min(kInnermost * scale, (length - closest) * 0.5), scale),
      0.0);
  return {static_cast<float>(static_cast<double>(arrow.x) + dx / length * shift),
          static_cast<float>(static_cast<double>(arrow.z) + dz / length * shift)};
}

// How far a foot standing on `to`, on the panel of `arrow`, turns with hips turned from `aimed`
// to `yaw`: all the way where the ball of the foot stays on the panel (kTurnedMargin), or no
// further out than it stood for `aimed`; else only as far as it does. `turn`: the sine and cosine
// of `yaw`, asked by the caller once for both feet of a jump. Lengths `scale` times.
double FootTurn(FloorPoint to, FloorPoint arrow, double aimed, double yaw,
                portable::SineCosine turn, double scale) {
  const double inside = (kPanelHalf - kTurnedMargin) * scale;
  const double ahead = kBallAhead * scale;
  const double x = static_cast<double>(to.x) - static_cast<double>(arrow.x);
  const double z = static_cast<double>(to.z) - static_cast<double>(arrow.z);
  const auto [sine, cosine] = turn;
  // Nearly every turned foot keeps its ball on the panel: asked first.
  if (std::fabs(x - ahead * sine) <= inside && std::fabs(z - ahead * cosine) <= inside) return yaw;
  const auto [aimedSine, aimedCosine] = portable::SinCos(aimed);
  const double mostX = std::max(inside, std::fabs(x - ahead * aimedSine));
  const double mostZ = std::max(inside, std::fabs(z - ahead * aimedCosine));
  auto fits = [&](double turnedSine, double turnedCosine) {
    return std::fabs(x - ahead * turnedSine) <= mostX &&
           std::fabs(z - ahead * turnedCosine) <= mostZ;
  };
  if (fits(sine, cosine)) return yaw;
  double fitting = 0.0;
  double over = 1.0;
  for (int halving = 0; halving < kTurnHalvings; ++halving) {
    const double share = (fitting + over) * 0.5;
    const auto [s, c] = portable::SinCos(aimed + (yaw - aimed) * share);
    (fits(s, c) ? fitting : over) = share;
  }
  return aimed + (yaw - aimed) * fitting;
}

// `to`, on the panel of `arrow`, moved towards `from` by at most `cut`, as far as the ball of a
// foot for hips aiming at `yaw` stays on the panel: a foot with too little time for the whole
// way lands on the near side of its panel, as players do in quick runs. Lengths `scale` times.
FloorPoint NearSide(FloorPoint to, FloorPoint arrow, FloorPoint from, double yaw, double cut,
                    double scale) {
  const double dx = static_cast<double>(from.x) - static_cast<double>(to.x);
  const double dz = static_cast<double>(from.z) - static_cast<double>(to.z);
  const double length = portable::Hypot(dx, dz);
  if (cut <= 0.0 || length <= 0.0) return to;
  const auto [sine, cosine] = portable::SinCos(yaw);
  const double shift = BallRoom(
      dx / length, dz / length,
      static_cast<double>(to.x) - static_cast<double>(arrow.x) - kBallAhead * scale * sine,
      static_cast<double>(to.z) - static_cast<double>(arrow.z) - kBallAhead * scale * cosine,
      std::min(cut, length), scale);
  if (shift <= 0.0) return to;
  return {static_cast<float>(static_cast<double>(to.x) + dx / length * shift),
          static_cast<float>(static_cast<double>(to.z) + dz / length * shift)};
}

// The top of a step from `from` to `to` that passes the foot standing on `standing` at least
// `clearance` away, the legs not brushing through each other: half way, pushed away from the
// standing foot on the side the straight path passes it (in front, for hips aiming at `yaw`,
// when it runs straight through), or on `side` of it along the hips' forward (1 in front, −1
// behind) when that is given: a foot that ends crossed in front of the standing one cannot have
// passed behind it on the way, whatever side of it the straight path takes.
FloorPoint Around(FloorPoint from, FloorPoint to, FloorPoint standing, double yaw, double clearance,
                  double side) {
  const FloorPoint mid = Between(from, to);
  const double ax = static_cast<double>(from.x);
  const double az = static_cast<double>(from.z);
  const double dx = static_cast<double>(to.x) - ax;
  const double dz = static_cast<double>(to.z) - az;
  const double length2 = dx * dx + dz * dz;
  if (length2 <= 0.0) return mid;
  const double sx = static_cast<double>(standing.x);
  const double sz = static_cast<double>(standing.z);
  const double t = ((sx - ax) * dx + (sz - az) * dz) / length2;
  // Near either end the feet stand beside each other on purpose.
  if (t <= kPassFrom || t >= 1.0 - kPassFrom) return mid;
  const double px = ax + dx * t - sx;
  const double pz = az + dz * t - sz;
  double nx = -portable::Sin(yaw);
  double nz = -portable::Cos(yaw);
  // Across the path, towards `side`; a path running along the hips' forward has no side to
  // pass on but the near one.
  const double length = std::sqrt(length2);
  double ux = -dz / length;
  double uz = dx / length;
  const double across = (ux * nx + uz * nz) * side;
  double beyond = portable::Hypot(px, pz);
  if (std::fabs(across) >= kLeastAcross) {
    if (across < 0.0) {
      ux = -ux;
      uz = -uz;
    }
    nx = ux;
    nz = uz;
    beyond = px * ux + pz * uz;
  } else if (beyond > 1e-6) {
    nx = px / beyond;
    nz = pz / beyond;
  }
  if (beyond >= clearance) return mid;
  // The path bends at its top: pushed twice the shortfall, its two halves clear the foot.
  const double push = 2.0 * (clearance - beyond);
  return {static_cast<float>(static_cast<double>(mid.x) + nx * push),
          static_cast<float>(static_cast<double>(mid.z) + nz * push)};
}

// How far the foot moves in the last frame of a fall over `frames` frames on kFootFall.
double LastFrameTravel(FloorPoint from, double height, FloorPoint to, std::int32_t frames) {
  static const BezierCurve across(kSlowEnd.x1, kSlowEnd.y1, kSlowEnd.x2, kSlowEnd.y2);
  static const BezierCurve down(kSlowInSlowOut.x1, kSlowInSlowOut.y1, kSlowInSlowOut.x2,
                                kSlowInSlowOut.y2);
  // A fall takes a few frames, mostly the same few: each count's progress is found once.
  struct Progress {
    double across = 0.0;
    double down = 0.0;
  };
  static const auto progress = [] {
    std::array<Progress, kLongSwingFrames + kMaxJumpFrames> counts;
    for (std::size_t n = 1; n < counts.size(); ++n) {
      const double x = static_cast<double>(n - 1) / static_cast<double>(n);
      counts[n] = {across.Progress(x), down.Progress(x)};
    }
    return counts;
  }();
  Progress p;
  if (frames > 0 && static_cast<std::size_t>(frames) < progress.size()) {
    p = progress[static_cast<std::size_t>(frames)];
  } else {
    const double x = static_cast<double>(frames - 1) / static_cast<double>(frames);
    p = {across.Progress(x), down.Progress(x)};
  }
  return portable::Hypot((1.0 - p.across) * Distance(from, to), (1.0 - p.down) * height);
}

// A quick swing's shape in time, the curves across of its rise to the top and of its fall to the
// touch (up and down as ever). kFootRise and kFootFall ease out of the lift and into the landing,
// and peak at over 1.5 times the foot's mean speed in the middle: in a quick run across the pad
// that is past a real foot's. Such a swing takes the first of these that stays under kQuickestFoot,
// flatter each, as a player's foot snaps across and the frame before the landing still slows it.
struct SwingProfile {
  CurveBytes rise;
  CurveBytes fall;
  InterpolationBytes riseBytes;
  InterpolationBytes fallBytes;
};
constexpr SwingProfile MakeProfile(CurveBytes rise, CurveBytes fall) {
  return {rise, fall, MakeInterpolation(rise, kSlowInSlowOut, rise, kStraight),
          MakeInterpolation(fall, kSlowInSlowOut, fall, kStraight)};
}
constexpr std::array<SwingProfile, 4> kQuickProfiles{
    MakeProfile(kSlowStart, kSlowEnd), MakeProfile(kEasedStart, kEasedEnd),
    MakeProfile({30, 10, 107, 107}, {20, 20, 97, 117}), MakeProfile(kStraight, kStraight)};
constexpr double kQuickestFoot = 2.1;
// What a player's foot snaps across the pad at, units a frame, when it must.
constexpr double kFastestSnap = 3.5;
// The mean speed, path and lift together, over which a swing's peak is worth working out: the
// usual curves peak at about 1.55 times it, up and down included.
constexpr double kQuickMean = kQuickestFoot / 1.75;
// Spans of a swing's curves, in frames, that the progress tables hold; longer ones are never quick.
constexpr std::int32_t kLongestSpan = 24;

// The curves a quick swing's frames are worked out on, in the planner's progress tables: each
// profile's across rising, then each one's across falling, then up and down.
constexpr std::size_t kQuickCurves = 2 * kQuickProfiles.size() + 1;
constexpr std::size_t kHeightCurve = kQuickCurves - 1;
constexpr std::size_t kSpanEntries = kLongestSpan + 1;

CurveBytes QuickCurve(std::size_t curve) {
  if (curve == kHeightCurve) return kSlowInSlowOut;
  return curve < kQuickProfiles.size() ? kQuickProfiles[curve].rise
                                       : kQuickProfiles[curve - kQuickProfiles.size()].fall;
}

// Whether a swing rising over `up` frames from `from` to `top` high over `mid` and falling over
// `down` from there to `to` (lengths `scale` times the reference's) may be quick enough to pass a
// real foot's speed on the usual curves: its way, however it bends at the top, is no longer than
// the root of twice the sum of its two halves' squares. Most swings are not, and are told so here
// for a few multiplications.
inline bool MayBeQuick(FloorPoint from, FloorPoint mid, double top, FloorPoint to, std::int32_t up,
                       std::int32_t down, double scale) {
  if (down < 1 || up + down >= kLongestSpan) return false;
  const double slowest = kQuickMean * scale * static_cast<double>(up + down) - top;
  const double ax = static_cast<double>(mid.x) - static_cast<double>(from.x);
  const double az = static_cast<double>(mid.z) - static_cast<double>(from.z);
  const double bx = static_cast<double>(to.x) - static_cast<double>(mid.x);
  const double bz = static_cast<double>(to.z) - static_cast<double>(mid.z);
  return slowest <= 0.0 || 2.0 * (ax * ax + az * az + bx * bx + bz * bz) > slowest * slowest;
}

// The top of a quick swing from `from` to `to`, `mid` on the usual curves, moved along the way to
// where the foot is at its share of the `up` and `down` frames in the air before the touch: half
// way, on a fall a frame shorter than the rise, the fall would take the other half in fewer frames.
FloorPoint QuickTop(FloorPoint from, FloorPoint mid, FloorPoint to, std::int32_t up,
                    std::int32_t down) {
  const double shift = static_cast<double>(up) / static_cast<double>(up + down) - 0.5;
  return {static_cast<float>(static_cast<double>(mid.x) +
                             shift * (static_cast<double>(to.x) - static_cast<double>(from.x))),
          static_cast<float>(static_cast<double>(mid.z) +
                             shift * (static_cast<double>(to.z) - static_cast<double>(from.z)))};
}

// Whether a swing on the straight profile, rising over `up` frames from `from` to `top` high over
// `mid` and falling over `down` from there to its touch above `to`, may move further than
// `quickest` in a frame: across, it moves evenly, and up or down no more in a frame than its whole
// height. Most quick swings are well under a snap, and are told so here for a few
// multiplications rather than frame by frame (a little slack for the curve's rounding).
inline bool MaySnap(FloorPoint from, FloorPoint mid, double top, FloorPoint to, std::int32_t up,
                    std::int32_t down, double quickest) {
  auto square = [](double v) { return v * v; };
  const double ax = static_cast<double>(mid.x) - static_cast<double>(from.x);
  const double az = static_cast<double>(mid.z) - static_cast<double>(from.z);
  const double bx = static_cast<double>(to.x) - static_cast<double>(mid.x);
  const double bz = static_cast<double>(to.z) - static_cast<double>(mid.z);
  const double most = square(0.99 * quickest) - square(top);
  return (ax * ax + az * az) > most * square(static_cast<double>(up)) ||
         (bx * bx + bz * bz) > most * square(static_cast<double>(down));
}

// `at` moved `by` along the left side of hips aiming at `yaw` (the dancer's left, negative: right).
FloorPoint Beside(FloorPoint at, double yaw, double by) {
  return {static_cast<float>(static_cast<double>(at.x) + by * portable::Cos(yaw)),
          static_cast<float>(static_cast<double>(at.z) - by * portable::Sin(yaw))};
}

// 1 where the left foot on `left` stands ahead of the right foot on `right` along the forward of
// hips aiming at `yaw`, else −1.
double Ahead(FloorPoint left, FloorPoint right, double yaw) {
  const auto [sine, cosine] = portable::SinCos(yaw);
  const double ahead = -(static_cast<double>(left.x) - static_cast<double>(right.x)) * sine -
                       (static_cast<double>(left.z) - static_cast<double>(right.z)) * cosine;
  return ahead >= 0.0 ? 1.0 : -1.0;
}

}  // namespace

void FootSwingPlanner::Plan(const std::vector<StepRecord>& records, FootSwings& swings,
                            const StepRecord* after) {
  swings_ = &swings;
  swings.Unindex();
  for (int side = 0; side < 2; ++side) {
    swings.keys[side].Clear();
    swings.supports[side].clear();
    // Nothing of the stretch before is near enough to join a step of this one.
    before_[side].known = false;
  }
  swings.events.clear();
  std::size_t k = 0;
  if (!started_) {
    started_ = true;
    const StepRecord& start = records.front();
    stand_ = StartingStance(records);
    for (int side = 0; side < 2; ++side) {
      yaw_[side] = start.yaw;
      Key(side, 0, stand_[side], 0.0f, start.yaw, &kDefaultInterpolation);
    }
    Event(0, CentreEvent::kStance, -1, start.yaw, 0.0);
    stanceYaw_ = start.yaw;
    k = 1;
  }
  for (; k < records.size(); ++k) {
    const StepRecord& r = records[k];
    if (!r.Steps()) continue;
    if (r.moved[0] && r.moved[1]) {
      Jump(r);
    } else {
      const int side = r.moved[0] ? 0 : 1;
      Step(side, r, Spot(side, records, k, after));
    }
  }
  for (int side = 0; side < 2; ++side)
    swings.supports[side].push_back(
        {landed_[side], std::numeric_limits<std::int32_t>::max(), stand_[side]});
  // Nearly in order already (a lift comes a little before the other foot's landing): inserting
  // each behind those of its frame keeps them in the order they were found.
  auto& events = swings.events;
  for (auto it = events.begin(); it != events.end(); ++it) {
    // Most are behind all those before them already: no search for them.
    if (it == events.begin() || (it - 1)->frame <= it->frame) continue;
    const auto to =
        std::upper_bound(events.begin(), it, it->frame,
                         [](std::int32_t frame, const CentreEvent& e) { return frame < e.frame; });
    std::rotate(to, it, it + 1);
  }
  // The centre asks about its key frames, which are these moments and a few frames after them.
  if (!events.empty()) swings.Index(events.front().frame, events.back().frame + kIndexedAfter);
}

std::array<FloorPoint, 2> FootSwingPlanner::StartingStance(
    const std::vector<StepRecord>& records) const {
  const StepRecord& start = records.front();
  std::array<FloorPoint, 2> stance;
  for (int side = 0; side < 2; ++side)
    stance[side] = Inward(start.floor[side], start.floor[1 - side], start.yaw);
  std::array<FloorPoint, 2> ready = stance;
  for (int side = 0; side < 2; ++side) {
    const auto first = std::find_if(records.begin() + 1, records.end(),
                                    [side](const StepRecord& r) { return r.moved[side]; });
    if (first == records.end()) continue;
    const FloorPoint panel = Inward(first->floor[side], start.floor[1 - side], start.yaw);
    if (first->frame < SwingFrames(Distance(stance[side], panel))) ready[side] = panel;
  }
  // Not where the feet would stand on each other or crossed.
  if (Distance(ready[0], ready[1]) < kSideBySide * scale_ || Crossed(ready[0], ready[1], start.yaw))
    return stance;
  return ready;
}

// Undoes the last step of `side` while the step landing at `land` would have too little time.
void FootSwingPlanner::MakeRoom(int side, std::int32_t land) {
  const Before& b = before_[side];
  if (!b.known || land - landed_[side] >= kLeastStepFrames) return;
  stand_[side] = b.stand;
  landed_[side] = b.landed;
  yaw_[side] = b.yaw;
  swings_->keys[side].Truncate(b.keys);
  swings_->supports[side].resize(b.supports);
  // The step's own moments go with it; they are among the last ones found.
  auto& events = swings_->events;
  for (std::size_t i = events.size(); i-- > 0 && events[i].step >= b.step;) {
    if (events[i].step == b.step) events.erase(events.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

void FootSwingPlanner::Event(std::int32_t frame, CentreEvent::Kind kind, int standing, double yaw,
                             double rise) {
  swings_->events.push_back({frame, kind, standing, yaw, rise, step_});
}

void FootSwingPlanner::Key(int side, std::int32_t frame, FloorPoint at, float lift, double yaw,
                           const InterpolationBytes* curve) {
  const float outwards = side == 0 ? body_.ankleX : -body_.ankleX;
  const auto angle = static_cast<float>(yaw);
  const auto angleBits = compat::bit_cast<std::uint32_t>(angle);
  LastTurn& last = lastTurns_[static_cast<std::size_t>(side)];
  if (!last.known || last.angleBits != angleBits) last = {angleBits, true, YawQuaternion(angle)};
  swings_->keys[side].Add(
      {frame,
       {static_cast<float>(static_cast<double>(at.x) - static_cast<double>(outwards)), lift, at.z},
       last.rotation,
       curve});
}

// The foot leaves `stand_` at `lift`, passes `top` high at `apex` (none when apex <= lift) and
// lands on `to` at `land`, a frame early just above the floor where one curve would still be
// moving fast.
void FootSwingPlanner::Swing(int side, std::int32_t lift, std::int32_t apex, double top,
                             std::int32_t land, FloorPoint to, double yaw, double turn,
                             FloorPoint round, double ahead, const InterpolationBytes* fall,
                             const std::optional<std::size_t>* shared) {
  const FloorPoint from = stand_[side];
  before_[side] = {true,
                   from,
                   landed_[side],
                   yaw_[side],
                   swings_->keys[side].Keys().size(),
                   swings_->supports[side].size()};
  swings_->supports[side].push_back({landed_[side], lift, from});
  // Lifting on the frame it landed, the landing's key frame is the lift's.
  if (lift > landed_[side]) Key(side, lift, from, 0.0f, yaw_[side], &kDefaultInterpolation);
  FloorPoint fallFrom = from;
  double fallHeight = 0.0;
  std::int32_t fallStart = lift;
  const InterpolationBytes* rise = &kFootRise;
  bool snaps = false;
  if (apex > lift && apex < land) {
    // Most swings top where they pass: no call for them.
    FloorPoint mid = ahead > 0.0 ? Forward(from, round, to, yaw, ahead, land - lift) : round;
    // A swing bent round the standing foot is quick as well: across both pads, lifted high on
    // its longer way, it peaked at 2.7 a frame on the usual curves.
    const std::optional<std::size_t> profile =
        shared != nullptr ? *shared
        : fall == &kFootFall && MayBeQuick(from, mid, top, to, apex - lift, land - 1 - apex, scale_)
            ? QuickProfile(from, mid, top, to, lift, apex, land)
            : std::nullopt;
    if (profile) {
      // Too far to cross by its touch at a foot's snap even straight across (an 8-unit tap in
      // three frames), it comes down into the landing across the last frame as well: a hard
      // landing rather than a foot faster than a player's. Only a swing with a frame between its
      // top and its touch: a shorter one lands without a touch already, its fall eased. A foot of
      // a quick jump as well, on its own (a jump three frames on crossed 7.5 units at 3.9 a frame
      // into its touch); the other foot of the jump still touches if it makes it.
      if (land - 1 > apex) {
        const FloorPoint touchTop = QuickTop(from, mid, to, apex - lift, land - 1 - apex);
        snaps =
            MaySnap(from, touchTop, top, to, apex - lift, land - 1 - apex, kFastestSnap * scale_) &&
            Faster(from, touchTop, top, to, apex - lift, land - 1 - apex, kQuickProfiles.size() - 1,
                   kFastestSnap * scale_);
      }
      mid = QuickTop(from, mid, to, apex - lift, land - (snaps ? 0 : 1) - apex);
      const std::size_t chosen = snaps ? kQuickProfiles.size() - 1 : *profile;
      rise = &kQuickProfiles[chosen].riseBytes;
      fall = &kQuickProfiles[chosen].fallBytes;
    }
    Key(side, apex, mid, static_cast<float>(top), (turn + yaw_[side]) * 0.5, rise);
    fallFrom = mid;
    fallHeight = top;
    fallStart = apex;
  }
  const std::int32_t frames = land - fallStart;
  // A quick profile always touches first: the frame before the landing slows whatever comes into
  // it.
  if (frames >= 2 && !snaps &&
      (rise != &kFootRise ||
       LastFrameTravel(fallFrom, fallHeight, to, frames) > kLastFrameTravel * scale_)) {
    Key(side, land - 1, to, static_cast<float>(static_cast<double>(kTouchHeight) * scale_), turn,
        fall);
    Key(side, land, to, 0.0f, turn, &kDefaultInterpolation);
  } else {
    Key(side, land, to, 0.0f, turn, fall);
  }
  stand_[side] = to;
  landed_[side] = land;
  yaw_[side] = turn;
}

const double* FootSwingPlanner::QuickProgress(std::size_t curve, std::int32_t frames) const {
  if (quickProgress_.empty()) {
    quickProgress_.resize(kQuickCurves * kSpanEntries * kSpanEntries);
    quickKnown_.assign(kQuickCurves * kSpanEntries, false);
  }
  const std::size_t row = curve * kSpanEntries + static_cast<std::size_t>(frames);
  double* const progress = &quickProgress_[row * kSpanEntries];
  if (!quickKnown_[row]) {
    const CurveBytes c = QuickCurve(curve);
    const BezierCurve bezier(c.x1, c.y1, c.x2, c.y2);
    for (std::int32_t k = 0; k <= frames; ++k) {
      progress[k] = bezier.Progress(static_cast<double>(k) / static_cast<double>(frames));
    }
    quickKnown_[row] = true;
  }
  return progress;
}

bool FootSwingPlanner::Faster(FloorPoint from, FloorPoint mid, double top, FloorPoint to,
                              std::int32_t up, std::int32_t down, std::size_t profile,
                              double quickest) const {
  const double touch = static_cast<double>(kTouchHeight) * scale_;
  const double most = quickest * quickest;
  double x = static_cast<double>(from.x);
  double z = static_cast<double>(from.z);
  double y = 0.0;
  // Whether a frame of the way from `a`, `ya` high, to `b`, `yb` high, over `frames` frames on
  // `across` moves the foot further than `quickest`.
  auto leg = [&](FloorPoint a, double ya, FloorPoint b, double yb, std::int32_t frames,
                 std::size_t across) {
    const double* along = QuickProgress(across, frames);
    const double* upDown = QuickProgress(kHeightCurve, frames);
    for (std::int32_t k = 1; k <= frames; ++k) {
      const double nx = static_cast<double>(a.x) +
                        (static_cast<double>(b.x) - static_cast<double>(a.x)) * along[k];
      const double nz = static_cast<double>(a.z) +
                        (static_cast<double>(b.z) - static_cast<double>(a.z)) * along[k];
      const double ny = ya + (yb - ya) * upDown[k];
      if ((nx - x) * (nx - x) + (ny - y) * (ny - y) + (nz - z) * (nz - z) > most) return true;
      x = nx;
      y = ny;
      z = nz;
    }
    return false;
  };
  return leg(from, 0.0, mid, top, up, profile) ||
         leg(mid, top, to, touch, down, kQuickProfiles.size() + profile);
}

std::optional<std::size_t> FootSwingPlanner::QuickProfile(FloorPoint from, FloorPoint mid,
                                                          double top, FloorPoint to,
                                                          std::int32_t lift, std::int32_t apex,
                                                          std::int32_t land) const {
  const std::int32_t up = apex - lift;
  const std::int32_t down = land - 1 - apex;
  const QuickProfileMemo::Question question{from, mid, to, top, up, down};
  if (const std::optional<std::int8_t> known = quickProfiles_.Find(question)) {
    if (*known < 0) return std::nullopt;
    return static_cast<std::size_t>(*known);
  }
  std::optional<std::size_t> chosen;
  const double quickest = kQuickestFoot * scale_;
  if (Faster(from, mid, top, to, up, down, 0, quickest)) {
    const FloorPoint along = QuickTop(from, mid, to, up, down);
    chosen = kQuickProfiles.size() - 1;
    for (std::size_t p = 0; p + 1 < kQuickProfiles.size(); ++p) {
      if (!Faster(from, along, top, to, up, down, p, quickest)) {
        chosen = p;
        break;
      }
    }
  }
  quickProfiles_.Remember(question, chosen ? static_cast<std::int8_t>(*chosen) : std::int8_t{-1});
  return chosen;
}

std::size_t FootSwingPlanner::TradingProfile(const std::array<FloorPoint, 2>& via,
                                             const std::array<FloorPoint, 2>& to,
                                             const std::array<double, 2>& tops, std::int32_t up,
                                             std::int32_t down,
                                             std::array<FloorPoint, 2>& round) const {
  const double shift = static_cast<double>(up) / static_cast<double>(up + down) - 0.5;
  auto way = [&](int side, auto coordinate) {
    return static_cast<double>(coordinate(to[side])) -
           static_cast<double>(coordinate(stand_[side]));
  };
  auto x = [](FloorPoint p) { return p.x; };
  auto z = [](FloorPoint p) { return p.z; };
  const double moveX = 0.5 * shift * (way(0, x) + way(1, x));
  const double moveZ = 0.5 * shift * (way(0, z) + way(1, z));
  std::array<FloorPoint, 2> moved{};
  for (int side = 0; side < 2; ++side) {
    const auto s = static_cast<std::size_t>(side);
    moved[s] = {static_cast<float>(static_cast<double>(via[s].x) + moveX),
                static_cast<float>(static_cast<double>(via[s].z) + moveZ)};
    // Swing moves the top by the foot's own share of its way: it starts that much short.
    round[s] = {static_cast<float>(static_cast<double>(moved[s].x) - shift * way(side, x)),
                static_cast<float>(static_cast<double>(moved[s].z) - shift * way(side, z))};
  }
  const double quickest = kQuickestFoot * scale_;
  for (std::size_t p = 0; p + 1 < kQuickProfiles.size(); ++p) {
    if (!Faster(stand_[0], moved[0], tops[0], to[0], up, down, p, quickest) &&
        !Faster(stand_[1], moved[1], tops[1], to[1], up, down, p, quickest))
      return p;
  }
  return kQuickProfiles.size() - 1;
}

FloorPoint FootSwingPlanner::Forward(FloorPoint from, FloorPoint mid, FloorPoint to, double yaw,
                                     double ahead, std::int32_t frames) const {
  const double longest = kAheadPace * kSwingSpeed * scale_ * static_cast<double>(frames);
  // Halved until the path fits; a push of a tenth of a unit or less is not worth a bend.
  for (double by = ahead * scale_; by > 0.1 * scale_; by *= 0.5) {
    const FloorPoint top{static_cast<float>(static_cast<double>(mid.x) - by * portable::Sin(yaw)),
                         static_cast<float>(static_cast<double>(mid.z) - by * portable::Cos(yaw))};
    if (Distance(from, top) + Distance(top, to) <= longest) return top;
  }
  return mid;
}

FloorPoint FootSwingPlanner::Inward(FloorPoint arrow, FloorPoint otherArrow, double yaw) const {
  const InwardMemo::Question question{arrow, otherArrow, yaw};
  if (const auto found = inwards_.Find(question)) return *found;
  // A stance the legs do not reach is narrowed on the near side of the panels instead.
  const FloorPoint at = Distance(arrow, otherArrow) > kWidestStance * scale_
                            ? arrow
                            : Inner(arrow, otherArrow, yaw, Closest(), scale_);
  inwards_.Remember(question, at);
  return at;
}

double FootSwingPlanner::Closest() const {
  return 2.0 * static_cast<double>(body_.hipX) + kInnerSplay * scale_;
}

double FootSwingPlanner::StraightLegsGap(FloorPoint left, FloorPoint right, double yaw) const {
  const FloorPoint middle = Between(left, right);
  const double hipX = static_cast<double>(body_.hipX);
  const double hipY = static_cast<double>(body_.hipY);
  const double ankleY = static_cast<double>(body_.ankleY);
  const auto [sine, cosine] = portable::SinCos(yaw);
  const double across = hipX * cosine;
  const double along = hipX * sine;
  const Vec3 leftHip{static_cast<double>(middle.x) + across, hipY,
                     static_cast<double>(middle.z) - along};
  const Vec3 rightHip{static_cast<double>(middle.x) - across, hipY,
                      static_cast<double>(middle.z) + along};
  return SegmentGap(leftHip, {static_cast<double>(left.x), ankleY, static_cast<double>(left.z)},
                    rightHip, {static_cast<double>(right.x), ankleY, static_cast<double>(right.z)});
}

std::pair<double, double> FootSwingPlanner::FlatToHips(FloorPoint left, FloorPoint right,
                                                       double yaw) const {
  const FloorPoint middle = Between(left, right);
  const auto [sine, cosine] = portable::SinCos(yaw);
  const double across = static_cast<double>(body_.hipX) * cosine;
  const double along = static_cast<double>(body_.hipX) * sine;
  auto flat = [&](FloorPoint foot, double sign) {
    return portable::Hypot(
        static_cast<double>(middle.x) + sign * across - static_cast<double>(foot.x),
        static_cast<double>(middle.z) - sign * along - static_cast<double>(foot.z));
  };
  return {flat(left, 1.0), flat(right, -1.0)};
}

double FootSwingPlanner::StanceHeight() const {
  return static_cast<double>(body_.hipY) - static_cast<double>(body_.ankleY) - kStanceDrop * scale_;
}

bool FootSwingPlanner::Reached(FloorPoint left, FloorPoint right, double yaw) const {
  const auto [toLeft, toRight] = FlatToHips(left, right, yaw);
  const double height = StanceHeight();
  const double reach = body_.LegLength();
  return toLeft * toLeft + height * height <= reach * reach &&
         toRight * toRight + height * height <= reach * reach;
}

double FootSwingPlanner::Overreach(FloorPoint left, FloorPoint right, double yaw) const {
  const auto [toLeft, toRight] = FlatToHips(left, right, yaw);
  const double height = StanceHeight();
  const double reach = body_.LegLength();
  const double flatReach = std::sqrt(std::max(reach * reach - height * height, 0.0));
  return std::max(toLeft - flatReach, toRight - flatReach);
}

double FootSwingPlanner::Uncrossed(double yaw, FloorPoint left, FloorPoint right) const {
  if (!Crossed(left, right, yaw)) return yaw;
  const double from = std::clamp(portable::TurnRemainder(stanceYaw_ - straightAhead_),
                                 -kMostCrossTurn, kMostCrossTurn);
  // Feet crossed already keep the leg that passes in front in front: turned the other way, the
  // hips would swing through square while the feet stay crossed, the legs through each other.
  const double front =
      Crossed(stand_[0], stand_[1], stanceYaw_) ? Ahead(stand_[0], stand_[1], stanceYaw_) : 0.0;
  const CrossTurnMemo::Question question{yaw, from, front, left, right};
  if (const std::optional<double> known = crossTurns_.Find(question)) return *known;
  const double turn = PartingTurn(yaw, from, front, left, right);
  crossTurns_.Remember(question, turn);
  return turn;
}

double FootSwingPlanner::PartingTurn(double yaw, double from, double front, FloorPoint left,
                                     FloorPoint right) const {
  const double apart = kLegsApart * scale_;
  const double atYaw = StraightLegsGap(left, right, yaw);
  const std::size_t yawWay = front == 0.0 || Ahead(left, right, yaw) == front ? 0 : 1;
  if (atYaw >= apart && yawWay == 0) return yaw;
  // The turn nearest to where the hips aim already that parts the legs, the left one on the
  // `front` side of the right; failing that, the one on that side that parts them most, if it
  // parts them kLeastApart; failing that, the nearest that parts them the other way, or the one
  // that parts them most. Turned from one side to the other at every step of a crossing, the
  // hips would swing through square while the feet stay crossed, the legs through each other.
  // A stance too wide for the legs from any turn takes a turn that brings no hip further out of
  // its foot's reach than the hips' aim does.
  const double overreach = std::max(Overreach(left, right, yaw), 0.0);
  std::array<double, 2> widest{};  // on the `front` side, on the other
  widest[yawWay] = atYaw;
  std::array<double, 2> best{yaw, yaw};
  std::optional<double> otherWay;
  if (atYaw >= apart) otherWay = yaw;
  // Turned by an angle, each hip moves along its circle by at most hipX times the angle, and so
  // does every point of its straight leg, the foot staying: the legs' gap changes by no more
  // than twice that. A trial that the last one measured on its side shows to stay short of
  // `apart` and of the widest gap found its way can change nothing, and is passed unmeasured:
  // turning the wrong way, the gap only shrinks, and most trials are spared. A hair is allowed
  // for the rounding of the measures.
  const double slope = 2.0 * static_cast<double>(body_.hipX);
  constexpr double kRounding = 1e-7;
  std::array<std::optional<double>, 2> lastGap;  // of the last trial measured on each side
  std::array<double, 2> lastTurn{};
  for (int k = 0; k * kCrossTurnStep <= 2.0 * kMostCrossTurn; ++k) {
    // Past the limit on both sides, every later trial only goes further.
    if (from + k * kCrossTurnStep > kMostCrossTurn && from - k * kCrossTurnStep < -kMostCrossTurn)
      break;
    for (const double sign : {1.0, -1.0}) {
      if (k == 0 && sign < 0.0) continue;
      const double turn = from + sign * k * kCrossTurnStep;
      if (std::fabs(turn) > kMostCrossTurn) continue;
      const double aim = straightAhead_ + turn;
      const std::size_t way = front == 0.0 || Ahead(left, right, aim) == front ? 0 : 1;
      const std::size_t side = sign > 0.0 ? 0 : 1;
      if (lastGap[side]) {
        const double most = *lastGap[side] + slope * std::fabs(turn - lastTurn[side]) + kRounding;
        if (most < apart && most <= widest[way]) continue;
      }
      const double gap = StraightLegsGap(left, right, aim);
      // The first trial, straight from where the hips turn from, starts both sides.
      for (const std::size_t on : {side, k == 0 ? std::size_t{1} : side}) {
        lastGap[on] = gap;
        lastTurn[on] = turn;
      }
      // A turn that takes a hip out of its foot's reach would pull the planted foot along; asked
      // only of a turn that would be taken, as most trials part the legs no further.
      if (!(gap >= apart || gap > widest[way]) ||
          !(Reached(left, right, aim) || Overreach(left, right, aim) <= overreach))
        continue;
      if (gap >= apart && way == 0) return aim;
      if (gap >= apart && !otherWay) otherWay = aim;
      if (gap > widest[way]) {
        widest[way] = gap;
        best[way] = aim;
      }
    }
  }
  if (widest[0] >= kLeastApart * scale_) return best[0];
  if (otherWay) return *otherWay;
  return widest[0] >= widest[1] ? best[0] : best[1];
}

bool FootSwingPlanner::Crossing(int side, FloorPoint to, double yaw) const {
  const FloorPoint from = stand_[side];
  const FloorPoint standing = stand_[1 - side];
  return side == 0 ? Crossed(to, standing, yaw) || Crossed(from, standing, stanceYaw_)
                   : Crossed(standing, to, yaw) || Crossed(standing, from, stanceYaw_);
}

bool FootSwingPlanner::CrossesBehind(int side, FloorPoint to, double yaw) const {
  const FloorPoint from = stand_[side];
  const FloorPoint standing = stand_[1 - side];
  const bool crossing = Crossing(side, to, yaw);
  const FloorPoint half = Between(from, to);
  const auto [sine, cosine] = portable::SinCos(yaw);
  const double back = (static_cast<double>(half.x) - static_cast<double>(standing.x)) * sine +
                      (static_cast<double>(half.z) - static_cast<double>(standing.z)) * cosine;
  return crossing && back > 0.0 && std::fabs(portable::TurnRemainder(yaw - stanceYaw_)) < kLowTurn;
}

bool FootSwingPlanner::Flips(int side, FloorPoint to, double yaw) const {
  const FloorPoint left = side == 0 ? to : stand_[0];
  const FloorPoint right = side == 0 ? stand_[1] : to;
  return Crossed(stand_[0], stand_[1], stanceYaw_) && Crossed(left, right, yaw) &&
         Ahead(stand_[0], stand_[1], stanceYaw_) != Ahead(left, right, yaw);
}

double FootSwingPlanner::PassingSide(int side, FloorPoint to, double yaw) const {
  const FloorPoint from = stand_[side];
  const FloorPoint standing = stand_[1 - side];
  const bool into = side == 0 ? Crossed(to, standing, yaw) : Crossed(standing, to, yaw);
  const bool outOf =
      side == 0 ? Crossed(from, standing, stanceYaw_) : Crossed(standing, from, stanceYaw_);
  if (into == outOf) return 0.0;
  const FloorPoint crossed = into ? to : from;
  const auto [sine, cosine] = portable::SinCos(into ? yaw : stanceYaw_);
  const double ahead = -(static_cast<double>(crossed.x) - static_cast<double>(standing.x)) * sine -
                       (static_cast<double>(crossed.z) - static_cast<double>(standing.z)) * cosine;
  return ahead >= 0.0 ? 1.0 : -1.0;
}

std::int32_t FootSwingPlanner::SwingFrames(double distance) const {
  return static_cast<std::int32_t>(std::ceil(distance / (kSwingSpeed * scale_)));
}

std::int32_t FootSwingPlanner::MostFrames(std::int32_t land, std::int32_t wait) {
  if (beats_ == nullptr || wait < kLongWaitFrames) return kMaxSwingFrames;
  const std::int32_t landed = land - wait;
  // In half frames: the middle of the stillness may fall between two frames.
  std::array<std::int32_t, kTimedSwings.size()> twice{};
  for (std::size_t i = 0; i < kTimedSwings.size(); ++i) {
    twice[i] = landed + land - kTimedSwings[i] - kStillAfterBeat;
  }
  // The lengths ask about a few frames side by side, out of order and mostly twice: each
  // frame's beat is looked up once, in frame order, which the clock answers quickest.
  const auto [least, most] = std::minmax_element(twice.begin(), twice.end());
  const std::int32_t first = *least / 2;
  std::array<std::int32_t, kTimedSwings.size()> beats{};
  for (std::int32_t frame = first; frame <= *most / 2; ++frame) {
    const std::optional<std::int32_t> beat = beats_->Nearest(frame);
    // Without beats there are none near any frame.
    if (!beat) return kMaxSwingFrames;
    beats[static_cast<std::size_t>(frame - first)] = *beat;
  }
  std::int32_t best = kMaxSwingFrames;
  std::int64_t nearest = std::numeric_limits<std::int64_t>::max();
  // In order of preference: the usual swing first, then the nearest lengths to it.
  for (std::size_t i = 0; i < kTimedSwings.size(); ++i) {
    const std::int32_t frames = kTimedSwings[i];
    const std::int32_t beat = beats[static_cast<std::size_t>(twice[i] / 2 - first)];
    const std::int64_t off = std::abs(static_cast<std::int64_t>(twice[i]) - 2 * beat);
    if (off < nearest) {
      nearest = off;
      best = frames;
    }
  }
  return best;
}

FloorPoint FootSwingPlanner::Spot(int side, const std::vector<StepRecord>& records, std::size_t k,
                                  const StepRecord* after) const {
  const StepRecord& r = records[k];
  const int other = 1 - side;
  const FloorPoint inner = Inward(r.floor[side], r.floor[other], r.yaw);
  // The other foot's steps until this foot steps again, at most up to the first crossed one:
  // asked of every step, so only the crossing is looked for first. A crossing after a rest is the
  // next stretch's first step, and the foot stands ready for it through the rest all the same.
  const std::size_t end = records.size() + (after != nullptr ? 1 : 0);
  auto ahead = [&](std::size_t j) -> const StepRecord& {
    return j < records.size() ? records[j] : *after;
  };
  std::size_t last = k;
  std::size_t steps = 0;
  bool crossing = false;
  for (std::size_t j = k + 1; j < end && steps + 1 < kStancesAhead && !crossing; ++j) {
    const StepRecord& n = ahead(j);
    if (!n.Steps()) continue;
    if (n.moved[side]) break;
    ++steps;
    last = j;
    crossing = Crossed(n.floor[0], n.floor[1], n.yaw);
  }
  // Feet crossed already stay as they are: the hips keep the leg in front in front from one
  // crossing into the next, and a spot that uncrosses the stance by a hair swung them through
  // square instead.
  if (!crossing ||
      (side == 0 ? Crossed(inner, stand_[other], r.yaw) : Crossed(stand_[other], inner, r.yaw)))
    return inner;
  // Where the other foot stands in each stance this foot stands in, and whether crossed there.
  std::array<std::pair<FloorPoint, bool>, kStancesAhead> stances{};
  stances[0] = {stand_[other], false};
  std::size_t count = 1;
  for (std::size_t j = k + 1; j <= last; ++j) {
    const StepRecord& n = ahead(j);
    if (n.Steps()) stances[count++] = {Inward(n.floor[other], n.floor[side], n.yaw), j == last};
  }
  // Tried from the inner part towards the crossing foot's panel, the spot where the leg furthest
  // from its foot in these stances reaches least far: across crossed feet the hips turn towards
  // the feet's line, between uncrossed ones each hip stands over its own foot's side. Feet closer
  // than kCrossedApart in any of them leave crossed legs no room to pass.
  const FloorPoint towards = Inward(r.floor[side], ahead(last).floor[other], r.yaw);
  const double hipX = static_cast<double>(body_.hipX);
  // The stance held through a rest before the crossing, if the crossing comes after one.
  const std::size_t rest = last >= records.size() ? count - 2 : count;
  const double restWidest =
      rest < count ? std::max(Distance(inner, stances[rest].first), kRestWidest * scale_) : 0.0;
  auto farthest = [&](FloorPoint at) {
    double reach = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
      const double apart = Distance(at, stances[i].first);
      if (apart < kCrossedApart * scale_ || (i == rest && apart > restWidest))
        return std::numeric_limits<double>::infinity();
      reach = std::max(reach, apart * 0.5 - (stances[i].second ? 0.0 : hipX));
    }
    return reach;
  };
  FloorPoint best = inner;
  double least = farthest(inner);
  for (int trial = 1; trial <= kSpotTrials; ++trial) {
    const double t = static_cast<double>(trial) / kSpotTrials;
    const FloorPoint at{
        static_cast<float>(static_cast<double>(inner.x) +
                           t * (static_cast<double>(towards.x) - static_cast<double>(inner.x))),
        static_cast<float>(static_cast<double>(inner.z) +
                           t * (static_cast<double>(towards.z) - static_cast<double>(inner.z)))};
    const double reach = farthest(at);
    if (reach < least) {
      least = reach;
      best = at;
    }
  }
  return best;
}

// Flattened: each step's swing, key frames, events and the questions about the panels are small
// and asked a few times a step; as calls they cost as much as their work.
[[gnu::flatten]] void FootSwingPlanner::Step(int side, const StepRecord& r, FloorPoint inner) {
  const int other = 1 - side;
  const std::int32_t land = r.frame;
  MakeRoom(side, land);
  ++step_;
  const std::int32_t since = land - landed_[side];
  const bool crossed =
      side == 0 ? Crossed(r.floor[0], stand_[1], r.yaw) : Crossed(stand_[0], r.floor[1], r.yaw);
  FloorPoint to = Narrowed(inner, stand_[other], 1.0, crossed, scale_);
  // Short of time even lifting as it lands, the foot goes no further than it can at a foot's pace.
  to = NearSide(to, r.floor[side], stand_[side], r.yaw,
                Distance(stand_[side], to) - kSwingSpeed * scale_ * static_cast<double>(since),
                scale_);
  // Onto the other foot's panel: beside it, on its own side. Also where the other foot stands on
  // this foot's panel (on its arrow or an inner part of it) and the inner part towards the other
  // foot's next panel lies across it, the way there brushing past it: a dancer sets the foot down
  // next to the one already there, not round it (the legs stood crossed on one panel, the swing
  // passing the standing ankle closer than a foot's width, the hips turning through square as it
  // passed). Only from a swing within one pad and with the ankle as near its arrow as any inner
  // part: after a swing across both pads the body, carried over the standing foot for the long
  // way, swung back in a frame, and beside a foot on the far side of its panel the foot stood off
  // the pad.
  auto beside = [&] {
    return Beside(stand_[other], r.yaw, (side == 0 ? 1.0 : -1.0) * kSideBySide * scale_);
  };
  if (Distance(to, stand_[other]) < kSideBySide * scale_ ||
      (Within(r.floor[side], stand_[other], kInnermost * scale_) &&
       PassesAt(stand_[side], to, stand_[other]) < kPassBy * scale_ &&
       (side == 0 ? Crossed(to, stand_[other], r.yaw) : Crossed(stand_[other], to, r.yaw)) &&
       Distance(stand_[side], beside()) <= kOnePadSwing * scale_ &&
       Distance(beside(), r.floor[side]) <= kInnermost * scale_))
    to = beside();
  const double yaw =
      side == 0 ? Uncrossed(r.yaw, to, stand_[other]) : Uncrossed(r.yaw, stand_[other], to);
  // A foot stepping into a crossing or out of one passes the standing foot on the side it is
  // crossed on, for the hips half way through their turn (by the time it passes).
  const double passSide = PassingSide(side, to, yaw);
  const auto contact = std::max<std::int32_t>(1, static_cast<std::int32_t>(kContactShare * since));
  const std::int32_t wait = land - landed_[other];
  const std::int32_t mostFrames = MostFrames(land, wait);
  std::int32_t lift = std::max(land - mostFrames, landed_[side] + contact);
  // Short of time for the way round at a foot's pace, it passes closer; short of time even to
  // pass close, it goes the nearer way (and brushes the other leg).
  FloorPoint round = Around(stand_[side], to, stand_[other], yaw, kPassBy * scale_, 0.0);
  if (passSide != 0.0) {
    const double pace = kSwingSpeed * scale_ * static_cast<double>(land - lift);
    for (int quarters = 4; quarters > 0; --quarters) {
      const FloorPoint way = Around(stand_[side], to, stand_[other], (stanceYaw_ + yaw) * 0.5,
                                    kPassBy * scale_ * quarters / 4, passSide);
      // A closer pass, already short of the whole way, goes no faster than a foot's usual pace.
      const double longest = quarters == 4 ? pace * kRoundPace : pace;
      if (Distance(stand_[side], way) + Distance(way, to) <= longest) {
        round = way;
        break;
      }
    }
  }
  // Timed as if to the arrow: a step to the inner part of a panel is no quicker; one round the
  // standing foot takes the time its longer way needs.
  const double distance = Distance(stand_[side], r.floor[side]);
  const std::int32_t needed =
      SwingFrames(std::max(distance, Distance(stand_[side], round) + Distance(round, to)));
  // A quick step takes all the time it has: the foot goes as soon as it has landed. One short
  // of its swing's frames even so taps its panel and goes on the frame it lands (a frame stood
  // there would leave it two in the air to cross the pad, at twice a foot's speed), unless it
  // passes the standing foot: that swing bends round it, and set off early it brushes the
  // other leg before the hips have turned.
  if (land - lift < needed) {
    const bool passes = Distance(round, Between(stand_[side], to)) > 0.0;
    const bool tap = land - landed_[side] <= needed && !passes;
    lift = std::max(land - needed, landed_[side] + (tap ? 0 : 1));
  }
  // Wait for the other foot, one foot on the floor while this one is in the air, unless the
  // wait leaves too little time to get there: then it lifts before the other lands.
  if (landed_[other] > lift && landed_[other] <= land - std::max(2, needed)) lift = landed_[other];
  if (lift >= land) lift = std::max(landed_[side], land - 1);
  const std::int32_t swing = land - lift;
  double top = std::min(kHighestLift * scale_, kLeastLift * scale_ + kLiftPerUnit * distance) *
               std::min(1.0, static_cast<double>(swing) / kFullLiftFrames);
  if (CrossesBehind(side, to, yaw)) top = std::min(top * kBehindLift, kBehindTop * scale_);
  const bool flips = swing >= kFlipFrames && Flips(side, to, yaw);
  if (flips) top = std::min(top * kFlipLift, kFlipTop * scale_);
  const std::int32_t apex = swing >= 3 ? lift + swing / 2 : lift;
  Event(lift, CentreEvent::kLift, other, stanceYaw_, 0.0);
  // Quick steps leave no time to carry the body from foot to foot: it stays between them.
  swings_->events.back().weight = std::min(1.0, static_cast<double>(swing) / kFullShiftFrames);
  if (apex > lift + 1 && apex < land - 1) {
    Event(apex, CentreEvent::kCarry, other, yaw, 0.0);
    swings_->events.back().weight = std::min(1.0, static_cast<double>(swing) / kFullShiftFrames);
    swings_->events.back().flipTop = flips;
  }
  const bool turning = std::fabs(portable::TurnRemainder(yaw - stanceYaw_)) >= kLowTurn;
  const double foot =
      yaw == r.yaw ? yaw : FootTurn(to, r.floor[side], r.yaw, yaw, portable::SinCos(yaw), scale_);
  Swing(side, lift, apex, top, land, to, yaw, foot, round,
        flips                                ? kFlipAhead
        : turning && Crossing(side, to, yaw) ? kTurningAhead
                                             : 0.0,
        flips ? &kFlipFall : &kFootFall);
  Event(land, CentreEvent::kStance, -1, yaw, 0.0);
  stanceYaw_ = yaw;
}

// How much higher than the centre's rise a foot at `at` must be, at the top of a jump with
// the centre over `centre` turned by `yaw`, for its knee to be well bent: at least `tuck` times
// kTuck.
double FootSwingPlanner::TuckedLift(FloorPoint centre, double yaw, int side, FloorPoint at,
                                    double rise, double tuck) const {
  const double outwards = (side == 0 ? 1.0 : -1.0) * static_cast<double>(body_.hipX);
  const auto [sine, cosine] = portable::SinCos(yaw);
  const double hipX = static_cast<double>(centre.x) + outwards * cosine;
  const double hipZ = static_cast<double>(centre.z) - outwards * sine;
  const double r =
      portable::Hypot(hipX - static_cast<double>(at.x), hipZ - static_cast<double>(at.z));
  const double leg = kTuckedLeg * body_.LegLength();
  const double least = kTuckedLeg * scale_;
  const double below = std::sqrt(std::max(leg * leg - r * r, least * least));
  const double hip = static_cast<double>(body_.hipY) + rise;
  return std::max(kTuck * scale_ * tuck, hip - static_cast<double>(body_.ankleY) - below - rise);
}

std::array<FloorPoint, 2> FootSwingPlanner::JumpTops(const std::array<FloorPoint, 2>& to,
                                                     double yaw) const {
  std::array<FloorPoint, 2> via{Between(stand_[0], to[0]), Between(stand_[1], to[1])};
  const double apart = kSideBySide * scale_;
  if (Distance(via[0], via[1]) >= apart) return via;
  // Feet trading places in a jump would pass through one spot at its top: each bows out to its
  // own side of the way instead, the left one on the hips' left, and they pass side by side.
  const FloorPoint middle = Between(via[0], via[1]);
  const auto [sine, cosine] = portable::SinCos(yaw);
  double nx = cosine;
  double nz = -sine;
  const double ux = static_cast<double>(to[0].x) - static_cast<double>(stand_[0].x);
  const double uz = static_cast<double>(to[0].z) - static_cast<double>(stand_[0].z);
  const double length = portable::Hypot(ux, uz);
  if (length > 1e-6) {
    // Across the left foot's way, on the side of the hips' left.
    const double side = -uz * cosine - ux * sine >= 0.0 ? 1.0 : -1.0;
    nx = -uz / length * side;
    nz = ux / length * side;
  }
  const double half = 0.5 * apart;
  auto at = [&](double by) {
    return FloorPoint{static_cast<float>(static_cast<double>(middle.x) + nx * by),
                      static_cast<float>(static_cast<double>(middle.z) + nz * by)};
  };
  return {at(half), at(-half)};
}

// Flattened, as Step is.
[[gnu::flatten]] void FootSwingPlanner::Jump(const StepRecord& r) {
  const std::int32_t land = r.frame;
  MakeRoom(0, land);
  MakeRoom(1, land);
  ++step_;
  const std::int32_t since = land - std::max(landed_[0], landed_[1]);
  const bool crossed = Crossed(r.floor[0], r.floor[1], r.yaw);
  std::array<FloorPoint, 2> to;
  for (int side = 0; side < 2; ++side) {
    to[side] = Narrowed(Inward(r.floor[side], r.floor[1 - side], r.yaw),
                        Inward(r.floor[1 - side], r.floor[side], r.yaw), 0.5, crossed, scale_);
  }
  if (Distance(to[0], to[1]) < kSideBySide * scale_) {
    const FloorPoint middle = Between(to[0], to[1]);
    to = {Beside(middle, r.yaw, 0.5 * kSideBySide * scale_),
          Beside(middle, r.yaw, -0.5 * kSideBySide * scale_)};
  }
  const double yaw = Uncrossed(r.yaw, to[0], to[1]);
  const double apexYaw = (stanceYaw_ + yaw) * 0.5;
  const std::array<FloorPoint, 2> via = JumpTops(to, apexYaw);
  // A frame on the floor before take-off; three in the air leave room for a top and a touch, and
  // a jump to other panels takes the time the feet need to get there (feet passing each other
  // the time for their way round): quick jumps are low hops over most of the time between them.
  double farthest = 0.0;
  for (int side = 0; side < 2; ++side) {
    const double straight = Distance(stand_[side], r.floor[side]);
    const double round = Distance(stand_[side], via[side]) + Distance(via[side], to[side]);
    farthest = std::max(farthest, via[side] == Between(stand_[side], to[side]) ? straight : round);
  }
  const std::int32_t wanted =
      std::max(std::clamp(since / 2, kLeastJumpFrames, kMaxJumpFrames), SwingFrames(farthest) + 2);
  // Short of time, the feet take off as they land, as a foot taps and goes in a quick run.
  const std::int32_t air = std::min(wanted, since > wanted ? since - 1 : since);
  const std::int32_t takeOff = land - air;
  const std::int32_t apex = air >= kLeastJumpFrames ? takeOff + air / 2 : takeOff;
  // A quick jump barely leaves the floor; the feet tuck all the same.
  const double rise = (std::min(1.0, static_cast<double>(air) / kFullJumpFrames) * kLowestJump +
                       kJumpPerFrame * static_cast<double>(air)) *
                      scale_;
  const double crouch = kTakeOffCrouch * std::min(1.0, static_cast<double>(air) / 8.0) * scale_;
  const std::int32_t crouchStart =
      std::max(std::max(landed_[0], landed_[1]), takeOff - kCrouchFrames);
  Event(crouchStart, CentreEvent::kCrouchStart, -1, stanceYaw_, 0.0);
  Event(takeOff, CentreEvent::kTakeOff, -1, stanceYaw_, crouch);
  if (apex > takeOff && apex < land) Event(apex, CentreEvent::kApex, -1, apexYaw, rise);
  const FloorPoint centre = MiddleOf({stand_[0], stand_[1], to[0], to[1]});
  const double tuck = std::min(1.0, static_cast<double>(air) / kFullJumpFrames);
  // Short of the time their way takes, the feet rise only that share of their tuck: lifted to
  // bend the knees well as well, they would cross the pad faster than a real foot.
  const bool hurried = air < wanted;
  std::array<double, 2> tops{};
  for (int side = 0; side < 2; ++side) {
    tops[side] = rise + (hurried ? tuck * TuckedLift(centre, apexYaw, side, via[side], rise, 1.0)
                                 : TuckedLift(centre, apexYaw, side, via[side], rise, tuck));
  }
  // Both feet on one profile, which moves their tops along their ways. Feet trading places whose
  // tops that brings closer pass side by side there, and would pass through each other: their
  // tops move alike, by the mean of the two moves, and stay as far apart. Left where they were,
  // the feet crossed the pad in the frame after the top at twice a real foot's speed.
  std::array<FloorPoint, 2> round = via;
  std::optional<std::size_t> profile;
  if (apex > takeOff && apex < land) {
    for (int side = 0; side < 2; ++side) {
      if (!MayBeQuick(stand_[side], via[side], tops[side], to[side], apex - takeOff,
                      land - 1 - apex, scale_))
        continue;
      const std::optional<std::size_t> own =
          QuickProfile(stand_[side], via[side], tops[side], to[side], takeOff, apex, land);
      if (own && (!profile || *own > *profile)) profile = own;
    }
    if (profile && (via[0] != Between(stand_[0], to[0]) || via[1] != Between(stand_[1], to[1]))) {
      const std::int32_t up = apex - takeOff;
      const std::int32_t down = land - 1 - apex;
      if (Distance(QuickTop(stand_[0], via[0], to[0], up, down),
                   QuickTop(stand_[1], via[1], to[1], up, down)) < Distance(via[0], via[1]))
        profile = TradingProfile(via, to, tops, up, down, round);
    }
  }
  const portable::SineCosine turn = yaw == r.yaw ? portable::SineCosine{} : portable::SinCos(yaw);
  for (int side = 0; side < 2; ++side) {
    const double foot =
        yaw == r.yaw ? yaw : FootTurn(to[side], r.floor[side], r.yaw, yaw, turn, scale_);
    Swing(side, takeOff, apex, tops[side], land, to[side], yaw, foot, round[side], 0.0, &kFootFall,
          &profile);
  }
  // The body is down by the time the feet touch, so that they do not land on straight legs.
  if (land - 1 > apex) Event(land - 1, CentreEvent::kTouchDown, -1, yaw, 0.0);
  Event(land, CentreEvent::kJumpLanding, -1, yaw, 0.0);
  Event(land + kCrouchFrames, CentreEvent::kRecover, -1, yaw, 0.0);
  stanceYaw_ = yaw;
}

void FootSwings::Index(std::int32_t from, std::int32_t to) {
  indexedFrom_ = static_cast<std::uint32_t>(from);
  indexedCount_ = 0;
  if (to < from || supports[0].empty() || supports[1].empty()) return;
  const auto count = static_cast<std::size_t>(std::int64_t{to} - from + 1);
  for (std::size_t i = 0; i < supports.size(); ++i) {
    // The tables only grow: each stretch writes over the last one's answers.
    std::vector<FrameStance>& table = indexed_[i];
    if (table.size() < count) table.resize(count);
    FrameStance* const first = table.data();
    std::size_t written = 0;
    // Writes `stance` up to frame `last`, both included, as far as `to`.
    auto fill = [&](std::int64_t last, FrameStance stance) {
      const std::int64_t end = std::min<std::int64_t>(last, to) + 1 - from;
      // Unrolled: a stance lasts a dozen frames or so, and the loop's own count and test cost
      // as much as the stance's writes.
#pragma GCC unroll 4
      for (; static_cast<std::int64_t>(written) < end; ++written) first[written] = stance;
    };
    const std::vector<Support>& list = supports[i];
    // Before the first support, as the look-up answers: in the air, on its way there.
    fill(std::int64_t{list.front().from} - 1, {list.front().at, false});
    for (std::size_t k = 0; k < list.size(); ++k) {
      const Support& s = list[k];
      const bool last = k + 1 == list.size();
      // Each support answers from its first frame up to the next one's.
      const std::int64_t until = last ? std::int64_t{to} : std::int64_t{list[k + 1].from} - 1;
      fill(std::min<std::int64_t>(until, s.to), {s.at, true});
      fill(until, {last ? s.at : list[k + 1].at, false});
    }
  }
  indexedCount_ = count;
}

void FootSwings::Unindex() {
  indexedCount_ = 0;
}

const Support* FootSwings::SearchSupport(std::size_t i, std::int32_t frame) const {
  const std::vector<Support>& list = supports[i];
  // The centre asks of a key frame and then of the next one, and back again, and limits its
  // speed backwards too: most look-ups that miss the last support want the one before it.
  const std::size_t hint = found_[i];
  if (hint > 0 && hint < list.size() && frame < list[hint].from && list[hint - 1].from <= frame) {
    found_[i] = hint - 1;
    return &list[hint - 1];
  }
  auto after = std::upper_bound(list.begin(), list.end(), frame,
                                [](std::int32_t f, const Support& s) { return f < s.from; });
  if (after == list.begin()) return nullptr;
  found_[i] = static_cast<std::size_t>(after - 1 - list.begin());
  return &*(after - 1);
}

}  // namespace pavaneflow
