#include "motion/natural/centre_path.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "base/compat.h"
#include "base/portable_math.h"
#include "motion/natural/natural_curves.h"
#include "motion/rotation.h"
#include "motion/segment_gap.h"
#include "motion/yaw_quaternion.h"
#include "vmd/bezier_curve.h"

namespace pavaneflow {
namespace {

constexpr double kReachShare = 0.99;  // of the straight leg: the knees stay a little bent
// Crossed, the legs reach across the body, and a dancer straightens them rather than sink into a
// squat: all but straight, the knees bent about 10°, as the centre's curve between two key frames
// passes a little further from the feet than at either (straight there, a planted foot slides) and
// the runtime's IK falls short of a foot a straight leg reaches exactly. Not as a foot lifts out
// of the crossing: its knee bends to pass the other leg.
constexpr double kCrossedReachShare = 0.996;
// A foot planted wide of its hip is reached with the leg straighter: kReachShare up to kNearReach
// from under its hip, as straight as crossed from kFarReach on (units on the floor). A dancer
// stands a wide stance on long legs; with the knees as bent as over a narrow one, the body squats
// between the feet. Not a straddle over two pads (kStraddle, back to kReachShare at kOutOfReach):
// sunk that deep, the centre's curve passing a little off its key frames takes a straight leg off
// its planted foot.
constexpr double kWideReachShare = kCrossedReachShare;
constexpr double kNearReach = 1.0;
constexpr double kFarReach = 3.0;
constexpr double kStraddle = 3.5;
constexpr double kOutOfReach = 4.5;
// Standing crossed, the hips turn on towards square across the feet, by at most this (radians,
// in steps of kCrossReachStep), as far as that raises the body: each leg then reaches its foot
// from nearer above it, where the turn the feet were planned for leaves the body sunk between
// them. The feet stay crossed by kStillCrossed along the hips' line at least: they were placed,
// and the next swings pass, for legs that cross.
constexpr double kCrossReachTurn = 0.5;
constexpr double kCrossReachStep = 0.035;
constexpr double kStillCrossed = 0.15;
// A foot lifting this few frames after a key frame keeps the hips as they were: turned at the
// landing and back for the lift (its turn is planned with the swing), they swing through in a
// couple of frames and the lifted leg passes through the other.
constexpr std::int32_t kCrossTurnHold = 4;
constexpr double kLowestRise = -5.5;  // the centre never sinks further, reached or not
// Shares of the way from between the feet to over the standing foot: as the other foot lifts,
// and while it is in the air (all the way: the hip stays kHipClear from above the ankle).
constexpr double kLiftShift = 0.1;
constexpr double kCarryShift = 1.0;
// On quick beats (closer than kQuickBeatFrames) the body comes to rest as a foot lifts on every
// even beat of the dance and passes the lifts between, unless the steps leave room there too
// (kOddRestApart): in eighths, resting on every lift, or passing them all, the body's stillness
// comes every half beat, too quick to be seen as the beat. It rests only where it is then
// already all the way over the standing foot, reaching the other without sinking
// below 0.8 units: the knees stay as bent as standing, and the foot lifts from under a body
// that does not lean towards it. Over a stance too wide for that, a quick swing rests three
// quarters or half of the way over, sunk no deeper than 0.6: the beat is still marked, and the
// body leans less towards the lifting foot than passing it (a tenth of the way over). Sunk as
// deep as the full rest there, with both feet still down, the pelvis dropped too far. A swing
// with time to flow (kFlowingWeight) goes on over the standing foot instead: stopped part of the
// way, the body is nearer the lifted foot while it is in the air than carried without a pause.
constexpr std::int32_t kQuickBeatFrames = 16;
// A foot lifting up to this many frames before such a beat rests there too: the body, come to rest
// as the foot leaves, stays still on into the beat. Held to the beat's own kNearFrames, the quick
// lifts that lead their beat a little passed on, and the stillness between swings fell anywhere
// against the beat (22 more lanes of the corpus under the Beat Align Score's mark). Not as late
// after the beat: resting past it, the body was no lower on the beat than between.
constexpr std::int32_t kEarlyRestFrames = 4;
// On an odd quick beat the body rests too where the steps leave room for it: no other foot lifts
// within kOddRestApart frames (not in eighths), the foot landed at most kOddRestLanded frames
// before (the body comes out of a step into the rest: stood there since a landing a beat before,
// it was still already, and a rest on the odd beat moved its stillness off the landing's beat),
// and the foot lands again at least kOddRestLanding frames after it lifts: sooner, the body
// carried all the way over the standing foot was still too far from the landing foot a frame
// before it landed, and the ankle snapped down the last 0.11 units (0.15 a frame at the landing).
// Resting on the odd beats too, a step on every beat at 150 beats a minute scored 0.35 on the
// Beat Align Score rather than 0.19: still on each step, the body is seen to keep the beat.
constexpr std::int32_t kOddRestApart = 7;
constexpr std::int32_t kOddRestLanded = 9;
constexpr std::int32_t kOddRestLanding = 10;
struct Rest {
  double share;    // of the way from between the feet over the standing foot
  double deepest;  // the lowest the body sinks to reach the other foot
};
constexpr std::array<Rest, 3> kRests{{{1.0, -0.8}, {0.75, -0.6}, {0.5, -0.6}}};
// A swing with time for this share of the whole shift passes its lift without stopping.
constexpr double kFlowingWeight = 0.75;
// And only where its way into the lift and out of it differ by at most this, units a frame: the
// two curves meet at their mean velocities, which would change by that much from one frame to
// the next.
constexpr double kFlowMatch = 0.6;
constexpr double kCarryRise = 0.1;             // the most the body rises as it is carried
constexpr double kDeepestCarry = -1.25;        // nor sinks to reach the other foot
constexpr double kDeepestCrossedCarry = -0.5;  // the legs crossed
// How far below its next landing a stance lies for the carry out of it to rise to that landing.
constexpr double kDeepStance = 0.5;
// Carried over the standing foot into a crossing, the body goes back towards the middle as the
// foot lands across it: the landing foot must be reached from that way in, a frame before it
// lands, and from over the standing foot no deeper than this (the leg is still in the air there).
constexpr double kDeepestCrossedReach = -0.75;
// Nor so far over the standing foot that the lifted leg, its knee bent forwards, comes closer
// than this to the standing one (or closer than from between the feet): the lifted hip goes with
// the body, past the standing leg, and the crossing leg would pass through it.
constexpr double kCrossedLegsApart = 1.2;
// Over a wide stance the whole shift is out of reach and a quarter less can be far short of what
// is: the body stood back towards the lifted foot. Carried, it goes on in sixteenths of the shift
// as far as the other foot is reached this high: deeper, it would sink between the beats, where
// the groove has the body highest. Crossed, as far as the crossing's checks allow: a step of a
// quarter left many crossed carries far short of that, or still between the feet.
constexpr int kCarrySteps = 16;
constexpr double kDeepestFineCarry = -1.0;
// Every other fine step, an eighth of the shift, may sink this far: held at kDeepestFineCarry,
// many carries over a wide stance stopped an eighth or more short of what the legs reach, back
// towards the lifted foot. As deep as the coarse steps go, the body sank between the beats and
// bounced with the steps instead of the beat. Only with this many frames before the next key
// frame: where the next foot lifts a frame or two after the carry, the body swung back through
// the extra way and the landing foot, left behind, caught up into its landing too fast.
constexpr double kDeepestEighthCarry = -1.1;
constexpr std::int32_t kEighthCarryFrames = 3;
// A swing too quick for a carry key of its own (under four frames in the air) is carried by its
// lift key instead: the body goes over the standing foot as the foot lifts, in eighths of the
// shift, as far as both feet where they stand and the lifted one where it lands are reached this
// high. A tenth of the way over, as for a lift before a carry, it stayed between the feet while
// the foot was up. Sunk any deeper, the body dropped with both feet still down, and the landing
// foot, reached from over the other one, pulled it low between the beats. Nor further than the
// centre goes from the key frame before at kCentreSpeed: in a stream of quick steps the speed
// limit held each such key back, and the body came over each foot as it lifted again.
constexpr int kQuickCarrySteps = 8;
constexpr double kDeepestQuickCarry = -0.6;
constexpr double kHipClear = 0.6;  // nor brings a standing hip over its ankle
// A landing foot takes the weight over this many frames: at the landing, the body is still this
// share of the way from between the feet towards the foot that stood, sunk no more than
// kSettleSink below where it would stand between them.
constexpr std::int32_t kSettleFrames = 6;
constexpr double kSettleShift = 0.75;
constexpr double kSettleSink = 0.3;
// Drifting on from over the standing foot to a held landing, the body passes the key frame over
// the standing foot at this share of its mean speed on to the landing: slowing into the drift,
// never stopping.
constexpr double kDriftShare = 0.5;
constexpr int kDriftSteps = 10;  // the speeds into a drift the centre's curves are written for
// The centre moves at most this fast between two key frames, units a frame: its eased curve
// peaks at 1.35 times that, under the 1 (2.4 m/s) of a dancer's pelvis.
constexpr double kCentreSpeed = 0.6;
// The centre is not held back so far that it must sink more than this to reach the feet.
constexpr double kDeepestPull = -1.5;
constexpr int kPullHalvings = 10;    // a thousandth of the pull
constexpr double kLandingDip = 0.5;  // a jump's landing, taken in the knees
// The centre falls from a jump's top at most this fast, units a frame: with its way across (at
// most kCentreSpeed) it stays under the 1.5 of a dancer's pelvis. A quick jump to a wide stance
// lands deep: from the full height of its top, the body would drop through it in a frame or two.
constexpr double kMostFall = 1.2;
// And rises to it at most this fast, across and up together: out of a deep take-off into a high
// top, it would spring up faster than a dancer's pelvis moves (about 1, 2.4 m/s).
constexpr double kMostClimb = 0.95;
constexpr double kGrooveDip = 0.15;  // at 120 beats a minute; deeper when slower
constexpr double kGrooveBeatFrames = 15.0;
// Stood with both feet down nearly kDeepestBob below rest, the body dips on the beat only down to
// there, by at least kLeastBobShare of the dip: the knees, bent for the stance, take part of the
// bob, and dipped all the way the body squatted on every beat of a crossing or a wide stance.
// Not where even that share takes it deeper (a lunge across two pads): there the beat is marked
// as ever. Nor a landing, whose carry reaches the landing foot counting on the dip, nor a lift:
// a foot lifting on the beat dips with it, and held higher the body was no lower on the beat
// than between.
constexpr double kDeepestBob = -0.45;
constexpr double kLeastBobShare = 0.3;
// Landing crossed, the legs reach across the body nearly straight and the body stands tall over
// the feet: it dips on the beat only down to kDeepestCrossedBob, by at least kLeastBobShare of the
// dip. Dipped in full on top of a crossed stance already 0.5 deep (the feet one in front of the
// other), the body sank 0.6 to 0.8 below rest on every such beat, a squat on crossed legs. As deep
// as a stance with both feet down may stand (kDeepestBob): down to 0.5 instead, the classic
// footing's crossings stood too low with both feet down on a dozen more lanes; one chart crossing
// at most steps, its bob already all but flat, is no longer lower on its beats than between them.
constexpr double kDeepestCrossedBob = kDeepestBob;
// Only where the feet then stay down at least this many frames: in a run of quick crossings the
// landings on the beat are all that marks it, and dipped less there the body bobbed off the beat
// on five charts crossing at most steps.
constexpr std::int32_t kStoodCrossedFrames = 6;
// The carried body reaches a foot landing crossed on the beat by the straight run to the landing,
// which the groove then sinks: the carry reckons with this share of that dip. Without it, each
// unit the landing stood higher sank the carry between the beats by several (the body was lowest
// between the beats); with all of it, the landing foot was short of the eased curve and came
// down faster.
constexpr double kLandingGrooveShare = 0.5;
// The chest's lean, degrees: a little forwards standing, more into the way the body goes.
constexpr double kUprightLean = 4.0;
constexpr double kLeanPerSpeed = 14.0;  // for each unit a frame the centre moves
constexpr double kMostLean = 12.0;
constexpr double kNod = 5.0;               // the head, down on the beat
constexpr std::int32_t kGrooveReach = 20;  // a beat this close to a step is danced
constexpr std::int32_t kNearFrames = 2;    // a key frame this close to a beat carries its dip
// Marking the beat away from the steps, the body stays down this many frames either side of the
// beat (fewer on quick beats: at most about a third of the beat, none below 6 frames).
constexpr std::int32_t kMarkHold = 2;
// Two key frames this many beats apart (an intro, a stop) hold a wait that the body stands
// through, marking the beat, rather than making its way from one to the other.
constexpr std::int32_t kLongWait = 4;
// On beats at most kTurningBeatFrames apart (quicker than about 128 a minute), the marking body
// rises between the beats and turns down again without stopping at the top (kGrooveToTop), so
// that the body is stillest only on the beat: the eye, smoothing over a third of a quick beat,
// saw the pause at the top as the beat's as often as the one on it. Down longer, the body marks
// those beats kMarkDipShare as deep, for the knees with both feet down. Slower beats keep their
// pause at the top: the eye sees both pauses there, and the body down longer squatted in a wide
// stance.
constexpr std::int32_t kTurningBeatFrames = 14;
constexpr double kMarkDipShare = 0.9;
constexpr std::int32_t kNoBoundary = std::numeric_limits<std::int32_t>::max();
// An uncrossed carry that reaches the landing foot only on the way back between the feet, a frame
// before it lands: at least this many frames before the landing (closer, the key stood where the
// foot came down as deep as the carry: 0.39 to 0.49 with both feet down on a quick chart, the
// knees past 26 degrees; at four, eighths at 120 beats a minute, alternately four and three
// frames from carry to landing, were carried one way and not the other, a limp), and no deeper
// there than this share of the carry's own limit (as deep, lanes just under the both-feet-down
// depth went over it, and the body bounced off the beat).
constexpr std::int32_t kLeastCarryBackFrames = 5;
constexpr double kCarryBackDepthShare = 0.9;
// Nor for a step landing longer than this after the last landing: an unhurried dance stands
// between its feet, and carried over the standing foot and back the body stopped and sank half way
// between the beats (the beats' stillness down by a tenth at 100 to 140 beats a minute, the body
// no longer lowest on the beat of steps a beat apart at 100).
constexpr std::int32_t kLongestCarriedBackStep = 16;
// In a step landing at most this long after the last, the way back may reach the landing foot as
// deep as the carry's own limit (kCarryBackDepthShare aside): there, held to the share, the body
// stayed between the feet through most of the swing and leaned towards the lifted foot. Slower,
// the deeper carry sank half way between the beats (at 13 frames the body was no longer lowest on
// the beat on six more lanes).
constexpr std::int32_t kLongestDeepCarriedBackStep = 12;

// The groove's dip on a beat `gap` frames before the next, as a share of kGrooveDip.
double GrooveDepth(double gap) {
  return std::clamp(gap / kGrooveBeatFrames, 0.5, 1.4);
}

// The groove's `dip` on a key frame standing at `rise` with both feet down (kDeepestBob, as deep
// as `deepest` for the body's size).
double StandingDip(double rise, double dip, double deepest) {
  if (rise - dip >= deepest || rise - kLeastBobShare * dip < deepest) return dip;
  return rise - deepest;
}

// The groove's `dip` on a key frame landing crossed at `rise` (kDeepestCrossedBob, as deep as
// `deepest` for the body's size).
double CrossedDip(double rise, double dip, double deepest) {
  return std::clamp(rise - deepest, kLeastBobShare * dip, dip);
}

// Whether the key frame `key`, landing, is stood on crossed (kStoodCrossedFrames): `after` is the
// key frame after it, if any.
bool StandsCrossed(const CentreKey& key, const CentreKey* after) {
  return key.crossed && (after == nullptr || after->frame - key.frame >= kStoodCrossedFrames);
}

double Lerp(double a, double b, double t) {
  return a + (b - a) * t;
}

// How far the left foot stands on the right of the right one, along the line of hips aiming at
// `yaw` (negative: on its left, uncrossed).
double CrossedBy(FloorPoint left, FloorPoint right, double yaw) {
  const auto [sine, cosine] = portable::SinCos(yaw);
  return (static_cast<double>(left.z) - static_cast<double>(right.z)) * sine -
         (static_cast<double>(left.x) - static_cast<double>(right.x)) * cosine;
}

// Over the standing foot while the other is in the air.
bool IsCarried(CentreEvent::Kind kind) {
  return kind == CentreEvent::kCarry || kind == CentreEvent::kLift;
}

// The shares of a shift that the coarse steps over the standing foot found out of reach: asked
// again (to the bit) no deeper, a share stays out of reach.
class ShareList {
 public:
  void Add(double share) {
    if (count_ < shares_.size()) shares_[count_++] = share;
  }
  bool Has(double share) const {
    return std::find(shares_.begin(), shares_.begin() + static_cast<std::ptrdiff_t>(count_),
                     share) != shares_.begin() + static_cast<std::ptrdiff_t>(count_);
  }

 private:
  std::array<double, 5> shares_{};  // the coarse steps try at most five shares
  std::size_t count_ = 0;
};

// Plans a stretch's key frames. Its loops over the key frames count them once, before the loop:
// a key frame's flags are written as bytes, which the compiler must take to maybe change the
// list's own bounds, so a count asked at every turn was worked out again at every turn.
class Builder {
 public:
  Builder(const FootSwings& swings, const BodyProportions& body, BeatClock& clock,
          CrossReachTurns& crossReachTurns, CarryShifts& carryShifts)
      : swings_(swings),
        body_(body),
        clock_(clock),
        crossReachTurns_(crossReachTurns),
        carryShifts_(carryShifts),
        lowest_(kLowestRise * body.PadScale()),
        scale_(body.PadScale()),
        legLength_(body.LegLength()),
        hipOutwards_{static_cast<double>(body.hipX), -static_cast<double>(body.hipX)},
        ankleY_(static_cast<double>(body.ankleY)),
        hipY_(static_cast<double>(body.hipY)) {}

  // How high the centre may stand at (x, z) turned by `yaw` for the foot `side` planted on `at`
  // to be reached by `share` of the straight leg: the knee a little bent. `widens`: straighter
  // for a foot planted wide (WideShare).
  double ReachRise(double x, double z, double yaw, int side, FloorPoint at,
                   double share = kReachShare, bool widens = false) const {
    return ReachRise(x, z, portable::SinCos(yaw), side, at, share, widens);
  }
  // The same for the yaw's sine and cosine: both feet are reached from the one turn.
  double ReachRise(double x, double z, portable::SineCosine turn, int side, FloorPoint at,
                   double share, bool widens) const {
    const double outwards = hipOutwards_[static_cast<std::size_t>(side)];
    const auto [sine, cosine] = turn;
    const double hipX = x + outwards * cosine;
    const double hipZ = z - outwards * sine;
    const double r =
        portable::Hypot(hipX - static_cast<double>(at.x), hipZ - static_cast<double>(at.z));
    const double leg = (widens ? std::max(share, WideShare(r)) : share) * legLength_;
    const double height = r < leg ? std::sqrt(leg * leg - r * r) : 0.0;
    return ankleY_ + height - hipY_;
  }

  // How far the hip of `side`, for the centre at (x, z) turned by `yaw`, lies from above its
  // ankle planted on `at`, along (dx, dz).
  std::pair<double, double> HipOffset(double x, double z, double yaw, int side,
                                      FloorPoint at) const {
    return HipOffset(x, z, portable::SinCos(yaw), side, at);
  }
  // The same for the yaw's sine and cosine.
  std::pair<double, double> HipOffset(double x, double z, portable::SineCosine turn, int side,
                                      FloorPoint at) const {
    const double outwards = hipOutwards_[static_cast<std::size_t>(side)];
    const auto [sine, cosine] = turn;
    return {x + outwards * cosine - static_cast<double>(at.x),
            z - outwards * sine - static_cast<double>(at.z)};
  }

  // How far to move a hip `offset` from above its ankle along the body's back (forwards where
  // negative) to be kHipClear from it: a standing leg straight down under its hip is one the
  // runtime's iterative IK solves poorly, its straight leg past the floor. `behind` always moves
  // it back, else the shorter way.
  double ClearBack(std::pair<double, double> offset, double yaw, bool behind) const {
    const auto [dx, dz] = offset;
    const double clear = kHipClear * scale_;
    const double gap = dx * dx + dz * dz;
    if (gap >= clear * clear) return 0.0;
    const auto [sine, cosine] = portable::SinCos(yaw);
    const double along = dx * sine + dz * cosine;
    const double root = std::sqrt(along * along + clear * clear - gap);
    return behind || along >= 0.0 ? root - along : -root - along;
  }

  // Moves the key frames where the centre's way would bring a standing hip over its ankle:
  // both ends of such a stretch go back (or forwards) together, so that it passes beside.
  void ClearStandingHips(std::vector<CentreKey>& keys) const {
    // Each key frame ends one pair and starts the next: where its feet stand is looked up once.
    FootSwings::Stances plantedB =
        keys.empty() ? FootSwings::Stances{} : swings_.StancesAt(keys.front().frame);
    // So is each one's turn, and only for a pair with a foot planted at both ends (moving a key
    // frame back leaves its turn as it was).
    portable::SineCosine turnB{};
    bool turnedB = false;
    const double clear = kHipClear * scale_;
    for (std::size_t i = 0, count = keys.size(); i + 1 < count; ++i) {
      CentreKey& a = keys[i];
      CentreKey& b = keys[i + 1];
      const FootSwings::Stances plantedA = plantedB;
      plantedB = swings_.StancesAt(b.frame);
      const bool turnedA = turnedB;
      const portable::SineCosine turnA = turnB;
      turnedB = false;
      for (int side = 0; side < 2; ++side) {
        const auto s = static_cast<std::size_t>(side);
        if (!plantedA.planted[s] || !plantedB.planted[s]) continue;
        const FloorPoint at = plantedA.at[s];
        if (!turnedB) {
          turnB = portable::SinCos(b.yaw);
          turnedB = true;
        }
        const auto [ax, az] =
            HipOffset(a.x, a.z, turnedA ? turnA : portable::SinCos(a.yaw), side, at);
        const auto [bx, bz] = HipOffset(b.x, b.z, turnB, side, at);
        const double ux = bx - ax;
        const double uz = bz - az;
        const double length = ux * ux + uz * uz;
        const double t = length > 0.0 ? std::clamp(-(ax * ux + az * uz) / length, 0.0, 1.0) : 0.0;
        // The way passes clear of the ankle on most pairs: then its turn there is not needed.
        const double nearX = ax + ux * t;
        const double nearZ = az + uz * t;
        if (nearX * nearX + nearZ * nearZ >= clear * clear) continue;
        const double yaw = a.yaw + portable::TurnRemainder(b.yaw - a.yaw) * t;
        const double back = ClearBack({nearX, nearZ}, yaw, false);
        if (back == 0.0) continue;
        for (CentreKey* key : {&a, &b}) {
          key->x += back * portable::Sin(yaw);
          key->z += back * portable::Cos(yaw);
        }
      }
    }
  }

  // The share of the straight leg that reaches a foot `r` from under its hip, on the floor.
  double WideShare(double r) const {
    const double scale = scale_;
    const double in =
        std::clamp((r - kNearReach * scale) / ((kFarReach - kNearReach) * scale), 0.0, 1.0);
    const double out =
        std::clamp((r - kStraddle * scale) / ((kOutOfReach - kStraddle) * scale), 0.0, 1.0);
    return Lerp(kReachShare, kWideReachShare, in - out);
  }

  // How much of the straight leg reaches the feet for the body at `key`.
  static double LegShare(const CentreKey& key) {
    return key.crossed && key.kind != CentreEvent::kLift ? kCrossedReachShare : kReachShare;
  }

  // Whether the legs at `key` straighten for feet planted wide: not as a foot lifts out of a
  // crossing, its knee bent to pass the other leg.
  static bool Widens(const CentreKey& key) {
    return !(key.crossed && key.kind == CentreEvent::kLift);
  }

  // Whether a foot lifts within kCrossTurnHold frames of `key`.
  static bool LiftsSoon(const CentreKey& key, const CentreKey& next) {
    return next.kind == CentreEvent::kLift && next.frame - key.frame <= kCrossTurnHold;
  }

  // Turns the hips of a key frame stood crossed (kCrossReachTurn). A carried body is turned for
  // the foot about to land as well: turned at the landing only, the body between the beats stood
  // lower against the landings on them. Not as a foot lifts out of the crossing, its knee passing
  // the other leg. A crossing over two pads too: it stays a lunge, but turned on across the feet
  // the body stands higher. Sunk that deep, the centre's curve between the key frames passes a
  // little off a straight leg's reach and a planted foot slides, but less than 0.05 a frame.
  void TurnToReachCrossed(CentreKey& key) const {
    if (!key.crossed || key.kind == CentreEvent::kLift) return;
    const bool carried = key.kind == CentreEvent::kCarry;
    const FootSwings::Stances stances = swings_.StancesAt(key.frame);
    const bool left = stances.planted[0];
    const bool right = stances.planted[1];
    // Carried, over the foot that stands; else standing on both (not in a jump).
    if (carried ? !(left || right) : !(left && right)) return;
    const FloorPoint leftAt = stances.at[0];
    const FloorPoint rightAt = stances.at[1];
    // Past here the turn depends on nothing but where the body and the feet are and the aim: the
    // share and the widening are those of every crossed key frame that is not a lift.
    const CrossReachTurns::Key question{
        compat::bit_cast<std::uint64_t>(key.x), compat::bit_cast<std::uint64_t>(key.z),
        compat::bit_cast<std::uint64_t>(key.yaw), PointBits(leftAt), PointBits(rightAt)};
    if (const std::optional<double> known = crossReachTurns_.Find(question)) {
      key.yaw = *known;
      return;
    }
    ClimbToReachCrossed(key, leftAt, rightAt);
    crossReachTurns_.Remember(question, key.yaw);
  }

  // TurnToReachCrossed's search, for the feet on `leftAt` and `rightAt`.
  void ClimbToReachCrossed(CentreKey& key, FloorPoint leftAt, FloorPoint rightAt) const {
    // Carried, as LandingRise; standing on both feet, as StandingRise, its planted feet being
    // where they stand: turning moves neither foot, so each turn asks only for the two reaches.
    const double share = LegShare(key);
    const bool widens = Widens(key);
    auto rise = [&](const CentreKey& k) {
      const auto turn = portable::SinCos(k.yaw);
      const double reached =
          std::min(std::min(0.0, ReachRise(k.x, k.z, turn, 0, leftAt, share, widens)),
                   ReachRise(k.x, k.z, turn, 1, rightAt, share, widens));
      return std::max(reached, lowest_);
    };
    const double aim = key.yaw;
    const double atAim = rise(key);
    // Each way, the turn goes on while it raises the body: the rise climbs to one top across the
    // turns the feet allow, and searching every step both ways cost more than the rest of the
    // centre's planning with the classic footing. The nearer turn wins a tie, as the right.
    double best = atAim;
    int bestSteps = 0;
    for (const double sign : {-1.0, 1.0}) {
      CentreKey turned = key;
      double last = atAim;
      for (int k = 1; k * kCrossReachStep <= kCrossReachTurn && last < 0.0; ++k) {
        turned.yaw = aim + sign * k * kCrossReachStep;
        if (CrossedBy(leftAt, rightAt, turned.yaw) < kStillCrossed * body_.PadScale()) break;
        const double r = rise(turned);
        if (r <= last) break;
        last = r;
        if (r > best || (r == best && k < bestSteps)) {
          best = r;
          bestSteps = k;
          key.yaw = turned.yaw;
        }
      }
    }
  }

  // Whether the feet stand (or land) crossed at `frame` for the hips aimed at `yaw`.
  bool CrossedAt(std::int32_t frame, double yaw) const {
    const auto [left, right] = swings_.StancesAt(frame).at;
    return Crossed(left, right, yaw);
  }

  // The highest rise at which every planted foot is reached, never above rest.
  double StandingRise(const CentreKey& key) const {
    double rise = 0.0;
    const double share = LegShare(key);
    const bool widens = Widens(key);
    const auto turn = portable::SinCos(key.yaw);
    const FootSwings::Stances stances = swings_.StancesAt(key.frame);
    for (int side = 0; side < 2; ++side) {
      const auto s = static_cast<std::size_t>(side);
      if (stances.planted[s])
        rise = std::min(rise, ReachRise(key.x, key.z, turn, side, stances.at[s], share, widens));
    }
    return std::max(rise, lowest_);
  }

  // The highest rise at which both feet, where they stand or are about to land, are reached.
  double LandingRise(const CentreKey& key) const {
    double rise = 0.0;
    const double share = LegShare(key);
    const bool widens = Widens(key);
    const auto turn = portable::SinCos(key.yaw);
    const FootSwings::Stances stances = swings_.StancesAt(key.frame);
    for (int side = 0; side < 2; ++side)
      rise = std::min(rise, ReachRise(key.x, key.z, turn, side,
                                      stances.at[static_cast<std::size_t>(side)], share, widens));
    return std::max(rise, lowest_);
  }

  // Where the foot `side`, in the air at `frame`, is then, by its key frame there; where it
  // lands, without one.
  Vec3 AirborneFootAt(int side, std::int32_t frame) const {
    const std::vector<PendingKey>& keys = swings_.keys[static_cast<std::size_t>(side)].Keys();
    const auto key =
        std::lower_bound(keys.begin(), keys.end(), frame,
                         [](const PendingKey& k, std::int32_t f) { return k.frame < f; });
    const double ankleY = static_cast<double>(body_.ankleY);
    if (key != keys.end() && key->frame == frame) {
      const double outwards = (side == 0 ? 1.0 : -1.0) * static_cast<double>(body_.ankleX);
      return {static_cast<double>(key->position[0]) + outwards,
              ankleY + static_cast<double>(key->position[1]),
              static_cast<double>(key->position[2])};
    }
    const FloorPoint at = swings_.StanceAt(side, frame);
    return {static_cast<double>(at.x), ankleY, static_cast<double>(at.z)};
  }

  // How close the lifted leg, its hip at the centre (x, z) turned by `yaw` sunk as deep as a
  // crossed carry goes, its foot at `foot` and its knee bent forwards, comes to the standing
  // leg, straight from its hip down to `stands`.
  double LiftedLegGap(double x, double z, double yaw, int standing, FloorPoint stands,
                      Vec3 foot) const {
    const auto [sine, cosine] = portable::SinCos(yaw);
    const double hipY = static_cast<double>(body_.hipY) + kDeepestCrossedCarry * body_.PadScale();
    // The angle's sine and cosine are copied in: a lambda may not name a structured binding
    // before C++20, and the page's compiler still refuses it.
    auto hip = [&, s = sine, c = cosine](int side) {
      const double outwards = (side == 0 ? 1.0 : -1.0) * static_cast<double>(body_.hipX);
      return Vec3{x + outwards * c, hipY, z - outwards * s};
    };
    const Vec3 lifted = hip(1 - standing);
    const Vec3 leg = foot - lifted;
    const double length = std::sqrt(Dot(leg, leg));
    const double thigh = static_cast<double>(body_.thigh);
    const double shin = static_cast<double>(body_.shin);
    const double along =
        std::clamp((thigh * thigh - shin * shin + length * length) / (2.0 * length), -thigh, thigh);
    // The knee comes out of the hip-to-foot line towards the hips' forward.
    const Vec3 ahead{-sine, 0.0, -cosine};
    const Vec3 out = ahead - (Dot(ahead, leg) / (length * length)) * leg;
    const Vec3 knee = lifted + (along / length) * leg +
                      (std::sqrt(thigh * thigh - along * along) / std::sqrt(Dot(out, out))) * out;
    const Vec3 standingHip = hip(standing);
    const Vec3 ankle{static_cast<double>(stands.x), static_cast<double>(body_.ankleY),
                     static_cast<double>(stands.z)};
    return std::min(SegmentGap(standingHip, ankle, lifted, knee),
                    SegmentGap(standingHip, ankle, knee, foot));
  }

  // The landing of a carry, as CrossedCarryFits (or, uncrossed, UncrossedCarryFits: only `at`
  // and how high the landing stands from between the feet) checks each share of the shift towards
  // it: its key frame, where the lifted foot is at the carry and, found at the first share that
  // gets as far as the legs' gap, how close the legs come from between the feet, which no share
  // changes.
  struct CarryLanding {
    std::int32_t at = 0;
    Vec3 foot;
    bool known = false;
    double fromMiddle = 0.0;
    bool crossed = true;    // the landing foot lands across the standing one
    bool deepBack = false;  // uncrossed: reached on the way back as deep as the carry's limit
  };

  // Whether the body carried to (x, z) over the foot that stands for `e` (on `stands`, the hips
  // turned by `turn`), the other landing across it on `lands` at `landing`, still reaches both
  // feet and keeps the legs apart: see kDeepestCrossedReach and kCrossedLegsApart.
  bool CrossedCarryFits(double x, double z, double middleX, double middleZ, const CentreEvent& e,
                        portable::SineCosine turn, FloorPoint stands, FloorPoint lands,
                        CarryLanding& landing, double deepest) const {
    const int lifted = 1 - e.standing;
    // A frame before the landing the body is as far along its eased way into the crossing as
    // CarriedArrivingRise reckons it: asked on the straight way, the landing foot seemed out of
    // reach from carries it reaches, and the body stayed between the feet of a crossing.
    static const FrameBeforeEnd gentle(kGentle);
    const double before = gentle(std::max(1, landing.at - e.frame));
    if (ReachRise(x, z, turn, e.standing, stands, kReachShare, false) < deepest ||
        ReachRise(Lerp(x, middleX, before), Lerp(z, middleZ, before), turn, lifted, lands,
                  kReachShare, false) < deepest ||
        ReachRise(x, z, turn, lifted, lands, kReachShare, false) < kDeepestCrossedReach * scale_)
      return false;
    if (!landing.known) {
      landing.fromMiddle = LiftedLegGap(middleX, middleZ, e.yaw, e.standing, stands, landing.foot);
      landing.known = true;
    }
    return LiftedLegGap(x, z, e.yaw, e.standing, stands, landing.foot) >=
           std::min(kCrossedLegsApart * scale_, landing.fromMiddle);
  }

  // Whether the body carried to (x, z) over the foot that stands for `e` (on `stands`, the hips
  // turned by `turn`), the other landing uncrossed on `lands` at `landing.at`, stands no deeper
  // than `deepest` where CarriedArrivingRise will put it: over the standing foot, and for the
  // landing foot reached from here or, on the eased way back between the feet, a frame before
  // it lands. The foot is in the air until then: the weight goes over the standing leg in the
  // middle of the swing and comes back as the other foot reaches down, rather than staying
  // between the feet for a foot it need not reach yet.
  bool UncrossedCarryFits(double x, double z, double middleX, double middleZ, const CentreEvent& e,
                          portable::SineCosine turn, FloorPoint stands, FloorPoint lands,
                          CarryLanding& landing, double deepest, bool& back) const {
    const int lifted = 1 - e.standing;
    back = false;
    if (ReachRise(x, z, turn, e.standing, stands, kReachShare, false) < deepest) return false;
    if (ReachRise(x, z, turn, lifted, lands, kReachShare, false) >= deepest) return true;
    if (!landing.known) {
      // How high the landing stands between the feet, where the way back ends.
      landing.fromMiddle =
          std::min({0.0, ReachRise(middleX, middleZ, turn, lifted, lands, kReachShare, false),
                    ReachRise(middleX, middleZ, turn, e.standing, stands, kReachShare, false)});
      landing.known = true;
    }
    static const FrameBeforeEnd gentle(kGentle);
    const double before = gentle(landing.at - e.frame);
    const double reached = ReachRise(Lerp(x, middleX, before), Lerp(z, middleZ, before), turn,
                                     lifted, lands, kReachShare, false);
    const double share = landing.deepBack ? 1.0 : kCarryBackDepthShare;
    back = (reached - before * landing.fromMiddle) / (1.0 - before) >= share * deepest;
    return back;
  }

  // Moves `key` `share` of the way from between the feet (`middleX`, `middleZ`) over the foot
  // that stands for `e`, the hip kept clear of its ankle, if both feet, where they stand or land,
  // are reached with the body no deeper than `deepest`; says whether it did. `landing`: a carry's
  // landing (none for any other shift), checked as CrossedCarryFits or UncrossedCarryFits does.
  bool ShiftOver(CentreKey& key, double middleX, double middleZ, const CentreEvent& e, double share,
                 double deepest, CarryLanding* landing) const {
    const auto [left, right] = swings_.StancesAt(e.frame).at;
    const FloorPoint s = e.standing == 0 ? left : right;
    const auto turn = portable::SinCos(e.yaw);
    const auto [sine, cosine] = turn;
    double x = Lerp(middleX, static_cast<double>(s.x), share);
    double z = Lerp(middleZ, static_cast<double>(s.z), share);
    const double back = ClearBack(HipOffset(x, z, turn, e.standing, s), e.yaw, true);
    x += back * sine;
    z += back * cosine;
    bool reachedBack = false;
    if (landing != nullptr && !landing->crossed) {
      if (!UncrossedCarryFits(x, z, middleX, middleZ, e, turn, s, e.standing == 0 ? right : left,
                              *landing, deepest, reachedBack))
        return false;
    } else if (landing != nullptr
                   ? !CrossedCarryFits(x, z, middleX, middleZ, e, turn, s,
                                       e.standing == 0 ? right : left, *landing, deepest)
                   : ReachRise(x, z, turn, 0, left, kReachShare, false) < deepest ||
                         ReachRise(x, z, turn, 1, right, kReachShare, false) < deepest)
      return false;
    key.x = x;
    key.z = z;
    key.reachedBack = reachedBack;
    return true;
  }

  // Whether `next` is the lift out of the crossing stood at `key`, aimed as the steps aimed that
  // stance (`aim`, before any turn of ours): the hips stay turned from the one to the other,
  // however long the stance is held.
  static bool LiftsAlike(const CentreKey& key, double aim, const CentreKey& next) {
    return next.kind == CentreEvent::kLift && key.crossed && next.crossed && aim == next.yaw;
  }

  // Moves the lift key of a swing too quick for a carry key over the standing foot for `e`, from
  // between the feet, as far as kDeepestQuickCarry allows, the lifted foot landing at `landsAt`
  // (none: not yet known) and the key frame `before` it (if any); says how far.
  double CarryQuickly(CentreKey& key, double middleX, double middleZ, const CentreEvent& e,
                      std::int32_t landsAt, const CentreKey* before) const {
    const double most = kCarryShift * std::sqrt(e.weight);
    const double fine = most / kQuickCarrySteps;
    const double deepest = kDeepestQuickCarry * body_.PadScale();
    const int lifted = 1 - e.standing;
    for (double share = most; share > fine * 0.5; share -= fine) {
      CentreKey carried = key;
      if (!ShiftOver(carried, middleX, middleZ, e, share, deepest, nullptr)) continue;
      if (before &&
          portable::Hypot(carried.x - before->x, carried.z - before->z) >
              kCentreSpeed * body_.PadScale() * static_cast<double>(e.frame - before->frame))
        continue;
      if (landsAt >= 0 && ReachRise(carried.x, carried.z, e.yaw, lifted,
                                    swings_.StanceAt(lifted, landsAt)) < deepest)
        continue;
      key.x = carried.x;
      key.z = carried.z;
      return share;
    }
    return 0.0;
  }

  // Moves `key`, standing between the feet (`middleX`, `middleZ`), over the foot that stands for
  // `e` as far as `most` of the way in steps of a quarter, reaching the feet no deeper than
  // `deepest` (`landing`: as ShiftOver); a carry then goes on in finer steps as far as they reach
  // higher, every other one of them (the eighths) a little deeper with `deeperEighths`.
  void ShiftInSteps(CentreKey& key, double middleX, double middleZ, const CentreEvent& e,
                    double most, double deepest, bool deeperEighths, CarryLanding* landing) const {
    ShareList refused;
    double shifted = 0.0;
    for (double share = most; share > 0.0; share -= most / 4) {
      if (ShiftOver(key, middleX, middleZ, e, share, deepest, landing)) {
        shifted = share;
        break;
      }
      refused.Add(share);
    }
    if (e.kind != CentreEvent::kCarry) return;
    const double fine = most / kCarrySteps;
    const double fineDeepest = key.crossed ? deepest : kDeepestFineCarry * body_.PadScale();
    const double eighthDeepest =
        deeperEighths ? kDeepestEighthCarry * body_.PadScale() : fineDeepest;
    bool eighth = true;
    for (double share = most; share > shifted + fine * 0.5; share -= fine) {
      const double lowest = eighth ? eighthDeepest : fineDeepest;
      eighth = !eighth;
      // Asked no deeper than the coarse steps asked, a share they found out of reach stays so:
      // the first fine step is always one of them.
      if (lowest >= deepest && refused.Has(share)) continue;
      if (ShiftOver(key, middleX, middleZ, e, share, lowest, landing)) break;
    }
  }

  // ShiftInSteps for a key frame between the feet where they stand for `e`, carried into a
  // landing at `landsAt` (else -1) that it reaches as a crossed or an uncrossed carry does: where
  // it goes depends on nothing else but the hips' aim, the foot that stands, how far and how deep
  // the shift may go and, into a landing, how soon it lands and, crossed, where the lifted foot is.
  void ShiftRemembered(CentreKey& key, const CentreEvent& e, double most, double deepest,
                       std::int32_t landsAt, bool deeperEighths, bool deepBack) const {
    const auto [left, right] = swings_.StancesAt(e.frame).at;
    CarryLanding landing;
    landing.crossed = key.crossed;
    landing.deepBack = deepBack;
    if (landsAt >= 0) {
      landing.at = landsAt;
      if (key.crossed) landing.foot = AirborneFootAt(1 - e.standing, e.frame);
    }
    const auto asked = static_cast<std::uint64_t>(e.kind) |
                       static_cast<std::uint64_t>(e.standing + 1) << 8 |
                       static_cast<std::uint64_t>(key.crossed) << 16 |
                       static_cast<std::uint64_t>(landsAt >= 0) << 24 |
                       static_cast<std::uint64_t>(deeperEighths) << 32 |
                       static_cast<std::uint64_t>(deepBack) << 40;
    const CarryShifts::Key question{PointBits(left),
                                    PointBits(right),
                                    compat::bit_cast<std::uint64_t>(e.yaw),
                                    compat::bit_cast<std::uint64_t>(most),
                                    compat::bit_cast<std::uint64_t>(deepest),
                                    asked,
                                    static_cast<std::uint64_t>(static_cast<std::uint32_t>(
                                        landsAt >= 0 ? landsAt - e.frame : 0)),
                                    compat::bit_cast<std::uint64_t>(landing.foot.x),
                                    compat::bit_cast<std::uint64_t>(landing.foot.y),
                                    compat::bit_cast<std::uint64_t>(landing.foot.z)};
    if (const std::optional<FloorSpot> known = carryShifts_.Find(question)) {
      key.x = known->x;
      key.z = known->z;
      key.reachedBack = known->reachedBack;
      return;
    }
    ShiftInSteps(key, key.x, key.z, e, most, deepest, deeperEighths,
                 landsAt >= 0 ? &landing : nullptr);
    carryShifts_.Remember(question, {key.x, key.z, key.reachedBack});
  }

  // The frame of the last landing before the event `i`; far before the dance if none.
  static std::int32_t LandingBefore(const std::vector<CentreEvent>& events, std::size_t i) {
    for (std::size_t j = i; j-- > 0;) {
      if (events[j].kind == CentreEvent::kStance) return events[j].frame;
    }
    return std::numeric_limits<std::int32_t>::min() / 2;
  }

  // The frame of the first landing after the event `i`; -1 if none is planned yet.
  static std::int32_t LandingAfter(const std::vector<CentreEvent>& events, std::size_t i) {
    for (std::size_t j = i + 1; j < events.size(); ++j) {
      if (events[j].kind == CentreEvent::kStance) return events[j].frame;
    }
    return -1;
  }

  // Replaces `keys` with the key frames of the stretch. `before` (if any) is the last key frame of
  // the stretch before it, which the steps aimed at `aim`; `aim` becomes that of the last one.
  // Flattened: the reaches, rises and limits it asks of every key frame are small, and as calls
  // (the compiler inlined only some of them) they cost a twentieth of its instructions.
  [[gnu::flatten]] void Keys(std::vector<CentreKey>& keys, const CentreKey* before,
                             double& aim) const {
    const std::vector<CentreEvent>& events = swings_.events;
    keys.clear();
    for (std::size_t i = 0; i < events.size(); ++i) {
      const CentreEvent& e = events[i];
      // Built where it is kept rather than aside and copied in: nearly every event keeps one.
      CentreKey& key = keys.emplace_back();
      const CentreKey* const previous = keys.size() > 1 ? &keys[keys.size() - 2] : nullptr;
      key.frame = e.frame;
      key.kind = e.kind;
      key.yaw = e.yaw;
      key.standing = e.standing;
      key.flipTop = e.flipTop;
      const FootSwings::Stances stances = swings_.StancesAt(e.frame);
      const FloorPoint left = stances.at[0];
      const FloorPoint right = stances.at[1];
      key.crossed = Crossed(left, right, e.yaw);
      key.x = (static_cast<double>(left.x) + static_cast<double>(right.x)) * 0.5;
      key.z = (static_cast<double>(left.z) + static_cast<double>(right.z)) * 0.5;
      if (e.kind == CentreEvent::kLift || e.kind == CentreEvent::kCarry) {
        // Over the standing foot, as far as the other one is still reached where it stands or
        // lands without sinking low: the body is carried, not lunged.
        // A quick step leaves time for part of the shift, more than its share of the time: the
        // weight moves first, the body follows.
        // Stopped between the feet, or crossed, the body would lean towards the lifting foot.
        const std::optional<Rest> rest =
            e.kind == CentreEvent::kLift && !key.crossed && RestsOnTheBeat(i) ? RestOver(key, e)
                                                                              : std::nullopt;
        const bool rests = rest.has_value();
        const double most = (rests                          ? rest->share * kCarryShift
                             : e.kind == CentreEvent::kLift ? kLiftShift
                                                            : kCarryShift) *
                            std::sqrt(e.weight);
        // The body goes on over the standing foot without a pause as this foot lifts, but not
        // over or into a crossing (it would bring the hips across before the passing leg is by:
        // the legs meet), nor in a quick swing (its centre's key frames come too close together
        // for a curve that keeps going: a jolt in the pelvis's push).
        key.flows = e.kind == CentreEvent::kLift && !rests && e.weight >= kFlowingWeight &&
                    !key.crossed && !CrossedAt(e.frame + 1, e.yaw);
        // Only as far as a held landing follows (Settle decides): the same long, uncrossed swing.
        key.drifts = e.kind == CentreEvent::kCarry && e.weight >= kFlowingWeight && !key.crossed;
        // Crossed, the legs reach across the body: sinking to carry it would squat.
        const double deepest = (key.crossed ? kDeepestCrossedCarry
                                : rests     ? rest->deepest
                                            : kDeepestCarry) *
                               body_.PadScale();
        const double middleX = key.x;
        const double middleZ = key.z;
        // Uncrossed, the landing foot may be reached on the way back between the feet
        // (UncrossedCarryFits): not from close to its landing (kLeastCarryBackFrames), nor in an
        // unhurried step (kLongestCarriedBackStep); as deep as the carry's limit in a quick one
        // (kLongestDeepCarriedBackStep).
        const std::int32_t step =
            e.kind == CentreEvent::kCarry && !key.crossed && i + 1 < events.size()
                ? events[i + 1].frame - LandingBefore(events, i)
                : std::numeric_limits<std::int32_t>::max();
        const bool carriesBack = e.kind == CentreEvent::kCarry && !key.crossed &&
                                 i + 1 < events.size() &&
                                 events[i + 1].kind == CentreEvent::kStance &&
                                 events[i + 1].frame - e.frame >= kLeastCarryBackFrames &&
                                 step <= kLongestCarriedBackStep;
        const std::int32_t landsAt =
            e.kind == CentreEvent::kCarry && i + 1 < events.size() && (key.crossed || carriesBack)
                ? events[i + 1].frame
                : -1;
        const bool quick = e.kind == CentreEvent::kLift && !rests && !key.crossed &&
                           !(i + 1 < events.size() && events[i + 1].kind == CentreEvent::kCarry);
        double shifted =
            quick ? CarryQuickly(key, middleX, middleZ, e, LandingAfter(events, i), previous) : 0.0;
        if (shifted == 0.0) {
          // Eighths of a carry's shift may reach a little deeper over an uncrossed wide stance,
          // unless the next foot lifts a frame or two after it.
          const bool deeperEighths = !key.crossed && i + 1 < events.size() &&
                                     events[i + 1].frame - e.frame >= kEighthCarryFrames;
          ShiftRemembered(key, e, most, deepest, landsAt, deeperEighths,
                          carriesBack && step <= kLongestDeepCarriedBackStep);
        }
      }
      key.rise = e.rise;
      // A foot that was left standing (its part of the jump joined a quicker step) keeps the
      // body down.
      if (e.kind == CentreEvent::kApex && (stances.planted[0] || stances.planted[1]))
        key.kind = CentreEvent::kStance;
      // Of two at one frame, the later event's key frame is kept unless the earlier one's kind
      // ranks above it.
      if (previous != nullptr && previous->frame == key.frame) {
        if (key.kind >= previous->kind) keys[keys.size() - 2] = key;
        keys.pop_back();
      }
    }
    PlaceTops(keys);
    Settle(keys);
    LimitSpeed(keys, kCentreSpeed * body_.PadScale());
    // Again from where the speed limit left the take-off and the touch-down.
    PlaceTops(keys);
    // Stood crossed until a foot lifts out, the hips stay turned to the lift (LiftsAlike): left
    // as the steps aimed them there, the body sank through a quick crossed stance, and through
    // the end of a held one. Held long enough, a stance ends its stretch, and the lift out of it
    // starts the next.
    const double lastAim = keys.empty() ? aim : keys.back().yaw;
    if (before != nullptr && !keys.empty() && LiftsAlike(*before, aim, keys.front()))
      keys.front().yaw = before->yaw;
    aim = lastAim;
    for (std::size_t i = 0, count = keys.size(); i < count; ++i) {
      const bool liftsAlike = i + 1 < count && LiftsAlike(keys[i], keys[i].yaw, keys[i + 1]);
      if (!liftsAlike && i + 1 < count && LiftsSoon(keys[i], keys[i + 1])) continue;
      TurnToReachCrossed(keys[i]);
      if (liftsAlike) keys[i + 1].yaw = keys[i].yaw;
    }
    LimitTurning(keys);
    ClearStandingHips(keys);
    // This key frame's landing rise, if the carry before it asked it (LandingRise(keys[i])).
    std::optional<double> landed;
    for (std::size_t i = 0, count = keys.size(); i < count; ++i) {
      CentreKey& key = keys[i];
      const std::optional<double> landing = std::exchange(landed, std::nullopt);
      switch (key.kind) {
        case CentreEvent::kApex:
          break;
        case CentreEvent::kTakeOff:
          key.rise = StandingRise(key) - key.rise;
          break;
        case CentreEvent::kJumpLanding:
          key.rise = StandingRise(key) - kLandingDip * body_.PadScale();
          break;
        case CentreEvent::kTouchDown:
          key.rise = (landing ? *landing : LandingRise(key)) - kLandingDip * body_.PadScale() * 0.5;
          break;
        default:
          // With both feet planted, the standing rise asks what the landing rise asked.
          key.rise =
              landing && swings_.StancesAt(key.frame).BothPlanted() ? *landing : StandingRise(key);
      }
      // A foot that lands before the next key frame is reached all the way down: the centre
      // runs straight from here to there, and both ends reach it.
      // Carried over the standing foot, the body sinks for the other foot's landing only as far
      // as the way to it needs: sunk as deep as reaching it from here, the body would be lowest
      // between the beats, against the groove, where a walker is highest, over the standing leg.
      // A next key frame that is not held is asked as it stands, not copied to unhold it.
      // The next key frame's landing rise, once asked: a carry asks it twice.
      std::optional<double> nextLanding;
      if (key.kind != CentreEvent::kApex && i + 1 < count) {
        const CentreKey& next = keys[i + 1];
        key.rise = std::min(
            key.rise, !IsCarried(key.kind) ? ArrivingRise(key, next.frame)
                      : next.held
                          ? CarriedArrivingRise(key, Unheld(next), nullptr, nullptr)
                          : CarriedArrivingRise(key, next, i + 2 < count ? &keys[i + 2] : nullptr,
                                                &nextLanding));
      }
      if (key.held && i > 0 && IsCarried(keys[i - 1].kind))
        key.rise = std::min(key.rise, HeldLandingRise(keys[i - 1], key));
      if (key.held) key.heldSink = std::max(0.0, StandingRise(Unheld(key)) - key.rise);
      if (key.kind == CentreEvent::kCarry && i > 0)
        key.rise = std::min(
            key.rise,
            CarryHighest(keys[i - 1], i + 1 < count ? &keys[i + 1] : nullptr, nextLanding));
      landed = nextLanding;
    }
    LimitRising(keys, kCentreSpeed * body_.PadScale());
    const Lowered lowered =
        LimitFalling(keys, kMostFall * body_.PadScale(), kMostClimb * body_.PadScale());
    // Again, for landings lowered to their jump's top.
    LimitRisingAround(keys, kCentreSpeed * body_.PadScale(), lowered);
  }

  // A jump's top lies on the straight way from where it leaves to where it lands, as far along
  // as its time: in the air the body goes across at an even speed.
  static void PlaceTops(std::vector<CentreKey>& keys) {
    for (std::size_t i = 1, count = keys.size(); i + 1 < count; ++i) {
      if (keys[i].kind != CentreEvent::kApex) continue;
      const double t = static_cast<double>(keys[i].frame - keys[i - 1].frame) /
                       static_cast<double>(keys[i + 1].frame - keys[i - 1].frame);
      keys[i].x = Lerp(keys[i - 1].x, keys[i + 1].x, t);
      keys[i].z = Lerp(keys[i - 1].z, keys[i + 1].z, t);
    }
  }

  // How far over the standing foot the body rests as the other lifts for `e` (kRests): the
  // furthest way that still reaches both feet; none if not even the last one does, or if only
  // part of the way does and the swing has time to flow.
  std::optional<Rest> RestOver(const CentreKey& key, const CentreEvent& e) const {
    for (const Rest& rest : kRests) {
      if (rest.share < 1.0 && e.weight >= kFlowingWeight) break;
      CentreKey resting = key;
      if (ShiftOver(resting, key.x, key.z, e, rest.share * kCarryShift * std::sqrt(e.weight),
                    rest.deepest * body_.PadScale(), nullptr))
        return rest;
    }
    return std::nullopt;
  }

  // Whether the foot lifting at event `i` does so on an even quick beat, or a little before it,
  // where the body rests; on an odd one only where the steps leave room (kOddRestApart).
  bool RestsOnTheBeat(std::size_t i) const {
    const std::vector<CentreEvent>& events = swings_.events;
    const std::int32_t frame = events[i].frame;
    const auto beat = clock_.From(frame - kNearFrames);
    if (!beat || *beat > frame + kEarlyRestFrames) return false;
    const bool odd = clock_.LastNumber() % 2 != 0;
    const auto next = clock_.From(*beat + 1);
    if (!next || *next - *beat >= kQuickBeatFrames) return false;
    if (!odd) return true;
    if (frame - LandingBefore(events, i) > kOddRestLanded) return false;
    const std::int32_t lands = LandingAfter(events, i);
    if (lands < 0 || lands - frame < kOddRestLanding) return false;
    for (std::size_t j = i; j-- > 0 && events[j].frame >= frame - kOddRestApart;) {
      if (events[j].kind == CentreEvent::kLift) return false;
    }
    for (std::size_t j = i + 1; j < events.size() && events[j].frame <= frame + kOddRestApart;
         ++j) {
      if (events[j].kind == CentreEvent::kLift) return false;
    }
    return true;
  }

  // The highest a carry from `from` to `next` stands. Carried over the standing foot, the body
  // stays at the height it stepped from: it bounces on the beat, not with every step. Out of a
  // stance sunk well below where the next landing stands (a straddle, a wide step), it rises as
  // high as that landing: held down at the stance's height, the body was lowest between the beats
  // and came up into the beat. Not towards a crossed landing, whose carry sinks to reach round
  // the standing foot: risen, it left the weight short of the crossing and a planted foot slid.
  // `landing` is LandingRise(*next) if already asked, and keeps it if asked here.
  double CarryHighest(const CentreKey& from, const CentreKey* next,
                      std::optional<double>& landing) const {
    const double highest = from.rise + kCarryRise * body_.PadScale();
    if (next == nullptr || next->crossed) return highest;
    if (!landing) landing = LandingRise(*next);
    const double lands = std::min(0.0, *landing);
    if (from.rise > lands - kDeepStance * body_.PadScale()) return highest;
    return std::max(highest, lands);
  }

  // Carried, the body is reached by a foot landing on the next key frame only on the way there:
  // the highest rise from which the straight run to `next`, kept no higher than `next` can be,
  // reaches the landing foot a frame before it lands. Nearer the next key frame the leg needs
  // less of the sink than a run that reaches it from here.
  // `after` is the key frame after `next`, if any. `landing` (if any) keeps LandingRise(next) for
  // the caller, which may ask it again.
  double CarriedArrivingRise(const CentreKey& key, const CentreKey& next, const CentreKey* after,
                             std::optional<double>* landing) const {
    const double reachedHere = ArrivingRise(key, next.frame);
    const std::int32_t frames = next.frame - key.frame;
    if (frames < 2) return reachedHere;
    const double straight = static_cast<double>(frames - 1) / static_cast<double>(frames);
    // Into a crossing, the run eases into `next` (kCentreEase): a frame before, the body has come
    // further than that frame's share of the time (0.90 of six frames, not 0.83). Reckoned from
    // the straight run, the carry sank deeper than the crossed foot needs, lowest between the
    // beats. So does the way into its landing of a carry taken further than the landing foot is
    // reached from it (reachedBack): carried as far as that eased way lets it reach the foot, it
    // would sink between the beats reckoned from the straight one. Kept straight elsewhere: there
    // the lower carry lets the even beats' rests stand out (eased, a foot crossing over from the
    // other pad came through the standing leg, and a wide stance's rests stood out less).
    static const FrameBeforeEnd gentle(kGentle);
    const double share = next.crossed || key.reachedBack ? gentle(frames) : straight;
    const double reachedBefore =
        ArrivingRise(key, Lerp(key.x, next.x, share), Lerp(key.z, next.z, share), next.frame);
    const double nextLanding = LandingRise(next);
    if (landing != nullptr) *landing = nextLanding;
    const double landingAt = std::min(0.0, nextLanding);
    const double nextAtMost =
        next.crossed ? landingAt - CrossedLandingDip(next, after, landingAt) : landingAt;
    return std::max(reachedHere, (reachedBefore - share * nextAtMost) / (1.0 - share));
  }

  // How far below its reach (`rise`) the groove sinks a key frame landing crossed on the beat (a
  // share of its dip, see kLandingGrooveShare; stood on, as the key frame `after` it lets it,
  // no more than CrossedDip sinks it): the carry before it need not sink for that much.
  double CrossedLandingDip(const CentreKey& key, const CentreKey* after, double rise) const {
    if (!key.crossed) return 0.0;
    const auto beat = clock_.From(key.frame - kNearFrames);
    if (!beat || *beat > key.frame + kNearFrames) return 0.0;
    const auto next = clock_.From(*beat + 1);
    const double gap = next ? static_cast<double>(*next - *beat) : kGrooveBeatFrames;
    const double dip = kGrooveDip * GrooveDepth(gap) * body_.PadScale();
    if (!StandsCrossed(key, after)) return kLandingGrooveShare * dip;
    return std::min(kLandingGrooveShare * dip,
                    CrossedDip(rise, dip, kDeepestCrossedBob * body_.PadScale()));
  }

  // A held landing key frame takes the sink that the straight run from the carried key frame
  // before it needs to reach the landing foot a frame before it lands: the carried one stays as
  // high as towards the landing unheld, between the beats, and the landing, on the beat, goes
  // lower by a fraction of that (the frames before it but one are nearer to it).
  double HeldLandingRise(const CentreKey& carried, const CentreKey& key) const {
    const std::int32_t frames = key.frame - carried.frame;
    if (frames < 2) return key.rise;
    const double share = static_cast<double>(frames - 1) / static_cast<double>(frames);
    const double reachedBefore = ArrivingRise(carried, Lerp(carried.x, key.x, share),
                                              Lerp(carried.z, key.z, share), key.frame);
    return (reachedBefore - (1.0 - share) * carried.rise) / share;
  }

  // Where a held landing key frame would stand had the weight come with the foot.
  static CentreKey Unheld(CentreKey key) {
    if (!key.held) return key;
    key.x += key.heldX;
    key.z += key.heldZ;
    key.held = false;
    return key;
  }

  // The highest rise at which each foot in the air at `key` that lands by `until` is reached
  // where it lands.
  double ArrivingRise(const CentreKey& key, std::int32_t until) const {
    return ArrivingRise(key, key.x, key.z, until);
  }
  // The same for `key` moved to (x, z) on its way to the next key frame, without a copy of it.
  double ArrivingRise(const CentreKey& key, double x, double z, std::int32_t until) const {
    double rise = 0.0;
    const FootSwings::Stances here = swings_.StancesAt(key.frame);
    const FootSwings::Stances then = swings_.StancesAt(until);
    for (int side = 0; side < 2; ++side) {
      const auto s = static_cast<std::size_t>(side);
      if (here.planted[s] || !then.planted[s]) continue;
      rise = std::min(rise, ReachRise(x, z, key.yaw, side, here.at[s], LegShare(key), Widens(key)));
    }
    return std::max(rise, lowest_);
  }

 private:
  // A foot lands while the weight is still over the other one, and the weight follows it over the
  // next few frames, as a walker's does in the moment both feet are down: the landing key frame
  // stays most of the way towards the foot that stood, as far as that sinks the body little, and
  // a key frame kSettleFrames later, if nothing comes before, stands between the feet. The step
  // moves the body as much after its beat as before it: moved across before the landing (a
  // quarter of the way held, over four frames), the body stood still from a few frames after
  // the beat to the next lift, stillest half way between the beats.
  // Only landings on a beat: off the beat, the held body would stand lowest between the beats.
  void Settle(std::vector<CentreKey>& keys) const {
    // A held landing replaces its key frame in place (of the key frames around it only their
    // kinds, standing feet and frames are read, which holding leaves as they were), and the key
    // frames a while after the landings go in at the end, in one pass from the back, rather than
    // every key frame from the first landing that settles on being copied into a new list.
    std::vector<CentreKey> laters;
    for (std::size_t i = 0, count = keys.size(); i < count; ++i) {
      const CentreKey& key = keys[i];
      const bool landing = key.kind == CentreEvent::kStance && i > 0 &&
                           IsCarried(keys[i - 1].kind) && keys[i - 1].standing >= 0 &&
                           swings_.StancesAt(key.frame).BothPlanted();
      // The clock is asked of landings only: no other key frame settles.
      const auto beat = landing ? clock_.From(key.frame - kNearFrames) : std::nullopt;
      // Landing crossed, the legs reach across the body: held towards the foot behind, they
      // would pass through each other.
      if (!landing || !beat || *beat > key.frame + kNearFrames || key.crossed) continue;
      const FloorPoint s = swings_.StanceAt(keys[i - 1].standing, key.frame);
      const double between = StandingRise(key);
      const double sink = kSettleSink * body_.PadScale();
      CentreKey held = key;
      for (double share = kSettleShift; share > 0.0; share -= kSettleShift / 4) {
        held.x = Lerp(key.x, static_cast<double>(s.x), share);
        held.z = Lerp(key.z, static_cast<double>(s.z), share);
        if (StandingRise(held) >= between - sink) break;
        held.x = key.x;
        held.z = key.z;
      }
      held.held = held.x != key.x || held.z != key.z;
      held.heldX = key.x - held.x;
      held.heldZ = key.z - held.z;
      const std::int32_t at = key.frame + kSettleFrames;
      if (held.held && (i + 1 == count || keys[i + 1].frame > at)) {
        CentreKey& later = laters.emplace_back(key);
        later.frame = at;
        later.standing = -1;
      }
      keys[i] = held;
    }
    // Each later key frame goes right behind its landing: before the next key frame, which
    // comes after it.
    if (!laters.empty()) {
      std::size_t from = keys.size();
      keys.resize(keys.size() + laters.size());
      std::size_t to = keys.size();
      for (std::size_t left = laters.size(); left > 0;) {
        if (from > 0 && keys[from - 1].frame > laters[left - 1].frame) {
          keys[--to] = keys[--from];
        } else {
          keys[--to] = laters[--left];
        }
      }
    }
    // Carried towards a held landing, the body drifts on from over the standing foot rather
    // than stopping there: the stop, half way between the beats, was the step's stillest moment,
    // and the weight stays over the standing foot either way.
    for (std::size_t i = 0, count = keys.size(); i < count; ++i) {
      keys[i].drifts = keys[i].drifts && i + 1 < count && keys[i + 1].held;
    }
  }

  // No faster than `most` units a frame from one key frame to the next: each pass pulls a key
  // frame towards the one before (after) it, so that the centre sets off early and arrives late
  // rather than rushing; the rises, worked out after, keep the feet reached. A key frame is pulled
  // only as far as the planted feet are still reached standing: not at all, a centre whose way
  // across a wide stance was refused had to cross it in a frame.
  void LimitSpeed(std::vector<CentreKey>& keys, double most) const {
    const double deepest = kDeepestPull * body_.PadScale();
    auto limit = [&](CentreKey& key, const CentreKey& neighbour) {
      const double dx = key.x - neighbour.x;
      const double dz = key.z - neighbour.z;
      const double distance = portable::Hypot(dx, dz);
      const double reach = most * static_cast<double>(std::abs(key.frame - neighbour.frame));
      if (!(distance <= reach)) PullTowards(key, neighbour, dx, dz, distance, reach, deepest);
    };
    for (std::size_t i = 1, count = keys.size(); i < count; ++i) limit(keys[i], keys[i - 1]);
    for (std::size_t i = keys.size(); i-- > 1;) limit(keys[i - 1], keys[i]);
  }

  // Whether `key` stands on one foot only, one that was not down at `before`: the weight goes
  // over a foot that has just landed.
  bool Landed(const CentreKey& key, const CentreKey& before) const {
    if (key.frame <= before.frame) return false;
    const auto left = swings_.PlantedAt(0, key.frame);
    const auto right = swings_.PlantedAt(1, key.frame);
    if (left.has_value() == right.has_value()) return false;
    return !swings_.PlantedAt(left ? 0 : 1, before.frame);
  }

  // Out of a stance sunk deeper than a pull may (a split across both pads) the body may stay as
  // low as it stood there: refused, it rose out of the split and crossed to the foot that stays
  // in a frame or two, faster than a dancer's pelvis moves. Lowers `deepest` to where the feet
  // planted at `neighbour` are reached from it, if that is lower; says whether it did.
  bool StoodDeeper(const CentreKey& neighbour, double& deepest) const {
    const auto turn = portable::SinCos(neighbour.yaw);
    double stood = deepest;
    for (int side = 0; side < 2; ++side) {
      const auto at = swings_.PlantedAt(side, neighbour.frame);
      if (at)
        stood = std::min(stood,
                         ReachRise(neighbour.x, neighbour.z, turn, side, *at, kReachShare, false));
    }
    // Never below where the centre sinks at most: a key frame pulled that deep stands higher,
    // and its planted foot slides.
    stood = std::max(stood, lowest_);
    if (!(stood < deepest)) return false;
    deepest = stood;
    return true;
  }

  // LimitSpeed's pull of `key`, `distance` (along dx, dz) from `neighbour`, to `reach` from it,
  // as far as the planted feet are reached no deeper than `deepest`. Out of line: few key frames
  // are pulled, and each pull takes a dozen reaches.
  [[gnu::noinline]] void PullTowards(CentreKey& key, const CentreKey& neighbour, double dx,
                                     double dz, double distance, double reach,
                                     double deepest) const {
    const double pullX = neighbour.x + dx * reach / distance - key.x;
    const double pullZ = neighbour.z + dz * reach / distance - key.z;
    // The key frame's turn stays as it is pulled: worked out once, not for every reach.
    const auto turn = portable::SinCos(key.yaw);
    auto reached = [&](double share) {
      for (int side = 0; side < 2; ++side) {
        const auto at = swings_.PlantedAt(side, key.frame);
        if (at && ReachRise(key.x + pullX * share, key.z + pullZ * share, turn, side, *at,
                            kReachShare, false) < deepest)
          return false;
      }
      return true;
    };
    // Where the planted feet are reached is convex, so the shares that reach them are one
    // stretch from 0: halving finds its end.
    double share = 1.0;
    bool refused = !reached(share);
    if (refused && Landed(key, neighbour) && StoodDeeper(neighbour, deepest))
      refused = !reached(share);
    if (refused) {
      double lo = 0.0;
      for (int i = 0; i < kPullHalvings; ++i) {
        const double mid = (lo + share) * 0.5;
        (reached(mid) ? lo : share) = mid;
      }
      share = lo;
    }
    key.x += pullX * share;
    key.z += pullZ * share;
  }

  // Up or down no faster than `most` units a frame: a key frame too high for its neighbour is
  // lowered (never raised, so that every foot stays reached), going down early and up late.
  static void LimitRising(std::vector<CentreKey>& keys, double most) {
    for (std::size_t i = 1, count = keys.size(); i < count; ++i)
      LimitRise(keys[i], keys[i - 1], most);
    for (std::size_t i = keys.size(); i-- > 1;) LimitRise(keys[i - 1], keys[i], most);
  }

  // Lowers `key` to within `most` a frame of `neighbour`; says whether it did.
  static bool LimitRise(CentreKey& key, const CentreKey& neighbour, double most) {
    const double highest =
        neighbour.rise + most * static_cast<double>(std::abs(key.frame - neighbour.frame));
    if (key.kind == CentreEvent::kApex || !(key.rise > highest)) return false;
    key.rise = highest;
    return true;
  }

  // The key frames [first, last] that a pass lowered; none if first > last.
  struct Lowered {
    std::size_t first = 1;
    std::size_t last = 0;
  };

  // LimitRising again, over keys that passed it and of which only `lowered` were lowered since.
  // Both passes leave every key within the limit of both neighbours, lowering only, so a step
  // between two key frames neither pass lowered changes nothing: each pass starts at the lowered
  // ones and stops at the first unchanged key frame past them. Asked at every stretch with a
  // jump, where a few key frames around the jump's top are lowered out of dozens.
  static void LimitRisingAround(std::vector<CentreKey>& keys, double most, Lowered lowered) {
    if (lowered.first > lowered.last) return;
    for (std::size_t i = lowered.first + 1, count = keys.size(); i < count; ++i) {
      if (LimitRise(keys[i], keys[i - 1], most))
        lowered.last = std::max(lowered.last, i);
      else if (i > lowered.last)
        break;
    }
    for (std::size_t i = lowered.last; i >= 1; --i) {
      if (LimitRise(keys[i - 1], keys[i], most))
        lowered.first = std::min(lowered.first, i - 1);
      else if (i <= lowered.first)
        break;
    }
  }

  // Lowers a jump's top to where the body, falling from it to the next key frame, drops at most
  // `most` units in any frame, and thrown up to it from the take-off moves at most `mostClimb`
  // (across and up): a quick jump barely leaves the floor, nor springs out of a deep stance.
  // Says which key frames it lowered, for LimitRisingAround.
  static Lowered LimitFalling(std::vector<CentreKey>& keys, double most, double mostClimb) {
    static const SteepestShares up(kGentle);
    static const SteepestShares down(kSlowStart);
    Lowered lowered{keys.size(), 0};
    auto lower = [&lowered, &keys](std::size_t k, double rise) {
      if (!(rise < keys[k].rise)) return;
      keys[k].rise = rise;
      lowered.first = std::min(lowered.first, k);
      lowered.last = std::max(lowered.last, k);
    };
    for (std::size_t i = 1, count = keys.size(); i + 1 < count; ++i) {
      if (keys[i].kind != CentreEvent::kApex) continue;
      const double drop = most / down(keys[i + 1].frame - keys[i].frame);
      const double frames = static_cast<double>(keys[i].frame - keys[i - 1].frame);
      const double across =
          portable::Hypot(keys[i].x - keys[i - 1].x, keys[i].z - keys[i - 1].z) / frames;
      const double climb = std::sqrt(std::max(0.0, mostClimb * mostClimb - across * across)) /
                           up(keys[i].frame - keys[i - 1].frame);
      lower(i, std::min({keys[i].rise, keys[i + 1].rise + drop, keys[i - 1].rise + climb}));
      // Nor does a thrown body come down higher than its top: out of a deep stance into a
      // narrow one, it lands as low and stands up after.
      for (std::size_t j = i + 1; j < count && (keys[j].kind == CentreEvent::kTouchDown ||
                                                keys[j].kind == CentreEvent::kJumpLanding);
           ++j)
        lower(j, keys[i].rise);
    }
    return lowered;
  }

  // How far along one curve a way of some frames has come a frame before its end. Asked for each
  // carry into a crossing, where the way lasts from one step's lift to its landing: those few
  // lengths are worked out once.
  class FrameBeforeEnd {
   public:
    explicit FrameBeforeEnd(const CurveBytes& bytes)
        : curve_(bytes.x1, bytes.y1, bytes.x2, bytes.y2) {
      for (std::size_t n = 1; n < shares_.size(); ++n)
        shares_[n] = Over(static_cast<std::int32_t>(n));
    }

    // For `frames` of at least 1.
    double operator()(std::int32_t frames) const {
      return static_cast<std::size_t>(frames) < shares_.size()
                 ? shares_[static_cast<std::size_t>(frames)]
                 : Over(frames);
    }

   private:
    double Over(std::int32_t frames) const {
      return curve_.Progress(static_cast<double>(frames - 1) / static_cast<double>(frames));
    }

    BezierCurve curve_;
    std::array<double, 2 * kStretchGap> shares_{};
  };

  // The largest share of a way on one curve that one frame takes, by the way's length in frames.
  // Asked twice at every jump's top, where neither way lasts longer than a jump: those few are
  // worked out once.
  class SteepestShares {
   public:
    explicit SteepestShares(const CurveBytes& bytes)
        : curve_(bytes.x1, bytes.y1, bytes.x2, bytes.y2) {
      for (std::size_t n = 0; n < jumps_.size(); ++n)
        jumps_[n] = Over(static_cast<std::int32_t>(n));
    }

    double operator()(std::int32_t frames) const {
      return frames >= 0 && frames <= kMaxJumpFrames ? jumps_[static_cast<std::size_t>(frames)]
                                                     : Over(frames);
    }

   private:
    double Over(std::int32_t frames) const {
      double steepest = 0.0;
      double before = 0.0;
      for (std::int32_t k = 1; k <= frames; ++k) {
        const double progress =
            curve_.Progress(static_cast<double>(k) / static_cast<double>(frames));
        steepest = std::max(steepest, progress - before);
        before = progress;
      }
      return steepest;
    }

    BezierCurve curve_;
    std::array<double, kMaxJumpFrames + 1> jumps_{};
  };

  // No more than kMostTurnPerFrame between two key frames' frames; the backward pass turns
  // early into a turn the forward pass would take late. A key frame within the limit keeps its
  // yaw as it is, so that a turn limited here changes nothing far from it.
  static void LimitTurning(std::vector<CentreKey>& keys) {
    auto limit = [](CentreKey& key, const CentreKey& neighbour) {
      const double most =
          kMostTurnPerFrame * static_cast<double>(std::abs(key.frame - neighbour.frame));
      const double turn = portable::TurnRemainder(key.yaw - neighbour.yaw);
      if (std::fabs(turn) > most) key.yaw = neighbour.yaw + std::clamp(turn, -most, most);
    };
    for (std::size_t i = 1, count = keys.size(); i < count; ++i) limit(keys[i], keys[i - 1]);
    for (std::size_t i = keys.size(); i-- > 1;) limit(keys[i - 1], keys[i]);
  }

  const FootSwings& swings_;
  const BodyProportions& body_;
  BeatClock& clock_;
  CrossReachTurns& crossReachTurns_;  // TurnToReachCrossed's answers, kept from stretch to stretch
  CarryShifts& carryShifts_;          // ShiftRemembered's, likewise
  double lowest_;                     // the centre never sinks further, reached or not
  // The body's measures as the reach is worked out from them, asked for a few hundred thousand
  // times a dance: the hip's way out from the centre for each side.
  double scale_;
  double legLength_;
  std::array<double, 2> hipOutwards_;
  double ankleY_;
  double hipY_;
};

// The curves into a key frame drifted through, ending at k / kDriftSteps of their mean speed:
// across and forwards from `start`'s beginning, up and down gently.
constexpr std::array<InterpolationBytes, kDriftSteps + 1> IntoDrift(CurveBytes start) {
  std::array<InterpolationBytes, kDriftSteps + 1> curves{};
  for (int k = 0; k <= kDriftSteps; ++k) {
    const CurveBytes across{start.x1, start.y1, 77,
                            static_cast<std::uint8_t>(127 - 50 * k / kDriftSteps)};
    curves[static_cast<std::size_t>(k)] = MakeInterpolation(across, kGentle, across, kStraight);
  }
  return curves;
}
constexpr auto kIntoDriftFromRest = IntoDrift(kGentle);
constexpr auto kIntoDriftGoingOn = IntoDrift(kEasedEnd);

// Out of the top of a flip (a swing from one crossing into the opposite one) the hips finish
// their turn early, while the foot passes in front of the standing leg: turned evenly on to the
// landing, they were still square as the foot fell back behind it, and the legs passed through
// each other. Only the rotation: the centre's way across stays as it is. The turns, earliest
// first; the centre curves they may take the place of; and each such curve with each turn.
constexpr std::array<CurveBytes, 2> kEarlyTurns{{{15, 15, 31, 127}, {15, 15, 63, 127}}};
constexpr std::array<const InterpolationBytes*, 5> kTurnableCurves{
    &kCentreEase, &kCentreArriving, &kCentreLeaving, &kGrooveToTop, &kGrooveFromTop};
constexpr std::array<std::array<InterpolationBytes, 5>, 2> EarlyTurnCurves() {
  std::array<std::array<InterpolationBytes, 5>, 2> curves{};
  for (std::size_t turn = 0; turn < kEarlyTurns.size(); ++turn) {
    for (std::size_t c = 0; c < kTurnableCurves.size(); ++c) {
      const InterpolationBytes& b = *kTurnableCurves[c];
      curves[turn][c] = MakeInterpolation({b[0], b[4], b[8], b[12]}, {b[1], b[5], b[9], b[13]},
                                          {b[2], b[6], b[10], b[14]}, kEarlyTurns[turn]);
    }
  }
  return curves;
}
constexpr auto kEarlyTurnCurves = EarlyTurnCurves();

// `curve` turning on kEarlyTurns[turn], or `curve` itself where it is none of kTurnableCurves.
const InterpolationBytes* TurnedEarly(const InterpolationBytes* curve, std::size_t turn) {
  for (std::size_t c = 0; c < kTurnableCurves.size(); ++c) {
    if (kTurnableCurves[c] == curve) return &kEarlyTurnCurves[turn][c];
  }
  return curve;
}

// The largest share of its turn kEarlyTurns[turn] makes between two frames of a span `frames`
// long.
double SteepestEarlyTurn(std::size_t turn, std::int32_t frames) {
  const BezierCurve bezier(kEarlyTurns[turn].x1, kEarlyTurns[turn].y1, kEarlyTurns[turn].x2,
                           kEarlyTurns[turn].y2);
  double before = 0.0;
  double steepest = 0.0;
  for (std::int32_t k = 1; k <= frames; ++k) {
    const double progress = bezier.Progress(static_cast<double>(k) / static_cast<double>(frames));
    steepest = std::max(steepest, progress - before);
    before = progress;
  }
  return steepest;
}

// The curve from `from` into `key`, for the body to pass it at kDriftShare of its mean speed on to
// `next`: set off from a rest or `goingOn` (passing `from` without stopping).
const InterpolationBytes* IntoDriftCurve(const CentreKey& from, const CentreKey& key,
                                         const CentreKey& next, bool goingOn) {
  const double in =
      portable::Hypot(key.x - from.x, key.z - from.z) / static_cast<double>(key.frame - from.frame);
  const double on =
      portable::Hypot(next.x - key.x, next.z - key.z) / static_cast<double>(next.frame - key.frame);
  const double share = in > 0.0 ? std::clamp(kDriftShare * on / in, 0.0, 1.0) : 0.0;
  const auto step = static_cast<std::size_t>(share * kDriftSteps + 0.5);
  return goingOn ? &kIntoDriftGoingOn[step] : &kIntoDriftFromRest[step];
}

bool Dips(CentreEvent::Kind kind) {
  return kind == CentreEvent::kStance || kind == CentreEvent::kCarry ||
         kind == CentreEvent::kLift || kind == CentreEvent::kRecover ||
         kind == CentreEvent::kCrouchStart;
}

// Adds the groove: a dip of `depth` on each of the first `count` beats near a step or while a foot
// holds a freeze arrow (the dancer bobs on the music, not on the notes), and a rise back
// between two beats, carried by the key frame already at the beat or by a new one on the centre's
// way (gathered in `added`); away from the steps, the body marks the beat. `finished`: `keys` end
// the dance; `started`: key frames before them are written.
void Groove(std::vector<CentreKey>& keys, const std::vector<std::int32_t>& steps,
            const std::vector<std::pair<std::int32_t, std::int32_t>>& holds,
            const std::vector<std::int32_t>& beats, std::size_t count, double depth, bool finished,
            bool started, std::vector<CentreKey>& added) {
  added.clear();
  const double deepest = kDeepestBob * depth / kGrooveDip;
  const double crossedDeepest = kDeepestCrossedBob * depth / kGrooveDip;
  // Beats are asked in frame order: the first step not too early for a beat is found once by
  // search, then walked to with the beats.
  std::optional<std::vector<std::int32_t>::const_iterator> stepCursor;
  auto danced = [&](std::int32_t frame) {
    if (!stepCursor)
      stepCursor = std::lower_bound(steps.begin(), steps.end(), frame - kGrooveReach);
    auto& next = *stepCursor;
    while (next != steps.end() && *next < frame - kGrooveReach) ++next;
    if (next != steps.end() && *next <= frame + kGrooveReach) return true;
    return std::any_of(holds.begin(), holds.end(),
                       [frame](const auto& h) { return h.first <= frame && frame <= h.second; });
  };
  // The first key frame at or after `frame`. The frames asked for mostly go forwards with the
  // beats, but a mark looks back from its beat past where the beat before may have asked: the
  // place is walked to from the last answer, either way, and searched for only the first time.
  std::optional<std::vector<CentreKey>::iterator> keyCursor;
  auto firstFrom = [&](std::int32_t frame) {
    if (!keyCursor)
      keyCursor = std::lower_bound(keys.begin(), keys.end(), frame,
                                   [](const CentreKey& k, std::int32_t f) { return k.frame < f; });
    auto& next = *keyCursor;
    while (next != keys.end() && next->frame < frame) ++next;
    while (next != keys.begin() && (next - 1)->frame >= frame) --next;
    return next;
  };
  // The key frame within kNearFrames of `frame`, or a new one on the way there; null in a jump.
  // `beyond`: before the first key frame (after the last one, once the dance is `finished`) the
  // body stands as there. A new one between two key frames at least `wait` frames apart stands as
  // the one before where that stands higher: on its way, the body sank towards the next all
  // through the wait, marking each beat ever deeper, the knees ever more bent. (Where the one
  // before is the lower, a crossing or a wide stance held, it rises on its way as ever; between
  // closer ones, it goes on its way between the beats it marks, and its stillness stays there.)
  // `turnsAfter`: a rise between marked beats, after a dip of that much, which turns at its top
  // without stopping unless the dip sank a deep stance no further than a dancer's depth.
  auto at = [&](std::int32_t frame, double dip, bool beyond = false, std::int32_t wait = 0,
                std::optional<double> turnsAfter = std::nullopt) {
    const auto next = firstFrom(frame);
    for (auto near : {next, next == keys.begin() ? next : next - 1}) {
      if (near != keys.end() && std::abs(near->frame - frame) <= kNearFrames) {
        if (Dips(near->kind)) {
          // A held landing is low already, standing off between the feet: the groove sinks it
          // only as far as the hold has not, or its knees bend past a dancer's.
          const bool lands = near != keys.begin() && (IsCarried((near - 1)->kind) ||
                                                      (near - 1)->kind == CentreEvent::kApex);
          const double sunk =
              !lands ? (near->kind != CentreEvent::kStance ? dip
                                                           : StandingDip(near->rise, dip, deepest))
              : near->crossed &&
                      StandsCrossed(*near, near + 1 == keys.end() ? nullptr : &*(near + 1))
                  ? CrossedDip(near->rise, dip, crossedDeepest)
                  : dip;
          near->rise -= std::max(0.0, sunk - near->heldSink);
          near->beat = dip > 0.0;
        }
        return;
      }
    }
    if (keys.empty() || (next == keys.begin() && !beyond) ||
        (next == keys.end() && !(beyond && finished)))
      return;
    const CentreKey& a = next == keys.begin() ? *next : *(next - 1);
    const CentreKey& b = next == keys.end() ? *(next - 1) : *next;
    if (!Dips(a.kind) || !Dips(b.kind)) return;
    const double t =
        (wait > 0 && b.frame - a.frame >= wait && a.rise >= b.rise) || a.frame == b.frame
            ? 0.0
            : static_cast<double>(frame - a.frame) / static_cast<double>(b.frame - a.frame);
    // Both feet are down on the way from a key frame not carried.
    const double rise = Lerp(a.rise, b.rise, t);
    added.push_back({frame, CentreEvent::kStance, Lerp(a.x, b.x, t), Lerp(a.z, b.z, t),
                     rise - (IsCarried(a.kind) ? dip : StandingDip(rise, dip, deepest)),
                     a.yaw + portable::TurnRemainder(b.yaw - a.yaw) * t, dip > 0.0,
                     turnsAfter && rise - *turnsAfter >= deepest});
  };
  // Away from the steps, the body marks the beat: it sinks into each beat and stays down over
  // it, so that the body is stillest on the beat, not half way between, where a plain dip and
  // rise would pause as long. Only where no key frame is near, so that nothing moves but the bob.
  auto mark = [&](std::int32_t beat, std::int32_t gap, double dip) {
    const std::int32_t hold = std::min(kMarkHold, (gap - 2) / 4);
    if (hold <= 0 || beat - hold < 0) return;
    const std::int32_t from = beat - hold - 2 * kNearFrames;
    const std::int32_t to = beat + gap / 2 + kNearFrames;
    const auto near = firstFrom(from);
    if (near != keys.end() && near->frame <= to) return;
    // Out of a long wait (an intro, a stop: no key frame for two beats before this one's half
    // beat), the body stands as it was until half a beat before the first beat it marks: eased
    // all the way from the last key frame, it sank for seconds, knees ever more bent, before the
    // music asked for anything. Only from a key frame not yet written (or before the first): one
    // written stood where the path has gone on from.
    const std::int32_t rest = std::min(beat - gap / 2, from - kNearFrames - 1);
    const bool before = near != keys.begin() || !started;
    const std::int32_t since = std::max(near == keys.begin() ? -1 : (near - 1)->frame,
                                        added.empty() ? -1 : added.back().frame);
    if (before && rest >= 0 && since < rest - 2 * gap) at(rest, 0.0, true, kLongWait * gap);
    at(beat - hold, dip, true, kLongWait * gap);
    at(beat + hold, dip, true, kLongWait * gap);
    at(beat + gap / 2, 0.0, true, kLongWait * gap,
       gap <= kTurningBeatFrames ? std::optional<double>(dip) : std::nullopt);
  };
  for (std::size_t i = 0; i < count; ++i) {
    const std::int32_t gap =
        i + 1 < beats.size() ? beats[i + 1] - beats[i] : (i > 0 ? beats[i] - beats[i - 1] : 15);
    const double dip = depth * GrooveDepth(static_cast<double>(gap));
    if (!danced(beats[i])) {
      mark(beats[i], gap, gap <= kTurningBeatFrames ? kMarkDipShare * dip : dip);
      continue;
    }
    at(beats[i], dip);
    if (i + 1 < beats.size() && beats[i + 1] - beats[i] > 4 * kNearFrames)
      at(beats[i] + (beats[i + 1] - beats[i]) / 2, 0.0);
  }
  if (added.empty()) return;
  // Both lists are in frame order: merged, the new key frames go behind those at their frame.
  const auto middle = static_cast<std::ptrdiff_t>(keys.size());
  keys.insert(keys.end(), added.begin(), added.end());
  std::inplace_merge(keys.begin(), keys.begin() + middle, keys.end(),
                     [](const CentreKey& a, const CentreKey& b) { return a.frame < b.frame; });
}

}  // namespace

std::int32_t CentrePlanner::Plan(const FootSwings& swings, const std::vector<StepRecord>& records,
                                 CentrePath& path) {
  Builder(swings, body_, clock_, *crossReachTurns_, *carryShifts_)
      .Keys(added_, keys_.empty() ? nullptr : &keys_.back(), lastAim_);
  const std::int32_t boundary = added_.empty() ? kNoBoundary : added_.front().frame;
  keys_.insert(keys_.end(), added_.begin(), added_.end());
  const std::size_t heldBeats = beats_.size();
  const std::size_t heldSteps = steps_.size();
  for (std::size_t i = 0; i < records.size(); ++i) {
    const StepRecord& r = records[i];
    if (r.Steps()) steps_.push_back(r.frame);
    if (r.held[0] || r.held[1])
      holds_.emplace_back(r.frame, i + 1 < records.size() ? records[i + 1].frame : r.frame);
  }
  if (!records.empty()) {
    for (auto beat = clock_.From(nextBeat_); beat && *beat <= records.back().frame;
         beat = clock_.From(nextBeat_)) {
      beats_.push_back(*beat);
      nextBeat_ = *beat + 1;
    }
  }
  // The last beat held back rises half way to the next beat: without one in this stretch (a
  // stop, a slow song), all wait for the next.
  if (beats_.size() == heldBeats) return completed_;
  // The beats gathered now are grooved with the next stretch, once the beat after each is known,
  // and a dip or a mark keys the centre up to kMarkHold frames before its beat: the path is
  // complete only up to there (a warped intro gathers its beats long before its first step).
  const std::int32_t complete = std::max(
      completed_, std::min(boundary, beats_[heldBeats] - std::max(kMarkHold, kNearFrames)));
  Complete(boundary, complete, heldBeats, heldSteps, path);
  completed_ = complete;
  return completed_;
}

void CentrePlanner::Finish(CentrePath& path) {
  Complete(kNoBoundary, kNoBoundary, beats_.size(), steps_.size(), path);
}

BodyTurns CentrePlanner::TurnsAt(double yaw, double leanForward, double leanSideways,
                                 bool beat) const {
  const BodyTurnsMemo::Key question{compat::bit_cast<std::uint64_t>(yaw),
                                    compat::bit_cast<std::uint64_t>(leanForward),
                                    compat::bit_cast<std::uint64_t>(leanSideways), beat ? 1u : 0u};
  if (const std::optional<BodyTurns> known = bodyTurns_->Find(question)) return *known;
  // The chest turns back half the hips' turn; the head turns back as much again, keeps half the
  // lean off and nods on the beat.
  const double back = -0.5 * portable::TurnRemainder(yaw - straightAhead_);
  const Quaternion turn = AxisAngle({0.0, 1.0, 0.0}, back);
  const Quaternion lean = Compose(AxisAngle({1.0, 0.0, 0.0}, -leanForward * kDegree),
                                  AxisAngle({0.0, 0.0, 1.0}, -leanSideways * kDegree));
  const double nod = beat ? -kNod : kNod * 0.25;
  const Quaternion head = AxisAngle({1.0, 0.0, 0.0}, (0.5 * leanForward + nod) * kDegree);
  const BodyTurns turns{YawQuaternion(static_cast<float>(yaw)), ToFloats(Compose(turn, lean)),
                        ToFloats(Compose(turn, head))};
  bodyTurns_->Remember(question, turns);
  return turns;
}

bool CentrePlanner::Flowing(const CentreKey* last, const CentreKey& key,
                            const CentreKey& next) const {
  if (last == nullptr || key.frame <= last->frame || next.frame <= key.frame) return false;
  const double in = static_cast<double>(key.frame - last->frame);
  const double out = static_cast<double>(next.frame - key.frame);
  return portable::Hypot((next.x - key.x) / out - (key.x - last->x) / in,
                         (next.z - key.z) / out - (key.z - last->z) / in) <=
         kFlowMatch * body_.PadScale();
}

std::optional<std::size_t> CentrePlanner::TurnedOut(const CentreKey& top, const CentreKey& next) {
  const double turn = std::fabs(portable::TurnRemainder(next.yaw - top.yaw));
  const std::int32_t frames = next.frame - top.frame;
  if (turn == 0.0 || frames < 2) return std::nullopt;
  for (std::size_t t = 0; t < kEarlyTurns.size(); ++t) {
    double steepest;
    if (frames < kRememberedTurnSpans) {
      double& known = steepestTurns_[t][static_cast<std::size_t>(frames)];
      if (known == 0.0) known = SteepestEarlyTurn(t, frames);
      steepest = known;
    } else {
      steepest = SteepestEarlyTurn(t, frames);
    }
    if (turn * steepest <= kMostTurnPerFrame) return t;
  }
  return std::nullopt;
}

// Flattened, as Keys is: each key frame's curve, lean and turns are small asks.
[[gnu::flatten]] void CentrePlanner::Complete(std::int32_t boundary, std::int32_t complete,
                                              std::size_t heldBeats, std::size_t heldSteps,
                                              CentrePath& path) {
  Groove(keys_, steps_, holds_, beats_, heldBeats, kGrooveDip * body_.PadScale(),
         boundary == kNoBoundary, last_.has_value(), added_);
  // The key frame added to the path before each: kept from the last call, then the list's own,
  // copied once at the end rather than at every key frame.
  const CentreKey* last = last_ ? &*last_ : nullptr;
  std::size_t i = 0;
  const std::size_t count = keys_.size();  // counted once, as in Builder
  for (; i < count && keys_[i].frame < complete; ++i) {
    const CentreKey& key = keys_[i];
    // Thrown up to the top of a jump and falling from it, the body goes across evenly, up slowing
    // and down gathering speed: nothing but its fall pulls it while both feet travel.
    // As a foot lifts, the body is already on its way over the standing foot and goes on without
    // a pause: eased to a stop there, it stayed between the feet through the swing's first frames,
    // the weight towards the lifted foot. (Its height eases as ever: it moves over the feet.)
    // It goes on only where it comes in about as fast as it leaves: out of a rest (over a wide
    // stance, waiting for the lift) it would set off at full speed from one frame to the next.
    const bool flows = key.flows && i + 1 < count && Flowing(last, key, keys_[i + 1]);
    const bool drifts = key.drifts && i + 1 < count && last && last->frame < key.frame &&
                        key.frame < keys_[i + 1].frame;
    // Carried over the standing foot into a landing off the beat (the weight not held back for
    // it), the body stays there while the foot is in the air and comes across late, arriving as
    // the foot lands: eased both ways, it was half way back between the feet before the foot
    // came down, the weight towards the foot still in the air. On the beat the body still
    // eases into the landing: stillest there, it marks the beat. Crossed, the legs reach across
    // the body: swept across as the foot comes down, they pass closer.
    const bool landsLate = key.kind == CentreEvent::kStance && written_ == CentreEvent::kCarry &&
                           !key.held && !key.beat && !key.crossed;
    const InterpolationBytes* curve = key.kind == CentreEvent::kApex   ? &kFlightRise
                                      : written_ == CentreEvent::kApex ? &kFlightFall
                                      : drifts ? IntoDriftCurve(*last, key, keys_[i + 1], flowed_)
                                      : flows || landsLate ? &kCentreArriving
                                      : flowed_            ? &kCentreLeaving
                                      : key.top            ? &kGrooveToTop
                                      : topped_            ? &kGrooveFromTop
                                                           : &kCentreEase;
    if (turnOut_) {
      curve = TurnedEarly(curve, *turnOut_);
      turnOut_.reset();
    }
    // The key frame after it written in this call too: later ones may still move.
    if (key.flipTop && i + 1 < count && keys_[i + 1].frame < complete)
      turnOut_ = TurnedOut(key, keys_[i + 1]);
    topped_ = key.top;
    written_ = key.kind;
    flowed_ = flows || drifts;
    last = &key;
    const std::array<float, 3> at{static_cast<float>(key.x), static_cast<float>(key.rise),
                                  static_cast<float>(key.z)};
    if (!twist_) {
      path.centre.Add({key.frame, at, YawQuaternion(static_cast<float>(key.yaw)), curve});
      continue;
    }
    // The chest leans a little forwards and into where the body is going.
    double forward = 0.0;
    double sideways = 0.0;
    if (i + 1 < count) {
      const CentreKey& next = keys_[i + 1];
      const double frames = static_cast<double>(next.frame - key.frame);
      const double vx = (next.x - key.x) / frames;
      const double vz = (next.z - key.z) / frames;
      const auto [s, c] = portable::SinCos(key.yaw);
      sideways = vx * c - vz * s;
      forward = -(vx * s + vz * c);
    }
    const double perSpeed = kLeanPerSpeed / body_.PadScale();
    const double leanForward = std::clamp(kUprightLean + perSpeed * forward, -kMostLean, kMostLean);
    const double leanSideways = std::clamp(perSpeed * sideways, -kMostLean, kMostLean);
    const BodyTurns turns = TurnsAt(key.yaw, leanForward, leanSideways, key.beat);
    path.centre.Add({key.frame, at, turns.hips, curve});
    path.upperBody.Add({key.frame, {}, turns.chest, &kTurnEase});
    path.neck.Add({key.frame, {}, turns.head, &kTurnEase});
  }
  if (i > 0) last_ = keys_[i - 1];
  keys_.erase(keys_.begin(), keys_.begin() + static_cast<std::ptrdiff_t>(i));
  beats_.erase(beats_.begin(), beats_.begin() + static_cast<std::ptrdiff_t>(heldBeats));
  const std::int32_t kept = beats_.empty() ? boundary : beats_.front();
  holds_.erase(std::remove_if(holds_.begin(), holds_.end(),
                              [kept](const auto& h) { return h.second < kept - kGrooveReach; }),
               holds_.end());
  steps_.erase(steps_.begin(), steps_.begin() + static_cast<std::ptrdiff_t>(heldSteps));
}

}  // namespace pavaneflow
