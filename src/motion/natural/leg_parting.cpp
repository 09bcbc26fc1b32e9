#include "motion/natural/leg_parting.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "motion/leg_ik.h"
#include "motion/segment_gap.h"
#include "vmd/bone_blend.h"

namespace pavaneflow {
namespace {

// A little more than the legs' thickness, so that a player sampling between frames keeps them
// apart too.
constexpr double kClear = kLegsThrough + 0.05;
// The bump's height is tried in these steps, up to kPushSteps of them (units of the reference
// body, scaled with the pad), every kCoarse-th first.
constexpr double kPushStep = 0.1;
constexpr int kPushSteps = 25;
constexpr int kCoarse = 5;
// A bumped path is kept below the ankle speed the dance is held to, with room to spare, lands
// as softly as a planned landing does, and keeps the feet as far apart sideways as the ankles'
// own width at the frames where they were.
constexpr double kFastestFoot = 2.1;
constexpr double kSoftLanding = 0.11;
constexpr double kFeetApart = 1.0;
constexpr float kOnFloor = 1e-3f;
// Legs seen from above as straight lines no nearer than this over a swing come nowhere near
// each other: the knees' bend and the curves between keys, left out of that view, move them by
// less.
constexpr double kMayMeet = 1.3;
// A jump whose hips turn less than this between its take-off and its landing, or whose feet
// stand further apart across the hips than this at both (ankle to ankle), keeps its legs apart.
constexpr double kJumpTurnCosine = 0.707106781186548;  // cos 45°
constexpr double kJumpNear = 2.0;

Vec3 ToVec(const std::array<double, 3>& p) {
  return {p[0], p[1], p[2]};
}

// The direction of `v` along the floor, unit length; none when it points straight up or down.
std::optional<Vec3> Flat(Vec3 v) {
  const Vec3 flat{v.x, 0.0, v.z};
  const double length = Length(flat);
  if (length < 1e-9) return std::nullopt;
  return (1.0 / length) * flat;
}

// The progress of each channel on each whole frame between two key frames `span` frames apart,
// worked out once per curve and span: a dance's keys use few curves and few spans, and solving
// a Bezier curve for every frame of every swing would cost more than the rest of the pass.
class Progresses {
 public:
  const std::vector<std::array<double, 4>>& Of(const InterpolationBytes& bytes, std::int32_t span) {
    auto [at, added] = tables_.try_emplace({span, bytes});
    if (added) {
      std::array<BezierCurve, 4> curves{ChannelCurve(bytes, 0), ChannelCurve(bytes, 1),
                                        ChannelCurve(bytes, 2), ChannelCurve(bytes, 3)};
      at->second.resize(static_cast<std::size_t>(span) + 1);
      for (std::int32_t k = 0; k <= span; ++k) {
        const double x = static_cast<double>(k) / static_cast<double>(span);
        for (std::size_t c = 0; c < 4; ++c) {
          at->second[static_cast<std::size_t>(k)][c] = curves[c].Progress(x);
        }
      }
    }
    return at->second;
  }

 private:
  std::map<std::pair<std::int32_t, InterpolationBytes>, std::vector<std::array<double, 4>>> tables_;
};

// The poses of a bone on the frames `from` to `to` as a player samples them (BoneTrack::At, to
// the bit), walking the keys once; the rotation only where `turns` asks for it.
std::vector<BonePose> Sample(const std::vector<PendingKey>& keys, std::int32_t from,
                             std::int32_t to, bool turns, Progresses& progresses) {
  std::vector<BonePose> poses;
  poses.reserve(static_cast<std::size_t>(to - from + 1));
  // The first key after the frame; the one before it is the last at or before the frame.
  auto next = std::upper_bound(keys.begin(), keys.end(), from,
                               [](std::int32_t f, const PendingKey& key) { return f < key.frame; });
  std::optional<RotationBlend> turn;
  const std::vector<std::array<double, 4>>* table = nullptr;
  for (std::int32_t f = from; f <= to; ++f) {
    if (next != keys.end() && next->frame <= f) {
      ++next;
      turn.reset();
      table = nullptr;
    }
    if (next == keys.begin() || next == keys.end()) {
      const PendingKey& key = next == keys.begin() ? keys.front() : keys.back();
      poses.push_back(PoseAt(key.position, key.rotation));
      continue;
    }
    const PendingKey& a = *(next - 1);
    const PendingKey& b = *next;
    if (table == nullptr) table = &progresses.Of(*b.interpolation, b.frame - a.frame);
    const std::array<double, 4>& progress = (*table)[static_cast<std::size_t>(f - a.frame)];
    BonePose pose;
    for (std::size_t i = 0; i < 3; ++i) {
      const double p = static_cast<double>(a.position[i]);
      pose.position[i] = p + (static_cast<double>(b.position[i]) - p) * progress[i];
    }
    if (turns) {
      if (!turn) turn.emplace(a.rotation, b.rotation);
      pose.rotation = turn->At(progress[3]);
    }
    poses.push_back(pose);
  }
  return poses;
}

// A foot in the air from one key frame on the floor to the next, both frames included.
struct Swing {
  std::size_t side = 0;
  std::int32_t from = 0;
  std::int32_t to = 0;
  std::size_t lift = 0;  // the index of its key at `from`
  std::size_t land = 0;  // and at `to`
};

bool OnFloor(const PendingKey& key) {
  return key.position[1] <= kOnFloor;
}

// Whether two swings, the left foot's and the right one's, are a jump with both feet as high all
// the way: their keys at the same frames, as high, on the same curves. Neither foot is then the
// higher one to make way, but for a frame by the lift or the landing where both are all but on
// the floor.
bool Twins(const std::array<KeyTrack, 2>& feet, const Swing& left, const Swing& right) {
  if (left.from != right.from || left.to != right.to ||
      left.land - left.lift != right.land - right.lift)
    return false;
  for (std::size_t k = 0; k <= left.land - left.lift; ++k) {
    const PendingKey& a = feet[0].Keys()[left.lift + k];
    const PendingKey& b = feet[1].Keys()[right.lift + k];
    if (a.frame != b.frame || a.position[1] != b.position[1] ||
        *a.interpolation != *b.interpolation)
      return false;
  }
  return true;
}

// One foot's swings that lift from `begin` on and land by `end`, found one at a time in the
// order they lift, walking its keys once.
class SwingFinder {
 public:
  SwingFinder(const KeyTrack& foot, std::size_t side, std::int32_t begin, std::int32_t end)
      : keys_(foot.Keys()), side_(side), begin_(begin), end_(end) {
    Find();
  }

  const std::optional<Swing>& Next() const { return next_; }

  // Moves on past the next swing; `rekeyed` if its keys inside were replaced since it was found,
  // which moves its landing key.
  void Pass(bool rekeyed) {
    if (rekeyed) {
      at_ = static_cast<std::size_t>(
          std::lower_bound(keys_.begin(), keys_.end(), next_->to,
                           [](const PendingKey& key, std::int32_t f) { return key.frame < f; }) -
          keys_.begin());
      lift_.reset();
    }
    Find();
  }

 private:
  // The swing from the key on the floor before `at_` (the last landing) on.
  void Find() {
    next_.reset();
    for (; at_ < keys_.size() && keys_[at_].frame <= end_; ++at_) {
      if (!OnFloor(keys_[at_])) continue;
      const std::optional<std::size_t> lift = std::exchange(lift_, at_);
      if (lift && at_ > *lift + 1 && keys_[*lift].frame >= begin_) {
        next_ = Swing{side_, keys_[*lift].frame, keys_[at_].frame, *lift, at_};
        ++at_;
        return;
      }
    }
  }

  const std::vector<PendingKey>& keys_;
  std::size_t side_;
  std::int32_t begin_;
  std::int32_t end_;
  std::size_t at_ = 0;               // the next key to look at
  std::optional<std::size_t> lift_;  // the last key on the floor before it
  std::optional<Swing> next_;
};

// A key's place, or its turn's left along the floor.
Vec3 PlaceOf(const PendingKey& key) {
  return {static_cast<double>(key.position[0]), static_cast<double>(key.position[1]),
          static_cast<double>(key.position[2])};
}

Vec3 LeftOf(const PendingKey& key) {
  // The first column of the turn's matrix, written out: this runs for every key a swing spans.
  const double x = static_cast<double>(key.rotation[0]);
  const double y = static_cast<double>(key.rotation[1]);
  const double z = static_cast<double>(key.rotation[2]);
  const double w = static_cast<double>(key.rotation[3]);
  return {1.0 - 2.0 * (y * y + z * z), 0.0, 2.0 * (x * z - w * y)};
}

// Walks a bone's keys forward over a swing, taking what `of` gives on a frame straight between
// the keys around it rather than along their curves: near enough to tell legs that stay well
// apart from legs that may meet, at a fraction of the cost of sampling the curves.
class Straight {
 public:
  // `next` is the first key after the swing's first frame.
  Straight(const std::vector<PendingKey>& keys, std::vector<PendingKey>::const_iterator next)
      : keys_(keys), next_(next) {}

  template <typename Of>
  Vec3 At(std::int32_t f, Of of) {
    while (next_ != keys_.end() && next_->frame <= f) ++next_;
    if (next_ == keys_.begin()) return of(keys_.front());
    const PendingKey& a = *(next_ - 1);
    if (next_ == keys_.end() || a.frame == f) return of(a);
    const double t = static_cast<double>(f - a.frame) / static_cast<double>(next_->frame - a.frame);
    const Vec3 at = of(a);
    return at + t * (of(*next_) - at);
  }

  // The frame of the first key after the last one asked for, or `end` if that comes first.
  std::int32_t NextKey(std::int32_t end) const {
    return next_ == keys_.end() ? end : std::min(end, next_->frame);
  }

 private:
  const std::vector<PendingKey>& keys_;
  std::vector<PendingKey>::const_iterator next_;
};

// The first key of a track after a frame, walked forward from the one found for an earlier
// frame: the swings are screened in the order they lift, and a search for each would cost a good
// share of the screen. Kept as a place in the keys, which stays right when a swing's keys are
// replaced, as that is only ever after the frame asked for last.
class KeyCursor {
 public:
  // Starts with a search for the first key after `frame`.
  KeyCursor(const KeyTrack& track, std::int32_t frame)
      : track_(track),
        next_(static_cast<std::size_t>(
            std::upper_bound(track.Keys().begin(), track.Keys().end(), frame,
                             [](std::int32_t f, const PendingKey& key) { return f < key.frame; }) -
            track.Keys().begin())) {}

  std::vector<PendingKey>::const_iterator After(std::int32_t frame) {
    const std::vector<PendingKey>& keys = track_.Keys();
    while (next_ < keys.size() && keys[next_].frame <= frame) ++next_;
    return keys.begin() + static_cast<std::ptrdiff_t>(next_);
  }

 private:
  const KeyTrack& track_;
  std::size_t next_;
};

// The cursors of the centre's and both feet's keys.
struct Cursors {
  KeyCursor centre;
  std::array<KeyCursor, 2> feet;
};

// The least squared distance from the origin to the triangle a, b, c in the plane (x, z), or
// at least `reach` squared if every corner lies `reach` or more along x: the swinging leg then
// stays wholly to its own side of the other, as it does on most frames of a dance.
double FromTriangle(Vec3 a, Vec3 b, Vec3 c, double reach) {
  if (a.x >= reach && b.x >= reach && c.x >= reach) return reach * reach;
  const auto side = [](Vec3 p, Vec3 q) { return p.x * q.z - p.z * q.x; };
  const double ab = side(a, b);
  const double bc = side(b, c);
  const double ca = side(c, a);
  if ((ab >= 0.0 && bc >= 0.0 && ca >= 0.0) || (ab <= 0.0 && bc <= 0.0 && ca <= 0.0)) return 0.0;
  const auto edge = [](Vec3 p, Vec3 q) {
    const Vec3 along = q - p;
    const double length = Dot(along, along);
    const double t = length > 0.0 ? std::clamp(-Dot(p, along) / length, 0.0, 1.0) : 0.0;
    const Vec3 nearest = p + t * along;
    return Dot(nearest, nearest);
  };
  return std::min({edge(a, b), edge(b, c), edge(c, a)});
}

// Whether the legs may come within `reach` of each other over a swing, seen from above with the
// hips square to the floor: each leg a straight line from its hip to its ankle, the swinging one
// seen from the other (across the hips, and along their forward). Between two frames where a
// key changes course the swinging leg sweeps a triangle from its hip, and the legs come no
// nearer than that triangle does to the other leg. Bent knees and the curves between keys are
// left out, so `reach` must allow for them; but the answer comes from the keys alone, so the
// many swings that pass well clear of the other leg cost next to nothing.
bool MayMeet(const BodyProportions& body, const KeyTrack& centre,
             const std::array<KeyTrack, 2>& feet, const Swing& swing, double reach,
             Cursors& cursors) {
  Straight own(feet[swing.side].Keys(), cursors.feet[swing.side].After(swing.from));
  Straight other(feet[1 - swing.side].Keys(), cursors.feet[1 - swing.side].After(swing.from));
  Straight hips(centre.Keys(), cursors.centre.After(swing.from));
  const double outwards = swing.side == 0 ? 1.0 : -1.0;
  const Vec3 ankles{2.0 * outwards * static_cast<double>(body.ankleX), 0.0, 0.0};
  const Vec3 hipsApart{2.0 * static_cast<double>(body.hipX), 0.0, 0.0};
  // The swinging ankle from the other one, and the hips' left turned to the swinging side.
  struct Seen {
    Vec3 apart;
    Vec3 out;
  };
  const auto seen = [&](std::int32_t f) -> std::optional<Seen> {
    const Vec3 left = hips.At(f, LeftOf);
    const double length = Length(left);
    if (length < 1e-9) return std::nullopt;
    return Seen{own.At(f, PlaceOf) - other.At(f, PlaceOf) + ankles, (outwards / length) * left};
  };
  // Across the hips (x) and along their forward (z); the hips turn between keys, so either
  // end's way of looking is tried.
  const auto across = [](Vec3 apart, Vec3 out) {
    return Vec3{Dot(apart, out), 0.0, out.x * apart.z - out.z * apart.x};
  };
  std::optional<Seen> before = seen(swing.from);
  for (std::int32_t f = swing.from; f < swing.to;) {
    f = std::min({own.NextKey(swing.to), other.NextKey(swing.to), hips.NextKey(swing.to)});
    const std::optional<Seen> after = seen(f);
    if (!before || !after) return true;
    for (const Vec3& out : {before->out, after->out}) {
      if (FromTriangle(hipsApart, across(before->apart, out), across(after->apart, out), reach) <
          reach * reach)
        return true;
    }
    before = after;
  }
  return false;
}

// Whether a jump with both feet as high all the way, `left` and `right`, may take one leg
// through the other: only where the hips turn a good way in the air while the feet stand crossed
// or close at its lift or its landing, as in a jump out of a crossing into the other one. Most
// jumps land as they took off, square and apart, and are let by on the keys at its two ends.
bool TurnsAcross(const BodyProportions& body, const KeyTrack& centre,
                 const std::array<KeyTrack, 2>& feet, const Swing& left, const Swing& right,
                 Cursors& cursors) {
  Straight hips(centre.Keys(), cursors.centre.After(left.from));
  const auto across = [&](std::size_t l, std::size_t r, Vec3 out) {
    return Dot(PlaceOf(feet[0].Keys()[l]) - PlaceOf(feet[1].Keys()[r]), out) +
           2.0 * static_cast<double>(body.ankleX);
  };
  const Vec3 lift = hips.At(left.from, LeftOf);
  const Vec3 land = hips.At(left.to, LeftOf);
  const double liftLength = Length(lift);
  const double landLength = Length(land);
  if (liftLength < 1e-9 || landLength < 1e-9) return true;
  if (Dot(lift, land) > kJumpTurnCosine * liftLength * landLength) return false;
  return std::min(across(left.lift, right.lift, (1.0 / liftLength) * lift),
                  across(left.land, right.land, (1.0 / landLength) * land)) < kJumpNear;
}

// Whether the swinging foot, this high, makes way for the other one this high: of two feet in
// the air, the higher one does; in a jump with both as high (`twin`), either may.
bool MakesWay(double own, double other, bool twin) {
  return twin || other <= static_cast<double>(kOnFloor) || other < own;
}

// One frame of a swing: the centre and both feet as planned, and what of the legs does not
// depend on how far the swinging foot is pushed: the hips and the other leg.
struct Moment {
  Quaternion turn{};
  Vec3 forward;
  Vec3 left;  // the hips' left, unit length
  std::array<Vec3, 2> hip;
  Vec3 own;          // the swinging foot's IK bone
  Vec3 other;        // the other foot's
  LegPose otherLeg;  // placed only where the legs' gap is asked for
};

// The legs' gap with the swinging foot pushed by `push`; where it is under `enough`, maybe only
// some distance under it (LegsGapUnder).
double Gap(const BodyProportions& body, const Moment& m, std::size_t side, Vec3 push,
           double enough = 0.0) {
  std::array<LegPose, 2> legs;
  legs[side] = PlaceLeg(m.hip[side], FootTarget(body, m.own + push, side), m.forward,
                        static_cast<double>(body.thigh), static_cast<double>(body.shin));
  legs[1 - side] = m.otherLeg;
  return LegsGapUnder(body, m.hip, legs, m.left, kClear, enough);
}

// Eases from 0 to 1 with neither speed nor acceleration at either end, so that the bump starts
// and ends without a jerk and barely moves the foot on the frame it lands.
double Smooth(double t) {
  return t * t * t * (10.0 + t * (6.0 * t - 15.0));
}

// How much of the push frame `f` of a swing gets: all of it from `first` to `last`, the frames
// that meet, easing in from the lift and out to the landing, which stay where they are. The foot
// is back on its path a frame before it lands, where it can be, so that it lands as softly as
// planned.
double Bump(std::int32_t f, const Swing& swing, std::int32_t first, std::int32_t last) {
  if (f <= swing.from || f >= swing.to) return 0.0;
  if (f < first) return Smooth(static_cast<double>(f - swing.from) / (first - swing.from));
  const std::int32_t settled = std::max(last, swing.to - 1);
  if (f >= settled && f > last) return 0.0;
  if (f > last) return Smooth(static_cast<double>(settled - f) / (settled - last));
  return 1.0;
}

// How a swing pushed along some way fares: the frames whose legs still meet, the least gap, the
// foot's fastest frame, its frames faster than kFastestFoot, its last frame into the landing and
// the frames with the feet closer than kFeetApart sideways.
struct Outcome {
  int meeting = 0;
  double least = 1e300;
  double fastest = 0.0;
  int fast = 0;
  double landing = 0.0;
  int fused = 0;

  // Whether this is no faster, no harder landing and no closer than `before` beyond its limits.
  bool Keeps(const Outcome& before) const {
    return fastest <= std::max(kFastestFoot, before.fastest) && fast <= before.fast &&
           landing <= std::max(kSoftLanding, before.landing) && fused <= before.fused;
  }
};

class SwingParter {
 public:
  SwingParter(const BodyProportions& body, const Swing& swing, std::vector<Moment> moments,
              bool twin)
      : body_(body), swing_(swing), moments_(std::move(moments)), twin_(twin) {
    planned_.reserve(moments_.size());
    otherFeet_.reserve(moments_.size());
    for (Moment& m : moments_) {
      otherFeet_.push_back(FootTarget(body_, m.other, 1 - swing_.side));
      near_.push_back(Near(m, otherFeet_.back()));
      if (!near_.back()) {
        planned_.push_back(kClear);
        continue;
      }
      PlaceOtherLeg(m, otherFeet_.back());
      planned_.push_back(Gap(body_, m, swing_.side, {}));
    }
    // A push moves the foot on frames that were not near too: their other leg is needed then.
    if (std::none_of(planned_.begin(), planned_.end(), [](double gap) { return gap < kClear; })) {
      return;
    }
    for (std::size_t i = 0; i < moments_.size(); ++i) {
      if (!near_[i]) PlaceOtherLeg(moments_[i], otherFeet_[i]);
    }
  }

  // The push of each frame that parts the legs, or none where the swing is clear or no push helps.
  std::optional<std::vector<Vec3>> Pushes() const {
    std::int32_t first = -1;
    std::int32_t last = -1;
    std::size_t worst = 0;
    double least = kClear;
    for (std::size_t i = 1; i + 1 < moments_.size(); ++i) {
      const Moment& m = moments_[i];
      if (!MakesWay(m.own.y, m.other.y, twin_)) continue;
      const double gap = planned_[i];
      if (gap >= kClear) continue;
      const auto f = static_cast<std::int32_t>(i);
      if (first < 0) first = f;
      last = f;
      if (gap < least) {
        least = gap;
        worst = i;
      }
    }
    if (first < 0) return std::nullopt;
    const std::vector<Vec3> ways = Ways(moments_[worst]);
    std::vector<std::size_t> order = Order();
    const std::vector<double> shares = Shares(first, last);
    Outcome before;
    Pace({}, shares, before);
    Meet({}, order, shares, static_cast<int>(moments_.size()), before, true);
    const double step = kPushStep * body_.PadScale();
    // How a push fares, or none if more than `most` of its frames meet or it is too fast or
    // too close. Nearly every push tried keeps the pace, and most that do not part the legs are
    // told by a frame or two: the legs come first.
    const auto fares = [&](int n, const Vec3& way, int most) -> std::optional<Outcome> {
      const Vec3 push = (step * n) * way;
      Outcome outcome;
      if (!Meet(push, order, shares, most, outcome)) return std::nullopt;
      Pace(push, shares, outcome);
      if (!outcome.Keeps(before)) return std::nullopt;
      return outcome;
    };
    std::optional<std::vector<Vec3>> best;
    Outcome bestOutcome = before;
    // Keeps the push if it leaves fewer frames meeting than any before it; true if it parts
    // every frame. Until one leaves fewer meeting than planned, a push that leaves as many is of
    // no use (it is never kept in the end), so it is dropped as soon as that many frames meet.
    const auto parts = [&](int n, const Vec3& way) {
      const int most = bestOutcome.meeting - (bestOutcome.meeting == before.meeting ? 1 : 0);
      const std::optional<Outcome> outcome = fares(n, way, most);
      if (!outcome) return false;
      if (outcome->meeting < bestOutcome.meeting ||
          (outcome->meeting == bestOutcome.meeting && outcome->least > bestOutcome.least)) {
        bestOutcome = *outcome;
        best = Spread((step * n) * way, shares);
      }
      return outcome->meeting == 0;
    };
    // The smallest push that parts every frame, else the one that leaves the fewest meeting.
    // One a little larger than a push that parts the legs nearly always parts them too: every
    // kCoarse-th size is tried, and below the first that parts, each smaller one.
    for (int n = kCoarse; n <= kPushSteps; n += kCoarse) {
      for (const Vec3& way : ways) {
        if (!parts(n, way)) continue;
        for (int finer = n - kCoarse + 1; finer < n; ++finer) {
          for (const Vec3& other : ways) {
            if (parts(finer, other)) return best;
          }
        }
        return best;
      }
    }
    return bestOutcome.meeting < before.meeting ? best : std::nullopt;
  }

 private:
  // In depth along the hips' forward, to the side of the other leg the foot is on, then
  // outwards.
  std::vector<Vec3> Ways(const Moment& m) const {
    std::vector<Vec3> ways;
    const std::optional<Vec3> forward = Flat(m.forward);
    if (forward) {
      const Vec3 apart =
          FootTarget(body_, m.own, swing_.side) - FootTarget(body_, m.other, 1 - swing_.side);
      ways.push_back((Dot(apart, *forward) >= 0.0 ? 1.0 : -1.0) * *forward);
    }
    if (const std::optional<Vec3> left = Flat(Rotate(m.turn, {1.0, 0.0, 0.0}))) {
      ways.push_back((swing_.side == 0 ? 1.0 : -1.0) * *left);
    }
    if (ways.size() == 2) ways.push_back(std::sqrt(0.5) * (ways[0] + ways[1]));
    return ways;
  }

  // Places the other leg of a frame, its foot at `otherFoot`.
  void PlaceOtherLeg(Moment& m, Vec3 otherFoot) const {
    m.otherLeg = PlaceLeg(m.hip[1 - swing_.side], otherFoot, m.forward,
                          static_cast<double>(body_.thigh), static_cast<double>(body_.shin));
  }

  // Whether the legs, seen from above as straight lines from the hips to the ankles, come within
  // kMayMeet of each other on this frame: the swing's screen, on the frame's own hips and feet.
  // A swing that comes near somewhere is mostly clear elsewhere, and its other frames need no
  // legs placed.
  bool Near(const Moment& m, Vec3 otherFoot) const {
    const auto flat = [](Vec3 v) { return Vec3{v.x, 0.0, v.z}; };
    const std::size_t side = swing_.side;
    return SegmentGap(flat(m.hip[side]), flat(FootTarget(body_, m.own, side)),
                      flat(m.hip[1 - side]), flat(otherFoot)) < kMayMeet;
  }

  // The frames in the order a push is judged: the nearest as planned first, as a push that
  // helps too little leaves those meeting, or takes the foot into the other leg where it already
  // passed close; a push no better than one tried so far shows soonest.
  std::vector<std::size_t> Order() const {
    std::vector<std::size_t> order(moments_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [this](std::size_t a, std::size_t b) { return planned_[a] < planned_[b]; });
    return order;
  }

  // How much of the push each frame gets (Bump), for the frames `first` to `last` that meet.
  std::vector<double> Shares(std::int32_t first, std::int32_t last) const {
    std::vector<double> shares(moments_.size());
    for (std::size_t i = 0; i < moments_.size(); ++i) {
      shares[i] = Bump(swing_.from + static_cast<std::int32_t>(i), swing_, swing_.from + first,
                       swing_.from + last);
    }
    return shares;
  }

  std::vector<Vec3> Spread(Vec3 push, const std::vector<double>& shares) const {
    std::vector<Vec3> pushes(moments_.size());
    for (std::size_t i = 0; i < moments_.size(); ++i) pushes[i] = shares[i] * push;
    return pushes;
  }

  // How fast the pushed foot goes, how hard it lands and how often it comes too close to the
  // other one sideways, into `outcome`. Tried for every push, so it works from the shares and
  // the other foot's places worked out once.
  void Pace(Vec3 push, const std::vector<double>& shares, Outcome& outcome) const {
    Vec3 before;
    for (std::size_t i = 0; i < moments_.size(); ++i) {
      const Vec3 at = moments_[i].own + shares[i] * push;
      const Vec3 own = FootTarget(body_, at, swing_.side);
      const Vec3 other = otherFeet_[i];
      outcome.fused += Length(Vec3{own.x - other.x, 0.0, own.z - other.z}) < kFeetApart;
      const Vec3 last = before;
      before = at;
      if (i == 0) continue;
      const double moved = Length(at - last);
      outcome.fastest = std::max(outcome.fastest, moved);
      outcome.fast += moved > kFastestFoot;
      if (i + 1 == moments_.size()) outcome.landing = moved;
    }
  }

  // Where the pushed legs still meet, into `outcome`, looking at the frames in `order`; a frame
  // the push leaves alone keeps its planned gap. False, and stopped short, once more than `most`
  // frames meet: such a push is no better than one tried already.
  // The frame that stops a push moves to the front of `order`: the pushes tried one after the
  // other mostly founder on the same frame, where the foot passes through the other leg
  // whichever way it is pushed. The answer does not depend on the order.
  // `asPlanned` says the push is none: the frames whose gap was worked out as planned keep it.
  bool Meet(Vec3 push, std::vector<std::size_t>& order, const std::vector<double>& shares, int most,
            Outcome& outcome, bool asPlanned = false) const {
    for (auto at = order.begin(); at != order.end(); ++at) {
      const double share = shares[*at];
      // A frame that meets when no more may stops the push, whatever its gap: the first bones
      // found closer than kClear tell it.
      const double enough = outcome.meeting == most ? kClear : 0.0;
      const double gap = share == 0.0 || (asPlanned && near_[*at])
                             ? planned_[*at]
                             : Gap(body_, moments_[*at], swing_.side, share * push, enough);
      outcome.meeting += gap < kClear;
      outcome.least = std::min(outcome.least, gap);
      if (outcome.meeting > most) {
        std::rotate(order.begin(), at, at + 1);
        return false;
      }
    }
    return true;
  }

  const BodyProportions& body_;
  Swing swing_;
  std::vector<Moment> moments_;
  std::vector<double> planned_;  // each frame's gap as planned
  std::vector<bool> near_;       // whether it was worked out, not taken as clear
  std::vector<Vec3> otherFeet_;  // the other foot's FootTarget on each frame
  bool twin_;
};

std::vector<Moment> Moments(const std::array<std::vector<BonePose>, 3>& poses,
                            const BodyProportions& body) {
  std::vector<Moment> moments;
  moments.reserve(poses[0].size());
  for (std::size_t i = 0; i < poses[0].size(); ++i) {
    Moment m;
    const Vec3 centre =
        Vec3{0.0, static_cast<double>(body.centreY), 0.0} + ToVec(poses[0][i].position);
    m.turn = poses[0][i].rotation;
    m.forward = Rotate(m.turn, {0.0, 0.0, -1.0});
    // At unit length to the bit it can be, so that the legs' distance across it is no more than
    // their distance.
    const Vec3 left = Rotate(m.turn, {1.0, 0.0, 0.0});
    m.left = (1.0 / Length(left)) * left;
    for (std::size_t leg = 0; leg < 2; ++leg) m.hip[leg] = HipAt(body, centre, m.turn, leg);
    m.own = ToVec(poses[1][i].position);
    m.other = ToVec(poses[2][i].position);
    moments.push_back(m);
  }
  return moments;
}

// Answers worked out before, by every bit they depend on: a dance repeats its figures. A key
// begins with the body's bits (BodyKey). Forgets everything once full, so that a long run of
// dances on one thread keeps its memory.
using MemoKey = std::vector<std::uint64_t>;

template <typename Value>
class Memo {
 public:
  const Value* Find(const MemoKey& key) const {
    const auto at = known_.find(key);
    return at == known_.end() ? nullptr : &at->second;
  }

  const Value& Remember(MemoKey key, Value value) {
    if (known_.size() >= kMostKnown) known_.clear();
    return known_.emplace(std::move(key), std::move(value)).first->second;
  }

 private:
  static constexpr std::size_t kMostKnown = 1024;

  struct Hash {
    std::size_t operator()(const MemoKey& key) const {
      std::uint64_t mixed = key.size();
      for (const std::uint64_t word : key) mixed = (mixed ^ word) * 0x9E3779B97F4A7C15u;
      return static_cast<std::size_t>(mixed ^ (mixed >> 32));
    }
  };
  std::unordered_map<MemoKey, Value, Hash> known_;
};

// A key holding the body's bits, padded to whole words, with room for `more` words.
MemoKey BodyKey(const BodyProportions& body, std::size_t more) {
  static_assert(std::is_trivially_copyable_v<BodyProportions> &&
                    alignof(BodyProportions) == alignof(float) &&
                    sizeof(BodyProportions) % sizeof(float) == 0,
                "the body must be plain floats, with no padding to key on");
  constexpr std::size_t kBodyWords = (sizeof(BodyProportions) + 7) / 8;
  MemoKey key;
  key.reserve(kBodyWords + more);
  std::array<std::uint64_t, kBodyWords> bodyWords{};
  std::memcpy(bodyWords.data(), &body, sizeof body);
  key.insert(key.end(), bodyWords.begin(), bodyWords.end());
  return key;
}

// The pushes that part the legs over a swing, or none; a swing that crosses the other leg where
// no push parts them tries every push to find that out.
using Pushes = std::optional<std::vector<Vec3>>;
using PushMemo = Memo<Pushes>;

// The pushes depend on nothing but the body, the swinging side, whether the swing is one of a
// jump with both feet as high and the poses sampled over the swing (its first frame only sets
// where they go), so the key is all of those bits.
MemoKey PushKey(const BodyProportions& body, std::size_t side, bool twin,
                const std::array<std::vector<BonePose>, 3>& poses) {
  MemoKey key = BodyKey(body, 1 + poses[0].size() * 13);
  key.push_back(side + (twin ? 2 : 0));
  const auto add = [&key](double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    key.push_back(bits);
  };
  for (std::size_t i = 0; i < poses[0].size(); ++i) {
    for (const double v : poses[0][i].position) add(v);
    for (const double v : poses[0][i].rotation) add(v);
    for (std::size_t foot = 1; foot < 3; ++foot) {
      for (const double v : poses[foot][i].position) add(v);
    }
  }
  return key;
}

// What became of a jump with both feet as high: for each foot the keys put inside its swing
// (frames counted from the lift), or none where it was left as planned.
using JumpOutcome = std::array<std::optional<std::vector<PendingKey>>, 2>;
using JumpMemo = Memo<JumpOutcome>;

// A jump with both feet as high by the keys each of `tracks` samples over `swing` (the left
// foot's), frames counted from its lift: how its legs are parted follows from those, turns and
// all (a foot's keys put back keep its turn), and a jump met before is then known without
// sampling it.
MemoKey JumpKey(const BodyProportions& body, const Swing& swing,
                const std::array<const std::vector<PendingKey>*, 3>& tracks) {
  MemoKey key = BodyKey(body, 2 + 3 * 4 * 14);
  key.push_back(swing.side);
  key.push_back(static_cast<std::uint64_t>(swing.to - swing.from));
  const auto add = [&key](const float* values, std::size_t count) {
    for (std::size_t i = 0; i < count; i += 2) {
      std::uint64_t word = 0;
      std::memcpy(&word, values + i, std::min<std::size_t>(2, count - i) * sizeof(float));
      key.push_back(word);
    }
  };
  for (std::size_t t = 0; t < 3; ++t) {
    const std::vector<PendingKey>& keys = *tracks[t];
    const auto after = [&keys](std::int32_t frame) {
      return static_cast<std::size_t>(
          std::upper_bound(keys.begin(), keys.end(), frame,
                           [](std::int32_t f, const PendingKey& k) { return f < k.frame; }) -
          keys.begin());
    };
    // Sample reads the last key at or before each frame and the one after it, or the first or
    // the last key where the frame lies outside them.
    const std::size_t first = std::max<std::size_t>(after(swing.from), 1) - 1;
    const std::size_t last = std::min(after(swing.to), keys.size() - 1);
    key.push_back(last - first + 1);
    for (std::size_t k = first; k <= last; ++k) {
      key.push_back(
          static_cast<std::uint64_t>(static_cast<std::int64_t>(keys[k].frame) - swing.from));
      add(keys[k].position.data(), 3);
      add(keys[k].rotation.data(), 4);
      std::array<std::uint64_t, 8> curve{};
      static_assert(sizeof curve == sizeof(InterpolationBytes));
      std::memcpy(curve.data(), keys[k].interpolation->data(), sizeof curve);
      key.insert(key.end(), curve.begin(), curve.end());
    }
  }
  return key;
}

// Puts `inside` in place of the keys inside the swing; the lift and the landing keep theirs.
void Reput(KeyTrack& track, const Swing& swing, const std::vector<PendingKey>& inside) {
  const std::vector<PendingKey>& keys = track.Keys();
  auto at = [&keys](std::int32_t frame) {
    return static_cast<std::size_t>(
        std::lower_bound(keys.begin(), keys.end(), frame,
                         [](const PendingKey& key, std::int32_t f) { return key.frame < f; }) -
        keys.begin());
  };
  track.Replace(at(swing.from) + 1, at(swing.to), inside);
}

// Puts a key on every frame inside the swing, its planned place (`own`, sampled on every frame
// of the swing) pushed by `pushes`: on whole frames the path is as planned but for the push,
// and the lift and the landing keep their keys. Returns the keys put.
std::vector<PendingKey> Rekey(KeyTrack& track, const Swing& swing, const std::vector<BonePose>& own,
                              const std::vector<Vec3>& pushes, Progresses& progresses) {
  const std::vector<BonePose> planned =
      Sample(track.Keys(), swing.from, swing.to, true, progresses);
  std::vector<PendingKey> inside;
  for (std::size_t i = 1; i + 1 < own.size(); ++i) {
    const Vec3 p = ToVec(own[i].position) + pushes[i];
    PendingKey key;
    key.frame = swing.from + static_cast<std::int32_t>(i);
    key.position = {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
    key.rotation = ToFloats(planned[i].rotation);
    inside.push_back(key);
  }
  Reput(track, swing, inside);
  return inside;
}

// Parts the legs over one swing whose legs may meet, where they do and a push helps.
// True if it re-keyed the swing. Out of line, as few swings get this far: the screen's walk
// over every swing's keys is what runs hot, and is compiled apart from this.
// `jump`, given for a swing of a jump with both feet as high, holds the centre's and each foot's
// poses over it (empty until sampled), which its other swing samples alike.
[[gnu::noinline]] bool PartSwing(const BodyProportions& body, const KeyTrack& centre,
                                 std::array<KeyTrack, 2>& feet, const Swing& swing,
                                 Progresses& progresses, PushMemo& memo,
                                 std::array<std::vector<BonePose>, 3>* jump = nullptr,
                                 std::vector<PendingKey>* put = nullptr) {
  const auto sample = [&](const KeyTrack& track, bool turns, std::size_t kept) {
    if (jump == nullptr) return Sample(track.Keys(), swing.from, swing.to, turns, progresses);
    std::vector<BonePose>& poses = (*jump)[kept];
    if (poses.empty()) poses = Sample(track.Keys(), swing.from, swing.to, turns, progresses);
    return poses;
  };
  const bool twin = jump != nullptr;
  std::array<std::vector<BonePose>, 3> poses{std::vector<BonePose>{},
                                             sample(feet[swing.side], false, 1 + swing.side),
                                             sample(feet[1 - swing.side], false, 2 - swing.side)};
  // A foot that is nowhere the one to make way, as in a jump with the other foot as high or
  // higher all the way, is left as it is without placing a leg.
  bool makesWay = false;
  for (std::size_t i = 1; i + 1 < poses[1].size() && !makesWay; ++i) {
    makesWay = MakesWay(poses[1][i].position[1], poses[2][i].position[1], twin);
  }
  if (!makesWay) return false;
  poses[0] = sample(centre, true, 0);
  MemoKey key = PushKey(body, swing.side, twin, poses);
  const Pushes* pushes = memo.Find(key);
  if (pushes == nullptr) {
    const SwingParter parter(body, swing, Moments(poses, body), twin);
    pushes = &memo.Remember(std::move(key), parter.Pushes());
  }
  if (!*pushes) return false;
  std::vector<PendingKey> inside = Rekey(feet[swing.side], swing, poses[1], **pushes, progresses);
  if (jump != nullptr) (*jump)[1 + swing.side].clear();
  if (put != nullptr) *put = std::move(inside);
  return true;
}

// Parts the legs over a jump with both feet as high whose hips turn across, the next swing of
// each of `swings`. Out of line, so that the walk over every other swing is compiled as before.
[[gnu::noinline]] void PartJump(const BodyProportions& body, const KeyTrack& centre,
                                std::array<KeyTrack, 2>& feet, std::array<SwingFinder, 2>& swings,
                                Cursors& cursors, Progresses& progresses, PushMemo& memo,
                                JumpMemo& jumpMemo) {
  const Swing left = *swings[0].Next();
  // The hips swing through square while neither foot is the higher to make way: the left
  // one is moved where a push parts the legs, then the right one where they still meet.
  // What comes of it follows from the keys round the jump, and a dance repeats its jumps.
  MemoKey key = JumpKey(body, left, {&centre.Keys(), &feet[0].Keys(), &feet[1].Keys()});
  if (const JumpOutcome* known = jumpMemo.Find(key)) {
    for (std::size_t side = 0; side < 2; ++side) {
      const Swing swing = *swings[side].Next();
      if ((*known)[side]) {
        std::vector<PendingKey> inside = *(*known)[side];
        for (PendingKey& k : inside) k.frame += swing.from;
        Reput(feet[side], swing, inside);
      }
      swings[side].Pass((*known)[side].has_value());
    }
    return;
  }
  JumpOutcome outcome;
  std::array<std::vector<BonePose>, 3> jump;
  for (std::size_t side = 0; side < 2; ++side) {
    const Swing swing = *swings[side].Next();
    std::vector<PendingKey> inside;
    const bool rekeyed = MayMeet(body, centre, feet, swing, kMayMeet, cursors) &&
                         PartSwing(body, centre, feet, swing, progresses, memo, &jump, &inside);
    if (rekeyed) {
      for (PendingKey& k : inside) k.frame -= swing.from;
      outcome[side] = std::move(inside);
    }
    swings[side].Pass(rekeyed);
  }
  jumpMemo.Remember(std::move(key), std::move(outcome));
}

}  // namespace

void PartLegs(const BodyProportions& body, const KeyTrack& centre, std::array<KeyTrack, 2>& feet,
              std::int32_t limit) {
  if (centre.Empty() || feet[0].Empty() || feet[1].Empty()) return;
  const std::int32_t end = std::min(limit - 1, centre.Last().frame);
  // The centre's keys before its first one here are written already: its path is known from
  // that key on.
  const std::int32_t begin = centre.Keys().front().frame;
  std::array<SwingFinder, 2> swings{SwingFinder(feet[0], 0, begin, end),
                                    SwingFinder(feet[1], 1, begin, end)};
  if (!swings[0].Next() && !swings[1].Next()) return;
  // Kept from one stretch of the dance to the next, as its keys keep using the same curves and
  // spans; one a thread, as dances are made side by side.
  thread_local Progresses progresses;
  thread_local PushMemo memo;
  thread_local JumpMemo jumpMemo;
  const std::int32_t first = std::min(swings[0].Next() ? swings[0].Next()->from : end,
                                      swings[1].Next() ? swings[1].Next()->from : end);
  Cursors cursors{KeyCursor(centre, first), {KeyCursor(feet[0], first), KeyCursor(feet[1], first)}};
  // Both feet's swings by their lift, the left foot's first of two lifting together.
  for (;;) {
    const std::optional<Swing>& left = swings[0].Next();
    const std::optional<Swing>& right = swings[1].Next();
    if (!left && !right) return;
    if (left && right && Twins(feet, *left, *right)) {
      if (!TurnsAcross(body, centre, feet, *left, *right, cursors)) {
        swings[0].Pass(false);
        swings[1].Pass(false);
        continue;
      }
      PartJump(body, centre, feet, swings, cursors, progresses, memo, jumpMemo);
      continue;
    }
    const std::size_t side = !right || (left && left->from <= right->from) ? 0 : 1;
    const Swing swing = *swings[side].Next();
    swings[side].Pass(MayMeet(body, centre, feet, swing, kMayMeet, cursors) &&
                      PartSwing(body, centre, feet, swing, progresses, memo));
  }
}

}  // namespace pavaneflow
